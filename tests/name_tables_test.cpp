// The names the golden reports do not print: the rows of the name tables and
// the fallbacks for values a table does not list.
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
    {InterfaceStateName, 0xFFFFFFFF, u"Unknown state"},

    {BssTypeName, 4, u"Unknown type"},

    {PhyTypeName, 10, u"Unknown physical type"},
    {PhyTypeName, 0x7FFFFFFF, u"Unknown physical type"},
    {PhyTypeName, 0x80000001, u"Unknown physical type"},

    {AuthAlgorithmName, 2, u"DOT11_AUTH_ALGO_80211_SHARED_KEY"},
    {AuthAlgorithmName, 3, u"DOT11_AUTH_ALGO_WPA"},
    {AuthAlgorithmName, 4, u"DOT11_AUTH_ALGO_WPA_PSK"},
    {AuthAlgorithmName, 5, u"DOT11_AUTH_ALGO_WPA_NONE"},
    {AuthAlgorithmName, 6, u"DOT11_AUTH_ALGO_RSNA"},
    {AuthAlgorithmName, 8, u"Unknown Auth Algorithm"},
    {AuthAlgorithmName, 9, u"Unknown Auth Algorithm"},

    {CipherAlgorithmName, 1, u"DOT11_CIPHER_ALGO_WEP40"},
    {CipherAlgorithmName, 2, u"DOT11_CIPHER_ALGO_TKIP"},
    {CipherAlgorithmName, 5, u"DOT11_CIPHER_ALGO_WEP104"},
    {CipherAlgorithmName, 6, u"Unknown Cipher Algorithm"},
    {CipherAlgorithmName, 8, u"Unknown Cipher Algorithm"},
    {CipherAlgorithmName, 0x100, u"DOT11_CIPHER_ALGO_WPA_USE_GROUP"},
    {CipherAlgorithmName, 0x102, u"Unknown Cipher Algorithm"},
    {CipherAlgorithmName, 0x80000000, u"DOT11_CIPHER_ALGO_IHV_START"},
};

TEST(NameTables, RowsAndFallbacksTheGoldenReportsDoNotPrint) {
    for (const Row& row : kRows) {
        EXPECT_EQ(std::u16string(row.lookup(row.value)), std::u16string(row.name))
            << "value 0x" << std::hex << row.value;
    }
}

}  // namespace
