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
            {S("TrxDate"), S("Trx Date"), S("Trx Date"), S("cboTrxDate"), Required::Never, {}, {S("Date"), S("Transaction Date"), S("Tanggal"), S("Tgl")},
             S("A date; rows outside the date range are skipped"), CellKind::Date},
            {S("Beneficary"), S("Beneficiary Name"), S("Beneficiary Name"), S("cboBnfName"), Required::OthersMode,
             S("Beneficiary can not be empty"), {S("Beneficiary"), S("Name"), S("Account Name"), S("Nama"), S("Nama Penerima"), S("Penerima"),
              S("Nama Rekening")}, S("Text, up to 70 characters"), CellKind::Text, {},
             S("Beneficiary")},
            {S("BnfAccount"), S("Acc #"), S("Acc #"), S("cboBnfAcc"), Required::Always,
             S("Beneficiary Account can not be empty"), {S("Account Number"), S("Beneficiary Account"), S("To Account"), S("Account No"), S("No. Rekening"), S("Nomor Rekening"), S("Rekening"), S("No. Rek"),
              S("Rekening Tujuan")},
             S("10 digits within the bank, up to 34 digits for another bank"), CellKind::Text, {}, S("To Acc")},
            {S("BICode"), S("BI Code"), S("BI Code"), S("cboBICode"), Required::OthersMode,
             S("BI Code can not be empty"), {S("Bank Code"), S("Kode Bank"), S("Kode BI"), S("Sandi Bank")}, S("7 characters")},
            {S("Bank"), S("Bank"), S("Bank Name"), S("cboBank"), Required::OthersMode, S("Bank can not be empty"),
             {S("Bank"), S("Nama Bank"), S("Bank Tujuan")}, text18, CellKind::Text, S("Bank Name")},
            {S("Branch"), S("Branch"), S("Branch Name"), S("cboBranch"), Required::OthersMode,
             S("Branch can not be empty"), {S("Branch"), S("Cabang"), S("Nama Cabang"), S("Kantor Cabang")}, text18, CellKind::Text, S("Branch Name"),
             S("Branch")},
            {S("Amount"), S("Amount"), S("Amount"), S("cboAmount"), Required::Always, S("Amount can not be empty"),
             {S("Nominal"), S("Jumlah"), S("Nilai"), S("Total"), S("Transfer Amount"), S("Jumlah Transfer")}, S("An amount above 0 with at most 2 decimals"), CellKind::Amount},
            {S("Remittance"), S("Transfer Type"), S("Remittance"), S("cboRemittance"), Required::Always,
             S("Transfer Type can not be empty"), {S("Transfer Type"), S("Jenis Transfer"), S("Clearing"), S("Jenis Kliring"), S("LLG/RTGS")}, S("The clearing of the row: LLG or RTGS")},
            {S("Remarks1"), S("Remarks 1"), S("Remarks 1"), S("cboRemarks1"), Required::Never, {}, {S("Remark 1"), S("Remarks"), S("Remark"), S("Keterangan"), S("Keterangan 1"), S("Berita"), S("Berita 1")},
             text18},
            {S("Remarks2"), S("Remarks 2"), S("Remarks 2"), S("cboRemarks2"), Required::Never, {}, {S("Remark 2"), S("Keterangan 2"), S("Berita 2")},
             text18},
            {S("CustType"), S("Cust Type"), S("Cust Type"), S("cboCustType"), Required::OthersMode,
             S("Cust Type can not be empty"), {S("Customer Type"), S("Jenis Nasabah"), S("Tipe Nasabah")}, S("1, 2 or 3")},
            {S("Residence"), S("Cust Residence"), S("Residence"), S("cboResidence"), Required::OthersMode,
             S("Cust Residence can not be empty"), {S("Residence Status"), S("Resident"), S("Status Penduduk"), S("Kependudukan")}, S("R or N")},
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
