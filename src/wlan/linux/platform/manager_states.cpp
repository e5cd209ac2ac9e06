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

struct NamedState {
    std::string_view name;
    WLAN_INTERFACE_STATE state;
};

// iwd's station states; "roaming" keeps what nl80211 says (still associated).
constexpr NamedState kIwdStates[] = {
    {"connected", wlan_interface_state_connected},
    {"connecting", wlan_interface_state_associating},
    {"disconnecting", wlan_interface_state_disconnecting},
    {"disconnected", wlan_interface_state_disconnected},
};

// ConnMan's service states. From "configuration" on the link is up and what
// is left is the IP layer, as with NetworkManager's ip-config; "idle" and
// "failure" keep what nl80211 says.
constexpr NamedState kConnManStates[] = {
    {"association", wlan_interface_state_associating},
    {"configuration", wlan_interface_state_connected},
    {"ready", wlan_interface_state_connected},
    {"online", wlan_interface_state_connected},
    {"disconnect", wlan_interface_state_disconnecting},
};

// wpa_supplicant's states as its bus names them (its control socket's
// wpa_state in lower case); "interface_disabled" and "unknown" keep what
// nl80211 says.
constexpr NamedState kSupplicantStates[] = {
    {"disconnected", wlan_interface_state_disconnected},
    {"inactive", wlan_interface_state_disconnected},
    {"scanning", wlan_interface_state_discovering},
    {"authenticating", wlan_interface_state_authenticating},
    {"associating", wlan_interface_state_associating},
    {"associated", wlan_interface_state_associating},
    {"4way_handshake", wlan_interface_state_authenticating},
    {"group_handshake", wlan_interface_state_authenticating},
    {"completed", wlan_interface_state_connected},
};

bool KeepsKernelState(WLAN_INTERFACE_STATE kernelState) {
    return kernelState == wlan_interface_state_not_ready ||
           kernelState == wlan_interface_state_ad_hoc_network_formed;
}

template <std::size_t N>
WLAN_INTERFACE_STATE Lookup(const NamedState (&table)[N], WLAN_INTERFACE_STATE kernelState,
                            std::string_view state) {
    for (const NamedState& row : table)
        if (row.name == state) return row.state;
    return kernelState;
}

}  // namespace

WLAN_INTERFACE_STATE RefineWithManagerState(ProfileSnapshot::Source source,
                                            WLAN_INTERFACE_STATE kernelState, std::string_view state) {
    if (KeepsKernelState(kernelState)) return kernelState;
    switch (source) {
    case ProfileSnapshot::Source::Iwd: return Lookup(kIwdStates, kernelState, state);
    case ProfileSnapshot::Source::ConnMan: return Lookup(kConnManStates, kernelState, state);
    case ProfileSnapshot::Source::WpaSupplicant: return Lookup(kSupplicantStates, kernelState, state);
    default: return kernelState;
    }
}

WLAN_INTERFACE_STATE RefineWithDeviceState(WLAN_INTERFACE_STATE kernelState,
                                           std::uint32_t deviceState) {
    if (KeepsKernelState(kernelState)) return kernelState;
    for (const Refinement& refinement : kRefinements)
        if (refinement.deviceState == deviceState) return refinement.state;
    return kernelState;
}

}  // namespace wlanlinux
