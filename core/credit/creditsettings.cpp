#include "creditsettings.h"

#include "export/settingsfile.h"

QString creditGroup()
{
    return QStringLiteral("Credit");
}

const QStringList& creditColumnKeys()
{
    static const QStringList keys{
        QStringLiteral("TrxDate"), QStringLiteral("Beneficary"), QStringLiteral("BnfAccount"),
        QStringLiteral("BICode"),  QStringLiteral("Bank"),       QStringLiteral("Branch"),
        QStringLiteral("Amount"),  QStringLiteral("Remittance"), QStringLiteral("Remarks1"),
        QStringLiteral("Remarks2"), QStringLiteral("CustType"),  QStringLiteral("Residence"),
    };
    return keys;
}

QVector<int CreditColumns::*> creditColumnFields()
{
    return {
        &CreditColumns::trxDate,  &CreditColumns::beneficiaryName, &CreditColumns::account,
        &CreditColumns::biCode,   &CreditColumns::bank,            &CreditColumns::branch,
        &CreditColumns::amount,   &CreditColumns::transferType,    &CreditColumns::remarks1,
        &CreditColumns::remarks2, &CreditColumns::custType,        &CreditColumns::residence,
    };
}

QString validateCreditSettings(const CreditSettings& s)
{
    const CreditColumns& c = s.columns;
    if (!isMapped(c.account))
        return QStringLiteral("Beneficiary Account can not be empty");
    if (!isMapped(c.amount))
        return QStringLiteral("Amount can not be empty");
    if (!isMapped(c.transferType))
        return QStringLiteral("Transfer Type can not be empty");
    if (s.mode == kova::BankMode::WDK)
        return {};
    if (!isMapped(c.biCode))
        return QStringLiteral("BI Code can not be empty");
    if (!isMapped(c.bank))
        return QStringLiteral("Bank can not be empty");
    if (!isMapped(c.branch))
        return QStringLiteral("Branch can not be empty");
    if (!isMapped(c.beneficiaryName))
        return QStringLiteral("Beneficiary can not be empty");
    if (!isMapped(c.custType))
        return QStringLiteral("Cust Type can not be empty");
    if (!isMapped(c.residence))
        return QStringLiteral("Cust Residence can not be empty");
    return kova::checkLimitTexts(s.minLimitText, s.maxLimitText);
}

void chooseBeneficiaryBank(CreditSettings& s, kova::BankMode mode, int choice)
{
    s.mode = mode;
    s.wdkIndex = mode == kova::BankMode::WDK ? choice : -1;
    s.clearingIndex = mode == kova::BankMode::Others ? choice : -1;
    s.minLimitText = kova::limitText(s.limits.minimum(s.clearingIndex));
    s.maxLimitText = kova::limitText(s.limits.maximum(s.clearingIndex));
}

CreditSettings initialCreditSettings(const QString& settingsPath, const QDate& today)
{
    CreditSettings s;
    s.settingsPath = settingsPath;
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    s.limits = kova::ClearingLimits::load(settingsPath);
    s.hasColumnHeader = kova::readHasColumnHeader(settingsPath, creditGroup());
    const QVector<int> stored = kova::readColumnIndexes(settingsPath, creditGroup(), creditColumnKeys());
    const QVector<int CreditColumns::*> fields = creditColumnFields();
    for (int i = 0; i < fields.size(); ++i)
        s.columns.*fields.at(i) = stored.at(i);
    chooseBeneficiaryBank(s, kova::BankMode::WDK, 0);
    return s;
}

void fitColumnsToSheet(CreditColumns& columns, int lastColumn)
{
    for (int CreditColumns::*field : creditColumnFields())
        columns.*field = kova::effectiveColumn(columns.*field, lastColumn);
}

const QVector<kova::FieldGuide>& creditFieldGuide()
{
    static const QVector<kova::FieldGuide> guide{
        {QStringLiteral("TrxDate"), {QStringLiteral("Trx Date"), QStringLiteral("Date")}, QStringLiteral("A date; rows outside the date range are skipped")},
        {QStringLiteral("Beneficary"), {QStringLiteral("Beneficiary Name"), QStringLiteral("Beneficiary")}, QStringLiteral("Text, up to 70 characters")},
        {QStringLiteral("BnfAccount"), {QStringLiteral("Acc #"), QStringLiteral("Account Number"), QStringLiteral("Beneficiary Account")}, QStringLiteral("10 digits within the bank, up to 34 digits for another bank")},
        {QStringLiteral("BICode"), {QStringLiteral("BI Code"), QStringLiteral("Bank Code")}, QStringLiteral("7 characters")},
        {QStringLiteral("Bank"), {QStringLiteral("Bank Name"), QStringLiteral("Bank")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Branch"), {QStringLiteral("Branch Name"), QStringLiteral("Branch")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Amount"), {QStringLiteral("Amount")}, QStringLiteral("An amount above 0 with at most 2 decimals")},
        {QStringLiteral("Remittance"), {QStringLiteral("Remittance"), QStringLiteral("Transfer Type")}, QStringLiteral("The clearing of the row: LLG or RTGS")},
        {QStringLiteral("Remarks1"), {QStringLiteral("Remarks 1"), QStringLiteral("Remark 1")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Remarks2"), {QStringLiteral("Remarks 2"), QStringLiteral("Remark 2")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("CustType"), {QStringLiteral("Cust Type"), QStringLiteral("Customer Type")}, QStringLiteral("1, 2 or 3")},
        {QStringLiteral("Residence"), {QStringLiteral("Residence")}, QStringLiteral("R or N")},
    };
    return guide;
}
