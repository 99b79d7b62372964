#include "core/transfer/transferdescriptor.h"
#include "forms/common/columnmapping.h"
#include "forms/common/messages.h"
#include "testworkbook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

// Five of the transfer fields.
const kova::TypeDescriptor& shapedType()
{
    static const kova::TypeDescriptor type = [] {
        kova::TypeDescriptor shaped = transferDescriptor();
        shaped.fields.clear();
        for (TransferField f : {TransferField::TrxRef, TransferField::TrxDate, TransferField::Beneficiary,
                                TransferField::Amount, TransferField::Residence})
            shaped.fields.append(transferDescriptor().fields.at(int(f)));
        return shaped;
    }();
    return type;
}

// Shaped like the transfer form: a mapping combo, two nested group boxes with
// combos of their own and a last mapping combo.
class MappingForm final : public QWidget
{
    Q_OBJECT

public:
    explicit MappingForm(const QString& settingsPath)
    {
        auto* layout = new QVBoxLayout(this);
        gbColMap = new QGroupBox(QStringLiteral("Columns Mapping"), this);
        cboRef = new QComboBox(gbColMap);
        gbTrx = new QGroupBox(gbColMap);
        cboDate = new QComboBox(gbTrx);
        cboAmount = new QComboBox(gbTrx);
        gbBenef = new QGroupBox(gbColMap);
        cboName = new QComboBox(gbBenef);
        cboResidence = new QComboBox(gbColMap);
        chkHeaders = new QCheckBox(QStringLiteral("Has Column Header"), this);
        layout->addWidget(gbColMap);
        layout->addWidget(chkHeaders);

        // The fields come in another order than the widgets.
        for (QComboBox* combo : {cboRef, cboDate, cboAmount, cboName, cboResidence})
            combo->setObjectName(combo == cboRef ? "cboTrxRef" : combo == cboDate ? "cboDate"
                                 : combo == cboAmount ? "cboAmount" : combo == cboName ? "cboName"
                                                                                       : "cboResidence");
        mapping = std::make_unique<ColumnMapping>(this, gbColMap, chkHeaders, settingsPath, shapedType());
        connect(chkHeaders, &QCheckBox::clicked, this, [this] { mapping->headersClicked(); });
    }

    QList<QComboBox*> mapped() const { return {cboRef, cboDate, cboName, cboAmount, cboResidence}; }

    QGroupBox *gbColMap, *gbTrx, *gbBenef;
    QComboBox *cboRef, *cboDate, *cboAmount, *cboName, *cboResidence;
    QCheckBox* chkHeaders;
    std::unique_ptr<ColumnMapping> mapping;
};

QStringList items(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QList<int> indexes(const QList<QComboBox*>& combos)
{
    QList<int> result;
    for (const QComboBox* c : combos)
        result.append(c->currentIndex());
    return result;
}

} // namespace

class TestColumnMapping final : public QObject
{
    Q_OBJECT

private:
    QString settingsPath() const { return m_dir.filePath("kova.ini"); }
    QString threeColumns()
    {
        const QString path = m_dir.filePath("three.xlsx");
        TestWorkbook book(path);
        book.addSheet("Data").setRow(1, {"Ref", "Date", "Amount"}).setRow(2, {"R1", QDate(2024, 1, 5), 1500});
        book.addSheet("Other").setRow(1, {"Only"});
        book.save();
        return path;
    }
    void writeSettings(const QVariantMap& values)
    {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(it.key(), it.value());
    }

    QTemporaryDir m_dir;
    QStringList m_messages;
    QList<QWidget*> m_parents;
    std::unique_ptr<MappingForm> m_form;

private slots:
    void init()
    {
        QFile::remove(settingsPath());
        m_messages.clear();
        m_parents.clear();
        Messages::setPresenter([this](QWidget* parent, Messages::Kind kind, const QString& text) {
            QCOMPARE(kind, Messages::Kind::Critical);
            m_parents.append(parent);
            m_messages.append(text);
        });
        m_form = std::make_unique<MappingForm>(settingsPath());
    }

    void cleanup()
    {
        m_form.reset();
        Messages::setPresenter({});
    }

