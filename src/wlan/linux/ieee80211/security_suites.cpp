#include "wlan/linux/ieee80211/security_suites.h"

#include <iterator>

#include "wlan/linux/ieee80211/information_elements.h"
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

// Key management kinds in the order a first connection prefers them.
enum class AkmKind { Sae, Owe, Enterprise192, Enterprise, Psk, None };

struct AkmRow {
    unsigned type;
    AkmKind kind;
    DOT11_AUTH_ALGORITHM auth;
};

constexpr AkmRow kRsnAkms[] = {
    {kAkmSae, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},
    {kAkmSaeExtKey, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},
    {kAkmFtSae, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},
    {kAkmFtSaeExtKey, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},
    {kAkmOwe, AkmKind::Owe, DOT11_AUTH_ALGO_OWE},
    {kAkmSuiteB192, AkmKind::Enterprise192, DOT11_AUTH_ALGO_WPA3},
    {kAkmFt8021XSha384, AkmKind::Enterprise192, DOT11_AUTH_ALGO_WPA3},
    {kAkm8021X, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkmFt8021X, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkm8021XSha256, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkmSuiteB, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkmFilsSha256, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkmFilsSha384, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkmFtFilsSha256, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkmFtFilsSha384, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkm8021XSha384, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {kAkmPsk, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},
    {kAkmFtPsk, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},
    {kAkmPskSha256, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},
    {kAkmFtPskSha384, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},
    {kAkmPskSha384, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},
};

constexpr AkmRow kWpaAkms[] = {
    {kAkm8021X, AkmKind::Enterprise, DOT11_AUTH_ALGO_WPA},
    {kAkmPsk, AkmKind::Psk, DOT11_AUTH_ALGO_WPA_PSK},
};

template <std::size_t N>
DOT11_AUTH_ALGORITHM ChooseAuth(std::uint32_t akms, const AkmRow (&table)[N], bool adapterHasSae,
                                DOT11_AUTH_ALGORITHM fallback) {
    // SAE without adapter support is the last resort: the only choice left.
    const AkmKind order[] = {AkmKind::Sae, AkmKind::Owe, AkmKind::Enterprise192,
                             AkmKind::Enterprise, AkmKind::Psk, AkmKind::Sae};
    for (std::size_t step = adapterHasSae ? 0 : 1; step != std::size(order); ++step) {
        for (const AkmRow& row : table)
            if (row.kind == order[step] && (akms & Bit(row.type)) != 0) return row.auth;
    }
    return fallback;
}

struct CipherRow {
    std::uint8_t type;
    DOT11_CIPHER_ALGORITHM cipher;
};

// Strongest first.
constexpr CipherRow kCipherPreference[] = {
    {kCipherGcmp256, DOT11_CIPHER_ALGO_GCMP_256},
    {kCipherCcmp256, DOT11_CIPHER_ALGO_CCMP_256},
    {kCipherGcmp, DOT11_CIPHER_ALGO_GCMP},
    {kCipherCcmp, DOT11_CIPHER_ALGO_CCMP},
    {kCipherTkip, DOT11_CIPHER_ALGO_TKIP},
    {kCipherWep104, DOT11_CIPHER_ALGO_WEP104},
    {kCipherWep40, DOT11_CIPHER_ALGO_WEP40},
};

DOT11_CIPHER_ALGORITHM StrongestCipher(std::uint32_t ciphers) {
    for (const CipherRow& row : kCipherPreference)
        if ((ciphers & Bit(row.type)) != 0) return row.cipher;
    return DOT11_CIPHER_ALGO_NONE;
}

// "Use the group cipher" as a pairwise choice means the group cipher.
std::uint32_t EffectivePairwise(const SuiteSets& sets) {
    std::uint32_t pairwise = sets.pairwise;
    if ((pairwise & Bit(kCipherUseGroup)) != 0) pairwise = (pairwise & ~Bit(kCipherUseGroup)) | sets.group;
    return pairwise;
}

template <std::size_t N>
SecuritySettings FromSuites(const SuiteSets& sets, const AkmRow (&table)[N], bool adapterHasSae,
                            DOT11_AUTH_ALGORITHM fallback) {
    SecuritySettings settings;
    settings.enabled = true;
    settings.auth = ChooseAuth(sets.akms, table, adapterHasSae, fallback);
    settings.pairwiseCiphers = EffectivePairwise(sets);
    settings.cipher = StrongestCipher(settings.pairwiseCiphers);
    return settings;
}

}  // namespace

std::optional<SuiteSets> ParseRsnBody(const std::uint8_t* body, std::size_t length) {
    return ParseSuiteBody(body, length, kOuiRsn, kCipherCcmp);
}

std::optional<SuiteSets> ParseWpaBody(const std::uint8_t* body, std::size_t length) {
    return ParseSuiteBody(body, length, kOuiWpa, kCipherTkip);
}

SecuritySettings DecideSecurity(bool privacy, const ElementSummary& elements, bool adapterHasSae) {
    if (elements.rsn.present) {
        if (const auto sets = ParseRsnBody(elements.rsn.data, elements.rsn.length))
            return FromSuites(*sets, kRsnAkms, adapterHasSae, DOT11_AUTH_ALGO_RSNA);
    }
    if (elements.wpa.present) {
        if (const auto sets = ParseWpaBody(elements.wpa.data, elements.wpa.length))
            return FromSuites(*sets, kWpaAkms, adapterHasSae, DOT11_AUTH_ALGO_WPA);
    }
    SecuritySettings settings;
    // A malformed RSN or WPA element still says the network is protected.
    settings.enabled = privacy || elements.rsn.present || elements.wpa.present;
    if (privacy) {
        settings.cipher = DOT11_CIPHER_ALGO_WEP;
        settings.pairwiseCiphers = Bit(kCipherWep40) | Bit(kCipherWep104);
    }
    return settings;
}

int RsnCipherType(std::uint32_t selector) { return SuiteType(selector, kOuiRsn); }

}  // namespace wlanlinux
