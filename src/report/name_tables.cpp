#include "report/name_tables.h"

#include <cstddef>

#include "wlan/wlan_client.h"

namespace {

using namespace std::string_view_literals;

struct Name {
    std::uint32_t value;
    std::u16string_view text;
};

// A row names a value by its enumerator, whose spelling is the printed name.
#define NAMED(enumerator) Name{static_cast<std::uint32_t>(enumerator), u"" #enumerator}

template <std::size_t N>
std::u16string_view Lookup(const Name (&table)[N], std::uint32_t value,
                           std::u16string_view fallback) {
    // Each table starts with a run of consecutive values: those are found by
    // their place, the rest by a search.
    const std::uint32_t place = value - table[0].value;
    if (place < N && table[place].value == value) return table[place].text;
    for (const Name& name : table) {
        if (name.value == value) return name.text;
    }
    return fallback;
}

constexpr Name kInterfaceStates[] = {
    NAMED(wlan_interface_state_not_ready),
    NAMED(wlan_interface_state_connected),
    NAMED(wlan_interface_state_ad_hoc_network_formed),
    NAMED(wlan_interface_state_disconnecting),
    NAMED(wlan_interface_state_disconnected),
    NAMED(wlan_interface_state_associating),
    NAMED(wlan_interface_state_discovering),
    NAMED(wlan_interface_state_authenticating),
};

constexpr Name kBssTypes[] = {
    NAMED(dot11_BSS_type_infrastructure),
    NAMED(dot11_BSS_type_independent),
    NAMED(dot11_BSS_type_any),
};

// Types the platform added later (ht and on) are not named: they print as unknown.
constexpr Name kPhyTypes[] = {
    NAMED(dot11_phy_type_any),
    NAMED(dot11_phy_type_fhss),
    NAMED(dot11_phy_type_dsss),
    NAMED(dot11_phy_type_irbaseband),
    NAMED(dot11_phy_type_ofdm),
    NAMED(dot11_phy_type_hrdsss),
    NAMED(dot11_phy_type_erp),
    NAMED(dot11_phy_type_IHV_start),
    NAMED(dot11_phy_type_IHV_end),
};

constexpr Name kAuthAlgorithms[] = {
    NAMED(DOT11_AUTH_ALGO_80211_OPEN),
    NAMED(DOT11_AUTH_ALGO_80211_SHARED_KEY),
    NAMED(DOT11_AUTH_ALGO_WPA),
    NAMED(DOT11_AUTH_ALGO_WPA_PSK),
    NAMED(DOT11_AUTH_ALGO_WPA_NONE),
    NAMED(DOT11_AUTH_ALGO_RSNA),
    NAMED(DOT11_AUTH_ALGO_RSNA_PSK),
    NAMED(DOT11_AUTH_ALGO_IHV_START),
    NAMED(DOT11_AUTH_ALGO_IHV_END),
};

constexpr Name kCipherAlgorithms[] = {
    NAMED(DOT11_CIPHER_ALGO_NONE),
    NAMED(DOT11_CIPHER_ALGO_WEP40),
    NAMED(DOT11_CIPHER_ALGO_TKIP),
    NAMED(DOT11_CIPHER_ALGO_CCMP),
    NAMED(DOT11_CIPHER_ALGO_WEP104),
    NAMED(DOT11_CIPHER_ALGO_WPA_USE_GROUP),
    NAMED(DOT11_CIPHER_ALGO_WEP),
    NAMED(DOT11_CIPHER_ALGO_IHV_START),
    NAMED(DOT11_CIPHER_ALGO_IHV_END),
};

#undef NAMED

}  // namespace

std::u16string_view InterfaceStateName(std::uint32_t state) {
    return Lookup(kInterfaceStates, state, u"Unknown state"sv);
}

std::u16string_view BssTypeName(std::uint32_t type) {
    return Lookup(kBssTypes, type, u"Unknown type"sv);
}

std::u16string_view PhyTypeName(std::uint32_t type) {
    return Lookup(kPhyTypes, type, u"Unknown physical type"sv);
}

std::u16string_view AuthAlgorithmName(std::uint32_t algorithm) {
    return Lookup(kAuthAlgorithms, algorithm, u"Unknown Auth Algorithm"sv);
}

std::u16string_view CipherAlgorithmName(std::uint32_t algorithm) {
    return Lookup(kCipherAlgorithms, algorithm, u"Unknown Cipher Algorithm"sv);
}
