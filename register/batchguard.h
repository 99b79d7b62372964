#pragma once

#include "batchfingerprint.h"
#include "types/batchkey.h"
#include "batchregister.h"
#include "types/batchtype.h"

#include <QString>

#include <memory>
#include <optional>

namespace kova {

// What the register knows of a batch's payments, read before it is written.
class BatchLookup final
{
public:
    static BatchLookup nothing() { return {}; }
    static BatchLookup same(const BatchEntry& earlier);
    static BatchLookup unreadable(const QString& reason);

    // The question to put before writing the batch; empty when there is none.
    QString question() const;
    // Whether a yes to other's question covers this answer too: the same
    // earlier batch, or the register unreadable both times.
    bool sameAnswer(const BatchLookup& other) const;
    // The same batch's entry was recorded as started and not as finished:
    // a run that stopped, or, seen without the settings lock, one still
    // writing its file.
    bool unfinished() const { return m_earlier && !m_earlier->finished; }

private:
    std::optional<BatchEntry> m_earlier;
    std::optional<QString> m_unreadable;
};

// One upload file's way past the register. The export road feeds it each
// detail record while reading the rows; under the lock of the settings it
// looks the batch up, and once the Header ID is taken it records the batch
// as started, before the upload file is committed:
//
//   BatchGuard guard(settingsPath, type, key);
//   ... guard.addDetail(line) for every detail record ...
//   guard.lookUp().question() -> ask; a no writes nothing
//   ... reserve the Header ID ...
//   guard.started(headerId, destination, total);
//   ... commit: guard.finished(sha256) -> a problem is reported, the export stands;
//       or a failure: guard.abandoned()
//
// A run stopped between started() and finished() leaves its entry
// unfinished, which the next run of the same batch asks about as possibly
// written. A batch without detail records pays nothing and is never asked about.
class BatchGuard final
{
public:
    BatchGuard(const QString& settingsPath, BatchType type, const BatchKey& key);
    ~BatchGuard();

    // One detail record as UTF-8, without its line feed.
    void addDetail(const char* record, int size) { m_fingerprint.addDetail(record, size); }

    // Reads the register only.
    BatchLookup lookUp();

    // Records the batch as being written.
    void started(const QString& headerId, const QString& destination, Cents total);
    // The upload file is in place, its bytes of that SHA-256: empty when the
    // register says so, else the register's failure text.
    QString finished(const QString& fileSha256);
    // The upload file was not written: its entry goes.
    void abandoned();

private:
    BatchRegister& registerFile();

    QString m_registerPath;
    BatchType m_type;
    BatchKey m_key;
    BatchFingerprint m_fingerprint;
    std::unique_ptr<BatchRegister> m_register;
    BatchEntry m_entry;
    std::optional<qint64> m_entryId;
};

} // namespace kova
