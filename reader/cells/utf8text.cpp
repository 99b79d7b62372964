#include "utf8text.h"

#include <algorithm>

namespace reader {

void assignUtf8(QString& into, std::string_view utf8)
{
    // ASCII, nearly every cell of a sheet, is widened in place; anything else
    // is decoded as Qt decodes it, invalid sequences included.
    const auto beyondAscii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    if (std::any_of(utf8.begin(), utf8.end(), beyondAscii)) {
        into = QString::fromUtf8(utf8.data(), int(utf8.size()));
        return;
    }
    if (!into.isDetached()) {
        into = QString();
        if (utf8.empty())
            return;
    }
    into.resize(int(utf8.size()));
    std::transform(utf8.begin(), utf8.end(), into.data(), [](char c) { return QChar(QLatin1Char(c)); });
}

} // namespace reader
