#include "payrollform.h"

#include "core/payroll/payrollexport.h"
#include "ui_payrollform.h"

#include "forms/common/accountformsettings.h"
#include "forms/common/messages.h"
#include "forms/common/sourceaccountstable.h"
#include "record/clock.h"
#include "settings/settingsfile.h"

namespace {

Ui_PayrollForm* builtUi(QWidget* form)
{
    auto* ui = new Ui_PayrollForm;
    ui->setupUi(form);
    return ui;
}

} // namespace

PayrollForm::PayrollForm(QWidget* parent)
    : TransactionForm(parent)
    , ui(builtUi(this))
    , m_settingsPath(kova::defaultSettingsPath())
    , m_accounts(new SourceAccountsTable(ui->tblAcc, QStringLiteral("Source Account #"), this))
    , m_mapping(this, ui->gbColMap, ui->chkHeaders, {ui->gridLayout}, m_settingsPath, kova::payrollDescriptor())
    , m_saved(m_settingsPath, kova::payrollDescriptor().group)
{
    const QDate today = kova::today();
    ui->dteEffDate->setDate(today);
    ui->dteFrom->setDate(today);
    ui->dteTo->setDate(today);
    ui->rdbBefore->setChecked(true);

    connect(ui->btnAdd, &QPushButton::clicked, this, &PayrollForm::ON_btnAdd_Click);
    connect(ui->btnDel, &QPushButton::clicked, this, &PayrollForm::ON_btnDel_Click);
    connect(ui->btnSave, &QPushButton::clicked, this, &PayrollForm::ON_btnSave_Click);
    connect(ui->chkHeaders, &QCheckBox::clicked, this, &PayrollForm::ON_chkHeaders_Click);
    connect(ui->btnExport, &QPushButton::clicked, this, &TransactionForm::SIG_EXPBTN_CLICK);

    Read_Settings();
}

PayrollForm::~PayrollForm()
{
    endExport();
    delete ui;
}

QDate PayrollForm::effectiveDate() const
{
    return ui->dteEffDate->date();
}

void PayrollForm::ON_btnAdd_Click()
{
    m_accounts->add();
}

void PayrollForm::ON_btnDel_Click()
{
    m_accounts->removeCurrent();
}

void PayrollForm::ON_btnSave_Click()
{
    if (!Validate_Settings())
        return;
    if (!m_saved.mayOverwrite(this)) {
        reloadSettings();
        return;
    }
    const bool saved = saveAccountFormSettings(m_settingsPath, kova::payrollDescriptor().group, *m_accounts, m_mapping);
    if (saved)
        m_saved.remember();
    reportSettingsSaved(this, saved);
}

void PayrollForm::ON_Export_Signal(const QString& sourcePath, const QString& destinationPath)
{
    if (!m_mapping.refreshBeforeExport(sourcePath))
        return;
    const kova::PayrollSettings chosen = settings();
    startExport({sourcePath, m_mapping.sheetName(), destinationPath, chosen.settingsPath,
                 m_mapping.keptSheet(sourcePath)},
                std::make_unique<kova::PayrollExport>(chosen));
}

void PayrollForm::ON_Excel_Changed(const QString& path, const QString& sheet)
{
    emit mappingMatched(m_mapping.excelChanged(path, sheet));
}

void PayrollForm::ON_chkHeaders_Click()
{
    emit mappingMatched(m_mapping.headersClicked());
}

void PayrollForm::Read_Settings()
{
    readAccountFormSettings(m_settingsPath, kova::payrollDescriptor().group, *m_accounts, m_mapping);
    m_saved.remember();
}

void PayrollForm::reloadSettings()
{
    Read_Settings();
    emit mappingMatched(m_mapping.headersClicked());
}

bool PayrollForm::Validate_Settings()
{
    const QString refusal = kova::validatePayrollSettings(settings());
    if (!refusal.isEmpty())
        Messages::critical(this, refusal);
    return refusal.isEmpty();
}

kova::PayrollSettings PayrollForm::settings() const
{
    kova::PayrollSettings s;
    s.columns.assign(m_mapping.columns());
    s.hasColumnHeader = ui->chkHeaders->isChecked();
    s.header = m_mapping.header();
    s.sourceAccount = m_accounts->checked();
    s.effectiveDate = ui->dteEffDate->date();
    s.afterHoliday = ui->rdbAfter->isChecked();
    s.dateFrom = ui->dteFrom->date();
    s.dateTo = ui->dteTo->date();
    return s;
}
