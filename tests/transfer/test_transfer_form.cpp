#include "forms/transfer/transferform.h"

#include "forms/common/messages.h"
#include "testworkbook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Box = QPair<Messages::Kind, QString>;

const QString star = QStringLiteral("<span style=\"color:rgb(255,0,0)\">*</span>");

// The mapping combo boxes in the order of their settings keys.
const QStringList comboNames{
    QStringLiteral("cboTrxRef"), QStringLiteral("cboDate"), QStringLiteral("cboFrom"), QStringLiteral("cboTo"),
    QStringLiteral("cboAmount"), QStringLiteral("cboRemarks1"), QStringLiteral("cboRemarks2"),
    QStringLiteral("cboRemittance"), QStringLiteral("cboBICode"), QStringLiteral("cboBank"),
    QStringLiteral("cboBranch"), QStringLiteral("cboName"), QStringLiteral("cboAddress1"),
    QStringLiteral("cboAddress2"), QStringLiteral("cboAddress3"), QStringLiteral("cboAddress4"),
    QStringLiteral("cboCustType"), QStringLiteral("cboResidence")};

const QStringList keys{
    QStringLiteral("TrxRef"), QStringLiteral("TrxDate"), QStringLiteral("FromAcc"), QStringLiteral("ToAcc"),
    QStringLiteral("Amount"), QStringLiteral("Remarks1"), QStringLiteral("Remarks2"), QStringLiteral("Remittance"),
    QStringLiteral("BICode"), QStringLiteral("Bank"), QStringLiteral("Branch"), QStringLiteral("Beneficiary"),
    QStringLiteral("Address1"), QStringLiteral("Address2"), QStringLiteral("Address3"), QStringLiteral("Address4"),
    QStringLiteral("CustType"), QStringLiteral("Residence")};

// The combo boxes Validate_Settings requires, in its order, with the message of each.
const QList<QPair<QString, QString>> alwaysRequired{
    {QStringLiteral("cboTrxRef"), QStringLiteral("Trx Ref # can not be empty")},
    {QStringLiteral("cboFrom"), QStringLiteral("From Acc # can not be empty")},
    {QStringLiteral("cboTo"), QStringLiteral("To Acc # can not be empty")},
    {QStringLiteral("cboAmount"), QStringLiteral("Amount can not be empty")},
    {QStringLiteral("cboRemittance"), QStringLiteral("Transfer Type can not be empty")}};
const QList<QPair<QString, QString>> othersRequired{
    {QStringLiteral("cboBICode"), QStringLiteral("BI Code can not be empty")},
    {QStringLiteral("cboBank"), QStringLiteral("Bank can not be empty")},
    {QStringLiteral("cboBranch"), QStringLiteral("Branch can not be empty")},
    {QStringLiteral("cboName"), QStringLiteral("Name can not be empty")},
    {QStringLiteral("cboCustType"), QStringLiteral("Cust Type can not be empty")},
    {QStringLiteral("cboResidence"), QStringLiteral("Cust Residence can not be empty")}};

} // namespace

// Stands in for the main window: the form connects to these signals by name
// and reports through its own.
class FakeWindow final : public QWidget
{
    Q_OBJECT

signals:
    void SIG_Export(QString source, QString destination);
    void SIG_Excel_Changed(QString path, QString sheet);

public slots:
    void onHeaders(QStringList t) { titles.append(t); }
    void onRow(QStringList values, QList<QPoint*> cells, QStringList messages, int amountColumn)
    {
        QList<QPoint> copied;
        for (const QPoint* p : cells)
            copied.append(*p);
        rows.append({values, messages});
        points.append(copied);
        amountColumns.append(amountColumn);
    }
    void onDone(QStringList lines) { summaries.append(lines); }
    void onExportClick() { ++exportClicks; }

public:
    void watch(QWidget* form)
    {
        connect(form, SIGNAL(SIG_HEADER_CHANGE(QStringList)), this, SLOT(onHeaders(QStringList)));
        connect(form, SIGNAL(SIG_TRX_PROC(QStringList,QList<QPoint*>,QStringList,int)), this,
                SLOT(onRow(QStringList,QList<QPoint*>,QStringList,int)));
        connect(form, SIGNAL(SIG_TRX_DONE(QStringList)), this, SLOT(onDone(QStringList)));
        connect(form, SIGNAL(SIG_EXPBTN_CLICK()), this, SLOT(onExportClick()));
    }

