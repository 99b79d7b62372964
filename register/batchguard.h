#pragma once

#include "batchfingerprint.h"
#include "batchregister.h"
#include "batchtype.h"

#include <QString>

#include <memory>

namespace kova {

// One upload file's way past the register. The export road feeds it each
// detail record while copying them behind the header, asks duplicateQuestion()
// before it commits the file, and calls written() once the file is in place:
//
//   BatchGuard guard(settingsPath, type);
//   ... guard.addDetail(line) for every detail record ...
//   const QString question = guard.duplicateQuestion();
//   if (!question.isEmpty() && !askWriteAgain(question)) -> write nothing
//   ... commit ...
//   const QString problem = guard.written(headerId, destination, total);
//   if (!problem.isEmpty()) -> processing log and stderr; the export stands
//
// The register is opened only when first needed, so an export that stops
// before writing never touches it. A register that cannot be opened asks
// nothing; its text comes once, from written().
class BatchGuard final
{
public:
    BatchGuard(const QString& settingsPath, BatchType type);
    ~BatchGuard();

    void addDetail(const QString& record) { m_fingerprint.addDetail(record); }

    // The question when an earlier batch of the type paid the same, else
    // empty. A batch without detail records pays nothing and is never asked about.
    QString duplicateQuestion();

    // Records the committed file. Empty when it was recorded, else the
    // register's failure text.
    QString written(const QString& headerId, const QString& destination, Cents total);

private:
    BatchRegister& registerFile();

    QString m_registerPath;
    BatchType m_type;
    BatchFingerprint m_fingerprint;
    std::unique_ptr<BatchRegister> m_register;
};

} // namespace kova
