// The one fact about a network device that netlink does not report: its
// driver, read from sysfs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wlanlinux {

// The name of the driver of device `ifindex`, known as `name` (the basename of
// its sysfs driver link), terminated. False when it has none, or when the
// device under that name is not device `ifindex` (renamed meanwhile).
bool DriverName(std::uint32_t ifindex, const char* name, char* driver, std::size_t capacity);

}  // namespace wlanlinux
