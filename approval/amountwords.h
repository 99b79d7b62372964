#pragma once

#include "record/money.h"

#include <QString>

namespace kova {

// An amount in rupiah written out in English words, as an approver reads it
// beside the figures: 150000050 gives "One million five hundred thousand
// rupiah and fifty sen"; a whole amount names no sen.
QString amountInWords(Cents amount);

} // namespace kova
