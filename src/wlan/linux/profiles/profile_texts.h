// Texts the managers write bytes as: hex digits, and hardware addresses.
#pragma once

#include <string>
#include <string_view>

namespace wlanlinux {

// Pairs of hex digits (either case) as bytes. False for an odd length or a
// character that is no hex digit (`bytes` is then unchanged).
bool DecodeHex(std::string_view hex, std::string& bytes);

// "aa:bb:cc:dd:ee:ff" as its 6 bytes. False for anything else (`bytes` is
// then unchanged).
bool DecodeAddress(std::string_view text, std::string& bytes);

}  // namespace wlanlinux
