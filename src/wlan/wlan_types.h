// Declarations of the WLAN client API for systems that do not provide it.
//
// Names, field names, values and layouts follow the platform's published
// definitions (x86_64, and 32-bit x86 where a pointer is 4 bytes): a list is a
// count, an index and then its entries, and every record has exactly the
// platform's size and field offsets. Lists are
// sized by their item count, never by sizeof of the list type.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using UCHAR = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using BOOL = std::int32_t;
using WCHAR = char16_t;  // one UTF-16 unit, as on the platform
using VOID = void;
using PVOID = void*;
using HANDLE = void*;
using PDWORD = DWORD*;
using PHANDLE = HANDLE*;
using PWCHAR = WCHAR*;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

// Result codes the operations return.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_SERVICE_NOT_ACTIVE = 1062;
inline constexpr DWORD ERROR_NOT_FOUND = 1168;

using WLAN_REASON_CODE = DWORD;
using WLAN_SIGNAL_QUALITY = ULONG;

inline constexpr WLAN_REASON_CODE WLAN_REASON_CODE_SUCCESS = 0;
inline constexpr WLAN_REASON_CODE WLAN_REASON_CODE_UNKNOWN = 0x00010001;
inline constexpr WLAN_REASON_CODE WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE = 0x00020001;
inline constexpr WLAN_REASON_CODE WLAN_REASON_CODE_INVALID_PHY_TYPE = 0x00080005;

inline constexpr DWORD WLAN_MAX_PHY_TYPE_NUMBER = 8;
inline constexpr DWORD DOT11_SSID_MAX_LENGTH = 32;
inline constexpr DWORD WLAN_MAX_NAME_LENGTH = 256;

inline constexpr DWORD WLAN_AVAILABLE_NETWORK_CONNECTED = 0x00000001;
inline constexpr DWORD WLAN_AVAILABLE_NETWORK_HAS_PROFILE = 0x00000002;

// The enumerations are 32 bits wide, as on the platform. A fixed underlying
// type keeps any 32-bit value the service delivers a valid value of the type.
enum WLAN_INTERFACE_STATE : std::uint32_t {
    wlan_interface_state_not_ready = 0,
    wlan_interface_state_connected = 1,
    wlan_interface_state_ad_hoc_network_formed = 2,
    wlan_interface_state_disconnecting = 3,
    wlan_interface_state_disconnected = 4,
    wlan_interface_state_associating = 5,
    wlan_interface_state_discovering = 6,
    wlan_interface_state_authenticating = 7,
};

enum DOT11_BSS_TYPE : std::uint32_t {
    dot11_BSS_type_infrastructure = 1,
    dot11_BSS_type_independent = 2,
    dot11_BSS_type_any = 3,
};

enum DOT11_PHY_TYPE : std::uint32_t {
    dot11_phy_type_unknown = 0,
    dot11_phy_type_any = 0,
    dot11_phy_type_fhss = 1,
    dot11_phy_type_dsss = 2,
    dot11_phy_type_irbaseband = 3,
    dot11_phy_type_ofdm = 4,
    dot11_phy_type_hrdsss = 5,
    dot11_phy_type_erp = 6,
    dot11_phy_type_ht = 7,
    dot11_phy_type_vht = 8,
    dot11_phy_type_dmg = 9,
    dot11_phy_type_he = 10,
    dot11_phy_type_eht = 11,
    dot11_phy_type_IHV_start = 0x80000000,
    dot11_phy_type_IHV_end = 0xffffffff,
};

enum DOT11_AUTH_ALGORITHM : std::uint32_t {
    DOT11_AUTH_ALGO_80211_OPEN = 1,
    DOT11_AUTH_ALGO_80211_SHARED_KEY = 2,
    DOT11_AUTH_ALGO_WPA = 3,
    DOT11_AUTH_ALGO_WPA_PSK = 4,
    DOT11_AUTH_ALGO_WPA_NONE = 5,
    DOT11_AUTH_ALGO_RSNA = 6,
    DOT11_AUTH_ALGO_RSNA_PSK = 7,
    DOT11_AUTH_ALGO_WPA3 = 8,
    DOT11_AUTH_ALGO_WPA3_SAE = 9,
    DOT11_AUTH_ALGO_OWE = 10,
    DOT11_AUTH_ALGO_WPA3_ENT = 11,
    DOT11_AUTH_ALGO_IHV_START = 0x80000000,
    DOT11_AUTH_ALGO_IHV_END = 0xffffffff,
};

enum DOT11_CIPHER_ALGORITHM : std::uint32_t {
    DOT11_CIPHER_ALGO_NONE = 0x00,
    DOT11_CIPHER_ALGO_WEP40 = 0x01,
    DOT11_CIPHER_ALGO_TKIP = 0x02,
    DOT11_CIPHER_ALGO_CCMP = 0x04,
    DOT11_CIPHER_ALGO_WEP104 = 0x05,
    DOT11_CIPHER_ALGO_BIP = 0x06,
    DOT11_CIPHER_ALGO_GCMP = 0x08,
    DOT11_CIPHER_ALGO_GCMP_256 = 0x09,
    DOT11_CIPHER_ALGO_CCMP_256 = 0x0a,
    DOT11_CIPHER_ALGO_WPA_USE_GROUP = 0x100,
    DOT11_CIPHER_ALGO_RSN_USE_GROUP = 0x100,
    DOT11_CIPHER_ALGO_WEP = 0x101,
    DOT11_CIPHER_ALGO_IHV_START = 0x80000000,
    DOT11_CIPHER_ALGO_IHV_END = 0xffffffff,
};

