#pragma once

#include <QString>
#include <QVector>

#include <optional>

class QSettings;

namespace kova {

// One row of a form's source accounts table.
struct SourceAccount
{
    QString account;
    QString companyCode;
    bool operator==(const SourceAccount& o) const { return account == o.account && companyCode == o.companyCode; }
};

// The refusals of one form, in check order.
struct SourceAccountMessages
{
    QString notDefined;
    QString invalidCharacters;
    QString length;
};

extern const SourceAccountMessages creditAccountMessages;
extern const SourceAccountMessages collectionAccountMessages;
extern const SourceAccountMessages payrollAccountMessages;

// The checks on the chosen row at export start. account is empty when no row
// is checked. Returns the refusal text, or empty when the row is usable.
QString checkSourceAccount(const std::optional<SourceAccount>& account,
                           const SourceAccountMessages& messages);

// The "Accounts" array of the group the settings object is in: its stated
// size, but no further than the highest entry stored (at most 1,000).
QVector<SourceAccount> readAccounts(QSettings& settings);
// The "Accounts" array of group in the settings file at settingsPath, in
// table order.
QVector<SourceAccount> readAccounts(const QString& settingsPath, const QString& group);
// Replaces the array with rows (removing every entry stored before).
void saveAccounts(QSettings& settings, const QVector<SourceAccount>& rows);

} // namespace kova
