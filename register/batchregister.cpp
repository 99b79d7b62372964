#include "batchregister.h"

#include "settings/settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <limits>

namespace kova {
namespace {

// migrations[v] takes the schema from version v (PRAGMA user_version) to
// v + 1. A new version only ever appends a step, so any older register is
// brought up to date by running the steps it has not seen.
const QVector<QStringList> migrations = {
    {
        QStringLiteral("CREATE TABLE batches ("
                       "id INTEGER PRIMARY KEY AUTOINCREMENT,"
                       "written_at TEXT NOT NULL,"
                       "type TEXT NOT NULL,"
                       "header_id TEXT NOT NULL,"
                       "destination TEXT NOT NULL,"
                       "records INTEGER NOT NULL,"
                       "total_cents INTEGER NOT NULL,"
                       "fingerprint TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX batches_type_fingerprint ON batches (type, fingerprint)"),
    },
    {
        // Entries written before keep no key (NULL) and count as started and finished.
        QStringLiteral("ALTER TABLE batches ADD COLUMN effective_date TEXT"),
        QStringLiteral("ALTER TABLE batches ADD COLUMN account TEXT"),
        QStringLiteral("ALTER TABLE batches ADD COLUMN finished INTEGER NOT NULL DEFAULT 1"),
    },
};

// Version 3 changes no table: it marks a register that holds a total beyond
// 64 bits, and the write that first stores one sets it. Until then an older
// KOVA reads and writes the register as before; after it, that KOVA refuses
// the register as made by a newer one instead of reading such a total as 0.
// A later change of the table takes version 4, and its register of version 2
// steps through 3 with no statement.
constexpr int wideTotalsVersion = 3;

// Each upload file's SHA-256, in a table of its own beside the batches, made
// by every open whatever the version. An older KOVA never reads it and goes
// on using the register as before, so it takes no version that would shut
// that KOVA out; what it writes is found by its payments only. An entry it
// forgets is one it started itself, which has no row here, and ids are never
// used again.
const QStringList fileTable = {
    QStringLiteral("CREATE TABLE IF NOT EXISTS batch_files (batch_id INTEGER PRIMARY KEY, sha256 TEXT NOT NULL)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS batch_files_sha256 ON batch_files (sha256)"),
};

const QString columns = QStringLiteral(
    "written_at, type, header_id, destination, records, total_cents, fingerprint, effective_date, account, finished");

// What a register of schema version holds, as the columns above, then its id
// and its file's SHA-256: a first version register has no key and only
// finished entries.
QString selectedColumns(int version, bool files)
{
    const QString first = QStringLiteral(
        "written_at, type, header_id, destination, records, total_cents, fingerprint, NULL, NULL, 1");
    return (version < 2 ? first : columns) + QStringLiteral(", id, ")
        + (files ? QStringLiteral("(SELECT sha256 FROM batch_files WHERE batch_id = batches.id)") : QStringLiteral("NULL"));
}

// A total beyond 64 bits is kept as its 16 bytes, the most significant first.
// SQLite compares blobs byte by byte and puts them after every integer, so
// totals (never negative) keep their order in one column, and every total that
// fits stays the integer older registers hold. Its text would not do: the
// column's integer affinity turns a number too long for 64 bits into a
// floating-point one.
constexpr int wideTotalBytes = 16;

bool isWide(Cents total)
{
    return total > std::numeric_limits<qint64>::max() || total < std::numeric_limits<qint64>::min();
}

QVariant storedTotal(Cents total)
{
    if (!isWide(total))
        return qlonglong(total);
    QByteArray bytes(wideTotalBytes, '\0');
    auto bits = static_cast<unsigned __int128>(total);
    for (int i = wideTotalBytes - 1; i >= 0; --i, bits >>= 8)
        bytes[i] = char(bits & 0xff);
    return bytes;
}

// None for a blob of another size: a damaged entry is never shown, nor asked
// about, with a total it does not hold.
std::optional<Cents> totalOf(const QVariant& stored)
{
    if (stored.type() != QVariant::ByteArray)
        return stored.toLongLong();
    const QByteArray bytes = stored.toByteArray();
    if (bytes.size() != wideTotalBytes)
        return std::nullopt;
    unsigned __int128 bits = 0;
    for (const char byte : bytes)
        bits = bits << 8 | static_cast<unsigned char>(byte);
    return static_cast<Cents>(bits);
}

QString reasonOf(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// The SQL driver binds a null text as NULL, which keeps no key; an empty one
// (a batch paid on authorization has no date) must stay empty text.
QVariant text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

QString timeText(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODate);
}

bool keepFileSha256(QSqlQuery& query, qint64 id, const QString& fileSha256)
{
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO batch_files (batch_id, sha256) VALUES (?, ?)"));
    query.addBindValue(id);
    query.addBindValue(fileSha256);
    return query.exec();
}

std::optional<BatchEntry> entryOf(const QSqlQuery& query)
{
    const std::optional<Cents> total = totalOf(query.value(5));
    if (!total)
        return std::nullopt;
    BatchEntry entry;
    entry.writtenAt = QDateTime::fromString(query.value(0).toString(), Qt::ISODate).toUTC();
    entry.type = query.value(1).toString();
    entry.headerId = query.value(2).toString();
    entry.destination = query.value(3).toString();
    entry.records = query.value(4).toInt();
    entry.total = *total;
    entry.fingerprint = query.value(6).toString();
    if (!query.value(7).isNull())
        entry.key = BatchKey{query.value(7).toString(), query.value(8).toString()};
    entry.finished = query.value(9).toInt() != 0;
    entry.id = query.value(10).toLongLong();
    entry.fileSha256 = query.value(11).toString();
    return entry;
}

// Why entryOf() gave no entry for the query's row.
QString damagedTotal(const QSqlQuery& query)
{
    return QStringLiteral("the total of entry %1 is damaged").arg(query.value(10).toLongLong());
}

} // namespace

QString registerPathFor(const QString& settingsPath)
{
    return QFileInfo(realSettingsPath(settingsPath)).absoluteDir().filePath(QStringLiteral("kova-batches.sqlite"));
}

BatchRegister::BatchRegister(const QString& path)
    : m_path(path)
    , m_connection(QStringLiteral("kova-register-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    , m_readConnection(m_connection + QStringLiteral("-read"))
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection).setDatabaseName(path);
    QSqlDatabase reader = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_readConnection);
    reader.setDatabaseName(path);
    reader.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
}

