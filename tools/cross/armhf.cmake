# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building for Debian's armhf with its cross toolchain
# (crossbuild-essential-armhf) and its multiarch libraries (libsdl2-dev:armhf);
# programs built here run under qemu-user, so the tests run as at home.
# Used by `make deb ARCH=armhf` and the armhf preset.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
# Only the target's own libraries and packages, never the build machine's.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu/cmake)
set(PKG_CONFIG_EXECUTABLE arm-linux-gnueabihf-pkg-config CACHE FILEPATH "")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm-static)
set(VANTLE_DEB_HOST_ARCH armhf)
