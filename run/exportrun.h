#pragma once

#include "core/exportjob.h"
#include "record/canceltoken.h"
#include "record/cellreading.h"
#include "reader/cells/textoptions.h"

#include <QString>

#include <optional>

namespace reader { class Document; }

namespace kova {

// One export: which sheet to read, where the upload file goes, and the
// settings file whose register and locks it takes part in.
struct ExportRequest
{
    QString sourcePath;
    QString sheetName;
    QString destinationPath;
    // Never to be replaced by the upload file. The register of written
    // batches lies beside it; without one, no register is kept.
    QString settingsPath;
    // That workbook already open with that sheet selected, read instead of
    // opening it again (a full-size sheet takes seconds to read); it must
    // outlive the export. Null: the export opens the workbook itself.
    const reader::Document* document = nullptr;
    // How delimited text at sourcePath is read when the export opens it: the
    // user's choice for that workbook, which document was read with too.
    reader::TextOptions text{};
    // The workbook's password when the export opens it; never written anywhere.
    QString password{};
    // Seen once per row and once more before the Header ID is reserved, where
    // a hold (a question that offers to stop the export) keeps it waiting; null
    // for an export that is never stopped.
    CancelToken* cancel = nullptr;
    // Text read once (SheetAccess::InOrder): how its dates and amounts read,
    // as a reading of all of it found, taken in place of its top rows' word.
    std::optional<CellReading> reading{};
};

enum class ExportOutcome {
    Written,       // upload file written, "Done!" shown
    RowErrors,     // rows had errors, "ERROR!" shown, nothing written
    Refused,       // refused or failed before or while writing; message shown
    Declined,      // the same payments were (or may have been) written before, and not again
    Cancelled,     // the sink asked to stop before the Header ID was reserved
    // Text read once (SheetAccess::InOrder) showed, past its top rows, dates
    // or amounts written otherwise than they said, or the export could not
    // start: nothing was written or told, and it is to be read again.
    ReadAgain,
};

struct ExportResult
{
    ExportOutcome outcome = ExportOutcome::Refused;
    // As ExportJob::nextHeaderId(), for the form to show.
    std::optional<qint64> nextHeaderId;
    // Written: the SHA-256 of the bytes committed, which an approval summary
    // of the file must be made from.
    QString uploadSha256;
    // ReadAgain after every row was read: how their dates and amounts read.
    std::optional<CellReading> reading;
};

// The road every export shares: the header titles the sheet lacks, the
// type's batch checks and the paths (the first failure is a critical message
// and nothing is read or written), then column titles, workbook and sheet,
// details file, row loop, summary, error gate, upload
// file, register of written batches. A batch that pays what an earlier batch
// of its type paid for the same date from the same account, or that the
// register cannot tell about, is asked about before anything is reserved, so
// a "no" leaves every file as it was. From that lookup to the committed upload
// file, one run at a time works on one settings file: of identical runs
// started together one writes and the others are asked. The upload file is
// written atomically: it is replaced only when it is complete, and only when
// it holds every record its header announces.
ExportResult runExport(const ExportRequest& request, ExportJob& job, ExportSink& sink);

// Why the workbook, or its sheet, cannot be read, to follow a message that
// says it cannot: ": line 12: a quoted field is never closed". Where another
// encoding reads the text whole, "; try " and that encoding as the window or
// kova-export has it chosen (encodingChoice; without one the choice is the
// user's to find). Empty when the reader knows no more.
QString unreadable(const reader::Document& workbook, QString (*encodingChoice)(reader::TextEncoding) = nullptr);

} // namespace kova
