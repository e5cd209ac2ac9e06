// SHA-1, for name-based (version 5) UUIDs only: not for anything that needs
// collision resistance.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace wlanlinux {

class Sha1 {
public:
    Sha1();
    void Update(const void* data, std::size_t length);
    std::array<std::uint8_t, 20> Finish();

private:
    void Block(const std::uint8_t* block);

    std::uint32_t state_[5];
    std::uint8_t buffer_[64];
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace wlanlinux
