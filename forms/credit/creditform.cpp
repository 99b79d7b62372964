#include "creditform.h"

#include "core/credit/creditexport.h"
#include "ui_creditform.h"

#include "forms/parts/clearingcontrols.h"

CreditForm::CreditForm(QWidget* parent)
    : AccountForm(parent, kova::creditDescriptor())
    , ui(new Ui_CreditForm)
{
    ui->setupUi(this);
    ui->gbColMap->layout()->setSpacing(0);
    ui->gbColMap->layout()->setContentsMargins(0, 0, 0, 0);

    ui->rdbWDK->setChecked(true);
    ui->cboWDK->addItems({QStringLiteral("One To One (SP)"), QStringLiteral("One To Many (MP)")});
    ui->cboOthers->addItems({QStringLiteral("LLG"), QStringLiteral("RTGS")});

    setUpAccountForm(AccountWidgets::of(*ui, ui->rdbAnytime), QStringLiteral("Source Account #"));
    m_clearing = std::make_unique<ClearingControls>(
        ClearingWidgets{ui->rdbWDK, ui->rdbOthers, ui->cboOthers, ui->lblMin, ui->lblMax, ui->txtMinRTGS,
                        ui->txtMaxRTGS, ui->btnMinLock, ui->btnMaxLock},
        settingsPath(), this);

    connect(ui->cboOthers, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CreditForm::ON_cboOthers_Change);
    connect(ui->txtMinRTGS, &QLineEdit::returnPressed, this, &CreditForm::ON_txtRTGS_EnterKey);
    connect(ui->txtMaxRTGS, &QLineEdit::returnPressed, this, &CreditForm::ON_txtRTGS_EnterKey);
    connect(ui->rdbWDK, &QRadioButton::clicked, this, &CreditForm::ON_rdbBenefBank_Click);
    connect(ui->rdbOthers, &QRadioButton::clicked, this, &CreditForm::ON_rdbBenefBank_Click);
    connect(ui->btnMinLock, &QPushButton::clicked, this, &CreditForm::ON_btnLock_Click);
    connect(ui->btnMaxLock, &QPushButton::clicked, this, &CreditForm::ON_btnLock_Click);

    m_clearing->setUpLockButtons();
    Read_Settings();
    ON_rdbBenefBank_Click();
}

CreditForm::~CreditForm()
{
    delete ui;
}

kova::CreditSettings CreditForm::gatherSettings() const
{
    kova::CreditSettings s;
    gather(s);
    s.sourceAccount = checkedAccount();
    s.batchRemarks1 = ui->txtRemarks1->text();
    s.batchRemarks2 = ui->txtRemarks2->text();
    s.immediate = ui->rdbAnytime->isChecked();
    s.mode = m_clearing->othersMode() ? kova::BankMode::Others : kova::BankMode::WDK;
    s.wdkIndex = ui->cboWDK->currentIndex();
    s.clearingIndex = ui->cboOthers->currentIndex();
    s.limits = m_clearing->limits();
    s.minLimitText = ui->txtMinRTGS->text();
    s.maxLimitText = ui->txtMaxRTGS->text();
    return s;
}

QString CreditForm::settingsRefusal() const
{
    return kova::validateCreditSettings(gatherSettings());
}

std::unique_ptr<kova::AccountExport> CreditForm::exportJob() const
{
    return std::make_unique<kova::CreditExport>(gatherSettings());
}

void CreditForm::readOwnSettings()
{
    m_clearing->readLimits();
}

bool CreditForm::saveOwnSettings()
{
    return m_clearing->saveShownLimits();
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
    mapping().markRequired(!wdk);
    if (!wdk) {
        ui->cboOthers->setEnabled(true);
        ui->cboOthers->setCurrentIndex(0);
    }
    m_clearing->showLimitWidgets(!wdk);
    ui->cboWDK->setVisible(wdk);
}

void CreditForm::ON_btnLock_Click()
{
    m_clearing->lockClicked(sender());
}
