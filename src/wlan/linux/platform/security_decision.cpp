#include "wlan/linux/platform/security_decision.h"

#include <iterator>

#include "wlan/linux/ieee80211/suite_selectors.h"

namespace wlanlinux {
namespace {

constexpr std::uint32_t Bit(unsigned type) { return std::uint32_t{1} << type; }

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

SecuritySettings DecideSecurity(bool privacy, const ElementSummary& elements, bool adapterHasSae) {
    if (elements.rsn) return FromSuites(*elements.rsn, kRsnAkms, adapterHasSae, DOT11_AUTH_ALGO_RSNA);
    if (elements.wpa) return FromSuites(*elements.wpa, kWpaAkms, adapterHasSae, DOT11_AUTH_ALGO_WPA);
    SecuritySettings settings;
    // A malformed RSN or WPA element still says the network is protected.
    settings.enabled = privacy || elements.hasRsn || elements.hasWpa;
    if (privacy) {
        settings.cipher = DOT11_CIPHER_ALGO_WEP;
        settings.pairwiseCiphers = Bit(kCipherWep40) | Bit(kCipherWep104);
    }
    return settings;
}

}  // namespace wlanlinux
