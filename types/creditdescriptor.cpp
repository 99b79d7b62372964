#include "creditdescriptor.h"

namespace kova {

namespace {

using F = CreditField;
using S = QString;

} // namespace

const TypeDescriptor& creditDescriptor()
{
    const QString text18 = QStringLiteral("Text, up to 18 characters");
    static const TypeDescriptor type = withDefaultNames({
        BatchType::Credit, S("Auto Credit"), S("Credit"), S("credit"), S("AutoCredit-"),
        {
            {S("TrxDate"), S("Trx Date"), S("Trx Date"), S("cboTrxDate"), Required::Never, {}, {S("Date")},
             S("A date; rows outside the date range are skipped"), CellKind::Date},
            {S("Beneficary"), S("Beneficiary Name"), S("Beneficiary Name"), S("cboBnfName"), Required::OthersMode,
             S("Beneficiary can not be empty"), {S("Beneficiary")}, S("Text, up to 70 characters"), CellKind::Text, {},
             S("Beneficiary")},
            {S("BnfAccount"), S("Acc #"), S("Acc #"), S("cboBnfAcc"), Required::Always,
             S("Beneficiary Account can not be empty"), {S("Account Number"), S("Beneficiary Account")},
             S("10 digits within the bank, up to 34 digits for another bank"), CellKind::Text, {}, S("To Acc")},
            {S("BICode"), S("BI Code"), S("BI Code"), S("cboBICode"), Required::OthersMode,
             S("BI Code can not be empty"), {S("Bank Code")}, S("7 characters")},
            {S("Bank"), S("Bank"), S("Bank Name"), S("cboBank"), Required::OthersMode, S("Bank can not be empty"),
             {S("Bank")}, text18, CellKind::Text, S("Bank Name")},
            {S("Branch"), S("Branch"), S("Branch Name"), S("cboBranch"), Required::OthersMode,
             S("Branch can not be empty"), {S("Branch")}, text18, CellKind::Text, S("Branch Name"),
             S("Branch")},
            {S("Amount"), S("Amount"), S("Amount"), S("cboAmount"), Required::Always, S("Amount can not be empty"),
             {}, S("An amount above 0 with at most 2 decimals"), CellKind::Amount},
            {S("Remittance"), S("Transfer Type"), S("Remittance"), S("cboRemittance"), Required::Always,
             S("Transfer Type can not be empty"), {S("Transfer Type")}, S("The clearing of the row: LLG or RTGS")},
            {S("Remarks1"), S("Remarks 1"), S("Remarks 1"), S("cboRemarks1"), Required::Never, {}, {S("Remark 1")},
             text18},
            {S("Remarks2"), S("Remarks 2"), S("Remarks 2"), S("cboRemarks2"), Required::Never, {}, {S("Remark 2")},
             text18},
            {S("CustType"), S("Cust Type"), S("Cust Type"), S("cboCustType"), Required::OthersMode,
             S("Cust Type can not be empty"), {S("Customer Type")}, S("1, 2 or 3")},
            {S("Residence"), S("Cust Residence"), S("Residence"), S("cboResidence"), Required::OthersMode,
             S("Cust Residence can not be empty"), {}, S("R or N")},
        },
        {int(F::Account), int(F::Amount), int(F::TransferType), int(F::BICode), int(F::Bank), int(F::Branch),
         int(F::BeneficiaryName), int(F::CustType), int(F::Residence)},
        {{int(F::BeneficiaryName)}, {int(F::Account)}, {int(F::Amount)}, {int(F::BICode)}, {int(F::Bank)},
         {int(F::Branch)}, {int(F::Remarks1)}, {int(F::Remarks2)}, {int(F::CustType)}, {int(F::Residence)}},
        {},
    });
    return type;
}

} // namespace kova
