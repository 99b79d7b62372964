#pragma once

#include <QDialog>

class BatchHistoryModel;
class QTableView;

// The register of written batches as a table, newest first (see
// BatchHistoryModel), read as it is scrolled through; Ctrl+End reads it to
// the oldest batch. Ctrl+C copies the selected rows as the register's text
// lines, ready to paste into a sheet.
class BatchHistoryDialog final : public QDialog
{
public:
    // Reads the register at registerPath; problem() tells when it could not.
    BatchHistoryDialog(const QString& registerPath, QWidget* parent);

    QString problem() const;
    // The selected rows as text, top to bottom.
    QString selectedText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BatchHistoryModel* m_model;
    QTableView* m_table;
};