    QList<QStringList> titles;
    QList<QPair<QStringList, QStringList>> rows;   // values, messages
    QList<QList<QPoint>> points;
    QList<int> amountColumns;
    QList<QStringList> summaries;
    int exportClicks = 0;
};

class TestTransferForm final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void newSettingsDefaults();
    void storedSettingsAreShown();
    void modeSwitching();
    void validation_data();
    void validation();
    void savedKeysAndValues_data();
    void savedKeysAndValues();
    void saveInWdkLeavesLimits();
    void unwritableSettingsFile();
    void exportReportsThroughSignals();
    void exportRefusedBySettings();
    void headerIdPastTheMaximum();
    void headerIdNotStored();
    void headerIdAdvancedToZeroIsShown();

private:
    QString iniPath() const { return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kova.ini")); }
    template<typename T> T* child(QWidget* form, const QString& name)
    {
        T* w = form->findChild<T*>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QString text(QWidget* form, const char* name) { return child<QLineEdit>(form, QLatin1String(name))->text(); }
    void setText(QWidget* form, const char* name, const QString& t) { child<QLineEdit>(form, QLatin1String(name))->setText(t); }
    // Offers 20 columns in every mapping combo box and maps field i to column i + 1.
    void mapAll(QWidget* form);
    // Maps the fields every export needs to columns 1 to 5 of a sheet already announced.
    void mapRequired(QWidget* form)
    {
        int column = 0;
        for (const auto& required : alwaysRequired)
            child<QComboBox>(form, required.first)->setCurrentIndex(++column);
    }
    void unmap(QWidget* form, const QString& combo) { child<QComboBox>(form, combo)->setCurrentIndex(0); }
    void click(QWidget* form, const char* name) { child<QAbstractButton>(form, QLatin1String(name))->click(); }
    QString writeBook(const QList<QVariantList>& rows);

    QTemporaryDir m_dir;
    QList<Box> m_boxes;
};

void TestTransferForm::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Messages::setPresenter([this](QWidget*, Messages::Kind kind, const QString& text) { m_boxes.append({kind, text}); });
}

void TestTransferForm::init()
{
    QDir(iniPath()).removeRecursively();
    {
        // Through QSettings, so its per-process cache forgets the last test's values too.
        QSettings ini(iniPath(), QSettings::IniFormat);
        ini.clear();
    }
    QFile::remove(iniPath());
    m_boxes.clear();
}

void TestTransferForm::cleanupTestCase()
{
    Messages::setPresenter({});
    QFile::remove(iniPath());
}

void TestTransferForm::mapAll(QWidget* form)
{
    QStringList choices{QString()};
    for (int c = 1; c <= 20; ++c)
        choices.append(QString(QChar('A' + c - 1)));
    for (int i = 0; i < comboNames.size(); ++i) {
        QComboBox* combo = child<QComboBox>(form, comboNames.at(i));
        combo->clear();
        combo->addItems(choices);
        combo->setCurrentIndex(i + 1);
    }
}

QString TestTransferForm::writeBook(const QList<QVariantList>& rows)
{
    static int n = 0;
    const QString path = m_dir.filePath(QStringLiteral("book%1.xlsx").arg(++n));
    TestWorkbook book(path);
    book.addSheet(QStringLiteral("Data"));
    for (int i = 0; i < rows.size(); ++i)
        book.setRow(i + 1, rows.at(i));
    if (!book.save())
        qFatal("workbook not written");
    return path;
}

void TestTransferForm::newSettingsDefaults()
{
    TransferForm form;
    QCOMPARE(text(&form, "txtHeaderID"), QStringLiteral("1"));
    QCOMPARE(text(&form, "txtCompID"), QString());
    QVERIFY(!child<QCheckBox>(&form, QStringLiteral("chkHeaders"))->isChecked());
    QVERIFY(child<QRadioButton>(&form, QStringLiteral("rdbWDK"))->isChecked());
    QCOMPARE(child<QComboBox>(&form, QStringLiteral("cboOthers"))->currentIndex(), -1);
    QCOMPARE(child<QLabel>(&form, QStringLiteral("label"))->text(), QStringLiteral("Trx Ref #") + star);

    // A sheet arrives: every mapping combo box shows the empty entry.
    FakeWindow window;
    auto* hosted = new TransferForm(&window);
    emit window.SIG_Excel_Changed(writeBook({{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}}),
                                  QStringLiteral("Data"));
    for (const QString& name : comboNames) {
        QComboBox* combo = child<QComboBox>(hosted, name);
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->currentIndex(), 0);
    }
    QCOMPARE(child<QComboBox>(hosted, QStringLiteral("cboOthers"))->count(), 2);
}

