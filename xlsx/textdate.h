#pragma once

#include "textoptions.h"

#include <QDate>

#include <cstddef>

namespace xlsx {

// The date a cell of delimited text holds, when the whole cell is a date in
// a form that leaves no doubt: yyyy-mm-dd, or day, month and four-digit year
// separated by '/', '-' or '.' (one or two digits each for day and month), in
// the given order. An invalid QDate for anything else, 2026-02-30 included,
// so the cell stays text.
QDate textDate(const char* utf8, std::size_t size, DateOrder order);

} // namespace xlsx
