// Builders for the inputs the parsers take: element lists and generic-netlink
// messages, each handed out in a buffer of exactly its size so that a read
// past the end is caught by the address sanitizer.
#pragma once

#include <libmnl/libmnl.h>
#include <linux/genetlink.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "wlan/linux/ieee80211/information_elements.h"
#include "wlan/linux/ieee80211/suite_selectors.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes Ie(std::uint8_t id, const Bytes& body) {
    return Join({{id, static_cast<std::uint8_t>(body.size())}, body});
}

inline Bytes Extension(std::uint8_t extension, const Bytes& body) { return Ie(255, Join({{extension}, body})); }

// A suite list body: version 1, group, pairwise list, AKM list.
inline Bytes SuiteBody(std::uint32_t oui, std::uint8_t group, const Bytes& pairwise, const Bytes& akms) {
    Bytes out{1, 0};
    const auto suite = [&](std::uint8_t type) {
        out.insert(out.end(), {static_cast<std::uint8_t>(oui >> 16), static_cast<std::uint8_t>(oui >> 8),
                               static_cast<std::uint8_t>(oui), type});
    };
    suite(group);
    for (const Bytes* list : {&pairwise, &akms}) {
        out.insert(out.end(), {static_cast<std::uint8_t>(list->size()), 0});
        for (const std::uint8_t type : *list) suite(type);
    }
    return out;
}

// With RSN capabilities 0.
inline Bytes Rsn(std::uint8_t group, const Bytes& pairwise, const Bytes& akms) {
    return Ie(48, Join({SuiteBody(wlanlinux::kOuiRsn, group, pairwise, akms), {0, 0}}));
}

inline Bytes Wpa(std::uint8_t group, const Bytes& pairwise, const Bytes& akms) {
    return Ie(221, Join({{0x00, 0x50, 0xf2, 0x01}, SuiteBody(wlanlinux::kOuiWpa, group, pairwise, akms)}));
}

inline Bytes Ssid(const char* text) { return Ie(0, Bytes(text, text + std::strlen(text))); }

// Rates in 500 kb/s units: 11b rates with the basic bit, then OFDM ones.
inline Bytes DsssRates() { return Ie(1, {0x82, 0x84, 0x8b, 0x96}); }
inline Bytes OfdmRates() { return Ie(1, {0x8c, 0x12, 0x98, 0x24, 0xb0, 0x48, 0x60, 0x6c}); }
inline Bytes MixedRates() {
    return Join({Ie(1, {0x82, 0x84, 0x8b, 0x96, 0x0c, 0x12, 0x18, 0x24}), Ie(50, {0x30, 0x48, 0x60, 0x6c})});
}
inline Bytes HtCapabilities() { return Ie(45, Bytes(26, 0)); }
inline Bytes VhtCapabilities() { return Ie(191, Bytes(12, 0)); }
inline Bytes HeCapabilities() { return Extension(35, Bytes(21, 0)); }
inline Bytes EhtCapabilities() { return Extension(108, Bytes(14, 0)); }

// Bytes written as hex ("dd0f50..."), as captures and examples give them.
inline Bytes FromHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// A copy of `bytes` in a heap block of exactly its size.
inline std::unique_ptr<std::uint8_t[]> ExactCopy(const Bytes& bytes) {
    auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    return copy;
}

// What the elements in `bytes` say, read from an exactly sized copy.
inline wlanlinux::ElementSummary Summarize(const Bytes& bytes) {
    return wlanlinux::SummarizeElements(ExactCopy(bytes).get(), bytes.size());
}

// A generic-netlink message under construction.
class GenlMessage {
public:
    explicit GenlMessage(std::uint8_t command = 0, std::uint16_t type = 0x1c) : buffer_(16384) {
        message_ = mnl_nlmsg_put_header(buffer_.data());
        message_->nlmsg_type = type;
        auto* generic = static_cast<genlmsghdr*>(mnl_nlmsg_put_extra_header(message_, GENL_HDRLEN));
        generic->cmd = command;
    }
    nlmsghdr* get() { return message_; }
    Bytes Raw() const { return Bytes(buffer_.begin(), buffer_.begin() + message_->nlmsg_len); }
    // The message as it stands, in an exactly sized heap block.
    std::unique_ptr<std::uint8_t[]> Exact() const { return ExactCopy(Raw()); }

private:
    std::vector<std::uint8_t> buffer_;
    nlmsghdr* message_;
};

inline const nlmsghdr* AsMessage(const std::unique_ptr<std::uint8_t[]>& bytes) {
    return reinterpret_cast<const nlmsghdr*>(bytes.get());
}

}  // namespace testing_support
