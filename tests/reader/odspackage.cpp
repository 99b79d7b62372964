#include "odspackage.h"

#include <zip.h>


QByteArray OdsPackage::content(const QByteArray& tables)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content"
           " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
           " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
           " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
           " xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\""
           " office:version=\"1.3\"><office:body><office:spreadsheet>"
           + tables + "</office:spreadsheet></office:body></office:document-content>";
}

QByteArray OdsPackage::table(const QByteArray& name, const QByteArray& rows)
{
    return "<table:table table:name=\"" + name + "\"><table:table-column/>" + rows + "</table:table>";
}

OdsPackage& OdsPackage::setPart(const QByteArray& name, const QByteArray& bytes)
{
    m_parts.append({name, bytes});
    return *this;
}

QByteArray OdsPackage::bytes() const
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = target ? zip_open_from_source(target, ZIP_TRUNCATE, &error) : nullptr;
    if (!archive)
        return {};
    zip_source_keep(target);
    QList<QPair<QByteArray, QByteArray>> parts{{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}};
    parts += m_parts;
    for (const auto& part : parts) {
        zip_source_t* source = zip_source_buffer(archive, part.second.constData(), zip_uint64_t(part.second.size()), 0);
        const zip_int64_t index = zip_file_add(archive, part.first.constData(), source, ZIP_FL_OVERWRITE);
        zip_set_file_compression(archive, zip_uint64_t(index), part.first == "mimetype" ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    QByteArray bytes;
    if (zip_close(archive) == 0 && zip_source_open(target) == 0) {
        zip_source_seek(target, 0, SEEK_END);
        bytes.resize(int(zip_source_tell(target)));
        zip_source_seek(target, 0, SEEK_SET);
        zip_source_read(target, bytes.data(), zip_uint64_t(bytes.size()));
        zip_source_close(target);
    }
    zip_source_free(target);
    return bytes;
}
