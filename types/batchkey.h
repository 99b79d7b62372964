#pragma once

#include <QDate>
#include <QString>

namespace kova {

// When and from where a batch pays, as its header record states them. Two
// batches of a type are the same batch when they pay the same payments under
// the same key: next month's payroll of the same salaries, or the same rows
// paid from another account, is a batch of its own.
struct BatchKey
{
    // "yyyy-MM-dd"; empty for a batch paid on authorization, whose header
    // record names no date.
    QString effectiveDate;
    // The company account and company code the header record names, or the
    // transfer's Corporate ID.
    QString account;

    // An invalid date: paid on authorization.
    static BatchKey of(const QDate& date, const QString& account)
    {
        return {date.isValid() ? date.toString(Qt::ISODate) : QString(), account};
    }

    bool operator==(const BatchKey& o) const { return effectiveDate == o.effectiveDate && account == o.account; }
};

} // namespace kova
