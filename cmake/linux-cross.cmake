# Cross-compiling for another Debian architecture with Debian's cross
# toolchain (crossbuild-essential-ARCH) and the libraries of that architecture
# installed beside ours (multiarch: /usr/lib/TRIPLET). Included by the
# toolchain file of each architecture, which sets cross_triplet,
# cross_processor and cross_qemu. Tests run under qemu-user with the cross
# toolchain's sysroot for the loader and the C and C++ runtimes: its C library
# first, before the multiarch one, whose Debian revision may differ from the
# loader's (a loader and a C library of two revisions break at the first
# thread or fork).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${cross_processor})
set(CMAKE_LIBRARY_ARCHITECTURE ${cross_triplet})

set(CMAKE_C_COMPILER ${cross_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${cross_triplet}-g++)
set(PKG_CONFIG_EXECUTABLE ${cross_triplet}-pkg-config CACHE FILEPATH "pkg-config of the target")

set(CMAKE_FIND_ROOT_PATH /usr/${cross_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_CROSSCOMPILING_EMULATOR
  ${cross_qemu} -L /usr/${cross_triplet} -E LD_LIBRARY_PATH=/usr/${cross_triplet}/lib)
