"""The whole check over a real lab run, and the faults it reports for broken mappings."""

import unittest

from labcheck import check
from tests import fixture


class CheckTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.files = fixture.files()

    def faults(self, report_bytes=None, **replaced):
        files = dict(self.files)
        if report_bytes is not None:
            files["report.txt"] = report_bytes
        files.update(replaced)
        return check.check_files(files)[0]

    def assertFault(self, faults, *words):
        matching = [f for f in faults if all(w in f for w in words)]
        self.assertTrue(matching, f"no fault with {words} in {faults}")

    def broken(self, ssid, old, new, interface=1):
        return self.faults(fixture.replace_in_network(self.files["report.txt"], ssid, old, new, interface))

    def test_lab_run_passes(self):
        self.assertEqual(self.faults(), [])

    def test_wrong_cipher_names_network_and_field(self):
        faults = self.broken(b"lab-wpa-tkip", b"\t\tCipher Algorithm is [DOT11_CIPHER_ALGO_TKIP]",
                             b"\t\tCipher Algorithm is [DOT11_CIPHER_ALGO_CCMP]")
        self.assertFault(faults, "wlan5", "'lab-wpa-tkip'", "cipher algorithm", "DOT11_CIPHER_ALGO_TKIP")

    def test_wrong_auth_for_the_transition_network(self):
        faults = self.broken(b"lab-wpa2-wpa3", b"\t\tAuth Algorithm is [Unknown Auth Algorithm]",
                             b"\t\tAuth Algorithm is [DOT11_AUTH_ALGO_RSNA_PSK]")
        self.assertFault(faults, "wlan5", "'lab-wpa2-wpa3'", "auth algorithm")

    def test_wrong_signal_quality(self):
        faults = self.broken(b"lab-twin", b"\t\tSignal strength is 80%", b"\t\tSignal strength is 62%")
        self.assertFault(faults, "'lab-twin'", "signal quality", "80%")

    def test_wrong_bssid_count(self):
        faults = self.broken(b"lab-twin", b"\t\tNumber of BSSID is 2", b"\t\tNumber of BSSID is 1")
        self.assertFault(faults, "'lab-twin'", "number of BSSIDs")

    def test_wrong_physical_type(self):
        faults = self.broken(b"lab-11b", b"\t\tPhysical type 0 is [dot11_phy_type_hrdsss]",
                             b"\t\tPhysical type 0 is [dot11_phy_type_erp]")
        self.assertFault(faults, "'lab-11b'", "physical types")

    def test_connected_flag_on_the_wrong_interface(self):
        faults = self.broken(b"lab-wpa2-psk", b"\t\tflags are 0",
                             b"\t\tflags are 1\n\t\tFlag WLAN_AVAILABLE_NETWORK_CONNECTED is set")
        self.assertFault(faults, "interface 1 (wlan5)", "'lab-wpa2-psk'", "connected flag")

    def test_changed_ssid_byte_is_missing_and_extra(self):
        report = self.files["report.txt"].replace(b"[lab\x1besc]", b"[lab?esc]")
        faults = self.faults(report)
        self.assertFault(faults, "'lab\\x1besc'", "missing from the report")
        self.assertFault(faults, "'lab?esc'", "not in iw's scan dump")

    def test_wrong_state(self):
        report = self.files["report.txt"].replace(b"[wlan_interface_state_not_ready]",
                                                  b"[wlan_interface_state_disconnected]")
        self.assertFault(self.faults(report), "wlan6", "state")

    def test_report_failing_to_list_networks(self):
        report = self.files["report.txt"].replace(
            b"\tThere are 2 Wifi network\n", b"Error in the WlanGetAvailableNetworkList() function call\n")
        cut = report[:report.index(b"Error in the WlanGet")] + \
            b"Error in the WlanGetAvailableNetworkList() function call\n\n"
        self.assertFault(self.faults(cut), "wlan7", "could not list networks")

    def test_only_stations_and_ad_hoc_interfaces_are_listed(self):
        facts = check.interface_facts(self.files)
        self.assertEqual([f.name for f in facts], ["wlan4", "wlan5", "wlan6", "wlan7"])
        self.assertEqual([f.state for f in facts], ["connected", "disconnected", "not_ready", "ad_hoc"])
        dev = self.files["iw-dev.txt"].decode()
        for kind in ("type AP", "type monitor", "type mesh point", "type P2P-device"):
            self.assertIn(kind, dev)

    def test_a_scan_trigger_from_the_report_is_a_fault(self):
        trace = self.files["strace-report.txt"].replace(
            b'"\\x20\\x00\\x00\\x00\\x08', b'"\\x21\\x00\\x00\\x00\\x08', 1)
        self.assertFault(self.faults(**{"strace-report.txt": trace}), "TRIGGER_SCAN")

    def test_process_failures(self):
        self.assertFault(self.faults(**{"report.rc": b"139\n"}), "exited with status 139")
        self.assertFault(self.faults(**{"report.err": b"boom"}), "stderr")


if __name__ == "__main__":
    unittest.main()
