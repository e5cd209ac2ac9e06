import unittest

from labcheck import iwscan
from tests import fixture


class ScanDumpTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scanner = iwscan.parse_scan_dump(fixture.text("scan-wlan5.txt"))
        cls.by_ssid = {}
        for entry in cls.scanner:
            cls.by_ssid.setdefault(entry.ssid, []).append(entry)

    def test_every_entry_is_read_with_its_interface(self):
        self.assertEqual(len(self.scanner), 22)
        self.assertTrue(all(e.interface == "wlan5" for e in self.scanner))
        self.assertTrue(all(e.capability is not None and e.freq for e in self.scanner))

    def test_ssid_bytes_are_exact(self):
        self.assertIn("café-ラボ".encode(), self.by_ssid)
        self.assertIn(b"lab\x1besc", self.by_ssid)
        self.assertEqual(iwscan.unescape_ssid(r"\x20a b\x5c\x20"), b" a b\\ ")

    def test_mesh_point_beacon_is_in_the_dump(self):
        mesh = [e for e in self.scanner if e.capability == 0]
        self.assertEqual([e.bssid for e in mesh], ["42:00:00:00:06:00"])

    def test_hidden_network_has_a_beacon_entry_and_a_probed_one(self):
        self.assertEqual(self.by_ssid[b""][0].bssid, self.by_ssid[b"lab-hidden"][0].bssid)

    def test_security_elements(self):
        mixed = self.by_ssid[b"lab-wpa-mixed"][0]
        self.assertEqual((mixed.rsn.group, mixed.rsn.pairwise, mixed.rsn.akms), (2, [4], [2]))
        self.assertEqual((mixed.wpa.group, mixed.wpa.pairwise, mixed.wpa.akms), (2, [4, 2], [2]))
        self.assertEqual(self.by_ssid[b"lab-gcmp256"][0].rsn.pairwise, [9])
        self.assertEqual(self.by_ssid[b"lab-wpa2-wpa3"][0].rsn.akms, [2, 8])
        self.assertEqual(self.by_ssid[b"lab-wpa2-ent"][0].rsn.akms, [1])
        self.assertIsNone(self.by_ssid[b"lab-wep"][0].rsn)
        self.assertEqual(self.by_ssid[b"lab-wep"][0].capability & 0x10, 0x10)

    def test_rates_capabilities_and_signal(self):
        five = self.by_ssid[b"lab-5ghz"][0]
        self.assertEqual((five.ht, five.vht, five.he, five.freq), (True, True, True, 5180))
        self.assertEqual(five.signal_mbm, -5800)
        self.assertEqual(self.by_ssid[b"lab-11b"][0].rates, [1.0, 2.0, 5.5, 11.0])
        self.assertEqual(self.by_ssid[b"lab-adhoc"][0].capability & 0x3, 0x2)

    def test_status_of_the_associated_and_joined_bss(self):
        connected = iwscan.parse_scan_dump(fixture.text("scan-wlan4.txt"))
        self.assertEqual([e.ssid for e in connected if e.status == "associated"], [b"lab-wpa2-psk"])
        adhoc = iwscan.parse_scan_dump(fixture.text("scan-wlan7.txt"))
        self.assertEqual([e.ssid for e in adhoc if e.status == "joined"], [b"lab-adhoc"])

    def test_multi_word_suite_names(self):
        entry = iwscan.parse_scan_dump(
            "BSS 02:00:00:00:00:00(on wlan0)\n\tcapability: ESS Privacy (0x0011)\n"
            "\tRSN:\t * Version: 1\n\t\t * Group cipher: CCMP\n"
            "\t\t * Pairwise ciphers: CCMP 00-0f-ac:10\n"
            "\t\t * Authentication suites: FT/IEEE 802.1X IEEE 802.1X/SHA-256 00-0f-ac:24\n")[0]
        self.assertEqual(entry.rsn.akms, [3, 5, 24])
        self.assertEqual(entry.rsn.pairwise, [4, 10])

    def test_unknown_suite_name_is_an_error(self):
        with self.assertRaises(iwscan.ParseError):
            iwscan.parse_suite("ROT13", iwscan.CIPHER_SUITES)


class InterfaceAndPhyTest(unittest.TestCase):
    def test_iw_dev_keeps_wdevs_without_a_netdev(self):
        interfaces = iwscan.parse_iw_dev(fixture.text("iw-dev.txt"))
        p2p = [i for i in interfaces if i.type == "P2P-device"]
        self.assertEqual(len(p2p), 1)
        self.assertIsNone(p2p[0].name)
        self.assertIsNone(p2p[0].ifindex)
        stations = sorted((i.ifindex, i.name) for i in interfaces if i.type in ("managed", "IBSS"))
        self.assertEqual(stations, [(6, "wlan4"), (7, "wlan5"), (8, "wlan6"), (9, "wlan7")])

    def test_phy_facts(self):
        facts = iwscan.parse_phy_facts(fixture.text("phy-wlan4.txt"))
        self.assertTrue(facts.sae)
        self.assertTrue({1, 2, 4, 5, 8, 9, 10} <= facts.ciphers)
        self.assertIn("IBSS", facts.modes)


if __name__ == "__main__":
    unittest.main()
