// Information elements as a BSS sends them: a bounded walk over the element
// list and the facts of the elements this layer reads. The bytes come from the
// air, so every read is bounded by the buffer and by each element's length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "wlan/linux/ieee80211/security_suites.h"

namespace wlanlinux {

// Element IDs this layer reads.
inline constexpr std::uint8_t kElementSsid = 0;
inline constexpr std::uint8_t kElementSupportedRates = 1;
inline constexpr std::uint8_t kElementHtCapabilities = 45;
inline constexpr std::uint8_t kElementRsn = 48;
inline constexpr std::uint8_t kElementExtendedRates = 50;
inline constexpr std::uint8_t kElementVhtCapabilities = 191;
inline constexpr std::uint8_t kElementVendor = 221;
inline constexpr std::uint8_t kElementExtension = 255;
inline constexpr std::uint8_t kExtensionHeCapabilities = 35;
inline constexpr std::uint8_t kExtensionEhtCapabilities = 108;

inline constexpr std::size_t kSsidMaxLength = 32;

// One element. For an extension element (ID 255) `extension` is its extension
// ID and `body` starts after it; otherwise `extension` is 0.
struct Element {
    std::uint8_t id = 0;
    std::uint8_t extension = 0;
    const std::uint8_t* body = nullptr;
    std::size_t length = 0;
};

// Steps through an element list. An element whose length runs past the end of
// the buffer (or an extension element without its extension ID) ends the
// walk: nothing after it can be trusted to be aligned on an element.
class ElementCursor {
public:
    ElementCursor(const std::uint8_t* data, std::size_t length) : data_(data), remaining_(length) {}
    bool Next(Element& element);

private:
    const std::uint8_t* data_;
    std::size_t remaining_;
};

// The SSID element's bytes, copied out of the element list.
struct SsidBytes {
    std::uint8_t data[kSsidMaxLength] = {};
    std::size_t length = 0;
    bool present = false;
};

// What one BSS's elements say, as far as this layer reads them. An element
// counts when it is present and of a length its kind allows; the first such
// instance of each kind is the one read.
struct ElementSummary {
    SsidBytes ssid;
    bool hasDsssRates = false;  // 1, 2, 5.5 or 11 Mb/s
    bool hasOfdmRates = false;  // 6 to 54 Mb/s
    bool hasHt = false;
    bool hasVht = false;
    bool hasHe = false;
    bool hasEht = false;
    bool hasRsn = false;           // an RSN element, well-formed or not
    std::optional<SuiteSets> rsn;  // its suites, when well-formed
    bool hasWpa = false;           // the WPA vendor element, likewise
    std::optional<SuiteSets> wpa;
    // The OWE transition vendor element (50-6F-9A type 0x1C), and whether its
    // BSSID, SSID length and SSID fit it.
    bool hasOweTransition = false;
    bool oweTransitionWellFormed = false;
};

// Walks the list once.
ElementSummary SummarizeElements(const std::uint8_t* data, std::size_t length);

enum class Band { Unknown, Band2GHz, Band5GHz, Band6GHz, Band60GHz };

Band BandOf(std::uint32_t frequencyMhz);

}  // namespace wlanlinux
