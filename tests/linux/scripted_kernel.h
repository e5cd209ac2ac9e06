// A scripted kernel: linked in place of the layer's socket file
// (netlink_socket.cpp), it answers the layer's netlink requests from a machine
// described here, so the whole layer runs unchanged above it. It serves the
// generic-netlink family lookup, the nl80211 interface, wiphy, station and
// scan dumps, and route-netlink link reads by index; and it can trouble the
// exchange as a busy kernel does (interrupted dumps, lost replies).
#pragma once

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace scripted_kernel {

struct Bss {
    std::vector<std::uint8_t> ies;
    std::uint16_t capability = 0x0401;  // ESS
    std::uint32_t frequency = 2412;
    std::int32_t mbm = -6000;
    bool associated = false;
};

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

// Two listed interfaces on two wiphys, an access point interface the API
// leaves out, and networks of several kinds on both.
Machine SampleMachine();

// Sockets opened and not yet closed.
std::size_t OpenSockets();

}  // namespace scripted_kernel
