// Reading values out of D-Bus replies a peer wrote: every value is bounded and
// every unexpected type is skipped or refused, never trusted.
#pragma once

#include <systemd/sd-bus.h>

#include <cstddef>
#include <functional>
#include <string>

namespace wlanlinux {

// Reads a string or object path (`type` 's' or 'o') at the read position;
// at most `limit` bytes are copied. 0 or a negative errno.
int ReadText(sd_bus_message* message, char type, std::string& value, std::size_t limit);

// Reads a variant when it holds a string or object path (`type`), or a byte
// array, else skips it: 1 read, 0 skipped, or a negative errno. Text longer
// than `limit` is cut there; a byte array longer than `limit` is skipped.
int ReadVariantText(sd_bus_message* message, char type, std::string& value, std::size_t limit);
int ReadVariantBytes(sd_bus_message* message, std::string& value, std::size_t limit);

// Walks an a{sa{sv}} (NetworkManager's settings, an object's interfaces and
// their properties): `property` is called with the read position on each
// variant and must read or skip it. Stops at the first negative result.
// 0 or a negative errno.
using PropertyVisitor = std::function<int(const std::string& group, const std::string& key)>;
int ReadGroupedProperties(sd_bus_message* message, const PropertyVisitor& property);

}  // namespace wlanlinux
