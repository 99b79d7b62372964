#include "sourceaccount.h"

#include "record/textfield.h"

#include <QRegularExpression>
#include <QSettings>

namespace kova {

const SourceAccountMessages creditAccountMessages{
    QStringLiteral("Source Account has not been defined"),
    QStringLiteral("Source Acc contains invalid chars"),
    QStringLiteral("Source Acc must be 10 chars"),
};

const SourceAccountMessages collectionAccountMessages{
    QStringLiteral("Credited Account has not been defined"),
    QStringLiteral("Credited Acc contains invalid chars"),
    QStringLiteral("Credited Acc must be 10 chars"),
};

const SourceAccountMessages payrollAccountMessages{
    QStringLiteral("Source Acc has not been defined"),
    QStringLiteral("Source Acc contains invalid chars"),
    QStringLiteral("Source Acc must be 10 chars"),
};

QString checkSourceAccount(const std::optional<SourceAccount>& account, const SourceAccountMessages& messages)
{
    if (!account)
        return messages.notDefined;
    if (!isDigitsOnly(account->account))
        return messages.invalidCharacters;
    if (account->account.size() != 10)
        return messages.length;
    static const QRegularExpression companyCode(
        QStringLiteral("\\A[0-9]{4,4}/[0-9]{5,5}/[A-Za-z]{4,4}\\z"));
    if (!companyCode.match(account->companyCode).hasMatch())
        return QStringLiteral(
            "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)");
    return {};
}

namespace {

const QString accountsArray = QStringLiteral("Accounts");
// The keys of each entry of the array.
const QString accountKey = QStringLiteral("Account");
const QString companyCodeKey = QStringLiteral("CompID");

// More company accounts than anyone keeps; entries numbered above it are not read.
const int maxStoredAccounts = 1000;

// The highest entry number of the array that holds anything, up to
// maxStoredAccounts.
int highestStoredEntry(QSettings& settings)
{
    settings.beginGroup(accountsArray);
    const QStringList entries = settings.childGroups();
    settings.endGroup();
    int highest = 0;
    for (const QString& entry : entries) {
        bool ok = false;
        const int number = entry.toInt(&ok);
        if (ok && number <= maxStoredAccounts)
            highest = qMax(highest, number);
    }
    return highest;
}

} // namespace

QVector<SourceAccount> readAccounts(QSettings& settings)
{
    // The stated size is only text in a file a person may edit: it bounds the
    // rows read but never decides how many are made.
    const int stored = highestStoredEntry(settings);
    const int size = qMin(settings.beginReadArray(accountsArray), stored);
    QVector<SourceAccount> rows;
    rows.reserve(qMax(size, 0));
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        rows.append({settings.value(accountKey).toString(), settings.value(companyCodeKey).toString()});
    }
    settings.endArray();
    return rows;
}

QVector<SourceAccount> readAccounts(const QString& settingsPath, const QString& group)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    return readAccounts(settings);
}

void saveAccounts(QSettings& settings, const QVector<SourceAccount>& rows)
{
    // Entries beyond the new size would otherwise linger in the file.
    settings.remove(accountsArray);
    settings.beginWriteArray(accountsArray, rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(accountKey, rows.at(i).account);
        settings.setValue(companyCodeKey, rows.at(i).companyCode);
    }
    settings.endArray();
}

} // namespace kova
