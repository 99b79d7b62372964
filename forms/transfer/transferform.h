#pragma once

#include "core/transfer/transfersettings.h"
#include "forms/parts/savedgroup.h"
#include "forms/base/transactionform.h"
#include "headeridfield.h"

#include <QList>

#include <memory>

namespace Ui { class TransferForm; }
class ClearingControls;
class ColumnMapping;
class QComboBox;

// The "Auto Transfer" form: gathers its widgets into kova::TransferSettings, saves
// them, and runs the transfer export, relaying its reports as signals.
class TransferForm final : public TransactionForm
{
    Q_OBJECT

public:
    explicit TransferForm(QWidget* parent = nullptr);
    ~TransferForm() override;
    // The type it is the form of, for the form factory.
    static const kova::TypeDescriptor& descriptor() { return kova::transferDescriptor(); }

    void ON_Excel_Changed(const QString& path, const QString& sheet) override;
    void ON_Export_Signal(const QString& sourcePath, const QString& destinationPath) override;
    LayoutChoice* layoutChoice() override;
    QDate effectiveDate() const override;

protected:
    // Shows the Header ID the next batch takes, or offers the next free one.
    void exportEnded(const ExportEnd& end) override;
    // Another window or kova-export may have written batches meanwhile.
    void showEvent(QShowEvent* event) override;
    // ... or since the window was last active.
    bool event(QEvent* event) override;

private slots:
    void ON_chkHeaders_Click();
    void ON_btnSave_Click();
    void ON_rdbBenefBank_Click();
    void ON_cboOthers_Change(int index);
    void ON_txtRTGS_EnterKey();
    void ON_btnLock_Click();

private:
    void Read_Settings();
    bool Validate_Settings();
    // Save Settings found the group saved elsewhere and the user chose to read it again.
    void reloadSettings();
    kova::TransferSettings settings() const;
    // A typed Header ID was refused as already used: offers the free one and,
    // taken, exports again with it.
    void offerFreeHeaderId(const ExportEnd& end, qint64 free);

    Ui::TransferForm* ui;
    QString m_settingsPath;
    std::unique_ptr<ColumnMapping> m_mapping;
    std::unique_ptr<ClearingControls> m_clearing;
    // The group as last read or saved, so a save made elsewhere meanwhile is noticed.
    SavedGroup m_saved;
    std::unique_ptr<HeaderIdField> m_headerId;   // over ui->txtHeaderID
    // While the export runs again with the free Header ID: the repeat the user let through already.
    QString m_acceptedWriteAgain;
};
