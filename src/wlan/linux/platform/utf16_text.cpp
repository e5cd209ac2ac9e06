#include "wlan/linux/platform/utf16_text.h"

#include "text/utf8.h"

namespace wlanlinux {

std::size_t AppendUtf8(char16_t* out, std::size_t capacity, std::size_t used, const char* text,
                       std::size_t length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t position = 0;
    while (position < length) {
        char32_t point = 0;
        std::size_t consumed = DecodeUtf8(bytes + position, length - position, point);
        if (consumed == 0) {
            point = 0xFFFD;  // for the first byte; the next is decoded anew
            consumed = 1;
        }
        const std::size_t units = point > 0xFFFF ? 2 : 1;
        if (used + units + 1 > capacity) break;
        if (units == 2) {
            const char32_t offset = point - 0x10000;
            out[used++] = static_cast<char16_t>(0xD800 + (offset >> 10));
            out[used++] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        } else {
            out[used++] = static_cast<char16_t>(point);
        }
        position += consumed;
    }
    out[used] = 0;
    return used;
}

}  // namespace wlanlinux
