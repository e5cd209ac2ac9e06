#include "wlan/linux/platform/connman_matching.h"

namespace wlanlinux {

bool ConnManProfileFits(const SavedProfile&, const BssMatchFacts&) { return false; }

}  // namespace wlanlinux
