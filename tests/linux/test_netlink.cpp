#include <gtest/gtest.h>
#include <linux/genetlink.h>

#include <net/if.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "test_builders.h"
#include "wlan/linux/device/netdevice_info.h"
#include "wlan/linux/netlink/generic_family.h"
#include "wlan/linux/netlink/netlink_attributes.h"
#include "wlan/linux/netlink/netlink_reply_walk.h"
#include "wlan/linux/netlink/netlink_request.h"
#include "wlan/linux/netlink/netlink_socket.h"
#include "wlan/linux/netlink/route_link.h"

using namespace testing_support;
using wlanlinux::ChunkStatus;
using wlanlinux::WalkReplyChunk;

namespace {

constexpr std::uint32_t kSequence = 41;
constexpr std::uint32_t kPort = 1234;

// Several netlink messages back to back, as one receive delivers them.
class Chunk {
public:
    Chunk& Add(std::uint16_t type, std::uint16_t flags = 0, const Bytes& payload = {},
               std::uint32_t sequence = kSequence, std::uint32_t port = kPort) {
        std::vector<std::uint8_t> scratch(MNL_SOCKET_BUFFER_SIZE);
        nlmsghdr* message = mnl_nlmsg_put_header(scratch.data());
        message->nlmsg_type = type;
        message->nlmsg_flags = flags;
        message->nlmsg_seq = sequence;
        message->nlmsg_pid = port;
        void* body = mnl_nlmsg_put_extra_header(message, payload.size());
        if (!payload.empty()) std::memcpy(body, payload.data(), payload.size());
        bytes_.insert(bytes_.end(), scratch.begin(), scratch.begin() + message->nlmsg_len);
        return *this;
    }
    Chunk& Error(int error) {
        Bytes payload(sizeof(nlmsgerr), 0);
        nlmsgerr report{};
        report.error = error;
        std::memcpy(payload.data(), &report, sizeof report);
        return Add(NLMSG_ERROR, 0, payload);
    }
    Chunk& Done(int status) {
        Bytes payload(sizeof status);
        std::memcpy(payload.data(), &status, sizeof status);
        return Add(NLMSG_DONE, NLM_F_MULTI, payload);
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

struct Walked {
    ChunkStatus status;
    int error;
    int messages;
};

Walked Walk(const Bytes& bytes) {
    const auto exact = ExactCopy(bytes);
    int messages = 0;
    const auto result = WalkReplyChunk(exact.get(), bytes.size(), kSequence, kPort,
                                       [&messages](const nlmsghdr*) { ++messages; });
    return {result.status, result.error, messages};
}

constexpr std::uint16_t kFamily = 0x1c;

}  // namespace

TEST(WalkReplyChunk, EndsAndErrors) {
    struct Case {
        const char* name;
        Bytes bytes;
        ChunkStatus status;
        int error;
        int messages;
    };
    const Case cases[] = {
        {"data only: keep receiving", Chunk().Add(kFamily, NLM_F_MULTI).Add(kFamily, NLM_F_MULTI).bytes(),
         ChunkStatus::More, 0, 2},
        {"data then done", Chunk().Add(kFamily, NLM_F_MULTI).Done(0).bytes(), ChunkStatus::Done, 0, 1},
        {"done carrying an error", Chunk().Done(-EBUSY).bytes(), ChunkStatus::Failed, EBUSY, 0},
        {"acknowledgement", Chunk().Add(kFamily).Error(0).bytes(), ChunkStatus::Done, 0, 1},
        {"error", Chunk().Error(-ENODEV).bytes(), ChunkStatus::Failed, ENODEV, 0},
        {"error too short", Chunk().Add(NLMSG_ERROR, 0, {1, 2}).bytes(), ChunkStatus::Failed,
         EPROTO, 0},
        {"interrupted dump", Chunk().Add(kFamily, NLM_F_MULTI).Add(kFamily, NLM_F_MULTI | NLM_F_DUMP_INTR).bytes(),
         ChunkStatus::Restart, 0, 1},
        {"interrupted end", Chunk().Add(NLMSG_DONE, NLM_F_MULTI | NLM_F_DUMP_INTR).bytes(),
         ChunkStatus::Restart, 0, 0},
        {"noop is skipped", Chunk().Add(NLMSG_NOOP).Done(0).bytes(), ChunkStatus::Done, 0, 0},
    };
    for (const Case& c : cases) {
        const Walked walked = Walk(c.bytes);
        EXPECT_EQ(walked.status, c.status) << c.name;
        EXPECT_EQ(walked.error, c.error) << c.name;
        EXPECT_EQ(walked.messages, c.messages) << c.name;
    }
}

TEST(WalkReplyChunk, OnlyOurSequenceAndPortCount) {
    const Bytes bytes = Chunk()
                            .Add(kFamily, NLM_F_MULTI, {}, kSequence - 1)
                            .Add(kFamily, NLM_F_MULTI, {}, kSequence, kPort + 1)
                            .Done(-EBUSY)  // ours
                            .bytes();
    const Walked stale = Walk(Chunk().Add(kFamily, 0, {}, 3).Error(-EPERM).bytes());
    EXPECT_EQ(stale.messages, 0);
    EXPECT_EQ(stale.error, EPERM);

    const Walked walked = Walk(bytes);
    EXPECT_EQ(walked.messages, 0);
    EXPECT_EQ(walked.status, ChunkStatus::Failed);

    // Another sequence's end or error does not end ours.
    const Walked foreignEnd = Walk(Chunk().Add(NLMSG_DONE, 0, {0, 0, 0, 0}, 99).bytes());
    EXPECT_EQ(foreignEnd.status, ChunkStatus::More);
}

TEST(WalkReplyChunk, AMessageLongerThanTheBufferEndsTheWalk) {
    Bytes bytes = Chunk().Add(kFamily, NLM_F_MULTI, Bytes(8, 0)).Add(kFamily, NLM_F_MULTI, Bytes(8, 0)).bytes();
    bytes.resize(bytes.size() - 4);  // the second message is cut short
    const Walked walked = Walk(bytes);
    EXPECT_EQ(walked.messages, 1);
    EXPECT_EQ(walked.status, ChunkStatus::More);

    Bytes lying = Chunk().Add(kFamily, NLM_F_MULTI).bytes();
    lying[0] = 0xff;  // nlmsg_len far past the buffer
    EXPECT_EQ(Walk(lying).messages, 0);
    EXPECT_EQ(Walk(Bytes{1, 2, 3}).messages, 0);

    // Lengths near 2^32, negative as an int: the walk neither stalls on the
    // same message nor jumps out of the buffer.
    for (const std::uint32_t huge : {0xfffffffdu, 0xfffffffcu, 0x80000000u}) {
        Bytes bytes = Chunk().Add(kFamily, NLM_F_MULTI).Add(kFamily, NLM_F_MULTI).bytes();
        std::memcpy(bytes.data() + NLMSG_HDRLEN, &huge, sizeof huge);  // the second message
        EXPECT_EQ(Walk(bytes).messages, 1) << huge;
    }
}

TEST(WalkReplyChunk, StatusesThatAreNotErrnos) {
    EXPECT_EQ(Walk(Chunk().Error(INT32_MIN).bytes()).error, EPROTO);
    EXPECT_EQ(Walk(Chunk().Error(5).bytes()).error, EPROTO);
    EXPECT_EQ(Walk(Chunk().Done(INT32_MIN).bytes()).error, EPROTO);
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
        const bool any = std::any_of(found.begin(), found.end(), [](const nlattr* a) { return a; });
        EXPECT_EQ(any, c.valid) << c.name;
    }
}

TEST(CollectAttributes, FirstValidInstanceCountsAndOverrunsStop) {
    constexpr auto policy = wlanlinux::MakePolicy<2>({{1, MNL_TYPE_U32}});
    GenlMessage message;
    mnl_attr_put_u16(message.get(), 1, 5);  // invalid: skipped
    mnl_attr_put_u32(message.get(), 1, 6);
    mnl_attr_put_u32(message.get(), 1, 7);
    auto exact = message.Exact();
    std::array<const nlattr*, 2> found;
    wlanlinux::CollectGenericAttributes(AsMessage(exact), policy, found);
    ASSERT_NE(found[1], nullptr);
    EXPECT_EQ(mnl_attr_get_u32(found[1]), 6u);

    // An attribute whose length runs past the payload is never looked at.
    GenlMessage overrun;
    mnl_attr_put_u32(overrun.get(), 1, 6);
    Bytes raw = overrun.Raw();
    raw[NLMSG_HDRLEN + GENL_HDRLEN] = 0x40;  // nla_len 64 in an 8-byte attribute
    exact = ExactCopy(raw);
    wlanlinux::CollectGenericAttributes(AsMessage(exact), policy, found);
    EXPECT_EQ(found[1], nullptr);

    // A message too short for its generic header has no attributes.
    GenlMessage headerOnly;
    headerOnly.get()->nlmsg_len = NLMSG_HDRLEN + 2;
    exact = headerOnly.Exact();
    wlanlinux::CollectGenericAttributes(AsMessage(exact), policy, found);
    EXPECT_EQ(found[1], nullptr);
}

TEST(ParseFamilyReply, ReadsTheId) {
    GenlMessage reply(CTRL_CMD_NEWFAMILY, GENL_ID_CTRL);
    mnl_attr_put_strz(reply.get(), CTRL_ATTR_FAMILY_NAME, "nl80211");
    mnl_attr_put_u16(reply.get(), CTRL_ATTR_FAMILY_ID, 0x1c);
    auto exact = reply.Exact();
    EXPECT_EQ(wlanlinux::ParseFamilyReply(AsMessage(exact)), 0x1c);

    GenlMessage wrongSize(CTRL_CMD_NEWFAMILY, GENL_ID_CTRL);
    mnl_attr_put_u32(wrongSize.get(), CTRL_ATTR_FAMILY_ID, 0x1c);
    exact = wrongSize.Exact();
    EXPECT_EQ(wlanlinux::ParseFamilyReply(AsMessage(exact)), 0);
}

// The generic-netlink controller exists on every Linux machine: a real
// request and a real dump through the kernel.
TEST(NetlinkSocket, TalksToTheKernelController) {
    wlanlinux::NetlinkSocket socket;
    ASSERT_TRUE(wlanlinux::OpenNetlinkSocket(socket));
    std::uint16_t id = 0;
    EXPECT_EQ(wlanlinux::ResolveGenericFamily(socket, "nlctrl", id), 0);
    EXPECT_EQ(id, GENL_ID_CTRL);
    EXPECT_EQ(wlanlinux::ResolveGenericFamily(socket, "no-such-family", id), 0);
    EXPECT_EQ(id, 0);

    wlanlinux::NetlinkRequest dump;
    dump.family = GENL_ID_CTRL;
    dump.command = CTRL_CMD_GETFAMILY;
    dump.version = 1;
    dump.dump = true;
    int families = 0;
    int resets = 0;
    EXPECT_EQ(wlanlinux::RunNetlinkRequest(
                  socket, dump, [&] { ++resets; families = 0; },
                  [&](const nlmsghdr* message) { families += wlanlinux::ParseFamilyReply(message) != 0; }),
              0);
    EXPECT_GE(families, 1);
    EXPECT_EQ(resets, 0);
    wlanlinux::CloseNetlinkSocket(socket);
    EXPECT_EQ(socket.socket, nullptr);
}

namespace {

// A kernel that answers each start of the request with the next scripted
// reply: a list of datagrams, each built for the request's sequence number,
// or an errno from the receive.
struct ScriptedKernel {
    struct Datagram {
        std::function<Bytes(std::uint32_t sequence, std::uint32_t port)> build;
        int error = 0;
    };
    std::vector<std::vector<Datagram>> replies;
    std::size_t start = 0;
    std::size_t next = 0;
    std::uint32_t sequence = 0;
    std::uint32_t port = 100;
    int sends = 0;
    int reopens = 0;
    bool reopenFails = false;

