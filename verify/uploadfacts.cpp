#include "uploadfacts.h"

#include "registerfinding.h"
#include "uploadcheck.h"

#include "types/registry.h"

namespace kova {

QStringList uploadFacts(const UploadCheck& check, const QString& settingsPath)
{
    const UploadHeader& header = check.header();
    QStringList facts{QStringLiteral("Type: ") + batchTypeName(check.type())};
    if (check.type() == BatchType::Transfer)
        facts << QStringLiteral("Header ID: ") + header.headerId;
    facts << QStringLiteral("Effective date: ") + header.effectiveDate
          << QStringLiteral("Records: ") + (header.recordCount ? QString::number(*header.recordCount) : header.records)
          << QStringLiteral("Total: ") + (header.totalCents ? displayAmount(*header.totalCents) : header.total)
          << QStringLiteral("SHA-256: ") + check.sha256()
          << QStringLiteral("Register: ") + registerFinding(settingsPath, check.sha256())
          << QStringLiteral("Problems: ") + QString::number(check.problemCount())
          << QStringLiteral("-------------------------------------");
    return facts;
}

} // namespace kova
