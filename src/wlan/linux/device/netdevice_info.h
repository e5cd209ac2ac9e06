// The facts about a network device that netlink does not report, read from
// its sysfs folder: its driver, and (adapter_names.h) its modalias.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wlanlinux {

// The sysfs folder of device `ifindex`, known as `name`, opened; -1 when
// there is none or it is another device's (renamed meanwhile).
int OpenDeviceFolder(std::uint32_t ifindex, const char* name);

// The name of the driver of device `ifindex`, known as `name` (the basename of
// its sysfs driver link), terminated. False when it has none, or when the
// device under that name is not device `ifindex` (renamed meanwhile).
bool DriverName(std::uint32_t ifindex, const char* name, char* driver, std::size_t capacity);

}  // namespace wlanlinux
