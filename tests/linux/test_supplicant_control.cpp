// wpa_supplicant's control socket: hostile replies to the parsers, one row
// each, then reads against servers of the test's own in a temporary directory
// (scripted, silent, refusing, garbage), our own end left nowhere.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "allocation_faults.h"
#include "wlan/linux/control/control_replies.h"
#include "wlan/linux/control/control_socket.h"
#include "wlan/linux/control/supplicant_control.h"

namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
const std::string kHeader = "network id / ssid / bssid / flags\n";

// The facts read, in short: "id:bssid:flags ..." after a network 7 already
// held, at most 4 (C current, D disabled, P a P2P group); "state id"; the
// setting reply's kind.
std::string List(const std::string& reply) {
    std::vector<wlanlinux::ListedNetwork> networks(1);
    networks[0].id = 7;
    if (!wlanlinux::ParseNetworkList(reply, 4, networks)) return "not a list";
    std::string out;
    for (const auto& n : networks)
        out += std::to_string(n.id) + ":" + n.bssid + ":" + (n.current ? "C" : "") + (n.disabled ? "D" : "") +
               (n.persistentGroup ? "P" : "") + " ";
    return out;
}
std::string Status(const std::string& reply) {
    const wlanlinux::SupplicantStatus status = wlanlinux::ParseStatus(reply);
    return status.state + " " + (status.hasId ? std::to_string(status.id) : "-");
}
std::string Setting(const std::string& reply) {
    const char* kinds[] = {"value", "not set", "malformed"};
    return kinds[static_cast<int>(wlanlinux::ParseSettingReply(reply))];
}

struct Case {
    std::string (*parse)(const std::string&);
    std::string reply, expected;
};

const Case kReplies[] = {
    {List, kHeader + "0\th\\x00me\tany\t[CURRENT]\n1\tx\t0a:00:00:00:00:01\t[DISABLED][P2P-PERSISTENT]\n",
     "7:: 0:any:C 1:0a:00:00:00:00:01:DP "},
    {List, "FAIL\n", "not a list"},
    {List, kHeader + "0\tx\tany\t[TEMP-DISABLED][NEW]\n1\tno newline\tany\t", "7:: 0:any: "},
    {List, kHeader + "0\tn\0l\tany\t\n1\t\tany\n2\tx\tany\t\t\n3\tx\tbad\t\n"s, "7:: "},
    {List, kHeader + "0\t" + std::string(600, 'x') + "\tany\t\n", "7:: "},
    {List, kHeader + "-1\tx\tany\t\n2147483648\tx\tany\t\n1a\tx\tany\t\n\tx\tany\t\n", "7:: "},
    {List,
     kHeader + "2147483647\tx\tany\t\n7\tdup\tany\t[CURRENT]\n5\tx\tany\t\n5\tx\tany\t\n6\tx\tany\t\n8\t\tany\t\n",
     "7:: 2147483647:any: 5:any: 6:any: "},
    {Status, "bssid=0a:00:00:00:00:01\nid=3\nid=4\nssid=wpa_state=X\nwpa_state=4WAY_HANDSHAKE\n", "4way_handshake 3"},
    {Status, "wpa_state=Completed\nid=99999999999\n", " -"},
    {Status, "wpa_state=" + std::string(33, 'A') + "\nwpa_state=SCANNING", " -"},
    {Setting, "FAIL", "not set"},
    {Setting, "FAIL\n", "not set"},
    {Setting, "\"a b\"", "value"},
    {Setting, "\"a\0b\""s, "malformed"},
    {Setting, "WPA-PSK\n", "malformed"},
};

TEST(SupplicantControlReplies, Table) {
    for (const Case& c : kReplies) EXPECT_EQ(c.parse(c.reply), c.expected) << c.reply;
}

