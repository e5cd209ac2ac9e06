#include "wlan/linux/security_suites.h"

#include <iterator>

#include "wlan/linux/information_elements.h"

namespace wlanlinux {
namespace {

constexpr std::uint8_t kRsnOui[3] = {0x00, 0x0f, 0xac};
constexpr std::uint8_t kWpaOui[3] = {0x00, 0x50, 0xf2};

constexpr std::uint32_t Bit(unsigned type) { return std::uint32_t{1} << type; }

constexpr unsigned kCipherUseGroup = 0;
constexpr unsigned kCipherWep40 = 1;
constexpr unsigned kCipherTkip = 2;
constexpr unsigned kCipherCcmp = 4;
constexpr unsigned kCipherWep104 = 5;
constexpr unsigned kAkm8021X = 1;

// Reads the element's fields in order; running out of bytes exactly between
// fields leaves the rest at their defaults, running out inside one is an error.
class SuiteReader {
public:
    SuiteReader(const std::uint8_t* data, std::size_t length, const std::uint8_t (&oui)[3])
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
        if (data_[0] == oui_[0] && data_[1] == oui_[1] && data_[2] == oui_[2] && data_[3] < 32)
            set |= Bit(data_[3]);
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
    const std::uint8_t (&oui_)[3];
};

std::optional<SuiteSets> Fail(SuiteError* error, SuiteError reason) {
    if (error != nullptr) *error = reason;
    return std::nullopt;
}

std::optional<SuiteSets> ParseSuiteBody(const std::uint8_t* body, std::size_t length,
                                        const std::uint8_t (&oui)[3], unsigned defaultCipher,
                                        SuiteError* error) {
    if (error != nullptr) *error = SuiteError::None;
    if (body == nullptr) return Fail(error, SuiteError::TooShort);
    SuiteReader reader(body, length, oui);
    std::uint16_t version = 0;
    if (!reader.ReadU16(version)) return Fail(error, SuiteError::TooShort);
    if (version != 1) return Fail(error, SuiteError::BadVersion);

    SuiteSets sets;
    sets.group = Bit(defaultCipher);
    sets.pairwise = Bit(defaultCipher);
    sets.akms = Bit(kAkm8021X);
    if (reader.AtEnd()) return sets;
    std::uint32_t group = 0;
    if (!reader.ReadSuite(group)) return Fail(error, SuiteError::TooShort);
    sets.group = group;
    if (reader.AtEnd()) return sets;
    std::uint32_t pairwise = 0;
    if (!reader.ReadSuiteList(pairwise)) return Fail(error, SuiteError::CountOverrun);
    sets.pairwise = pairwise;
    if (reader.AtEnd()) return sets;
    std::uint32_t akms = 0;
    if (!reader.ReadSuiteList(akms)) return Fail(error, SuiteError::CountOverrun);
    sets.akms = akms;
    sets.akmListed = true;
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
    {8, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},        // SAE
    {24, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},       // SAE with extended key
    {9, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},        // FT-SAE
    {25, AkmKind::Sae, DOT11_AUTH_ALGO_WPA3_SAE},       // FT-SAE with extended key
    {18, AkmKind::Owe, DOT11_AUTH_ALGO_OWE},            // OWE
    {12, AkmKind::Enterprise192, DOT11_AUTH_ALGO_WPA3}, // Suite-B 192-bit
    {13, AkmKind::Enterprise192, DOT11_AUTH_ALGO_WPA3}, // FT-802.1X-SHA384
    {1, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},     // 802.1X
    {3, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},     // FT-802.1X
    {5, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},     // 802.1X-SHA256
    {11, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},    // Suite-B
    {14, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},    // FILS
    {15, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {16, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {17, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},
    {23, AkmKind::Enterprise, DOT11_AUTH_ALGO_RSNA},    // 802.1X-SHA384
    {2, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},        // PSK
    {4, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},        // FT-PSK
    {6, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},        // PSK-SHA256
    {19, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},       // FT-PSK-SHA384
    {20, AkmKind::Psk, DOT11_AUTH_ALGO_RSNA_PSK},       // PSK-SHA384
};

constexpr AkmRow kWpaAkms[] = {
    {1, AkmKind::Enterprise, DOT11_AUTH_ALGO_WPA},
    {2, AkmKind::Psk, DOT11_AUTH_ALGO_WPA_PSK},
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

// Strongest first; the suite types equal the platform's cipher values.
constexpr unsigned kCipherPreference[] = {9, 10, 8, kCipherCcmp, kCipherTkip, kCipherWep104,
                                          kCipherWep40};

DOT11_CIPHER_ALGORITHM StrongestCipher(std::uint32_t ciphers) {
    for (const unsigned type : kCipherPreference)
        if ((ciphers & Bit(type)) != 0) return static_cast<DOT11_CIPHER_ALGORITHM>(type);
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

std::optional<SuiteSets> ParseRsnBody(const std::uint8_t* body, std::size_t length,
                                      SuiteError* error) {
    return ParseSuiteBody(body, length, kRsnOui, kCipherCcmp, error);
}

std::optional<SuiteSets> ParseWpaBody(const std::uint8_t* body, std::size_t length,
                                      SuiteError* error) {
    return ParseSuiteBody(body, length, kWpaOui, kCipherTkip, error);
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

int RsnCipherType(std::uint32_t selector) {
    if ((selector >> 8) != 0x000fac) return -1;
    return static_cast<int>(selector & 0xff);
}

}  // namespace wlanlinux
