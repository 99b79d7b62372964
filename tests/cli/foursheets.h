#pragma once

// One small sheet of each type, as kova-export's tests write and export them.
#include <QList>
#include <QStringList>
#include <QVariantList>

namespace {

// Per type: its TYPE word, the template's titles, and two rows in template order paying 1500000.5 and 250.
struct Sheet { QString type; QStringList titles; QList<QVariantList> rows; };
QList<Sheet> sheets()
{
    return {{"transfer", {"Trx Ref #", "Date", "From Acc #", "To Acc #", "Amount", "Remarks 1", "Remarks 2", "Transfer Type", "BI Code",
                          "Bank Name", "Bank Branch", "Name", "Address 1", "Address 2", "Address 3", "Address 4", "Cust Type", "Cust Residence"},
             {{"REF1", QVariant(), "1234567890", "0987654321", "1500000.5", "R1", "", "WDK", "0140397", "BANK", "BRANCH", "NAME", "A1", "", "", "", 1, "R"},
              {"REF2", QVariant(), "1234567890", "1122334455", "250", "", "", "WDK", "0140397", "", "", "SITI", "", "", "", "", 2, "N"}}},
            {"credit", {"Trx Date", "Beneficiary Name", "Acc #", "BI Code", "Bank", "Branch", "Amount", "Transfer Type", "Remarks 1",
                        "Remarks 2", "Cust Type", "Cust Residence"},
             {{QVariant(), "ANDI", "1122334455", "0140397", "BANK", "BRANCH", "1500000.5", "WDK", "R1", "R2", 1, "R"},
              {QVariant(), "SITI", "5544332211", "0140397", "BANK", "BRANCH", "250", "WDK", "", "", 2, "N"}}},
            {"collection", {"Trx Date", "Acc Name", "Acc #", "Amount", "Remarks 1", "Remarks 2", "Residence Status", "Citizen Status"},
             {{QVariant(), "SITI", "1000000001", "1500000.5", "R1", "R2", 1, 0}, {QVariant(), "ANDI", "1000000002", "250", "", "", 0, 1}}},
            {"payroll", {"Trx Date", "Employee Name", "Acc #", "Amount", "Employee ID", "Department"},
             {{QVariant(), "DEWI", "3333333333", "1500000.5", "E1", "D1"}, {QVariant(), "BUDI", "4444444444", "250", "E2", "D2"}}}};
}

} // namespace
