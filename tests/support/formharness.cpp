#include "formharness.h"

#include "forms/common/transactionform.h"
#include "forms/formfactory.h"
#include "register/batchregister.h"

#include <QCoreApplication>

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>

FormHarness::FormHarness()
{
    removeSettingsFile();
    Messages::setPresenter([this](QWidget*, Messages::Kind kind, const QString& text) { boxes.append({kind, text}); });
}

FormHarness::~FormHarness()
{
    Messages::setPresenter({});
    removeSettingsFile();
}

QString FormHarness::settingsPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kova.ini"));
}

void FormHarness::removeSettingsFile()
{
    // Some tests block the file with a folder of the same name.
    const QString path = settingsPath();
    QDir(path).removeRecursively();
    // Through QSettings, so its per-process cache forgets the last test's values too.
    QSettings(path, QSettings::IniFormat).clear();
    QFile::remove(path);
    // The register of written batches beside it: each test starts with no batch written.
    QFile::remove(kova::registerPathFor(path));
}

TransactionForm* FormHarness::open(kova::BatchType type)
{
    TransactionForm* form = createTransactionForm(type, this);
    connect(this, &FormHarness::SIG_Export, form, &TransactionForm::ON_Export_Signal);
    connect(this, &FormHarness::SIG_Excel_Changed, form, &TransactionForm::ON_Excel_Changed);
    connect(form, &TransactionForm::SIG_HEADER_CHANGE, this,
            [this](const QStringList& titles) { headers.append(titles); });
    connect(form, &TransactionForm::SIG_EXPBTN_CLICK, this, [this] { ++exportClicks; });
    m_form = form;
    return form;
}

void FormHarness::mapAll(const QStringList& names)
{
    for (int i = 0; i < names.size(); ++i) {
        QComboBox* c = combo(names.at(i));
        c->clear();
        c->addItem(QString());
        for (int k = 0; k < names.size(); ++k)
            c->addItem(QString(QLatin1Char(char('A' + k))));
        c->setCurrentIndex(i + 1);
    }
}

QStandardItemModel* FormHarness::accounts() const
{
    return qobject_cast<QStandardItemModel*>(w<QTableView>(QStringLiteral("tblAcc"))->model());
}

void FormHarness::addAccount(const QString& account, const QString& code)
{
    w<QPushButton>(QStringLiteral("btnAdd"))->click();
    const int row = accounts()->rowCount() - 1;
    accounts()->item(row, 1)->setText(account);
    accounts()->item(row, 2)->setText(code);
}

QRadioButton* FormHarness::radio(int row) const
{
    return qobject_cast<QRadioButton*>(w<QTableView>(QStringLiteral("tblAcc"))->indexWidget(accounts()->index(row, 0)));
}
