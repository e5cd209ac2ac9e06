#include "wlan/linux/platform/manager_states.h"

namespace wlanlinux {
namespace {

struct Refinement {
    std::uint32_t deviceState;
    WLAN_INTERFACE_STATE state;
};

// unmanaged (10), unavailable (20), disconnected (30), activated (100) and
// failed (120) are absent: nl80211 knows those as well as NetworkManager.
// From ip-config on, the supplicant has finished and the link is up; what is
// left is the IP layer, which the platform's states do not describe.
constexpr Refinement kRefinements[] = {
    {40, wlan_interface_state_associating},     // prepare
    {50, wlan_interface_state_associating},     // config: the supplicant is joining
    {60, wlan_interface_state_authenticating},  // need-auth: waiting for secrets
    {70, wlan_interface_state_connected},       // ip-config
    {80, wlan_interface_state_connected},       // ip-check
    {90, wlan_interface_state_connected},       // secondaries
    {110, wlan_interface_state_disconnecting},  // deactivating
};

}  // namespace

WLAN_INTERFACE_STATE RefineWithDeviceState(WLAN_INTERFACE_STATE kernelState,
                                           std::uint32_t deviceState) {
    if (kernelState == wlan_interface_state_not_ready ||
        kernelState == wlan_interface_state_ad_hoc_network_formed)
        return kernelState;
    for (const Refinement& refinement : kRefinements)
        if (refinement.deviceState == deviceState) return refinement.state;
    return kernelState;
}

}  // namespace wlanlinux
