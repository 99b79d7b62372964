#pragma once

#include "core/collection/collectionsettings.h"

#include "forms/common/columnmapping.h"
#include "forms/common/savedgroup.h"
#include "forms/common/transactionform.h"

#include <QString>

class SourceAccountsTable;
class Ui_CollectionForm;

// The "Auto Collection" transaction form. It gathers its widgets into a
// kova::CollectionSettings, saves part of them in the settings group "Collection",
// and hands exports to the shared export road, relaying what the export
// reports as its signals and message boxes.
class CollectionForm final : public TransactionForm
{
    Q_OBJECT

public:
    explicit CollectionForm(QWidget* parent);
    ~CollectionForm() override;
    // The type it is the form of, for the form factory.
    static const kova::TypeDescriptor& descriptor() { return kova::collectionDescriptor(); }

    void ON_Excel_Changed(const QString& path, const QString& sheet) override;
    void ON_Export_Signal(const QString& sourcePath, const QString& destinationPath) override;
    QDate effectiveDate() const override;

public slots:
    void ON_btnAdd_Click();
    void ON_btnDel_Click();
    void ON_btnSave_Click();
    void ON_chkHeaders_Click();

private:
    void Read_Settings();
    bool Validate_Settings();
    // Save Settings found the group saved elsewhere and the user chose to read it again.
    void reloadSettings();
    kova::CollectionSettings settings() const;

    Ui_CollectionForm* ui;
    QString m_settingsPath;
    SourceAccountsTable* m_accounts;
    ColumnMapping m_mapping;
    // The group as last read or saved, so a save made elsewhere meanwhile is noticed.
    SavedGroup m_saved;
};