    wlanlinux::ReplyChannel Channel() {
        wlanlinux::ReplyChannel channel;
        channel.send = [this](const nlmsghdr* request) {
            EXPECT_NE(request->nlmsg_flags & NLM_F_REQUEST, 0);
            sequence = request->nlmsg_seq;
            ++sends;
            next = 0;
            return true;
        };
        channel.receive = [this](char* buffer, std::size_t size) -> ssize_t {
            if (start >= replies.size() || next >= replies[start].size()) {
                ADD_FAILURE() << "receive past the script";
                errno = EIO;
                return -1;
            }
            const Datagram& datagram = replies[start][next++];
            if (next == replies[start].size()) ++start;
            if (datagram.error != 0) {
                errno = datagram.error;
                return -1;
            }
            const Bytes bytes = datagram.build(sequence, port);
            EXPECT_LE(bytes.size(), size);
            std::memcpy(buffer, bytes.data(), bytes.size());
            return static_cast<ssize_t>(bytes.size());
        };
        channel.reopen = [this] {
            ++reopens;
            ++port;  // a new socket has a new port
            if (reopenFails) errno = EMFILE;
            return !reopenFails;
        };
        channel.portId = [this] { return port; };
        return channel;
    }
};

ScriptedKernel::Datagram Data(int messages, std::uint16_t flags = NLM_F_MULTI, bool done = false) {
    return {[=](std::uint32_t sequence, std::uint32_t port) {
        Chunk chunk;
        for (int i = 0; i != messages; ++i) chunk.Add(kFamily, flags, {}, sequence, port);
        if (done) {
            const int status = 0;
            Bytes payload(sizeof status);
            chunk.Add(NLMSG_DONE, NLM_F_MULTI, payload, sequence, port);
        }
        return chunk.bytes();
    }};
}

ScriptedKernel::Datagram Fails(int error) { return {nullptr, error}; }

struct Outcome {
    int result;
    int messages;
    int resets;
};

Outcome RunScripted(ScriptedKernel& kernel) {
    wlanlinux::ReplyChannel channel = kernel.Channel();
    std::uint32_t sequence = 10;
    wlanlinux::NetlinkRequest request;
    request.family = kFamily;
    request.dump = true;
    Outcome outcome{0, 0, 0};
    outcome.result = wlanlinux::RunRequestOver(
        channel, sequence, request,
        [&] {
            ++outcome.resets;
            outcome.messages = 0;
        },
        [&](const nlmsghdr*) { ++outcome.messages; });
    return outcome;
}

}  // namespace

TEST(RunRequestOver, ADumpAcrossSeveralDatagrams) {
    ScriptedKernel kernel;
    kernel.replies = {{Data(3), Data(2), Data(1, NLM_F_MULTI, true)}};
    const Outcome outcome = RunScripted(kernel);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.messages, 6);
    EXPECT_EQ(outcome.resets, 0);
    EXPECT_EQ(kernel.sends, 1);
    EXPECT_EQ(kernel.sequence, 11u);
}

