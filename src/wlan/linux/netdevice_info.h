// Facts about a network device that nl80211 does not report: whether it is
// up, its permanent hardware address and its driver. Each is one cheap read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wlanlinux {

// Whether the device is administratively up (SIOCGIFFLAGS on any socket).
bool DeviceIsUp(int socketFd, const char* name);

// The permanent hardware address (ETHTOOL_GPERMADDR); false when the driver
// gives none or it is all zeros.
bool PermanentAddress(int socketFd, const char* name, std::uint8_t (&mac)[6]);

// The name of the device's driver (the basename of its sysfs driver link),
// terminated; false when there is none.
bool DriverName(const char* name, char* driver, std::size_t capacity);

}  // namespace wlanlinux