void TestTransferForm::storedSettingsAreShown()
{
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Transfer/HeaderID"), QStringLiteral("0"));
        ini.setValue(QStringLiteral("Transfer/CompanyID"), QStringLiteral(" BCDE12345"));
        ini.setValue(QStringLiteral("Transfer/HasColumnHeader"), true);
    }
    {
        TransferForm form;
        QCOMPARE(text(&form, "txtHeaderID"), QStringLiteral("1"));
        QCOMPARE(text(&form, "txtCompID"), QStringLiteral(" BCDE12345"));
        QVERIFY(child<QCheckBox>(&form, QStringLiteral("chkHeaders"))->isChecked());
    }
    QSettings(iniPath(), QSettings::IniFormat).setValue(QStringLiteral("Transfer/HeaderID"), 314);
    TransferForm form;
    QCOMPARE(text(&form, "txtHeaderID"), QStringLiteral("314"));
}

void TestTransferForm::modeSwitching()
{
    TransferForm form;
    form.show();
    const QStringList limitWidgets{QStringLiteral("btnMinLock"), QStringLiteral("btnMaxLock"), QStringLiteral("cboOthers"),
                                   QStringLiteral("lblMin"), QStringLiteral("lblMax"), QStringLiteral("txtMinRTGS"),
                                   QStringLiteral("txtMaxRTGS")};
    const auto captions = [&] {
        QStringList c;
        for (const char* name : {"lblBICode", "lblBank", "lblRemittance", "lblBranch", "lblBenef", "lblCustType", "lblResidence"})
            c.append(child<QLabel>(&form, QLatin1String(name))->text());
        return c;
    };
    const QStringList plain{QStringLiteral("BI Code"), QStringLiteral("Bank Name"), QStringLiteral("Transfer Type") + star,
                            QStringLiteral("Branch Name"), QStringLiteral("Name"), QStringLiteral("Type"),
                            QStringLiteral("Residence")};
    QCOMPARE(captions(), plain);
    for (const QString& name : limitWidgets)
        QVERIFY2(child<QWidget>(&form, name)->isHidden(), qPrintable(name));

    click(&form, "rdbOthers");
    QStringList required;
    for (const QString& c : plain)
        required.append(c.endsWith(star) ? c : c + star);
    QCOMPARE(captions(), required);
    QCOMPARE(child<QComboBox>(&form, QStringLiteral("cboOthers"))->currentIndex(), 0);
    for (const QString& name : limitWidgets)
        QVERIFY2(!child<QWidget>(&form, name)->isHidden(), qPrintable(name));
    QCOMPARE(text(&form, "txtMinRTGS"), QStringLiteral("1"));
    QCOMPARE(text(&form, "txtMaxRTGS"), QStringLiteral("500.000.000"));

    child<QComboBox>(&form, QStringLiteral("cboOthers"))->setCurrentIndex(1);
    QCOMPARE(text(&form, "txtMinRTGS"), QStringLiteral("500.000.001"));
    QCOMPARE(text(&form, "txtMaxRTGS"), QStringLiteral("999.999.999.999.999"));

    click(&form, "rdbWDK");
    QCOMPARE(captions(), plain);
    QCOMPARE(child<QComboBox>(&form, QStringLiteral("cboOthers"))->currentIndex(), -1);
    for (const QString& name : limitWidgets)
        QVERIFY2(child<QWidget>(&form, name)->isHidden(), qPrintable(name));
}

