#include "wlan/linux/profiles/profile_texts.h"

namespace wlanlinux {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool AppendByte(char highDigit, char lowDigit, std::string& bytes) {
    const int high = HexDigit(highDigit);
    const int low = HexDigit(lowDigit);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<char>(high * 16 + low));
    return true;
}

}  // namespace

bool DecodeHex(std::string_view hex, std::string& bytes) {
    if (hex.size() % 2 != 0) return false;
    std::string decoded;
    for (std::size_t i = 0; i != hex.size(); i += 2)
        if (!AppendByte(hex[i], hex[i + 1], decoded)) return false;
    bytes = std::move(decoded);
    return true;
}

bool DecodeAddress(std::string_view text, std::string& bytes) {
    if (text.size() != 17) return false;
    std::string decoded;
    for (std::size_t i = 0; i != 6; ++i)
        if (!AppendByte(text[3 * i], text[3 * i + 1], decoded) || (i != 5 && text[3 * i + 2] != ':'))
            return false;
    bytes = std::move(decoded);
    return true;
}

}  // namespace wlanlinux
