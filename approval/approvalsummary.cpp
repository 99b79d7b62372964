#include "approvalsummary.h"

#include "amountwords.h"
#include "summarypages.h"

#include "record/money.h"
#include "types/registry.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>

namespace kova {

namespace {

// The paying accounts of a transfer file, whose records each name their own:
// one, or several.
class PayingAccounts final : public UploadRecords
{
public:
    void detail(int, const UploadPayee& payee, std::optional<Cents>) override
    {
        if (m_accounts.size() < 2 && !m_accounts.contains(payee.fromAccount))
            m_accounts << payee.fromAccount;
    }
    QString shown() const
    {
        return m_accounts.size() == 1 ? m_accounts.first() : QStringLiteral("several: each payment names its own");
    }

private:
    QStringList m_accounts;
};

QString timeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

SummaryFacts factsOf(const UploadCheck& check, const QString& uploadPath, const QString& payingAccount)
{
    const UploadHeader& header = check.header();
    SummaryFacts facts;
    facts << qMakePair(QStringLiteral("Transaction type"), batchTypeName(check.type()))
          << qMakePair(QStringLiteral("Company"), header.company)
          << qMakePair(QStringLiteral("Account"), payingAccount)
          << qMakePair(QStringLiteral("Effective date"), header.effectiveDate);
    if (check.type() == BatchType::Transfer)
        facts << qMakePair(QStringLiteral("Header ID"), header.headerId);
    // A file that passed its check has both.
    facts << qMakePair(QStringLiteral("Payments"), QString::number(*header.recordCount))
          << qMakePair(QStringLiteral("Total"), QStringLiteral("IDR ") + displayAmount(*header.totalCents))
          << qMakePair(QStringLiteral("Total in words"), amountInWords(*header.totalCents))
          << qMakePair(QStringLiteral("Upload file"), QFileInfo(uploadPath).absoluteFilePath())
          << qMakePair(QStringLiteral("SHA-256 of the upload file"), check.sha256())
          << qMakePair(QStringLiteral("Written"), timeText(QFileInfo(uploadPath).lastModified()))
          << qMakePair(QStringLiteral("Summary made"), timeText(QDateTime::currentDateTime()));
    return facts;
}

} // namespace

QString writeApprovalSummary(const SummaryRequest& request)
{
    // First the file as the bank reads it: only a sound file, the very one
    // the export committed, is summarised for approval.
    PayingAccounts paying;
    UploadCheck check(request.uploadPath, &paying);
    if (!check.failure().isEmpty())
        return check.failure();
    if (check.sha256() != request.committedSha256)
        return QStringLiteral("The upload file changed after it was written");
    if (check.problemCount() > 0 || !check.header().recordCount || !check.header().totalCents)
        return QStringLiteral("The upload file does not pass its check (kova-export verify ") + request.uploadPath
               + QStringLiteral(")");

    QSaveFile out(request.summaryPath);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    const QString account =
        check.type() == BatchType::Transfer ? paying.shown() : check.header().account.trimmed();
    SummaryPages pages(out, check.type(), factsOf(check, request.uploadPath, account), *check.header().recordCount,
                       check.sha256());
    // The payments are drawn from a second reading, which must be of the same bytes.
    const UploadCheck drawn(request.uploadPath, &pages);
    if (!pages.finish())
        return QStringLiteral("The PDF writer failed");
    if (drawn.sha256() != check.sha256())
        return QStringLiteral("The upload file changed while its summary was written");
    if (!out.commit())
        return out.errorString();
    return {};
}

} // namespace kova
