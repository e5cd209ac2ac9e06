// The layer against this machine's own kernel, sysfs and hardware database
// (hwdb.bin, from the udev package).
#include <gtest/gtest.h>
#include <linux/genetlink.h>
#include <net/if.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "wlan/linux/device/adapter_names.h"
#include "wlan/linux/device/netdevice_info.h"
#include "wlan/linux/netlink/generic_family.h"
#include "wlan/linux/netlink/netlink_request.h"
#include "wlan/linux/netlink/netlink_socket.h"
#include "wlan/linux/device/route_link.h"

namespace {

// This machine's network devices; the list ends with index 0.
using DeviceList = std::unique_ptr<struct if_nameindex[], void (*)(struct if_nameindex*)>;
DeviceList Devices() { return DeviceList(if_nameindex(), if_freenameindex); }

}  // namespace

// Vendor and model each in its own field, as the database names them by its
// keys; no model named: nothing. The names are the host database's, whatever
// its version.
TEST(AdapterNames, ProductNamesFromTheHardwareDatabase) {
    sd_hwdb* hwdb = nullptr;
    ASSERT_GE(sd_hwdb_new(&hwdb), 0) << "no hwdb.bin: install udev";
    const auto entry = [hwdb](const char* modalias, const char* key) {
        const char* value = nullptr;
        return sd_hwdb_get(hwdb, modalias, key, &value) >= 0 && value != nullptr ? std::string(value) : "";
    };
    int named = 0;
    for (const char* modalias : {"pci:v00008086d00002723sv00008086sd00000084bc02sc80i00",
                                 "usb:v0BDAp8179d0000dc00dsc00dp00icFFiscFFipFFin00",
                                 "usb:v0CF3p9271d0108dcFFdscFFdpFFicFFiscFFipFFin00",
                                 "usb:v0BDAp0000d0000dc00dsc00dp00icFFiscFFipFFin00",  // the vendor alone
                                 "pci:v0000FFFFd0000FFFF", "virtio:d00000001v00001AF4", ""}) {
        const std::string model = entry(modalias, "ID_MODEL_FROM_DATABASE");
        const std::string vendor = model.empty() ? "" : entry(modalias, "ID_VENDOR_FROM_DATABASE");
        wlanlinux::ProductName product;
        EXPECT_EQ(wlanlinux::LookUpProduct(hwdb, modalias, product), !model.empty()) << modalias;
        EXPECT_EQ(std::string(product.vendor) + "|" + product.model, vendor + "|" + model) << modalias;
        named += !model.empty();
    }
    EXPECT_GE(named, 1) << "the database names none of these adapters";
    sd_hwdb_unref(hwdb);
}

TEST(AdapterNames, ModaliasOnlyFromTheInterfacesOwnDevice) {
    char modalias[256];
    const std::uint32_t lo = if_nametoindex("lo");
    // Loopback is virtual: no alias under its name, nor under a path or a missing name.
    for (const char* name : {"lo", "../../devices", "no-such-if"})
        EXPECT_FALSE(wlanlinux::ReadModalias(lo, name, modalias, sizeof modalias)) << name;
    // A real device's alias comes without its line end, not at all when it
    // does not fit, and never under a name that is another index's.
    const DeviceList devices = Devices();
    ASSERT_NE(devices, nullptr);
    const struct if_nameindex* device = devices.get();
    while (device->if_index != 0 &&
           access(("/sys/class/net/" + std::string(device->if_name) + "/device/modalias").c_str(), R_OK) != 0)
        ++device;
    if (device->if_index == 0) GTEST_SKIP() << "no network device with a modalias on this machine";
    ASSERT_TRUE(wlanlinux::ReadModalias(device->if_index, device->if_name, modalias, sizeof modalias));
    const std::string alias = modalias;
    EXPECT_FALSE(alias.empty());
    EXPECT_EQ(alias.find('\n'), std::string::npos);
    EXPECT_FALSE(wlanlinux::ReadModalias(device->if_index, device->if_name, modalias, alias.size() + 1));
    EXPECT_TRUE(wlanlinux::ReadModalias(device->if_index, device->if_name, modalias, alias.size() + 2));
    EXPECT_FALSE(wlanlinux::ReadModalias(lo, device->if_name, modalias, sizeof modalias));
}

// The generic-netlink controller exists on every Linux machine: a real
// request and a real dump through the kernel.
TEST(NetlinkSocket, TalksToTheKernelController) {
    wlanlinux::NetlinkSocket socket;
    ASSERT_TRUE(wlanlinux::OpenNetlinkSocket(socket));
    std::uint16_t id = 0;
    EXPECT_EQ(wlanlinux::ResolveGenericFamily(socket, "nlctrl", id), 0);
    EXPECT_EQ(id, GENL_ID_CTRL);
    EXPECT_EQ(wlanlinux::ResolveGenericFamily(socket, "no-such-family", id), 0);
    EXPECT_EQ(id, 0);

    const wlanlinux::NetlinkRequest dump{.family = GENL_ID_CTRL, .command = CTRL_CMD_GETFAMILY, .version = 1,
                                         .dump = true, .addAttributes = {}, .addHeader = {}};
    int families = 0;
    int resets = 0;
    EXPECT_EQ(wlanlinux::RunNetlinkRequest(
                  socket, dump, [&] { ++resets; families = 0; },
                  [&](const nlmsghdr* message) { families += wlanlinux::ParseFamilyReply(message) != 0; }),
              0);
    EXPECT_GE(families, 1);
    EXPECT_EQ(resets, 0);
    wlanlinux::CloseNetlinkSocket(socket);
    EXPECT_EQ(socket.socket, nullptr);
}

// Device reads by index through this machine's own kernel. Loopback is on
// every machine: up, without a permanent address or a driver link.
TEST(DeviceReads, ByIndexOnThisMachine) {
    wlanlinux::NetlinkSocket route(NETLINK_ROUTE);
    wlanlinux::LinkFacts facts;
    const std::uint32_t loopback = if_nametoindex("lo");
    ASSERT_EQ(wlanlinux::ReadLink(route, loopback, facts), 0);
    EXPECT_TRUE(facts.up);
    EXPECT_FALSE(facts.hasPermanentAddress);
    EXPECT_STREQ(facts.name, "lo");
    for (const std::uint32_t missing : {0u, 0x7ffffff0u, 0x80000000u, 0xffffffffu})
        EXPECT_EQ(wlanlinux::ReadLink(route, missing, facts), ENODEV) << missing;

    char driver[32];
    for (const char* name : {"lo", "no-such-dev0", "", "name-longer-than-ifnamsiz", "../lo", ".."})
        EXPECT_FALSE(wlanlinux::DriverName(loopback, name, driver, sizeof driver)) << name;
    // A device with a driver gives it under its own index only.
    const DeviceList devices = Devices();
    ASSERT_NE(devices, nullptr);
    for (const struct if_nameindex* device = devices.get(); device->if_index != 0; ++device) {
        char link[256];
        const std::string path = std::string("/sys/class/net/") + device->if_name + "/device/driver";
        if (readlink(path.c_str(), link, sizeof link) <= 0) continue;
        EXPECT_TRUE(wlanlinux::DriverName(device->if_index, device->if_name, driver, sizeof driver));
        EXPECT_FALSE(wlanlinux::DriverName(device->if_index + 1, device->if_name, driver, sizeof driver));
    }
}
