// Reading values out of D-Bus replies a peer wrote: every value is bounded and
// every unexpected type is skipped or refused, never trusted.
#pragma once

#include <systemd/sd-bus.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace wlanlinux {

// Enters the variant at the read position when it holds `contents`, else
// skips it: 1 entered, 0 skipped, or a negative errno.
int EnterVariant(sd_bus_message* message, const char* contents);

// Reads a string or object path (`type` 's' or 'o') at the read position;
// at most `limit` bytes are copied. 0 or a negative errno.
int ReadText(sd_bus_message* message, char type, std::string& value, std::size_t limit);

// Reads a variant when it holds a string or object path (`type`), or a byte
// array, else skips it: 1 read, 0 skipped, or a negative errno. Text longer
// than `limit` is cut there; a byte array longer than `limit` is skipped.
int ReadVariantText(sd_bus_message* message, char type, std::string& value, std::size_t limit);
int ReadVariantBytes(sd_bus_message* message, std::string& value, std::size_t limit);

// Reads a variant when it holds a boolean, else skips it: 1 read, 0 skipped,
// or a negative errno.
int ReadVariantBool(sd_bus_message* message, bool& value);

// Reads a variant when it holds a string array, else skips it: up to `count`
// strings appended to `values`, each cut at `limit` bytes. 1 read, 0 skipped,
// or a negative errno.
int ReadVariantTextList(sd_bus_message* message, std::vector<std::string>& values,
                        std::size_t count, std::size_t limit);
// The same for an array of object paths.
int ReadVariantPathList(sd_bus_message* message, std::vector<std::string>& values,
                        std::size_t count, std::size_t limit);

// Walks an a{sv} (an object's properties): `property` is called with the read
// position on each variant and must read or skip it. Stops at the first
// negative result. 0 or a negative errno.
using KeyVisitor = std::function<int(const std::string& key)>;
int ReadProperties(sd_bus_message* message, const KeyVisitor& property);

// Walks an a{sa{sv}} (NetworkManager's settings, an object's interfaces and
// their properties): `property` is called with the read position on each
// variant and must read or skip it. Stops at the first negative result.
// 0 or a negative errno.
using PropertyVisitor = std::function<int(const std::string& group, const std::string& key)>;
int ReadGroupedProperties(sd_bus_message* message, const PropertyVisitor& property);

// Drops every item whose key an earlier item has, keeping the order: a path
// a peer lists twice counts once.
template <typename Item, typename Key>
void KeepFirstOfEach(std::vector<Item>& items, Key key) {
    // Decided before anything moves: the set holds views of the items' keys.
    std::vector<bool> dropped(items.size());
    {
        std::unordered_set<std::string_view> seen;
        seen.reserve(items.size());
        for (std::size_t i = 0; i != items.size(); ++i)
            dropped[i] = !seen.insert(std::string_view(key(items[i]))).second;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i != items.size(); ++i)
        if (!dropped[i]) {
            if (kept != i) items[kept] = std::move(items[i]);
            ++kept;
        }
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(kept), items.end());
}

}  // namespace wlanlinux
