// Every row of the name tables, and each table's fallback for values it does
// not list, in one table.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "report/name_tables.h"

namespace {

struct Row {
    std::u16string_view (*lookup)(std::uint32_t);
    std::uint32_t value;
    const char16_t* name;
};

const Row kRows[] = {
    {InterfaceStateName, 0, u"wlan_interface_state_not_ready"},
    {InterfaceStateName, 1, u"wlan_interface_state_connected"},
    {InterfaceStateName, 2, u"wlan_interface_state_ad_hoc_network_formed"},
    {InterfaceStateName, 3, u"wlan_interface_state_disconnecting"},
    {InterfaceStateName, 4, u"wlan_interface_state_disconnected"},
    {InterfaceStateName, 5, u"wlan_interface_state_associating"},
    {InterfaceStateName, 6, u"wlan_interface_state_discovering"},
    {InterfaceStateName, 7, u"wlan_interface_state_authenticating"},
    {InterfaceStateName, 8, u"Unknown state"},
    {InterfaceStateName, 0x80000000, u"Unknown state"},
    {InterfaceStateName, 0xFFFFFFFF, u"Unknown state"},

    {BssTypeName, 0, u"Unknown type"},
    {BssTypeName, 1, u"dot11_BSS_type_infrastructure"},
    {BssTypeName, 2, u"dot11_BSS_type_independent"},
    {BssTypeName, 3, u"dot11_BSS_type_any"},
    {BssTypeName, 4, u"Unknown type"},
    {BssTypeName, 0xFFFFFFFF, u"Unknown type"},

    {PhyTypeName, 0, u"dot11_phy_type_any"},
    {PhyTypeName, 1, u"dot11_phy_type_fhss"},
    {PhyTypeName, 2, u"dot11_phy_type_dsss"},
    {PhyTypeName, 3, u"dot11_phy_type_irbaseband"},
    {PhyTypeName, 4, u"dot11_phy_type_ofdm"},
    {PhyTypeName, 5, u"dot11_phy_type_hrdsss"},
    {PhyTypeName, 6, u"dot11_phy_type_erp"},
    {PhyTypeName, 7, u"Unknown physical type"},
    {PhyTypeName, 10, u"Unknown physical type"},
    {PhyTypeName, 0x7FFFFFFF, u"Unknown physical type"},
    {PhyTypeName, 0x80000000, u"dot11_phy_type_IHV_start"},
    {PhyTypeName, 0x80000001, u"Unknown physical type"},
    {PhyTypeName, 0xFFFFFFFF, u"dot11_phy_type_IHV_end"},

    {AuthAlgorithmName, 0, u"Unknown Auth Algorithm"},
    {AuthAlgorithmName, 1, u"DOT11_AUTH_ALGO_80211_OPEN"},
    {AuthAlgorithmName, 2, u"DOT11_AUTH_ALGO_80211_SHARED_KEY"},
    {AuthAlgorithmName, 3, u"DOT11_AUTH_ALGO_WPA"},
    {AuthAlgorithmName, 4, u"DOT11_AUTH_ALGO_WPA_PSK"},
    {AuthAlgorithmName, 5, u"DOT11_AUTH_ALGO_WPA_NONE"},
    {AuthAlgorithmName, 6, u"DOT11_AUTH_ALGO_RSNA"},
    {AuthAlgorithmName, 7, u"DOT11_AUTH_ALGO_RSNA_PSK"},
    {AuthAlgorithmName, 8, u"Unknown Auth Algorithm"},
    {AuthAlgorithmName, 9, u"Unknown Auth Algorithm"},
    {AuthAlgorithmName, 0x80000000, u"DOT11_AUTH_ALGO_IHV_START"},
    {AuthAlgorithmName, 0xFFFFFFFF, u"DOT11_AUTH_ALGO_IHV_END"},

    {CipherAlgorithmName, 0, u"DOT11_CIPHER_ALGO_NONE"},
    {CipherAlgorithmName, 1, u"DOT11_CIPHER_ALGO_WEP40"},
    {CipherAlgorithmName, 2, u"DOT11_CIPHER_ALGO_TKIP"},
    {CipherAlgorithmName, 3, u"Unknown Cipher Algorithm"},
    {CipherAlgorithmName, 4, u"DOT11_CIPHER_ALGO_CCMP"},
    {CipherAlgorithmName, 5, u"DOT11_CIPHER_ALGO_WEP104"},
    {CipherAlgorithmName, 6, u"Unknown Cipher Algorithm"},
    {CipherAlgorithmName, 8, u"Unknown Cipher Algorithm"},
    {CipherAlgorithmName, 0x100, u"DOT11_CIPHER_ALGO_WPA_USE_GROUP"},
    {CipherAlgorithmName, 0x101, u"DOT11_CIPHER_ALGO_WEP"},
    {CipherAlgorithmName, 0x102, u"Unknown Cipher Algorithm"},
    {CipherAlgorithmName, 0x80000000, u"DOT11_CIPHER_ALGO_IHV_START"},
    {CipherAlgorithmName, 0xFFFFFFFF, u"DOT11_CIPHER_ALGO_IHV_END"},
};

TEST(NameTables, EveryRowAndEachFallback) {
    for (const Row& row : kRows) {
        EXPECT_EQ(std::u16string(row.lookup(row.value)), std::u16string(row.name))
            << "value 0x" << std::hex << row.value;
    }
}

}  // namespace
