#pragma once

#include <QString>

namespace kova {

// What the user is told of a workbook saved with a password: it opens without
// sheets, and only saving it without the password makes it readable.
inline QString passwordProtectedText()
{
    return QStringLiteral("Workbook is password-protected: save it without a password and choose it again");
}

} // namespace kova
