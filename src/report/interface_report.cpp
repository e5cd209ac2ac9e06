#include "report/interface_report.h"

#include <cstdint>

#include "report/name_tables.h"
#include "report/network_report.h"
#include "report/report_print.h"

bool PrintInterfaceReport(HANDLE client) {
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    if (WlanEnumInterfaces(client, nullptr, &list) != 0) {
        ReportPrint<u"Error in the WlanEnumInterfaces() function call\n">();
        return false;
    }
    ReportPrint<u"There are %d Wifi interface\n">(list->dwNumberOfItems);
    const WLAN_INTERFACE_INFO* entries = &list->InterfaceInfo[0];
    for (DWORD i = 0; i != list->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& entry = entries[i];
        const GUID& guid = entry.InterfaceGuid;
        ReportPrint<u"Interface %d\n">(i);
        ReportPrint<u"\tThe Wifi interface GUID is [%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X]\n">(
            guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
            guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
        ReportPrint<u"\tThe Wifi interface description is [%s]\n">(
            entry.strInterfaceDescription);
        ReportPrint<u"\tThe Wifi interface state is [%s]\n">(
            InterfaceStateName(static_cast<std::uint32_t>(entry.isState)));
        PrintNetworkReport(client, entry.InterfaceGuid);
        ReportPrint<u"\n">();
    }
    WlanFreeMemory(list);
    return true;
}