TEST(RunRequestOver, InterruptedOrOverrunDumpsStartAgainOnAFreshChannel) {
    struct Case {
        const char* name;
        std::vector<std::vector<ScriptedKernel::Datagram>> replies;
        int result;
        int messages;
        int sends;
    };
    const Case cases[] = {
        {"interrupted once",
         {{Data(2), Data(1, NLM_F_MULTI | NLM_F_DUMP_INTR)}, {Data(4, NLM_F_MULTI, true)}}, 0, 4, 2},
        {"receive buffer overrun",
         {{Data(2), Fails(ENOBUFS)}, {Data(1), Data(2, NLM_F_MULTI, true)}}, 0, 3, 2},
        {"interrupted every time",
         {{Data(1, NLM_F_MULTI | NLM_F_DUMP_INTR)}, {Data(1, NLM_F_MULTI | NLM_F_DUMP_INTR)},
          {Fails(ENOBUFS)}, {Data(1, NLM_F_MULTI | NLM_F_DUMP_INTR)}},
         EAGAIN, 0, 4},
        {"another error is final", {{Data(2), Fails(EPERM)}}, EPERM, 2, 1},
    };
    for (const Case& c : cases) {
        ScriptedKernel kernel;
        kernel.replies = c.replies;
        const Outcome outcome = RunScripted(kernel);
        EXPECT_EQ(outcome.result, c.result) << c.name;
        EXPECT_EQ(outcome.messages, c.messages) << c.name;
        EXPECT_EQ(kernel.sends, c.sends) << c.name;
        EXPECT_EQ(kernel.reopens, c.sends - 1) << c.name;
        EXPECT_EQ(outcome.resets, c.sends - 1) << c.name;
    }
}

