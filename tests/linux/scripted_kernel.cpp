#include "scripted_kernel.h"

#include <linux/genetlink.h>
#include <linux/if.h>
#include <linux/nl80211.h>
#include <linux/rtnetlink.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <set>

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
void ApplyTrouble(std::vector<Datagram>& replies) {
    Machine& machine = TheMachine();
    if (machine.troubles.empty() || replies.empty()) return;
    const Trouble trouble = machine.troubles.front();
    machine.troubles.pop_front();
    if (trouble.kind == Trouble::Interrupted)
        reinterpret_cast<nlmsghdr*>(replies.back().bytes.data())->nlmsg_flags |= NLM_F_DUMP_INTR;
    else replies = {replies.front(), {{}, trouble.error}};
    if (trouble.then) trouble.then(machine);
}

std::size_t openSockets = 0;
std::uint32_t lastPort = 1000;

Socket* SocketOf(const wlanlinux::NetlinkSocket& socket) {
    return reinterpret_cast<Socket*>(socket.socket);
}

// A reply to `request` from the kernel: addressed to its sender, with its
// sequence number; `header` follows the netlink header, then what `fill` adds.
Datagram Reply(const nlmsghdr* request, std::uint32_t port, bool multi, std::uint16_t type, const Bytes& header,
               const std::function<void(nlmsghdr*)>& fill = {}) {
    Bytes buffer(MNL_SOCKET_BUFFER_SIZE);
    nlmsghdr* message = mnl_nlmsg_put_header(buffer.data());
    message->nlmsg_type = type;
    message->nlmsg_flags = multi ? NLM_F_MULTI : 0;
    message->nlmsg_seq = request->nlmsg_seq;
    message->nlmsg_pid = port;
    std::memcpy(mnl_nlmsg_put_extra_header(message, header.size()), header.data(), header.size());
    if (fill) fill(message);
    buffer.resize(message->nlmsg_len);
    return {buffer};
}

// The end of a reply: NLMSG_DONE carrying the status after a dump, else
// NLMSG_ERROR (error 0 is the acknowledgement).
Datagram Status(const nlmsghdr* request, std::uint32_t port, bool dump, int error) {
    if (dump) return Reply(request, port, true, NLMSG_DONE, BytesOf(error));
    return Reply(request, port, false, NLMSG_ERROR, BytesOf(nlmsgerr{.error = error, .msg = *request}));
}

Interface* FindInterface(std::uint32_t ifindex) {
    for (Interface& netdev : TheMachine().interfaces)
        if (netdev.ifindex == ifindex) return &netdev;
    return nullptr;
}

// The request's attribute of this type (a u32 or a string), or null.
const nlattr* RequestAttribute(const nlmsghdr* request, std::uint16_t type, mnl_attr_data_type kind) {
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
    if (wiphy == 0) PutIftypes(m, {NL80211_IFTYPE_STATION, NL80211_IFTYPE_ADHOC});
    else PutIftypes(m, {NL80211_IFTYPE_STATION});
    if (wiphy == 0) mnl_attr_put_u32(m, NL80211_ATTR_FEATURE_FLAGS, NL80211_FEATURE_SAE);
}

// The replies of one generic-netlink request, each its own datagram.
std::vector<Datagram> AnswerGeneric(const nlmsghdr* request, std::uint32_t port) {
    const auto* header = static_cast<const genlmsghdr*>(mnl_nlmsg_get_payload(request));
    const bool dump = (request->nlmsg_flags & NLM_F_DUMP) == NLM_F_DUMP;
    std::vector<Datagram> replies;
    const auto add = [&](std::uint8_t command, const std::function<void(nlmsghdr*)>& fill) {
        const genlmsghdr reply{command, 0, 0};
        replies.push_back(Reply(request, port, dump, request->nlmsg_type, BytesOf(reply), fill));
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
            std::set<std::uint32_t> wiphys;
            for (const Interface& each : machine.interfaces) wiphys.insert(each.wiphy);
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
            for (std::size_t i = 0; i != count; ++i) {
                Bss numbered = netdev->bsses[i];
                numbered.bssid = {2, 0xaa, 0, 0, 0, static_cast<std::uint8_t>(i)};
                add(NL80211_CMD_NEW_SCAN_RESULTS, [&](nlmsghdr* m) { PutBss(m, numbered); });
            }
            if (cut) --netdev->scanDumpsCutShort;
            return finish(cut ? -ENODEV : 0);
        }
        default:
            return finish(-EOPNOTSUPP);
    }
}

