#include "wlan/linux/ieee80211/information_elements.h"

#include <cstring>

#include "wlan/linux/ieee80211/suite_selectors.h"

namespace wlanlinux {
namespace {

// Rates in 500 kb/s units, without the basic-rate bit.
bool IsDsssRate(std::uint8_t rate) { return rate == 2 || rate == 4 || rate == 11 || rate == 22; }
bool IsOfdmRate(std::uint8_t rate) {
    switch (rate) {
        case 12: case 18: case 24: case 36: case 48: case 72: case 96: case 108: return true;
        default: return false;
    }
}

void NoteRates(const Element& element, ElementSummary& summary) {
    for (std::size_t i = 0; i != element.length; ++i) {
        const std::uint8_t rate = element.body[i] & 0x7f;
        summary.hasDsssRates = summary.hasDsssRates || IsDsssRate(rate);
        summary.hasOfdmRates = summary.hasOfdmRates || IsOfdmRate(rate);
    }
}

void NoteSsid(const Element& element, ElementSummary& summary) {
    if (summary.ssid.present) return;
    summary.ssid.present = true;
    summary.ssid.length = element.length;
    std::memcpy(summary.ssid.data, element.body, element.length);
}

void NoteRsn(const Element& element, ElementSummary& summary) {
    if (summary.hasRsn) return;
    summary.hasRsn = true;
    summary.rsn = ParseRsnBody(element.body, element.length);
}
void NoteHt(const Element&, ElementSummary& summary) { summary.hasHt = true; }
void NoteVht(const Element&, ElementSummary& summary) { summary.hasVht = true; }
void NoteHe(const Element&, ElementSummary& summary) { summary.hasHe = true; }
void NoteEht(const Element&, ElementSummary& summary) { summary.hasEht = true; }

// After OUI and type: the other BSS's BSSID, its SSID's length and SSID, and
// optionally its band and channel.
bool IsWellFormedOweTransition(const std::uint8_t* body, std::size_t length) {
    if (length < 7) return false;
    const std::size_t rest = length - 7;
    return body[6] <= kSsidMaxLength && (rest == body[6] || rest == body[6] + 2u);
}

// The WPA and OWE transition elements among the vendor specific ones.
void NoteVendor(const Element& element, ElementSummary& summary) {
    const std::uint32_t selector = ReadSelector(element.body);
    if (selector == kWpaElementSelector && !summary.hasWpa) {
        summary.hasWpa = true;
        summary.wpa = ParseWpaBody(element.body + 4, element.length - 4);
    } else if (selector == kOweTransitionSelector && !summary.hasOweTransition) {
        summary.hasOweTransition = true;
        summary.oweTransitionWellFormed = IsWellFormedOweTransition(element.body + 4, element.length - 4);
    }
}

struct ElementRule {
    std::uint8_t id;
    std::uint8_t extension;
    std::size_t minLength;  // of the body (after the extension ID for ID 255)
    std::size_t maxLength;
    void (*note)(const Element&, ElementSummary&);
};

// One row per element this layer reads; lengths are the standard's bounds.
constexpr ElementRule kElementRules[] = {
    {kElementSsid, 0, 0, kSsidMaxLength, NoteSsid},
    {kElementSupportedRates, 0, 1, 255, NoteRates},
    {kElementExtendedRates, 0, 1, 255, NoteRates},
    {kElementHtCapabilities, 0, 26, 255, NoteHt},
    {kElementRsn, 0, 2, 255, NoteRsn},
    {kElementVhtCapabilities, 0, 12, 255, NoteVht},
    {kElementVendor, 0, 4, 255, NoteVendor},
    {kElementExtension, kExtensionHeCapabilities, 21, 254, NoteHe},
    {kElementExtension, kExtensionEhtCapabilities, 14, 254, NoteEht},
};

}  // namespace

Band BandOf(std::uint32_t mhz) {
    if (mhz >= 2400 && mhz <= 2500) return Band::Band2GHz;
    if (mhz >= 4900 && mhz < 5925) return Band::Band5GHz;
    if (mhz >= 5925 && mhz <= 7125) return Band::Band6GHz;
    if (mhz >= 57000 && mhz <= 71000) return Band::Band60GHz;
    return Band::Unknown;
}

bool ElementCursor::Next(Element& element) {
    if (remaining_ < 2) return false;
    const std::uint8_t id = data_[0];
    const std::size_t length = data_[1];
    if (length > remaining_ - 2) {
        remaining_ = 0;
        return false;
    }
    element = {id, 0, data_ + 2, length};
    data_ += 2 + length;
    remaining_ -= 2 + length;
    if (id == kElementExtension) {
        if (length == 0) {
            remaining_ = 0;
            return false;
        }
        element.extension = element.body[0];
        element.body += 1;
        element.length -= 1;
    }
    return true;
}

ElementSummary SummarizeElements(const std::uint8_t* data, std::size_t length) {
    ElementSummary summary;
    if (data == nullptr) return summary;
    ElementCursor cursor(data, length);
    Element element;
    while (cursor.Next(element)) {
        for (const ElementRule& rule : kElementRules) {
            if (rule.id != element.id || rule.extension != element.extension) continue;
            if (element.length >= rule.minLength && element.length <= rule.maxLength)
                rule.note(element, summary);
            break;
        }
    }
    return summary;
}

}  // namespace wlanlinux
