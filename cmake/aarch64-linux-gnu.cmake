# Cross build for 64-bit Arm Linux with Debian's cross compilers
# (g++-aarch64-linux-gnu), its tests run under user-mode QEMU (qemu-user) with
# the cross toolchain's C and C++ libraries, or Debian's arm64 ones where
# multiarch packages brought them. Used by the "aarch64" preset.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Libraries, headers and packages of the target only: the cross toolchain's
# tree, and under "/" Debian's multiarch arm64 packages (libhwy-dev:arm64 and
# libsleef-dev:arm64, installed beside their amd64 twins) in
# /usr/lib/aarch64-linux-gnu and /usr/include/aarch64-linux-gnu: CMake takes
# the multiarch folder's name from the cross compiler, so it never looks in
# the host's (x86_64-linux-gnu). Programs (Python for the tests) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's name of the architecture, for configure's advice on what to install
# (libsleef-dev:arm64).
set(SPHEREBENCH_DEBIAN_ARCH arm64)

# ctest and the test discovery run every test program through this.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)