BatchRegister::~BatchRegister()
{
    for (const QString& name : {m_connection, m_readConnection}) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

bool BatchRegister::fail(const QString& what, const QString& reason)
{
    m_problem = QStringLiteral("Batch register could not be ") + what + QStringLiteral(": ") + reason;
    m_reason = reason;
    return false;
}

bool BatchRegister::open()
{
    if (m_open)
        return true;
    const QString opened = QStringLiteral("opened");
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.open())
        return fail(opened, reasonOf(db.lastError()));

    // The whole check and migration is one write transaction, so a second
    // KOVA opening the same file at the same moment waits and then finds the
    // schema in place. A file that is no database fails here, at its first read.
    QSqlQuery query(db);
    const auto failOpen = [&](const QString& reason) {
        query.exec(QStringLiteral("ROLLBACK"));
        db.close();
        return fail(opened, reason);
    };
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failOpen(reasonOf(query.lastError()));
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failOpen(reasonOf(query.lastError()));
    const int version = query.value(0).toInt();
    if (version > wideTotalsVersion)
        return failOpen(QStringLiteral("it was made by a newer KOVA (schema version %1)").arg(version));
    for (int v = version; v < migrations.size(); ++v)
        for (const QString& statement : migrations.at(v))
            if (!query.exec(statement))
                return failOpen(reasonOf(query.lastError()));
    for (const QString& statement : fileTable)
        if (!query.exec(statement))
            return failOpen(reasonOf(query.lastError()));
    // Never back down from wideTotalsVersion.
    if (version < migrations.size() && !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(migrations.size())))
        return failOpen(reasonOf(query.lastError()));
    if (!query.exec(QStringLiteral("COMMIT")))
        return failOpen(reasonOf(query.lastError()));
    m_open = true;
    return true;
}

