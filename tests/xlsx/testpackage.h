#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// A workbook package written part by part, for what libxlsxwriter cannot
// write: odd but valid files, broken ones, bombs. The workbook part and its
// relationships are generated from the sheets, shared strings and styles
// unless set explicitly; every part can be replaced or removed.
class TestPackage final
{
public:
    TestPackage();

    TestPackage& addSheet(const QString& name, const QByteArray& sheetData);
    TestPackage& addSheetPart(const QString& name, const QByteArray& worksheet);
    TestPackage& setSharedStrings(const QByteArray& items); // <si> items
    TestPackage& setStyles(const QByteArray& numFmts, const QByteArray& cellXfs);
    TestPackage& setDate1904(const QByteArray& value);
    TestPackage& setPart(const QString& name, const QByteArray& content);
    TestPackage& removePart(const QString& name);
    // Writes the parts as a zip; false on failure.
    bool write(const QString& path) const;

    static QByteArray worksheet(const QByteArray& sheetData);

private:
    QMap<QString, QByteArray> m_parts;
    QStringList m_sheets;
    QByteArray m_date1904;
};
