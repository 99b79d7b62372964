#include "payrolldescriptor.h"

namespace kova {

namespace {

using F = PayrollField;
using S = QString;

} // namespace

const TypeDescriptor& payrollDescriptor()
{
    static const TypeDescriptor type = withDefaultNames({
        BatchType::Payroll, S("Payroll"), S("Payroll"), S("payroll"), S("Payroll-"),
        {
            {S("TrxDate"), S("Trx Date"), S("Trx Date"), S("cboTrxDate"), Required::Never, {}, {S("Date"), S("Payment Date"), S("Tanggal"), S("Tgl"), S("Tanggal Gaji")},
             S("A date; rows outside the date range are skipped"), CellKind::Date},
            {S("AccountName"), S("Employee Name"), S("Employee Name"), S("cboAccName"), Required::Always,
             S("Account Name can not be empty"), {S("Name"), S("Employee"), S("Nama"), S("Nama Karyawan"), S("Nama Pegawai")}, S("Text, up to 30 characters")},
            {S("AccountNumber"), S("Acc #"), S("Acc #"), S("cboAcc"), Required::Always,
             S("Account Number can not be empty"), {S("Account Number"), S("Account"), S("Account No"), S("No. Rekening"), S("Nomor Rekening"), S("Rekening"), S("No. Rek")}, S("10 digits"), CellKind::Text, {},
             S("Account Number")},
            {S("Amount"), S("Amount"), S("Amount"), S("cboAmount"), Required::Always, S("Amount can not be empty"),
             {S("Salary"), S("Net Salary"), S("Net Pay"), S("Take Home Pay"), S("Gaji"), S("Gaji Bersih"),
              S("Nominal"), S("Jumlah"), S("Total")}, S("An amount above 0 with at most 2 decimals"), CellKind::Amount},
            {S("EmployeeID"), S("Employee ID"), S("Employee ID"), S("cboEmpID"), Required::Never, {}, {S("NIK"), S("NIP"), S("Employee No"), S("Employee Number"), S("Staff ID"), S("ID Karyawan"),
              S("No. Karyawan"), S("Nomor Induk Karyawan")},
             S("Text, up to 10 characters"), CellKind::Text, {}, S("Employee ID")},
            {S("Department"), S("Department"), S("Department"), S("cboDept"), Required::Never, {}, {S("Dept"), S("Division"), S("Departemen"), S("Divisi"), S("Bagian")},
             S("Text, up to 4 characters")},
        },
        {},
        // "EmpolyeeID": spelled so in the log table.
        {{int(F::AccountName)}, {int(F::AccountNumber)}, {int(F::Amount)}, {int(F::EmployeeID), S("EmpolyeeID")},
         {int(F::Department)}},
        {},
    });
    return type;
}

} // namespace kova