void TestTransferForm::validation_data()
{
    QTest::addColumn<bool>("others");
    QTest::addColumn<QStringList>("unmapped");
    QTest::addColumn<QString>("minLimit");
    QTest::addColumn<QString>("maxLimit");
    QTest::addColumn<QString>("headerId");
    QTest::addColumn<QString>("corporateId");
    QTest::addColumn<QString>("message");   // empty: saved

    const QString ok10 = QStringLiteral("ABCDE12345");
    const QString one = QStringLiteral("1");

    // Each required field reported first while it and every later one is unmapped.
    QList<QPair<QString, QString>> order = alwaysRequired + othersRequired;
    for (int i = 0; i < order.size(); ++i) {
        QStringList unmapped;
        for (int j = i; j < order.size(); ++j)
            unmapped.append(order.at(j).first);
        QTest::newRow(qPrintable(QStringLiteral("Others, ") + order.at(i).second))
            << true << unmapped << QStringLiteral("0") << QStringLiteral("0") << QString() << QString()
            << order.at(i).second;
        if (i < alwaysRequired.size())
            QTest::newRow(qPrintable(QStringLiteral("WDK, ") + order.at(i).second))
                << false << unmapped << one << one << QString() << QString() << order.at(i).second;
    }
    QStringList beneficiary;
    for (const auto& r : othersRequired)
        beneficiary.append(r.first);
    QTest::newRow("WDK needs no beneficiary field") << false << beneficiary << QStringLiteral("0") << QStringLiteral("0")
                                                    << one << ok10 << QString();
    QTest::newRow("optional fields unmapped")
        << true << QStringList{QStringLiteral("cboDate"), QStringLiteral("cboRemarks1"), QStringLiteral("cboRemarks2"),
                               QStringLiteral("cboAddress1"), QStringLiteral("cboAddress2"), QStringLiteral("cboAddress3"),
                               QStringLiteral("cboAddress4")}
        << one << one << one << ok10 << QString();

    QTest::newRow("minimum 0 before maximum 0") << true << QStringList{} << QStringLiteral("0") << QStringLiteral("0")
                                                << QString() << QString() << QStringLiteral("Invalid minimum limit");
    QTest::newRow("minimum not a number") << true << QStringList{} << QStringLiteral("abc") << one << one << ok10
                                          << QStringLiteral("Invalid minimum limit");
    QTest::newRow("maximum 0 before Header ID") << true << QStringList{} << one << QStringLiteral("0.000") << QString()
                                                << QString() << QStringLiteral("Invalid maximum limit");
    QTest::newRow("grouped limits") << true << QStringList{} << QStringLiteral("1.000") << QStringLiteral("2.000.000")
                                    << one << ok10 << QString();

    const QString invalidId = QStringLiteral("Invalid Header ID");
    const QString maxId = QStringLiteral("Max value of Header ID is 99999999");
    QTest::newRow("Header ID 0 before Corporate ID") << false << QStringList{} << one << one << QStringLiteral("0")
                                                     << QString() << invalidId;
    QTest::newRow("Header ID text") << false << QStringList{} << one << one << QStringLiteral("abc") << ok10 << invalidId;
    QTest::newRow("Header ID 99999999") << false << QStringList{} << one << one << QStringLiteral("99999999") << ok10
                                        << QString();
    QTest::newRow("Header ID 100000000") << false << QStringList{} << one << one << QStringLiteral("100000000") << ok10
                                         << maxId;
    QTest::newRow("Header ID -5") << false << QStringList{} << one << one << QStringLiteral("-5") << ok10 << maxId;

    QTest::newRow("Corporate ID ten spaces") << false << QStringList{} << one << one << one << QString(10, QLatin1Char(' '))
                                             << QStringLiteral("Corporate ID can not be empty");
    QTest::newRow("Corporate ID nine chars") << false << QStringList{} << one << one << one << QStringLiteral("ABCDE1234")
                                             << QStringLiteral("Corporate ID must be 10 chars");
    QTest::newRow("Corporate ID with a separator") << false << QStringList{} << one << one << one
                                                   << QStringLiteral("ABCDE|2345") << QStringLiteral("Corporate ID contains invalid chars");
    QTest::newRow("Corporate ID with a line feed") << false << QStringList{} << one << one << one
                                                   << QStringLiteral("ABCDE\n2345") << QStringLiteral("Corporate ID contains invalid chars");
    QTest::newRow("Corporate ID with a leading space") << false << QStringList{} << one << one << one
                                                       << QStringLiteral(" BCDE12345") << QString();
}

