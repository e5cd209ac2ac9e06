// The security a BSS advertises: its RSN element and WPA vendor element,
// parsed with every count checked against the element's length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace wlanlinux {

// Suite types within one OUI (00-0F-AC for RSN, 00-50-F2 for WPA), as bit
// sets: bit n stands for suite type n. Types above 31 and suites of other
// OUIs are not represented.
struct SuiteSets {
    std::uint32_t group = 0;     // one bit: the group cipher
    std::uint32_t pairwise = 0;  // pairwise ciphers
    std::uint32_t akms = 0;      // key management suites
};

// Parses an RSN element body (after ID and length). Absent trailing parts take
// their defaults: CCMP ciphers and 802.1X key management. Empty for a body
// that is too short, of another version, or whose counts run past its end.
std::optional<SuiteSets> ParseRsnBody(const std::uint8_t* body, std::size_t length);

// Parses a WPA element body (after OUI and type). Defaults: TKIP, 802.1X.
std::optional<SuiteSets> ParseWpaBody(const std::uint8_t* body, std::size_t length);

// The 00-0F-AC suite type of a cipher suite selector such as 0x000FAC04, or
// -1 for another OUI.
int RsnCipherType(std::uint32_t selector);

}  // namespace wlanlinux
