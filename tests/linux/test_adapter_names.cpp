// Product names from this machine's hardware database (hwdb.bin, from the
// udev package) for modaliases as the kernel writes them.
#include <gtest/gtest.h>
#include <net/if.h>

#include <string>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/device/adapter_names.h"

namespace {

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; *text != 0; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

}  // namespace

TEST(AdapterNames, DescriptionFromTheHardwareDatabase) {
    sd_hwdb* hwdb = nullptr;
    ASSERT_GE(sd_hwdb_new(&hwdb), 0) << "no hwdb.bin: install udev";
    struct Case {
        const char* modalias;
        const char* expected;  // nullptr: no description from the database
    };
    const Case cases[] = {
        {"pci:v00008086d00002723sv00008086sd00000084bc02sc80i00",
         "Intel Corporation Wi-Fi 6 AX200 (NGW) (wlp2s0)"},
        {"pci:v000010ECd0000C822sv000010ECsd0000C822bc02sc80i00",
         "Realtek Semiconductor Co., Ltd. RTL8822CE 802.11ac PCIe Wireless Network Adapter (wlp2s0)"},
        {"usb:v0BDAp8179d0000dc00dsc00dp00icFFiscFFipFFin00",
         "Realtek Semiconductor Corp. RTL8188EUS 802.11n Wireless Network Adapter (wlp2s0)"},
        {"usb:v0CF3p9271d0108dcFFdscFFdpFFicFFiscFFipFFin00",
         "Qualcomm Atheros Communications AR9271 802.11n (wlp2s0)"},
        {"usb:v0BDAp0000d0000dc00dsc00dp00icFFiscFFipFFin00", nullptr},  // the vendor alone
        {"pci:v0000FFFFd0000FFFF", nullptr},
        {"virtio:d00000001v00001AF4", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        char16_t description[WLAN_MAX_NAME_LENGTH] = u"untouched";
        wlanlinux::ProductName product;
        const bool described = wlanlinux::LookUpProduct(hwdb, c.modalias, product);
        if (described) wlanlinux::DescribeAs(product.vendor, product.model, "wlp2s0", description);
        EXPECT_EQ(described, c.expected != nullptr) << c.modalias;
        EXPECT_EQ(Narrow(description), c.expected ? c.expected : "untouched") << c.modalias;
    }
    sd_hwdb_unref(hwdb);
}

TEST(AdapterNames, ModaliasOnlyFromTheInterfacesOwnDevice) {
    char modalias[256];
    const std::uint32_t lo = if_nametoindex("lo");
    EXPECT_FALSE(wlanlinux::ReadModalias(lo, "lo", modalias, sizeof modalias));  // virtual: none
    EXPECT_FALSE(wlanlinux::ReadModalias(lo, "../../devices", modalias, sizeof modalias));
    EXPECT_FALSE(wlanlinux::ReadModalias(lo, "no-such-if", modalias, sizeof modalias));
    // A real device's alias comes without its line end, not at all when it
    // does not fit, and never under a name that is another index's.
    const std::uint32_t eth0 = if_nametoindex("eth0");
    if (eth0 != 0 && wlanlinux::ReadModalias(eth0, "eth0", modalias, sizeof modalias)) {
        const std::string alias = modalias;
        EXPECT_FALSE(alias.empty());
        EXPECT_EQ(alias.find('\n'), std::string::npos);
        EXPECT_FALSE(wlanlinux::ReadModalias(eth0, "eth0", modalias, alias.size() + 1));
        EXPECT_TRUE(wlanlinux::ReadModalias(eth0, "eth0", modalias, alias.size() + 2));
        EXPECT_FALSE(wlanlinux::ReadModalias(lo, "eth0", modalias, sizeof modalias));
    }
}
