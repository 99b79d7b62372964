#pragma once

#include <QString>

namespace reader {

// Why a workbook saved with a password did not open, as every format says it.
inline QString passwordProblem(bool passwordGiven)
{
    return passwordGiven ? QStringLiteral("the password is wrong") : QStringLiteral("a password is needed to open it");
}

} // namespace reader
