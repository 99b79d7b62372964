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
             S("Trx Ref # can not be empty"), {S("Reference"), S("Ref"), S("Reference No"), S("Referensi"), S("No. Referensi")}, S("Text, up to 30 characters")},
            {S("TrxDate"), S("Date"), S("Trx Date"), S("cboDate"), Required::Never, {}, {S("Date"), S("Transaction Date"), S("Tanggal"), S("Tgl"), S("Tanggal Transaksi")},
             S("A date; rows outside the date range are skipped"), CellKind::Date},
            {S("FromAcc"), S("From Acc #"), S("From Acc"), S("cboFrom"), Required::Always,
             S("From Acc # can not be empty"), {S("Debit Account"), S("From Account"), S("Source Account"), S("Rekening Debet"),
              S("Rekening Asal"), S("No. Rekening Debet")}, S("10 digits")},
            {S("ToAcc"), S("To Acc #"), S("To Acc"), S("cboTo"), Required::Always, S("To Acc # can not be empty"),
             {S("Credit Account"), S("To Account"), S("Beneficiary Account"), S("Account Number"), S("Account No"), S("No. Rekening"), S("Nomor Rekening"), S("Rekening"), S("No. Rek"),
              S("Rekening Tujuan"), S("No. Rekening Tujuan")}, S("10 digits for a transfer within the bank")},
            {S("Amount"), S("Amount"), S("Amount"), S("cboAmount"), Required::Always, S("Amount can not be empty"),
             {S("Nominal"), S("Jumlah"), S("Nilai"), S("Total"), S("Transfer Amount"), S("Jumlah Transfer")}, S("An amount above 0 with at most 2 decimals"), CellKind::Amount},
            {S("Remarks1"), S("Remarks 1"), S("Remarks 1"), S("cboRemarks1"), Required::Never, {}, {S("Remark 1"), S("Remarks"), S("Remark"), S("Keterangan"), S("Keterangan 1"), S("Berita"), S("Berita 1")},
             text18},
            {S("Remarks2"), S("Remarks 2"), S("Remarks 2"), S("cboRemarks2"), Required::Never, {}, {S("Remark 2"), S("Keterangan 2"), S("Berita 2")},
             text18},
            {S("Remittance"), S("Transfer Type"), S("Remittance"), S("cboRemittance"), Required::Always,
             S("Transfer Type can not be empty"), {S("Transfer Type"), S("Jenis Transfer"), S("Clearing"), S("Jenis Kliring"), S("LLG/RTGS")}, S("The clearing of the row: LLG or RTGS")},
            {S("BICode"), S("BI Code"), S("Bank Code"), S("cboBICode"), Required::OthersMode,
             S("BI Code can not be empty"), {S("BI Code"), S("Kode Bank"), S("Kode BI"), S("Sandi Bank")}, S("7 characters")},
            {S("Bank"), S("Bank Name"), S("Bank Name"), S("cboBank"), Required::OthersMode, S("Bank can not be empty"),
             {S("Bank"), S("Nama Bank"), S("Beneficiary Bank"), S("Bank Tujuan")}, text18},
            {S("Branch"), S("Bank Branch"), S("Branch"), S("cboBranch"), Required::OthersMode,
             S("Branch can not be empty"), {S("Branch Name"), S("Cabang"), S("Nama Cabang"), S("Kantor Cabang")}, text18, CellKind::Text, S("Branch Name")},
            {S("Beneficiary"), S("Name"), S("Beneficiary"), S("cboName"), Required::OthersMode,
             S("Name can not be empty"), {S("Beneficiary Name"), S("Account Name"), S("Nama"), S("Nama Penerima"), S("Penerima"),
              S("Nama Rekening")}, S("Text, up to 70 characters")},
            {S("Address1"), S("Address 1"), S("Address 1"), S("cboAddress1"), Required::Never, {}, {S("Address"), S("Alamat"), S("Alamat 1")}, text18},
            {S("Address2"), S("Address 2"), S("Address 2"), S("cboAddress2"), Required::Never, {}, {S("Alamat 2")}, text18},
            {S("Address3"), S("Address 3"), S("Address 3"), S("cboAddress3"), Required::Never, {}, {S("Alamat 3")}, text18},
            {S("Address4"), S("Address 4"), S("Address 4"), S("cboAddress4"), Required::Never, {}, {S("Alamat 4")}, text18},
            {S("CustType"), S("Cust Type"), S("Cust Type"), S("cboCustType"), Required::OthersMode,
             S("Cust Type can not be empty"), {S("Customer Type"), S("Jenis Nasabah"), S("Tipe Nasabah")}, S("1, 2 or 3"), CellKind::Text, S("Type")},
            {S("Residence"), S("Cust Residence"), S("Residence"), S("cboResidence"), Required::OthersMode,
             S("Cust Residence can not be empty"), {S("Residence Status"), S("Resident"), S("Status Penduduk"), S("Kependudukan")}, S("R or N"), CellKind::Text, S("Residence")},
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
