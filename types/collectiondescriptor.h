#pragma once

#include "typedescriptor.h"

namespace kova {

// The mapped fields of a collection, in the order of collectionDescriptor().fields.
enum class CollectionField {
    TrxDate, AccountName, AccountNumber, Amount, Remarks1, Remarks2, Residence, Citizen, Count
};

const TypeDescriptor& collectionDescriptor();

} // namespace kova
