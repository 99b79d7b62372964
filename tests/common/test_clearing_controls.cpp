#include "forms/common/clearingcontrols.h"
#include "forms/common/messages.h"
#include "export/settingsfile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

#include <memory>

using Limits = QVector<quint64>;   // MinLLG, MaxLLG, MinRTGS, MaxRTGS
using Keys = QMap<QString, QString>;   // settings key -> stored text

namespace {

QString settingsPath() { return kova::defaultSettingsPath(); }

// Stands in for the transfer or credit form: the group box's widgets wired as
// the forms wire them, with the mode slot reduced to what both forms share.
class ClearingForm final : public QWidget
{
public:
    ClearingForm()
    {
        auto* layout = new QFormLayout(this);
        layout->addRow(rdbWDK = new QRadioButton(QStringLiteral("WDK")), rdbOthers = new QRadioButton(QStringLiteral("Others")));
        layout->addRow(cboOthers = new QComboBox);
        layout->addRow(lblMin = new QLabel(QStringLiteral("Min")), txtMinRTGS = new QLineEdit);
        layout->addRow(btnMinLock = new QPushButton);
        layout->addRow(lblMax = new QLabel(QStringLiteral("Max")), txtMaxRTGS = new QLineEdit);
        layout->addRow(btnMaxLock = new QPushButton);
        cboOthers->addItems({QStringLiteral("LLG"), QStringLiteral("RTGS")});
        controls = std::make_unique<ClearingControls>(
            ClearingWidgets{rdbWDK, rdbOthers, cboOthers, lblMin, lblMax, txtMinRTGS, txtMaxRTGS,
                            btnMinLock, btnMaxLock},
            settingsPath(), this);
        connect(cboOthers, qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this](int index) { controls->clearingChanged(index); });
        connect(btnMinLock, &QPushButton::clicked, this, [this] { controls->lockClicked(btnMinLock); });
        connect(btnMaxLock, &QPushButton::clicked, this, [this] { controls->lockClicked(btnMaxLock); });
        connect(txtMinRTGS, &QLineEdit::returnPressed, this, [this] { controls->returnPressed(txtMinRTGS); });
        connect(txtMaxRTGS, &QLineEdit::returnPressed, this, [this] { controls->returnPressed(txtMaxRTGS); });
        connect(rdbWDK, &QRadioButton::clicked, this, [this] { applyMode(); });
        connect(rdbOthers, &QRadioButton::clicked, this, [this] { applyMode(); });
        controls->setUpLockButtons();
        controls->readLimits();
        rdbWDK->setChecked(true);
        applyMode();
        show();
    }

    void applyMode()
    {
        const bool others = !rdbWDK->isChecked();
        cboOthers->setCurrentIndex(others ? 0 : -1);
        controls->showLimitWidgets(others);
    }

    void others(int clearing)
    {
        QTest::mouseClick(rdbOthers, Qt::LeftButton);
        cboOthers->setCurrentIndex(clearing);
    }

    QPushButton* lock(bool minimum) const { return minimum ? btnMinLock : btnMaxLock; }
    QLineEdit* field(bool minimum) const { return minimum ? txtMinRTGS : txtMaxRTGS; }

    void type(bool minimum, const QString& text)
    {
        QTest::mouseClick(lock(minimum), Qt::LeftButton);   // unlock
        field(minimum)->clear();
        QTest::keyClicks(field(minimum), text);
    }

    QStringList shown() const { return {txtMinRTGS->text(), txtMaxRTGS->text()}; }
    Limits held() const
    {
        const kova::ClearingLimits& l = controls->limits();
        return {l.minLLG, l.maxLLG, l.minRTGS, l.maxRTGS};
    }

    QRadioButton *rdbWDK, *rdbOthers;
    QComboBox* cboOthers;
    QLabel *lblMin, *lblMax;
    QLineEdit *txtMinRTGS, *txtMaxRTGS;
    QPushButton *btnMinLock, *btnMaxLock;
    std::unique_ptr<ClearingControls> controls;
};

// Every top-level key of the settings file with its stored text.
Keys storedKeys()
{
    QSettings s(settingsPath(), QSettings::IniFormat);
    Keys keys;
    for (const QString& key : s.allKeys())
        keys.insert(key, s.value(key).toString());
    return keys;
}

void store(const Keys& keys)
{
    QSettings s(settingsPath(), QSettings::IniFormat);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        s.setValue(it.key(), it.value());
}

