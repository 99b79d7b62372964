#include "transferexport.h"

#include "headeridreservation.h"

#include "record/cells.h"
#include "record/money.h"
#include "record/textfield.h"

namespace kova {

namespace {

// Why the filters leave a row out.
enum LeftOut { OutsideDates, OtherClearing };

using F = TransferField;

// How the row messages name field, which is not always its log title.
const QString& named(F field)
{
    return transferDescriptor().fields.at(int(field)).messageName;
}

// A valid record is at most 337 characters: its fields and separators.
constexpr int recordRoom = 352;

const kova::Cents maximumAmount = kova::wholeUnits(9999999999999LL) + 99;

// A "|" would split the field in two, and a control character or a line or
// paragraph separator ends the record for some reader of the file; either
// shifts every field after it. Other text beyond ASCII is a name as written.
void checkCharacters(kova::RowContext& out, const QString& text, F field)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('|') || kova::isControlCharacter(c)) {
            out.error(kova::invalidCharacters(out.title(field)), field);
            return;
        }
    }
}

// The next field of the record, and what the log shows of it.
void put(kova::RowContext& out, F field, const QString& value, const QString& shown)
{
    out.record += value;
    out.record += QLatin1Char('|');
    out.show(field, shown);
}

// A text field cut to width and trimmed; a longer cell draws a warning. Its
// messages name it by its log title.
void putCut(const QString& raw, int width, F field, kova::RowContext& out)
{
    if (raw.size() > width)
        out.warning(kova::truncated(out.title(field), width), field);
    checkCharacters(out, raw, field);
    const QString value = kova::cutTrimmed(raw, width);
    put(out, field, value, value);
}

// An optional text field: unmapped, it is written empty and shown as width
// spaces.
void putText(const reader::Document& sheet, int row, const kova::ColumnMap<F>& columns, F field, int width,
             kova::RowContext& out)
{
    if (!columns.mapped(field))
        put(out, field, QString(), kova::spaces(width));
    else
        putCut(kova::cellText(sheet, row, columns[field]), width, field, out);
}

kova::MessageWords lengthWords(const QString& title)
{
    return {QString(), title, QStringLiteral(" must be 10 characters")};
}

} // namespace

TransferExport::TransferExport(const TransferSettings& settings)
    : kova::ExportJob(transferDescriptor(), settings.columns.toVector(), settings.hasColumnHeader, settings.header)
    , m_settings(settings)
{
    m_dates.column = settings.columns[F::TrxDate];
    m_dates.from = settings.dateFrom;
    m_dates.to = settings.dateTo;
    m_bank = kova::BankFilter::fromFields(settings.mode, settings.clearingIndex, settings.minLimitText,
                                          settings.maxLimitText);
}

int TransferExport::recordWidth() const
{
    return 0;
}

int TransferExport::leftOutBy(const reader::Document& sheet, int row) const
{
    if (!m_dates.accepts(sheet, row, reading()))
        return OutsideDates;
    if (!m_bank.accepts(kova::cellText(sheet, row, m_settings.columns[F::Remittance])))
        return OtherClearing;
    return -1;
}

QString TransferExport::leftOutNote(int reason, int count) const
{
    return reason == OutsideDates ? m_dates.leftOutNote(count) : m_bank.leftOutNote(count);
}

