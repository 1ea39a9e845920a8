# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands a new user needs:
#   make run    installs what is missing, builds, starts the game
#   make test   installs what is missing, builds (the browser edition too),
#               runs every test
.PHONY: run test build clean bench bench-web soak deb dist web cross-build test-cross

build:
	@tools/setup-deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/shell/vantle

# The Debian package, build/vantle_VERSION-REVISION_ARCH.deb; install it with
#   sudo apt install ./build/vantle_*.deb
# With ARCH=arm64 or ARCH=armhf, the package for that architecture,
# cross-built into build-ARCH/ with Debian's cross toolchain; its tests run
# under qemu-user with `make test-cross ARCH=...`.
ARCH ?=
ifeq ($(ARCH),)
deb: build
	@tools/setup-deps deb
	cd build && cpack
else
deb: cross-build
	cd build-$(ARCH) && cpack
endif

cross-build:
	@test -n "$(ARCH)" || { echo "make: say ARCH=arm64 or ARCH=armhf" >&2; exit 2; }
	@tools/setup-deps cross $(ARCH)
	cmake --preset $(ARCH)
	cmake --build --preset $(ARCH)

test-cross: cross-build
	ctest --preset $(ARCH)

# The source release, build/vantle-VERSION.tar.gz: the last commit's files
# (git archive HEAD), which build and test without the repository.
dist:
	tools/make-dist build

test:
	@tools/setup-deps test
	cmake --preset default
	cmake --build --preset default
	cmake --preset web
	cmake --build --preset web
	ctest --preset default

# What a tick, a draw and a paint cost, and how fast vantle-sim plays; it
# reports, it does not judge. `make bench-web` reports the browser
# edition's download, its time to the title, its CPU while it waits and in
# play, and on an emulated phone the time from a touch to the new picture.
bench-web: web build
	node tests/web/bench.js --site build-web/site --sim build/tools/sim/vantle-sim

bench:
	@tools/setup-deps test
	cmake --preset default
	cmake --build --preset default --target vantle-bench
	./build/tests/bench/vantle-bench

# The long soak: random play under the sanitizers, every rule checked after
# every tick (SOAK_TICKS=... to change its length, SOAK_SEED=... to replay).
SOAK_TICKS ?= 100000000
soak:
	@tools/setup-deps test
	cmake --preset asan
	cmake --build --preset asan --target vantle-soak
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ./build-asan/tools/soak/vantle-soak --ticks $(SOAK_TICKS) $(if $(SOAK_SEED),--seed $(SOAK_SEED))

# The browser edition: a static site in build-web/site. Serve that folder,
# for example with python3 -m http.server --directory build-web/site
web:
	@tools/setup-deps web
	cmake --preset web
	cmake --build --preset web

clean:
	rm -rf build build-asan build-headless build-fuzz build-web