void TestTransferForm::validation()
{
    QFETCH(bool, others);
    QFETCH(QStringList, unmapped);
    QFETCH(QString, minLimit);
    QFETCH(QString, maxLimit);
    QFETCH(QString, headerId);
    QFETCH(QString, corporateId);
    QFETCH(QString, message);

    TransferForm form;
    mapAll(&form);
    for (const QString& name : unmapped)
        unmap(&form, name);
    if (others)
        click(&form, "rdbOthers");
    setText(&form, "txtMinRTGS", minLimit);
    setText(&form, "txtMaxRTGS", maxLimit);
    setText(&form, "txtHeaderID", headerId);
    setText(&form, "txtCompID", corporateId);
    click(&form, "btnSave");

    if (message.isEmpty()) {
        QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Information, QStringLiteral("Settings has been saved"))});
        QVERIFY(QFile::exists(iniPath()));
    } else {
        QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical, message)});
        QVERIFY(!QFile::exists(iniPath()));
    }
}

void TestTransferForm::savedKeysAndValues_data()
{
    QTest::addColumn<int>("clearing");
    QTest::addColumn<QString>("minKey");
    QTest::addColumn<QString>("maxKey");
    QTest::newRow("LLG") << 0 << QStringLiteral("MinLLG") << QStringLiteral("MaxLLG");
    QTest::newRow("RTGS") << 1 << QStringLiteral("MinRTGS") << QStringLiteral("MaxRTGS");
}

void TestTransferForm::savedKeysAndValues()
{
    QFETCH(int, clearing);
    QFETCH(QString, minKey);
    QFETCH(QString, maxKey);

    TransferForm form;
    mapAll(&form);
    child<QComboBox>(&form, QStringLiteral("cboDate"))->setCurrentIndex(0);
    child<QComboBox>(&form, QStringLiteral("cboResidence"))->setCurrentIndex(20);
    child<QCheckBox>(&form, QStringLiteral("chkHeaders"))->setChecked(true);
    click(&form, "rdbOthers");
    child<QComboBox>(&form, QStringLiteral("cboOthers"))->setCurrentIndex(clearing);
    setText(&form, "txtMinRTGS", QStringLiteral("1.000"));
    setText(&form, "txtMaxRTGS", QStringLiteral("2000000"));
    setText(&form, "txtHeaderID", QStringLiteral("0012"));
    setText(&form, "txtCompID", QStringLiteral("ABCDE12345"));
    click(&form, "btnSave");
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Information, QStringLiteral("Settings has been saved"))});

    QSettings ini(iniPath(), QSettings::IniFormat);
    QStringList expectedTop{minKey, maxKey};
    expectedTop.sort();
    QStringList top = ini.childKeys();
    top.sort();
    QCOMPARE(top, expectedTop);
    QCOMPARE(ini.value(minKey).toULongLong(), quint64(1000));
    QCOMPARE(ini.value(maxKey).toULongLong(), quint64(2000000));
    ini.beginGroup(QStringLiteral("Transfer"));
    QStringList groupKeys = keys + QStringList{QStringLiteral("HeaderID"), QStringLiteral("CompanyID"),
                                               QStringLiteral("HasColumnHeader")};
    groupKeys.sort();
    QStringList stored = ini.childKeys();
    stored.sort();
    QCOMPARE(stored, groupKeys);
    for (int i = 0; i < keys.size(); ++i) {
        const int expected = i == 1 ? 0 : i == 17 ? 20 : i + 1;
        QCOMPARE(ini.value(keys.at(i)).toInt(), expected);
    }
    QCOMPARE(ini.value(QStringLiteral("HeaderID")).toString(), QStringLiteral("0012"));
    QCOMPARE(ini.value(QStringLiteral("CompanyID")).toString(), QStringLiteral("ABCDE12345"));
    QCOMPARE(ini.value(QStringLiteral("HasColumnHeader")).toBool(), true);
}

void TestTransferForm::saveInWdkLeavesLimits()
{
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("MinLLG"), 10);
        ini.setValue(QStringLiteral("MaxLLG"), 0);
    }
    TransferForm form;
    mapAll(&form);
    setText(&form, "txtCompID", QStringLiteral("ABCDE12345"));
    click(&form, "btnSave");
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Information, QStringLiteral("Settings has been saved"))});
    QSettings ini(iniPath(), QSettings::IniFormat);
    QStringList top = ini.childKeys();
    top.sort();
    QCOMPARE(top, (QStringList{QStringLiteral("MaxLLG"), QStringLiteral("MinLLG")}));
    QCOMPARE(ini.value(QStringLiteral("MinLLG")).toInt(), 10);
    QCOMPARE(ini.value(QStringLiteral("MaxLLG")).toInt(), 0);
    QCOMPARE(ini.value(QStringLiteral("Transfer/HeaderID")).toString(), QStringLiteral("1"));
}

