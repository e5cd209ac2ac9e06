// UTF-8 decoding for the report's console rule and the Linux layer's UTF-16
// fields. Portable and free of other includes of ours: every folder of src/
// may include it.
#pragma once

#include <cstddef>

// Decodes the character `text` starts with, reading at most `size` bytes
// (size >= 1): sets `code` and returns its length in bytes (1 to 4). Returns 0
// when the first byte starts no well-formed character: a continuation byte, a
// lead byte never used (C0, C1, F5..FF), a character cut short, an overlong
// form, a surrogate or a code past U+10FFFF.
inline std::size_t DecodeUtf8(const unsigned char* text, std::size_t size, char32_t& code) {
    const unsigned char lead = text[0];
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (size < length) return 0;
    for (std::size_t i = 1; i != length; ++i) {
        if ((text[i] & 0xC0u) != 0x80) return 0;
        code = code << 6 | (text[i] & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}
