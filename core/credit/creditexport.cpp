#include "creditexport.h"

#include "record/batchremarks.h"
#include "record/cutfield.h"
#include "record/textfield.h"

namespace kova {

namespace {

// Why the clearing filter leaves a row out, after the dates' reason.
constexpr int otherClearing = AccountExport::outsideDates + 1;

using F = CreditField;
using kova::spaces;

constexpr int recordLength = 256;
// The width of every amount field, the header's total too.
constexpr int amountWidth = 20;

QString amountField(kova::Cents amount)
{
    return kova::rightField(kova::fixedText(amount), amountWidth, QLatin1Char('0'));
}

// A line break in a cell would split its record in two at the bank, and a
// character beyond printable ASCII would shift the fields after it. Checked
// after the field's own checks, so its message comes last.
void refuseInvalidCharacters(const QString& text, F field, kova::RowContext& out)
{
    if (!kova::isPrintableAscii(text))
        out.error(kova::invalidCharacters(out.title(field)), field);
}

// How the row messages name field, which is not always its log title.
const QString& named(F field)
{
    return creditDescriptor().fields.at(int(field)).messageName;
}

// A free text field of the detail record.
QString textField(const QString& text, int width, F field, kova::RowContext& out)
{
    return kova::cutField(text, width, named(field), out.title(field), out.column(field), out);
}

} // namespace

CreditExport::CreditExport(const CreditSettings& settings)
    : kova::AccountExport(creditDescriptor(), settings,
                          {settings.sourceAccount, kova::creditAccountMessages,
                           settings.immediate ? QDate() : settings.effectiveDate, recordLength, amountWidth})
    , m_settings(settings)
    , m_bank(kova::BankFilter::fromFields(settings.mode, settings.clearingIndex, settings.minLimitText,
                                          settings.maxLimitText))
{
}

int CreditExport::leftOutBy(const reader::Document& sheet, int row) const
{
    const int byDates = AccountExport::leftOutBy(sheet, row);
    if (byDates != -1)
        return byDates;
    if (!m_bank.accepts(kova::cellText(sheet, row, m_settings.columns[F::TransferType])))
        return otherClearing;
    return -1;
}

QString CreditExport::leftOutNote(int reason, int count) const
{
    return reason == otherClearing ? m_bank.leftOutNote(count) : AccountExport::leftOutNote(reason, count);
}

void CreditExport::convert(const reader::Document& sheet, int row, kova::RowContext& out) const
{
    const kova::ColumnMap<F>& c = m_settings.columns;
    const bool wdk = m_settings.mode == kova::BankMode::WDK;
    const QString transferType = kova::cellText(sheet, row, c[F::TransferType]);
    const auto text = [&](int column) { return kova::cellText(sheet, row, column); };

    QString& record = out.record;
    // Written in place, like the fields: where nobody keeps the rows they keep
    // their memory from row to row.
    record.reserve(recordWidth());
    record += QLatin1Char('1');

    const QString account = text(c[F::Account]);
    if (!kova::isDigitsOnly(account))
        out.error(kova::invalidCharacters(named(F::Account)), F::Account);
    if (wdk && account.size() != 10)
        out.error({QString(), named(F::Account), QStringLiteral(" must be 10 digits")}, F::Account);
    if (!wdk && account.size() > 34)
        out.warning(kova::truncated(out.title(F::Account), 34), F::Account);
    kova::putLeftField(out.place(F::Account), account, 34);
    record += out.shown(F::Account);

    record += spaces(18);

    if (const std::optional<kova::Cents> amount = rowAmount(sheet, row, F::Amount, creditMaxCents, out)) {
        kova::appendFixedField(record, *amount, amountWidth);
        const QString limitError = m_bank.limitError(*amount, transferType);
        if (!limitError.isEmpty())
            out.error(limitError, F::Amount);
    }

    const QString name = text(c[F::BeneficiaryName]);
    out.show(F::BeneficiaryName, name);
    record += textField(name, 70, F::BeneficiaryName, out);

    const QChar clearingCode = wdk ? QLatin1Char('B')
                                   : (m_settings.clearingIndex == 0 ? QLatin1Char('N') : QLatin1Char('Y'));
    record += clearingCode;
    record += spaces(6);

    const QString biCode = text(c[F::BICode]);
    if (c.mapped(F::BICode) && biCode.size() != 7)
        out.error(named(F::BICode) + QStringLiteral(" must be 7 chars"), F::BICode);
    refuseInvalidCharacters(biCode, F::BICode, out);
    kova::putLeftField(out.place(F::BICode), biCode, 7);
    record += out.shown(F::BICode);

    record += spaces(4);

    for (const F field : {F::Bank, F::Branch, F::Remarks1, F::Remarks2}) {
        kova::putCutField(out.place(field), text(c[field]), 18, named(field), out.title(field), out.column(field),
                          out);
        record += out.shown(field);
    }

    record += spaces(18);

    out.show(F::CustType, QStringLiteral(" "));
    if (c.mapped(F::CustType)) {
        const std::optional<int> custType = kova::cellInt(sheet, row, c[F::CustType]);
        if (!custType || *custType < 1 || *custType > 3)
            out.error(QStringLiteral("Invalid Customer Type"), F::CustType);
        // Not a whole number, it is shown as read; its row fails anyway.
        out.show(F::CustType, custType ? QString::number(*custType) : text(c[F::CustType]));
    }
    record += out.shown(F::CustType);

    // Mapped, the first character goes as it is: an empty cell writes and
    // shows nothing, and its row fails on the residence rule anyway.
    out.show(F::Residence, QStringLiteral(" "));
    if (c.mapped(F::Residence)) {
        const QString residence = text(c[F::Residence]).left(1);
        if (residence != QLatin1String("R") && residence != QLatin1String("N"))
            out.error(QStringLiteral("Invalid Residence"), F::Residence);
        refuseInvalidCharacters(residence, F::Residence, out);
        out.show(F::Residence, residence);
    }
    record += out.shown(F::Residence);

    record += wdk ? QStringLiteral("014") : QStringLiteral("888");
}

QString CreditExport::headerRecord(const kova::ExportTotals& totals) const
{
    const CreditSettings& s = m_settings;
    const bool wdk = s.mode == kova::BankMode::WDK;
    const QString code = account().companyCode;

    QString header = QStringLiteral("0");
    header += wdk && s.wdkIndex == 0 ? QStringLiteral("SP") : QStringLiteral("MP");
    header += s.immediate ? spaces(8) : s.effectiveDate.toString(QStringLiteral("yyyyMMdd"));
    header += kova::leftField(account().account, 10);
    header += QLatin1Char(' ');
    header += code.mid(0, 4) + code.mid(6, 4);
    header += spaces(15);
    header += amountField(totals.total);
    header += kova::rightField(QString::number(totals.count), 5, QLatin1Char('0'));
    header += wdk ? QStringLiteral("WDK") : (s.clearingIndex == 0 ? QStringLiteral("LLG") : QStringLiteral("RTG"));
    header += spaces(15);
    header += kova::leftField(s.batchRemarks1, 18);
    header += kova::leftField(s.batchRemarks2, 18);
    header += spaces(132);
    return header;
}

QString CreditExport::batchRefusal() const
{
    const QString refusal = kova::batchRemarksRefusal(m_settings.batchRemarks1, m_settings.batchRemarks2);
    return refusal.isEmpty() ? validateCreditSettings(m_settings) : refusal;
}

} // namespace kova
