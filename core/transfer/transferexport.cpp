#include "transferexport.h"

#include "headeridreservation.h"

#include "record/money.h"
#include "record/textfield.h"

namespace {

// Why the filters leave a row out.
enum LeftOut { OutsideDates, OtherClearing };

using F = TransferField;

// Log columns.
enum Column {
    TrxRefColumn, FromAccColumn, ToAccColumn, AmountColumn, Remarks1Column, Remarks2Column,
    BankCodeColumn, BankNameColumn, BranchColumn, BeneficiaryColumn, Address1Column,
    Address2Column, Address3Column, Address4Column, CustTypeColumn, ResidenceColumn,
};

const kova::Cents maximumAmount = kova::wholeUnits(9999999999999LL) + 99;

// A "|" would split the field in two, and a control character or a line or
// paragraph separator ends the record for some reader of the file; either
// shifts every field after it. Other text beyond ASCII is a name as written.
void checkCharacters(kova::RowContext& out, const QString& text, const QString& title, int column)
{
    if (kova::hasControlCharacter(text) || text.contains(QLatin1Char('|')))
        out.error(kova::invalidCharacters(title), column);
}

void put(kova::RowContext& out, const QString& field, const QString& shown)
{
    out.record += field + QLatin1Char('|');
    out.values.append(shown);
}

// A text field cut to width and trimmed; a longer cell draws a warning.
void putCut(const QString& raw, int width, const QString& title, int logColumn, kova::RowContext& out)
{
    if (raw.size() > width)
        out.warning(kova::truncated(title, width), logColumn);
    checkCharacters(out, raw, title, logColumn);
    const QString value = kova::cutTrimmed(raw, width);
    put(out, value, value);
}

// An optional text field: unmapped, it is written empty and shown as width
// spaces.
void putText(const xlsx::Document& sheet, int row, int column, int width, const QString& title,
             int logColumn, kova::RowContext& out)
{
    if (column < 1)
        put(out, QString(), QString(width, QLatin1Char(' ')));
    else
        putCut(kova::cellText(sheet, row, column), width, title, logColumn, out);
}

kova::MessageWords lengthWords(const QString& title)
{
    return {QString(), title, QStringLiteral(" must be 10 characters")};
}

} // namespace

TransferExport::TransferExport(const TransferSettings& settings)
    : kova::ExportJob(transferDescriptor(), settings.hasColumnHeader, settings.header)
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

int TransferExport::leftOutBy(const xlsx::Document& sheet, int row) const
{
    if (!m_dates.accepts(sheet, row))
        return OutsideDates;
    if (!m_bank.accepts(kova::cellText(sheet, row, m_settings.columns[F::Remittance])))
        return OtherClearing;
    return -1;
}

QString TransferExport::leftOutNote(int reason, int count) const
{
    return reason == OutsideDates ? m_dates.leftOutNote(count) : m_bank.leftOutNote(count);
}

