// The netlink layer: the reply walk and attribute checks on messages built
// here, and the exchange over the scripted kernel.
#include <gtest/gtest.h>
#include <linux/genetlink.h>
#include <linux/nl80211.h>

#include <cerrno>
#include <optional>
#include <tuple>

#include "scripted_kernel.h"
#include "test_builders.h"
#include "wlan/linux/netlink/generic_family.h"
#include "wlan/linux/netlink/netlink_attributes.h"
#include "wlan/linux/netlink/netlink_reply_walk.h"
#include "wlan/linux/netlink/netlink_request.h"
#include "wlan/linux/netlink/netlink_socket.h"
#include "wlan/linux/device/route_link.h"

using namespace testing_support;
using scripted_kernel::BytesOf;
using wlanlinux::ChunkStatus;
using wlanlinux::WalkReplyChunk;

namespace {

constexpr std::uint32_t kSequence = 41;
constexpr std::uint32_t kPort = 1234;

// Several netlink messages back to back, as one receive delivers them.
struct Chunk {
    Bytes bytes;

    Chunk& Add(std::uint16_t type, std::uint16_t flags = 0, Bytes payload = {}, std::uint32_t sequence = kSequence,
               std::uint32_t port = kPort) {
        payload.resize(NLMSG_ALIGN(payload.size()));
        const nlmsghdr header{static_cast<std::uint32_t>(NLMSG_LENGTH(payload.size())), type, flags, sequence, port};
        bytes = Join({bytes, BytesOf(header), payload});
        return *this;
    }
    Chunk& Error(int error) { return Add(NLMSG_ERROR, 0, BytesOf(nlmsgerr{.error = error, .msg = {}})); }
    Chunk& Done(int status) { return Add(NLMSG_DONE, NLM_F_MULTI, BytesOf(status)); }
};

using Walked = std::tuple<ChunkStatus, int, int>;  // status, error, messages handed on

Walked Walk(const Bytes& bytes) {
    const auto exact = ExactCopy(bytes);
    int messages = 0;
    const auto result =
        WalkReplyChunk(exact.get(), bytes.size(), kSequence, kPort, [&messages](const nlmsghdr*) { ++messages; });
    return {result.status, result.error, messages};
}

constexpr std::uint16_t kFamily = 0x1c;

}  // namespace

