#pragma once

#include "register/batchregister.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

#include <limits>
#include <memory>

// The register of written batches as the table shows it, newest first: when
// written, type, Header ID, effective date and account (what decides whether
// a batch repeats an earlier one), records, total, file, and the file's
// SHA-256 (to match a summary or kova-export verify by). The key and the
// SHA-256 come from the entry, the rest from the register's own text lines.
// Rows are read a page at a time as the view scrolls to them, so a register
// of hundreds of thousands of batches opens at once.
class BatchHistoryModel final : public QAbstractTableModel
{
public:
    // Reads the first page; problem() tells when the register could not be read.
    BatchHistoryModel(const QString& registerPath, QObject* parent);
    ~BatchHistoryModel() override;

    QString problem() const { return m_register->problem(); }
    // The text lines of rows, in the order given.
    QString linesOf(const QVector<int>& rows) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // Every page not read yet, for a jump to the oldest batch.
    void fetchAll();

private:
    std::unique_ptr<kova::BatchRegister> m_register;
    QVector<QString> m_lines;   // each entry's text line, without its line feed
    QVector<QStringList> m_keys;   // each entry's effective date and account as shown
    QVector<QString> m_sha256;     // each entry's upload file's
    qint64 m_lastId = std::numeric_limits<qint64>::max();
    bool m_complete = false;
};
