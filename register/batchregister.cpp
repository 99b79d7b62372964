#include "batchregister.h"

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
};

const QString columns =
    QStringLiteral("written_at, type, header_id, destination, records, total_cents, fingerprint");

QString reasonOf(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
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
    return entry;
}

} // namespace

QString registerPathFor(const QString& settingsPath)
{
    return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("kova-batches.sqlite"));
}

BatchRegister::BatchRegister(const QString& path)
    : m_connection(QStringLiteral("kova-register-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection).setDatabaseName(path);
}

BatchRegister::~BatchRegister()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

bool BatchRegister::fail(const QString& what, const QString& reason)
{
    m_problem = QStringLiteral("Batch register could not be ") + what + QStringLiteral(": ") + reason;
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

bool BatchRegister::record(const BatchEntry& entry)
{
    if (!open())
        return false;
    const QString written = QStringLiteral("written");
    // SQLite integers hold 64 bits; no real batch comes near that.
    if (entry.total > std::numeric_limits<qint64>::max() || entry.total < std::numeric_limits<qint64>::min())
        return fail(written, QStringLiteral("the total ") + decimalText(entry.total) + QStringLiteral(" is too large"));

    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO batches (") + columns + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(entry.writtenAt.toUTC().toString(Qt::ISODate));
    query.addBindValue(entry.type);
    query.addBindValue(entry.headerId.isNull() ? QStringLiteral("") : entry.headerId);
    query.addBindValue(QFileInfo(entry.destination).absoluteFilePath());
    query.addBindValue(entry.records);
    query.addBindValue(qlonglong(entry.total));
    query.addBindValue(entry.fingerprint);
    if (!query.exec())
        return fail(written, reasonOf(query.lastError()));
    return true;
}

std::optional<BatchEntry> BatchRegister::findSame(const QString& type, const QString& fingerprint)
{
    if (!open())
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT ") + columns
                  + QStringLiteral(" FROM batches WHERE type = ? AND fingerprint = ? ORDER BY id DESC LIMIT 1"));
    query.addBindValue(type);
    query.addBindValue(fingerprint);
    if (!query.exec()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return entryOf(query);
}

QVector<BatchEntry> BatchRegister::history()
{
    QVector<BatchEntry> entries;
    if (!open())
        return entries;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // Ids grow with every row, so they order by writing even when the
    // clock was set back in between.
    if (!query.exec(QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM batches ORDER BY id DESC"))) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return entries;
    }
    while (query.next())
        entries.append(entryOf(query));
    return entries;
}

QVector<BatchEntry> BatchRegister::historyPage(qint64 beforeId, int limit, QVector<qint64>& ids)
{
    QVector<BatchEntry> entries;
    if (!open())
        return entries;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT ") + columns
                  + QStringLiteral(", id FROM batches WHERE id < ? ORDER BY id DESC LIMIT ?"));
    query.addBindValue(beforeId);
    query.addBindValue(limit);
    if (!query.exec()) {
        fail(QStringLiteral("read"), reasonOf(query.lastError()));
        return entries;
    }
    while (query.next()) {
        entries.append(entryOf(query));
        ids.append(query.value(7).toLongLong());
    }
    return entries;
}

} // namespace kova
