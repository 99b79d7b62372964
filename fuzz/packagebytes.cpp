#include "packagebytes.h"

#include <zip.h>

#include <cstdio>

namespace fuzz {

namespace {

const char kRelTypes[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const QByteArray kMain = " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const QByteArray kRelationships = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";

} // namespace

QByteArray packageBytes(const QMap<QString, QByteArray>& parts)
{
    QList<QPair<QString, QByteArray>> ordered;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        ordered.append({it.key(), it.value()});
    return packageBytes(ordered);
}

QByteArray packageBytes(const QList<QPair<QString, QByteArray>>& parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return {};
    // Keep the buffer past zip_close, which would otherwise free it.
    zip_source_keep(buffer);
    QByteArray bytes;
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    bool written = archive != nullptr;
    for (auto it = parts.cbegin(); written && it != parts.cend(); ++it) {
        zip_source_t* source = zip_source_buffer(archive, it->second.constData(), zip_uint64_t(it->second.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, it->first.toUtf8().constData(), source, 0) : -1;
        if (index < 0 && source)
            zip_source_free(source);
        written = index >= 0 && zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) == 0;
    }
    if (archive && !written)
        zip_discard(archive);
    else if (archive && zip_close(archive) != 0)
        written = false;
    if (written && zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(buffer);
        zip_source_seek(buffer, 0, SEEK_SET);
        if (size > 0) {
            bytes.resize(int(size));
            if (zip_source_read(buffer, bytes.data(), zip_uint64_t(size)) != size)
                bytes.clear();
        }
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

QByteArray workbookAround(const QByteArray& worksheet, const QByteArray& sharedStrings, const QByteArray& workbookProperties)
{
    QMap<QString, QByteArray> parts;
    parts.insert("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    parts.insert("_rels/.rels", kRelationships + "<Relationship Id=\"rId1\" Type=\"" + kRelTypes
                                    + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    parts.insert("xl/workbook.xml", "<workbook" + kMain + " xmlns:r=\"" + QByteArray(kRelTypes).chopped(1)
                                        + "\"><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets>" + workbookProperties + "</workbook>");
    QByteArray rels = kRelationships + "<Relationship Id=\"rId1\" Type=\"" + kRelTypes
                      + "worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    rels += QByteArray("<Relationship Id=\"rId2\" Type=\"") + kRelTypes + "styles\" Target=\"styles.xml\"/>";
    if (!sharedStrings.isEmpty())
        rels += QByteArray("<Relationship Id=\"rId3\" Type=\"") + kRelTypes + "sharedStrings\" Target=\"sharedStrings.xml\"/>";
    parts.insert("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
    parts.insert("xl/styles.xml", "<styleSheet" + kMain + "><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\\ hh:mm\"/>"
                                  "</numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
                                  "<xf numFmtId=\"4\"/></cellXfs></styleSheet>");
    parts.insert("xl/worksheets/sheet1.xml", worksheet);
    if (!sharedStrings.isEmpty())
        parts.insert("xl/sharedStrings.xml", sharedStrings);
    return packageBytes(parts);
}

QByteArray partOf(const QByteArray& package, const char* name)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(package.constData(), zip_uint64_t(package.size()), 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (source)
            zip_source_free(source);
        return {};
    }
    QByteArray bytes;
    zip_stat_t stat;
    zip_file_t* file = zip_stat(archive, name, 0, &stat) == 0 ? zip_fopen(archive, name, 0) : nullptr;
    if (file) {
        bytes.resize(int(stat.size));
        if (zip_fread(file, bytes.data(), stat.size) != zip_int64_t(stat.size))
            bytes.clear();
        zip_fclose(file);
    }
    zip_discard(archive);
    return bytes;
}

} // namespace fuzz
