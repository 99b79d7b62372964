#include "sourceaccount.h"

#include "textfield.h"

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

QVector<SourceAccount> loadAccounts(QSettings& settings)
{
    QVector<SourceAccount> rows;
    const int size = settings.beginReadArray(QStringLiteral("Accounts"));
    rows.reserve(size);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        rows.append({settings.value(QStringLiteral("Account")).toString(),
                     settings.value(QStringLiteral("CompID")).toString()});
    }
    settings.endArray();
    return rows;
}

QVector<SourceAccount> storedAccounts(const QString& settingsPath, const QString& group)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    return loadAccounts(settings);
}

void saveAccounts(QSettings& settings, const QVector<SourceAccount>& rows)
{
    // Entries beyond the new size would otherwise linger in the file.
    settings.remove(QStringLiteral("Accounts"));
    settings.beginWriteArray(QStringLiteral("Accounts"), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Account"), rows.at(i).account);
        settings.setValue(QStringLiteral("CompID"), rows.at(i).companyCode);
    }
    settings.endArray();
}

} // namespace kova