void TestTransferForm::unwritableSettingsFile()
{
    QVERIFY(QDir().mkpath(iniPath()));
    TransferForm form;
    mapAll(&form);
    setText(&form, "txtCompID", QStringLiteral("ABCDE12345"));
    click(&form, "btnSave");
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical, QStringLiteral("Settings could not be saved"))});

    m_boxes.clear();
    click(&form, "rdbOthers");
    click(&form, "btnSave");
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical, QStringLiteral("Settings could not be saved"))});
}

void TestTransferForm::exportReportsThroughSignals()
{
    FakeWindow window;
    auto* form = new TransferForm(&window);
    window.watch(form);
    const QVariantList good{QStringLiteral("REF1"), QVariant(), QStringLiteral("1234567890"), QStringLiteral("0987654321"),
                            QStringLiteral("25.5"), QVariant(), QVariant(), QStringLiteral("WDK")};
    QVariantList bad = good;
    bad[2] = QStringLiteral("12");
    bad[4] = QStringLiteral("0");
    const QString dest = m_dir.filePath(QStringLiteral("transfer.txt"));

    emit window.SIG_Excel_Changed(writeBook({good, bad}), QStringLiteral("Data"));
    for (int i = 0; i < 8; ++i)
        if (i != 1)
            child<QComboBox>(form, comboNames.at(i))->setCurrentIndex(i + 1);
    setText(form, "txtCompID", QStringLiteral("ABCDE12345"));
    setText(form, "txtHeaderID", QStringLiteral("5"));
    // The workbook is the one the export request names; the sheet is the one last announced.
    emit window.SIG_Export(m_dir.filePath(QStringLiteral("missing.xlsx")), dest);
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical, QStringLiteral("Error. Unable to select sheet Data"))});
    m_boxes.clear();
    window.titles.clear();

    // A sheet with an error: rows reported with their marked cells, nothing written.
    emit window.SIG_Export(writeBook({good, bad}), dest);
    QCOMPARE(window.titles.size(), 1);
    QCOMPARE(window.titles.at(0).size(), 16);
    QCOMPARE(window.rows.size(), 2);
    QCOMPARE(window.rows.at(0).first.mid(0, 4), (QStringList{QStringLiteral("REF1"), QStringLiteral("1234567890"),
                                                              QStringLiteral("0987654321"), QStringLiteral("25,50")}));
    QCOMPARE(window.rows.at(1).second, (QStringList{
        QStringLiteral("<span style=\"color:#e73d4a;\">LINE 2: Error. <span style=\"font-weight:bold;\">From Acc</span> must be 10 characters</span>"),
        QStringLiteral("<span style=\"color:#e73d4a;\">LINE 2: Error. Invalid amount</span>")}));
    QCOMPARE(window.points, (QList<QList<QPoint>>{{}, {QPoint(1, 1), QPoint(1, 3)}}));
    QCOMPARE(window.amountColumns, (QList<int>{3, 3}));
    QCOMPARE(window.summaries.size(), 1);
    QCOMPARE(window.summaries.at(0).value(3), QStringLiteral("Total errors: 2"));
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical, QStringLiteral("ERROR!"))});
    QVERIFY(!QFile::exists(dest));
    QCOMPARE(text(form, "txtHeaderID"), QStringLiteral("5"));

    // A clean sheet: the upload file, "Done!", and the stored Header ID plus one in the box.
    m_boxes.clear();
    emit window.SIG_Export(writeBook({good}), dest);
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Information, QStringLiteral("Done!"))});
    QFile upload(dest);
    QVERIFY(upload.open(QIODevice::ReadOnly));
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    QCOMPARE(QString::fromUtf8(upload.readAll()),
             QStringLiteral("0|FT|00000005|||") + today + QStringLiteral("|ABCDE12345|25.50|00001|WDK|IDR|\n"
                                                                         "1|00001|REF1|1234567890|0987654321|25.50|||||||||||||\n"));
    QCOMPARE(text(form, "txtHeaderID"), QStringLiteral("1"));
    QCOMPARE(QSettings(iniPath(), QSettings::IniFormat).value(QStringLiteral("Transfer/HeaderID")).toInt(), 1);
}

