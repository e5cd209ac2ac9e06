#include "scripted_kernel.h"

#include <linux/genetlink.h>
#include <linux/if.h>
#include <linux/nl80211.h>
#include <linux/rtnetlink.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

#include "allocation_faults.h"
#include "test_builders.h"
#include "wlan/linux/netlink/netlink_attributes.h"
#include "wlan/linux/netlink/netlink_socket.h"

using namespace testing_support;

namespace scripted_kernel {
namespace {

constexpr std::uint16_t kNl80211 = 0x1c;

// What one receive gets: a datagram, or the errno it fails with.
struct Datagram {
    Bytes bytes;
    int error = 0;
};

// One open socket: its protocol, port and the datagrams waiting for it.
struct Socket {
    int protocol = NETLINK_GENERIC;
    std::uint32_t port = 0;
    std::deque<Datagram> pending;
};

// The answer to one request as the next trouble leaves it.
std::vector<Datagram> Troubled(std::vector<Bytes> replies) {
    Machine& machine = TheMachine();
    std::vector<Datagram> datagrams;
    if (machine.troubles.empty() || replies.empty()) {
        for (Bytes& reply : replies) datagrams.push_back({std::move(reply)});
        return datagrams;
    }
    const Trouble trouble = machine.troubles.front();
    machine.troubles.pop_front();
    if (trouble.kind == Trouble::Interrupted) {
        reinterpret_cast<nlmsghdr*>(replies.back().data())->nlmsg_flags |= NLM_F_DUMP_INTR;
        for (Bytes& reply : replies) datagrams.push_back({std::move(reply)});
    } else {
        datagrams = {{std::move(replies.front())}, {{}, trouble.error}};
    }
    if (trouble.then) trouble.then(machine);
    return datagrams;
}

std::size_t openSockets = 0;
std::uint32_t lastPort = 1000;

Socket* SocketOf(const wlanlinux::NetlinkSocket& socket) {
    return reinterpret_cast<Socket*>(socket.socket);
}

// A reply to `request`: addressed to its sender, with its sequence number.
void Address(nlmsghdr* reply, const nlmsghdr* request, std::uint32_t port, bool multi) {
    reply->nlmsg_seq = request->nlmsg_seq;
    reply->nlmsg_pid = port;
    if (multi) reply->nlmsg_flags |= NLM_F_MULTI;
}

// The end of a reply: NLMSG_DONE carrying the status after a dump, else
// NLMSG_ERROR (error 0 is the acknowledgement).
Bytes Status(const nlmsghdr* request, std::uint32_t port, bool dump, int error) {
    Bytes buffer(MNL_SOCKET_BUFFER_SIZE);
    nlmsghdr* message = mnl_nlmsg_put_header(buffer.data());
    if (dump) {
        message->nlmsg_type = NLMSG_DONE;
        std::memcpy(mnl_nlmsg_put_extra_header(message, sizeof error), &error, sizeof error);
    } else {
        message->nlmsg_type = NLMSG_ERROR;
        nlmsgerr report{};
        report.error = error;
        report.msg = *request;
        std::memcpy(mnl_nlmsg_put_extra_header(message, sizeof report), &report, sizeof report);
    }
    Address(message, request, port, dump);
    buffer.resize(message->nlmsg_len);
    return buffer;
}

Interface* FindInterface(std::uint32_t ifindex) {
    for (Interface& netdev : TheMachine().interfaces)
        if (netdev.ifindex == ifindex) return &netdev;
    return nullptr;
}

// The request's attribute of this type (a u32 or a string), or null.
const nlattr* RequestAttribute(const nlmsghdr* request, std::uint16_t type,
                               mnl_attr_data_type kind) {
    std::array<wlanlinux::AttributePolicy, NL80211_ATTR_IFINDEX + 1> policy{};
    policy[type] = {kind, 0};
    std::array<const nlattr*, policy.size()> found{};
    wlanlinux::CollectGenericAttributes(request, policy, found);
    return found[type];
}

void PutInterface(nlmsghdr* m, const Interface& netdev) {
    mnl_attr_put_u32(m, NL80211_ATTR_IFINDEX, netdev.ifindex);
    mnl_attr_put_strz(m, NL80211_ATTR_IFNAME, netdev.name.c_str());
    mnl_attr_put_u32(m, NL80211_ATTR_IFTYPE, netdev.iftype);
    mnl_attr_put_u32(m, NL80211_ATTR_WIPHY, netdev.wiphy);
    mnl_attr_put(m, NL80211_ATTR_MAC, netdev.mac.size(), netdev.mac.data());
    if (netdev.associated) mnl_attr_put(m, NL80211_ATTR_SSID, 4, "home");
}

void PutWiphy(nlmsghdr* m, std::uint32_t wiphy) {
    mnl_attr_put_u32(m, NL80211_ATTR_WIPHY, wiphy);
    // wiphy 0 does everything; the others only CCMP stations.
    const std::uint32_t all[] = {0x000fac01, 0x000fac05, 0x000fac02, 0x000fac09, 0x000fac04};
    mnl_attr_put(m, NL80211_ATTR_CIPHER_SUITES, wiphy == 0 ? sizeof all : sizeof all[4],
                 wiphy == 0 ? &all[0] : &all[4]);
    nlattr* types = mnl_attr_nest_start(m, NL80211_ATTR_SUPPORTED_IFTYPES);
    mnl_attr_put(m, NL80211_IFTYPE_STATION, 0, nullptr);
    if (wiphy == 0) mnl_attr_put(m, NL80211_IFTYPE_ADHOC, 0, nullptr);
    mnl_attr_nest_end(m, types);
    if (wiphy == 0) mnl_attr_put_u32(m, NL80211_ATTR_FEATURE_FLAGS, NL80211_FEATURE_SAE);
}

void PutBss(nlmsghdr* m, const Bss& bss, std::size_t index) {
    nlattr* nest = mnl_attr_nest_start(m, NL80211_ATTR_BSS);
    const std::uint8_t bssid[6] = {2, 0xaa, 0, 0, 0, static_cast<std::uint8_t>(index)};
    mnl_attr_put(m, NL80211_BSS_BSSID, sizeof bssid, bssid);
    mnl_attr_put_u32(m, NL80211_BSS_FREQUENCY, bss.frequency);
    mnl_attr_put_u16(m, NL80211_BSS_CAPABILITY, bss.capability);
    mnl_attr_put(m, NL80211_BSS_INFORMATION_ELEMENTS, bss.ies.size(), bss.ies.data());
    mnl_attr_put_u32(m, NL80211_BSS_SIGNAL_MBM, static_cast<std::uint32_t>(bss.mbm));
    if (bss.associated) mnl_attr_put_u32(m, NL80211_BSS_STATUS, NL80211_BSS_STATUS_ASSOCIATED);
    mnl_attr_nest_end(m, nest);
}

// The replies of one generic-netlink request, each its own datagram.
std::vector<Bytes> AnswerGeneric(const nlmsghdr* request, std::uint32_t port) {
    const auto* header = static_cast<const genlmsghdr*>(mnl_nlmsg_get_payload(request));
    const bool dump = (request->nlmsg_flags & NLM_F_DUMP) == NLM_F_DUMP;
    std::vector<Bytes> replies;
    const auto add = [&](std::uint8_t command, auto&& fill) {
        GenlMessage reply(command, request->nlmsg_type);
        fill(reply.get());
        Address(reply.get(), request, port, dump);
        replies.push_back(reply.Raw());
    };
    const auto finish = [&](int error) {
        replies.push_back(Status(request, port, dump, error));
        return replies;
    };
    const nlattr* ifindex = RequestAttribute(request, NL80211_ATTR_IFINDEX, MNL_TYPE_U32);
    Interface* netdev = ifindex != nullptr ? FindInterface(mnl_attr_get_u32(ifindex)) : nullptr;
    Machine& machine = TheMachine();

    if (request->nlmsg_type == GENL_ID_CTRL && header->cmd == CTRL_CMD_GETFAMILY) {
        const nlattr* name = RequestAttribute(request, CTRL_ATTR_FAMILY_NAME, MNL_TYPE_NUL_STRING);
        if (name == nullptr || !machine.nl80211 || std::strcmp(mnl_attr_get_str(name), "nl80211") != 0)
            return finish(-ENOENT);
        add(CTRL_CMD_NEWFAMILY, [](nlmsghdr* m) {
            mnl_attr_put_strz(m, CTRL_ATTR_FAMILY_NAME, "nl80211");
            mnl_attr_put_u16(m, CTRL_ATTR_FAMILY_ID, kNl80211);
        });
        return finish(0);
    }
    if (request->nlmsg_type != kNl80211 || !machine.nl80211 || !dump) return finish(-EOPNOTSUPP);
    switch (header->cmd) {
        case NL80211_CMD_GET_INTERFACE:
            for (const Interface& each : machine.interfaces)
                add(NL80211_CMD_NEW_INTERFACE, [&](nlmsghdr* m) { PutInterface(m, each); });
            return finish(0);
        case NL80211_CMD_GET_WIPHY: {
            std::vector<std::uint32_t> wiphys;
            for (const Interface& each : machine.interfaces)
                if (std::find(wiphys.begin(), wiphys.end(), each.wiphy) == wiphys.end())
                    wiphys.push_back(each.wiphy);
            for (const std::uint32_t wiphy : wiphys)
                add(NL80211_CMD_NEW_WIPHY, [&](nlmsghdr* m) { PutWiphy(m, wiphy); });
            return finish(0);
        }
        case NL80211_CMD_GET_STATION:
            if (netdev == nullptr) return finish(-ENODEV);
            if (netdev->authenticating)
                add(NL80211_CMD_NEW_STATION, [](nlmsghdr* m) {
                    mnl_attr_nest_end(m, mnl_attr_nest_start(m, NL80211_ATTR_STA_INFO));
                });
            return finish(0);
        case NL80211_CMD_GET_SCAN: {
            if (netdev == nullptr) return finish(-ENODEV);
            const bool cut = netdev->scanDumpsCutShort > 0;
            const std::size_t count = cut ? netdev->bsses.size() / 2 : netdev->bsses.size();
            for (std::size_t i = 0; i != count; ++i)
                add(NL80211_CMD_NEW_SCAN_RESULTS, [&](nlmsghdr* m) { PutBss(m, netdev->bsses[i], i); });
            if (cut) --netdev->scanDumpsCutShort;
            return finish(cut ? -ENODEV : 0);
        }
        default:
            return finish(-EOPNOTSUPP);
    }
}

// RTM_GETLINK for one index: the link message, then the acknowledgement.
std::vector<Bytes> AnswerRoute(const nlmsghdr* request, std::uint32_t port) {
    const bool dump = (request->nlmsg_flags & NLM_F_DUMP) == NLM_F_DUMP;
    if (request->nlmsg_type != RTM_GETLINK || dump ||
        mnl_nlmsg_get_payload_len(request) < sizeof(ifinfomsg))
        return {Status(request, port, dump, -EOPNOTSUPP)};
    const auto* asked = static_cast<const ifinfomsg*>(mnl_nlmsg_get_payload(request));
    const Interface* netdev = FindInterface(static_cast<std::uint32_t>(asked->ifi_index));
    if (netdev == nullptr) return {Status(request, port, false, -ENODEV)};

    Bytes buffer(MNL_SOCKET_BUFFER_SIZE);
    nlmsghdr* m = mnl_nlmsg_put_header(buffer.data());
    m->nlmsg_type = RTM_NEWLINK;
    auto* info = static_cast<ifinfomsg*>(mnl_nlmsg_put_extra_header(m, sizeof(ifinfomsg)));
    info->ifi_family = AF_UNSPEC;
    info->ifi_index = asked->ifi_index;
    info->ifi_flags = netdev->up ? IFF_UP | IFF_BROADCAST : IFF_BROADCAST;
    const std::string& name = netdev->linkName.empty() ? netdev->name : netdev->linkName;
    mnl_attr_put_strz(m, IFLA_IFNAME, name.c_str());
    mnl_attr_put(m, IFLA_ADDRESS, netdev->mac.size(), netdev->mac.data());
    if (std::any_of(netdev->permanent.begin(), netdev->permanent.end(), [](auto b) { return b != 0; }))
        mnl_attr_put(m, IFLA_PERM_ADDRESS, netdev->permanent.size(), netdev->permanent.data());
    Address(m, request, port, false);
    buffer.resize(m->nlmsg_len);
    return {buffer, Status(request, port, false, 0)};
}

}  // namespace

Machine& TheMachine() {
    static Machine machine = SampleMachine();
    return machine;
}

std::size_t OpenSockets() { return openSockets; }

Machine SampleMachine() {
    const allocation_faults::Pause pause;
    Interface wlan0{.ifindex = 3, .name = "wlan0", .mac = {2, 0, 0, 0, 3, 1}, .permanent = {2, 0, 0, 0, 3, 0},
                    .associated = true};
    wlan0.bsses = {
        {Join({Ssid("home"), MixedRates(), Rsn(4, {4}, {2}), HtCapabilities()}), 0x0411, 2412, -4500, true},
        {Join({Ssid("cafe"), MixedRates()}), 0x0401, 2437, -8000},
        {Join({Ssid("home"), OfdmRates(), Rsn(4, {4}, {2}), HtCapabilities(), VhtCapabilities()}), 0x0411, 5180,
         -6000},
        {Join({Ssid("fast"), OfdmRates(), Rsn(4, {4}, {8}), HeCapabilities()}), 0x0411, 5500, -7000},
        {Join({Ie(0, {}), MixedRates(), Rsn(4, {4}, {2})}), 0x0411, 2462, -9000},
        {Join({Ssid("adhoc"), DsssRates()}), 0x0002, 2462, -7500},
        {Ssid("mesh"), 0x0000, 2412, -5000},
        {Ssid("dmg-ap"), 0x0013, 60480, -5500},
        {Ssid("dmg-pbss"), 0x0002, 58320, -6500},
    };
    // An access point interface: not listed.
    const Interface ap{.ifindex = 4, .name = "wlan-ap", .iftype = NL80211_IFTYPE_AP, .mac = {2, 0, 0, 0, 4, 0}};
    Interface wlan1{.ifindex = 5, .name = "wlan1", .wiphy = 1, .mac = {2, 0, 0, 0, 5, 0}, .authenticating = true};
    wlan1.bsses = {
        {Join({Ssid("corp"), OfdmRates(), Rsn(4, {4}, {1})}), 0x0411, 5200, -6500},
        {Join({Ssid("legacy"), DsssRates()}), 0x0011, 2412, -8500},
        {Join({Ssid("tkip"), MixedRates(), Wpa(2, {2}, {2})}), 0x0411, 2422, -7000},
    };
    return Machine{.interfaces = {wlan0, ap, wlan1}};
}

}  // namespace scripted_kernel

