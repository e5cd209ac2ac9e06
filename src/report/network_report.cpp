#include "report/network_report.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "report/name_tables.h"
#include "report/report_print.h"

namespace {

void PrintNetwork(DWORD index, const WLAN_AVAILABLE_NETWORK& network, ReasonText& reason) {
    ReportPrint<u"\t\tNetwork %d\n">(index);
    ReportPrint<u"\t\tNetwork name is [%s]\n">(network.strProfileName);

    // The service never gives more than 32 bytes; a larger length uses 32.
    unsigned char ssid[DOT11_SSID_MAX_LENGTH + 1];
    const std::size_t ssidLength =
        std::min<std::size_t>(network.dot11Ssid.uSSIDLength, DOT11_SSID_MAX_LENGTH);
    std::memcpy(ssid, network.dot11Ssid.ucSSID, ssidLength);
    ssid[ssidLength] = 0;
    ReportPrint<u"\t\tSSID name is [%S]\n">(ssid);

    ReportPrint<u"\t\tType is [%s]\n">(
        BssTypeName(static_cast<std::uint32_t>(network.dot11BssType)));
    ReportPrint<u"\t\tNumber of BSSID is %d\n">(network.uNumberOfBssids);

    if (network.bNetworkConnectable != 0) {
        ReportPrint<u"\t\tNetwork is connectable\n">();
    } else {
        // A failed call shows empty brackets, never an earlier network's text.
        if (WlanReasonCodeToString(network.wlanNotConnectableReason,
                                   static_cast<DWORD>(std::size(reason)), reason, nullptr) != 0)
            reason[0] = 0;
        ReportPrint<u"\t\tNetwork is NOT connectable and the reason is [%s]\n">(reason);
    }

    ReportPrint<u"\t\tNumber of physical type is %d\n">(network.uNumberOfPhyTypes);
    // The record has room for 8 types; a larger count prints those 8.
    const DWORD phyTypes = std::min<DWORD>(network.uNumberOfPhyTypes, WLAN_MAX_PHY_TYPE_NUMBER);
    for (DWORD k = 0; k != phyTypes; ++k) {
        ReportPrint<u"\t\tPhysical type %d is [%s]\n">(
            k, PhyTypeName(static_cast<std::uint32_t>(network.dot11PhyTypes[k])));
    }

    ReportPrint<u"\t\tSignal strength is %d%%\n">(network.wlanSignalQuality);
    if (network.bSecurityEnabled == 1) ReportPrint<u"\t\tSecurity is enabled\n">();
    else ReportPrint<u"\t\tSecurity is NOT enabled\n">();
    ReportPrint<u"\t\tAuth Algorithm is [%s]\n">(
        AuthAlgorithmName(static_cast<std::uint32_t>(network.dot11DefaultAuthAlgorithm)));
    ReportPrint<u"\t\tCipher Algorithm is [%s]\n">(
        CipherAlgorithmName(static_cast<std::uint32_t>(network.dot11DefaultCipherAlgorithm)));

    ReportPrint<u"\t\tflags are %d\n">(network.dwFlags);
    if ((network.dwFlags & WLAN_AVAILABLE_NETWORK_CONNECTED) != 0)
        ReportPrint<u"\t\tFlag WLAN_AVAILABLE_NETWORK_CONNECTED is set\n">();
    if ((network.dwFlags & WLAN_AVAILABLE_NETWORK_HAS_PROFILE) != 0)
        ReportPrint<u"\t\tFlag WLAN_AVAILABLE_NETWORK_HAS_PROFILE is set\n">();
    ReportPrint<u"\t\treserved is %d\n">(network.dwReserved);
    ReportPrint<u"\n">();
}

}  // namespace

bool PrintNetworkReport(HANDLE client, const GUID& interfaceGuid) {
    PWLAN_AVAILABLE_NETWORK_LIST list = nullptr;
    if (WlanGetAvailableNetworkList(client, &interfaceGuid, 0, nullptr, &list) != 0) {
        ReportPrint<u"Error in the WlanGetAvailableNetworkList() function call\n">();
        return false;
    }
    ReportPrint<u"\tThere are %d Wifi network\n">(list->dwNumberOfItems);
    ReasonText reason = {};
    const WLAN_AVAILABLE_NETWORK* entries = &list->Network[0];
    for (DWORD j = 0; j != list->dwNumberOfItems; ++j) PrintNetwork(j, entries[j], reason);
    WlanFreeMemory(list);
    return true;
}
