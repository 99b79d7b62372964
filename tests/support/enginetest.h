#pragma once

#include "expect.h"
#include "recordingsink.h"

#include "export/exportrun.h"

#include <QObject>
#include <QScopedPointer>
#include "export/settingsfile.h"
#include "register/batchregister.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A row of an engine's rules table: the sheet row, what the log shows of it
// and marks, and the detail record when the batch is written (empty: the row
// fails the batch).
struct RowCase
{
    QVariantList cells;
    QStringList messages;
    QVector<int> marked;   // log columns, in marking order
    int logColumn = 0;     // the column whose shown value is compared
    QString shown;
    QString record;
};
Q_DECLARE_METATYPE(RowCase)

// What every engine test starts from: a fresh folder per test function with
// the workbook it writes, the upload file it expects, its settings file and
// the sink that records what the export reported.
class EngineTest : public QObject
{
protected:
    // Call from init().
    void freshFolder()
    {
        m_dir.reset(new QTemporaryDir);
        if (!m_dir->isValid())
            qFatal("no temporary folder");
        m_book = m_dir->filePath(QStringLiteral("book.xlsx"));
        m_dest = m_dir->filePath(QStringLiteral("out.txt"));
        m_ini = m_dir->filePath(QStringLiteral("kova.ini"));
        m_sink = RecordingSink();
        // The forms' settings file lies beside the test; so does its register.
        QFile::remove(kova::registerPathFor(kova::defaultSettingsPath()));
    }

    // Writes rows from sheet row 1 on into the test's workbook; returns its path.
    QString writeBook(const QString& sheet, const QList<QVariantList>& rows)
    {
        if (!expect::writeSheet(m_book, sheet, rows))
            qFatal("workbook not written");
        return m_book;
    }

    // Compares the one processed row and the upload's detail record with c.
    void checkRow(kova::ExportOutcome outcome, const RowCase& c)
    {
        QCOMPARE(m_sink.rows.size(), 1);
        QCOMPARE(m_sink.allMessages(), c.messages);
        QVector<kova::MarkedCell> cells;
        for (int column : c.marked)
            cells.append({0, column});
        QCOMPARE(m_sink.rows.at(0).cells, cells);
        QCOMPARE(m_sink.rows.at(0).values.value(c.logColumn), c.shown);
        QCOMPARE(outcome, c.record.isEmpty() ? kova::ExportOutcome::RowErrors : kova::ExportOutcome::Written);
        if (!c.record.isEmpty())
            QCOMPARE(expect::fileLines(m_dest).mid(1), QStringList{c.record});
    }

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_book;
    QString m_dest;
    QString m_ini;
    RecordingSink m_sink;
};
