// The export's rules for the text of one cell: amount, date serial, digits,
// cut and padded fields, dates and amounts written as text. The first byte
// picks a field width, the rest is the cell's text (UTF-8) and, read as a
// double, a date serial.
#include "record/amounttext.h"
#include "record/cutfield.h"
#include "record/datetext.h"
#include "record/money.h"
#include "record/rowcontext.h"
#include "record/textfield.h"
#include "types/payrolldescriptor.h"
#include "reader/cells/serialdate.h"

#include <QDate>
#include <QDateTime>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void expect(bool condition)
{
    if (!condition)
        std::abort();
}

void amounts(const QString& text)
{
    const std::optional<kova::Cents> cents = kova::parseCents(text);
    if (cents) {
        const QString fixed = kova::fixedText(*cents);
        // What is written must read back as the same amount (below the
        // magnitude where reading clamps, far above any amount the bank takes).
        const kova::Cents bound = kova::wholeUnits(1000000000000000000LL) * 10000000000LL;
        if (*cents < bound && *cents > -bound)
            expect(kova::parseCents(fixed) == cents);
        kova::displayAmount(*cents);
        kova::decimalText(*cents);
    }
    const kova::Cents max = kova::wholeUnits(999999999999999LL);
    if (const std::optional<kova::Cents> valid = kova::validAmount(text, max))
        expect(cents && *valid == *cents && *valid > 0 && *valid <= max);
}

// Both readings of a date text agree unless they are the same day and month
// swapped; an amount text is a plain number parseCents() takes, under exactly
// the marks its evidence names.
void conventions(const QString& text)
{
    const kova::DateTextReadings date = kova::readDateText(text);
    if (date.dayFirst.isValid() && date.monthFirst.isValid() && date.dayFirst != date.monthFirst)
        expect(date.dayFirst.year() == date.monthFirst.year() && date.dayFirst.day() == date.monthFirst.month()
               && date.dayFirst.month() == date.monthFirst.day());

    const std::optional<QString> dot = kova::plainAmountText(text, kova::DecimalMark::Dot);
    const std::optional<QString> comma = kova::plainAmountText(text, kova::DecimalMark::Comma);
    for (const std::optional<QString>& plain : {dot, comma})
        if (plain)
            expect(kova::parseCents(*plain).has_value());
    switch (kova::markEvidence(text)) {
    case kova::MarkEvidence::None:
        expect(dot.has_value() == comma.has_value());
        if (dot)
            expect(*dot == *comma);
        break;
    case kova::MarkEvidence::Dot:
        expect(dot && !comma);
        break;
    case kova::MarkEvidence::Comma:
        expect(comma && !dot);
        break;
    case kova::MarkEvidence::Ambiguous:
        expect(dot && comma && kova::parseCents(*dot) != kova::parseCents(*comma));
        break;
    }
}

void fields(const QString& text, int width)
{
    if (kova::isDigitsOnly(text))
        for (QChar c : text)
            expect(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    kova::hasLineBreak(text);
    expect(kova::cutTrimmed(text, width).size() <= width);
    expect(kova::leftField(text, width).size() == width);
    expect(kova::rightField(text, width, QLatin1Char('0')).size() == width);
    expect(kova::leftPadded(text, width).size() >= width);
    expect(kova::rightPadded(text, width, QLatin1Char(' ')).size() >= width);
    kova::RowContext row(0, kova::payrollDescriptor());
    expect(kova::cutField(text, width, "Name", "Name", 1, row).size() == width);
    expect(row.warnings() == (text.size() > width ? 1 : 0));
}

void dates(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double))
        return;
    double serial;
    std::memcpy(&serial, data, sizeof serial);
    for (const reader::DateSystem system : {reader::DateSystem::From1900, reader::DateSystem::From1904}) {
        const QVariant date = reader::serialToDate(serial, system);
        if (!date.isValid())
            continue;
        const QDate day = date.userType() == QMetaType::QDate ? date.toDate() : date.toDateTime().date();
        expect(day.isValid() && day.year() >= 1899 && day.year() <= 9999);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const int width = data[0] % 64;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), int(size - 1));
    amounts(text);
    conventions(text);
    fields(text, width);
    dates(data + 1, size - 1);
    return 0;
}