// A wpa_supplicant of the test's own at a path: answers from its script
// ("FAIL\n" where it has none, an event before STATUS's), stays silent, or
// refuses everyone (its socket connected to itself: connect gives EPERM).
struct Server {
    enum Mode { Script, Silent, Refusing };
    Server(const fs::path& path, Mode mode, std::map<std::string, std::string> replies = {})
        : script(std::move(replies)), fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
        path.string().copy(address.sun_path, sizeof address.sun_path - 1);
        const auto* at = reinterpret_cast<const sockaddr*>(&address);
        EXPECT_EQ(bind(fd, at, sizeof address), 0);
        if (mode == Refusing) connect(fd, at, sizeof address);
        if (mode == Script) thread = std::thread([this] { Serve(); });
    }
    ~Server() {
        stop = true;
        if (thread.joinable()) thread.join();
        close(fd);
    }
    void Serve() {
        const timeval tick{0, 20'000};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
        char buffer[512];
        for (sockaddr_un from{}; !stop;) {
            socklen_t length = sizeof from;
            auto* to = reinterpret_cast<sockaddr*>(&from);
            const ssize_t size = recvfrom(fd, buffer, sizeof buffer, 0, to, &length);
            if (size <= 0) continue;
            requests.emplace_back(buffer, static_cast<std::size_t>(size));
            client = from.sun_path;
            const auto found = script.find(requests.back());
            const std::string reply = found == script.end() ? "FAIL\n" : found->second;
            if (requests.back() == "STATUS") sendto(fd, "<3>CTRL-EVENT-SCAN-STARTED ", 27, 0, to, length);
            sendto(fd, reply.data(), reply.size(), 0, to, length);
        }
    }
    std::map<std::string, std::string> script;
    int fd;
    std::atomic<bool> stop = false;
    std::thread thread;
    std::vector<std::string> requests;
    std::string client;  // our end's path
};

