#pragma once

#include "expect.h"
#include "recordingsink.h"

#include <QObject>
#include <QScopedPointer>
#include <QTemporaryDir>

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
    }

    // Writes rows from sheet row 1 on into the test's workbook; returns its path.
    QString writeBook(const QString& sheet, const QList<QVariantList>& rows)
    {
        if (!expect::writeSheet(m_book, sheet, rows))
            qFatal("workbook not written");
        return m_book;
    }

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_book;
    QString m_dest;
    QString m_ini;
    RecordingSink m_sink;
};
