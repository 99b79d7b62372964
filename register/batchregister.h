#pragma once

#include "export/money.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

namespace kova {

// "kova-batches.sqlite" in the folder of the settings file: separate settings
// keep separate registers.
QString registerPathFor(const QString& settingsPath);

// One upload file that was written.
struct BatchEntry
{
    QDateTime writtenAt;    // UTC
    QString type;           // batchTypeName(), e.g. "Payroll"
    QString headerId;       // empty for types without one
    QString destination;    // absolute path of the upload file
    int records = 0;        // detail records
    Cents total = 0;
    QString fingerprint;    // BatchFingerprint::hex()
};

// The register of written batches: an SQLite file, created and migrated by
// the program. No operation throws; a failure leaves its text in problem()
// ("Batch register could not be opened: ...", "...written: ...", "...read:
// ..."), for the caller to report while it goes on exporting.
class BatchRegister final
{
public:
    explicit BatchRegister(const QString& path);
    ~BatchRegister();
    BatchRegister(const BatchRegister&) = delete;
    BatchRegister& operator=(const BatchRegister&) = delete;

    // Opens the file, creating or migrating its schema. False on failure.
    bool open();
    bool isOpen() const { return m_open; }

    bool record(const BatchEntry& entry);
    // The latest batch of type with this fingerprint.
    std::optional<BatchEntry> findSame(const QString& type, const QString& fingerprint);
    // Every batch, newest first.
    QVector<BatchEntry> history();
    // Up to limit batches written before the one numbered beforeId, newest
    // first, and each one's number in ids: a window pages through a register
    // of any size without holding it all.
    QVector<BatchEntry> historyPage(qint64 beforeId, int limit, QVector<qint64>& ids);

    // The text of the last failure; empty while none happened.
    QString problem() const { return m_problem; }

private:
    bool fail(const QString& what, const QString& reason);

    QString m_connection;
    bool m_open = false;
    QString m_problem;
};

} // namespace kova
