#pragma once

#include "types/batchkey.h"

#include "record/money.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

class QSqlQuery;

namespace kova {

// "kova-batches.sqlite" in the folder of the settings file, links followed:
// separate settings keep separate registers, and links to one settings file
// share one.
QString registerPathFor(const QString& settingsPath);

// One upload file that was written, or is being written.
struct BatchEntry
{
    QDateTime writtenAt;    // UTC
    QString type;           // batchTypeName(), e.g. "Payroll"
    QString headerId;       // empty for types without one
    QString destination;    // absolute path of the upload file
    int records = 0;        // detail records
    Cents total = 0;        // exact, whatever its size
    QString fingerprint;    // BatchFingerprint::hex()
    // FileSha256::hex() of the upload file as committed; empty while it is
    // being written, and for an entry recorded before registers kept it.
    QString fileSha256 = QString();
    // None for an entry recorded before registers kept it: such an entry is
    // taken to match any key.
    std::optional<BatchKey> key = std::nullopt;
    // False while its upload file is being written, and for good when the run
    // stopped before it said what became of the file: writtenAt is then when
    // it started, and the file may or may not have been written.
    bool finished = true;
    qint64 id = 0;          // set by the register
};

// The register of written batches: an SQLite file, created and migrated by
// the program. It keeps every total exactly; once it holds one beyond 64
// bits, a KOVA made before refuses it as newer instead of misreading it.
// No operation throws; a failure leaves its text in problem()
// ("Batch register could not be opened: ...", "...written: ...", "...read:
// ..."), for the caller to report.
class BatchRegister final
{
public:
    explicit BatchRegister(const QString& path);
    ~BatchRegister();
    BatchRegister(const BatchRegister&) = delete;
    BatchRegister& operator=(const BatchRegister&) = delete;

    // Opens the file for writing, creating or migrating its schema. False on failure.
    bool open();
    bool isOpen() const { return m_open; }

    // Records entry; id receives its id.
    bool record(const BatchEntry& entry, qint64* id = nullptr);
    // The entry's upload file is in place, written at writtenAt, its bytes
    // of that SHA-256.
    bool finish(qint64 id, const QDateTime& writtenAt, const QString& fileSha256);
    // The entry's upload file was not written after all.
    bool forget(qint64 id);

    // The latest batch of type with this fingerprint and key. Only reads: a
    // register that can be read but not written still answers, and a
    // missing one holds nothing. A failure to read leaves problem() set.
    std::optional<BatchEntry> findSame(const QString& type, const QString& fingerprint, const BatchKey& key);
    // The latest batch whose upload file had this SHA-256, of any type;
    // reading only, as findSame().
    std::optional<BatchEntry> findFile(const QString& fileSha256);
    // Batches written without their file's SHA-256 kept, which findFile()
    // cannot tell: those an older KOVA recorded. Reading only.
    int batchesWithoutFileSha256();
    // The highest Header ID of type (0 for none), reading only.
    qint64 highestHeaderId(const QString& type);
    // Every batch, newest first.
    QVector<BatchEntry> history();
    // Up to limit batches written before the one numbered beforeId (its
    // id), newest first: a window pages through a register of any size
    // without holding it all.
    QVector<BatchEntry> historyPage(qint64 beforeId, int limit);

    // The text of the last failure; empty while none happened.
    QString problem() const { return m_problem; }
    // Its cause alone ("file is not a database").
    QString reason() const { return m_reason; }

private:
    bool fail(const QString& what, const QString& reason);
    // What a register holds: the schema version (PRAGMA user_version) and
    // whether it keeps its files' SHA-256s.
    struct Schema
    {
        int version = 0;
        bool files = false;
    };
    // The read-only connection and the schema found, or none after a failure.
    std::optional<Schema> openToRead();
    // The first entry the prepared query selects, if any; a failure leaves problem() set.
    std::optional<BatchEntry> latestOf(QSqlQuery& query);

    QString m_path;
    QString m_connection;
    QString m_readConnection;
    bool m_open = false;
    QString m_problem;
    QString m_reason;
};

} // namespace kova
