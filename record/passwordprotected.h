#pragma once

#include <QString>

namespace kova {

// What the user is told of a workbook saved with a password when no password
// was given for it: it opens without sheets.
inline QString passwordProtectedText()
{
    return QStringLiteral("Workbook is password-protected: save it without a password and choose it again");
}

// What the user is told when the password given for a workbook does not open it.
inline QString wrongPasswordText()
{
    return QStringLiteral("Wrong password for the workbook");
}

// What the user is told of a workbook that did not open for its password:
// that it has one, when none was given, or that the one given is wrong.
inline QString passwordProtectedText(bool passwordGiven)
{
    return passwordGiven ? wrongPasswordText() : passwordProtectedText();
}

} // namespace kova
