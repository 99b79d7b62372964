#pragma once

#include "money.h"

#include <QStringList>

namespace kova {

// What the log's closing lines tell about a run's rows.
struct Summary
{
    int processedRows = 0;   // rows that passed the filters
    int dataRows = 0;        // rows of the sheet below its column header
    Cents total = 0;
    int warnings = 0;
    int errors = 0;
    // A note per reason the filters left rows out: "3 LLG/RTGS rows left out
    // in WDK mode". Not part of the closing lines above.
    QStringList leftOut;
};

} // namespace kova
