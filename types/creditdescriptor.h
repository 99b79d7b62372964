#pragma once

#include "typedescriptor.h"

namespace kova {

// The mapped fields of a credit, in the order of creditDescriptor().fields.
enum class CreditField {
    TrxDate, BeneficiaryName, Account, BICode, Bank, Branch, Amount, TransferType,
    Remarks1, Remarks2, CustType, Residence, Count
};

// Note the key "Beneficary" of BeneficiaryName: it is the file format.
const TypeDescriptor& creditDescriptor();

} // namespace kova