void TransferExport::convert(const xlsx::Document& sheet, int row, kova::RowContext& out) const
{
    const auto text = [&](F field) { return kova::cellText(sheet, row, m_settings.columns[field]); };

    out.record = QStringLiteral("1|") + kova::rightPadded(QString::number(out.line()), 5, QLatin1Char('0'))
        + QLatin1Char('|');

    putCut(text(F::TrxRef), 30, QStringLiteral("Trx Ref"), TrxRefColumn, out);

    const QString fromAcc = text(F::FromAcc);
    if (!kova::isDigitsOnly(fromAcc))
        out.error(kova::invalidCharacters(QStringLiteral("From Acc")), FromAccColumn);
    if (fromAcc.size() != 10)
        out.error(lengthWords(QStringLiteral("From Acc")), FromAccColumn);
    const QString fromAccValue = kova::leftField(fromAcc, 10);
    put(out, fromAccValue, fromAccValue);

    const QString toAcc = text(F::ToAcc);
    if (!kova::isDigitsOnly(toAcc))
        out.error(kova::invalidCharacters(QStringLiteral("To Acc")), ToAccColumn);
    const QString toAccValue = kova::cutTrimmed(toAcc, 34);
    if (m_settings.mode == kova::BankMode::WDK && toAccValue.size() != 10)
        out.error(lengthWords(QStringLiteral("To Acc")), ToAccColumn);
    else if (toAcc.size() > 34)
        out.error(kova::truncated(QStringLiteral("To Acc"), 34));
    put(out, toAccValue, toAccValue);

    const QString amountText = text(F::Amount);
    if (const auto amount = kova::validAmount(amountText, maximumAmount)) {
        put(out, kova::fixedText(*amount), kova::displayAmount(*amount));
        out.addToTotal(*amount);
        const QString limit = m_bank.limitError(*amount, text(F::Remittance));
        if (!limit.isEmpty())
            out.error(limit, AmountColumn);
    } else {
        // The row fails the batch, so its record is never used.
        out.error(QStringLiteral("Invalid amount"), AmountColumn);
        put(out, QString(), amountText);
    }

    putText(sheet, row, m_settings.columns[F::Remarks1], 18, QStringLiteral("Remarks 1"), Remarks1Column, out);
    putText(sheet, row, m_settings.columns[F::Remarks2], 18, QStringLiteral("Remarks 2"), Remarks2Column, out);

    if (m_settings.columns.mapped(F::BICode)) {
        const QString bankCode = text(F::BICode);
        if (bankCode.size() != 7)
            out.error(QStringLiteral("Bank Code must be 7 chars"), BankCodeColumn);
        checkCharacters(out, bankCode, QStringLiteral("Bank Code"), BankCodeColumn);
        const QString value = kova::cutTrimmed(bankCode, 7);
        put(out, value, value);
    } else {
        put(out, QString(), QString(7, QLatin1Char(' ')));
    }

    putText(sheet, row, m_settings.columns[F::Bank], 18, QStringLiteral("Bank Name"), BankNameColumn, out);
    putText(sheet, row, m_settings.columns[F::Branch], 18, QStringLiteral("Branch"), BranchColumn, out);
    putText(sheet, row, m_settings.columns[F::Beneficiary], 70, QStringLiteral("Beneficiary"), BeneficiaryColumn,
            out);
    putText(sheet, row, m_settings.columns[F::Address1], 18, QStringLiteral("Address 1"), Address1Column, out);
    putText(sheet, row, m_settings.columns[F::Address2], 18, QStringLiteral("Address 2"), Address2Column, out);
    putText(sheet, row, m_settings.columns[F::Address3], 18, QStringLiteral("Address 3"), Address3Column, out);
    putText(sheet, row, m_settings.columns[F::Address4], 18, QStringLiteral("Address 4"), Address4Column, out);

    if (m_settings.columns.mapped(F::CustType)) {
        const std::optional<int> custType = kova::cellInt(sheet, row, m_settings.columns[F::CustType]);
        if (!custType || *custType < 1 || *custType > 3)
            out.error(QStringLiteral("Invalid Customer Type"), CustTypeColumn);
        // Not a whole number, it is shown as read; its row fails anyway.
        const QString shown = custType ? QString::number(*custType) : text(F::CustType);
        put(out, shown, shown);
    } else {
        put(out, QString(), QStringLiteral(" "));
    }

    if (m_settings.columns.mapped(F::Residence)) {
        const QString residence = text(F::Residence).left(1);
        if (residence != QLatin1String("R") && residence != QLatin1String("N"))
            out.error(QStringLiteral("Invalid Residence"), ResidenceColumn);
        checkCharacters(out, residence, QStringLiteral("Residence"), ResidenceColumn);
        put(out, residence, residence);
    } else {
        put(out, QString(), QStringLiteral(" "));
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
        typed = m_settings.headerIdText.toLongLong(nullptr, 10);
    const HeaderIdReservation reservation = reserveHeaderId(m_settings.settingsPath, typed);
    if (!reservation.refusal.isEmpty()) {
        if (reservation.free)
            m_nextHeaderId = reservation.free;
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
    return QString::number(m_usedHeaderId.value_or(m_settings.headerIdText.toInt(nullptr, 10)));
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