TEST(RunRequestOver, RepliesOfAnAbandonedStartAreIgnored) {
    // After a restart, a late datagram still carrying the first sequence
    // number and port counts for nothing.
    ScriptedKernel kernel;
    const auto stale = ScriptedKernel::Datagram{[](std::uint32_t sequence, std::uint32_t port) {
        return Chunk().Add(kFamily, NLM_F_MULTI, {}, sequence - 1, port - 1).bytes();
    }};
    kernel.replies = {{Data(1, NLM_F_MULTI | NLM_F_DUMP_INTR)}, {stale, Data(2, NLM_F_MULTI, true)}};
    const Outcome outcome = RunScripted(kernel);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.messages, 2);
}

TEST(RunRequestOver, AChannelThatCannotReopenEndsTheRequest) {
    ScriptedKernel kernel;
    kernel.reopenFails = true;
    kernel.replies = {{Fails(ENOBUFS)}};
    EXPECT_EQ(RunScripted(kernel).result, EMFILE);
}

// Device reads by index through this machine's own kernel. Loopback is on
// every machine: up, without a permanent address or a driver link.
TEST(DeviceReads, ByIndexOnThisMachine) {
    wlanlinux::NetlinkSocket route(NETLINK_ROUTE);
    wlanlinux::LinkFacts facts;
    const std::uint32_t loopback = if_nametoindex("lo");
    ASSERT_EQ(wlanlinux::ReadLink(route, loopback, facts), 0);
    EXPECT_TRUE(facts.up);
    EXPECT_FALSE(facts.hasPermanentAddress);
    EXPECT_STREQ(facts.name, "lo");
    for (const std::uint32_t missing : {0u, 0x7ffffff0u, 0x80000000u, 0xffffffffu})
        EXPECT_EQ(wlanlinux::ReadLink(route, missing, facts), ENODEV) << missing;

    char driver[32];
    for (const char* name : {"lo", "no-such-dev0", "", "name-longer-than-ifnamsiz", "../lo", ".."})
        EXPECT_FALSE(wlanlinux::DriverName(loopback, name, driver, sizeof driver)) << name;
    // A device with a driver gives it under its own index only.
    const std::unique_ptr<struct if_nameindex[], void (*)(struct if_nameindex*)> devices(
        if_nameindex(), if_freenameindex);
    ASSERT_NE(devices, nullptr);
    for (const struct if_nameindex* device = devices.get(); device->if_index != 0; ++device) {
        char link[256];
        const std::string path = std::string("/sys/class/net/") + device->if_name + "/device/driver";
        if (readlink(path.c_str(), link, sizeof link) <= 0) continue;
        EXPECT_TRUE(wlanlinux::DriverName(device->if_index, device->if_name, driver, sizeof driver));
        EXPECT_FALSE(wlanlinux::DriverName(device->if_index + 1, device->if_name, driver, sizeof driver));
    }
}
