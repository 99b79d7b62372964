#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>

// A workbook package written part by part, for what libxlsxwriter cannot
// write: odd but valid files, broken ones, bombs. Starts as a minimal
// workbook (content types, package and workbook relationships, workbook
// part); every part can be replaced or removed before writing.
class TestPackage final
{
public:
    TestPackage();

    // Adds a sheet whose part holds sheetData with the given rows XML.
    TestPackage& addSheet(const QString& name, const QByteArray& sheetData);
    // Adds a sheet with a complete worksheet part.
    TestPackage& addSheetPart(const QString& name, const QByteArray& worksheet);
    // <si> items of the shared string table.
    TestPackage& setSharedStrings(const QByteArray& items);
    // <numFmts> (may be empty) and the <xf> items of cellXfs.
    TestPackage& setStyles(const QByteArray& numFmts, const QByteArray& cellXfs);
    TestPackage& setDate1904(const QByteArray& value);

    TestPackage& setPart(const QString& name, const QByteArray& content);
    TestPackage& removePart(const QString& name);

    // Every part by name: the workbook part and its relationships are
    // generated from the sheets unless set explicitly.
    QMap<QString, QByteArray> parts() const;
    // Writes parts() as a zip; false on failure.
    bool write(const QString& path) const;

    static QByteArray worksheet(const QByteArray& sheetData);

private:
    QMap<QString, QByteArray> m_parts;
    QSet<QString> m_removed;
    QList<QPair<QString, QString>> m_sheets; // name, part
    QByteArray m_date1904;
    bool m_sharedStrings = false;
    bool m_styles = false;
};
