#include "collectionexport.h"

#include "record/batchremarks.h"
#include "record/cells.h"
#include "record/cutfield.h"
#include "record/money.h"
#include "record/textfield.h"

namespace kova {

namespace {

using F = CollectionField;
using kova::spaces;

constexpr int recordLength = 201;
constexpr int accountWidth = 10;
constexpr int amountWidth = 16;
constexpr int nameWidth = 35;
constexpr int remarksWidth = 18;
constexpr int countWidth = 5;
// 9999999999999.99: the largest amount the 16-character field holds.
constexpr kova::Cents maxAmount = kova::wholeUnits(10000000000000LL) - 1;

// Residence and citizen are flags: anything but one digit 0 or 1 is refused;
// a cell that is no whole number is shown as read.
void flagField(const reader::Document& sheet, int row, int sheetColumn, const QString& message, F field,
               kova::RowContext& out)
{
    const std::optional<int> value = kova::cellInt(sheet, row, sheetColumn);
    if (!value || (*value != 0 && *value != 1))
        out.error(message, field);
    out.show(field, value ? QString::number(*value) : kova::cellText(sheet, row, sheetColumn));
}

// A free text cut to width; its messages name it by its log title.
void textField(const QString& text, int width, F field, kova::RowContext& out)
{
    kova::putCutField(out.place(field), text, width, out.title(field), out.title(field), out.column(field), out);
}

} // namespace

CollectionExport::CollectionExport(const CollectionSettings& settings)
    : kova::AccountExport(collectionDescriptor(), settings,
                          {settings.creditedAccount, kova::collectionAccountMessages,
                           settings.immediate ? QDate() : settings.effectiveDate, recordLength, amountWidth})
    , m_settings(settings)
{
}

void CollectionExport::convert(const reader::Document& sheet, int row, kova::RowContext& out) const
{
    const CollectionSettings& s = m_settings;
    // The record and the fields are written in place: where nobody keeps the
    // rows they keep their memory from row to row.
    QString& record = out.record;
    record.reserve(recordLength);
    record += QLatin1Char('1');

    record += accountNumber(sheet, row, F::AccountNumber, out);
    record += spaces(24);
    record += QLatin1String("0000");

    if (const std::optional<kova::Cents> amount = rowAmount(sheet, row, F::Amount, maxAmount, out))
        kova::appendFixedField(record, *amount, amountWidth);

    textField(kova::cellText(sheet, row, s.columns[F::AccountName]), nameWidth, F::AccountName, out);
    textField(kova::cellText(sheet, row, s.columns[F::Remarks1]), remarksWidth, F::Remarks1, out);
    textField(kova::cellText(sheet, row, s.columns[F::Remarks2]), remarksWidth, F::Remarks2, out);
    for (const F field : {F::AccountName, F::Remarks1, F::Remarks2})
        record += out.shown(field);

    flagField(sheet, row, s.columns[F::Residence], QStringLiteral("Invalid Residence"), F::Residence, out);
    flagField(sheet, row, s.columns[F::Citizen], QStringLiteral("Invalid Citizen"), F::Citizen, out);
    record += out.shown(F::Residence);
    record += out.shown(F::Citizen);
    record += spaces(70);
    record += QLatin1String("014");
}

QString CollectionExport::headerRecord(const kova::ExportTotals& totals) const
{
    const CollectionSettings& s = m_settings;
    const QString& code = account().companyCode;
    return QStringLiteral("0CO")
        + (s.immediate ? spaces(8) : s.effectiveDate.toString(QStringLiteral("yyyyMMdd")))
        + kova::leftField(account().account, accountWidth) + QLatin1Char(' ') + code.mid(0, 4) + code.mid(6, 4)
        + spaces(15) + QStringLiteral("0000")
        + kova::rightField(kova::fixedText(totals.total), amountWidth, QLatin1Char('0'))
        + kova::rightField(QString::number(totals.count), countWidth, QLatin1Char('0'))
        + kova::leftField(s.remarks1, remarksWidth) + kova::leftField(s.remarks2, remarksWidth) + spaces(95);
}

QString CollectionExport::batchRefusal() const
{
    const QString refusal = kova::batchRemarksRefusal(m_settings.remarks1, m_settings.remarks2);
    return refusal.isEmpty() ? validateCollectionSettings(m_settings) : refusal;
}

} // namespace kova
