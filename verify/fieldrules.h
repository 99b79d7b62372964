#pragma once

#include "uploadlayout.h"

#include <QStringList>

namespace kova {

// The rules every layout's fields follow as the exports write them. Each
// check adds its problem, named as the layouts name their fields.

// The text without the spaces that pad it on the right.
QString rightTrimmed(const QString& text);

// A field named in a problem line with its value as the file holds it, its
// padding aside: "amount 1500000.5", "BI code (empty)", "residence (blank)".
QString named(const QString& name, const QString& value);

// ASCII digits, at least one.
bool isDigits(const QString& text);

// Exactly width digits: "account 12345X7890 is not 10 digits".
bool checkDigits(const QString& name, const QString& text, int width, UploadProblems& problems);

// One of codes: "residence X is not R or N", "customer type 4 is not 1, 2 or 3".
bool checkCode(const QString& name, const QString& text, const QStringList& codes, UploadProblems& problems);

// No longer than width characters: "Trx Ref is 31 characters, more than 30".
void checkLength(const QString& name, const QString& text, int width, UploadProblems& problems);

// An amount with exactly two decimals and "." as decimal point, as the
// exports write them: in a fixed-width field zero-padded to its width, in
// the transfer layout without a leading zero.
std::optional<Cents> twoDecimalAmount(const QString& name, const QString& text, bool zeroPadded,
                                      UploadProblems& problems);

// A paid amount, text as written: above zero and not above largest, the
// largest the export writes into the layout's field.
bool checkPaid(const QString& text, Cents amount, Cents largest, UploadProblems& problems);

// A detail record's amount: twoDecimalAmount() that checkPaid() passes.
std::optional<Cents> paidAmount(const QString& text, bool zeroPadded, Cents largest, UploadProblems& problems);

// A date written "yyyyMMdd", as "yyyy-MM-dd"; as written when it is none.
QString effectiveDate(const QString& text, UploadProblems& problems);

// The same, or "on authorization" for eight spaces: a batch paid once it
// is authorized names no date.
QString effectiveDateOrNone(const QString& text, UploadProblems& problems);

// The record count of a fixed-width header: five digits.
std::optional<qint64> fiveDigitCount(const QString& text, UploadProblems& problems);

} // namespace kova
