#pragma once

#include <QString>

// A mapping label's caption with the red asterisk that marks its field as
// required in the current mode (the label shows rich text); a red dark
// enough to read at 4.5:1 on the window's grey.
inline QString requiredCaption(const QString& text)
{
    return text + QStringLiteral("<span style=\"color:#c0262f\">*</span>");
}
