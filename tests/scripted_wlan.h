// A scripted WLAN service: the six WLAN client operations, answered from data
// instead of a platform service. Tests and the benchmark link it in place of
// the real WLAN layer.
//
// It records every call and checks the program's side of the protocol: a
// version other than 2 asked for, a list freed twice, never freed or freed out
// of order (the last list handed out must be the first given back), networks
// asked for once the interface list is given back, a call after the close and
// a handle never closed are problems the test reads from the log.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "wlan/wlan_client.h"

// What WlanReasonCodeToString does for one code. `text` is written from the
// start of the buffer, within the size the caller gives; `terminate` adds a
// zero unit after it when there is room.
struct ScriptedReason {
    DWORD code = 0;
    DWORD result = 0;
    std::u16string text;
    bool terminate = true;
};

struct ScriptedInterface {
    GUID guid{};
    // Copied into the 256-unit field; a text of 256 units has no terminator.
    std::u16string description;
    DWORD state = 0;
    DWORD networkListResult = 0;
    std::vector<WLAN_AVAILABLE_NETWORK> networks;
};

struct WlanScript {
    DWORD openResult = 0;
    DWORD negotiatedVersion = 2;
    DWORD enumResult = 0;
    DWORD closeResult = 0;
    std::vector<ScriptedReason> reasons;  // other codes: 87, buffer untouched
    std::vector<ScriptedInterface> interfaces;
    // Large data sets: each interface's list of `generatedNetworks` entries is
    // built by `generateNetwork` on request instead of being held in the script.
    DWORD generatedNetworks = 0;
    void (*generateNetwork)(std::size_t interfaceIndex, DWORD networkIndex,
                            WLAN_AVAILABLE_NETWORK& network) = nullptr;
};

struct WlanCallLog {
    std::vector<std::string> calls;     // "open", "enum", "networks 1", "free networks 1", ...
    std::vector<std::string> problems;  // empty when every rule was kept
};

// Answers the WLAN operations from `script` until FinishWlanScript. The script
// must outlive that.
void InstallWlanScript(const WlanScript& script);

// Stops answering, reports lists still held as never freed, and returns the log.
WlanCallLog FinishWlanScript();

// Copies UTF-16 text into a fixed WCHAR field, without a terminator when the
// text fills the field.
template <std::size_t N>
void SetWideText(WCHAR (&field)[N], const std::u16string& text) {
    std::size_t i = 0;
    for (; i < N && i < text.size(); ++i) field[i] = static_cast<WCHAR>(text[i]);
    if (i < N) field[i] = 0;
}
