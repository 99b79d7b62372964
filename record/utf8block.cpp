#include "utf8block.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kova {

// Without a branch a character; with SSE2, eight characters a step.
bool asciiAt(char*& out, const QString& text)
{
    const ushort* const utf16 = reinterpret_cast<const ushort*>(text.constData());
    const int size = text.size();
    int i = 0;
    bool ascii = true;
#ifdef __SSE2__
    __m128i seen = _mm_setzero_si128();
    for (; i + 8 <= size; i += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(utf16 + i));
        seen = _mm_or_si128(seen, eight);
        // Characters beyond Latin-1 pack to other bytes; the text is then
        // written again its own way.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(eight, eight));
    }
    const __m128i beyond = _mm_and_si128(seen, _mm_set1_epi16(short(0xFF80)));
    ascii = _mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())) == 0xFFFF;
#endif
    ushort rest = 0;
    for (; i < size; ++i) {
        rest |= utf16[i];
        out[i] = char(utf16[i]);
    }
    out += size;
    return ascii && rest < 0x80;
}

void appendUtf8(QByteArray& block, const QString& text)
{
    const int at = block.size();
    block.resize(at + text.size());
    char* out = block.data() + at;
    if (asciiAt(out, text))
        return;
    block.resize(at);
    block += text.toUtf8();
}

} // namespace kova
