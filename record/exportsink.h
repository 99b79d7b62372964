#pragma once

#include "rowreport.h"
#include "summary.h"

#include <QString>
#include <QStringList>

namespace kova {

// Receives everything an export tells the user. The window relays these as
// its signals and message boxes; kova-export prints them.
class ExportSink
{
public:
    virtual ~ExportSink() = default;

    virtual void headerChanged(const QStringList& titles) = 0;
    virtual void rowProcessed(const RowReport& report) = 0;
    virtual void summaryReady(const Summary& summary) = 0;
    // A modal critical box: a refusal or failure.
    virtual void critical(const QString& text) = 0;
    // A modal information box: "Done!".
    virtual void information(const QString& text) = 0;
    // Asked before a batch that pays what an earlier one paid is written,
    // with No as the answer to lean on: false writes nothing.
    virtual bool askWriteAgain(const QString& question) = 0;
    // The register of written batches could not be read or written. The
    // upload file stands; the user is told, nothing else changes.
    virtual void registerProblem(const QString& text) = 0;
    // The export saw its cancel token and stops with nothing written: while
    // the rows are read, or before the Header ID is reserved.
    virtual void stopped() {}
    // Rows of the sheet read so far, of its total; sent every few thousand rows
    // and once at the end of the sheet.
    virtual void progress(int /*done*/, int /*total*/) {}
    // A line for the log on how the sheet was read (which date order, which
    // decimal mark), before its rows.
    virtual void note(const QString& /*text*/) {}
};

} // namespace kova
