#include "wlan/linux/platform/utf16_text.h"

#include <cstdint>

namespace wlanlinux {
namespace {

constexpr char32_t kReplacement = 0xfffd;

// Decodes one code point at `text`; `consumed` is how many bytes it used (one
// for an invalid byte, which decodes as U+FFFD).
char32_t DecodeOne(const unsigned char* text, std::size_t length, std::size_t& consumed) {
    consumed = 1;
    const unsigned char lead = text[0];
    if (lead < 0x80) return lead;
    std::size_t extra;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xc2 && lead <= 0xdf) { extra = 1; value = lead & 0x1f; minimum = 0x80; }
    else if (lead >= 0xe0 && lead <= 0xef) { extra = 2; value = lead & 0x0f; minimum = 0x800; }
    else if (lead >= 0xf0 && lead <= 0xf4) { extra = 3; value = lead & 0x07; minimum = 0x10000; }
    else return kReplacement;
    if (extra >= length) return kReplacement;
    for (std::size_t i = 1; i <= extra; ++i) {
        if ((text[i] & 0xc0) != 0x80) return kReplacement;
        value = (value << 6) | (text[i] & 0x3f);
    }
    if (value < minimum || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff))
        return kReplacement;
    consumed = extra + 1;
    return value;
}

}  // namespace

std::size_t AppendUtf8(char16_t* out, std::size_t capacity, std::size_t used, const char* text,
                       std::size_t length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t position = 0;
    while (position < length) {
        std::size_t consumed = 0;
        const char32_t point = DecodeOne(bytes + position, length - position, consumed);
        const std::size_t units = point > 0xffff ? 2 : 1;
        if (used + units + 1 > capacity) break;
        if (units == 2) {
            const char32_t offset = point - 0x10000;
            out[used++] = static_cast<char16_t>(0xd800 + (offset >> 10));
            out[used++] = static_cast<char16_t>(0xdc00 + (offset & 0x3ff));
        } else {
            out[used++] = static_cast<char16_t>(point);
        }
        position += consumed;
    }
    out[used] = 0;
    return used;
}

}  // namespace wlanlinux
