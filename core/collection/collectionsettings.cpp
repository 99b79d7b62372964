#include "collectionsettings.h"

#include "export/settingsfile.h"

QString collectionGroup()
{
    return QStringLiteral("Collection");
}

const QStringList& collectionColumnKeys()
{
    static const QStringList keys{
        QStringLiteral("TrxDate"),  QStringLiteral("AccountName"), QStringLiteral("AccountNumber"),
        QStringLiteral("Amount"),   QStringLiteral("Remarks1"),    QStringLiteral("Remarks2"),
        QStringLiteral("Residence"), QStringLiteral("Citizen")};
    return keys;
}

QString validateCollectionSettings(const CollectionSettings& s)
{
    if (s.accountNameColumn < 1)
        return QStringLiteral("Account Name can not be empty");
    if (s.accountColumn < 1)
        return QStringLiteral("Account Number can not be empty");
    if (s.amountColumn < 1)
        return QStringLiteral("Amount can not be empty");
    if (s.residenceColumn < 1)
        return QStringLiteral("Residence can not be empty");
    if (s.citizenColumn < 1)
        return QStringLiteral("Citizen can not be empty");
    return {};
}

CollectionSettings readCollectionSettings(const QString& settingsPath)
{
    CollectionSettings s;
    s.settingsPath = settingsPath;
    const QVector<int> columns = kova::readColumnIndexes(settingsPath, collectionGroup(), collectionColumnKeys());
    s.trxDateColumn = columns.at(0);
    s.accountNameColumn = columns.at(1);
    s.accountColumn = columns.at(2);
    s.amountColumn = columns.at(3);
    s.remarks1Column = columns.at(4);
    s.remarks2Column = columns.at(5);
    s.residenceColumn = columns.at(6);
    s.citizenColumn = columns.at(7);
    s.hasColumnHeader = kova::readHasColumnHeader(settingsPath, collectionGroup());

    const QDate today = QDate::currentDate();
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}

const QVector<kova::FieldGuide>& collectionFieldGuide()
{
    static const QVector<kova::FieldGuide> guide{
        {QStringLiteral("TrxDate"), {QStringLiteral("Trx Date"), QStringLiteral("Date")}, QStringLiteral("A date; rows outside the date range are skipped")},
        {QStringLiteral("AccountName"), {QStringLiteral("Account Name"), QStringLiteral("Name")}, QStringLiteral("Text, up to 35 characters")},
        {QStringLiteral("AccountNumber"), {QStringLiteral("Acc #"), QStringLiteral("Account Number"), QStringLiteral("Account")}, QStringLiteral("10 digits")},
        {QStringLiteral("Amount"), {QStringLiteral("Amount")}, QStringLiteral("An amount above 0 with at most 2 decimals")},
        {QStringLiteral("Remarks1"), {QStringLiteral("Remarks 1"), QStringLiteral("Remark 1")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Remarks2"), {QStringLiteral("Remarks 2"), QStringLiteral("Remark 2")}, QStringLiteral("Text, up to 18 characters")},
        {QStringLiteral("Residence"), {QStringLiteral("Residence")}, QStringLiteral("0 or 1")},
        {QStringLiteral("Citizen"), {QStringLiteral("Citizen"), QStringLiteral("Citizenship")}, QStringLiteral("0 or 1")},
    };
    return guide;
}
