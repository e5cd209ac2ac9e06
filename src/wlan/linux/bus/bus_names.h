// Which network managers are on the bus, asked of the bus itself: one
// ListNames call in place of a failed call to each manager that is not there.
#pragma once

#include <cstddef>

#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {

// Sets present[i] when wanted[i] has an owner on the bus now. 0, or a
// negative errno when the deadline passed, the connection failed, or the bus
// answered with an error or a malformed list (`present` is then all false).
// Throws std::bad_alloc.
int FindBusNames(BusOperation& operation, const char* const* wanted, std::size_t count, bool* present);

}  // namespace wlanlinux
