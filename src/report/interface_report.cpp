#include "report/interface_report.h"

#include <cstdint>

#include "report/name_tables.h"
#include "report/network_report.h"
#include "report/report_print.h"

namespace {

// Collects formatter output as wide units in a fixed buffer, always leaving
// room for the terminator.
class WideText {
public:
    WideText(char16_t* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}

    void Literal(const char* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) Put(static_cast<char16_t>(bytes[i]));
    }
    template <typename C>
    void Units(const C* text, std::size_t limit) {
        for (std::size_t i = 0; i < limit && text[i] != 0; ++i) Put(static_cast<char16_t>(text[i]));
    }
    void Bytes(const unsigned char* text, std::size_t limit) {
        for (std::size_t i = 0; i < limit && text[i] != 0; ++i) Put(text[i]);
    }
    void Finish() { buffer_[size_] = 0; }

private:
    void Put(char16_t unit) {
        if (size_ + 1 < capacity_) buffer_[size_++] = unit;
    }

    char16_t* buffer_;
    std::size_t capacity_;
    std::size_t size_ = 0;
};

template <ReportFormat Format, typename... Args>
void FormatWide(char16_t* buffer, std::size_t capacity, const Args&... args) {
    WideText out(buffer, capacity);
    FormatReport<Format>(out, args...);
    out.Finish();
}

}  // namespace

void FormatGuid(const GUID& guid, char16_t (&text)[kGuidTextSize]) {
    const auto byte = [&guid](int i) { return static_cast<std::uint32_t>(guid.Data4[i]); };
    FormatWide<u"%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X">(
        text, kGuidTextSize, static_cast<std::uint32_t>(guid.Data1),
        static_cast<std::uint32_t>(guid.Data2), static_cast<std::uint32_t>(guid.Data3), byte(0),
        byte(1), byte(2), byte(3), byte(4), byte(5), byte(6), byte(7));
}

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
        char16_t guidText[kGuidTextSize] = {};  // narrowed in blocks, which may reach past the terminator
        FormatGuid(entry.InterfaceGuid, guidText);
        ReportPrint<u"Interface %d\n">(i);
        ReportPrint<u"\tThe Wifi interface GUID is [%s]\n">(guidText);
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
