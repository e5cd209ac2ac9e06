// iwd's known networks over the system bus. iwd names a profile after its
// SSID and keeps one per SSID and kind of security; its bus policy admits
// root and the netdev group only, so for anyone else there are none.
#pragma once

#include <systemd/sd-bus.h>

#include <string>
#include <vector>

#include "wlan/linux/profiles/saved_profiles.h"
#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {

inline constexpr char kIwdName[] = "net.connman.iwd";

// What one object of iwd's tree says, as far as profiles are concerned.
struct IwdObject {
    std::string path;
    bool isKnownNetwork = false;   // it has the KnownNetwork interface
    std::string name;              // KnownNetwork.Name: the SSID
    std::string type;              // KnownNetwork.Type: psk, open, 8021x
    std::string deviceName;        // Device.Name: the interface's name
    bool isStation = false;        // it has the Station interface
    std::string connectedNetwork;  // Station.ConnectedNetwork: a Network's path
    std::string stationState;      // Station.State: connected, connecting, ...
    std::string knownNetworkPath;  // Network.KnownNetwork: a KnownNetwork's path
};

// GetManagedObjects' reply: the objects that say something of profiles, each
// path once. 0, or a negative errno for a malformed reply (`objects` is then
// empty).
int ReadIwdObjects(sd_bus_message* reply, std::vector<IwdObject>& objects);

// The known networks among the objects, in iwd's order, and the one each
// station is connected through.
void IwdProfilesOf(const std::vector<IwdObject>& objects, ProfileSnapshot& out);

// The known networks and stations: 1 when iwd answered (a reply it refused or
// sent malformed leaves none), 0 when it is not on the bus, or a negative
// errno when the deadline passed or the connection failed.
int ReadIwdProfiles(BusOperation& operation, ProfileSnapshot& out);

}  // namespace wlanlinux
