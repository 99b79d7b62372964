#include "creditform.h"

#include "core/credit/creditexport.h"
#include "ui_creditform.h"

#include "forms/common/accountformsettings.h"
#include "forms/common/clearingcontrols.h"
#include "forms/common/columnmapping.h"
#include "forms/common/messages.h"
#include "forms/common/sourceaccountstable.h"
#include "record/clock.h"
#include "settings/settingsfile.h"

CreditForm::CreditForm(QWidget* parent)
    : TransactionForm(parent)
    , ui(new Ui_CreditForm)
    , m_saved(kova::defaultSettingsPath(), kova::creditDescriptor().group)
{
    ui->setupUi(this);
    ui->gbColMap->layout()->setSpacing(0);
    ui->gbColMap->layout()->setContentsMargins(0, 0, 0, 0);

    const QDate today = kova::today();
    ui->dteEffDate->setDate(today);
    ui->dteFrom->setDate(today);
    ui->dteTo->setDate(today);
    ui->rdbAnytime->setChecked(true);
    ui->rdbWDK->setChecked(true);
    ui->cboWDK->addItems({QStringLiteral("One To One (SP)"), QStringLiteral("One To Many (MP)")});
    ui->cboOthers->addItems({QStringLiteral("LLG"), QStringLiteral("RTGS")});

    m_settingsPath = kova::defaultSettingsPath();
    m_accounts = new SourceAccountsTable(ui->tblAcc, QStringLiteral("Source Account #"), this);
    m_mapping = std::make_unique<ColumnMapping>(this, ui->gbColMap, ui->chkHeaders, QVector<QGridLayout*>{ui->gridLayout},
                                                m_settingsPath, kova::creditDescriptor());
    m_clearing = std::make_unique<ClearingControls>(
        ClearingWidgets{ui->rdbWDK, ui->rdbOthers, ui->cboOthers, ui->lblMin, ui->lblMax, ui->txtMinRTGS,
                        ui->txtMaxRTGS, ui->btnMinLock, ui->btnMaxLock},
        m_settingsPath, this);

    connect(ui->btnAdd, &QPushButton::clicked, this, &CreditForm::ON_btnAdd_Click);
    connect(ui->btnDel, &QPushButton::clicked, this, &CreditForm::ON_btnDel_Click);
    connect(ui->btnSave, &QPushButton::clicked, this, &CreditForm::ON_btnSave_Click);
    connect(ui->cboOthers, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CreditForm::ON_cboOthers_Change);
    connect(ui->txtMinRTGS, &QLineEdit::returnPressed, this, &CreditForm::ON_txtRTGS_EnterKey);
    connect(ui->txtMaxRTGS, &QLineEdit::returnPressed, this, &CreditForm::ON_txtRTGS_EnterKey);
    connect(ui->rdbWDK, &QRadioButton::clicked, this, &CreditForm::ON_rdbBenefBank_Click);
    connect(ui->rdbOthers, &QRadioButton::clicked, this, &CreditForm::ON_rdbBenefBank_Click);
    connect(ui->chkHeaders, &QCheckBox::clicked, this, &CreditForm::ON_chkHeaders_Click);
    connect(ui->btnMinLock, &QPushButton::clicked, this, &CreditForm::ON_btnLock_Click);
    connect(ui->btnMaxLock, &QPushButton::clicked, this, &CreditForm::ON_btnLock_Click);
    connect(ui->btnExport, &QPushButton::clicked, this, &TransactionForm::SIG_EXPBTN_CLICK);

    m_clearing->setUpLockButtons();
    Read_Settings();
    ON_rdbBenefBank_Click();
}

CreditForm::~CreditForm()
{
    endExport();
    delete ui;
}

QDate CreditForm::effectiveDate() const
{
    return ui->rdbAnytime->isChecked() ? QDate() : ui->dteEffDate->date();
}

