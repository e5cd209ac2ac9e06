#include "wlan/linux/api/reason_text.h"

namespace wlanlinux {
namespace {

struct ReasonRow {
    DWORD code;
    const char16_t* text;
};

constexpr ReasonRow kReasons[] = {
    {WLAN_REASON_CODE_SUCCESS, u"The operation succeeded."},
    {WLAN_REASON_CODE_UNKNOWN, u"The reason is unknown."},
    {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE,
     u"The network is not compatible with this adapter."},
    {WLAN_REASON_CODE_INVALID_PHY_TYPE, u"The PHY type is invalid."},
};

}  // namespace

const char16_t* ReasonCodeText(DWORD code) {
    for (const ReasonRow& row : kReasons)
        if (row.code == code) return row.text;
    return nullptr;
}

}  // namespace wlanlinux
