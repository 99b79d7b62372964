// A workbook chosen in the window, then deleted or cut short before Export is
// pressed: one message, and neither the destination nor the Header ID moves.

#include "expect.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestWorkbookChangedInWindow final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QFile::remove(WindowDriver::settingsPath()); }

    void workbookChangedAfterChoosing_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("deleted") << true;
        QTest::newRow("truncated") << false;
    }
    void workbookChangedAfterChoosing()
    {
        QFETCH(bool, deleted);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        expect::writeSettings(WindowDriver::settingsPath(), "Transfer",
                              {{"TrxRef", 1}, {"FromAcc", 2}, {"ToAcc", 3}, {"Amount", 4}, {"Remittance", 5},
                               {"HasColumnHeader", true}, {"CompanyID", "ABCDE12345"}, {"HeaderID", 41}});
        const QString book = dir.filePath("book.xlsx");
        QVERIFY(expect::writeSheet(book, "Data", {{"Ref", "From", "To", "Amount", "Type"},
                                                  {"REF-001", "1234567890", "0987654321", 1500, "WDK"}}));
        const QString dest = dir.filePath("out.txt");
        const QByteArray earlier = "earlier batch\n";
        QFile earlierFile(dest);
        QVERIFY(earlierFile.open(QIODevice::WriteOnly));
        QCOMPARE(earlierFile.write(earlier), qint64(earlier.size()));
        earlierFile.close();

        WindowDriver user;
        user.chooseType(0);
        user.browseSource(book);
        user.chooseSheet("Data");
        user.browseDestination(dest);
        QFile changed(book);
        QVERIFY(deleted ? changed.remove() : changed.resize(changed.size() / 2));
        user.clickExport();

        QCOMPARE(user.boxes.size(), 1);
        QCOMPARE(user.boxes.at(0).text, QString("Error. Unable to select sheet Data"));
        QCOMPARE(user.boxes.at(0).kind, Messages::Kind::Critical);
        QCOMPARE(expect::fileBytes(dest), earlier);
        QCOMPARE(QSettings(WindowDriver::settingsPath(), QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 41);
        QStringList left = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        left.removeOne("book.xlsx");
        QCOMPARE(left, QStringList{"out.txt"});
    }
};

QTEST_MAIN(TestWorkbookChangedInWindow)
#include "tst_workbook_changed_in_window.moc"
