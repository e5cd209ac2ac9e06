#include "wlan/linux/netlink/netlink_attributes.h"

#include <linux/genetlink.h>

namespace wlanlinux {
namespace {

struct Collection {
    std::span<const AttributePolicy> policy;
    std::span<const nlattr*> found;
};

int CollectOne(const nlattr* attribute, void* data) {
    auto& collection = *static_cast<Collection*>(data);
    const std::uint16_t type = mnl_attr_get_type(attribute);
    if (type >= collection.policy.size() || type >= collection.found.size()) return MNL_CB_OK;
    const AttributePolicy& rule = collection.policy[type];
    if (rule.kind == MNL_TYPE_UNSPEC || collection.found[type] != nullptr) return MNL_CB_OK;
    const int valid = rule.length != 0 ? mnl_attr_validate2(attribute, rule.kind, rule.length)
                                       : mnl_attr_validate(attribute, rule.kind);
    if (valid == 0) collection.found[type] = attribute;
    return MNL_CB_OK;
}

}  // namespace

void CollectAttributes(const void* payload, std::size_t length,
                       std::span<const AttributePolicy> policy, std::span<const nlattr*> found) {
    for (const nlattr*& slot : found) slot = nullptr;
    if (payload == nullptr) return;
    Collection collection{policy, found};
    mnl_attr_parse_payload(payload, length, CollectOne, &collection);
}

void CollectNested(const nlattr* nest, std::span<const AttributePolicy> policy,
                   std::span<const nlattr*> found) {
    CollectAttributes(mnl_attr_get_payload(nest), mnl_attr_get_payload_len(nest), policy, found);
}

void CollectGenericAttributes(const nlmsghdr* message, std::span<const AttributePolicy> policy,
                              std::span<const nlattr*> found) {
    const std::size_t payload = mnl_nlmsg_get_payload_len(message);
    if (payload < GENL_HDRLEN) {
        CollectAttributes(nullptr, 0, policy, found);
        return;
    }
    const auto* start = static_cast<const char*>(mnl_nlmsg_get_payload(message)) + GENL_HDRLEN;
    CollectAttributes(start, payload - GENL_HDRLEN, policy, found);
}

}  // namespace wlanlinux