    void choices_data()
    {
        QTest::addColumn<QVariantList>("header");  // row 1
        QTest::addColumn<int>("lastColumn");       // a value further down ends the used range here
        QTest::addColumn<bool>("withHeaders");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("amount");           // where the never-saved Amount field lands

        QTest::newRow("letters") << QVariantList{"Ref", "Date", "Amount"} << 3 << false
                                 << QStringList{"", "A", "B", "C"} << 0;
        // Shown by its header text, the Amount column maps the field of that name by itself.
        QTest::newRow("empty header cell keeps the numbering")
            << QVariantList{"Ref", QVariant(), "Amount"} << 3 << true << QStringList{"", "Ref", "", "Amount"} << 3;
        QTest::newRow("leading empty columns still count")
            << QVariantList{QVariant(), QVariant(), "Amount"} << 3 << false << QStringList{"", "A", "B", "C"} << 0;

        QStringList letters{""};
        for (char c = 'A'; c <= 'Z'; ++c)
            letters.append(QString(QChar(c)));
        letters << "[" << "\\" << "]";
        QTest::newRow("past Z") << QVariantList{} << 29 << false << letters << 0;
    }
    void choices()
    {
        QFETCH(QVariantList, header);
        QFETCH(int, lastColumn);
        QFETCH(bool, withHeaders);
        QFETCH(QStringList, expected);
        QFETCH(int, amount);

        const QString path = m_dir.filePath(QStringLiteral("choices-%1.xlsx").arg(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(TestWorkbook(path).addSheet("Data").setRow(1, header).setCell(2, lastColumn, "end").save());
        m_form->chkHeaders->setChecked(withHeaders);
        m_form->mapping->excelChanged(path, "Data");

        QVERIFY(m_messages.isEmpty());
        for (QComboBox* combo : m_form->mapped()) {
            QCOMPARE(items(combo), expected);
            QCOMPARE(combo->currentIndex(), combo == m_form->cboAmount ? amount : 0);
        }
    }

    void savedIndexes_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QList<int>>("expected");   // current index of each mapping combo
        QTest::newRow("accounts and other forms' keys do not make the group saved")
            << QVariantMap{{"Transfer/Accounts/size", 1}, {"Transfer/Accounts/1/Number", "123"},
                           {"Credit/TrxDate", 2}, {"MinLLG", "1"}}
            << "Data" << QList<int>{0, 0, 0, 0, 0};
        QTest::newRow("a key missing from a saved group reads as 0")
            << QVariantMap{{"Transfer/TrxRef", 3}, {"Transfer/TrxDate", 1}, {"Transfer/Beneficiary", 2},
                           {"Transfer/HasColumnHeader", false}}
            << "Data" << QList<int>{3, 1, 2, 0, 0};
        // "Other" has a single column: the choices are the empty entry and "A".
        QTest::newRow("index beyond the list means not mapped")
            << QVariantMap{{"Transfer/TrxRef", 3}, {"Transfer/TrxDate", 2}, {"Transfer/Amount", 1}}
            << "Other" << QList<int>{-1, -1, 0, 1, 0};
    }
    void savedIndexes()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QString, sheet);
        QFETCH(QList<int>, expected);
        writeSettings(stored);
        m_form->mapping->excelChanged(threeColumns(), sheet);
        QCOMPARE(items(m_form->cboRef).size(), sheet == "Data" ? 4 : 2);
        QCOMPARE(indexes(m_form->mapped()), expected);
        QCOMPARE(m_form->mapping->workbookPath(), threeColumns());
        QCOMPARE(m_form->mapping->sheetName(), sheet);
    }

    // A click on "Has Column Header" rebuilds the choices of the sheet last chosen and
    // applies the saved mapping again; before any sheet it changes nothing but itself.
    void headersClick()
    {
        writeSettings({{"Transfer/TrxRef", 2}});
        QTest::mouseClick(m_form->chkHeaders, Qt::LeftButton, {}, m_form->chkHeaders->rect().center());
        QVERIFY(m_form->chkHeaders->isChecked());
        for (QComboBox* combo : m_form->mapped())
            QCOMPARE(combo->count(), 0);
        m_form->mapping->excelChanged(threeColumns(), "Data");
        m_form->cboRef->setCurrentIndex(3);
        m_form->cboName->setCurrentIndex(1);
        m_form->chkHeaders->click();
        QCOMPARE(items(m_form->cboRef), (QStringList{"", "A", "B", "C"}));
        QCOMPARE(indexes(m_form->mapped()), (QList<int>{2, 0, 0, 0, 0}));
        QVERIFY(m_messages.isEmpty());
        // The new state of the check box waits for the next save.
        QVERIFY(!QSettings(settingsPath(), QSettings::IniFormat).contains("Transfer/HasColumnHeader"));
    }

    void sheetNotReadable()
    {
        const QString path = threeColumns();
        m_form->mapping->excelChanged(path, "Data");
        m_form->cboDate->setCurrentIndex(2);
        // Kept all the same, so an export with it fails the same way.
        m_form->mapping->excelChanged(path, "Missing");
        QCOMPARE(m_messages, QStringList{"Error. Unable to select sheet Missing"});
        QCOMPARE(m_parents, QList<QWidget*>{m_form.get()});
        QCOMPARE(items(m_form->cboDate), (QStringList{"", "A", "B", "C"}));
        QCOMPARE(m_form->cboDate->currentIndex(), 2);
        QCOMPARE(m_form->mapping->sheetName(), QStringLiteral("Missing"));

        // No sheet to choose (the workbook could not be read): the columns of an
        // earlier workbook must not stay on offer.
        m_messages.clear();
        m_form->mapping->excelChanged("elsewhere.xlsx", QString());
        for (QComboBox* combo : m_form->mapping->comboBoxes())
            QCOMPARE(combo->count(), 0);
        QCOMPARE(m_form->mapping->workbookPath(), QStringLiteral("elsewhere.xlsx"));
        QCOMPARE(m_form->mapping->sheetName(), QString());
        QVERIFY(m_messages.isEmpty());
    }
};

QTEST_MAIN(TestColumnMapping)
#include "tst_columnmapping.moc"
