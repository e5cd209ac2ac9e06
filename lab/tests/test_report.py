import unittest

from labcheck import report
from tests import fixture


class ReportShapeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = fixture.files()["report.txt"]

    def parse(self, data):
        return report.parse(data)

    def test_lab_report_has_the_right_shape(self):
        parsed = self.parse(self.data)
        self.assertEqual(parsed.problems, [])
        self.assertEqual(parsed.lines, report.expected_line_count(parsed))
        self.assertEqual([len(i.networks) for i in parsed.interfaces], [16, 20, 0, 2])
        self.assertEqual(parsed.probe_text, b"The PHY type is invalid.")
        self.assertEqual(len(parsed.dump), 128)

    def test_raw_ssid_bytes_survive(self):
        scanner = self.parse(self.data).interfaces[1]
        self.assertIn(b"lab\x1besc", [n.ssid for n in scanner.networks])

    def assertProblem(self, data, words):
        problems = " | ".join(self.parse(data).problems)
        for word in words:
            self.assertIn(word, problems)

    def test_broken_shapes_are_named_with_their_line(self):
        lines = self.data.split(b"\n")
        blank = lines.index(b"", 10)
        self.assertProblem(b"\n".join(lines[:blank] + lines[blank + 1:]), ["blank line after a network"])
        self.assertProblem(self.data.replace(b"\n", b"\r\n"), ["CR bytes"])
        self.assertProblem(self.data.rstrip(b"\n"), ["no line end"])
        self.assertProblem(self.data.replace(b"Network 3\n", b"Network 4\n", 1), ["network numbered 4"])
        self.assertProblem(self.data.replace(b"6161 ,", b"", 1), ["line 3", "128"])
        self.assertProblem(self.data.replace(b"GUID is [A", b"GUID is [a", 1), ["the GUID line"])
        self.assertProblem(self.data + b"trailing\n", ["unexpected text"])

    def test_announced_counts_must_be_present(self):
        cut = self.data.replace(b"There are 4 Wifi interface", b"There are 5 Wifi interface")
        self.assertProblem(cut, ["ends before interface 4"])
        short = self.data.replace(b"There are 2 Wifi network", b"There are 3 Wifi network")
        self.assertTrue(self.parse(short).problems)

    def test_flag_lines_follow_the_flags(self):
        unset = self.data.replace(b"\t\tFlag WLAN_AVAILABLE_NETWORK_CONNECTED is set\n", b"", 1)
        self.assertProblem(unset, ["WLAN_AVAILABLE_NETWORK_CONNECTED"])

    def test_probe_dump_must_show_the_text(self):
        self.assertProblem(self.data.replace(b"54 ,68 ,", b"54 ,69 ,", 1), ["probe's text"])


if __name__ == "__main__":
    unittest.main()
