import unittest

from labcheck import expect, iwscan


def entry(freq=2412.0, capability=0x0401, rates=(1.0, 2.0, 5.5, 11.0, 6.0), rsn=None, wpa=None,
          **flags):
    e = iwscan.ScanEntry(bssid="02:00:00:00:00:00", interface="wlan0", freq=freq,
                         capability=capability, rates=list(rates), rsn=rsn, wpa=wpa)
    for name, value in flags.items():
        setattr(e, name, value)
    return e


def element(akms=None, pairwise=None):
    return iwscan.SecurityElement(version=1, group=4, pairwise=pairwise or [],
                                  akms=akms or [], pairwise_listed=pairwise is not None,
                                  akms_listed=akms is not None)


class QualityTest(unittest.TestCase):
    def test_scale_and_clamping(self):
        cases = {-10000: 0, -11000: 0, -5000: 100, -2000: 100, -6900: 62, -7550: 49, -9999: 0}
        for mbm, want in cases.items():
            self.assertEqual(expect.quality(mbm), want, mbm)
        self.assertEqual(expect.quality(None, 150), 100)


class SecurityTest(unittest.TestCase):
    def decide(self, e, sae=True):
        return expect.security(e, sae)

    def test_open_and_wep(self):
        self.assertEqual(self.decide(entry()), (False, expect.OPEN, expect.CIPHER_NONE))
        self.assertEqual(self.decide(entry(capability=0x0411)), (True, expect.OPEN, expect.CIPHER_WEP))

    def test_rsn_akms(self):
        cases = {(2,): expect.RSNA_PSK, (1,): expect.RSNA, (8,): expect.WPA3_SAE, (18,): expect.OWE,
                 (12,): expect.WPA3, (6,): expect.RSNA_PSK, (5,): expect.RSNA, (24,): expect.WPA3_SAE}
        for akms, auth in cases.items():
            e = entry(capability=0x0411, rsn=element(list(akms), [4]))
            self.assertEqual(self.decide(e), (True, auth, 4), akms)

    def test_several_akms_follow_the_adapter(self):
        transition = entry(capability=0x0411, rsn=element([2, 8], [4]))
        self.assertEqual(self.decide(transition, sae=True)[1], expect.WPA3_SAE)
        self.assertEqual(self.decide(transition, sae=False)[1], expect.RSNA_PSK)
        mixed = entry(capability=0x0411, rsn=element([2, 1], [4]))
        self.assertEqual(self.decide(mixed)[1], expect.RSNA)
        owe_or_psk = entry(capability=0x0411, rsn=element([2, 18], [4]))
        self.assertEqual(self.decide(owe_or_psk, sae=False)[1], expect.OWE)

    def test_rsn_is_preferred_and_defaults_apply(self):
        both = entry(capability=0x0411, rsn=element([2], [4]), wpa=element([2], [2]))
        self.assertEqual(self.decide(both), (True, expect.RSNA_PSK, 4))
        bare = entry(capability=0x0411, rsn=element())
        self.assertEqual(self.decide(bare), (True, expect.RSNA, 4))
        wpa = entry(capability=0x0411, wpa=element([1], [2]))
        self.assertEqual(self.decide(wpa), (True, expect.WPA, 2))

    def test_strongest_pairwise_cipher(self):
        for pairwise, want in (([2, 4], 4), ([4, 9], 9), ([8, 10], 10), ([2, 5], 2), ([1, 5], 5)):
            e = entry(capability=0x0411, rsn=element([2], pairwise))
            self.assertEqual(self.decide(e)[2], want, pairwise)


class PhyTypeTest(unittest.TestCase):
    def test_bands_and_capabilities(self):
        self.assertEqual(expect.phy_types(entry(rates=(1.0, 2.0, 5.5, 11.0))), [expect.HRDSSS])
        self.assertEqual(expect.phy_types(entry(ht=True)), [expect.ERP, expect.HT])
        five = entry(freq=5180.0, rates=(6.0, 54.0), ht=True, vht=True, he=True)
        self.assertEqual(expect.phy_types(five), [expect.OFDM, expect.HT, expect.VHT, expect.HE])
        six = entry(freq=5955.0, rates=(6.0,), eht=True)
        self.assertEqual(expect.phy_types(six), [expect.OFDM, expect.HE, expect.EHT])

    def test_names_stop_at_erp(self):
        self.assertEqual(expect.phy_name(expect.ERP), "dot11_phy_type_erp")
        for later in (expect.HT, expect.VHT, expect.HE, expect.EHT):
            self.assertEqual(expect.phy_name(later), expect.UNKNOWN_PHY)


class GroupingTest(unittest.TestCase):
    def test_same_ssid_and_security_is_one_network_with_the_best_signal(self):
        a = entry(ht=True)
        a.ssid, a.signal_mbm = b"twin", -6900
        b = entry()
        b.ssid, b.signal_mbm, b.bssid, b.status = b"twin", -6000, "02:00:00:00:02:00", "associated"
        c = entry(capability=0x0411)
        c.ssid = b"twin"
        mesh = entry(capability=0x0000)
        groups = expect.networks([a, b, c, mesh], None)
        self.assertEqual(len(groups), 2)
        self.assertEqual((len(groups[0].bssids), groups[0].quality), (2, 80))
        self.assertEqual(groups[0].phy_types, [expect.ERP, expect.HT])
        self.assertTrue(groups[0].connected)
        self.assertFalse(groups[1].connected)

    def test_adapter_without_the_cipher_or_ibss_cannot_join(self):
        facts = iwscan.PhyFacts(ciphers={1, 5, 4}, modes={"managed"}, sae=False)
        tkip = entry(capability=0x0411, wpa=element([2], [2]))
        adhoc = entry(capability=0x0002)
        ccmp = entry(capability=0x0411, rsn=element([2], [4]))
        joinable = [g.connectable for g in expect.networks([tkip, adhoc, ccmp], facts)]
        self.assertEqual(joinable, [False, False, True])


if __name__ == "__main__":
    unittest.main()
