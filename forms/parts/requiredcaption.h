#pragma once

#include <QString>

// A mapping label's caption with the red asterisk that marks its field as
// required in the current mode (the label shows rich text).
inline QString requiredCaption(const QString& text)
{
    return text + QStringLiteral("<span style=\"color:rgb(255,0,0)\">*</span>");
}
