#include "testpackage.h"

#include <QFile>

#include <algorithm>

#include <zip.h>

namespace {

const QByteArray kXml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const QByteArray kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const QByteArray kRels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
const QByteArray kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

const QByteArray kMacrosheetRelationship = "http://schemas.microsoft.com/office/2006/relationships/xlMacrosheet";

QByteArray relationship(const QByteArray& id, const QByteArray& type, const QByteArray& target)
{
    const QByteArray uri = type.contains('/') ? type : kRelNs + "/" + type;
    return "<Relationship Id=\"rId" + id + "\" Type=\"" + uri + "\" Target=\"" + target + "\"/>";
}

} // namespace

TestPackage::TestPackage()
{
    m_parts.insert("_rels/.rels", kXml + kRels + relationship("1", "officeDocument", "xl/workbook.xml") + "</Relationships>");
}

QByteArray TestPackage::part(const QByteArray& root, const QByteArray& content, const QByteArray& attributes)
{
    return "<" + root + " xmlns=\"" + kMainNs + " xmlns:r=\"" + kRelNs + "\"" + attributes + ">" + content + "</" + root + ">";
}

QByteArray TestPackage::relationships(const QByteArray& content)
{
    return kRels + content + "</Relationships>";
}

QByteArray TestPackage::worksheet(const QByteArray& sheetData)
{
    return kXml + "<worksheet xmlns=\"" + kMainNs + " xmlns:x=\"" + kMainNs + "><sheetData>" + sheetData
           + "</sheetData><pageMargins left=\"0.7\"/></worksheet>";
}

QByteArray TestPackage::macrosheet(const QByteArray& sheetData)
{
    return kXml + "<xm:macrosheet xmlns=\"" + kMainNs + " xmlns:r=\"" + kRelNs
           + "\" xmlns:xm=\"http://schemas.microsoft.com/office/excel/2006/main\"><sheetPr/><dimension ref=\"A1\"/><sheetData>"
           + sheetData + "</sheetData><pageMargins left=\"0.7\"/></xm:macrosheet>";
}

TestPackage& TestPackage::addSheet(const QString& name, const QByteArray& sheetData)
{
    return addSheetPart(name, worksheet(sheetData));
}

TestPackage& TestPackage::addSheetPart(const QString& name, const QByteArray& worksheet)
{
    m_sheets.append(name);
    m_sheetParts.append(QStringLiteral("worksheets/sheet%1.xml").arg(m_sheets.size()));
    return setPart("xl/" + m_sheetParts.last(), worksheet);
}

TestPackage& TestPackage::addMacroSheetPart(const QString& name, const QByteArray& macrosheet)
{
    m_sheets.append(name);
    m_sheetParts.append(QStringLiteral("macrosheets/sheet%1.xml").arg(m_sheets.size()));
    return setPart("xl/" + m_sheetParts.last(), macrosheet);
}

TestPackage& TestPackage::setPart(const QString& name, const QByteArray& content)
{
    m_parts.insert(name, content);
    return *this;
}

// A null part stands in for a removed one, so that none is generated in its place.
TestPackage& TestPackage::removePart(const QString& name)
{
    return setPart(name, QByteArray());
}

TestPackage& TestPackage::withBackslashes()
{
    m_backslashes = true;
    return *this;
}

TestPackage& TestPackage::stored()
{
    m_stored = true;
    return *this;
}

