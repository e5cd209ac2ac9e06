// Planted: the bottom layer includes the API above it.
#include <linux/netlink.h>
#include <wlan/linux/api/reason_text.h>
