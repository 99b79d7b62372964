#include "forms/common/messages.h"
#include "forms/common/sourceaccountstable.h"
#include "export/settingsfile.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using kova::SourceAccount;
using Accounts = QVector<SourceAccount>;

Q_DECLARE_METATYPE(SourceAccount)

namespace {

// Stands in for a credit, collection or payroll form: the table and its Add
// button, wired as the forms wire them.
class TableForm final : public QWidget
{
public:
    explicit TableForm(const QString& title = QStringLiteral("Source Account #"))
    {
        auto* layout = new QVBoxLayout(this);
        btnAdd = new QPushButton(QStringLiteral("Add"), this);
        tblAcc = new QTableView(this);
        layout->addWidget(btnAdd);
        layout->addWidget(tblAcc);
        table = new SourceAccountsTable(tblAcc, title, this);
        connect(btnAdd, &QPushButton::clicked, table, &SourceAccountsTable::add);
        resize(400, 300);
        show();
    }

    // Rows as a form shows them after starting with these stored; no editor
    // is left open, unlike after add().
    void fill(const Accounts& rows)
    {
        QTemporaryDir dir;
        QSettings s(dir.filePath(QStringLiteral("rows.ini")), QSettings::IniFormat);
        kova::saveAccounts(s, rows);
        table->load(s);
    }

    QRadioButton* radio(int row) const
    {
        return qobject_cast<QRadioButton*>(tblAcc->indexWidget(table->model()->index(row, 0)));
    }

    QPushButton* btnAdd;
    QTableView* tblAcc;
    SourceAccountsTable* table;
};

SourceAccount acc(int n)
{
    return {QStringLiteral("000000000%1").arg(n), QStringLiteral("1234/5678%1/ABCD").arg(n)};
}

Accounts accs(std::initializer_list<int> ns)
{
    Accounts rows;
    for (int n : ns)
        rows.append(acc(n));
    return rows;
}

// Rows as text, so a failing comparison shows them.
QStringList lines(const Accounts& rows)
{
    QStringList result;
    for (const SourceAccount& row : rows)
        result << QStringLiteral("[%1|%2]").arg(row.account, row.companyCode);
    return result;
}

QStringList lines(const std::optional<SourceAccount>& row)
{
    return row ? lines(Accounts{*row}) : QStringList{};
}

// The settings file opened on a group; it is written when the pointer goes.
std::unique_ptr<QSettings> group(const QString& name)
{
    auto s = std::make_unique<QSettings>(kova::defaultSettingsPath(), QSettings::IniFormat);
    s->beginGroup(name);
    return s;
}

using Keys = QMap<QString, QString>;

Keys stored(const QString& name)
{
    const auto s = group(name);
    Keys keys;
    for (const QString& key : s->allKeys())
        keys.insert(key, s->value(key).toString());
    return keys;
}

} // namespace

