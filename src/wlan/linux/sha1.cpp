#include "wlan/linux/sha1.h"

#include <algorithm>
#include <cstring>

namespace wlanlinux {
namespace {

std::uint32_t Rotate(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

}  // namespace

Sha1::Sha1() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0}, buffer_{} {}

void Sha1::Block(const std::uint8_t* block) {
    std::uint32_t w[80];
    for (std::size_t i = 0; i != 16; ++i)
        w[i] = (std::uint32_t{block[4 * i]} << 24) | (std::uint32_t{block[4 * i + 1]} << 16) |
               (std::uint32_t{block[4 * i + 2]} << 8) | std::uint32_t{block[4 * i + 3]};
    for (int i = 16; i != 80; ++i) w[i] = Rotate(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
    for (int i = 0; i != 80; ++i) {
        std::uint32_t f, k;
        if (i < 20) { f = (b & c) | (~b & d); k = 0x5a827999; }
        else if (i < 40) { f = b ^ c ^ d; k = 0x6ed9eba1; }
        else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8f1bbcdc; }
        else { f = b ^ c ^ d; k = 0xca62c1d6; }
        const std::uint32_t next = Rotate(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = Rotate(b, 30);
        b = a;
        a = next;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
}

void Sha1::Update(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    totalBytes_ += length;
    while (length != 0) {
        const std::size_t take = std::min(length, sizeof buffer_ - buffered_);
        std::memcpy(buffer_ + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        length -= take;
        if (buffered_ == sizeof buffer_) {
            Block(buffer_);
            buffered_ = 0;
        }
    }
}

std::array<std::uint8_t, 20> Sha1::Finish() {
    const std::uint64_t bits = totalBytes_ * 8;
    const std::uint8_t pad = 0x80;
    Update(&pad, 1);
    const std::uint8_t zero = 0;
    while (buffered_ != 56) Update(&zero, 1);
    std::uint8_t length[8];
    for (int i = 0; i != 8; ++i) length[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Update(length, 8);
    std::array<std::uint8_t, 20> digest{};
    for (int i = 0; i != 20; ++i)
        digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

}  // namespace wlanlinux