TEST(WalkReplyChunk, EndsErrorsAndWhatIsNotOurs) {
    using enum ChunkStatus;
    const Bytes twoData = Chunk().Add(kFamily, NLM_F_MULTI).Add(kFamily, NLM_F_MULTI).bytes;
    const auto withLength = [&twoData](std::uint32_t length) {
        // The second of the two messages claims this length.
        Bytes bytes = twoData;
        std::memcpy(bytes.data() + NLMSG_HDRLEN, &length, sizeof length);
        return bytes;
    };
    struct Case {
        const char* name;
        Bytes bytes;
        Walked walked;
    };
    const Case cases[] = {
        {"data only: keep receiving", twoData, {More, 0, 2}},
        {"data then done", Chunk().Add(kFamily, NLM_F_MULTI).Done(0).bytes, {Done, 0, 1}},
        {"done carrying an error", Chunk().Done(-EBUSY).bytes, {Failed, EBUSY, 0}},
        {"acknowledgement", Chunk().Add(kFamily).Error(0).bytes, {Done, 0, 1}},
        {"error", Chunk().Error(-ENODEV).bytes, {Failed, ENODEV, 0}},
        {"error too short", Chunk().Add(NLMSG_ERROR, 0, BytesOf(-EBUSY)).bytes, {Failed, EPROTO, 0}},
        {"interrupted dump", Chunk().Add(kFamily, NLM_F_MULTI).Add(kFamily, NLM_F_MULTI | NLM_F_DUMP_INTR).bytes,
         {Restart, 0, 1}},
        {"interrupted end", Chunk().Add(NLMSG_DONE, NLM_F_MULTI | NLM_F_DUMP_INTR).bytes, {Restart, 0, 0}},
        {"noop is skipped", Chunk().Add(NLMSG_NOOP).Done(0).bytes, {Done, 0, 0}},
        // Statuses that are not negative errnos.
        {"error INT32_MIN", Chunk().Error(INT32_MIN).bytes, {Failed, EPROTO, 0}},
        {"error positive", Chunk().Error(5).bytes, {Failed, EPROTO, 0}},
        {"done INT32_MIN", Chunk().Done(INT32_MIN).bytes, {Failed, EPROTO, 0}},
        // Other requests' messages count for nothing, their ends included.
        {"other sequence, other port, then ours",
         Chunk().Add(kFamily, NLM_F_MULTI, {}, kSequence - 1).Add(kFamily, NLM_F_MULTI, {}, kSequence, kPort + 1)
             .Done(-EBUSY).bytes,
         {Failed, EBUSY, 0}},
        {"another sequence's end", Chunk().Add(NLMSG_DONE, 0, {0, 0, 0, 0}, 99).bytes, {More, 0, 0}},
        // A length past the buffer ends the walk; one near 2^32, negative as
        // an int, neither stalls it nor jumps out of the buffer.
        {"second message cut short", withLength(NLMSG_HDRLEN + 4), {More, 0, 1}},
        {"length far past the buffer", withLength(0xff), {More, 0, 1}},
        {"length 2^32 - 3", withLength(0xfffffffdu), {More, 0, 1}},
        {"shorter than a header", Bytes{1, 2, 3}, {More, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(Walk(c.bytes), c.walked) << c.name;
}

TEST(CollectAttributes, ValidatesKindAndLength) {
    enum : std::uint16_t { kU32 = 1, kName = 2, kMac = 3, kBlob = 4, kFlag = 5, kNest = 6, kUnwanted = 7 };
    constexpr auto policy = wlanlinux::MakePolicy<8>({
        {kU32, MNL_TYPE_U32},
        {kName, MNL_TYPE_NUL_STRING},
        {kMac, MNL_TYPE_BINARY, 6},
        {kBlob, MNL_TYPE_BINARY},
        {kFlag, MNL_TYPE_FLAG},
        {kNest, MNL_TYPE_NESTED},
    });
    struct Case {
        const char* name;
        std::uint16_t type;
        Bytes payload;
        bool valid;
    };
    const Case cases[] = {
        {"u32", kU32, {1, 0, 0, 0}, true},
        {"u32 too short", kU32, {1, 0}, false},
        {"u32 too long", kU32, {1, 0, 0, 0, 0, 0, 0, 0}, false},
        {"string", kName, {'w', 'l', 'a', 'n', '0', 0}, true},
        {"string without terminator", kName, {'w', 'l', 'a', 'n'}, false},
        {"empty string", kName, {}, false},
        {"mac", kMac, {1, 2, 3, 4, 5, 6}, true},
        {"mac too short", kMac, {1, 2, 3, 4, 5}, false},
        {"mac too long", kMac, {1, 2, 3, 4, 5, 6, 7}, false},
        {"blob of any length", kBlob, Bytes(300, 1), true},
        {"empty blob", kBlob, {}, true},
        {"flag", kFlag, {}, true},
        {"flag with payload", kFlag, {1}, false},
        {"nest too short", kNest, {1, 0}, false},
        {"unwanted", kUnwanted, {1, 0, 0, 0}, false},
        {"type beyond the policy", 200, {1, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        GenlMessage message;
        mnl_attr_put(message.get(), c.type, c.payload.size(), c.payload.data());
        const auto exact = message.Exact();
        std::array<const nlattr*, policy.size()> found;
        wlanlinux::CollectGenericAttributes(AsMessage(exact), policy, found);
        EXPECT_EQ(std::any_of(found.begin(), found.end(), [](const nlattr* a) { return a; }), c.valid) << c.name;
    }
}

TEST(CollectAttributes, FirstValidInstanceCountsAndOverrunsStop) {
    // Attribute 1, a u32, as the collection finds it in `raw`.
    const auto collected = [](const Bytes& raw) -> std::optional<std::uint32_t> {
        constexpr auto policy = wlanlinux::MakePolicy<2>({{1, MNL_TYPE_U32}});
        const auto exact = ExactCopy(raw);
        std::array<const nlattr*, 2> found;
        wlanlinux::CollectGenericAttributes(AsMessage(exact), policy, found);
        if (found[1] == nullptr) return std::nullopt;
        return mnl_attr_get_u32(found[1]);
    };
    GenlMessage message;
    mnl_attr_put_u16(message.get(), 1, 5);  // invalid: skipped
    mnl_attr_put_u32(message.get(), 1, 6);
    mnl_attr_put_u32(message.get(), 1, 7);
    EXPECT_EQ(collected(message.Raw()), 6u);
    // An attribute whose length runs past the payload is never looked at.
    Bytes overrun = message.Raw();
    overrun[NLMSG_HDRLEN + GENL_HDRLEN] = 0x40;  // nla_len 64 in a 24-byte payload
    EXPECT_EQ(collected(overrun), std::nullopt);
    // A message too short for its generic header has no attributes.
    GenlMessage headerOnly;
    headerOnly.get()->nlmsg_len = NLMSG_HDRLEN + 2;
    EXPECT_EQ(collected(headerOnly.Raw()), std::nullopt);
}

// A family ID of the wrong size is none. (A well-formed reply: the scripted
// kernel and this machine's own, test_machine.cpp.)
TEST(ParseFamilyReply, RefusesAnIdOfTheWrongSize) {
    GenlMessage reply(CTRL_CMD_NEWFAMILY, GENL_ID_CTRL);
    mnl_attr_put_u32(reply.get(), CTRL_ATTR_FAMILY_ID, 0x1c);
    const auto exact = reply.Exact();
    EXPECT_EQ(wlanlinux::ParseFamilyReply(AsMessage(exact)), 0);
}

// The exchange over the scripted kernel, troubled as a busy kernel troubles it.
TEST(RunNetlinkRequest, InterruptedOrLostRepliesStartAgainOnAFreshSocket) {
    using scripted_kernel::Trouble;
    const Trouble interrupted{Trouble::Interrupted};
    const Trouble lost{Trouble::Lost};
    struct Case {
        const char* name;
        std::deque<Trouble> troubles;
        bool socketsRefused;
        std::tuple<int, int, int> outcome;  // result; messages (the interface dump's three); resets
    };
    const Case cases[] = {
        {"interrupted three times", {interrupted, lost, interrupted}, false, {0, 3, 3}},
        {"interrupted every time", {interrupted, interrupted, lost, interrupted}, false, {EAGAIN, 3, 3}},
        {"another receive error is final", {{Trouble::Lost, EPERM}}, false, {EPERM, 1, 0}},
        {"no socket to start again on", {lost}, true, {EMFILE, 1, 0}},
    };
    for (const Case& c : cases) {
        scripted_kernel::ResetMachine().troubles = c.troubles;
        wlanlinux::NetlinkSocket socket;
        ASSERT_TRUE(wlanlinux::OpenNetlinkSocket(socket));
        scripted_kernel::TheMachine().socketsRefused = c.socketsRefused;
        const wlanlinux::NetlinkRequest dump{.family = kFamily, .command = NL80211_CMD_GET_INTERFACE, .version = 0,
                                             .dump = true, .addAttributes = {}, .addHeader = {}};
        int messages = 0;
        int resets = 0;
        const int result = wlanlinux::RunNetlinkRequest(
            socket, dump, [&] { ++resets; messages = 0; }, [&](const nlmsghdr*) { ++messages; });
        EXPECT_EQ(std::tuple(result, messages, resets), c.outcome) << c.name;
        wlanlinux::CloseNetlinkSocket(socket);
        EXPECT_EQ(scripted_kernel::OpenSockets(), 0u) << c.name;
    }
    scripted_kernel::ResetMachine();
}

TEST(ReadLink, StartedAgainReadsTheDeviceAsItIsThen) {
    // The link message arrives, its acknowledgement is lost, and the device
    // goes before the second read: nothing of the first read remains.
    const auto unplug = [](scripted_kernel::Machine& machine) { machine.interfaces.clear(); };
    scripted_kernel::ResetMachine().troubles = {{scripted_kernel::Trouble::Lost, ENOBUFS, unplug}};
    wlanlinux::NetlinkSocket route(NETLINK_ROUTE);
    wlanlinux::LinkFacts facts;
    EXPECT_EQ(wlanlinux::ReadLink(route, 3, facts), ENODEV);
    EXPECT_FALSE(facts.up);
    EXPECT_EQ(facts.name[0], 0);
    scripted_kernel::ResetMachine();
}
