#include "transferdescriptor.h"

namespace kova {

namespace {

using F = TransferField;
using S = QString;

} // namespace

const TypeDescriptor& transferDescriptor()
{
    const QString text18 = QStringLiteral("Text, up to 18 characters");
    static const TypeDescriptor type = withDefaultNames({
        BatchType::Transfer, S("Auto Transfer"), S("Transfer"), S("transfer"), S("AutoTransfer-"),
        {
            {S("TrxRef"), S("Trx Ref #"), S("Trx Ref"), S("cboTrxRef"), Required::Always,
             S("Trx Ref # can not be empty"), {S("Reference")}, S("Text, up to 30 characters")},
            {S("TrxDate"), S("Date"), S("Trx Date"), S("cboDate"), Required::Never, {}, {S("Date")},
             S("A date; rows outside the date range are skipped"), CellKind::Date},
            {S("FromAcc"), S("From Acc #"), S("From Acc"), S("cboFrom"), Required::Always,
             S("From Acc # can not be empty"), {S("Debit Account"), S("From Account")}, S("10 digits")},
            {S("ToAcc"), S("To Acc #"), S("To Acc"), S("cboTo"), Required::Always, S("To Acc # can not be empty"),
             {S("Credit Account"), S("To Account")}, S("10 digits for a transfer within the bank")},
            {S("Amount"), S("Amount"), S("Amount"), S("cboAmount"), Required::Always, S("Amount can not be empty"),
             {}, S("An amount above 0 with at most 2 decimals"), CellKind::Amount},
            {S("Remarks1"), S("Remarks 1"), S("Remarks 1"), S("cboRemarks1"), Required::Never, {}, {S("Remark 1")},
             text18},
            {S("Remarks2"), S("Remarks 2"), S("Remarks 2"), S("cboRemarks2"), Required::Never, {}, {S("Remark 2")},
             text18},
            {S("Remittance"), S("Transfer Type"), S("Remittance"), S("cboRemittance"), Required::Always,
             S("Transfer Type can not be empty"), {S("Transfer Type")}, S("The clearing of the row: LLG or RTGS")},
            {S("BICode"), S("BI Code"), S("Bank Code"), S("cboBICode"), Required::OthersMode,
             S("BI Code can not be empty"), {S("BI Code")}, S("7 characters")},
            {S("Bank"), S("Bank Name"), S("Bank Name"), S("cboBank"), Required::OthersMode, S("Bank can not be empty"),
             {S("Bank")}, text18},
            {S("Branch"), S("Bank Branch"), S("Branch"), S("cboBranch"), Required::OthersMode,
             S("Branch can not be empty"), {S("Branch Name")}, text18, CellKind::Text, S("Branch Name")},
            {S("Beneficiary"), S("Name"), S("Beneficiary"), S("cboName"), Required::OthersMode,
             S("Name can not be empty"), {S("Beneficiary Name")}, S("Text, up to 70 characters")},
            {S("Address1"), S("Address 1"), S("Address 1"), S("cboAddress1"), Required::Never, {}, {}, text18},
            {S("Address2"), S("Address 2"), S("Address 2"), S("cboAddress2"), Required::Never, {}, {}, text18},
            {S("Address3"), S("Address 3"), S("Address 3"), S("cboAddress3"), Required::Never, {}, {}, text18},
            {S("Address4"), S("Address 4"), S("Address 4"), S("cboAddress4"), Required::Never, {}, {}, text18},
            {S("CustType"), S("Cust Type"), S("Cust Type"), S("cboCustType"), Required::OthersMode,
             S("Cust Type can not be empty"), {S("Customer Type")}, S("1, 2 or 3"), CellKind::Text, S("Type")},
            {S("Residence"), S("Cust Residence"), S("Residence"), S("cboResidence"), Required::OthersMode,
             S("Cust Residence can not be empty"), {}, S("R or N"), CellKind::Text, S("Residence")},
        },
        {},
        {{int(F::TrxRef)}, {int(F::FromAcc)}, {int(F::ToAcc)}, {int(F::Amount)}, {int(F::Remarks1)},
         {int(F::Remarks2)}, {int(F::BICode)}, {int(F::Bank)}, {int(F::Branch)}, {int(F::Beneficiary)},
         {int(F::Address1)}, {int(F::Address2)}, {int(F::Address3)}, {int(F::Address4)}, {int(F::CustType)},
         {int(F::Residence)}},
        // "1|", the sequence number, "|", ...
        {1},
        {int(F::BICode)},
    });
    return type;
}

} // namespace kova
