// CopyBytes: memcpy for the short runs a print is made of.
#pragma once

#include <cstddef>
#include <cstring>

// Copies count bytes. A print is made of short runs, for which a call to
// memcpy costs more than the copy: runs up to 32 bytes move in two loads and
// two stores here, overlapping when the count is not a multiple of their width.
[[gnu::always_inline]] inline void CopyBytes(char* to, const void* source, std::size_t count) {
    const auto* from = static_cast<const char*>(source);
    if (count > 32) {
        std::memcpy(to, from, count);
    } else if (count >= 16) {
        std::memcpy(to, from, 16);
        std::memcpy(to + count - 16, from + count - 16, 16);
    } else if (count >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + count - 8, from + count - 8, 8);
    } else if (count >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + count - 4, from + count - 4, 4);
    } else if (count != 0) {
        to[0] = from[0];  // 1 to 3 bytes: the first, middle and last
        to[count / 2] = from[count / 2];
        to[count - 1] = from[count - 1];
    }
}
