#include "accountform.h"

#include "widgets/messages.h"
#include "forms/parts/sourceaccountstable.h"

#include "core/accountexport.h"
#include "widgets/clock.h"
#include "settings/settingsfile.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

namespace {

// A row added and left blank holds nothing to lose.
QVector<kova::SourceAccount> filledRows(const QVector<kova::SourceAccount>& rows)
{
    QVector<kova::SourceAccount> filled;
    for (const kova::SourceAccount& row : rows)
        if (!row.account.trimmed().isEmpty() || !row.companyCode.trimmed().isEmpty())
            filled.append(row);
    return filled;
}

} // namespace

AccountForm::AccountForm(QWidget* parent, const kova::TypeDescriptor& type)
    : TransactionForm(parent)
    , m_type(type)
    , m_settingsPath(kova::defaultSettingsPath())
    , m_saved(m_settingsPath, type.group)
{
}

// The kept workbook an export reads belongs to the mapping, which goes with this base.
AccountForm::~AccountForm()
{
    endExport();
}

void AccountForm::setUpAccountForm(const AccountWidgets& widgets, const QString& accountTitle)
{
    m_widgets = widgets;
    m_accounts = new SourceAccountsTable(widgets.tblAcc, accountTitle, this);
    m_mapping = std::make_unique<ColumnMapping>(this, widgets.gbColMap, widgets.chkHeaders,
                                                QVector<QGridLayout*>{widgets.gridLayout}, m_settingsPath, m_type);
    m_mapping->guardWith(&m_saved);

    const QDate today = kova::today();
    widgets.dteEffDate->setDate(today);
    widgets.dteFrom->setDate(today);
    widgets.dteTo->setDate(today);
    if (widgets.rdbAnytime)
        widgets.rdbAnytime->setChecked(true);

    connect(widgets.btnAdd, &QPushButton::clicked, this, &AccountForm::ON_btnAdd_Click);
    connect(widgets.btnDel, &QPushButton::clicked, this, &AccountForm::ON_btnDel_Click);
    connect(widgets.btnSave, &QPushButton::clicked, this, &AccountForm::ON_btnSave_Click);
    connect(widgets.chkHeaders, &QCheckBox::clicked, this, &AccountForm::ON_chkHeaders_Click);
    connect(widgets.btnExport, &QPushButton::clicked, this, &TransactionForm::SIG_EXPBTN_CLICK);
}

LayoutChoice* AccountForm::layoutChoice()
{
    return m_mapping.get();
}

QDate AccountForm::effectiveDate() const
{
    return m_widgets.rdbAnytime && m_widgets.rdbAnytime->isChecked() ? QDate() : m_widgets.dteEffDate->date();
}

std::optional<kova::SourceAccount> AccountForm::checkedAccount() const
{
    return m_accounts->checked();
}

void AccountForm::Read_Settings()
{
    readOwnSettings();
    readGroup();
    m_saved.remember();
}

void AccountForm::readGroup()
{
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.beginGroup(m_type.group);
    m_accounts->read(settings);
    m_keptAccounts = filledRows(m_accounts->rows());
    m_mapping->readHasColumnHeader();
    settings.endGroup();
}

bool AccountForm::saveGroup() const
{
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.beginGroup(m_type.group);
    m_accounts->save(settings);
    settings.endGroup();
    m_mapping->save(settings);
    return kova::syncSettings(settings);
}

void AccountForm::reloadSettings()
{
    Read_Settings();
    emit mappingMatched(m_mapping->headersClicked());
}

bool AccountForm::Validate_Settings()
{
    const QString refusal = settingsRefusal();
    if (!refusal.isEmpty())
        Messages::critical(this, refusal);
    return refusal.isEmpty();
}

void AccountForm::ON_btnAdd_Click()
{
    m_accounts->add();
}

void AccountForm::ON_btnDel_Click()
{
    m_accounts->removeCurrent();
}

void AccountForm::ON_btnSave_Click()
{
    if (!Validate_Settings())
        return;
    if (!m_saved.mayOverwrite(this)) {
        reloadSettings();
        return;
    }
    const bool saved = saveGroup();
    if (saved) {
        m_saved.remember();
        m_keptAccounts = filledRows(m_accounts->rows());
    }
    if (saveOwnSettings() && saved)
        Messages::information(this, QStringLiteral("Settings have been saved!"));
    else
        Messages::critical(this, QStringLiteral("Settings could not be saved"));
}

bool AccountForm::mayClose()
{
    const QVector<kova::SourceAccount> shown = filledRows(m_accounts->rows());
    if (shown == m_keptAccounts)
        return true;
    if (!Messages::question(this, QStringLiteral("The accounts table has changes that are not saved. Close and lose them?")))
        return false;
    // A close held until an export stops comes back here.
    m_keptAccounts = shown;
    return true;
}

void AccountForm::ON_Export_Signal(const QString& sourcePath, const QString& destinationPath)
{
    if (!m_mapping->refreshBeforeExport(sourcePath))
        return;
    std::unique_ptr<kova::AccountExport> job = exportJob();
    const QString chosenSettings = job->settingsPath();
    startExport({sourcePath, m_mapping->sheetName(), destinationPath, chosenSettings,
                 m_mapping->keptSheet(sourcePath)},
                std::move(job));
}

void AccountForm::ON_Excel_Changed(const QString& path, const QString& sheet)
{
    emit mappingMatched(m_mapping->excelChanged(path, sheet));
}

void AccountForm::ON_chkHeaders_Click()
{
    emit mappingMatched(m_mapping->headersClicked());
}
