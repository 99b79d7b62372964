#pragma once

#include "testworkbook.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QVariantMap>

// Builders for expected texts and the files the tests set up. The message
// texts are written out here once, independently of the product's own
// builders, so a changed colour, tag or wording fails the suites.
namespace expect {

inline QString sp(int n) { return QString(n, QLatin1Char(' ')); }

// Left-justified to width; never cut, so a test cannot hide an over-long field.
inline QString pad(const QString& text, int width) { return text.leftJustified(width, QLatin1Char(' ')); }

inline QString b(const QString& title) { return "<span style=\"font-weight:bold;\">" + title + "</span>"; }

// An error's log line: "LINE n: Error. <text>" in red.
inline QString error(int line, const QString& text)
{
    return "<span style=\"color:#e73d4a;\">LINE " + QString::number(line) + ": Error. " + text + "</span>";
}

inline QString invalidChars(int line, const QString& title)
{
    return error(line, "Invalid characters found in " + b(title));
}

inline QString truncated(int line, const QString& title, int width)
{
    return "<span style=\"color:#f88021;\">LINE " + QString::number(line) + ": Warning. String truncated in "
        + b(title) + ". Exceeding " + QString::number(width) + " characters</span>";
}

inline QStringList summary(const QString& processed, const QString& amounts, int warnings, int errors)
{
    return {"Total rows processed: " + processed, "Total amounts: " + amounts,
            "Total warnings: " + QString::number(warnings), "Total errors: " + QString::number(errors)};
}

// The lines of a written upload; a missing file or a missing final line feed
// shows up as a marker line so the comparison fails visibly.
inline QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing>")};
    const QString all = QString::fromUtf8(f.readAll());
    if (!all.endsWith(QLatin1Char('\n')))
        return {QStringLiteral("<no final line feed>"), all};
    return all.left(all.size() - 1).split(QLatin1Char('\n'));
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Writes rows from sheet row 1 on into a one-sheet workbook.
inline bool writeSheet(const QString& path, const QString& sheet, const QList<QVariantList>& rows)
{
    TestWorkbook book(path);
    book.addSheet(sheet);
    for (int i = 0; i < rows.size(); ++i)
        book.setRow(i + 1, rows.at(i));
    return book.save();
}

// Writes keys into an ini file, inside group when it is not empty.
inline void writeSettings(const QString& path, const QString& group, const QVariantMap& values)
{
    QSettings s(path, QSettings::IniFormat);
    if (!group.isEmpty())
        s.beginGroup(group);
    for (auto it = values.begin(); it != values.end(); ++it)
        s.setValue(it.key(), it.value());
    if (!group.isEmpty())
        s.endGroup();
    s.sync();
}

// The table of source accounts of one form, as the form saves it.
inline void writeAccounts(const QString& path, const QString& group, const QList<QPair<QString, QString>>& accounts)
{
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(group);
    s.beginWriteArray(QStringLiteral("Accounts"));
    for (int i = 0; i < accounts.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("Account"), accounts.at(i).first);
        s.setValue(QStringLiteral("CompID"), accounts.at(i).second);
    }
    s.endArray();
    s.endGroup();
    s.sync();
}

} // namespace expect
