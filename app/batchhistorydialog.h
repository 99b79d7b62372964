#pragma once

#include "register/batchregister.h"

#include <QDialog>
#include <QVector>

class QTableWidget;

// The register of written batches as a table, newest first: date, type,
// Header ID, records, total and file. Ctrl+C copies the selected rows as the
// register's text lines, ready to paste into a sheet.
class BatchHistoryDialog final : public QDialog
{
public:
    BatchHistoryDialog(const QVector<kova::BatchEntry>& entries, QWidget* parent);

    // The selected rows as text, top to bottom.
    QString selectedText() const;

private:
    QVector<kova::BatchEntry> m_entries;
    QTableWidget* m_table;
};
