#include "testpackage.h"

#include <QFile>

#include <zip.h>

namespace {

const QByteArray kXml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const QByteArray kMain = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const QByteArray kRels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
const QByteArray kRelType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

QByteArray relationship(int id, const QByteArray& type, const QByteArray& target)
{
    return "<Relationship Id=\"rId" + QByteArray::number(id) + "\" Type=\"" + kRelType + type + "\" Target=\"" + target + "\"/>";
}

} // namespace

TestPackage::TestPackage()
{
    m_parts.insert("[Content_Types].xml",
                   kXml + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                          "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                          "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    m_parts.insert("_rels/.rels", kXml + kRels + relationship(1, "officeDocument", "xl/workbook.xml") + "</Relationships>");
}

QByteArray TestPackage::worksheet(const QByteArray& sheetData)
{
    return kXml + "<worksheet " + kMain + " xmlns:r=\"" + kRelType.chopped(1) + "\"><sheetData>" + sheetData
           + "</sheetData></worksheet>";
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
    return setPart("xl/sharedStrings.xml", kXml + "<sst " + kMain + ">" + items + "</sst>");
}

TestPackage& TestPackage::setStyles(const QByteArray& numFmts, const QByteArray& cellXfs)
{
    m_styles = true;
    return setPart("xl/styles.xml", kXml + "<styleSheet " + kMain + ">"
                                        + (numFmts.isEmpty() ? QByteArray() : "<numFmts>" + numFmts + "</numFmts>")
                                        + "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs>" + cellXfs
                                        + "</cellXfs></styleSheet>");
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
    QByteArray sheets, rels;
    int id = 0;
    for (const auto& sheet : m_sheets) {
        const QByteArray n = QByteArray::number(++id);
        sheets += "<sheet name=\"" + sheet.first.toHtmlEscaped().toUtf8() + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += relationship(id, "worksheet", sheet.second.mid(3).toUtf8());
    }
    if (m_sharedStrings)
        rels += relationship(++id, "sharedStrings", "sharedStrings.xml");
    if (m_styles)
        rels += relationship(++id, "styles", "styles.xml");
    if (!all.contains("xl/workbook.xml"))
        all.insert("xl/workbook.xml", kXml + "<workbook " + kMain + " xmlns:r=\"" + kRelType.chopped(1) + "\">"
                                          + (m_date1904.isEmpty() ? QByteArray() : "<workbookPr date1904=\"" + m_date1904 + "\"/>")
                                          + "<sheets>" + sheets + "</sheets></workbook>");
    if (!all.contains("xl/_rels/workbook.xml.rels"))
        all.insert("xl/_rels/workbook.xml.rels", kXml + kRels + rels + "</Relationships>");
    for (const QString& name : m_removed)
        all.remove(name);
    return all;
}

bool TestPackage::write(const QString& path) const
{
    const QMap<QString, QByteArray> all = parts();
    QFile::remove(path);
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (auto it = all.cbegin(); archive && it != all.cend(); ++it) {
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
