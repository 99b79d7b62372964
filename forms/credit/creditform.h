#pragma once

#include "core/credit/creditsettings.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class ClearingControls;
class ColumnMapping;
class QComboBox;
class SourceAccountsTable;
class Ui_CreditForm;

// The "Auto Credit" transaction form. It gathers its widgets into a
// CreditSettings, checks and saves them, and relays what the credit export
// reports to the main window as its signals and message boxes.
class CreditForm final : public QWidget
{
    Q_OBJECT

public:
    // The parent is the main window: the form listens to its
    // SIG_Export(QString,QString) and SIG_Excel_Changed(QString,QString).
    explicit CreditForm(QWidget* parent);
    ~CreditForm() override;

signals:
    void SIG_TRX_PROC(QStringList values, QList<QPoint*> points, QStringList messages, int amountColumn);
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
    void ON_btnAdd_Click();
    void ON_btnDel_Click();
    void ON_btnSave_Click();
    void ON_cboOthers_Change(int index);
    void ON_txtRTGS_EnterKey();
    void ON_rdbBenefBank_Click();
    void ON_Export_Signal(QString sourcePath, QString destinationPath);
    void ON_chkHeaders_Click();
    void ON_btnLock_Click();
    void ON_Excel_Changed(QString path, QString sheet);
    void ON_btnExport_Click();

private:
    void Read_Settings();
    bool Validate_Settings();

    CreditSettings gatherSettings() const;

    Ui_CreditForm* ui;
    QString m_settingsPath;
    SourceAccountsTable* m_accounts = nullptr;
    std::unique_ptr<ColumnMapping> m_mapping;
    std::unique_ptr<ClearingControls> m_clearing;
};
