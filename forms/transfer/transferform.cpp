#include "transferform.h"

#include "core/transfer/transferexport.h"
#include "ui_transferform.h"

#include "core/transfer/headeridreservation.h"
#include "widgets/clock.h"
#include "settings/settingsfile.h"
#include "settings/settingslock.h"
#include "forms/parts/clearingcontrols.h"
#include "forms/parts/columnmapping.h"
#include "widgets/messages.h"

#include <QSettings>

#include <utility>

TransferForm::TransferForm(QWidget* parent)
    : TransactionForm(parent)
    , ui(new Ui::TransferForm)
    , m_settingsPath(kova::defaultSettingsPath())
    , m_saved(m_settingsPath, kova::transferDescriptor().group, kova::transferHeaderIdKey())
{
    ui->setupUi(this);
    m_headerId = std::make_unique<HeaderIdField>(m_settingsPath, ui->txtHeaderID);
    const QDate today = kova::today();
    for (QDateEdit* edit : {ui->dteFrom, ui->dteTo, ui->dteEffDate})
        edit->setDate(today);

    ui->cboOthers->addItems({QStringLiteral("LLG"), QStringLiteral("RTGS")});

    m_mapping = std::make_unique<ColumnMapping>(this, ui->gbColMap, ui->chkHeaders,
                                                QVector<QGridLayout*>{ui->gridLayout, ui->gridLayout_2},
                                                m_settingsPath, kova::transferDescriptor());
    m_mapping->guardWith(&m_saved);
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

void TransferForm::showEvent(QShowEvent* event)
{
    m_headerId->follow();
    TransactionForm::showEvent(event);
}

bool TransferForm::event(QEvent* event)
{
    // Its window passes its activation down to the visible widgets in it.
    if (event->type() == QEvent::WindowActivate)
        m_headerId->follow();
    return TransactionForm::event(event);
}

LayoutChoice* TransferForm::layoutChoice()
{
    return m_mapping.get();
}

QDate TransferForm::effectiveDate() const
{
    return ui->dteEffDate->date();
}

void TransferForm::Read_Settings()
{
    m_clearing->readLimits();
    const kova::TransferSettings stored = kova::readTransferSettings(m_settingsPath);
    m_mapping->readHasColumnHeader();
    m_headerId->setText(stored.headerIdText);
    ui->txtCompID->setText(stored.corporateId);
    m_saved.remember();
}

kova::TransferSettings TransferForm::settings() const
{
    kova::TransferSettings s;
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
    const QString refusal = kova::validateTransferSettings(settings());
    if (refusal.isEmpty())
        return true;
    Messages::critical(this, refusal);
    return false;
}

void TransferForm::ON_Export_Signal(const QString& sourcePath, const QString& destinationPath)
{
    if (!m_mapping->refreshBeforeExport(sourcePath))
        return;
    m_headerId->follow();
    const kova::TransferSettings chosen = settings();
    auto job = std::make_unique<kova::TransferExport>(chosen);
    const kova::TransferExport* running = job.get();
    ExportTerms terms;
    terms.acceptedWriteAgain = std::exchange(m_acceptedWriteAgain, QString());
    // The number another run took is put as a question, not a dead end.
    terms.takesRefusal = [running](const QString&) { return running->typedHeaderIdUsed(); };
    startExport({sourcePath, m_mapping->sheetName(), destinationPath, chosen.settingsPath,
                 m_mapping->keptSheet(sourcePath)},
                std::move(job), std::move(terms));
}

void TransferForm::exportEnded(const ExportEnd& end)
{
    if (!end.takenRefusal.isEmpty() && end.result.nextHeaderId) {
        offerFreeHeaderId(end, *end.result.nextHeaderId);
        return;
    }
    m_headerId->afterExport();
}

void TransferForm::offerFreeHeaderId(const ExportEnd& end, qint64 free)
{
    const QString question = end.takenRefusal + QStringLiteral(". Export with Header ID %1?").arg(free);
    if (!Messages::question(this, question))
        return;
    m_headerId->setText(QString::number(free));
    emit exportRestarted();
    m_acceptedWriteAgain = end.acceptedWriteAgain;
    ON_Export_Signal(end.request.sourcePath, end.request.destinationPath);
}

void TransferForm::ON_Excel_Changed(const QString& path, const QString& sheet)
{
    emit mappingMatched(m_mapping->excelChanged(path, sheet));
}

void TransferForm::ON_chkHeaders_Click()
{
    emit mappingMatched(m_mapping->headersClicked());
}

void TransferForm::ON_btnSave_Click()
{
    if (!Validate_Settings())
        return;
    if (!m_saved.mayOverwrite(this)) {
        reloadSettings();
        return;
    }
    // No export takes a Header ID between the look at the stored one and the write.
    const kova::SettingsLock lock(kova::headerIdLockPath(m_settingsPath), kova::headerIdLockWaitMs);
    if (lock.state() == kova::SettingsLock::State::Busy) {
        Messages::critical(this, kova::settingsBusyText());
        return;
    }
    // A number another run has used since the field was filled is never stored back.
    const std::optional<qint64> raisedFrom = m_headerId->raise();
    QSettings file(m_settingsPath, QSettings::IniFormat);
    m_mapping->save(file);
    const bool typedSaved = kova::saveTransferSettings(settings(), file);
    const bool saved = m_clearing->saveShownLimits() && typedSaved;
    if (typedSaved) {
        m_saved.remember();
        m_headerId->saved();
    }
    if (saved && raisedFrom)
        Messages::information(this, QStringLiteral("Settings has been saved; Header ID %1 was already used, so the next "
                                                   "free one, %2, was saved instead")
                                        .arg(*raisedFrom)
                                        .arg(ui->txtHeaderID->text()));
    else if (saved)
        Messages::information(this, QStringLiteral("Settings has been saved"));
    else
        Messages::critical(this, QStringLiteral("Settings could not be saved"));
}

void TransferForm::reloadSettings()
{
    Read_Settings();
    emit mappingMatched(m_mapping->headersClicked());
}

void TransferForm::ON_rdbBenefBank_Click()
{
    if (!m_clearing->takeModeChange())
        return;
    const bool others = !ui->rdbWDK->isChecked();
    if (!others)
        ui->cboOthers->setCurrentIndex(-1);
    m_mapping->markRequired(others);
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
