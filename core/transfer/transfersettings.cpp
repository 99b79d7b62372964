#include "transfersettings.h"

#include "export/settingsfile.h"
#include "export/textfield.h"

#include <QSettings>

namespace {

int parsedHeaderId(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

QString transferGroup()
{
    return QStringLiteral("Transfer");
}

QStringList transferColumnKeys()
{
    return {
        QStringLiteral("TrxRef"), QStringLiteral("TrxDate"), QStringLiteral("FromAcc"),
        QStringLiteral("ToAcc"), QStringLiteral("Amount"), QStringLiteral("Remarks1"),
        QStringLiteral("Remarks2"), QStringLiteral("Remittance"), QStringLiteral("BICode"),
        QStringLiteral("Bank"), QStringLiteral("Branch"), QStringLiteral("Beneficiary"),
        QStringLiteral("Address1"), QStringLiteral("Address2"), QStringLiteral("Address3"),
        QStringLiteral("Address4"), QStringLiteral("CustType"), QStringLiteral("Residence"),
    };
}

void TransferSettings::chooseClearing(int index)
{
    mode = index < 0 ? kova::BankMode::WDK : kova::BankMode::Others;
    clearingIndex = index;
    minLimitText = kova::limitText(limits.minimum(index));
    maxLimitText = kova::limitText(limits.maximum(index));
}

QString validateTransferSettings(const TransferSettings& s)
{
    using F = TransferField;
    struct Required { F field; const char* message; };
    static const Required always[] = {
        {F::TrxRef, "Trx Ref # can not be empty"},
        {F::FromAcc, "From Acc # can not be empty"},
        {F::ToAcc, "To Acc # can not be empty"},
        {F::Amount, "Amount can not be empty"},
        {F::Remittance, "Transfer Type can not be empty"},
    };
    static const Required othersMode[] = {
        {F::BICode, "BI Code can not be empty"},
        {F::Bank, "Bank can not be empty"},
        {F::Branch, "Branch can not be empty"},
        {F::Beneficiary, "Name can not be empty"},
        {F::CustType, "Cust Type can not be empty"},
        {F::Residence, "Cust Residence can not be empty"},
    };
    for (const Required& r : always)
        if (!s.mapped(r.field))
            return QString::fromLatin1(r.message);
    if (s.mode == kova::BankMode::Others) {
        for (const Required& r : othersMode)
            if (!s.mapped(r.field))
                return QString::fromLatin1(r.message);
        const QString limits = kova::checkLimitTexts(s.minLimitText, s.maxLimitText);
        if (!limits.isEmpty())
            return limits;
    }
    const int headerId = parsedHeaderId(s.headerIdText);
    if (headerId == 0)
        return QStringLiteral("Invalid Header ID");
    if (unsigned(headerId) >= 100000000u)
        return QStringLiteral("Max value of Header ID is 99999999");
    if (s.corporateId.trimmed().isEmpty())
        return QStringLiteral("Corporate ID can not be empty");
    if (s.corporateId.size() != 10)
        return QStringLiteral("Corporate ID must be 10 chars");
    // The Corporate ID goes into the "|"-separated header record as it is.
    if (s.corporateId.contains(QLatin1Char('|')) || kova::hasLineBreak(s.corporateId))
        return QStringLiteral("Corporate ID contains invalid chars");
    return {};
}

TransferSettings readTransferSettings(const QString& settingsPath)
{
    TransferSettings s;
    s.settingsPath = settingsPath;
    s.limits = kova::ClearingLimits::load(settingsPath);
    {
        QSettings settings(settingsPath, QSettings::IniFormat);
        settings.beginGroup(transferGroup());
        const int headerId = settings.value(QStringLiteral("HeaderID"), 0).toInt();
        s.headerIdText = QString::number(headerId == 0 ? 1 : headerId);
        s.corporateId = settings.value(QStringLiteral("CompanyID")).toString();
        s.hasColumnHeader = settings.value(QStringLiteral("HasColumnHeader"), false).toBool();
    }
    const QVector<int> stored = kova::readColumnIndexes(settingsPath, transferGroup(), transferColumnKeys());
    for (int i = 0; i < transferFieldCount; ++i)
        s.columns[std::size_t(i)] = stored.value(i);
    const QDate today = QDate::currentDate();
    s.dateFrom = s.dateTo = s.effectiveDate = today;
    s.chooseClearing(-1);
    return s;
}

const QVector<kova::FieldGuide>& transferFieldGuide()
{
    static const QVector<kova::FieldGuide> guide{
        {QStringLiteral("TrxRef"), {QStringLiteral("Trx Ref"), QStringLiteral("Reference")}, QStringLiteral("Text, up to 30 characters")},
        {QStringLiteral("TrxDate"), {QStringLiteral("Trx Date"), QStringLiteral("Date")}, QStringLiteral("A date; rows outside the date range are skipped")},
        {QStringLiteral("FromAcc"), {QStringLiteral("From Acc"), QStringLiteral("Debit Account"), QStringLiteral("From Account")}, QStringLiteral("10 digits")},
        {QStringLiteral("ToAcc"), {QStringLiteral("To Acc"), QStringLiteral("Credit Account"), QStringLiteral("To Account")}, QStringLiteral("10 digits for a transfer within the bank")},
        {QStringLiteral("Amount"), {QStringLiteral("Amount")}, QStringLiteral("An amount above 0 with at most 2 decimals")},
        {QStringLiteral("Remarks1"), {QStringLiteral("Remarks 1"), QStringLiteral("Remark 1")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Remarks2"), {QStringLiteral("Remarks 2"), QStringLiteral("Remark 2")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Remittance"), {QStringLiteral("Remittance"), QStringLiteral("Transfer Type")}, QStringLiteral("The clearing of the row: LLG or RTGS")},
        {QStringLiteral("BICode"), {QStringLiteral("Bank Code"), QStringLiteral("BI Code")}, QStringLiteral("7 characters")},
        {QStringLiteral("Bank"), {QStringLiteral("Bank Name"), QStringLiteral("Bank")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Branch"), {QStringLiteral("Branch"), QStringLiteral("Branch Name")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Beneficiary"), {QStringLiteral("Beneficiary"), QStringLiteral("Beneficiary Name")}, QStringLiteral("Text, up to 70 characters")},
        {QStringLiteral("Address1"), {QStringLiteral("Address 1")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Address2"), {QStringLiteral("Address 2")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Address3"), {QStringLiteral("Address 3")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Address4"), {QStringLiteral("Address 4")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("CustType"), {QStringLiteral("Cust Type"), QStringLiteral("Customer Type")}, QStringLiteral("1, 2 or 3")},
        {QStringLiteral("Residence"), {QStringLiteral("Residence")}, QStringLiteral("R or N")},
    };
    return guide;
}
