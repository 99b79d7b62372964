#pragma once

#include "expect.h"
#include "recordingsink.h"

#include "run/exportrun.h"

#include <QTemporaryDir>
#include <QtTest>

// A row of an engine's rules table: the sheet row, its log lines, the log columns it
// marks in order, one column's shown value, the detail record (empty: the batch fails).
struct RowCase
{
    QVariantList cells;
    QStringList messages;
    QVector<int> marked;
    int logColumn = 0;
    QString shown, record;
};
Q_DECLARE_METATYPE(RowCase)

// A fresh folder per test function: workbook, upload, settings file and sink.
class EngineTest : public QObject
{
protected:
    void freshFolder()   // from init()
    {
        m_dir.reset(new QTemporaryDir);
        m_book = m_dir->filePath(QStringLiteral("book.xlsx"));
        m_dest = m_dir->filePath(QStringLiteral("out.txt"));
        m_ini = m_dir->filePath(QStringLiteral("kova.ini"));
        m_sink = RecordingSink();
    }

    QString writeBook(const QString& sheet, const QList<QVariantList>& rows)
    {
        if (!expect::writeSheet(m_book, sheet, rows))
            qFatal("workbook not written");
        return m_book;
    }

    // The shared road over the sheet "Data" of book (m_book when empty) into m_dest.
    template <typename Job, typename Settings>
    kova::ExportResult runJob(const Settings& s, const QString& book = {})
    {
        Job job(s);
        return kova::runExport({book.isEmpty() ? m_book : book, QStringLiteral("Data"), m_dest, s.settingsPath}, job,
                               m_sink);
    }

    void checkRow(kova::ExportOutcome outcome, const RowCase& c)
    {
        QCOMPARE(m_sink.allMessages(), c.messages);
        QVector<kova::MarkedCell> cells;
        for (int column : c.marked)
            cells.append({0, column});
        QCOMPARE(m_sink.rows.size(), 1);
        QCOMPARE(m_sink.rows.at(0).cells, cells);
        QCOMPARE(m_sink.rows.at(0).values.value(c.logColumn), c.shown);
        QCOMPARE(outcome, c.record.isEmpty() ? kova::ExportOutcome::RowErrors : kova::ExportOutcome::Written);
        if (!c.record.isEmpty())
            QCOMPARE(expect::fileLines(m_dest).mid(1), QStringList{c.record});
    }

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_book, m_dest, m_ini;
    RecordingSink m_sink;
};
