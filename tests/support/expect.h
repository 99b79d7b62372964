#pragma once

#include "testworkbook.h"

#include <QFile>
#include <QSettings>

// Expected texts, written out here independently of the product's own builders
// so that a changed colour, tag or wording fails; and the files tests set up.
namespace expect {

inline QString sp(int n) { return QString(n, QLatin1Char(' ')); }
// Never cut, so a test cannot hide an over-long field.
inline QString pad(const QString& text, int width) { return text.leftJustified(width, QLatin1Char(' ')); }
inline QString b(const QString& title) { return "<span style=\"font-weight:bold;\">" + title + "</span>"; }

inline QString logLine(const QString& colour, int line, const QString& text)
{
    return "<span style=\"color:" + colour + ";\">LINE " + QString::number(line) + ": " + text + "</span>";
}
inline QString error(int line, const QString& text) { return logLine("#e73d4a", line, "Error. " + text); }
inline QString invalidChars(int line, const QString& title) { return error(line, "Invalid characters found in " + b(title)); }
inline QString truncated(int line, const QString& title, int width)
{
    return logLine("#f88021", line,
                   "Warning. String truncated in " + b(title) + ". Exceeding " + QString::number(width) + " characters");
}

inline QStringList summary(const QString& processed, const QString& amounts, int warnings, int errors)
{
    return {"Total rows processed: " + processed, "Total amounts: " + amounts,
            "Total warnings: " + QString::number(warnings), "Total errors: " + QString::number(errors)};
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The lines of a written upload; a missing final line feed shows as a marker line.
inline QStringList fileLines(const QString& path)
{
    const QString all = QString::fromUtf8(fileBytes(path));
    return all.endsWith('\n') ? all.chopped(1).split('\n') : QStringList{"<no final line feed>", all};
}

inline bool writeSheet(const QString& path, const QString& sheet, const QList<QVariantList>& rows)
{
    TestWorkbook book(path);
    book.addSheet(sheet);
    for (int i = 0; i < rows.size(); ++i)
        book.setRow(i + 1, rows.at(i));
    return book.save();
}

inline void writeSettings(const QString& path, const QString& group, const QVariantMap& values)
{
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(group);
    for (auto it = values.begin(); it != values.end(); ++it)
        s.setValue(it.key(), it.value());
}

inline void writeAccounts(const QString& path, const QString& group, const QList<QPair<QString, QString>>& accounts)
{
    QSettings s(path, QSettings::IniFormat);
    s.beginWriteArray(group + "/Accounts");
    for (int i = 0; i < accounts.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("Account"), accounts.at(i).first);
        s.setValue(QStringLiteral("CompID"), accounts.at(i).second);
    }
    s.endArray();
}

} // namespace expect
