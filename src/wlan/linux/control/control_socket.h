// A datagram exchange with wpa_supplicant's control socket: our end bound to a
// path of our own in a private directory, removed on every way out; every
// reply bounded in size and in time.
#pragma once
