#pragma once

// A program the tests run as its user would, and the text of the PDFs they read back.
#include <QProcess>
#include <QString>
#include <QStringList>

// How a run ended: its exit status (-1 when it did not end by itself) and what it printed.
struct Run { int status = -1; QString out, err; };

inline Run runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// Each page of a PDF as pdftotext lays it out, its lines' runs of white space made one space and its
// blank lines left out, a line feed after each line; empty when pdftotext fails.
inline QStringList pdfPages(const QString& path)
{
    const Run run = runProgram(QStringLiteral("pdftotext"), {"-layout", path, "-"});
    if (run.status != 0)
        return {};
    QStringList pages = run.out.split('\f');
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& page : pages) {
        QString text;
        for (const QString& line : page.split('\n'))
            if (!line.simplified().isEmpty())
                text += line.simplified() + '\n';
        page = text;
    }
    return pages;
}
