# 32-bit ARM with hardware floating point (Debian armhf).
set(cross_triplet arm-linux-gnueabihf)
set(cross_processor arm)
set(cross_qemu qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