// The socket file's operations, answered by the script.
namespace wlanlinux {

using scripted_kernel::Socket;

bool OpenNetlinkSocket(NetlinkSocket& socket) {
    const allocation_faults::Pause pause;
    if (scripted_kernel::TheMachine().socketsRefused) {
        errno = EMFILE;
        return false;
    }
    auto* opened = new Socket;
    opened->protocol = socket.protocol;
    opened->port = ++scripted_kernel::lastPort;
    ++scripted_kernel::openSockets;
    socket.socket = reinterpret_cast<mnl_socket*>(opened);
    socket.portId = opened->port;
    return true;
}

void CloseNetlinkSocket(NetlinkSocket& socket) {
    const allocation_faults::Pause pause;
    if (socket.socket != nullptr) {
        delete scripted_kernel::SocketOf(socket);
        --scripted_kernel::openSockets;
    }
    socket.socket = nullptr;
    socket.portId = 0;
}

bool SendToKernel(NetlinkSocket& socket, const nlmsghdr* message) {
    const allocation_faults::Pause pause;
    Socket* target = scripted_kernel::SocketOf(socket);
    if (target == nullptr) {
        errno = EBADF;
        return false;
    }
    const auto replies = scripted_kernel::Troubled(
        target->protocol == NETLINK_ROUTE ? scripted_kernel::AnswerRoute(message, target->port)
                                          : scripted_kernel::AnswerGeneric(message, target->port));
    target->pending.insert(target->pending.end(), replies.begin(), replies.end());
    return true;
}

ssize_t ReceiveFromKernel(NetlinkSocket& socket, char* buffer, std::size_t size) {
    const allocation_faults::Pause pause;
    Socket* source = scripted_kernel::SocketOf(socket);
    if (source == nullptr || source->pending.empty()) {
        errno = source == nullptr ? EBADF : EAGAIN;  // as a receive that timed out
        return -1;
    }
    const scripted_kernel::Datagram received = std::move(source->pending.front());
    source->pending.pop_front();
    const Bytes& datagram = received.bytes;
    if (received.error != 0) {
        errno = received.error;
        return -1;
    }
    if (datagram.size() > size) {
        errno = EMSGSIZE;
        return -1;
    }
    std::memcpy(buffer, datagram.data(), datagram.size());
    return static_cast<ssize_t>(datagram.size());
}

}  // namespace wlanlinux
