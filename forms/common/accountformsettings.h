#pragma once

#include <QString>

class ColumnMapping;
class QWidget;
class SourceAccountsTable;

// What the credit, collection and payroll forms keep in their group of the
// settings file, written and read the same way by all three: the accounts
// table's "Accounts" array, the mapping keys, then "HasColumnHeader".

// Read_Settings: the accounts table (no row checked) and chkHeaders.
void readAccountFormSettings(const QString& settingsPath, const QString& group, SourceAccountsTable& accounts,
                             ColumnMapping& mapping);

// Writes the group and tells whether the settings file took it.
bool saveAccountFormSettings(const QString& settingsPath, const QString& group, const SourceAccountsTable& accounts,
                             const ColumnMapping& mapping);

// The box that closes "Save Settings": "Settings have been saved!", or
// "Settings could not be saved" when the file did not take everything.
void reportSettingsSaved(QWidget* form, bool saved);
