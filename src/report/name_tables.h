// The platform's names for its enumerated values. Each lookup is an exact
// match on the 32-bit value; every value a table does not list, including
// values the platform may add later, gets that table's fallback text. The names are
// constants of the program, without a terminator inside.
#pragma once

#include <cstdint>
#include <string_view>

std::u16string_view InterfaceStateName(std::uint32_t state);
std::u16string_view BssTypeName(std::uint32_t type);
std::u16string_view PhyTypeName(std::uint32_t type);
std::u16string_view AuthAlgorithmName(std::uint32_t algorithm);
std::u16string_view CipherAlgorithmName(std::uint32_t algorithm);