// Servers in root/run, our ends in root/ours ($RUNTIME_DIRECTORY), empty again
// after every read.
class SupplicantControl : public testing::Test {
protected:
    void SetUp() override {
        char made[] = "/tmp/control-test-XXXXXX";
        root = mkdtemp(made);
        fs::create_directory(root / "run");
        fs::create_directory(root / "ours");
        setenv("RUNTIME_DIRECTORY", (root / "ours").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("RUNTIME_DIRECTORY");
        fs::remove_all(root);
    }
    int Read(std::uint64_t timeoutUsec, const std::vector<std::string>& names = {"wlan0", "wlan1", "wlan2"}) {
        const int result = wlanlinux::ReadSupplicantControl(names, timeoutUsec, out, (root / "run").c_str());
        EXPECT_TRUE(fs::is_empty(root / "ours"));
        return result;
    }
    fs::path root;
    wlanlinux::ProfileSnapshot out;
};

TEST_F(SupplicantControl, ReadsOnlyWhatMatchingNeeds) {
    // A first page long enough that wpa_supplicant may have cut it.
    std::string page = kHeader + "0\thome\tany\t\n1\th\\xe2\tany\t[CURRENT]\n" +
                       "2\to\t0a:00:00:00:00:01\t[DISABLED]\n3\tbad\tany\t\n";
    for (int id = 10; id != 18; ++id) page += std::to_string(id) + "\t" + std::string(450, 's') + "\tany\t\n";
    Server wlan0(root / "run/wlan0", Server::Script, {
        {"STATUS", "id=0\nwpa_state=ASSOCIATING\n"}, {"LIST_NETWORKS", page},
        {"LIST_NETWORKS LAST_ID=17", kHeader + "17\tdup\tany\t\n20\tlate\tany\t\n"},
        {"GET_NETWORK 0 ssid", "\"home\""}, {"GET_NETWORK 0 id_str", "\"Home\""}, {"GET_NETWORK 0 mode", "0"},
        {"GET_NETWORK 0 key_mgmt", "WPA-PSK SAE"}, {"GET_NETWORK 0 proto", "RSN"}, {"GET_NETWORK 0 pairwise", "CCMP"},
        {"GET_NETWORK 0 group", "CCMP TKIP"}, {"GET_NETWORK 1 ssid", "68e282ac"}, {"GET_NETWORK 1 key_mgmt", "NONE"},
        {"GET_NETWORK 1 wep_key1", "*"}, {"GET_NETWORK 2 ssid", "\"open\""}, {"GET_NETWORK 2 key_mgmt", "NONE"},
        {"GET_NETWORK 2 mode", "1"}, {"GET_NETWORK 3 ssid", "\"bad\""}, {"GET_NETWORK 3 proto", "OSEN"},
        {"GET_NETWORK 20 ssid", "\"late\""}});
    Server wlan1(root / "run/wlan1", Server::Refusing);
    ASSERT_EQ(Read(2'000'000), 1);
    wlan0.stop = true;
    wlan0.thread.join();
    std::string profiles;  // path|name|key_mgmt|mode|protos,pairwise,group|bssid length|d(isabled)w(ep keys)
    for (const auto& p : out.profiles)
        profiles += p.path + "|" + p.name + "|" + std::to_string(p.supplicantKeyMgmt) + "|" +
                    std::to_string(static_cast<int>(p.mode)) + "|" + std::to_string(p.protos) + "," +
                    std::to_string(p.pairwise) + "," + std::to_string(p.group) + "|" +
                    std::to_string(p.bssid.size()) + "|" + (p.disabled ? "d" : "") + (p.wepKeys ? "w" : "") + " ";
    EXPECT_EQ(profiles, "wlan0/0|Home|258|1|2,16,20|0| wlan0/1|h\xe2\x82\xac|1|1|0,0,0|0|w "
                        "wlan0/2|open|1|2|0,0,0|6|d wlan0/20|late|6|1|0,0,0|0| ");
    ASSERT_EQ(out.active.size() + out.states.size(), 2u);
    EXPECT_EQ(out.active[0].path, "wlan0/1");  // [CURRENT]: STATUS's id= counts once completed
    EXPECT_EQ(out.states[0].state, "associating");
    EXPECT_EQ(out.managedInterfaces, std::vector<std::string>{"wlan0"});
    // STATUS, two pages; GETs for 0 (no WEP key), 1 (none after the key set), 2 (no
    // cipher), 3 (none after its unreadable proto), 20 and the 8 without an SSID.
    EXPECT_EQ(wlan0.requests.size(), 3u + 7 + 6 + 8 + 5 + 7 + 8 * 7);
    EXPECT_EQ(wlan0.client.rfind((root / "ours").string(), 0), 0u);
}

TEST_F(SupplicantControl, SilentGarbageAndAbsent) {
    EXPECT_EQ(Read(300'000), 0);
    EXPECT_EQ(out.source, wlanlinux::ProfileSnapshot::Source::None);
    Server silent(root / "run/wlan0", Server::Silent);
    Server garbage(root / "run/wlan1", Server::Script, {{"STATUS", "x"}, {"LIST_NETWORKS", std::string(20000, 'x')}});
    Server scanning(root / "run/wlan2", Server::Script, {{"STATUS", "wpa_state=SCANNING\n"},
                    {"LIST_NETWORKS", kHeader + "0\tx\tany\t\n"}, {"GET_NETWORK 0 ssid", "\"x\""}});
    // The whole budget, then half a second of it for the silent one alone.
    for (const std::uint64_t timeout : {300'000, 2'000'000}) {
        const std::uint64_t start = wlanlinux::ControlNow();
        EXPECT_EQ(Read(timeout), -ETIMEDOUT);
        const std::uint64_t took = wlanlinux::ControlNow() - start;
        EXPECT_TRUE(took >= std::min<std::uint64_t>(timeout, 500'000) && took < 1'200'000) << took;
    }
    // The garbage one's reply was cut; the last answered.
    EXPECT_EQ(out.managedInterfaces, std::vector<std::string>{"wlan2"});
    EXPECT_EQ(out.states[0].state, "scanning");
    EXPECT_EQ(Read(2'000'000, {"wlan1"}), -EBADMSG);
    // Our memory running out at each allocation in turn: std::bad_alloc, our end gone.
    for (std::size_t failAt = 1;; ++failAt) {
        bool threw = false;
        allocation_faults::Arm(failAt);
        try {
            wlanlinux::ReadSupplicantControl({"wlan2"}, 2'000'000, out, (root / "run").c_str());
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        allocation_faults::Disarm();
        EXPECT_EQ(threw, allocation_faults::Injected()) << failAt;
        EXPECT_TRUE(fs::is_empty(root / "ours")) << failAt;
        if (!threw) break;
    }
}

}  // namespace
