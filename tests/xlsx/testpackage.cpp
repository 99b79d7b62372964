#include "testpackage.h"

#include <QFile>

#include <zip.h>

namespace {

const char* const kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "</Types>";

const char* const kPackageRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/>"
    "</Relationships>";

const char* const kRelTypeBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// Writes the parts into a zip as they are (deflated); false on failure.
bool writeZip(const QString& path, const QMap<QString, QByteArray>& parts)
{
    QFile::remove(path);
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (auto it = parts.cbegin(); archive && it != parts.cend(); ++it) {
        zip_source_t* source = zip_source_buffer(archive, it.value().constData(), zip_uint64_t(it.value().size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, it.key().toUtf8().constData(), source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 0);
    }
    return archive && zip_close(archive) == 0;
}

} // namespace

TestPackage::TestPackage()
{
    m_parts.insert(QStringLiteral("[Content_Types].xml"), kContentTypes);
    m_parts.insert(QStringLiteral("_rels/.rels"), kPackageRels);
}

QByteArray TestPackage::worksheet(const QByteArray& sheetData)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<sheetData>"
           + sheetData + "</sheetData></worksheet>";
}

TestPackage& TestPackage::addSheet(const QString& name, const QByteArray& sheetData)
{
    return addSheetPart(name, worksheet(sheetData));
}

TestPackage& TestPackage::addSheetPart(const QString& name, const QByteArray& worksheet)
{
    const QString part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(m_sheets.size() + 1);
    m_sheets.append({name, part});
    m_parts.insert(part, worksheet);
    return *this;
}

TestPackage& TestPackage::setSharedStrings(const QByteArray& items)
{
    m_sharedStrings = true;
    m_parts.insert(QStringLiteral("xl/sharedStrings.xml"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                       + items + "</sst>");
    return *this;
}

TestPackage& TestPackage::setStyles(const QByteArray& numFmts, const QByteArray& cellXfs)
{
    m_styles = true;
    m_parts.insert(QStringLiteral("xl/styles.xml"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                       + (numFmts.isEmpty() ? QByteArray() : "<numFmts>" + numFmts + "</numFmts>")
                       + "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
                       + "<cellXfs>" + cellXfs + "</cellXfs></styleSheet>");
    return *this;
}

TestPackage& TestPackage::setDate1904(const QByteArray& value)
{
    m_date1904 = value;
    return *this;
}

TestPackage& TestPackage::setPart(const QString& name, const QByteArray& content)
{
    m_removed.remove(name);
    m_parts.insert(name, content);
    return *this;
}

TestPackage& TestPackage::removePart(const QString& name)
{
    m_parts.remove(name);
    m_removed.insert(name);
    return *this;
}

QMap<QString, QByteArray> TestPackage::parts() const
{
    QMap<QString, QByteArray> all = m_parts;
    const QString workbookPart = QStringLiteral("xl/workbook.xml");
    const QString workbookRels = QStringLiteral("xl/_rels/workbook.xml.rels");
    if (!all.contains(workbookPart)) {
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
        if (!m_date1904.isEmpty())
            xml += "<workbookPr date1904=\"" + m_date1904 + "\"/>";
        xml += "<sheets>";
        for (int i = 0; i < m_sheets.size(); ++i)
            xml += "<sheet name=\"" + m_sheets[i].first.toHtmlEscaped().toUtf8() + "\" sheetId=\""
                   + QByteArray::number(i + 1) + "\" r:id=\"rId" + QByteArray::number(i + 1) + "\"/>";
        xml += "</sheets></workbook>";
        all.insert(workbookPart, xml);
    }
    if (!all.contains(workbookRels)) {
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
        int id = 0;
        for (const auto& sheet : m_sheets)
            xml += "<Relationship Id=\"rId" + QByteArray::number(++id) + "\" Type=\"" + kRelTypeBase
                   + "worksheet\" Target=\"" + sheet.second.mid(3).toUtf8() + "\"/>";
        if (m_sharedStrings)
            xml += "<Relationship Id=\"rId" + QByteArray::number(++id) + "\" Type=\"" + kRelTypeBase
                   + "sharedStrings\" Target=\"sharedStrings.xml\"/>";
        if (m_styles)
            xml += "<Relationship Id=\"rId" + QByteArray::number(++id) + "\" Type=\"" + kRelTypeBase
                   + "styles\" Target=\"styles.xml\"/>";
        xml += "</Relationships>";
        all.insert(workbookRels, xml);
    }
    for (const QString& name : m_removed)
        all.remove(name);
    return all;
}

bool TestPackage::write(const QString& path) const
{
    return writeZip(path, parts());
}
