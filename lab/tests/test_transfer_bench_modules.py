import base64
import os
import tempfile
import unittest

from labcheck import bench, modules, transfer
from tests import fixture


class TransferTest(unittest.TestCase):
    def test_files_survive_cr_lf_and_stray_lines(self):
        payload = bytes(range(256)) * 3
        text = base64.encodebytes(payload).decode()
        port = ("boot noise\r\nLAB-FILE-BEGIN a.bin\r\n" + text.replace("\n", "\r\n") +
                "LAB-FILE-END a.bin\r\nLAB-FILE-BEGIN empty\nLAB-FILE-END empty\nLAB-DATA-END\r\n")
        self.assertEqual(transfer.decode(port), {"a.bin": payload, "empty": b""})
        self.assertTrue(transfer.complete(port))

    def test_damage_and_truncation_are_errors(self):
        with self.assertRaises(transfer.TransferError):
            transfer.decode("LAB-FILE-BEGIN x\n@@@@\nLAB-FILE-END x\n")
        with self.assertRaises(transfer.TransferError):
            transfer.decode("LAB-FILE-BEGIN x\nAAAA\n")
        self.assertFalse(transfer.complete("LAB-FILE-BEGIN x\n"))


class BenchTest(unittest.TestCase):
    def test_timings_and_request_counts_of_a_lab_run(self):
        files = fixture.files()
        runs = bench.timings(files["bench.txt"].decode())
        self.assertEqual((len(runs["report"]), len(runs["iw"])), (7, 7))
        self.assertTrue(all(0 < t < 10 for t in runs["report"] + runs["iw"]))
        counts = bench.requests(files["strace-report.txt"].decode())
        self.assertEqual(counts["nl80211 GET_INTERFACE dump"], 1)
        self.assertEqual(counts["nl80211 GET_SCAN dump"], 4)
        self.assertEqual(counts["nlctrl GETFAMILY"], 1)
        iw = bench.requests(files["strace-iw-wlan5.txt"].decode())
        self.assertEqual(iw["nl80211 GET_SCAN dump"], 1)
        # A route socket's requests are told apart by the socket they go to.
        route = ('1 socket(AF_NETLINK, SOCK_RAW, NETLINK_ROUTE) = 4\n'
                 '1 sendto(4, [{nlmsg_len=32, nlmsg_type=0x12 /* NLMSG_??? */, '
                 'nlmsg_flags=NLM_F_REQUEST|NLM_F_ACK, nlmsg_seq=1, nlmsg_pid=0}, "\\x00"], 32, 0)\n')
        routed = bench.requests(route)
        self.assertEqual(routed["rtnetlink RTM_GETLINK"], 1)
        self.assertEqual(bench.changes(routed), [])
        summary = bench.summarize(files, 4)
        self.assertIn("ratio", summary)
        self.assertIn("meets the one-each target", summary)
        # The profiles scenario's blocks, and one with no runs.
        figures = bench.profile_figures(fixture.files("profiles-nm")["bench-profiles.txt"].decode())
        self.assertIn("1.13x the report without a manager (meets the 1.5x goal)", figures)
        self.assertIn("0.19x nmcli (meets the 0.3x goal)", figures)
        self.assertIn("misses the 0.3x goal, which also wants every lab profile listed",
                      bench.profile_figures(fixture.files("profiles-nm")["bench-profiles.txt"].decode(), False))
        self.assertIn("none-report 0 runs", bench.profile_figures("lab-report 1 2\n"))


class ModuleOrderTest(unittest.TestCase):
    def test_dependencies_first_each_once(self):
        deps = {"a": ["b", "c"], "b": ["c"], "c": [], "d": ["c"]}
        order = modules.load_order(["a", "d"], {m: m for m in deps}, depends=deps.get)
        self.assertEqual(order, ["c", "b", "a", "d"])

    def test_missing_module_and_cycle(self):
        with self.assertRaises(KeyError):
            modules.load_order(["a"], {"a": "a"}, depends=lambda m: ["gone"])
        with self.assertRaises(ValueError):
            modules.load_order(["a"], {"a": "a", "b": "b"}, depends={"a": ["b"], "b": ["a"]}.get)

    def test_depends_string_is_read_from_the_module_file(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "mac80211-hwsim.ko")
            with open(path, "wb") as f:
                f.write(b"\x7fELF....\x00license=GPL\x00depends=mac80211,cfg80211\x00name=x\x00")
            self.assertEqual(modules.read_depends(path), ["mac80211", "cfg80211"])
            self.assertEqual(modules.index_modules(folder), {"mac80211_hwsim": path})


if __name__ == "__main__":
    unittest.main()