const quint64 kMaxRtgsDefault = 999999999999999ULL;
const Limits kDefaults{1, 500000000, 500000001, kMaxRtgsDefault};

} // namespace

class TestClearingControls final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Messages::setPresenter([this](QWidget*, Messages::Kind kind, const QString& text) {
            m_messages << (kind == Messages::Kind::Critical ? QStringLiteral("critical: ")
                                                            : QStringLiteral("information: "))
                              + text;
        });
    }
    void init()
    {
        removeSettings();
        m_messages.clear();
    }
    void cleanup()
    {
        removeSettings();
    }

    void lockButtonsStartLockedWithTwoStateIcon()
    {
        ClearingForm form;
        for (bool minimum : {true, false}) {
            QPushButton* button = form.lock(minimum);
            QVERIFY(button->isCheckable());
            QVERIFY(!button->isChecked());
            QLineEdit* field = form.field(minimum);
            QVERIFY(!field->isEnabled());
            QCOMPARE(field->alignment(), Qt::AlignRight | Qt::AlignVCenter);
            QCOMPARE(field->inputMask(), QString());

            const QSize size(32, 32);
            const QImage off = button->icon().pixmap(size, QIcon::Normal, QIcon::Off).toImage();
            const QImage on = button->icon().pixmap(size, QIcon::Normal, QIcon::On).toImage();
            const QImage lockImage = QIcon(":/icons/icons/Lock.ico").pixmap(size).toImage();
            const QImage unlockImage = QIcon(":/icons/icons/Unlock.ico").pixmap(size).toImage();
            QVERIFY(!lockImage.isNull());
            QVERIFY(lockImage != unlockImage);
            QCOMPARE(off, lockImage);
            QCOMPARE(on, unlockImage);
        }
    }

    void shownLimits_data()
    {
        QTest::addColumn<Keys>("stored");
        QTest::addColumn<QStringList>("llg");
        QTest::addColumn<QStringList>("rtgs");
        QTest::addColumn<Limits>("held");

        QTest::newRow("fresh settings file")
            << Keys{} << QStringList{"1", "500.000.000"}
            << QStringList{"500.000.001", "999.999.999.999.999"}
            << kDefaults;
        QTest::newRow("sound values kept")
            << Keys{{"MinLLG", "10"}, {"MaxLLG", "1000"}, {"MinRTGS", "2000"}, {"MaxRTGS", "3000"}}
            << QStringList{"10", "1.000"} << QStringList{"2.000", "3.000"} << Limits{10, 1000, 2000, 3000};
        QTest::newRow("MaxLLG equal to MinLLG, stored RTGS above it")
            << Keys{{"MinLLG", "7"}, {"MaxLLG", "7"}, {"MinRTGS", "600000000"}, {"MaxRTGS", "700000000"}}
            << QStringList{"7", "500.000.000"} << QStringList{"600.000.000", "700.000.000"}
            << Limits{7, 500000000, 600000000, 700000000};
        QTest::newRow("beyond 15 digits")
            << Keys{{"MaxRTGS", "18446744073709551615"}}
            << QStringList{"1", "500.000.000"} << QStringList{"500.000.001", "18.446.744.073.709.551.615"}
            << Limits{1, 500000000, 500000001, 18446744073709551615ULL};
        QTest::newRow("not a number")
            << Keys{{"MinLLG", "abc"}, {"MaxLLG", "1.000"}}
            << QStringList{"1", "500.000.000"} << QStringList{"500.000.001", "999.999.999.999.999"} << kDefaults;
    }
    void shownLimits()
    {
        QFETCH(Keys, stored);
        QFETCH(QStringList, llg);
        QFETCH(QStringList, rtgs);
        QFETCH(Limits, held);

        store(stored);
        ClearingForm form;
        QCOMPARE(form.held(), held);
        form.others(0);
        QCOMPARE(form.shown(), llg);
        form.cboOthers->setCurrentIndex(1);
        QCOMPARE(form.shown(), rtgs);
        form.cboOthers->setCurrentIndex(0);
        QCOMPARE(form.shown(), llg);
        // Normalising is the form's own business: the file keeps what it had.
        QCOMPARE(storedKeys(), stored);
        QCOMPARE(QFile::exists(settingsPath()), !stored.isEmpty());
    }

    void wdkModeStoresNoLimit()
    {
        ClearingForm form;
        form.txtMinRTGS->setText(QStringLiteral("0"));
        form.txtMaxRTGS->setText(QStringLiteral("abc"));
        QVERIFY(form.controls->saveShownLimits());
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void lock_data()
    {
        QTest::addColumn<bool>("minimum");
        QTest::addColumn<int>("clearing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<Limits>("held");

        // The defaults are held but for the limit locked.
        const auto row = [](const char* name, bool minimum, int clearing, const char* typed, const char* key, quint64 stored) {
            Limits held = kDefaults;
            held[clearing * 2 + (minimum ? 0 : 1)] = stored;
            QTest::newRow(name) << minimum << clearing << QString(typed) << QString(key) << QString::number(stored) << held;
        };
        row("LLG max plain", false, 0, "750000000", "MaxLLG", 750000000);
        row("RTGS min", true, 1, "600.000.000", "MinRTGS", 600000000);
        row("cleared max stores 0", false, 0, "", "MaxLLG", 0);
        row("text reads as 0", true, 1, "12a", "MinRTGS", 0);
        row("min above max not compared", true, 0, "900.000.000", "MinLLG", 900000000);
    }
    void lock()
    {
        QFETCH(bool, minimum);
        QFETCH(int, clearing);
        QFETCH(QString, typed);
        QFETCH(QString, key);
        QFETCH(QString, storedText);
        QFETCH(Limits, held);

        ClearingForm form;
        form.others(clearing);
        form.type(minimum, typed);
        QVERIFY(form.lock(minimum)->isChecked());
        QVERIFY(form.field(minimum)->isEnabled());
        QVERIFY(!form.field(!minimum)->isEnabled());
        QVERIFY(!QFile::exists(settingsPath()));   // unlocking and typing store nothing

        QTest::mouseClick(form.lock(minimum), Qt::LeftButton);
        QVERIFY(!form.lock(minimum)->isChecked());
        QVERIFY(!form.field(minimum)->isEnabled());
        QCOMPARE(form.field(minimum)->text(), typed);   // locking does not reformat
        QCOMPARE(storedKeys(), (Keys{{key, storedText}}));
        QCOMPARE(form.held(), held);
        QCOMPARE(m_messages, QStringList());
    }

    void lockedZeroMaximumIsRefusedThenNormalised()
    {
        {
            ClearingForm form;
            form.others(0);
            form.type(false, QString());
            QTest::mouseClick(form.btnMaxLock, Qt::LeftButton);
            QCOMPARE(storedKeys(), (Keys{{"MaxLLG", "0"}}));
            QCOMPARE(kova::checkLimitTexts(form.txtMinRTGS->text(), form.txtMaxRTGS->text()),
                     QStringLiteral("Invalid maximum limit"));
        }
        ClearingForm next;
        QCOMPARE(next.held(), kDefaults);
    }

    void returnRegroups_data()
    {
        QTest::addColumn<bool>("minimum");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");

        QTest::newRow("plain digits") << false << "750000000" << "750.000.000";
        QTest::newRow("odd dots") << true << "1.2.3.4" << "1.234";
        QTest::newRow("not a number") << false << "12a" << "0";
        QTest::newRow("leading zeros") << false << "000123" << "123";
    }
    void returnRegroups()
    {
        QFETCH(bool, minimum);
        QFETCH(QString, typed);
        QFETCH(QString, shown);

        ClearingForm form;
        form.others(0);
        const Limits before = form.held();
        form.type(minimum, typed);
        QTest::keyClick(form.field(minimum), Qt::Key_Return);
        QCOMPARE(form.field(minimum)->text(), shown);
        QTest::keyClick(form.field(minimum), Qt::Key_Return);
        QCOMPARE(form.field(minimum)->text(), shown);
        QCOMPARE(form.field(!minimum)->text(), QString(minimum ? "500.000.000" : "1"));
        QCOMPARE(form.held(), before);
        QVERIFY(!QFile::exists(settingsPath()));
        QVERIFY(form.lock(minimum)->isChecked());
    }

    void switchingClearingDiscardsUnlockedValue()
    {
        ClearingForm form;
        form.others(0);
        form.type(false, QStringLiteral("123"));
        form.cboOthers->setCurrentIndex(1);
        QCOMPARE(form.txtMaxRTGS->text(), QStringLiteral("999.999.999.999.999"));
        form.cboOthers->setCurrentIndex(0);
        QCOMPARE(form.txtMaxRTGS->text(), QStringLiteral("500.000.000"));
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void limitsTravelBetweenFormsThroughTheFile()
    {
        {
            ClearingForm transfer;
            transfer.others(0);
            transfer.type(false, QStringLiteral("700.000.000"));
            QTest::mouseClick(transfer.btnMaxLock, Qt::LeftButton);
        }
        {
            ClearingForm credit;
            credit.others(0);
            QCOMPARE(credit.txtMaxRTGS->text(), QStringLiteral("700.000.000"));
            credit.cboOthers->setCurrentIndex(1);
            QCOMPARE(credit.txtMinRTGS->text(), QStringLiteral("700.000.001"));
            credit.txtMinRTGS->setText(QStringLiteral("800.000.000"));
            credit.txtMaxRTGS->setText(QStringLiteral("900.000.000"));
            QVERIFY(credit.controls->saveShownLimits());
        }
        ClearingForm transfer;
        transfer.others(1);
        QCOMPARE(transfer.shown(), (QStringList{"800.000.000", "900.000.000"}));
    }

    void saveShownLimits_data()
    {
        QTest::addColumn<int>("clearing");
        QTest::addColumn<Keys>("expected");
        QTest::addColumn<Limits>("held");

        QTest::newRow("LLG") << 0 << Keys{{"MinLLG", "0"}, {"MaxLLG", "1234"}, {"MinRTGS", "11"}, {"MaxRTGS", "12"}}
                             << Limits{0, 1234, 11, 12};
        QTest::newRow("RTGS") << 1 << Keys{{"MinLLG", "9"}, {"MaxLLG", "10"}, {"MinRTGS", "0"}, {"MaxRTGS", "1234"}}
                              << Limits{9, 10, 0, 1234};
    }
    void saveShownLimits()
    {
        QFETCH(int, clearing);
        QFETCH(Keys, expected);
        QFETCH(Limits, held);

        store({{"MinLLG", "9"}, {"MaxLLG", "10"}, {"MinRTGS", "11"}, {"MaxRTGS", "12"}});
        ClearingForm form;
        form.others(clearing);
        form.txtMinRTGS->setText(QStringLiteral("x"));
        form.txtMaxRTGS->setText(QStringLiteral("1.234"));
        QVERIFY(form.controls->saveShownLimits());
        QCOMPARE(storedKeys(), expected);
        // Stored as shown, not normalised; the next start corrects them.
        QCOMPARE(form.held(), held);
    }

    void lockOnUnwritableFileKeepsTheFieldOpen()
    {
        QVERIFY(QDir().mkpath(settingsPath()));   // a directory where kova.ini belongs
        ClearingForm form;
        QCOMPARE(form.held(), kDefaults);
        form.others(0);
        form.type(false, QStringLiteral("700000000"));
        QTest::mouseClick(form.btnMaxLock, Qt::LeftButton);
        QCOMPARE(m_messages, QStringList{"critical: Settings could not be saved"});
        QVERIFY(form.btnMaxLock->isChecked());
        QVERIFY(form.txtMaxRTGS->isEnabled());
        QCOMPARE(form.txtMaxRTGS->text(), QStringLiteral("700000000"));
        QCOMPARE(form.held(), kDefaults);

        // Once the file can be written, locking again goes through.
        m_messages.clear();
        QVERIFY(QDir().rmdir(settingsPath()));
        QTest::mouseClick(form.btnMaxLock, Qt::LeftButton);   // still open: this click locks
        QCOMPARE(m_messages, QStringList());
        QVERIFY(!form.txtMaxRTGS->isEnabled());
        QCOMPARE(storedKeys(), (Keys{{"MaxLLG", "700000000"}}));
        QCOMPARE(form.held(), (Limits{1, 700000000, 500000001, kMaxRtgsDefault}));
    }

    void saveOnUnwritableFileReportsFailure()
    {
        QVERIFY(QDir().mkpath(settingsPath()));
        ClearingForm form;
        form.others(1);
        QVERIFY(!form.controls->saveShownLimits());
        QCOMPARE(m_messages, QStringList());   // the form decides what to say
    }

private:
    static void removeSettings()
    {
        QDir().rmdir(settingsPath());
        QFile::remove(settingsPath());
    }

    QStringList m_messages;
};

QTEST_MAIN(TestClearingControls)
#include "test_clearing_controls.moc"
