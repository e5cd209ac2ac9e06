// NarrowUnits: wide text to report bytes, the bulk of a print's text.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#ifdef __SSE2__
// Whether all eight units are 0x01..0xFF: none zero, none past one byte.
inline bool AllOneByte(__m128i units) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i oneByte = _mm_cmpeq_epi16(_mm_srli_epi16(units, 8), zero);
    return _mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi16(units, zero), oneByte)) == 0xFFFF;
}
#endif

// Writes units up to the first zero unit, at most n, one byte each: units
// below 0x100 as themselves, others as "?". Returns how many it wrote.
// With SSE2, eight units at a time while all eight are 0x01..0xFF.
template <typename C>
inline std::size_t NarrowUnits(char* out, const C* text, std::size_t n) {
    static_assert(sizeof(C) == 2);
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        if (!AllOneByte(units)) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(units, units));
    }
    // The last units of a longer text: the last eight again, overlapping.
    if (i < n && n >= 8 && i + 8 > n) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + n - 8));
        if (AllOneByte(units)) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + n - 8), _mm_packus_epi16(units, units));
            return n;
        }
    }
#endif
    for (; i < n && text[i] != 0; ++i) {
        const auto unit = static_cast<std::uint32_t>(text[i]);
        out[i] = unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    return i;
}