class TestSourceAccountsTable final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Messages::setPresenter([this](QWidget*, Messages::Kind, const QString& text) { m_messages << text; });
    }
    void init()
    {
        QFile::remove(kova::defaultSettingsPath());
        m_messages.clear();
    }
    void cleanup()
    {
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('|')));
        QFile::remove(kova::defaultSettingsPath());
    }

    void addAppendsEmptyRowWithRadioAndOpensAccountEditor()
    {
        TableForm form;
        form.fill(accs({1}));
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStandardItemModel* model = form.table->model();

        for (int row = 1; row <= 2; ++row) {
            QTest::mouseClick(form.btnAdd, Qt::LeftButton);
            QCOMPARE(model->rowCount(), row + 1);
            for (int c = 0; c < 3; ++c)
                QCOMPARE(model->item(row, c)->text(), QString());
            QCOMPARE(model->item(row, 0)->textAlignment(), Qt::AlignCenter);
            QRadioButton* radio = form.radio(row);
            QVERIFY(radio);
            QVERIFY(!radio->isChecked());
            QVERIFY(radio->autoExclusive());
            QCOMPARE(radio->parentWidget(), form.tblAcc->viewport());

            auto* editor = qobject_cast<QLineEdit*>(form.tblAcc->indexWidget(model->index(row, 1)));
            QVERIFY2(editor, "no editor on the new account cell");
            QTest::keyClicks(editor, acc(row + 1).account);
        }
        // Pressing Add took the focus from the first editor, which handed its text over.
        QCOMPARE(model->item(1, 1)->text(), acc(2).account);
        QTest::keyClick(form.tblAcc->indexWidget(model->index(2, 1)), Qt::Key_Return);
        // The delegate hands the text over on Return from the event loop.
        QTRY_COMPARE(lines(form.table->rows()), lines((Accounts{acc(1), {acc(2).account, ""}, {acc(3).account, ""}})));
        QCOMPARE(form.table->checked(), std::nullopt);
    }

    void removeCurrent_data()
    {
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<int>("currentColumn");
        QTest::addColumn<QVector<int>>("selectedRows");
        QTest::addColumn<Accounts>("expected");

        QTest::newRow("no current cell") << -1 << -1 << QVector<int>{} << accs({1, 2, 3, 4, 5});
        QTest::newRow("no current cell, rows selected") << -1 << -1 << QVector<int>{0, 1} << accs({1, 2, 3, 4, 5});
        QTest::newRow("current in row 3, others selected") << 2 << 1 << QVector<int>{0, 4} << accs({1, 2, 4, 5});
        QTest::newRow("current on the radio column") << 2 << 0 << QVector<int>{} << accs({1, 2, 4, 5});
        QTest::newRow("current in first row") << 0 << 2 << QVector<int>{} << accs({2, 3, 4, 5});
        QTest::newRow("current in last row") << 4 << 1 << QVector<int>{1, 2, 3} << accs({1, 2, 3, 4});
    }
    void removeCurrent()
    {
        QFETCH(int, currentRow);
        QFETCH(int, currentColumn);
        QFETCH(QVector<int>, selectedRows);
        QFETCH(Accounts, expected);

        TableForm form;
        form.fill(accs({1, 2, 3, 4, 5}));
        QItemSelectionModel* selection = form.tblAcc->selectionModel();
        selection->clear();
        if (currentRow >= 0)
            selection->setCurrentIndex(form.table->model()->index(currentRow, currentColumn),
                                       QItemSelectionModel::NoUpdate);
        else
            selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        for (int row : selectedRows)
            selection->select(form.table->model()->index(row, 1), QItemSelectionModel::Select);

        form.table->removeCurrent();
        QCOMPARE(lines(form.table->rows()), lines(expected));
        for (int row = 0; row < expected.size(); ++row)
            QVERIFY(form.radio(row));
    }

    void removeOnEmptyTableDoesNothing()
    {
        TableForm form;
        form.table->removeCurrent();
        QCOMPARE(form.table->model()->rowCount(), 0);
    }

    void checked_data()
    {
        QTest::addColumn<Accounts>("rows");
        QTest::addColumn<QVector<int>>("clicks");
        QTest::addColumn<int>("expectedRow");

        QTest::newRow("empty table") << Accounts{} << QVector<int>{} << -1;
        QTest::newRow("rows, none checked") << accs({1, 2, 3}) << QVector<int>{} << -1;
        QTest::newRow("second of three") << accs({1, 2, 3}) << QVector<int>{1} << 1;
        QTest::newRow("last click wins") << accs({1, 2, 3}) << QVector<int>{0, 2} << 2;
    }
    void checked()
    {
        QFETCH(Accounts, rows);
        QFETCH(QVector<int>, clicks);
        QFETCH(int, expectedRow);

        TableForm form;
        form.fill(rows);
        for (int row : clicks)
            form.radio(row)->click();
        const std::optional<SourceAccount> got = form.table->checked();
        QCOMPARE(got.has_value(), expectedRow >= 0);
        if (got)
            QCOMPARE(*got, rows.at(expectedRow));
        int checkedCount = 0;
        for (int row = 0; row < rows.size(); ++row)
            checkedCount += form.radio(row)->isChecked() ? 1 : 0;
        QCOMPARE(checkedCount, expectedRow >= 0 ? 1 : 0);
    }

    void removingTheCheckedRowLeavesNoneChecked()
    {
        TableForm form;
        form.fill(accs({1, 2, 3}));
        form.radio(1)->click();
        form.tblAcc->setCurrentIndex(form.table->model()->index(1, 2));
        form.table->removeCurrent();
        QCOMPARE(lines(form.table->rows()), lines(accs({1, 3})));
        QCOMPARE(form.table->checked(), std::nullopt);
        QVERIFY(!form.radio(0)->isChecked());
        QVERIFY(!form.radio(1)->isChecked());

        // The remaining buttons still exclude each other.
        form.radio(0)->click();
        form.radio(1)->click();
        QCOMPARE(lines(form.table->checked()), lines(Accounts{acc(3)}));
        QVERIFY(!form.radio(0)->isChecked());
    }

    void saveWritesExactlyTheRowsInOrder()
    {
        {
            TableForm form;
            form.fill(accs({1, 2, 3, 4, 5}));
            form.table->save(*group("Credit"));
        }
        {
            TableForm form;
            form.fill({{QStringLiteral(" 12 x"), QStringLiteral("free text")}, {QString(), QString()}});
            form.radio(0)->click();
            form.table->save(*group("Credit"));
        }
        QCOMPARE(stored("Credit"), (Keys{{"Accounts/1/Account", " 12 x"}, {"Accounts/1/CompID", "free text"},
                                         {"Accounts/2/Account", ""}, {"Accounts/2/CompID", ""}, {"Accounts/size", "2"}}));
    }

    void loadShowsStoredRowsWithNoneChecked()
    {
        {
            const auto s = group("Collection");
            s->setValue("Accounts/size", 3);
            s->setValue("Accounts/1/Account", "0123456789");
            s->setValue("Accounts/1/CompID", "1234/56789/abcd");
            s->setValue("Accounts/2/CompID", "only a code");
            s->setValue("Accounts/3/Account", "x y");
        }
        TableForm form;
        form.fill(accs({7}));   // replaced by what is stored
        form.radio(0)->click();
        form.table->load(*group("Collection"));

        const Accounts expected{{"0123456789", "1234/56789/abcd"}, {"", "only a code"}, {"x y", ""}};
        QCOMPARE(lines(form.table->rows()), lines(expected));
        QCOMPARE(form.table->checked(), std::nullopt);
        for (int row = 0; row < expected.size(); ++row) {
            QCOMPARE(form.table->model()->item(row, 0)->text(), QStringLiteral(" "));
            QCOMPARE(form.table->model()->item(row, 0)->textAlignment(), Qt::AlignCenter);
            QVERIFY(form.radio(row));
            QVERIFY(!form.radio(row)->isChecked());
        }
        form.radio(2)->click();
        QCOMPARE(lines(form.table->checked()), lines(Accounts{expected.at(2)}));
    }

    void statedSizeBoundedByStoredEntries_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QVector<int>>("entries");   // numbers of the entries that hold an account
        QTest::addColumn<QStringList>("accounts");   // the rows read

        QTest::newRow("size far beyond the entries") << "300000000" << QVector<int>{1, 2, 3}
                                                     << QStringList{"a1", "a2", "a3"};
        QTest::newRow("size without entries") << "100000" << QVector<int>{} << QStringList{};
        QTest::newRow("gap below the highest entry") << "9" << QVector<int>{1, 3} << QStringList{"a1", "", "a3"};
        QTest::newRow("size below the entries") << "2" << QVector<int>{1, 2, 3} << QStringList{"a1", "a2"};
        QTest::newRow("entries past 1,000 not read") << "300000000" << QVector<int>{2, 1001, 299999999}
                                                      << QStringList{"", "a2"};
    }
    void statedSizeBoundedByStoredEntries()
    {
        QFETCH(QString, size);
        QFETCH(QVector<int>, entries);
        QFETCH(QStringList, accounts);
        {
            const auto s = group("Credit");
            s->setValue("Accounts/size", size);
            for (int n : entries)
                s->setValue(QStringLiteral("Accounts/%1/Account").arg(n), QStringLiteral("a%1").arg(n));
        }
        TableForm form;
        form.table->load(*group("Credit"));
        QStringList shown;
        for (const SourceAccount& row : form.table->rows())
            shown.append(row.account);
        QCOMPARE(shown, accounts);
    }

    void loadWithoutArrayGivesNoRows()
    {
        TableForm form;
        form.table->load(*group("Credit"));
        QCOMPARE(form.table->model()->rowCount(), 0);
        QCOMPARE(form.table->checked(), std::nullopt);
    }

private:
    QStringList m_messages;
};

QTEST_MAIN(TestSourceAccountsTable)
#include "test_source_accounts_table.moc"
