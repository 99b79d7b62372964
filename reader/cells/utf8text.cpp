#include "utf8text.h"

namespace reader {

void assignUtf8(QString& into, std::string_view utf8)
{
    if (!into.isDetached()) {
        into = QString();
        if (utf8.empty())
            return;
    }
    // ASCII, nearly every cell of a sheet, is widened in place in one pass
    // that notes any byte beyond it; such text is decoded as Qt decodes it,
    // invalid sequences included.
    const int size = int(utf8.size());
    into.resize(size);
    char16_t* const out = reinterpret_cast<char16_t*>(into.data());
    unsigned char seen = 0;
    for (int i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[std::size_t(i)]);
        seen |= byte;
        out[i] = byte;
    }
    if (seen >= 0x80)
        into = QString::fromUtf8(utf8.data(), size);
}

} // namespace reader