struct DOT11_SSID {
    ULONG uSSIDLength;
    UCHAR ucSSID[DOT11_SSID_MAX_LENGTH];
};

struct WLAN_INTERFACE_INFO {
    GUID InterfaceGuid;
    WCHAR strInterfaceDescription[WLAN_MAX_NAME_LENGTH];
    WLAN_INTERFACE_STATE isState;
};

// dwNumberOfItems entries follow from InterfaceInfo; the [1] is only the first.
struct WLAN_INTERFACE_INFO_LIST {
    DWORD dwNumberOfItems;
    DWORD dwIndex;
    WLAN_INTERFACE_INFO InterfaceInfo[1];
};

struct WLAN_AVAILABLE_NETWORK {
    WCHAR strProfileName[WLAN_MAX_NAME_LENGTH];
    DOT11_SSID dot11Ssid;
    DOT11_BSS_TYPE dot11BssType;
    ULONG uNumberOfBssids;
    BOOL bNetworkConnectable;
    WLAN_REASON_CODE wlanNotConnectableReason;
    ULONG uNumberOfPhyTypes;
    DOT11_PHY_TYPE dot11PhyTypes[WLAN_MAX_PHY_TYPE_NUMBER];
    BOOL bMorePhyTypes;
    WLAN_SIGNAL_QUALITY wlanSignalQuality;
    BOOL bSecurityEnabled;
    DOT11_AUTH_ALGORITHM dot11DefaultAuthAlgorithm;
    DOT11_CIPHER_ALGORITHM dot11DefaultCipherAlgorithm;
    DWORD dwFlags;
    DWORD dwReserved;
};

// dwNumberOfItems entries follow from Network; the [1] is only the first.
struct WLAN_AVAILABLE_NETWORK_LIST {
    DWORD dwNumberOfItems;
    DWORD dwIndex;
    WLAN_AVAILABLE_NETWORK Network[1];
};

using PWLAN_INTERFACE_INFO_LIST = WLAN_INTERFACE_INFO_LIST*;
using PWLAN_AVAILABLE_NETWORK_LIST = WLAN_AVAILABLE_NETWORK_LIST*;

// The platform's record layouts. No record holds a pointer or anything wider
// than 4 bytes, so they are the same on its 64-bit and 32-bit ABIs; only a
// handle is as wide as a pointer there: 8 bytes, or 4 (armhf).
static_assert(sizeof(HANDLE) == (UINTPTR_MAX > 0xFFFFFFFFu ? 8 : 4));
static_assert(alignof(WLAN_INTERFACE_INFO_LIST) == 4 && alignof(WLAN_AVAILABLE_NETWORK_LIST) == 4);
static_assert(sizeof(WLAN_INTERFACE_INFO_LIST) == 8 + 532);
static_assert(sizeof(WLAN_AVAILABLE_NETWORK_LIST) == 8 + 628);
static_assert(sizeof(GUID) == 16);
static_assert(sizeof(DOT11_SSID) == 36);
static_assert(sizeof(WLAN_INTERFACE_INFO) == 532);
static_assert(offsetof(WLAN_INTERFACE_INFO, InterfaceGuid) == 0);
static_assert(offsetof(WLAN_INTERFACE_INFO, strInterfaceDescription) == 16);
static_assert(offsetof(WLAN_INTERFACE_INFO, isState) == 528);
static_assert(offsetof(WLAN_INTERFACE_INFO_LIST, dwNumberOfItems) == 0);
static_assert(offsetof(WLAN_INTERFACE_INFO_LIST, dwIndex) == 4);
static_assert(offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) == 8);
static_assert(sizeof(WLAN_AVAILABLE_NETWORK) == 628);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, strProfileName) == 0);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dot11Ssid) == 512);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dot11Ssid) + offsetof(DOT11_SSID, ucSSID) == 516);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dot11BssType) == 548);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, uNumberOfBssids) == 552);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, bNetworkConnectable) == 556);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, wlanNotConnectableReason) == 560);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, uNumberOfPhyTypes) == 564);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dot11PhyTypes) == 568);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, bMorePhyTypes) == 600);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, wlanSignalQuality) == 604);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, bSecurityEnabled) == 608);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dot11DefaultAuthAlgorithm) == 612);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dot11DefaultCipherAlgorithm) == 616);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dwFlags) == 620);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK, dwReserved) == 624);
static_assert(offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network) == 8);

// The six operations. Each list handed out is one allocation, given back with
// WlanFreeMemory.
extern "C" {
DWORD WlanOpenHandle(DWORD dwClientVersion, PVOID pReserved, PDWORD pdwNegotiatedVersion,
                     PHANDLE phClientHandle);
DWORD WlanCloseHandle(HANDLE hClientHandle, PVOID pReserved);
DWORD WlanEnumInterfaces(HANDLE hClientHandle, PVOID pReserved,
                         PWLAN_INTERFACE_INFO_LIST* ppInterfaceList);
DWORD WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD dwFlags,
                                  PVOID pReserved,
                                  PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList);
DWORD WlanReasonCodeToString(DWORD dwReasonCode, DWORD dwBufferSize, PWCHAR pStringBuffer,
                             PVOID pReserved);
VOID WlanFreeMemory(PVOID pMemory);
}
