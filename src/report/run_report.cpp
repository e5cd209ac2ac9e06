#include "report/run_report.h"

#include <cstdint>
#include <cstring>
#include <iterator>

#include "report/interface_report.h"
#include "report/network_report.h"
#include "report/report_print.h"
#include "wlan/wlan_client.h"

namespace {

constexpr DWORD kClientVersion = 2;

// The reason code whose text the probe asks for.
constexpr DWORD ReasonProbeCode = 0x00080005;

// Shows what the platform writes into a text buffer for one reason code: the
// text, the result, and every unit of the buffer, so that units the platform
// left untouched (still the 0x6161 fill) are visible.
void ProbeReasonText() {
    ReasonText reason;
    std::memset(reason, 0x61, sizeof reason);
    reason[std::size(reason) - 1] = 0;
    const DWORD result =
        WlanReasonCodeToString(ReasonProbeCode, static_cast<DWORD>(std::size(reason)), reason, nullptr);
    ReportPrint<u"The string reason for error code %.8x is [%s] (ret=%d, %.8x)\n">(
        ReasonProbeCode, reason, result, result);
    for (const WCHAR unit : reason) ReportPrint<u"%.2x ,">(static_cast<std::uint32_t>(unit));
    ReportPrint<u"\n">();
}

}  // namespace

int RunReport(int, char**, char**) {
    DWORD negotiatedVersion = 0;
    HANDLE client = nullptr;
    if (WlanOpenHandle(kClientVersion, nullptr, &negotiatedVersion, &client) != 0) {
        ReportPrint<u"Error in the WlanOpenHandle() function call\n">();
        return 0;
    }
    ReportPrint<u"Asked version to WLAN interface is %d, Negociated version is %d\n">(
        kClientVersion, negotiatedVersion);

    ProbeReasonText();
    PrintInterfaceReport(client);

    const DWORD closed = WlanCloseHandle(client, nullptr);
    client = nullptr;
    if (closed != 0) ReportPrint<u"Error in the WlanCloseHandle() function call\n">();
    return 0;
}
