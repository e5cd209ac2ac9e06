#include "wlan/linux/ieee80211/security_suites.h"

#include "wlan/linux/ieee80211/suite_selectors.h"

namespace wlanlinux {
namespace {

constexpr std::uint32_t Bit(unsigned type) { return std::uint32_t{1} << type; }

// The type of a selector of `oui`, or -1 for another OUI.
int SuiteType(std::uint32_t selector, std::uint32_t oui) {
    if ((selector >> 8) != oui) return -1;
    return static_cast<int>(selector & 0xff);
}

// Reads the element's fields in order; running out of bytes exactly between
// fields leaves the rest at their defaults, running out inside one is an error.
class SuiteReader {
public:
    SuiteReader(const std::uint8_t* data, std::size_t length, std::uint32_t oui)
        : data_(data), remaining_(length), oui_(oui) {}

    bool AtEnd() const { return remaining_ == 0; }

    bool ReadU16(std::uint16_t& value) {
        if (remaining_ < 2) return false;
        value = static_cast<std::uint16_t>(data_[0] | (data_[1] << 8));
        Advance(2);
        return true;
    }

    // One suite; adds its type to `set` when it has our OUI and a type below 32.
    bool ReadSuite(std::uint32_t& set) {
        if (remaining_ < 4) return false;
        const int type = SuiteType(ReadSelector(data_), oui_);
        if (type >= 0 && type < 32) set |= Bit(static_cast<unsigned>(type));
        Advance(4);
        return true;
    }

    // A count and that many suites; the count is checked against what is left
    // before any suite is read.
    bool ReadSuiteList(std::uint32_t& set) {
        std::uint16_t count = 0;
        if (!ReadU16(count)) return false;
        if (static_cast<std::size_t>(count) * 4 > remaining_) return false;
        for (std::uint16_t i = 0; i != count; ++i) ReadSuite(set);
        return true;
    }

private:
    void Advance(std::size_t bytes) {
        data_ += bytes;
        remaining_ -= bytes;
    }

    const std::uint8_t* data_;
    std::size_t remaining_;
    std::uint32_t oui_;
};

std::optional<SuiteSets> ParseSuiteBody(const std::uint8_t* body, std::size_t length,
                                        std::uint32_t oui, unsigned defaultCipher) {
    if (body == nullptr) return std::nullopt;
    SuiteReader reader(body, length, oui);
    std::uint16_t version = 0;
    if (!reader.ReadU16(version) || version != 1) return std::nullopt;

    SuiteSets sets;
    sets.group = Bit(defaultCipher);
    sets.pairwise = Bit(defaultCipher);
    sets.akms = Bit(kAkm8021X);
    if (reader.AtEnd()) return sets;
    std::uint32_t group = 0;
    if (!reader.ReadSuite(group)) return std::nullopt;
    sets.group = group;
    if (reader.AtEnd()) return sets;
    std::uint32_t pairwise = 0;
    if (!reader.ReadSuiteList(pairwise)) return std::nullopt;
    sets.pairwise = pairwise;
    if (reader.AtEnd()) return sets;
    std::uint32_t akms = 0;
    if (!reader.ReadSuiteList(akms)) return std::nullopt;
    sets.akms = akms;
    // RSN capabilities, PMKIDs and the management group cipher are not needed.
    return sets;
}

}  // namespace

std::optional<SuiteSets> ParseRsnBody(const std::uint8_t* body, std::size_t length) {
    return ParseSuiteBody(body, length, kOuiRsn, kCipherCcmp);
}

std::optional<SuiteSets> ParseWpaBody(const std::uint8_t* body, std::size_t length) {
    return ParseSuiteBody(body, length, kOuiWpa, kCipherTkip);
}

int RsnCipherType(std::uint32_t selector) { return SuiteType(selector, kOuiRsn); }

}  // namespace wlanlinux
