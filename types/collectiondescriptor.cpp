#include "collectiondescriptor.h"

namespace kova {

namespace {

using F = CollectionField;
using S = QString;

} // namespace

const TypeDescriptor& collectionDescriptor()
{
    const QString text18 = QStringLiteral("Text, up to 18 characters");
    static const TypeDescriptor type = withDefaultNames({
        BatchType::Collection, S("Auto Collection"), S("Collection"), S("collection"), S("AutoCollection-"),
        {
            {S("TrxDate"), S("Trx Date"), S("Trx Date"), S("cboTrxDate"), Required::Never, {}, {S("Date"), S("Transaction Date"), S("Tanggal"), S("Tgl")},
             S("A date; rows outside the date range are skipped"), CellKind::Date},
            {S("AccountName"), S("Acc Name"), S("Account Name"), S("cboAccName"), Required::Always,
             S("Account Name can not be empty"), {S("Name"), S("Customer Name"), S("Nama"), S("Nama Nasabah"), S("Nama Rekening")}, S("Text, up to 35 characters")},
            {S("AccountNumber"), S("Acc #"), S("Acc #"), S("cboAcc"), Required::Always,
             S("Account Number can not be empty"), {S("Account Number"), S("Account"), S("Account No"), S("No. Rekening"), S("Nomor Rekening"), S("Rekening"), S("No. Rek")}, S("10 digits")},
            {S("Amount"), S("Amount"), S("Amount"), S("cboAmount"), Required::Always, S("Amount can not be empty"),
             {S("Nominal"), S("Jumlah"), S("Nilai"), S("Total"), S("Bill Amount"), S("Tagihan"), S("Jumlah Tagihan")}, S("An amount above 0 with at most 2 decimals"), CellKind::Amount},
            {S("Remarks1"), S("Remarks 1"), S("Remarks 1"), S("cboRemarks1"), Required::Never, {}, {S("Remark 1"), S("Remarks"), S("Remark"), S("Keterangan"), S("Keterangan 1"), S("Berita"), S("Berita 1")},
             text18},
            {S("Remarks2"), S("Remarks 2"), S("Remarks 2"), S("cboRemarks2"), Required::Never, {}, {S("Remark 2"), S("Keterangan 2"), S("Berita 2")},
             text18},
            {S("Residence"), S("Residence Status"), S("Residence"), S("cboResidence"), Required::Always,
             S("Residence can not be empty"), {S("Residence Status"), S("Resident"), S("Status Penduduk"), S("Kependudukan")}, S("0 or 1")},
            {S("Citizen"), S("Citizen Status"), S("Citizen"), S("cboCitizen"), Required::Always,
             S("Citizen can not be empty"), {S("Citizenship"), S("Nationality"), S("Kewarganegaraan"), S("Warga Negara")}, S("0 or 1")},
        },
        {},
        {{int(F::AccountName)}, {int(F::AccountNumber)}, {int(F::Amount)}, {int(F::Remarks1)}, {int(F::Remarks2)},
         {int(F::Residence)}, {int(F::Citizen)}},
        {},
    });
    return type;
}

} // namespace kova
