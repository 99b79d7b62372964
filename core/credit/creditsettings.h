#pragma once

#include "core/accountsettings.h"
#include "settings/clearing.h"
#include "settings/sourceaccount.h"
#include "types/creditdescriptor.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace kova {

// Everything of the Auto Credit form that the checks and the export use, as
// the widgets hold it.
struct CreditSettings : AccountSettings<CreditField>
{
    // The row of the source accounts table whose radio button is checked.
    std::optional<SourceAccount> sourceAccount;
    // txtRemarks1 / txtRemarks2: the batch remarks of the header record.
    QString batchRemarks1;
    QString batchRemarks2;

    // "Immediate On Authorization" (true) or "On" effectiveDate.
    bool immediate = true;

    BankMode mode = BankMode::WDK;
    int wdkIndex = 0;        // cboWDK: 0 "One To One (SP)", 1 "One To Many (MP)"; -1 in Others mode
    int clearingIndex = -1;  // cboOthers: 0 "LLG", 1 "RTGS"; -1 in WDK mode
    ClearingLimits limits;   // the limits the form holds (normalised when read)
    QString minLimitText;    // txtMinRTGS as shown or typed
    QString maxLimitText;    // txtMaxRTGS as shown or typed
};

// Validate_Settings, in its order: the message of the first failing check, or
// empty. WDK mode needs the account, amount and transfer-type columns; Others
// mode further the BI code, bank, branch, beneficiary name, customer type and
// residence columns and two limit texts that read non-zero.
QString validateCreditSettings(const CreditSettings& settings);

// What ON_rdbBenefBank_Click followed by a choice in the mode's combo box
// leaves in the form. WDK: wdkIndex = choice, clearingIndex -1, and the limit
// fields show the RTGS limits (cboOthers at -1 counts as "not LLG"). Others:
// clearingIndex = choice (0 LLG, 1 RTGS), wdkIndex -1, and the limit fields
// show that clearing's limits.
void chooseBeneficiaryBank(CreditSettings& settings, BankMode mode, int choice);

// For kova-export: what a newly created form holds after reading the settings
// file at settingsPath, plus the stored mapping:
//   - no account row checked, empty batch remarks, "Immediate On
//     Authorization", today for the effective date and both filter dates;
//   - hasColumnHeader from "HasColumnHeader";
//   - the four limits read and normalised; WDK mode with "One To One (SP)"
//     and the limit texts shown then (the RTGS limits; chooseBeneficiaryBank
//     switches mode and clearing and the texts with them);
//   - the stored column indexes, as Read_Columns_Settings applies them (a
//     group never saved gives no mapping). Pass each through
//     effectiveColumn() once the sheet is known.
CreditSettings readCreditSettings(const QString& settingsPath, const QDate& today);

} // namespace kova
