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

const QString columns = QStringLiteral(
    "written_at, type, header_id, destination, records, total_cents, fingerprint, effective_date, account, finished");

// What a register of schema version holds, as the columns above: a first
// version register has no key and only finished entries.
QString selectedColumns(int version)
{
    const QString first = QStringLiteral(
        "written_at, type, header_id, destination, records, total_cents, fingerprint, NULL, NULL, 1");
    return (version < 2 ? first : columns) + QStringLiteral(", id");
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

BatchEntry entryOf(const QSqlQuery& query)
{
    BatchEntry entry;
    entry.writtenAt = QDateTime::fromString(query.value(0).toString(), Qt::ISODate).toUTC();
    entry.type = query.value(1).toString();
    entry.headerId = query.value(2).toString();
    entry.destination = query.value(3).toString();
    entry.records = query.value(4).toInt();
    entry.total = query.value(5).toLongLong();
    entry.fingerprint = query.value(6).toString();
    if (!query.value(7).isNull())
        entry.key = BatchKey{query.value(7).toString(), query.value(8).toString()};
    entry.finished = query.value(9).toInt() != 0;
    entry.id = query.value(10).toLongLong();
    return entry;
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
    if (version > migrations.size())
        return failOpen(QStringLiteral("it was made by a newer KOVA (schema version %1)").arg(version));
    for (int v = version; v < migrations.size(); ++v)
        for (const QString& statement : migrations.at(v))
            if (!query.exec(statement))
                return failOpen(reasonOf(query.lastError()));
    if (!query.exec(QStringLiteral("PRAGMA user_version = %1").arg(migrations.size()))
        || !query.exec(QStringLiteral("COMMIT")))
        return failOpen(reasonOf(query.lastError()));
    m_open = true;
    return true;
}

std::optional<int> BatchRegister::openToRead()
{
    // No file, no batch written yet; opening it would create it.
    if (!QFileInfo::exists(m_path))
        return 0;
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
    if (version > migrations.size()) {
        fail(read, QStringLiteral("it was made by a newer KOVA (schema version %1)").arg(version));
        return std::nullopt;
    }
    return version;
}

bool BatchRegister::record(const BatchEntry& entry, qint64* id)
{
    if (!open())
        return false;
    const QString written = QStringLiteral("written");
    // SQLite integers hold 64 bits; no real batch comes near that.
    if (entry.total > std::numeric_limits<qint64>::max() || entry.total < std::numeric_limits<qint64>::min())
        return fail(written, QStringLiteral("the total ") + decimalText(entry.total) + QStringLiteral(" is too large"));

    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO batches (") + columns
                  + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(timeText(entry.writtenAt));
    query.addBindValue(entry.type);
    query.addBindValue(text(entry.headerId));
    query.addBindValue(QFileInfo(entry.destination).absoluteFilePath());
    query.addBindValue(entry.records);
    query.addBindValue(qlonglong(entry.total));
    query.addBindValue(entry.fingerprint);
    query.addBindValue(entry.key ? text(entry.key->effectiveDate) : QVariant(QVariant::String));
    query.addBindValue(entry.key ? text(entry.key->account) : QVariant(QVariant::String));
    query.addBindValue(entry.finished ? 1 : 0);
    if (!query.exec())
        return fail(written, reasonOf(query.lastError()));
    if (id)
        *id = query.lastInsertId().toLongLong();
    return true;
}

bool BatchRegister::finish(qint64 id, const QDateTime& writtenAt)
{
    if (!open())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("UPDATE batches SET finished = 1, written_at = ? WHERE id = ?"));
    query.addBindValue(timeText(writtenAt));
    query.addBindValue(id);
    return query.exec() || fail(QStringLiteral("written"), reasonOf(query.lastError()));
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

std::optional<BatchEntry> BatchRegister::findSame(const QString& type, const QString& fingerprint, const BatchKey& key)
{
    const std::optional<int> version = openToRead();
    if (!version || *version == 0)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_readConnection, false));
    const bool keyed = *version >= 2;
    query.prepare(QStringLiteral("SELECT ") + selectedColumns(*version)
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
    if (!query.exec()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return entryOf(query);
}

qint64 BatchRegister::highestHeaderId(const QString& type)
{
    const std::optional<int> version = openToRead();
    if (!version || *version == 0)
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
    query.prepare(QStringLiteral("SELECT ") + selectedColumns(migrations.size())
                  + QStringLiteral(" FROM batches WHERE id < ? ORDER BY id DESC LIMIT ?"));
    query.addBindValue(beforeId);
    query.addBindValue(limit);
    if (!query.exec()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return entries;
    }
    while (query.next())
        entries.append(entryOf(query));
    return entries;
}

} // namespace kova
