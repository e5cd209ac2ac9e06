// English texts for the reason codes this layer produces.
#pragma once

#include "wlan/wlan_types.h"

namespace wlanlinux {

// The text of a reason code, or nullptr for a code this layer does not know.
const char16_t* ReasonCodeText(DWORD code);

}  // namespace wlanlinux