void TestTransferForm::exportRefusedBySettings()
{
    FakeWindow window;
    auto* form = new TransferForm(&window);
    window.watch(form);
    mapAll(form);
    emit window.SIG_Export(writeBook({{QStringLiteral("x")}}), m_dir.filePath(QStringLiteral("refused.txt")));
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical, QStringLiteral("Corporate ID can not be empty"))});
    QVERIFY(window.titles.isEmpty());
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("refused.txt.details"))));
}

void TestTransferForm::headerIdPastTheMaximum()
{
    QSettings(iniPath(), QSettings::IniFormat).setValue(QStringLiteral("Transfer/HeaderID"), 99999999);
    FakeWindow window;
    auto* form = new TransferForm(&window);
    const QString book = writeBook({{QStringLiteral("REF1"), QStringLiteral("1234567890"), QStringLiteral("0987654321"),
                                     QStringLiteral("1"), QStringLiteral("WDK")}});
    emit window.SIG_Excel_Changed(book, QStringLiteral("Data"));
    mapRequired(form);
    setText(form, "txtCompID", QStringLiteral("ABCDE12345"));
    QCOMPARE(text(form, "txtHeaderID"), QStringLiteral("99999999"));
    emit window.SIG_Export(book, m_dir.filePath(QStringLiteral("max.txt")));
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Information, QStringLiteral("Done!"))});
    QCOMPARE(text(form, "txtHeaderID"), QStringLiteral("100000000"));
    QCOMPARE(QSettings(iniPath(), QSettings::IniFormat).value(QStringLiteral("Transfer/HeaderID")).toInt(), 100000000);

    m_boxes.clear();
    click(form, "btnSave");
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical, QStringLiteral("Max value of Header ID is 99999999"))});
}

void TestTransferForm::headerIdNotStored()
{
    QVERIFY(QDir().mkpath(iniPath()));
    FakeWindow window;
    auto* form = new TransferForm(&window);
    const QString book = writeBook({{QStringLiteral("REF1"), QStringLiteral("1234567890"), QStringLiteral("0987654321"),
                                     QStringLiteral("1"), QStringLiteral("WDK")}});
    emit window.SIG_Excel_Changed(book, QStringLiteral("Data"));
    mapRequired(form);
    setText(form, "txtCompID", QStringLiteral("ABCDE12345"));
    setText(form, "txtHeaderID", QStringLiteral("5"));
    const QString dest = m_dir.filePath(QStringLiteral("unstored.txt"));
    emit window.SIG_Export(book, dest);
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Critical,
                                     QStringLiteral("Upload file written, but Header ID could not be stored"))});
    QVERIFY(QFile::exists(dest));
    // The written batch carries 5; the box moves on so the next one does not repeat a number.
    QCOMPARE(text(form, "txtHeaderID"), QStringLiteral("1"));
}

void TestTransferForm::headerIdAdvancedToZeroIsShown()
{
    // A settings file edited by hand can hold any number; the box shows the
    // stored one plus one whatever it is.
    QSettings(iniPath(), QSettings::IniFormat).setValue(QStringLiteral("Transfer/HeaderID"), -1);
    FakeWindow window;
    auto* form = new TransferForm(&window);
    const QString book = writeBook({{QStringLiteral("REF1"), QStringLiteral("1234567890"), QStringLiteral("0987654321"),
                                     QStringLiteral("1"), QStringLiteral("WDK")}});
    emit window.SIG_Excel_Changed(book, QStringLiteral("Data"));
    mapRequired(form);
    setText(form, "txtCompID", QStringLiteral("ABCDE12345"));
    setText(form, "txtHeaderID", QStringLiteral("5"));
    emit window.SIG_Export(book, m_dir.filePath(QStringLiteral("zero.txt")));
    QCOMPARE(m_boxes, QList<Box>{Box(Messages::Kind::Information, QStringLiteral("Done!"))});
    QCOMPARE(text(form, "txtHeaderID"), QStringLiteral("0"));
    QCOMPARE(QSettings(iniPath(), QSettings::IniFormat).value(QStringLiteral("Transfer/HeaderID")).toInt(), 0);
}

QTEST_MAIN(TestTransferForm)
#include "test_transfer_form.moc"
