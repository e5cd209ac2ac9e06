// The named selectors of the RSN and WPA elements: an OUI and a type within
// it, for the AKM suites, the cipher suites and the WPA vendor element.
#pragma once

#include <cstdint>

namespace wlanlinux {

// The OUIs that qualify the suite types below.
inline constexpr std::uint32_t kOuiRsn = 0x000fac;  // 00-0F-AC: the RSN element's suites
inline constexpr std::uint32_t kOuiWpa = 0x0050f2;  // 00-50-F2: the WPA vendor element's

// A selector as one number, OUI then type: 00-0F-AC type 4 is 0x000FAC04, as
// nl80211 lists cipher suites.
constexpr std::uint32_t SuiteSelector(std::uint32_t oui, std::uint8_t type) {
    return (oui << 8) | type;
}

// The selector in the four bytes at `bytes` (OUI first, then the type).
constexpr std::uint32_t ReadSelector(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

// The vendor element that carries WPA: OUI 00-50-F2, type 1.
inline constexpr std::uint32_t kWpaElementSelector = SuiteSelector(kOuiWpa, 1);

// The vendor element of the OWE transition mode: OUI 50-6F-9A, type 0x1C.
inline constexpr std::uint32_t kOweTransitionSelector = SuiteSelector(0x506f9a, 0x1c);

// AKM suite types of 00-0F-AC. The WPA element uses 1 and 2 of 00-50-F2 alike.
inline constexpr std::uint8_t kAkm8021X = 1;
inline constexpr std::uint8_t kAkmPsk = 2;
inline constexpr std::uint8_t kAkmFt8021X = 3;
inline constexpr std::uint8_t kAkmFtPsk = 4;
inline constexpr std::uint8_t kAkm8021XSha256 = 5;
inline constexpr std::uint8_t kAkmPskSha256 = 6;
inline constexpr std::uint8_t kAkmSae = 8;
inline constexpr std::uint8_t kAkmFtSae = 9;
inline constexpr std::uint8_t kAkmSuiteB = 11;
inline constexpr std::uint8_t kAkmSuiteB192 = 12;
inline constexpr std::uint8_t kAkmFt8021XSha384 = 13;
inline constexpr std::uint8_t kAkmFilsSha256 = 14;
inline constexpr std::uint8_t kAkmFilsSha384 = 15;
inline constexpr std::uint8_t kAkmFtFilsSha256 = 16;
inline constexpr std::uint8_t kAkmFtFilsSha384 = 17;
inline constexpr std::uint8_t kAkmOwe = 18;
inline constexpr std::uint8_t kAkmFtPskSha384 = 19;
inline constexpr std::uint8_t kAkmPskSha384 = 20;
inline constexpr std::uint8_t kAkm8021XSha384 = 23;
inline constexpr std::uint8_t kAkmSaeExtKey = 24;
inline constexpr std::uint8_t kAkmFtSaeExtKey = 25;

// Cipher suite types of 00-0F-AC. The WPA element uses 2 and 4 of 00-50-F2 alike.
inline constexpr std::uint8_t kCipherUseGroup = 0;
inline constexpr std::uint8_t kCipherWep40 = 1;
inline constexpr std::uint8_t kCipherTkip = 2;
inline constexpr std::uint8_t kCipherCcmp = 4;
inline constexpr std::uint8_t kCipherWep104 = 5;
inline constexpr std::uint8_t kCipherGcmp = 8;
inline constexpr std::uint8_t kCipherGcmp256 = 9;
inline constexpr std::uint8_t kCipherCcmp256 = 10;

}  // namespace wlanlinux
