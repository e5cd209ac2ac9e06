// Text for the records' WCHAR fields: UTF-8 bytes as UTF-16 units.
//
// Decoded by text/utf8.h: iconv and mbrtowc follow the process locale and
// stop at an invalid byte instead of replacing it, and std::codecvt is
// deprecated. This replaces each invalid byte with U+FFFD and fills a fixed field without
// splitting a surrogate pair, whatever the locale.
#pragma once

#include <cstddef>

namespace wlanlinux {

// Appends the UTF-8 bytes to `out` from unit `used` on, replacing each invalid
// byte with U+FFFD, keeping one unit of `capacity` for the terminator and never
// splitting a surrogate pair. Writes the terminator and returns the new count
// of units in use (without it). `capacity` must be at least 1.
std::size_t AppendUtf8(char16_t* out, std::size_t capacity, std::size_t used, const char* text,
                       std::size_t length);

}  // namespace wlanlinux
