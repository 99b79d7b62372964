#include "core/transfer/transferdescriptor.h"
#include "forms/common/columnmapping.h"
#include "forms/common/messages.h"
#include "expect.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

// Five transfer fields in a form shaped like the transfer's: nested group boxes, combos made out of field order.
class TestColumnMapping final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_ini = m_dir.filePath("kova.ini");
    const QString m_book = m_dir.filePath("three.xlsx");   // "Data": Ref, Date, Amount; "Other": one column
    kova::TypeDescriptor m_type = transferDescriptor();
    QScopedPointer<QWidget> m_form;
    QCheckBox* m_headers = nullptr;
    QList<QComboBox*> m_combos;   // in field order
    std::unique_ptr<ColumnMapping> m_mapping;
    QStringList m_messages;

    static QStringList items(const QComboBox* combo)
    {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }
    QList<int> indexes() const
    {
        QList<int> result;
        for (const QComboBox* c : m_combos)
            result << c->currentIndex();
        return result;
    }

private slots:
    void initTestCase()
    {
        m_type.fields.clear();
        for (TransferField f : {TransferField::TrxRef, TransferField::TrxDate, TransferField::Beneficiary,
                                TransferField::Amount, TransferField::Residence})
            m_type.fields << transferDescriptor().fields.at(int(f));
        TestWorkbook book(m_book);
        book.addSheet("Data").setRow(1, {"Ref", "Date", "Amount"}).setRow(2, {"R1", QDate(2024, 1, 5), 1500});
        QVERIFY(book.addSheet("Other").setRow(1, {"Only"}).save());
    }
    void init()
    {
        QFile::remove(m_ini);
        m_messages.clear();
        Messages::setPresenter([this](QWidget*, Messages::Kind, const QString& text) { m_messages << text; });
        m_mapping.reset();
        m_form.reset(new QWidget);
        auto* map = new QGroupBox(m_form.data());
        auto* trx = new QGroupBox(map);
        m_combos.clear();
        for (auto [parent, name] : std::initializer_list<std::pair<QWidget*, const char*>>{
                 {map, "cboTrxRef"}, {trx, "cboDate"}, {trx, "cboAmount"}, {new QGroupBox(map), "cboName"}, {map, "cboResidence"}}) {
            m_combos << new QComboBox(parent);
            m_combos.last()->setObjectName(name);
        }
        m_combos.swapItemsAt(2, 3);   // into field order
        m_headers = new QCheckBox(m_form.data());
        m_mapping = std::make_unique<ColumnMapping>(m_form.data(), map, m_headers, m_ini, m_type);
        connect(m_headers, &QCheckBox::clicked, this, [this] { m_mapping->headersClicked(); });
    }

    // Letters go on past Z; by its header text the Amount column maps the never-saved field of that name.
    void choices()
    {
        const QString path = m_dir.filePath("wide.xlsx");
        QVERIFY(TestWorkbook(path).addSheet("Data").setRow(1, {"Ref", QVariant(), "Amount"}).setCell(2, 29, "end").save());
        m_mapping->excelChanged(path, "Data");
        QStringList letters{""};
        for (char c = 'A'; c <= ']'; ++c)
            letters << QString(QChar(c));
        QCOMPARE(items(m_combos.last()), letters);
        QCOMPARE(indexes(), (QList<int>{0, 0, 0, 0, 0}));
        m_headers->setChecked(true);
        m_mapping->excelChanged(path, "Data");
        QCOMPARE(items(m_combos.first()).mid(0, 5), (QStringList{"", "Ref", "", "Amount", ""}));
        QCOMPARE(indexes(), (QList<int>{0, 0, 0, 3, 0}));
    }

    // A key missing from a saved group reads as 0; an index beyond the sheet's columns maps nothing.
    void savedIndexes()
    {
        expect::writeSettings(m_ini, "Transfer", {{"TrxRef", 3}, {"Beneficiary", 1}});
        m_mapping->excelChanged(m_book, "Data");
        QCOMPARE(indexes(), (QList<int>{3, 0, 1, 0, 0}));
        m_mapping->excelChanged(m_book, "Other");
        QCOMPARE(indexes(), (QList<int>{-1, 0, 1, 0, 0}));
    }

    // "Has Column Header" rebuilds the last sheet's choices with the saved mapping; before any sheet, nothing.
    void headersClick()
    {
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/TrxRef", 2);
        m_headers->click();
        QCOMPARE(m_combos.first()->count(), 0);
        m_mapping->excelChanged(m_book, "Data");
        m_combos.at(0)->setCurrentIndex(3);
        m_combos.at(2)->setCurrentIndex(1);
        m_headers->click();
        QCOMPARE(items(m_combos.first()), (QStringList{"", "A", "B", "C"}));
        QCOMPARE(indexes(), (QList<int>{2, 0, 0, 0, 0}));
        QVERIFY(!QSettings(m_ini, QSettings::IniFormat).contains("Transfer/HasColumnHeader"));
    }

    // An unreadable sheet keeps the choices (an export fails the same way); no sheet to choose empties them.
    void sheetNotReadable()
    {
        m_mapping->excelChanged(m_book, "Data");
        m_combos.at(1)->setCurrentIndex(2);
        m_mapping->excelChanged(m_book, "Missing");
        QCOMPARE(m_messages, QStringList{"Error. Unable to select sheet Missing"});
        QCOMPARE(m_combos.at(1)->currentText(), QString("B"));
        QCOMPARE(m_mapping->sheetName(), QString("Missing"));
        m_mapping->excelChanged("elsewhere.xlsx", QString());
        QCOMPARE(m_combos.at(1)->count(), 0);
        QCOMPARE(m_messages.size(), 1);
    }
};

QTEST_MAIN(TestColumnMapping)
#include "tst_columnmapping.moc"
