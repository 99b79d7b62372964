#pragma once

#include "types/batchtype.h"

#include <QString>

namespace kova {

// A detail record with what differs between two exports of the same rows
// left out: the parts that number the record or repeat the batch's header
// data. What remains is the payment itself (accounts, amount, names,
// references, routing), so two records are the same payment exactly when
// their payment parts are equal.
QString paymentPart(BatchType type, const QString& detailRecord);

} // namespace kova
