#pragma once

#include "types/batchtype.h"

#include <QString>

namespace kova {

// Writes an .xlsx template for type at path: one sheet named after the type,
// one frozen header row with the captions of its fields, each
// column formatted for its field ("@" for text, "0.00" for amounts,
// "yyyy-mm-dd" for dates) and wide enough for its caption. Empty on success,
// else "Template could not be written: <reason>".
QString writeTemplate(BatchType type, const QString& path);

} // namespace kova
