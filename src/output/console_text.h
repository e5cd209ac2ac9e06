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

#include "text/utf8.h"

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
    char32_t code = 0;
    const std::size_t length = DecodeUtf8(text, size, code);
    const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
    return control || IsBidiControl(code) ? 0 : length;
}
