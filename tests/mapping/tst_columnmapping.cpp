#include "record/cells.h"
#include "settings/namedlayouts.h"
#include "settings/sheetmapping.h"
#include "settings/titlematch.h"
#include "types/registry.h"
#include "types/transferdescriptor.h"
#include "reader/document.h"
#include "forms/parts/columnmapping.h"
#include "widgets/messages.h"
#include "expect.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

// Five transfer fields in a form shaped like the transfer's: two groups of rows nested in the mapping group.
class TestColumnMapping final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_ini = m_dir.filePath("kova.ini");
    const QString m_book = m_dir.filePath("three.xlsx");   // "Data": Ref, Date, Amount; "Other": one column
    kova::TypeDescriptor m_type = kova::transferDescriptor();
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

    // The form built again, reading the settings file as a new window would.
    void buildForm()
    {
        m_mapping.reset();
        m_form.reset(new QWidget);
        auto* map = new QGroupBox(m_form.data());
        auto* column = new QVBoxLayout(map);
        QVector<QGridLayout*> groups;
        for (int g = 0; g < 2; ++g) {
            auto* group = new QGroupBox(map);
            column->addWidget(group);
            groups << new QGridLayout(group);
        }
        m_headers = new QCheckBox(m_form.data());
        m_mapping = std::make_unique<ColumnMapping>(m_form.data(), map, m_headers, groups, m_ini, m_type);
        m_combos.clear();
        for (const kova::FieldSpec& field : qAsConst(m_type.fields))
            m_combos << map->findChild<QComboBox*>(field.comboName);
        connect(m_headers, &QCheckBox::clicked, this, [this] { m_mapping->headersClicked(); });
    }

    // Three layouts of the five fields: "Transfer HQ" (first) titled in row 1, "Transfer Branch"
    // titled in row 2 below a title line, "Transfer Plain" without titles; chosen: the one the file
    // names, empty for the first.
    void writeThreeLayouts(const QString& chosen)
    {
        expect::writeSettings(m_ini, "Transfer",
                              {{"LayoutName", "Transfer HQ"}, {"HasColumnHeader", true}, {"HeaderRow", 1},
                               {"TrxRef", 1}, {"TrxRefHeader", "Ref"}, {"Amount", 2}, {"AmountHeader", "Amount"},
                               {"Beneficiary", 3}, {"BeneficiaryHeader", "Name"},
                               {"Layouts/size", 2}, {"Layouts/1/Name", "Transfer Branch"},
                               {"Layouts/1/HasColumnHeader", true}, {"Layouts/1/HeaderRow", 2},
                               {"Layouts/1/Beneficiary", 1}, {"Layouts/1/BeneficiaryHeader", "Nama"},
                               {"Layouts/1/Amount", 2}, {"Layouts/1/AmountHeader", "Jumlah"},
                               {"Layouts/1/TrxRef", 3}, {"Layouts/1/TrxRefHeader", "Nomor"}, {"Layouts/1/Residence", 0},
                               {"Layouts/2/Name", "Transfer Plain"}, {"Layouts/2/HasColumnHeader", false},
                               {"Layouts/2/TrxRef", 2}, {"Layouts/2/Amount", 1}});
        if (!chosen.isEmpty())
            expect::writeSettings(m_ini, "Transfer", {{"Layout", chosen}});
        buildForm();
    }
    // Sheets "HQ", "Branch" (with a residence column, which the branch's layout keeps unmapped),
    // "Neither" and "Both" (every title of both layouts in row 1).
    QString layoutBook()
    {
        const QString path = m_dir.filePath("layouts.xlsx");
        TestWorkbook book(path);
        book.addSheet("HQ").setRow(1, {"Ref", "Amount", "Name"}).setRow(2, {"R1", 1500, "Ani"});
        book.addSheet("Branch").setRow(1, {"Daftar"}).setRow(2, {"Nama", "Jumlah", "Nomor", "Residence"}).setRow(3, {"Ani", 1500, "R1"});
        book.addSheet("Neither").setRow(1, {"X", "Y", "Z"}).setRow(2, {"R1", 1500, "Ani"});
        book.addSheet("Both").setRow(1, {"Ref", "Amount", "Name", "Nama", "Jumlah", "Nomor"});
        return book.save() ? path : QString();
    }
    QStringList iniLines() const
    {
        QFile file(m_ini);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        m_type.fields.clear();
        for (kova::TransferField f : {kova::TransferField::TrxRef, kova::TransferField::TrxDate, kova::TransferField::Beneficiary,
                                kova::TransferField::Amount, kova::TransferField::Residence})
            m_type.fields << kova::transferDescriptor().fields.at(int(f));
        m_type.groupStarts = {2};
        TestWorkbook book(m_book);
        book.addSheet("Data").setRow(1, {"Ref", "Date", "Amount"}).setRow(2, {"R1", QDate(2024, 1, 5), 1500});
        QVERIFY(book.addSheet("Other").setRow(1, {"Only"}).save());
    }
    void init()
    {
        QFile::remove(m_ini);
        m_messages.clear();
        Messages::setPresenter([this](QWidget*, Messages::Kind, const QString& text) { m_messages << text; });
        buildForm();
    }

    // Letters go on past Z; by their header texts the Ref and Amount columns map the never-saved fields they name.
    void choices()
    {
        expect::writeSettings(m_ini, "Transfer", {{"HasColumnHeader", false}});
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
        QCOMPARE(indexes(), (QList<int>{1, 0, 0, 3, 0}));
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

    void placement_data()
    {
        QTest::addColumn<QList<QVariantList>>("rows");   // the sheet
        QTest::addColumn<QStringList>("texts");          // saved titles of the five fields, saved in columns 1..5
        QTest::addColumn<QString>("placed");             // columns, header row, then moved and problem lines
        const QStringList saved{"Ref", "Date", "Name", "Amount", ""};
        const QVariantList inOrder{"Ref", "Date", "Name", "Amount", "Res"};
        QTest::newRow("in place, case and spaces aside") << QList<QVariantList>{{" ref", "DATE ", "name", "Amount", "Res"}} << saved
                                                        << "1 2 3 4 5 @1";
        QTest::newRow("no titles saved") << QList<QVariantList>{{"Amount", "Name"}} << QStringList{"", "", "", "", ""} << "1 2 0 0 0 @1";
        // The field saved without a title has nothing to follow once others moved.
        const QString untitled = "Cust Residence has no saved column title and the columns moved: map it again";
        // A title in its own column stands, even when another column has it too.
        QTest::newRow("moved, and one doubled in place") << QList<QVariantList>{{"Amount", "Date", "Ref", "Name", "Date", "Res"}} << saved
            << "3 2 4 1 0 @1|Trx Ref #: column A -> C, by its header \"Ref\"|Name: column C -> D, by its header \"Name\""
               "|Amount: column D -> A, by its header \"Amount\"|" + untitled;
        // A column inserted: the untitled field's number now points at another column, its own still untitled or titled.
        QTest::newRow("untitled on a moved sheet") << QList<QVariantList>{{"Ref", "Acct", "Date", "Name", "Amount", QVariant()}} << saved
            << "1 3 4 5 0 @1|Date: column B -> C, by its header \"Date\"|Name: column C -> D, by its header \"Name\""
               "|Amount: column D -> E, by its header \"Amount\"|" + untitled;
        QTest::newRow("untitled on a moved sheet, then titled") << QList<QVariantList>{{"Date", "Ref", "Name", "Amount", "Res"}} << saved
            << "2 1 3 4 0 @1|Trx Ref #: column A -> B, by its header \"Ref\"|Date: column B -> A, by its header \"Date\"|" + untitled;
        // Nothing followed its title: a title missing, or the header row found lower, is no move.
        QTest::newRow("untitled beside a missing title") << QList<QVariantList>{{"Ref", "Date", "Payee", "Amount", "Res"}} << saved
            << "1 2 0 4 5 @1|Column \"Name\" for Name is not in the header row";
        QTest::newRow("missing and doubled") << QList<QVariantList>{{"Ref", "Date", "Beneficiary", "Res", "Amount", "amount"}} << saved
            << "1 2 0 0 5 @1|Column \"Name\" for Name is not in the header row"
               "|Column \"Amount\" for Amount appears more than once in the header row";
        QTest::newRow("found below a title") << QList<QVariantList>{{"PAYROLL"}, {"Ref"}, {}, inOrder} << saved << "1 2 3 4 5 @4 found";
        // Not all there, nowhere: the row with the most shows what is really missing.
        QTest::newRow("most of them below a title") << QList<QVariantList>{{"PAYROLL"}, {"Ref", "Date", "Name", "Amt", "Res"}} << saved
            << "1 2 3 0 5 @2 found|Column \"Amount\" for Amount is not in the header row";
        QList<QVariantList> late{{"PAYROLL"}};
        for (int r = 2; r <= 21; ++r)
            late.append(r == 21 ? inOrder : QVariantList{});
        QTest::newRow("beyond the rows searched") << late << saved << "0 0 0 0 5 @1|Column \"Ref\" for Trx Ref # is not in the header row"
            "|Column \"Date\" for Date is not in the header row|Column \"Name\" for Name is not in the header row"
            "|Column \"Amount\" for Amount is not in the header row";
    }
    // The one reading of a saved mapping that the window and kova-export share.
    void placement()
    {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QStringList, texts);
        QFETCH(QString, placed);
        const QString path = m_dir.filePath("placed.xlsx");
        QVERIFY(expect::writeSheet(path, "Data", rows));
        reader::Document sheet(path, {});
        QVERIFY(sheet.selectSheet("Data"));
        const kova::SheetMapping p = kova::placeMapping(m_type, {{1, 2, 3, 4, 5}, texts, true, 1}, sheet);
        QStringList got;
        for (int column : p.columns)
            got << QString::number(column);
        QString line = got.join(' ') + " @" + QString::number(p.headerRow) + (p.headerRowFound ? " found" : "");
        for (const QString& text : p.moved + p.problems)
            if (!text.isEmpty())
                line += "|" + text;
        QCOMPARE(line, placed);
        QCOMPARE(p.refusal(), p.problems.join(QString()).isEmpty() ? QString() : line.section('|', 1 + p.moved.size(), 1 + p.moved.size()));
    }

    void untitledField_data()
    {
        QTest::addColumn<QVariantList>("titles");   // the sheet's header row
        QTest::addColumn<QString>("lines");         // what the log is told; the last line is the refusal, if any
        QTest::addColumn<QString>("saved");         // the group after the next save, Amount's column chosen by hand when marked
        QTest::newRow("columns moved") << QVariantList{"Acct", "Ref", "Date", "Salary"}
            << "Trx Ref #: column A -> B, by its header \"Ref\"|Date: column B -> C, by its header \"Date\""
               "|Amount has no saved column title and the columns moved: map it again"
            << "Amount=4 AmountHeader=Salary Beneficiary=0 HasColumnHeader=true HeaderRow=1 Residence=0 TrxDate=3 TrxDateHeader=Date"
               " TrxRef=2 TrxRefHeader=Ref";
        QTest::newRow("nothing moved") << QVariantList{"Ref", "Date", "Salary"} << ""
            << "Amount=3 AmountHeader=Salary Beneficiary=0 HasColumnHeader=true HeaderRow=1 Residence=0 TrxDate=2 TrxDateHeader=Date"
               " TrxRef=1 TrxRefHeader=Ref";
    }
    // Amount saved while its column had no title: on a sheet whose columns moved it is
    // left empty and marked, and an export refused, until its column is chosen by
    // hand; where nothing moved it keeps its number. The next save keeps its title.
    void untitledField()
    {
        QFETCH(QVariantList, titles);
        QFETCH(QString, lines);
        QFETCH(QString, saved);
        expect::writeSettings(m_ini, "Transfer", {{"HasColumnHeader", true}, {"TrxRef", 1}, {"TrxRefHeader", "Ref"}, {"TrxDate", 2},
                                                  {"TrxDateHeader", "Date"}, {"Amount", 3}});
        const QString path = m_dir.filePath("untitled.xlsx");
        QVERIFY(expect::writeSheet(path, "Data", {titles}));
        m_headers->setChecked(true);
        QCOMPARE(m_mapping->excelChanged(path, "Data").join('|'), lines);
        QComboBox* amount = m_combos.at(3);
        if (lines.isEmpty()) {
            QCOMPARE(amount->currentIndex(), 3);
        } else {
            const QString problem = lines.section('|', -1);
            QCOMPARE(QString("%1 %2").arg(amount->currentIndex()).arg(amount->toolTip()), "0 " + problem);
            QCOMPARE(amount->styleSheet(), QString("QComboBox { border: 2px solid #e73d4a; }"));
            QCOMPARE(m_mapping->header().refusal, problem);
            amount->setCurrentIndex(4);
        }
        QCOMPARE(amount->toolTip() + amount->styleSheet() + m_mapping->header().refusal,
                 kova::columnLetters(amount->currentIndex()) + ": Salary");
        QSettings ini(m_ini, QSettings::IniFormat);
        m_mapping->save(ini);
        ini.beginGroup("Transfer");
        QStringList keys;
        for (const QString& key : ini.childKeys())
            keys << key + "=" + ini.value(key).toString();
        keys.sort();
        QCOMPARE(keys.join(' '), saved);
    }

    void titleRow_data()
    {
        QTest::addColumn<QList<QVariantList>>("rows");   // the sheet's top rows
        QTest::addColumn<int>("row");                    // where the titles are; 0: none
        const QDate day(2024, 1, 5);
        QTest::newRow("titles over typed data") << QList<QVariantList>{{"Ref", "Payee", "Amount"}, {"R1", "Ani", 1500}} << 1;
        QTest::newRow("a title line and blank lines above")
            << QList<QVariantList>{{"Transfers of March"}, {}, {}, {"Ref", "Date", "Payee"}, {"R1", day, "Ani"}} << 4;
        QTest::newRow("a title line of two cells above")
            << QList<QVariantList>{{"Company", "PT Maju"}, {"Ref", "Date", "Payee"}, {"R1", day, "Ani"}} << 2;
        QTest::newRow("data from the first row") << QList<QVariantList>{{"R1", "Ani", 1500}, {"R2", "Budi", 200}} << 0;
        QTest::newRow("titles below a row of data")
            << QList<QVariantList>{{"R1", "Ani", 1500}, {"Ref", "Payee", "Amount"}, {"R2", "Budi", 200}} << 0;
        QTest::newRow("text alone, two fields named")
            << QList<QVariantList>{{"No. Rekening", "Nominal", "Pemilik"}, {"0012345678", "1500", "Ani"}} << 1;
        QTest::newRow("text alone, one field named") << QList<QVariantList>{{"No. Rekening", "Pemilik"}, {"0012345678", "Ani"}} << 0;
        QTest::newRow("typed data under no title") << QList<QVariantList>{{"Ref", "Payee"}, {"R1", "Ani", 1500}} << 0;
        QTest::newRow("one title") << QList<QVariantList>{{"Amount"}, {1500}} << 0;
        QList<QVariantList> late;
        for (int r = 1; r <= kova::titleSearchRows; ++r)
            late.append(QVariantList{});
        QTest::newRow("below the rows searched") << late + QList<QVariantList>{{"Ref", "Payee", "Amount"}, {"R1", "Ani", 1500}} << 0;
    }
    // Text titles over typed data, or naming fields, below at most a title line or blank lines.
    void titleRow()
    {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(int, row);
        const QString path = m_dir.filePath("top.xlsx");
        QVERIFY(expect::writeSheet(path, "Data", rows));
        reader::Document sheet(path, {});
        QVERIFY(sheet.selectSheet("Data"));
        QCOMPARE(kova::findTitleRow(kova::transferDescriptor(), sheet), row);
    }

    void commonTitles_data()
    {
        QTest::addColumn<int>("type");        // in window order
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("field");   // the caption of the field it names
        const QList<std::tuple<int, const char*, const char*>> rows{
            {0, "Nominal", "Amount"}, {0, "No. Rekening", "To Acc #"}, {0, "Rekening Asal", "From Acc #"},
            {0, "Nama Penerima", "Name"}, {0, "Jenis Transfer", "Transfer Type"}, {0, "Kode Bank", "BI Code"},
            {1, "No. Rekening", "Acc #"}, {1, "Jumlah", "Amount"}, {1, "Cabang", "Branch"}, {1, "Nama", "Beneficiary Name"},
            {2, "Nominal", "Amount"}, {2, "Kewarganegaraan", "Citizen Status"}, {2, "Nama Nasabah", "Acc Name"},
            {3, "Net Salary", "Amount"}, {3, "GAJI", "Amount"}, {3, " no_rekening ", "Acc #"}, {3, "Nama Karyawan", "Employee Name"},
            {3, "NIP", "Employee ID"}};
        for (const auto& [type, title, field] : rows)
            QTest::addRow("%s: %s", qPrintable(kova::transactionTypes().at(type)->keyword), title) << type << title << field;
    }
    // The common titles, English and Indonesian, take their field's column, case, spaces and punctuation aside.
    void commonTitles()
    {
        QFETCH(int, type);
        QFETCH(QString, title);
        QFETCH(QString, field);
        const kova::TypeDescriptor& descriptor = *kova::transactionTypes().at(type);
        const QVector<int> matched = kova::matchTitles(descriptor, {QString(), title}, QVector<int>(descriptor.fields.size()),
                                                       QVector<bool>(descriptor.fields.size(), true));
        QStringList named;
        for (int i = 0; i < matched.size(); ++i)
            if (matched.at(i) == 1)
                named << descriptor.fields.at(i).caption;
        QCOMPARE(named, QStringList{field});
    }

    // A title naming two fields of one type would map the one first in order and never the other.
    void titlesNameOneField()
    {
        QStringList doubled;
        for (const kova::TypeDescriptor* type : kova::transactionTypes())
            for (const kova::FieldSpec& field : type->fields)
                for (const QString& name : QStringList{field.formLabel(), field.caption, field.headerName} + field.aliases)
                    for (const kova::FieldSpec& other : type->fields)
                        if (other.key != field.key && kova::titleNamesField(other, name))
                            doubled << type->keyword + ": " + name;
        QCOMPARE(doubled, QStringList());
    }

    // With no mapping saved the top rows decide "Has Column Header" and the header row, the
    // titles map what they name, and the required fields left are named, those of Others mode
    // in that mode; a tick guessed goes with a sheet without titles; the user's own choice stands.
    void firstUse()
    {
        const QString titled = m_dir.filePath("titled.xlsx");
        QVERIFY(expect::writeSheet(titled, "Data", {{"Transfers of March"}, {}, {"Referensi", "Tanggal", "Nama Penerima", "Nominal"},
                                                    {"R1", QDate(2024, 1, 5), "Ani", 1500}}));
        const QString plain = m_dir.filePath("plain.xlsx");
        QVERIFY(expect::writeSheet(plain, "Data", {{"R1", QDate(2024, 1, 5), "Ani", 1500}}));
        QCOMPARE(m_mapping->excelChanged(titled, "Data"),
                 (QStringList{"Column titles found in row 3: \"Has Column Header\" is ticked",
                              "Matched by header: Trx Ref # \u2190 A: Referensi", "Matched by header: Name \u2190 C: Nama Penerima",
                              "Matched by header: Amount \u2190 D: Nominal"}));
        QCOMPARE(QString("%1 @%2").arg(m_headers->isChecked()).arg(m_mapping->header().row), "1 @3");
        QCOMPARE(indexes(), (QList<int>{1, 0, 3, 4, 0}));
        m_mapping->markRequired(true);
        const QString advice = "Not mapped yet: %1. Choose their columns under Columns Mapping, then Save Settings";
        QCOMPARE(m_mapping->excelChanged(plain, "Data"),
                 (QStringList{"No column titles at the top of the sheet: \"Has Column Header\" is unticked",
                              advice.arg("Trx Ref #, Name, Amount, Cust Residence")}));
        QCOMPARE(QString("%1 @%2").arg(m_headers->isChecked()).arg(m_mapping->header().row), "0 @1");
        m_mapping->markRequired(false);
        m_headers->click();
        m_headers->click();
        QCOMPARE(m_mapping->excelChanged(titled, "Data"), QStringList{advice.arg("Trx Ref #, Amount")});
        QVERIFY(!m_headers->isChecked());
    }

    void savedMappingStands_data()
    {
        QTest::addColumn<QVariantMap>("group");
        QTest::addColumn<bool>("guessed");
        QTest::newRow("nothing saved") << QVariantMap{} << true;
        QTest::newRow("a Header ID alone") << QVariantMap{{"HeaderID", 5}, {"CompanyID", "ACME"}} << true;
        QTest::newRow("titles saved unticked") << QVariantMap{{"HasColumnHeader", false}} << false;
        QTest::newRow("a column saved") << QVariantMap{{"Amount", 4}} << false;
    }
    // A saved mapping is never guessed over, nor told what it lacks.
    void savedMappingStands()
    {
        QFETCH(QVariantMap, group);
        QFETCH(bool, guessed);
        expect::writeSettings(m_ini, "Transfer", group);
        const QString titled = m_dir.filePath("titled.xlsx");
        QVERIFY(expect::writeSheet(titled, "Data", {{"Ref", "Payee", "Amount"}, {"R1", "Ani", 1500}}));
        const QStringList lines = m_mapping->excelChanged(titled, "Data");
        QCOMPARE(m_headers->isChecked(), guessed);
        QCOMPARE(lines.isEmpty(), !guessed);
    }

    // An unreadable sheet keeps the choices (an export fails the same way); no sheet to choose empties them.
    void sheetNotReadable()
    {
        expect::writeSettings(m_ini, "Transfer", {{"HasColumnHeader", false}});
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

    // A type with two or more layouts reads each sheet by the one whose saved titles it has, the log's
    // first line saying so; where neither or both fit, the one chosen (in the window, else in the file) stands.
    void layoutPicked_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("fileChoice");
        QTest::addColumn<int>("windowChoice");   // chosen in the window before the sheet; -1: none
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("titled");
        QTest::addColumn<QList<int>>("columns");
        QTest::newRow("head office") << "HQ" << "Transfer Branch" << -1
                                     << "Layout \"Transfer HQ\": every saved column title found" << 0 << true
                                     << QList<int>{1, 0, 3, 2, 0};
        QTest::newRow("branch") << "Branch" << "" << -1 << "Layout \"Transfer Branch\": every saved column title found" << 1
                                << true << QList<int>{3, 0, 1, 2, 0};
        QTest::newRow("neither, the file's choice")
            << "Neither" << "Transfer Plain" << -1
            << "No layout has every saved column title on this sheet: \"Transfer Plain\", the one chosen, is taken" << 2
            << false << QList<int>{2, 0, 0, 1, 0};
        QTest::newRow("neither, the window's choice")
            << "Neither" << "" << 2
            << "No layout has every saved column title on this sheet: \"Transfer Plain\", the one chosen, is taken" << 2
            << false << QList<int>{2, 0, 0, 1, 0};
        QTest::newRow("both") << "Both" << "Transfer Plain" << 0
                              << "Layouts \"Transfer HQ\", \"Transfer Branch\" all have every saved column title on this "
                                 "sheet: \"Transfer HQ\", the one chosen, is taken"
                              << 0 << true << QList<int>{1, 0, 3, 2, 0};
    }
    void layoutPicked()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, fileChoice);
        QFETCH(int, windowChoice);
        QFETCH(QString, note);
        QFETCH(int, layout);
        QFETCH(bool, titled);
        QFETCH(QList<int>, columns);
        const QString book = layoutBook();
        writeThreeLayouts(fileChoice);
        if (windowChoice >= 0)
            m_mapping->chooseLayout(windowChoice);
        const QStringList lines = m_mapping->excelChanged(book, sheet);
        QCOMPARE(lines.value(0), note);
        QCOMPARE(m_mapping->currentLayout(), layout);
        QCOMPARE(m_headers->isChecked(), titled);
        QCOMPARE(indexes(), columns);
        QCOMPARE(m_mapping->layoutNames(), (QStringList{"Transfer HQ", "Transfer Branch", "Transfer Plain"}));
    }

    // A type with one layout says nothing of layouts.
    void oneLayoutSilent()
    {
        expect::writeSettings(m_ini, "Transfer", {{"HasColumnHeader", true}, {"TrxRef", 1}, {"TrxRefHeader", "Ref"}});
        buildForm();
        QCOMPARE(m_mapping->excelChanged(layoutBook(), "HQ"), QStringList{});
        QCOMPARE(m_mapping->layoutNames(), QStringList{"Auto Transfer"});
    }

    // Choosing a layout maps the sheet by it at once, with its own Has Column Header: a column the
    // layout before had is not kept by its title.
    void layoutChosen()
    {
        const QString book = layoutBook();
        writeThreeLayouts({});
        m_mapping->excelChanged(book, "Both");
        QCOMPARE(indexes(), (QList<int>{1, 0, 3, 2, 0}));
        m_mapping->chooseLayout(1);
        QCOMPARE(indexes(), (QList<int>{6, 0, 4, 5, 0}));
        QCOMPARE(m_combos.first()->currentText(), QString("Nomor"));
        m_mapping->chooseLayout(2);
        QVERIFY(!m_headers->isChecked());
        QCOMPARE(m_combos.first()->currentText(), QString("B"));
        QCOMPARE(indexes(), (QList<int>{2, 0, 0, 1, 0}));
        m_mapping->chooseLayout(0);
        QVERIFY(m_headers->isChecked());
        QCOMPARE(indexes(), (QList<int>{1, 0, 3, 2, 0}));
        QCOMPARE(m_mapping->currentLayout(), 0);
    }

    // Save writes what is shown as the current layout, names it the chosen one, and leaves the others.
    void saveCurrentLayout()
    {
        const QString book = layoutBook();
        writeThreeLayouts({});
        const kova::Layouts before = kova::readLayouts(m_ini, m_type);
        m_mapping->excelChanged(book, "Branch");
        m_combos.at(1)->setCurrentIndex(3);
        {
            QSettings settings(m_ini, QSettings::IniFormat);
            m_mapping->save(settings);
        }
        const kova::Layouts after = kova::readLayouts(m_ini, m_type);
        QCOMPARE(after.chosen, 1);
        QCOMPARE(after.layouts.size(), 3);
        QCOMPARE(after.layouts.at(1).mapping.columns, (QVector<int>{3, 3, 1, 2, 0}));
        QCOMPARE(after.layouts.at(1).mapping.headerTexts, (QStringList{"Nomor", "Nomor", "Nama", "Jumlah", ""}));
        QCOMPARE(after.layouts.at(1).mapping.headerRow, 2);
        for (const int other : {0, 2}) {
            QCOMPARE(after.layouts.at(other).name, before.layouts.at(other).name);
            QCOMPARE(after.layouts.at(other).mapping.columns, before.layouts.at(other).mapping.columns);
            QCOMPARE(after.layouts.at(other).mapping.headerTexts, before.layouts.at(other).mapping.headerTexts);
        }
    }

    // Save as, Rename and Delete go straight to the settings file; names are trimmed, not empty and
    // unique; the last layout stays.
    void layoutsEdited()
    {
        const QString book = layoutBook();
        writeThreeLayouts({});
        m_mapping->excelChanged(book, "HQ");
        m_combos.at(4)->setCurrentIndex(3);
        QCOMPARE(m_mapping->saveLayoutAs(" Transfer HQ "), QString("There is a layout named \"Transfer HQ\" already"));
        QCOMPARE(m_mapping->saveLayoutAs("  "), QString("A layout needs a name"));
        QCOMPARE(m_mapping->saveLayoutAs(" Transfer Copy "), QString());
        kova::Layouts stored = kova::readLayouts(m_ini, m_type);
        QCOMPARE(stored.layouts.size(), 4);
        QCOMPARE(stored.layouts.at(3).name, QString("Transfer Copy"));
        QCOMPARE(stored.layouts.at(3).mapping.columns, (QVector<int>{1, 0, 3, 2, 3}));
        QCOMPARE(stored.chosen, 3);
        QCOMPARE(m_mapping->currentLayout(), 3);

        QCOMPARE(m_mapping->renameLayout("Transfer Branch"), QString("There is a layout named \"Transfer Branch\" already"));
        QCOMPARE(m_mapping->renameLayout(" Transfer Copy "), QString());
        QCOMPARE(m_mapping->renameLayout("Transfer Two"), QString());
        stored = kova::readLayouts(m_ini, m_type);
        QCOMPARE(stored.layouts.at(3).name, QString("Transfer Two"));
        QCOMPARE(stored.chosen, 3);

        QCOMPARE(m_mapping->deleteLayout(), QString());
        QCOMPARE(m_mapping->layoutNames(), (QStringList{"Transfer HQ", "Transfer Branch", "Transfer Plain"}));
        QCOMPARE(m_mapping->currentLayout(), 0);
        QVERIFY(!QSettings(m_ini, QSettings::IniFormat).contains("Transfer/Layout"));
        // The first one deleted, the next takes the type's own keys and maps the sheet.
        QCOMPARE(m_mapping->deleteLayout(), QString());
        QCOMPARE(m_mapping->deleteLayout(), QString());
        QCOMPARE(m_mapping->deleteLayout(), QString("The last layout cannot be deleted"));
        buildForm();
        QCOMPARE(m_mapping->layoutNames(), QStringList{"Transfer Plain"});
        m_mapping->excelChanged(book, "HQ");
        QVERIFY(!m_headers->isChecked());
        QCOMPARE(indexes(), (QList<int>{2, 0, 0, 1, 0}));
    }

    // A first layout never saved is not kept beside the first one the clerk names.
    void firstSaveAs()
    {
        m_mapping->excelChanged(layoutBook(), "HQ");
        QCOMPARE(m_mapping->saveLayoutAs("Mine"), QString());
        QCOMPARE(m_mapping->layoutNames(), QStringList{"Mine"});
        QCOMPARE(iniLines().filter("Layout"), QStringList{"LayoutName=Mine"});
    }
};

QTEST_MAIN(TestColumnMapping)
#include "tst_columnmapping.moc"