std::optional<BatchRegister::Schema> BatchRegister::openToRead()
{
    // No file, no batch written yet; opening it would create it.
    if (!QFileInfo::exists(m_path))
        return Schema{};
    const QString read = QStringLiteral("read");
    QSqlDatabase db = QSqlDatabase::database(m_readConnection, false);
    if (!db.isOpen() && !db.open()) {
        fail(read, reasonOf(db.lastError()));
        return std::nullopt;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        fail(read, reasonOf(query.lastError()));
        return std::nullopt;
    }
    const int version = query.value(0).toInt();
    if (version > wideTotalsVersion) {
        fail(read, QStringLiteral("it was made by a newer KOVA (schema version %1)").arg(version));
        return std::nullopt;
    }
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'batch_files'"))
        || !query.next()) {
        fail(read, reasonOf(query.lastError()));
        return std::nullopt;
    }
    return Schema{version, query.value(0).toInt() > 0};
}

bool BatchRegister::record(const BatchEntry& entry, qint64* id)
{
    if (!open())
        return false;
    const QString written = QStringLiteral("written");
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // A total beyond 64 bits goes in with the version that keeps an older
    // KOVA from reading it, and a file's SHA-256 with its entry, or neither does.
    const bool wide = isWide(entry.total);
    const bool withFile = !entry.fileSha256.isEmpty();
    const bool together = wide || withFile;
    QSqlQuery control(db);
    if (together && !control.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(written, reasonOf(control.lastError()));
    const auto failWrite = [&](const QSqlError& error) {
        const QString reason = reasonOf(error);
        if (together)
            control.exec(QStringLiteral("ROLLBACK"));
        return fail(written, reason);
    };

    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO batches (") + columns
                  + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(timeText(entry.writtenAt));
    query.addBindValue(entry.type);
    query.addBindValue(text(entry.headerId));
    query.addBindValue(QFileInfo(entry.destination).absoluteFilePath());
    query.addBindValue(entry.records);
    query.addBindValue(storedTotal(entry.total));
    query.addBindValue(entry.fingerprint);
    query.addBindValue(entry.key ? text(entry.key->effectiveDate) : QVariant(QVariant::String));
    query.addBindValue(entry.key ? text(entry.key->account) : QVariant(QVariant::String));
    query.addBindValue(entry.finished ? 1 : 0);
    if (!query.exec())
        return failWrite(query.lastError());
    const qint64 recorded = query.lastInsertId().toLongLong();
    if (withFile && !keepFileSha256(query, recorded, entry.fileSha256))
        return failWrite(query.lastError());
    if (wide && !control.exec(QStringLiteral("PRAGMA user_version = %1").arg(wideTotalsVersion)))
        return failWrite(control.lastError());
    if (together && !control.exec(QStringLiteral("COMMIT")))
        return failWrite(control.lastError());
    if (id)
        *id = recorded;
    return true;
}

bool BatchRegister::finish(qint64 id, const QDateTime& writtenAt, const QString& fileSha256)
{
    if (!open())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // Finished with its file's SHA-256, or left as it was.
    QSqlQuery control(db);
    if (!control.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(QStringLiteral("written"), reasonOf(control.lastError()));
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE batches SET finished = 1, written_at = ? WHERE id = ?"));
    query.addBindValue(timeText(writtenAt));
    query.addBindValue(id);
    if (!query.exec() || !keepFileSha256(query, id, fileSha256)) {
        const QString reason = reasonOf(query.lastError());
        control.exec(QStringLiteral("ROLLBACK"));
        return fail(QStringLiteral("written"), reason);
    }
    return control.exec(QStringLiteral("COMMIT")) || fail(QStringLiteral("written"), reasonOf(control.lastError()));
}

bool BatchRegister::forget(qint64 id)
{
    if (!open())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("DELETE FROM batches WHERE id = ?"));
    query.addBindValue(id);
    return query.exec() || fail(QStringLiteral("written"), reasonOf(query.lastError()));
}

std::optional<BatchEntry> BatchRegister::latestOf(QSqlQuery& query)
{
    if (!query.exec()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    const std::optional<BatchEntry> entry = entryOf(query);
    if (!entry)
        fail(QStringLiteral("read"), damagedTotal(query));
    return entry;
}

std::optional<BatchEntry> BatchRegister::findSame(const QString& type, const QString& fingerprint, const BatchKey& key)
{
    const std::optional<Schema> schema = openToRead();
    if (!schema || schema->version == 0)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_readConnection, false));
    const bool keyed = schema->version >= 2;
    query.prepare(QStringLiteral("SELECT ") + selectedColumns(schema->version, schema->files)
                  + QStringLiteral(" FROM batches WHERE type = ? AND fingerprint = ?")
                  + (keyed ? QStringLiteral(" AND (effective_date IS NULL OR (effective_date = ? AND account = ?))")
                           : QString())
                  + QStringLiteral(" ORDER BY id DESC LIMIT 1"));
    query.addBindValue(type);
    query.addBindValue(fingerprint);
    if (keyed) {
        query.addBindValue(text(key.effectiveDate));
        query.addBindValue(text(key.account));
    }
    return latestOf(query);
}

std::optional<BatchEntry> BatchRegister::findFile(const QString& fileSha256)
{
    const std::optional<Schema> schema = openToRead();
    if (!schema || !schema->files)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_readConnection, false));
    query.prepare(QStringLiteral("SELECT ") + selectedColumns(schema->version, true)
                  + QStringLiteral(" FROM batches WHERE id IN (SELECT batch_id FROM batch_files WHERE sha256 = ?)"
                                   " ORDER BY id DESC LIMIT 1"));
    query.addBindValue(fileSha256);
    return latestOf(query);
}

