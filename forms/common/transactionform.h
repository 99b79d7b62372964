#pragma once

#include "export/rowreport.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

// What the main window knows of a transaction form: the two requests it
// makes of every form, and the reports every form's export sends back.
class TransactionForm : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // A workbook or sheet was chosen: the mapping lists offer that sheet's
    // columns. An empty sheet name empties them.
    virtual void ON_Excel_Changed(const QString& path, const QString& sheet) = 0;
    // Exports the chosen sheet of the workbook at sourcePath into the upload
    // file destinationPath, reporting as it goes through the signals below.
    virtual void ON_Export_Signal(const QString& sourcePath, const QString& destinationPath) = 0;

signals:
    // One per processed row: the row's log values, its cells marked with an
    // error, its message lines, and the log column to right-align.
    void SIG_TRX_PROC(QStringList values, QVector<kova::MarkedCell> cells, QStringList messages, int amountColumn);
    void SIG_TRX_DONE(QStringList lines);
    void SIG_HEADER_CHANGE(QStringList titles);
    // The form's Export button was pressed; the window decides whether to export.
    void SIG_EXPBTN_CLICK();
    // Fields the sheet's header texts mapped by themselves, a line each; may be empty.
    void SIG_MAPPING_MATCHED(QStringList lines);
    // Follows each row report: the row's sheet row and its cells cut with a warning.
    void SIG_TRX_ROW(int sheetRow, QVector<kova::MarkedCell> warningCells);
    // What became of the batch, once its summary was sent.
    void SIG_TRX_END(QString line);
};
