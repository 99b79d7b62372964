// The window of written batches over a large register: how long it takes to
// open and show its first rows, and the memory it takes.
// The register is the one beside the program's settings, made afresh and removed.
//   QT_QPA_PLATFORM=offscreen batch_history_bench [ENTRIES]

#include "app/mainwindow.h"
#include "register/batchregister.h"
#include "settings/settingsfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>

#include <cstdio>
#include <sys/resource.h>

namespace {

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Fills the register in one transaction, as many exports over the years would.
bool fillRegister(const QString& path, int entries)
{
    {
        kova::BatchRegister created(path);
        if (!created.open())
            return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(path);
    bool ok = db.open();
    {
        QSqlQuery query(db);
        ok = ok && query.exec(QStringLiteral("BEGIN"));
        query.prepare(QStringLiteral("INSERT INTO batches (written_at, type, header_id, destination, records, "
                                     "total_cents, fingerprint) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        const QDateTime start(QDate(2020, 1, 1), QTime(8, 0), Qt::UTC);
        for (int i = 0; ok && i < entries; ++i) {
            query.addBindValue(start.addSecs(i * 600).toString(Qt::ISODate));
            query.addBindValue(QStringLiteral("Auto Transfer"));
            query.addBindValue(QString::number(i + 1));
            query.addBindValue(QStringLiteral("/data/uploads/AutoTransfer-%1.txt").arg(i));
            query.addBindValue(100 + i % 900);
            query.addBindValue(qlonglong(150000050) + i);
            query.addBindValue(QString::number(i, 16).rightJustified(64, QLatin1Char('0')));
            ok = query.exec();
        }
        ok = ok && query.exec(QStringLiteral("COMMIT"));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int entries = argc > 1 ? QString(argv[1]).toInt() : 300000;
    const QString registerPath = kova::registerPathFor(kova::defaultSettingsPath());
    QFile::remove(registerPath);
    if (!fillRegister(registerPath, entries)) {
        std::fprintf(stderr, "could not fill %s\n", qPrintable(registerPath));
        return 1;
    }
    MainWindow window;
    window.show();
    QApplication::processEvents();
    const double before = peakMiB();

    QElapsedTimer timer;
    timer.start();
    window.findChild<QPushButton*>(QStringLiteral("btnBatches"))->click();
    auto* table = window.findChild<QTableView*>(QStringLiteral("tblBatches"));
    QApplication::processEvents();   // shown and painted
    const qint64 openMs = timer.elapsed();
    timer.restart();
    // Scrolling to the end asks for page after page; this reads them all at once.
    while (table->model()->canFetchMore({}))
        table->model()->fetchMore({});
    QApplication::processEvents();
    const qint64 allMs = timer.elapsed();

    std::printf("register of %d entries: window open and painted in %lld ms; every row read (%d) in %lld ms more; "
                "peak %.1f MiB (%.1f MiB before opening)\n",
                entries, qlonglong(openMs), table->model()->rowCount(), qlonglong(allMs), peakMiB(), before);
    QFile::remove(registerPath);
    return 0;
}
