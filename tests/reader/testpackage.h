#pragma once

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>

// A workbook package written part by part, for what libxlsxwriter cannot
// write: odd but valid files, broken ones, bombs. The workbook part and its
// relationships are generated from the sheets and the parts
// xl/sharedStrings.xml and xl/styles.xml unless set explicitly; every part
// can be replaced or removed.
class TestPackage final
{
public:
    TestPackage();

    TestPackage& addSheet(const QString& name, const QByteArray& sheetData);
    TestPackage& addSheetPart(const QString& name, const QByteArray& worksheet);
    // A macro sheet of an .xlsm (xl/macrosheets/sheetN.xml), listed among the sheets in order.
    TestPackage& addMacroSheetPart(const QString& name, const QByteArray& macrosheet);
    TestPackage& setPart(const QString& name, const QByteArray& content);
    TestPackage& removePart(const QString& name);
    // Entry names written with "\\" for "/", as some Windows tools write them.
    TestPackage& withBackslashes();
    // Entries stored as they are, not deflated.
    TestPackage& stored();
    // Writes the parts as a zip; false on failure.
    bool write(const QString& path) const;

    static QByteArray worksheet(const QByteArray& sheetData);
    // A macro sheet as Excel writes it: its root in Excel's own namespace, the rest the spreadsheet's.
    static QByteArray macrosheet(const QByteArray& sheetData);
    // A part of the spreadsheet namespace (r: bound to the relationships one):
    // its root element with these attributes around the content.
    static QByteArray part(const QByteArray& root, const QByteArray& content, const QByteArray& attributes = {});
    // A relationships part around the content.
    static QByteArray relationships(const QByteArray& content);
    // Where a compound file ends: after whole sectors, or right after its
    // first stream's last byte, inside that stream's last sector.
    enum class FileEnd { WholeSector, InsideLastSector };
    // A compound file (the container of legacy and encrypted Office files)
    // holding streams of these names, the first one holding firstStream (up to
    // 63 KiB, padded with zeros to 4 KiB), the others empty.
    static QByteArray compoundFile(const QStringList& streams, const QByteArray& firstStream = {},
                                   FileEnd end = FileEnd::WholeSector);
    // One holding up to three streams of these names and contents (together
    // up to 63 KiB), none in the mini stream whatever its size.
    static QByteArray compoundFileOf(const QList<QPair<QString, QByteArray>>& streams);

private:
    QMap<QString, QByteArray> m_parts;
    QStringList m_sheets;
    QStringList m_sheetParts;   // of each sheet, in the workbook's folder
    bool m_backslashes = false;
    bool m_stored = false;
};
Q_DECLARE_METATYPE(TestPackage)
