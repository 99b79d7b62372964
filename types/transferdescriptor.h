#pragma once

#include "typedescriptor.h"

namespace kova {

// The mapped fields of a transfer, in the order of transferDescriptor().fields.
enum class TransferField {
    TrxRef, TrxDate, FromAcc, ToAcc, Amount, Remarks1, Remarks2, Remittance,
    BICode, Bank, Branch, Beneficiary, Address1, Address2, Address3, Address4,
    CustType, Residence, Count
};

const TypeDescriptor& transferDescriptor();

} // namespace kova
