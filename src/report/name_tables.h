// The platform's names for its enumerated values. Each lookup is an exact
// match on the 32-bit value; every value a table does not list, including
// values the platform may add later, gets that table's fallback text.
#pragma once

#include <cstdint>

const char16_t* InterfaceStateName(std::uint32_t state);
const char16_t* BssTypeName(std::uint32_t type);
const char16_t* PhyTypeName(std::uint32_t type);
const char16_t* AuthAlgorithmName(std::uint32_t algorithm);
const char16_t* CipherAlgorithmName(std::uint32_t algorithm);
