// Adapter product names from the hardware database (udev's hwdb.bin), looked
// up by the modalias of the interface's device: for PCI the device's own
// alias, for USB the interface's, whose usb:vVVVVpPPPP prefix the database
// matches.
#pragma once

#include <systemd/sd-hwdb.h>

#include <cstddef>
#include <cstdint>

#include "wlan/wlan_types.h"

namespace wlanlinux {

// A product as the database names it: its model, and its vendor (empty when
// the database does not name it). A name cut to these fields still fills a
// description field, as every 4 bytes of UTF-8 give at least one UTF-16 unit.
struct ProductName {
    char vendor[4 * WLAN_MAX_NAME_LENGTH] = {};
    char model[4 * WLAN_MAX_NAME_LENGTH] = {};
};

// The database's names for the modalias's product, cut to the fields. False,
// with `product` untouched, when it names no model.
bool LookUpProduct(sd_hwdb* hwdb, const char* modalias, ProductName& product);

// Reads the modalias of device `ifindex`, known as `interfaceName`
// (/sys/class/net/NAME/device/modalias), without its line end. False when
// there is none (virtual devices have none), the name is another device's
// now, or the file does not fit in `capacity` - 1 bytes.
bool ReadModalias(std::uint32_t ifindex, const char* interfaceName, char* modalias,
                  std::size_t capacity);

// LookUpProduct for device `ifindex` (its sysfs folder under `sysfsName`)
// with the machine's database. False without a database, a modalias or an
// entry.
bool ReadProductName(std::uint32_t ifindex, const char* sysfsName, ProductName& product) noexcept;

}  // namespace wlanlinux
