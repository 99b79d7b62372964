#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// An OpenDocument spreadsheet package written entry by entry, for what a
// spreadsheet program does not save: repeats, spans and limits at will. The
// media type comes first and stored, as the format asks, then the parts.
class OdsPackage final
{
public:
    // content.xml with these tables (table:table elements, the namespaces
    // office, table, text and calcext bound to those prefixes).
    static QByteArray content(const QByteArray& tables);
    // A table of this name around rows.
    static QByteArray table(const QByteArray& name, const QByteArray& rows);

    OdsPackage& setPart(const QByteArray& name, const QByteArray& bytes);
    QByteArray bytes() const;

private:
    QList<QPair<QByteArray, QByteArray>> m_parts;
};
