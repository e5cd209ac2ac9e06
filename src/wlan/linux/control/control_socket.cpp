#include "wlan/linux/control/control_socket.h"
