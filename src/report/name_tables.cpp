#include "report/name_tables.h"

#include <cstddef>

namespace {

struct Name {
    std::uint32_t value;
    const char16_t* text;
};

template <std::size_t N>
const char16_t* Lookup(const Name (&table)[N], std::uint32_t value, const char16_t* fallback) {
    for (const Name& name : table) {
        if (name.value == value) return name.text;
    }
    return fallback;
}

constexpr Name kInterfaceStates[] = {
    {0, u"wlan_interface_state_not_ready"},
    {1, u"wlan_interface_state_connected"},
    {2, u"wlan_interface_state_ad_hoc_network_formed"},
    {3, u"wlan_interface_state_disconnecting"},
    {4, u"wlan_interface_state_disconnected"},
    {5, u"wlan_interface_state_associating"},
    {6, u"wlan_interface_state_discovering"},
    {7, u"wlan_interface_state_authenticating"},
};

constexpr Name kBssTypes[] = {
    {1, u"dot11_BSS_type_infrastructure"},
    {2, u"dot11_BSS_type_independent"},
    {3, u"dot11_BSS_type_any"},
};

constexpr Name kPhyTypes[] = {
    {0, u"dot11_phy_type_any"},
    {1, u"dot11_phy_type_fhss"},
    {2, u"dot11_phy_type_dsss"},
    {3, u"dot11_phy_type_irbaseband"},
    {4, u"dot11_phy_type_ofdm"},
    {5, u"dot11_phy_type_hrdsss"},
    {6, u"dot11_phy_type_erp"},
    {0x80000000, u"dot11_phy_type_IHV_start"},
    {0xFFFFFFFF, u"dot11_phy_type_IHV_end"},
};

constexpr Name kAuthAlgorithms[] = {
    {1, u"DOT11_AUTH_ALGO_80211_OPEN"},
    {2, u"DOT11_AUTH_ALGO_80211_SHARED_KEY"},
    {3, u"DOT11_AUTH_ALGO_WPA"},
    {4, u"DOT11_AUTH_ALGO_WPA_PSK"},
    {5, u"DOT11_AUTH_ALGO_WPA_NONE"},
    {6, u"DOT11_AUTH_ALGO_RSNA"},
    {7, u"DOT11_AUTH_ALGO_RSNA_PSK"},
    {0x80000000, u"DOT11_AUTH_ALGO_IHV_START"},
    {0xFFFFFFFF, u"DOT11_AUTH_ALGO_IHV_END"},
};

constexpr Name kCipherAlgorithms[] = {
    {0, u"DOT11_CIPHER_ALGO_NONE"},
    {1, u"DOT11_CIPHER_ALGO_WEP40"},
    {2, u"DOT11_CIPHER_ALGO_TKIP"},
    {4, u"DOT11_CIPHER_ALGO_CCMP"},
    {5, u"DOT11_CIPHER_ALGO_WEP104"},
    {0x100, u"DOT11_CIPHER_ALGO_WPA_USE_GROUP"},
    {0x101, u"DOT11_CIPHER_ALGO_WEP"},
    {0x80000000, u"DOT11_CIPHER_ALGO_IHV_START"},
    {0xFFFFFFFF, u"DOT11_CIPHER_ALGO_IHV_END"},
};

}  // namespace

const char16_t* InterfaceStateName(std::uint32_t state) {
    return Lookup(kInterfaceStates, state, u"Unknown state");
}

const char16_t* BssTypeName(std::uint32_t type) { return Lookup(kBssTypes, type, u"Unknown type"); }

const char16_t* PhyTypeName(std::uint32_t type) {
    return Lookup(kPhyTypes, type, u"Unknown physical type");
}

const char16_t* AuthAlgorithmName(std::uint32_t algorithm) {
    return Lookup(kAuthAlgorithms, algorithm, u"Unknown Auth Algorithm");
}

const char16_t* CipherAlgorithmName(std::uint32_t algorithm) {
    return Lookup(kCipherAlgorithms, algorithm, u"Unknown Cipher Algorithm");
}
