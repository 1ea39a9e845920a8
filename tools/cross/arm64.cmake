# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building for Debian's arm64 with its cross toolchain
# (crossbuild-essential-arm64) and its multiarch libraries (libsdl2-dev:arm64);
# programs built here run under qemu-user, so the tests run as at home.
# Used by `make deb ARCH=arm64` and the arm64 preset.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
# Only the target's own libraries and packages, never the build machine's.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu/cmake)
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
set(VANTLE_DEB_HOST_ARCH arm64)
