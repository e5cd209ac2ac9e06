#include "wlan/linux/netlink/generic_family.h"

#include <linux/genetlink.h>

#include <cerrno>

#include "wlan/linux/netlink/netlink_attributes.h"
#include "wlan/linux/netlink/netlink_request.h"

namespace wlanlinux {

std::uint16_t ParseFamilyReply(const nlmsghdr* message) {
    static constexpr auto policy =
        MakePolicy<CTRL_ATTR_FAMILY_ID + 1>({{CTRL_ATTR_FAMILY_ID, MNL_TYPE_U16}});
    std::array<const nlattr*, policy.size()> found;
    CollectGenericAttributes(message, policy, found);
    return found[CTRL_ATTR_FAMILY_ID] != nullptr ? mnl_attr_get_u16(found[CTRL_ATTR_FAMILY_ID]) : 0;
}

int ResolveGenericFamily(NetlinkSocket& socket, const char* name, std::uint16_t& familyId) {
    familyId = 0;
    NetlinkRequest request;
    request.family = GENL_ID_CTRL;
    request.command = CTRL_CMD_GETFAMILY;
    request.version = 1;
    request.addAttributes = [name](nlmsghdr* message) {
        mnl_attr_put_strz(message, CTRL_ATTR_FAMILY_NAME, name);
    };
    std::uint16_t id = 0;
    const int error = RunNetlinkRequest(socket, request, [&id] { id = 0; },
                                        [&id](const nlmsghdr* message) {
                                            if (id == 0) id = ParseFamilyReply(message);
                                        });
    if (error == ENOENT) return 0;  // no such family: this machine has no wireless stack
    if (error != 0) return error;
    familyId = id;
    return 0;
}

}  // namespace wlanlinux