QByteArray TestPackage::compoundFile(const QStringList& streams, const QByteArray& firstStream, FileEnd end)
{
    const auto put = [](QByteArray& bytes, int at, quint32 value, int size = 4) {
        for (int i = 0; i < size; ++i)
            bytes[at + i] = char(value >> (8 * i));
    };
    // Header, then sector 0 holding the allocation table, sector 1 the directory
    // and the sectors after it the first stream: from 4 KiB on, a stream is not
    // kept in the mini stream.
    QByteArray content = firstStream;
    if (!content.isEmpty())
        content.append(QByteArray(std::max(4096 - content.size(), 0), '\0'));
    const int streamSize = content.size();
    if (end == FileEnd::WholeSector)
        content.append(QByteArray((512 - content.size() % 512) % 512, '\0'));
    const int sectors = (content.size() + 511) / 512;
    if (sectors > 126)
        qFatal("a stream too long for one allocation sector");
    QByteArray header = QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0');
    put(header, 0x18, 0x3E, 2);
    put(header, 0x1A, 3, 2);
    put(header, 0x1C, 0xFFFE, 2);
    put(header, 0x1E, 9, 2);
    put(header, 0x20, 6, 2);
    put(header, 0x2C, 1);
    put(header, 0x30, 1);
    put(header, 0x38, 4096);
    put(header, 0x3C, 0xFFFFFFFE);
    put(header, 0x44, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i)
        put(header, 0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    QByteArray fat(512, '\xFF');
    put(fat, 0, 0xFFFFFFFD);
    put(fat, 4, 0xFFFFFFFE);
    for (int i = 0; i < sectors; ++i)
        put(fat, 4 * (2 + i), i + 1 < sectors ? quint32(3 + i) : 0xFFFFFFFE);
    QByteArray directory(512, '\0');
    const QStringList names = QStringList{"Root Entry"} + streams;
    for (int e = 0; e < 4; ++e) {
        const int at = 128 * e;
        for (int link : {0x44, 0x48, 0x4C})
            put(directory, at + link, 0xFFFFFFFF);
        if (e >= names.size())
            continue;
        for (int i = 0; i < names[e].size(); ++i)
            put(directory, at + 2 * i, names[e][i].unicode(), 2);
        put(directory, at + 0x40, quint32(2 * names[e].size() + 2), 2);
        directory[at + 0x42] = char(e == 0 ? 5 : 2);
        put(directory, at + (e == 0 ? 0x4C : 0x48), e + 1 < names.size() ? quint32(e + 1) : 0xFFFFFFFF);
        put(directory, at + 0x74, e == 1 && sectors > 0 ? 2 : 0xFFFFFFFE);
        put(directory, at + 0x78, e == 1 ? quint32(streamSize) : 0);
    }
    return header + fat + directory + content;
}

QByteArray TestPackage::compoundFileOf(const QList<QPair<QString, QByteArray>>& streams)
{
    const auto put = [](QByteArray& bytes, int at, quint32 value, int size = 4) {
        for (int i = 0; i < size; ++i)
            bytes[at + i] = char(value >> (8 * i));
    };
    QByteArray header = compoundFile({}).left(512);
    // No stream is small enough for the mini stream.
    put(header, 0x38, 0);
    QByteArray fat(512, '\xFF');
    put(fat, 0, 0xFFFFFFFD);
    put(fat, 4, 0xFFFFFFFE);
    QByteArray directory(512, '\0');
    QByteArray content;
    for (int e = 0; e <= streams.size(); ++e) {
        const int at = 128 * e;
        const QString name = e == 0 ? QStringLiteral("Root Entry") : streams[e - 1].first;
        for (int link : {0x44, 0x48, 0x4C})
            put(directory, at + link, 0xFFFFFFFF);
        for (int i = 0; i < name.size(); ++i)
            put(directory, at + 2 * i, name[i].unicode(), 2);
        put(directory, at + 0x40, quint32(2 * name.size() + 2), 2);
        directory[at + 0x42] = char(e == 0 ? 5 : 2);
        put(directory, at + (e == 0 ? 0x4C : 0x48), e < streams.size() ? quint32(e + 1) : 0xFFFFFFFF);
        put(directory, at + 0x74, 0xFFFFFFFE);
        if (e == 0)
            continue;
        const QByteArray& bytes = streams[e - 1].second;
        const int first = 2 + content.size() / 512;
        const int sectors = (bytes.size() + 511) / 512;
        if (first + sectors > 128)
            qFatal("streams too long for one allocation sector");
        for (int i = 0; i < sectors; ++i)
            put(fat, 4 * (first + i), i + 1 < sectors ? quint32(first + i + 1) : 0xFFFFFFFE);
        put(directory, at + 0x74, sectors > 0 ? quint32(first) : 0xFFFFFFFE);
        put(directory, at + 0x78, quint32(bytes.size()));
        content += bytes + QByteArray((512 - bytes.size() % 512) % 512, '\0');
    }
    return header + fat + directory + content;
}

bool TestPackage::write(const QString& path) const
{
    QMap<QString, QByteArray> all = m_parts;
    QByteArray sheets, rels;
    for (int i = 1; i <= m_sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i);
        sheets += "<sheet name=\"" + m_sheets[i - 1].toHtmlEscaped().toUtf8() + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        const QByteArray part = m_sheetParts[i - 1].toUtf8();
        rels += relationship(n, part.startsWith("macrosheets/") ? kMacrosheetRelationship : "worksheet", part);
    }
    if (!all.value("xl/sharedStrings.xml").isNull())
        rels += relationship("S", "sharedStrings", "sharedStrings.xml");
    if (!all.value("xl/styles.xml").isNull())
        rels += relationship("T", "styles", "styles.xml");
    if (!all.contains("xl/workbook.xml"))
        all.insert("xl/workbook.xml", kXml + "<workbook xmlns=\"" + kMainNs + " xmlns:r=\"" + kRelNs + "\">"
                                          + "<sheets>" + sheets + "</sheets></workbook>");
    if (!all.contains("xl/_rels/workbook.xml.rels"))
        all.insert("xl/_rels/workbook.xml.rels", kXml + kRels + rels + "</Relationships>");
    for (auto it = all.begin(); it != all.end();)
        it = it.value().isNull() ? all.erase(it) : it + 1;

    QFile::remove(path);
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (auto it = all.cbegin(); archive && it != all.cend(); ++it) {
        zip_source_t* source = zip_source_buffer(archive, it.value().constData(), zip_uint64_t(it.value().size()), 0);
        const QString name = m_backslashes ? QString(it.key()).replace('/', '\\') : it.key();
        const zip_int64_t index = source ? zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), m_stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    return archive && zip_close(archive) == 0;
}
