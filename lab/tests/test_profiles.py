"""The profiles scenario's check over real runs of each manager, and the faults
it reports when the report's profile entries or states are wrong."""

import unittest

from labcheck import profiles
from tests import fixture

CONNECTED_HOME = b"\t\tflags are 3\n\t\tFlag WLAN_AVAILABLE_NETWORK_CONNECTED is set\n" \
                 b"\t\tFlag WLAN_AVAILABLE_NETWORK_HAS_PROFILE is set\n"
PROFILE_ONLY = b"\t\tflags are 2\n\t\tFlag WLAN_AVAILABLE_NETWORK_HAS_PROFILE is set\n"


def first_block(report, name):
    """The bytes of the first network entry with that profile name."""
    start = report.index(b"\t\tNetwork name is [" + name + b"]")
    start = report.rindex(b"\t\tNetwork ", 0, start - 1)
    return report[start:report.index(b"\n\n", start) + 2]


def listed_with(report, name, *fragments):
    """A profile entry named `name` put before the first plain entry holding
    every fragment (an SSID, a security line)."""
    at = 0
    while True:
        at = report.index(b"\t\tNetwork name is []", at + 1)
        start = report.rindex(b"\t\tNetwork ", 0, at - 1)
        block = report[start:report.index(b"\n\n", start) + 2]
        if all(f in block for f in fragments):
            break
    entry = block.replace(b"Network name is []", b"Network name is [" + name + b"]")
    entry = entry.replace(b"\t\tflags are 0\n", PROFILE_ONLY)
    return report[:start] + entry + report[start:]


def edit_block(report, name, old, new):
    block = first_block(report, name)
    return report.replace(block, block.replace(old, new))


class ProfilesCheckTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.runs = {run: fixture.files(f"profiles-{run}") for run in ("nm", "iwd", "wpas-dbus", "wpas-ctrl", "connman")}

    def faults(self, run, name="report.txt", change=None):
        files = dict(self.runs[run])
        if change is not None:
            files[name] = change(files[name])
        return profiles.check_run(files, run)

    def test_recorded_runs_pass(self):
        for run in self.runs:
            self.assertEqual(self.faults(run), [], run)

    def test_broken_profile_entries_are_named(self):
        def swap_connected(report):  # the flag on the other profile of lab-home
            report = edit_block(report, b"Maison caf\xe9", PROFILE_ONLY, CONNECTED_HOME)
            return edit_block(report, b"Home", CONNECTED_HOME, PROFILE_ONLY)

        def after_plain(report):  # Cafe's entry moved behind its plain entry, onto the next network
            cafe = first_block(report, b"Cafe")
            plain = report[report.index(cafe) + len(cafe):]
            plain = plain[:plain.index(b"\n\n") + 2]
            return report.replace(cafe + plain, plain + cafe)

        cases = [
            ("nm", lambda r: r.replace(b"[Cafe]", b"[Root only]"),
             ["wlan1", "'lab-cafe'", "only root may read"]),
            # wlan2 is no manager's: a profile listed there is a fault.
            ("nm", lambda r: r[:r.index(b"Interface 1")] + listed_with(r[r.index(b"Interface 1"):], b"Cafe",
                                                                       b"[lab-cafe]"),
             ["wlan2", "'lab-cafe'", "Cafe"]),
            ("nm", swap_connected, ["wlan1", "'lab-home'", "Maison"]),
            ("nm", after_plain, ["wlan1", "'Cafe' differs from its network in ssid"]),
            ("nm", lambda r: edit_block(r, b"Cafe", b"BSSID is 1", b"BSSID is 2"),
             ["'Cafe'", "differs from its network in bssids"]),
            ("nm", lambda r: listed_with(r, b"Dual", b"[lab-dual]", b"Security is NOT enabled"),
             ["wlan1", "'lab-dual' (open)", "Dual"]),
            ("nm", lambda r: listed_with(r, b"Stranger", b"[lab-stranger]"),
             ["wlan1", "'lab-stranger' (secured)", "Stranger"]),
            ("iwd", lambda r: r.replace(b"\t\tNetwork name is []\n\t\tSSID name is [lab-cafe]",
                                                  b"\t\tNetwork name is [lab-cafe]\n\t\tSSID name is [lab-cafe]", 1),
             ["report (as nobody)", "named b'lab-cafe' without HAS_PROFILE"]),
        ]
        for run, change, words in cases:
            with self.subTest(words=words):
                faults = self.faults(run, change=change)
                self.assertTrue([f for f in faults if all(w in f for w in words)], f"no {words} in {faults}")


    def test_managers_tools_decide(self):
        """wpa_supplicant's and ConnMan's runs are held to what their own tools
        said around the reports."""
        wlan2 = b"Interface 1\n"

        def on_wlan2(old, new):
            return lambda r: r[:r.index(wlan2)] + r[r.index(wlan2):].replace(old, new, 1)

        discovering = b"state is [wlan_interface_state_discovering]"
        cases = [
            # nobody may not read wpa_supplicant's networks.
            ("wpas-ctrl", "report.txt", lambda r: listed_with(r, b"home", b"[lab-home]"),
             ["report (as nobody)", "'lab-home'", "home"]),
            ("wpas-dbus", "report-netdev.txt",
             lambda r: listed_with(r, b"dual", b"[lab-dual]", b"Security is NOT enabled"), ["'lab-dual' (open)", "dual"]),
            ("wpas-dbus", "report-netdev.txt", lambda r: listed_with(r, b"stranger-elsewhere", b"[lab-stranger]"),
             ["'lab-stranger'", "stranger-elsewhere"]),
            ("wpas-ctrl", "report-netdev.txt",
             on_wlan2(discovering, b"state is [wlan_interface_state_disconnected]"),
             ["wlan2", "[wlan_interface_state_disconnected], the guest shows [wlan_interface_state_discovering]"]),
            # A state that changed during the reports: either will do.
            ("wpas-ctrl", "wpas-status-wlan2-before.txt", lambda t: t.replace(b"=SCANNING", b"=ASSOCIATING"), None),
            ("wpas-dbus", "strace-report-netdev.txt",
             lambda t: t + b'265 connect(5, {sa_family=AF_UNIX, sun_path="/run/wpa_supplicant/wlan1"}, 110) = 0\n',
             ["connected to a control socket while wpa_supplicant is on the bus"]),
            ("connman", "report.txt", lambda r: edit_block(r, b"lab-home", CONNECTED_HOME, PROFILE_ONLY),
             ["report (as nobody)", "'lab-home'", "expected [{b'lab-home': 3"]),
            # A saved service is listed on the station whose address its name holds.
            ("connman", "connman-services-before.txt",
             lambda t: t + b"*   lab-cafe             wifi_020000000200_6c61622d63616665_managed_none\n",
             ["wlan2", "'lab-cafe'", "expected [{b'lab-cafe': 2"]),
        ]
        for run, name, change, words in cases:
            with self.subTest(run=run, name=name, words=words):
                faults = self.faults(run, name, change)
                if words is None:
                    self.assertEqual(faults, [])
                else:
                    self.assertTrue([f for f in faults if all(w in f for w in words)], f"no {words} in {faults}")


if __name__ == "__main__":
    unittest.main()