int BatchRegister::batchesWithoutFileSha256()
{
    const std::optional<Schema> schema = openToRead();
    if (!schema || schema->version == 0)
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_readConnection, false));
    // An unfinished entry has no file to tell yet.
    query.exec(QStringLiteral("SELECT COUNT(*) FROM batches WHERE ")
               + (schema->version >= 2 ? QStringLiteral("finished = 1") : QStringLiteral("1"))
               + (schema->files ? QStringLiteral(" AND id NOT IN (SELECT batch_id FROM batch_files)") : QString()));
    if (!query.next()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return 0;
    }
    return query.value(0).toInt();
}

qint64 BatchRegister::highestHeaderId(const QString& type)
{
    const std::optional<Schema> schema = openToRead();
    if (!schema || schema->version == 0)
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_readConnection, false));
    query.prepare(QStringLiteral("SELECT MAX(CAST(header_id AS INTEGER)) FROM batches WHERE type = ? AND header_id <> ''"));
    query.addBindValue(type);
    if (!query.exec() || !query.next()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return 0;
    }
    return query.value(0).toLongLong();
}

QVector<BatchEntry> BatchRegister::history()
{
    // SQLite takes a negative limit as none.
    return historyPage(std::numeric_limits<qint64>::max(), -1);
}

QVector<BatchEntry> BatchRegister::historyPage(qint64 beforeId, int limit)
{
    QVector<BatchEntry> entries;
    if (!open())
        return entries;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    // Ids grow with every row, so they order by writing even when the
    // clock was set back in between.
    query.prepare(QStringLiteral("SELECT ") + selectedColumns(migrations.size(), true)
                  + QStringLiteral(" FROM batches WHERE id < ? ORDER BY id DESC LIMIT ?"));
    query.addBindValue(beforeId);
    query.addBindValue(limit);
    if (!query.exec()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return entries;
    }
    while (query.next()) {
        const std::optional<BatchEntry> entry = entryOf(query);
        if (!entry) {
            fail(QStringLiteral("read"), damagedTotal(query));
            break;
        }
        entries.append(*entry);
    }
    return entries;
}

} // namespace kova