void TransferExport::convert(const reader::Document& sheet, int row, kova::RowContext& out) const
{
    const kova::ColumnMap<F>& columns = m_settings.columns;
    const auto text = [&](F field) { return kova::cellText(sheet, row, columns[field]); };

    // Room for the usual record at once rather than growing it field by field.
    out.record.reserve(recordRoom);
    out.record += QLatin1String("1|");
    out.record += kova::rightPadded(QString::number(out.line()), 5, QLatin1Char('0'));
    out.record += QLatin1Char('|');

    putCut(text(F::TrxRef), 30, F::TrxRef, out);

    const QString fromAcc = text(F::FromAcc);
    if (!kova::isDigitsOnly(fromAcc))
        out.error(kova::invalidCharacters(out.title(F::FromAcc)), F::FromAcc);
    if (fromAcc.size() != 10)
        out.error(lengthWords(out.title(F::FromAcc)), F::FromAcc);
    const QString fromAccValue = kova::leftField(fromAcc, 10);
    put(out, F::FromAcc, fromAccValue, fromAccValue);

    const QString toAcc = text(F::ToAcc);
    if (!kova::isDigitsOnly(toAcc))
        out.error(kova::invalidCharacters(out.title(F::ToAcc)), F::ToAcc);
    const QString toAccValue = kova::cutTrimmed(toAcc, 34);
    if (m_settings.mode == kova::BankMode::WDK && toAccValue.size() != 10)
        out.error(lengthWords(out.title(F::ToAcc)), F::ToAcc);
    else if (toAcc.size() > 34)
        out.error(kova::truncated(out.title(F::ToAcc), 34));
    put(out, F::ToAcc, toAccValue, toAccValue);

    const kova::AmountCell amountCell = kova::cellAmount(sheet, row, columns[F::Amount], maximumAmount, reading());
    if (const auto amount = amountCell.cents) {
        put(out, F::Amount, kova::fixedText(*amount), kova::displayAmount(*amount));
        out.addToTotal(*amount);
        const QString limit = m_bank.limitError(*amount, text(F::Remittance));
        if (!limit.isEmpty())
            out.error(limit, F::Amount);
    } else {
        // The row fails the batch, so its record is never used.
        out.error(QStringLiteral("Invalid amount"), F::Amount);
        put(out, F::Amount, QString(), amountCell.text);
    }

    putText(sheet, row, columns, F::Remarks1, 18, out);
    putText(sheet, row, columns, F::Remarks2, 18, out);

    if (columns.mapped(F::BICode)) {
        const QString bankCode = text(F::BICode);
        const QString value = kova::cutTrimmed(bankCode, 7);
        // What is written must be seven characters: " 014039" is seven in the
        // cell and six in the record once trimmed.
        if (bankCode.size() != 7 || value.size() != 7)
            out.error(named(F::BICode) + QStringLiteral(" must be 7 chars"), F::BICode);
        checkCharacters(out, bankCode, F::BICode);
        put(out, F::BICode, value, value);
    } else {
        put(out, F::BICode, QString(), kova::spaces(7));
    }

    putText(sheet, row, columns, F::Bank, 18, out);
    putText(sheet, row, columns, F::Branch, 18, out);
    putText(sheet, row, columns, F::Beneficiary, 70, out);
    for (F address : {F::Address1, F::Address2, F::Address3, F::Address4})
        putText(sheet, row, columns, address, 18, out);

    if (columns.mapped(F::CustType)) {
        const std::optional<int> custType = kova::cellInt(sheet, row, columns[F::CustType]);
        if (!custType || *custType < 1 || *custType > 3)
            out.error(QStringLiteral("Invalid Customer Type"), F::CustType);
        // Not a whole number, it is shown as read; its row fails anyway.
        const QString shown = custType ? QString::number(*custType) : text(F::CustType);
        put(out, F::CustType, shown, shown);
    } else {
        put(out, F::CustType, QString(), QStringLiteral(" "));
    }

    if (columns.mapped(F::Residence)) {
        const QString residence = text(F::Residence).left(1);
        if (residence != QLatin1String("R") && residence != QLatin1String("N"))
            out.error(QStringLiteral("Invalid Residence"), F::Residence);
        checkCharacters(out, residence, F::Residence);
        put(out, F::Residence, residence, residence);
    } else {
        put(out, F::Residence, QString(), QStringLiteral(" "));
    }
}

QString TransferExport::remittanceType() const
{
    if (m_settings.mode == kova::BankMode::WDK)
        return QStringLiteral("WDK");
    return m_settings.clearingIndex == 0 ? QStringLiteral("LLG") : QStringLiteral("RTG");
}

bool TransferExport::reserve(kova::ExportSink& sink)
{
    std::optional<qint64> typed;
    if (!m_settings.useStoredHeaderId)
        typed = m_settings.typedHeaderId();
    const HeaderIdReservation reservation = reserveHeaderId(m_settings.settingsPath, typed);
    if (!reservation.refusal.isEmpty()) {
        if (reservation.free) {
            m_nextHeaderId = reservation.free;
            m_typedHeaderIdUsed = true;
        }
        sink.critical(reservation.refusal);
        return false;
    }
    m_usedHeaderId = reservation.used;
    m_nextHeaderId = reservation.next;
    return true;
}

// The settings checks let only 1..99999999 through; its canonical digits
// keep a typed " 5" or "+5" from reaching the file or the register as such.
QString TransferExport::headerId() const
{
    return QString::number(m_usedHeaderId.value_or(m_settings.typedHeaderId()));
}

kova::BatchKey TransferExport::batchKey() const
{
    return kova::BatchKey::of(m_settings.effectiveDate, m_settings.corporateId);
}

QString TransferExport::headerRecord(const kova::ExportTotals& totals) const
{
    return QStringLiteral("0|FT|") + kova::rightField(headerId(), 8, QLatin1Char('0')) + QStringLiteral("|||")
        + m_settings.effectiveDate.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('|')
        + kova::leftField(m_settings.corporateId, 10) + QLatin1Char('|') + kova::fixedText(totals.total)
        + QLatin1Char('|') + kova::rightPadded(QString::number(totals.count), 5, QLatin1Char('0'))
        + QLatin1Char('|') + remittanceType() + QStringLiteral("|IDR|");
}

QString TransferExport::refusal() const
{
    return validateTransferSettings(m_settings);
}

} // namespace kova