kova::CreditSettings CreditForm::gatherSettings() const
{
    kova::CreditSettings s;
    s.columns.assign(m_mapping->columns());
    s.hasColumnHeader = ui->chkHeaders->isChecked();
    s.header = m_mapping->header();
    s.sourceAccount = m_accounts->checked();
    s.batchRemarks1 = ui->txtRemarks1->text();
    s.batchRemarks2 = ui->txtRemarks2->text();
    s.immediate = ui->rdbAnytime->isChecked();
    s.effectiveDate = ui->dteEffDate->date();
    s.dateFrom = ui->dteFrom->date();
    s.dateTo = ui->dteTo->date();
    s.mode = m_clearing->othersMode() ? kova::BankMode::Others : kova::BankMode::WDK;
    s.wdkIndex = ui->cboWDK->currentIndex();
    s.clearingIndex = ui->cboOthers->currentIndex();
    s.limits = m_clearing->limits();
    s.minLimitText = ui->txtMinRTGS->text();
    s.maxLimitText = ui->txtMaxRTGS->text();
    return s;
}

void CreditForm::Read_Settings()
{
    m_clearing->readLimits();
    readAccountFormSettings(m_settingsPath, kova::creditDescriptor().group, *m_accounts, *m_mapping);
    m_saved.remember();
}

void CreditForm::reloadSettings()
{
    Read_Settings();
    emit mappingMatched(m_mapping->headersClicked());
}

bool CreditForm::Validate_Settings()
{
    const QString refusal = kova::validateCreditSettings(gatherSettings());
    if (refusal.isEmpty())
        return true;
    Messages::critical(this, refusal);
    return false;
}

void CreditForm::ON_btnAdd_Click()
{
    m_accounts->add();
}

void CreditForm::ON_btnDel_Click()
{
    m_accounts->removeCurrent();
}

void CreditForm::ON_btnSave_Click()
{
    if (!Validate_Settings())
        return;
    if (!m_saved.mayOverwrite(this)) {
        reloadSettings();
        return;
    }
    const bool saved = saveAccountFormSettings(m_settingsPath, kova::creditDescriptor().group, *m_accounts, *m_mapping);
    if (saved)
        m_saved.remember();
    reportSettingsSaved(this, m_clearing->saveShownLimits() && saved);
}

void CreditForm::ON_cboOthers_Change(int index)
{
    m_clearing->clearingChanged(index);
}

void CreditForm::ON_txtRTGS_EnterKey()
{
    m_clearing->returnPressed(sender());
}

void CreditForm::ON_rdbBenefBank_Click()
{
    if (!m_clearing->takeModeChange())
        return;
    const bool wdk = ui->rdbWDK->isChecked();
    if (wdk) {
        ui->cboWDK->setCurrentIndex(0);
        ui->cboOthers->setCurrentIndex(-1);
    } else {
        ui->cboOthers->setCurrentIndex(0);
        ui->cboWDK->setCurrentIndex(-1);
    }
    m_mapping->markRequired(!wdk);
    if (!wdk) {
        ui->cboOthers->setEnabled(true);
        ui->cboOthers->setCurrentIndex(0);
    }
    m_clearing->showLimitWidgets(!wdk);
    ui->cboWDK->setVisible(wdk);
}

void CreditForm::ON_Export_Signal(const QString& sourcePath, const QString& destinationPath)
{
    if (!m_mapping->refreshBeforeExport(sourcePath))
        return;
    const kova::CreditSettings chosen = gatherSettings();
    startExport({sourcePath, m_mapping->sheetName(), destinationPath, chosen.settingsPath,
                 m_mapping->keptSheet(sourcePath)},
                std::make_unique<kova::CreditExport>(chosen));
}

void CreditForm::ON_chkHeaders_Click()
{
    emit mappingMatched(m_mapping->headersClicked());
}

void CreditForm::ON_btnLock_Click()
{
    m_clearing->lockClicked(sender());
}

void CreditForm::ON_Excel_Changed(const QString& path, const QString& sheet)
{
    emit mappingMatched(m_mapping->excelChanged(path, sheet));
}
