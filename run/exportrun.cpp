#include "exportrun.h"

#include "faultpoint.h"
#include "pathchecks.h"
#include "rowdoubts.h"
#include "vectorstate.h"
#include "record/columnreading.h"
#include "record/utf8block.h"
#include "register/batchguard.h"
#include "register/filesha256.h"
#include "settings/settingsfile.h"
#include "settings/settingslock.h"
#include "reader/document.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <optional>

namespace kova {

namespace {

const QString failedWriting = QStringLiteral("Failed open file for writing");
const QString failedReading = QStringLiteral("Failed open file for reading");
const QString failedWrite = QStringLiteral("Failed writing file");
// The details file is written, and copied into the upload, in blocks of this size.
constexpr int copyBlock = 1 << 20;
// Rows between progress reports: often enough for a bar, rare enough to cost nothing.
constexpr int progressStep = 4096;
// How long a run waits for another on the same settings to write its batch:
// a full-size batch takes a few seconds to copy into place.
constexpr int lockWaitMs = 10000;
// The top rows of text read once that say how its dates and amounts are
// written, before any row is read by it: as many as its reader holds back.
constexpr int firstLookRows = 1024;

struct Counts
{
    ExportTotals totals;
    int errors = 0;
    int warnings = 0;
    QVector<int> leftOut;   // rows the filters left out, by reason
};

// A record of the wrong width would shift every field after it at the bank;
// the layouts make that impossible for rows without errors, and this keeps it so.
bool widthHolds(const ExportJob& job, const QString& record)
{
    return job.recordWidth() == 0 || record.size() == job.recordWidth();
}

// The details file holds the whole batch in plain text. It gets a fresh name
// in the destination's folder (never an existing file or link there), and the
// name is dropped at once where the system allows it: the open file stays
// readable, and nothing is left behind however the export ends, a killed
// process included.
bool openDetails(QTemporaryFile& details, const QString& destinationPath)
{
    const QFileInfo destination(destinationPath);
    details.setFileTemplate(destination.absoluteDir().filePath(destination.fileName()
                                                               + QStringLiteral(".XXXXXX.details")));
    if (!details.open())
        return false;
    if (QFile::remove(details.fileName()))
        details.setAutoRemove(false);
    return true;
}

// Header record first, then the details file's lines. The destination is
// replaced only by a complete file: every write succeeded and it holds as many
// records as the header announces. Gives the SHA-256 of the bytes committed,
// for the register to know the file by; none when nothing was.
std::optional<QString> writeUpload(const QString& destinationPath, QFile& details, const QString& header, int count,
                                   ExportSink& sink)
{
    QSaveFile upload(destinationPath);
    if (!upload.open(QIODevice::WriteOnly | QIODevice::Text)) {
        sink.critical(failedWriting);
        return std::nullopt;
    }
    if (!details.seek(0)) {
        upload.cancelWriting();
        sink.critical(failedReading);
        return std::nullopt;
    }
    FileSha256 sha256;
    const auto put = [&](const char* data, qint64 size) {
        sha256.add(data, size);
        return upload.write(data, size) == size;
    };
    // The details file holds the records as they go into the upload, each
    // ending in a line feed: its bytes are copied as they are.
    int copied = 0;
    const QByteArray headerLine = header.toUtf8() + '\n';
    bool written = put(headerLine.constData(), headerLine.size());
    QByteArray block;
    while (written) {
        block = details.read(copyBlock);
        if (block.isEmpty())
            break;
        const char* from = block.constData();
        const char* const end = from + block.size();
        // Records up to the half of the batch first, where a fault may be placed.
        const int half = count / 2;
        for (const char* at = from; at != end && copied < half; ++at) {
            at = static_cast<const char*>(std::memchr(at, '\n', std::size_t(end - at)));
            if (!at)
                break;
            if (++copied == half) {
                written = put(from, at + 1 - from);
                KOVA_FAULT_POINT("upload-half-written");
                from = at + 1;
            }
        }
        if (copied >= half)
            copied += int(std::count(from, end, '\n'));
        written = written && put(from, end - from);
    }
    if (!written || details.error() != QFileDevice::NoError || copied != count)
        upload.cancelWriting();
    KOVA_FAULT_POINT("before-commit");
    if (!upload.commit()) {
        sink.critical(failedWrite);
        return std::nullopt;
    }
    KOVA_FAULT_POINT("after-commit");
    return sha256.hex();
}

// Puts the register's question about the batch, if it has one, then takes
// the lock of the settings and looks again: a batch another run recorded
// meanwhile is asked about in turn. Asked before the lock is taken, so that
// a question left open holds up no other run. Leaves lock held, or gives the
// outcome to end the export with.
std::optional<ExportOutcome> claimBatch(BatchGuard& guard, const QString& settingsPath,
                                        std::optional<SettingsLock>& lock, ExportSink& sink)
{
    KOVA_FAULT_POINT("before-lookup");
    BatchLookup asked = guard.lookUp();
    // Looked up without the lock, an unfinished entry may be a run still
    // writing this very batch; only under the lock is it one that stopped.
    if (asked.unfinished())
        asked = BatchLookup::nothing();
    for (;;) {
        const QString question = asked.question();
        if (!question.isEmpty() && !sink.askWriteAgain(question))
            return ExportOutcome::Declined;
        lock.emplace(batchLockPath(settingsPath), lockWaitMs);
        if (lock->state() == SettingsLock::State::Busy) {
            sink.critical(settingsBusyText());
            return ExportOutcome::Refused;
        }
        // A lock that cannot be made at all means a folder that takes no
        // files: no register can be kept there either, and the run goes on
        // without the lock.
        const BatchLookup now = guard.lookUp();
        if (now.question().isEmpty() || now.sameAnswer(asked))
            return std::nullopt;
        lock.reset();
        asked = now;
    }
}

// Which order and mark were taken and why; a refusal ends the export.
std::optional<ExportOutcome> tellReading(const LearnedReading& learned, ExportSink& sink)
{
    for (const QString& note : learned.notes)
        sink.note(note);
    if (learned.refusal.isEmpty())
        return std::nullopt;
    sink.critical(learned.refusal);
    return ExportOutcome::Refused;
}

bool sameReading(const CellReading& a, const CellReading& b)
{
    return a.fromText == b.fromText && a.dateOrder == b.dateOrder && a.decimalMark == b.decimalMark;
}

bool stopped(const ExportRequest& request, ExportSink& sink)
{
    if (!request.cancel || !request.cancel->cancelled())
        return false;
    sink.stopped();
    return true;
}

ExportOutcome exportRows(const ExportRequest& request, ExportJob& job, ExportSink& sink, QString& committedSha256,
                         std::optional<CellReading>& readingLearnt)
{
    const QString& destinationPath = request.destinationPath;
    for (const QString& refusal : {job.headerRefusal(), job.refusal(),
                                   exportPathsRefusal(request.sourcePath, destinationPath, request.settingsPath)}) {
        if (!refusal.isEmpty()) {
            sink.critical(refusal);
            return ExportOutcome::Refused;
        }
    }
    const TypeDescriptor& type = job.descriptor();
    sink.headerChanged(type.logTitles());

    std::optional<reader::Document> opened;
    if (!request.document) {
        opened.emplace(request.sourcePath, request.text, reader::SheetAccess::Random, request.password);
        if (!opened->selectSheet(request.sheetName)) {
            sink.critical(QStringLiteral("Error. Unable to select sheet ") + request.sheetName + unreadable(*opened));
            return ExportOutcome::Refused;
        }
    }
    const reader::Document& workbook = request.document ? *request.document : *opened;
    const int firstRow = job.firstRow();
    // Text read once is learnt from as it passes: its top rows, or a reading
    // of all of it before, say how every row is read, and every row is
    // checked against that.
    const bool readOnce = workbook.isDelimitedText() && workbook.isReadOnce();
    ReadingLearner learner(workbook, type, job.columns());
    LearnedReading learned;
    if (readOnce && request.reading) {
        learned.reading = *request.reading;
    } else if (readOnce) {
        for (int row = firstRow; row < firstRow + firstLookRows && workbook.rowsReach(row); ++row)
            learner.see(row);
        learned = learner.learned();
    } else {
        learned = learnReading(workbook, type, job.columns(), firstRow);
        if (const std::optional<ExportOutcome> refused = tellReading(learned, sink))
            return *refused;
    }
    job.setReading(learned.reading);
    // As far as it is known: a sheet read in a single pass finds its end as it goes.
    int dataRows = qMax(0, workbook.dimension().lastRow() - (firstRow - 1));

    QTemporaryFile details;
    if (!openDetails(details, destinationPath)) {
        // Text read once has not told yet what its columns show, which comes first.
        if (readOnce)
            return ExportOutcome::ReadAgain;
        sink.critical(failedWriting);
        return ExportOutcome::Refused;
    }

    std::optional<BatchGuard> guard;
    if (!request.settingsPath.isEmpty())
        guard.emplace(request.settingsPath, type.type, job.batchKey());

    Counts counts;
    bool widthsHold = true;
    bool detailsWritten = true;
    const int amountColumn = type.amountLogColumn();
    // Rows add errors and positive amounts only: once a row has an error, or
    // the header record cannot hold the batch, it is never written, and
    // neither its details nor its fingerprint (32 bytes a record) are kept.
    bool writable = true;
    RowContext context(type);
    RowDoubts doubts(type, job.columns(), learned.reading);
    {
        // The records as the upload holds them, each encoded once: the same
        // bytes go to the details file and into the batch's fingerprint.
        QByteArray block;
        block.reserve(copyBlock + 4096);   // reserved, it keeps its memory when emptied
        const auto writeBlock = [&] {
            detailsWritten = detailsWritten && details.write(block) == block.size();
            block.resize(0);
        };
        for (int row = firstRow; workbook.rowsReach(row); ++row) {
            if (stopped(request, sink))
                return ExportOutcome::Cancelled;
            if ((row - firstRow + 1) % progressStep == 0)
                sink.progress(row - firstRow + 1, dataRows);
            if (readOnce)
                learner.see(row);
            // A filter reading a value nobody vouches for would decide on a guess.
            const bool doubted = doubts.find(workbook, row);
            const int leftOut = doubted ? -1 : job.leftOutBy(workbook, row);
            if (leftOut >= 0) {
                if (leftOut >= counts.leftOut.size())
                    counts.leftOut.resize(leftOut + 1);
                ++counts.leftOut[leftOut];
                continue;
            }
            releaseUpperVectorHalves();
            context.start(counts.totals.count);
            // The cause first, then what the field's own checks make of the cell.
            if (doubted)
                doubts.report(context);
            job.convert(workbook, row, context);
            if (context.errors() == 0 && !widthHolds(job, context.record))
                widthsHold = false;
            if (writable) {
                const int at = block.size();
                appendUtf8(block, context.record);
                if (guard)
                    guard->addDetail(block.constData() + at, block.size() - at);
                block += '\n';
                if (block.size() >= copyBlock)
                    writeBlock();
            }

            counts.errors += context.errors();
            counts.warnings += context.warnings();
            counts.totals.total += context.amount();
            sink.rowProcessed(RowReport{context.values(), context.cells(), context.messages(), amountColumn,
                                        row, context.warningCells(), context.amount()});
            ++counts.totals.count;
            if (writable && (counts.errors > 0 || !job.overflow(counts.totals).isEmpty())) {
                writable = false;
                guard.reset();
            }
        }
        dataRows = qMax(0, workbook.dimension().lastRow() - (firstRow - 1));
        sink.progress(dataRows, dataRows);
        writeBlock();
        // A disk that filled during the loop and has room again by now must
        // not pass for a complete batch.
        detailsWritten = detailsWritten && details.flush() && details.error() == QFileDevice::NoError;
    }

    // A sheet read as its rows arrive may have been changed in place
    // meanwhile: rows of another file are no batch to report or write.
    if (!workbook.readIntact()) {
        sink.critical(QStringLiteral("Error. Unable to select sheet ") + request.sheetName + unreadable(workbook));
        return ExportOutcome::Refused;
    }
    if (readOnce) {
        // Rows read by what the top rows said are rows read as the whole
        // text says only where it says the same; told now, the notes and a
        // refusal read as they would before the rows, since nothing is
        // written or shown of the rows until the summary.
        const LearnedReading passed = learner.learned();
        if (!sameReading(passed.reading, learned.reading)) {
            readingLearnt = passed.reading;
            return ExportOutcome::ReadAgain;
        }
        if (const std::optional<ExportOutcome> refused = tellReading(passed, sink))
            return *refused;
    }
    KOVA_FAULT_POINT("after-rows");
    QStringList leftOutNotes;
    for (int reason = 0; reason < counts.leftOut.size(); ++reason)
        if (counts.leftOut.at(reason) > 0)
            leftOutNotes.append(job.leftOutNote(reason, counts.leftOut.at(reason)));
    sink.summaryReady(Summary{counts.totals.count, dataRows, counts.totals.total,
                              counts.warnings, counts.errors, leftOutNotes});

    if (counts.errors > 0) {
        sink.critical(QStringLiteral("ERROR!"));
        return ExportOutcome::RowErrors;
    }
    // An upload of a header alone would pass at the bank for a batch paid.
    if (counts.totals.count == 0) {
        sink.critical(QStringLiteral("No rows to export"));
        return ExportOutcome::Refused;
    }
    const QString overflow = job.overflow(counts.totals);
    if (!overflow.isEmpty()) {
        sink.critical(overflow);
        return ExportOutcome::Refused;
    }
    if (!detailsWritten) {
        sink.critical(failedWrite);
        return ExportOutcome::Refused;
    }
    const QString widthMismatch = QStringLiteral("Record width mismatch");
    if (!widthsHold) {
        sink.critical(widthMismatch);
        return ExportOutcome::Refused;
    }
    // Asked before the Header ID is reserved: a "no" must leave it unused.
    // Held from the lookup to the commit, so that no other run on these
    // settings looks the batch up in between.
    std::optional<SettingsLock> lock;
    if (guard) {
        const std::optional<ExportOutcome> declined = claimBatch(*guard, request.settingsPath, lock, sink);
        if (declined)
            return *declined;
    }
    // The last moment a stop leaves nothing behind: past it the Header ID is
    // taken. A question that offers to stop the export holds it here.
    if (request.cancel && !request.cancel->commit()) {
        sink.stopped();
        return ExportOutcome::Cancelled;
    }
    if (!job.reserve(sink))
        return ExportOutcome::Refused;
    if (guard)
        guard->started(job.headerId(), QFileInfo(destinationPath).absoluteFilePath(), counts.totals.total);
    KOVA_FAULT_POINT("after-reserve");
    const QString header = job.headerRecord(counts.totals);
    std::optional<QString> written;
    if (!widthHolds(job, header))
        sink.critical(widthMismatch);
    else
        written = writeUpload(destinationPath, details, header, counts.totals.count, sink);
    if (!written) {
        if (guard)
            guard->abandoned();
        return ExportOutcome::Refused;
    }
    committedSha256 = *written;
    if (guard) {
        const QString problem = guard->finished(*written);
        if (!problem.isEmpty())
            sink.registerProblem(problem);
    }
    sink.information(QStringLiteral("Done!"));
    return ExportOutcome::Written;
}

} // namespace

QString unreadable(const reader::Document& workbook, QString (*encodingChoice)(reader::TextEncoding))
{
    const QString problem = workbook.problem();
    if (problem.isEmpty())
        return {};
    const std::optional<reader::TextEncoding> encoding = workbook.encodingToTry();
    return QStringLiteral(": ") + problem
           + (encoding && encodingChoice ? QStringLiteral("; try ") + encodingChoice(*encoding) : QString());
}

ExportResult runExport(const ExportRequest& request, ExportJob& job, ExportSink& sink)
{
    QString committedSha256;
    std::optional<CellReading> reading;
    const ExportOutcome outcome = exportRows(request, job, sink, committedSha256, reading);
    return {outcome, job.nextHeaderId(), committedSha256, reading};
}

} // namespace kova
