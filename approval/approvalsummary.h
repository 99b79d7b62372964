#pragma once

#include <QString>

namespace kova {

// An approval summary: what a supervisor signs before the batch is uploaded.
// Every figure in it is read back from the upload file whose SHA-256 it
// prints, so the paper, the file and the register of written batches can be
// matched against each other.
struct SummaryRequest
{
    QString uploadPath;
    QString summaryPath;
    // The SHA-256 of the bytes the export committed: a file changed since
    // (or a check that finds any problem in it) gets no summary.
    QString committedSha256;
};

// Writes the summary as a PDF, atomically: the summary path is replaced only
// by a complete document. Empty when written, else why not.
QString writeApprovalSummary(const SummaryRequest& request);

} // namespace kova
