#include "accountexport.h"

#include "record/headeroverflow.h"

namespace kova {

QString AccountExport::refusal() const
{
    const QString refusal = checkSourceAccount(m_batch.account, m_batch.accountMessages);
    return refusal.isEmpty() ? batchRefusal() : refusal;
}

BatchKey AccountExport::batchKey() const
{
    return BatchKey::of(m_batch.date, m_account.account + QLatin1Char(' ') + m_account.companyCode);
}

int AccountExport::leftOutBy(const reader::Document& sheet, int row) const
{
    return m_dates.accepts(sheet, row, reading()) ? -1 : outsideDates;
}

QString AccountExport::leftOutNote(int, int count) const
{
    return m_dates.leftOutNote(count);
}

QString AccountExport::overflow(const ExportTotals& totals) const
{
    return headerOverflow(totals, m_batch.totalWidth);
}

} // namespace kova
