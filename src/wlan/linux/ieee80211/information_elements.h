// Information elements as a BSS sends them: a bounded walk over the element
// list and a summary of the elements this layer uses. The bytes come from the
// air, so every read is bounded by the buffer and by each element's length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wlan/wlan_types.h"

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

// A view of one byte range inside the element buffer.
struct ByteView {
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    bool present = false;
};

// What one BSS's elements say, as far as this layer needs it. The views point
// into the buffer given to SummarizeElements.
struct ElementSummary {
    ByteView ssid;  // at most 32 bytes when present
    bool hasDsssRates = false;  // 1, 2, 5.5 or 11 Mb/s
    bool hasOfdmRates = false;  // 6 to 54 Mb/s
    bool hasHt = false;
    bool hasVht = false;
    bool hasHe = false;
    bool hasEht = false;
    ByteView rsn;  // the RSN element's body
    ByteView wpa;  // the WPA vendor element's body after OUI and type
};

// Walks the list once; the first valid instance of each element counts. An
// element shorter or longer than its kind allows is ignored.
ElementSummary SummarizeElements(const std::uint8_t* data, std::size_t length);

// Whether a BSS on this frequency is a DMG (60 GHz) one.
bool IsDmgFrequency(std::uint32_t frequencyMhz);

// The PHY types a BSS on `frequencyMhz` with these elements supports, in the
// platform's enumeration, legacy type first. Returns how many were written
// (at most 8).
std::size_t ListPhyTypes(std::uint32_t frequencyMhz, const ElementSummary& summary,
                         DOT11_PHY_TYPE (&types)[WLAN_MAX_PHY_TYPE_NUMBER]);

}  // namespace wlanlinux
