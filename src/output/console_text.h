// What a console is shown of a text argument. Texts from the air must neither
// drive the terminal (controls) nor disguise themselves (bidirectional
// controls reorder what follows; bytes a lenient terminal decodes to controls
// do the former), so on a console:
//   wide text: a unit below 0x20, 0x7F to 0x9F, or past one byte prints "?";
//   byte text: a character passes only as well-formed UTF-8 (shortest form, no
//     surrogate, at most U+10FFFF) that is no control (C0, DEL, C1) and no
//     bidirectional control (U+061C, U+200E, U+200F, U+202A..U+202E, U+2066..U+2069);
//     every byte of anything else prints "?".
// Files and pipes get every byte; these rules are for a console only.
#pragma once

#include <cstddef>
#include <cstdint>

inline char ConsoleUnit(std::uint32_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit >= 0x100 ? '?' : static_cast<char>(unit);
}

inline bool IsBidiControl(std::uint32_t code) {
    return code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

// The number of bytes (1 to 4) of the character `text` starts with when that
// character may be shown on a console, or 0 when its first byte prints "?".
// Reads at most `size` bytes (size >= 1).
inline std::size_t ConsoleCharacterLength(const unsigned char* text, std::size_t size) {
    const unsigned char lead = text[0];
    if (lead < 0x80) return lead < 0x20 || lead == 0x7F ? 0 : 1;
    // The range of the second byte excludes the overlong forms (E0, F0), the
    // surrogates (ED) and what lies past U+10FFFF (F4).
    std::size_t length = 0;
    std::uint32_t code = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;  // a continuation byte, an overlong lead (C0, C1), or F5..FF
    }
    if (size < length) return 0;
    for (std::size_t i = 1; i != length; ++i) {
        const unsigned char byte = text[i];
        if (byte < low || byte > high) return 0;
        code = code << 6 | (byte & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return code <= 0x9F || IsBidiControl(code) ? 0 : length;  // two-byte forms start at U+0080: C1
}
