// Every row of the name tables, and each table's fallback for values it does
// not list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "report/name_tables.h"

namespace {

struct Row {
    std::uint32_t value;
    const char16_t* name;
};

void ExpectRows(const char16_t* (*lookup)(std::uint32_t), const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(std::u16string(lookup(row.value)), std::u16string(row.name))
            << "value 0x" << std::hex << row.value;
    }
}

TEST(NameTables, InterfaceStates) {
    ExpectRows(InterfaceStateName,
               {{0, u"wlan_interface_state_not_ready"},
                {1, u"wlan_interface_state_connected"},
                {2, u"wlan_interface_state_ad_hoc_network_formed"},
                {3, u"wlan_interface_state_disconnecting"},
                {4, u"wlan_interface_state_disconnected"},
                {5, u"wlan_interface_state_associating"},
                {6, u"wlan_interface_state_discovering"},
                {7, u"wlan_interface_state_authenticating"},
                {8, u"Unknown state"},
                {0x80000000, u"Unknown state"},
                {0xFFFFFFFF, u"Unknown state"}});
}

TEST(NameTables, BssTypes) {
    ExpectRows(BssTypeName, {{0, u"Unknown type"},
                             {1, u"dot11_BSS_type_infrastructure"},
                             {2, u"dot11_BSS_type_independent"},
                             {3, u"dot11_BSS_type_any"},
                             {4, u"Unknown type"},
                             {0xFFFFFFFF, u"Unknown type"}});
}

TEST(NameTables, PhyTypes) {
    ExpectRows(PhyTypeName, {{0, u"dot11_phy_type_any"},
                             {1, u"dot11_phy_type_fhss"},
                             {2, u"dot11_phy_type_dsss"},
                             {3, u"dot11_phy_type_irbaseband"},
                             {4, u"dot11_phy_type_ofdm"},
                             {5, u"dot11_phy_type_hrdsss"},
                             {6, u"dot11_phy_type_erp"},
                             {7, u"Unknown physical type"},
                             {10, u"Unknown physical type"},
                             {0x7FFFFFFF, u"Unknown physical type"},
                             {0x80000000, u"dot11_phy_type_IHV_start"},
                             {0x80000001, u"Unknown physical type"},
                             {0xFFFFFFFF, u"dot11_phy_type_IHV_end"}});
}

TEST(NameTables, AuthAlgorithms) {
    ExpectRows(AuthAlgorithmName, {{0, u"Unknown Auth Algorithm"},
                                   {1, u"DOT11_AUTH_ALGO_80211_OPEN"},
                                   {2, u"DOT11_AUTH_ALGO_80211_SHARED_KEY"},
                                   {3, u"DOT11_AUTH_ALGO_WPA"},
                                   {4, u"DOT11_AUTH_ALGO_WPA_PSK"},
                                   {5, u"DOT11_AUTH_ALGO_WPA_NONE"},
                                   {6, u"DOT11_AUTH_ALGO_RSNA"},
                                   {7, u"DOT11_AUTH_ALGO_RSNA_PSK"},
                                   {8, u"Unknown Auth Algorithm"},
                                   {9, u"Unknown Auth Algorithm"},
                                   {0x80000000, u"DOT11_AUTH_ALGO_IHV_START"},
                                   {0xFFFFFFFF, u"DOT11_AUTH_ALGO_IHV_END"}});
}

TEST(NameTables, CipherAlgorithms) {
    ExpectRows(CipherAlgorithmName, {{0, u"DOT11_CIPHER_ALGO_NONE"},
                                     {1, u"DOT11_CIPHER_ALGO_WEP40"},
                                     {2, u"DOT11_CIPHER_ALGO_TKIP"},
                                     {3, u"Unknown Cipher Algorithm"},
                                     {4, u"DOT11_CIPHER_ALGO_CCMP"},
                                     {5, u"DOT11_CIPHER_ALGO_WEP104"},
                                     {6, u"Unknown Cipher Algorithm"},
                                     {8, u"Unknown Cipher Algorithm"},
                                     {0x100, u"DOT11_CIPHER_ALGO_WPA_USE_GROUP"},
                                     {0x101, u"DOT11_CIPHER_ALGO_WEP"},
                                     {0x102, u"Unknown Cipher Algorithm"},
                                     {0x80000000, u"DOT11_CIPHER_ALGO_IHV_START"},
                                     {0xFFFFFFFF, u"DOT11_CIPHER_ALGO_IHV_END"}});
}

}  // namespace
