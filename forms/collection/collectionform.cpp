#include "collectionform.h"

#include "core/collection/collectionexport.h"
#include "ui_collectionform.h"

#include "forms/common/accountformsettings.h"
#include "forms/common/messages.h"
#include "forms/common/sourceaccountstable.h"
#include "record/clock.h"
#include "settings/settingsfile.h"

namespace {

Ui_CollectionForm* builtUi(QWidget* form)
{
    auto* ui = new Ui_CollectionForm;
    ui->setupUi(form);
    return ui;
}

} // namespace

CollectionForm::CollectionForm(QWidget* parent)
    : TransactionForm(parent)
    , ui(builtUi(this))
    , m_settingsPath(kova::defaultSettingsPath())
    , m_accounts(new SourceAccountsTable(ui->tblAcc, QStringLiteral("Credited Account #"), this))
    , m_mapping(this, ui->gbColMap, ui->chkHeaders, {ui->gridLayout}, m_settingsPath, kova::collectionDescriptor())
    , m_saved(m_settingsPath, kova::collectionDescriptor().group)
{
    const QDate today = kova::today();
    ui->dteEffDate->setDate(today);
    ui->dteFrom->setDate(today);
    ui->dteTo->setDate(today);
    ui->rdbAnytime->setChecked(true);

    connect(ui->btnAdd, &QPushButton::clicked, this, &CollectionForm::ON_btnAdd_Click);
    connect(ui->btnDel, &QPushButton::clicked, this, &CollectionForm::ON_btnDel_Click);
    connect(ui->btnSave, &QPushButton::clicked, this, &CollectionForm::ON_btnSave_Click);
    connect(ui->chkHeaders, &QCheckBox::clicked, this, &CollectionForm::ON_chkHeaders_Click);
    connect(ui->btnExport, &QPushButton::clicked, this, &TransactionForm::SIG_EXPBTN_CLICK);

    Read_Settings();
}

CollectionForm::~CollectionForm()
{
    endExport();
    delete ui;
}

QDate CollectionForm::effectiveDate() const
{
    return ui->rdbAnytime->isChecked() ? QDate() : ui->dteEffDate->date();
}

void CollectionForm::ON_btnAdd_Click()
{
    m_accounts->add();
}

void CollectionForm::ON_btnDel_Click()
{
    m_accounts->removeCurrent();
}

void CollectionForm::ON_btnSave_Click()
{
    if (!Validate_Settings())
        return;
    if (!m_saved.mayOverwrite(this)) {
        reloadSettings();
        return;
    }
    const bool saved = saveAccountFormSettings(m_settingsPath, kova::collectionDescriptor().group, *m_accounts, m_mapping);
    if (saved)
        m_saved.remember();
    reportSettingsSaved(this, saved);
}

void CollectionForm::ON_Export_Signal(const QString& sourcePath, const QString& destinationPath)
{
    if (!m_mapping.refreshBeforeExport(sourcePath))
        return;
    const kova::CollectionSettings chosen = settings();
    startExport({sourcePath, m_mapping.sheetName(), destinationPath, chosen.settingsPath,
                 m_mapping.keptSheet(sourcePath)},
                std::make_unique<kova::CollectionExport>(chosen));
}

void CollectionForm::ON_Excel_Changed(const QString& path, const QString& sheet)
{
    emit mappingMatched(m_mapping.excelChanged(path, sheet));
}

void CollectionForm::ON_chkHeaders_Click()
{
    emit mappingMatched(m_mapping.headersClicked());
}

void CollectionForm::Read_Settings()
{
    readAccountFormSettings(m_settingsPath, kova::collectionDescriptor().group, *m_accounts, m_mapping);
    m_saved.remember();
}

void CollectionForm::reloadSettings()
{
    Read_Settings();
    emit mappingMatched(m_mapping.headersClicked());
}

bool CollectionForm::Validate_Settings()
{
    const QString refusal = kova::validateCollectionSettings(settings());
    if (!refusal.isEmpty())
        Messages::critical(this, refusal);
    return refusal.isEmpty();
}

kova::CollectionSettings CollectionForm::settings() const
{
    kova::CollectionSettings s;
    s.columns.assign(m_mapping.columns());
    s.hasColumnHeader = ui->chkHeaders->isChecked();
    s.header = m_mapping.header();
    s.creditedAccount = m_accounts->checked();
    s.immediate = ui->rdbAnytime->isChecked();
    s.effectiveDate = ui->dteEffDate->date();
    s.dateFrom = ui->dteFrom->date();
    s.dateTo = ui->dteTo->date();
    s.remarks1 = ui->txtRemarks1->text();
    s.remarks2 = ui->txtRemarks2->text();
    return s;
}
