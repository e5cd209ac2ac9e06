// A scripted kernel: linked in place of the layer's socket file
// (netlink_socket.cpp), it answers the layer's netlink requests from a machine
// described here, so the whole layer runs unchanged above it. It serves the
// generic-netlink family lookup, the nl80211 interface, wiphy, station and
// scan dumps, and route-netlink link reads by index; and it can trouble the
// exchange as a busy kernel does (interrupted dumps, lost replies).
#pragma once

#include <libmnl/libmnl.h>
#include <linux/nl80211.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace scripted_kernel {

// The bytes of a value, as a message carries it.
template <typename T>
std::vector<std::uint8_t> BytesOf(const T& value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    return std::vector<std::uint8_t>(bytes, bytes + sizeof value);
}

// One BSS of a scan dump, as the kernel gives it.
struct Bss {
    std::vector<std::uint8_t> ies = {};
    std::uint16_t capability = 0x0401;  // ESS, short slot time
    std::uint32_t frequency = 2412;
    std::optional<std::int32_t> mbm = -5000;    // the signal in 1/100 dBm
    std::optional<std::uint32_t> status = {};   // NL80211_BSS_STATUS_*
    std::optional<std::uint8_t> unspec = {};    // the driver's own 0..100 signal
    std::array<std::uint8_t, 6> bssid = {2, 0, 0, 0, 1, 0};
    bool beaconOnly = false;       // elements only in NL80211_BSS_BEACON_IES
    bool shortCapability = false;  // one byte: a size the parser must refuse
    bool shortSignal = false;      // two bytes, likewise
};

// Puts `bss` into a scan dump message as its NL80211_ATTR_BSS nest.
inline void PutBss(nlmsghdr* m, const Bss& bss) {
    nlattr* nest = mnl_attr_nest_start(m, NL80211_ATTR_BSS);
    mnl_attr_put(m, NL80211_BSS_BSSID, bss.bssid.size(), bss.bssid.data());
    mnl_attr_put_u32(m, NL80211_BSS_FREQUENCY, bss.frequency);
    if (bss.shortCapability) mnl_attr_put_u8(m, NL80211_BSS_CAPABILITY, 1);
    else mnl_attr_put_u16(m, NL80211_BSS_CAPABILITY, bss.capability);
    mnl_attr_put(m, bss.beaconOnly ? NL80211_BSS_BEACON_IES : NL80211_BSS_INFORMATION_ELEMENTS, bss.ies.size(),
                 bss.ies.data());
    if (bss.shortSignal) mnl_attr_put_u16(m, NL80211_BSS_SIGNAL_MBM, 0xec78);
    else if (bss.mbm) mnl_attr_put_u32(m, NL80211_BSS_SIGNAL_MBM, static_cast<std::uint32_t>(*bss.mbm));
    if (bss.unspec) mnl_attr_put_u8(m, NL80211_BSS_SIGNAL_UNSPEC, *bss.unspec);
    if (bss.status) mnl_attr_put_u32(m, NL80211_BSS_STATUS, *bss.status);
    mnl_attr_nest_end(m, nest);
}

// Puts the interface types a wiphy supports.
inline void PutIftypes(nlmsghdr* m, std::initializer_list<std::uint16_t> types) {
    nlattr* nest = mnl_attr_nest_start(m, NL80211_ATTR_SUPPORTED_IFTYPES);
    for (const std::uint16_t type : types) mnl_attr_put(m, type, 0, nullptr);
    mnl_attr_nest_end(m, nest);
}

struct Interface {
    std::uint32_t ifindex = 0;
    std::string name = {};  // as the interface dump gives it
    std::uint32_t iftype = 2;  // NL80211_IFTYPE_STATION
    std::uint32_t wiphy = 0;
    std::array<std::uint8_t, 6> mac{};
    std::array<std::uint8_t, 6> permanent{};  // all zeros: the device has none
    bool up = true;
    bool associated = false;      // the interface dump carries an SSID
    bool authenticating = false;  // the station dump has an entry without flags
    std::vector<Bss> bsses = {};
    // The name the device has when it is read by index (renamed after the
    // dump); empty: unchanged.
    std::string linkName = {};
    // Scan dumps that end with ENODEV after half the entries, as when the
    // interface goes away during the dump.
    int scanDumpsCutShort = 0;
};

struct Machine;

// What befalls the answer to one request (a start again is a new request).
struct Trouble {
    enum Kind {
        Interrupted,  // its last message marked NLM_F_DUMP_INTR
        Lost,         // only its first message arrives, then the receive fails
    } kind = Interrupted;
    int error = ENOBUFS;  // the failed receive's errno (Lost)
    std::function<void(Machine&)> then = {};  // how the machine changes after it
};

struct Machine {
    bool nl80211 = true;
    std::vector<Interface> interfaces = {};
    std::deque<Trouble> troubles = {};  // for the next requests, in order
    bool socketsRefused = false;   // opening a socket fails with EMFILE
};

// What the kernel serves; tests change it freely between requests.
Machine& TheMachine();

// Puts back the sample machine and returns it: two listed interfaces on two
// wiphys, an access point interface the API leaves out, and networks of
// several kinds on both.
Machine& ResetMachine();

// Sockets opened and not yet closed.
std::size_t OpenSockets();

}  // namespace scripted_kernel
