#pragma once

#include "money.h"

namespace kova {

// What the log's closing lines tell about a run's rows.
struct Summary
{
    int processedRows = 0;   // rows that passed the filters
    int dataRows = 0;        // rows of the sheet below its column header
    Cents total = 0;
    int warnings = 0;
    int errors = 0;
};

} // namespace kova
