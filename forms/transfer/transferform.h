#pragma once

#include "core/transfer/transfersettings.h"

#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui { class TransferForm; }
class ClearingControls;
class ColumnMapping;
class QComboBox;

// The "Auto Transfer" form: gathers its widgets into TransferSettings, saves
// them, and runs the transfer export, relaying its reports as signals.
class TransferForm final : public QWidget
{
    Q_OBJECT

public:
    // parent: the main window, whose SIG_Export and SIG_Excel_Changed drive the form.
    explicit TransferForm(QWidget* parent = nullptr);
    ~TransferForm() override;

signals:
    void SIG_TRX_PROC(QStringList values, QList<QPoint*> cells, QStringList messages, int amountColumn);
    void SIG_TRX_DONE(QStringList lines);
    void SIG_HEADER_CHANGE(QStringList titles);
    void SIG_EXPBTN_CLICK();
    // Fields the sheet's header texts mapped by themselves, a line each; may be empty.
    void SIG_MAPPING_MATCHED(QStringList lines);
    // Follows each row report: the row's sheet row and its cells cut with a warning.
    void SIG_TRX_ROW(int sheetRow, QList<QPoint> warningCells);
    // What became of the batch, once its summary was sent.
    void SIG_TRX_END(QString line);

private slots:
    void ON_Export_Signal(QString sourcePath, QString destinationPath);
    void ON_Excel_Changed(QString path, QString sheet);
    void ON_chkHeaders_Click();
    void ON_btnSave_Click();
    void ON_rdbBenefBank_Click();
    void ON_cboOthers_Change(int index);
    void ON_txtRTGS_EnterKey();
    void ON_btnLock_Click();
    void ON_btnExport_Click();

private:
    void Read_Settings();
    bool Validate_Settings();
    TransferSettings settings() const;

    Ui::TransferForm* ui;
    QString m_settingsPath;
    std::unique_ptr<ColumnMapping> m_mapping;
    std::unique_ptr<ClearingControls> m_clearing;
};
