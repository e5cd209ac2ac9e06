#include "wlan/linux/platform/supplicant_matching.h"

namespace wlanlinux {

bool SupplicantProfileFits(const SavedProfile&, const BssMatchFacts&) { return false; }

}  // namespace wlanlinux
