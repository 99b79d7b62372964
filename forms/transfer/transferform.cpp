#include "transferform.h"

#include "core/transfer/transferexport.h"
#include "ui_transferform.h"

#include "record/clock.h"
#include "settings/settingsfile.h"
#include "forms/common/clearingcontrols.h"
#include "forms/common/columnmapping.h"
#include "forms/common/messages.h"
#include "forms/common/requiredcaption.h"


TransferForm::TransferForm(QWidget* parent)
    : TransactionForm(parent)
    , ui(new Ui::TransferForm)
    , m_settingsPath(kova::defaultSettingsPath())
    , m_saved(m_settingsPath, transferDescriptor().group, transferHeaderIdKey())
{
    ui->setupUi(this);
    const QDate today = kova::today();
    for (QDateEdit* edit : {ui->dteFrom, ui->dteTo, ui->dteEffDate})
        edit->setDate(today);

    ui->cboOthers->addItems({QStringLiteral("LLG"), QStringLiteral("RTGS")});

    m_mapping = std::make_unique<ColumnMapping>(this, ui->gbColMap, ui->chkHeaders, m_settingsPath,
                                                transferDescriptor());
    m_clearing = std::make_unique<ClearingControls>(
        ClearingWidgets{ui->rdbWDK, ui->rdbOthers, ui->cboOthers, ui->lblMin, ui->lblMax, ui->txtMinRTGS,
                        ui->txtMaxRTGS, ui->btnMinLock, ui->btnMaxLock},
        m_settingsPath, this);

    connect(ui->btnSave, &QPushButton::clicked, this, &TransferForm::ON_btnSave_Click);
    connect(ui->chkHeaders, &QCheckBox::clicked, this, &TransferForm::ON_chkHeaders_Click);
    connect(ui->rdbWDK, &QRadioButton::clicked, this, &TransferForm::ON_rdbBenefBank_Click);
    connect(ui->rdbOthers, &QRadioButton::clicked, this, &TransferForm::ON_rdbBenefBank_Click);
    connect(ui->cboOthers, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TransferForm::ON_cboOthers_Change);
    connect(ui->txtMinRTGS, &QLineEdit::returnPressed, this, &TransferForm::ON_txtRTGS_EnterKey);
    connect(ui->txtMaxRTGS, &QLineEdit::returnPressed, this, &TransferForm::ON_txtRTGS_EnterKey);
    connect(ui->btnMinLock, &QPushButton::clicked, this, &TransferForm::ON_btnLock_Click);
    connect(ui->btnMaxLock, &QPushButton::clicked, this, &TransferForm::ON_btnLock_Click);
    connect(ui->btnExport, &QPushButton::clicked, this, &TransactionForm::SIG_EXPBTN_CLICK);

    m_clearing->setUpLockButtons();
    Read_Settings();
    ui->rdbWDK->setChecked(true);
    ON_rdbBenefBank_Click();
}

TransferForm::~TransferForm()
{
    endExport();
    delete ui;
}

QDate TransferForm::effectiveDate() const
{
    return ui->dteEffDate->date();
}

void TransferForm::Read_Settings()
{
    m_clearing->readLimits();
    const TransferSettings stored = readTransferSettings(m_settingsPath);
    ui->chkHeaders->setChecked(stored.hasColumnHeader);
    ui->txtHeaderID->setText(stored.headerIdText);
    ui->txtCompID->setText(stored.corporateId);
    m_saved.remember();
}

TransferSettings TransferForm::settings() const
{
    TransferSettings s;
    s.columns.assign(m_mapping->columns());
    s.hasColumnHeader = ui->chkHeaders->isChecked();
    s.header = m_mapping->header();
    s.dateFrom = ui->dteFrom->date();
    s.dateTo = ui->dteTo->date();
    s.effectiveDate = ui->dteEffDate->date();
    s.mode = m_clearing->othersMode() ? kova::BankMode::Others : kova::BankMode::WDK;
    s.clearingIndex = ui->cboOthers->currentIndex();
    s.limits = m_clearing->limits();
    s.minLimitText = ui->txtMinRTGS->text();
    s.maxLimitText = ui->txtMaxRTGS->text();
    s.headerIdText = ui->txtHeaderID->text();
    s.corporateId = ui->txtCompID->text();
    s.settingsPath = m_settingsPath;
    return s;
}

bool TransferForm::Validate_Settings()
{
    const QString refusal = validateTransferSettings(settings());
    if (refusal.isEmpty())
        return true;
    Messages::critical(this, refusal);
    return false;
}

void TransferForm::ON_Export_Signal(const QString& sourcePath, const QString& destinationPath)
{
    const TransferSettings chosen = settings();
    startExport({sourcePath, m_mapping->sheetName(), destinationPath, chosen.settingsPath,
                 m_mapping->keptSheet(sourcePath)},
                std::make_unique<TransferExport>(chosen));
}

void TransferForm::exportEnded(const kova::ExportResult& result)
{
    if (result.nextHeaderId)
        ui->txtHeaderID->setText(QString::number(*result.nextHeaderId));
}

void TransferForm::ON_Excel_Changed(const QString& path, const QString& sheet)
{
    emit SIG_MAPPING_MATCHED(m_mapping->excelChanged(path, sheet));
}

void TransferForm::ON_chkHeaders_Click()
{
    emit SIG_MAPPING_MATCHED(m_mapping->headersClicked());
}

void TransferForm::ON_btnSave_Click()
{
    if (!Validate_Settings())
        return;
    if (!m_saved.mayOverwrite(this)) {
        reloadSettings();
        return;
    }
    const bool typedSaved = saveTransferSettings(settings());
    const bool saved = m_clearing->saveShownLimits() && typedSaved;
    if (typedSaved)
        m_saved.remember();
    if (saved)
        Messages::information(this, QStringLiteral("Settings has been saved"));
    else
        Messages::critical(this, QStringLiteral("Settings could not be saved"));
}

void TransferForm::reloadSettings()
{
    Read_Settings();
    emit SIG_MAPPING_MATCHED(m_mapping->headersClicked());
}

void TransferForm::ON_rdbBenefBank_Click()
{
    if (!m_clearing->takeModeChange())
        return;
    const bool others = !ui->rdbWDK->isChecked();
    const auto caption = [others](const QString& text) { return others ? requiredCaption(text) : text; };
    if (!others)
        ui->cboOthers->setCurrentIndex(-1);
    ui->lblBICode->setText(caption(QStringLiteral("BI Code")));
    ui->lblBank->setText(caption(QStringLiteral("Bank Name")));
    ui->lblRemittance->setText(requiredCaption(QStringLiteral("Transfer Type")));
    ui->lblBranch->setText(caption(QStringLiteral("Branch Name")));
    ui->lblBenef->setText(caption(QStringLiteral("Name")));
    ui->lblCustType->setText(caption(QStringLiteral("Type")));
    ui->lblResidence->setText(caption(QStringLiteral("Residence")));
    if (others)
        ui->cboOthers->setCurrentIndex(0);
    m_clearing->showLimitWidgets(others);
}

void TransferForm::ON_cboOthers_Change(int index)
{
    m_clearing->clearingChanged(index);
}

void TransferForm::ON_txtRTGS_EnterKey()
{
    m_clearing->returnPressed(sender());
}

void TransferForm::ON_btnLock_Click()
{
    m_clearing->lockClicked(sender());
}
