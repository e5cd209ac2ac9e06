// Validated attribute lookup: each attribute of a payload whose type a policy
// lists is checked against that type's kind and length before anyone reads it.
#pragma once

#include <libmnl/libmnl.h>

#include <cstddef>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace wlanlinux {

// What an attribute type must look like. `length` is the exact payload length
// for MNL_TYPE_BINARY (0: any length); the integer kinds carry their own.
// A default entry (MNL_TYPE_UNSPEC) means the type is not wanted.
struct AttributePolicy {
    mnl_attr_data_type kind = MNL_TYPE_UNSPEC;
    std::size_t length = 0;
};

struct PolicyRule {
    std::uint16_t type;
    mnl_attr_data_type kind;
    std::size_t length = 0;
};

// A policy indexed by attribute type, for types below N.
template <std::size_t N>
constexpr std::array<AttributePolicy, N> MakePolicy(std::initializer_list<PolicyRule> rules) {
    std::array<AttributePolicy, N> table{};
    for (const PolicyRule& rule : rules) table[rule.type] = {rule.kind, rule.length};
    return table;
}

// Fills `found[type]` with the first valid attribute of each wanted type in
// the payload (nullptr where absent or invalid). An attribute that runs past
// the payload ends the walk; invalid or unwanted attributes are skipped.
// `found` and `policy` have the same size.
void CollectAttributes(const void* payload, std::size_t length,
                       std::span<const AttributePolicy> policy, std::span<const nlattr*> found);

// The same for a nested attribute's payload.
void CollectNested(const nlattr* nest, std::span<const AttributePolicy> policy,
                   std::span<const nlattr*> found);

// The same for the attributes following a generic-netlink header.
void CollectGenericAttributes(const nlmsghdr* message, std::span<const AttributePolicy> policy,
                              std::span<const nlattr*> found);

}  // namespace wlanlinux
