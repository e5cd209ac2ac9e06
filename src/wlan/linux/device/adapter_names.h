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

// Writes "VENDOR MODEL (INTERFACE)" as terminated UTF-16, bounded by the
// field, when the database names the modalias's model. False, with the
// description untouched, when it does not.
bool DescribeProduct(sd_hwdb* hwdb, const char* modalias, const char* interfaceName,
                     char16_t (&description)[WLAN_MAX_NAME_LENGTH]);

// Reads the modalias of device `ifindex`, known as `interfaceName`
// (/sys/class/net/NAME/device/modalias), without its line end. False when
// there is none (virtual devices have none), the name is another device's
// now, or the file does not fit in `capacity` - 1 bytes.
bool ReadModalias(std::uint32_t ifindex, const char* interfaceName, char* modalias,
                  std::size_t capacity);

// DescribeProduct for device `ifindex` (its sysfs folder under `sysfsName`)
// with the machine's database, showing `interfaceName`. False without a
// database, a modalias or an entry.
bool DescribeFromHardwareDatabase(std::uint32_t ifindex, const char* sysfsName,
                                  const char* interfaceName,
                                  char16_t (&description)[WLAN_MAX_NAME_LENGTH]) noexcept;

}  // namespace wlanlinux
