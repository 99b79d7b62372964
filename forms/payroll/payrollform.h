#pragma once

#include "core/payroll/payrollsettings.h"

#include "forms/common/columnmapping.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

class SourceAccountsTable;
class Ui_PayrollForm;

// The "Payroll" transaction form. It gathers its widgets into a
// PayrollSettings, saves part of them in the settings group "Payroll",
// and hands exports to runPayrollExport(), relaying what the export
// reports as its signals and message boxes.
class PayrollForm final : public QWidget
{
    Q_OBJECT

public:
    // parent: the main window, whose SIG_Export and SIG_Excel_Changed drive the form.
    explicit PayrollForm(QWidget* parent);
    ~PayrollForm() override;

signals:
    void SIG_TRX_PROC(QStringList, QList<QPoint*>, QStringList, int);
    void SIG_TRX_DONE(QStringList);
    void SIG_HEADER_CHANGE(QStringList);
    void SIG_EXPBTN_CLICK();
    // Fields the sheet's header texts mapped by themselves, a line each; may be empty.
    void SIG_MAPPING_MATCHED(QStringList lines);
    // Follows each row report: the row's sheet row and its cells cut with a warning.
    void SIG_TRX_ROW(int sheetRow, QList<QPoint> warningCells);
    // What became of the batch, once its summary was sent.
    void SIG_TRX_END(QString line);

public slots:
    void ON_btnAdd_Click();
    void ON_btnDel_Click();
    void ON_btnSave_Click();
    void ON_Export_Signal(QString sourcePath, QString destinationPath);
    void ON_Excel_Changed(QString path, QString sheet);
    void ON_chkHeaders_Click();
    void ON_btnExport_Click();

private:
    void Read_Settings();
    bool Validate_Settings();
    PayrollSettings settings() const;

    Ui_PayrollForm* ui;
    QString m_settingsPath;
    SourceAccountsTable* m_accounts;
    ColumnMapping m_mapping;
};