// RTM_GETLINK for one index: the link message, then the acknowledgement.
std::vector<Datagram> AnswerRoute(const nlmsghdr* request, std::uint32_t port) {
    const bool dump = (request->nlmsg_flags & NLM_F_DUMP) == NLM_F_DUMP;
    if (request->nlmsg_type != RTM_GETLINK || dump || mnl_nlmsg_get_payload_len(request) < sizeof(ifinfomsg))
        return {Status(request, port, dump, -EOPNOTSUPP)};
    const auto* asked = static_cast<const ifinfomsg*>(mnl_nlmsg_get_payload(request));
    const Interface* netdev = FindInterface(static_cast<std::uint32_t>(asked->ifi_index));
    if (netdev == nullptr) return {Status(request, port, false, -ENODEV)};
    ifinfomsg info{};
    info.ifi_family = AF_UNSPEC;
    info.ifi_index = asked->ifi_index;
    info.ifi_flags = netdev->up ? IFF_UP | IFF_BROADCAST : IFF_BROADCAST;
    const Datagram link = Reply(request, port, false, RTM_NEWLINK, BytesOf(info), [netdev](nlmsghdr* m) {
        mnl_attr_put_strz(m, IFLA_IFNAME, (netdev->linkName.empty() ? netdev->name : netdev->linkName).c_str());
        mnl_attr_put(m, IFLA_ADDRESS, netdev->mac.size(), netdev->mac.data());
        if (netdev->permanent != decltype(netdev->permanent){})
            mnl_attr_put(m, IFLA_PERM_ADDRESS, netdev->permanent.size(), netdev->permanent.data());
    });
    return {link, Status(request, port, false, 0)};
}

Machine SampleMachine() {
    const allocation_faults::Pause pause;
    Interface wlan0{.ifindex = 3, .name = "wlan0", .mac = {2, 0, 0, 0, 3, 1}, .permanent = {2, 0, 0, 0, 3, 0},
                    .associated = true};
    wlan0.bsses = {
        {Join({Ssid("home"), MixedRates(), Rsn(4, {4}, {2}), HtCapabilities()}), 0x0411, 2412, -4500,
         NL80211_BSS_STATUS_ASSOCIATED},
        {Join({Ssid("cafe"), MixedRates()}), 0x0401, 2437, -8000},
        {Join({Ssid("home"), OfdmRates(), Rsn(4, {4}, {2}), HtCapabilities(), VhtCapabilities()}), 0x0411, 5180, -6000},
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

}  // namespace

Machine& TheMachine() {
    static Machine machine = SampleMachine();
    return machine;
}

Machine& ResetMachine() { return TheMachine() = SampleMachine(); }

std::size_t OpenSockets() { return openSockets; }

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
    auto* opened = new Socket{socket.protocol, ++scripted_kernel::lastPort, {}};
    ++scripted_kernel::openSockets;
    socket.socket = reinterpret_cast<mnl_socket*>(opened);
    socket.portId = opened->port;
    return true;
}

void CloseNetlinkSocket(NetlinkSocket& socket) {
    const allocation_faults::Pause pause;
    if (socket.socket != nullptr) --scripted_kernel::openSockets;
    delete scripted_kernel::SocketOf(socket);
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
    auto replies = target->protocol == NETLINK_ROUTE ? scripted_kernel::AnswerRoute(message, target->port)
                                                     : scripted_kernel::AnswerGeneric(message, target->port);
    scripted_kernel::ApplyTrouble(replies);
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
    scripted_kernel::Datagram received = std::move(source->pending.front());
    source->pending.pop_front();
    if (received.error == 0 && received.bytes.size() > size) received.error = EMSGSIZE;
    if (received.error != 0) {
        errno = received.error;
        return -1;
    }
    std::memcpy(buffer, received.bytes.data(), received.bytes.size());
    return static_cast<ssize_t>(received.bytes.size());
}

}  // namespace wlanlinux
