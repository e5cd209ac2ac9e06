// Each FORMAT_CASE but 0 is a print whose format does not match its arguments,
// or is not ASCII, and must not compile; case 0 shows that the rest of this
// file does.
#include "report/report_print.h"

void Print() {
#if FORMAT_CASE == 1
    ReportPrint<u"%d\n">();  // an argument missing
#elif FORMAT_CASE == 2
    ReportPrint<u"%d\n">(1, 2);  // an argument too many
#elif FORMAT_CASE == 3
    ReportPrint<u"[%s]\n">(5);  // a number for text
#elif FORMAT_CASE == 4
    ReportPrint<u"%.8x\n">(-1);  // a signed value for hex digits
#elif FORMAT_CASE == 5
    const char bytes[] = "x";
    ReportPrint<u"[%s]\n">(bytes);  // byte text for wide text
#elif FORMAT_CASE == 6
    ReportPrint<u"[%S]\n">(u"x");  // wide text for byte text
#elif FORMAT_CASE == 7
    ReportPrint<u"%q\n">(1);  // no such conversion
#elif FORMAT_CASE == 8
    ReportPrint<u"%.2x\n">(u'a');  // a character not widened
#elif FORMAT_CASE == 9
    ReportPrint<u"caf\u00E9 %d\n">(1);  // format text beyond ASCII
#else
    const unsigned char ssid[] = "b";
    ReportPrint<u"%d [%s] %.2x %.8X [%S] %%\n">(1, u"ok", 2u, 3u, ssid);
#endif
}
