# The two commands a new user needs:
#   make run    installs what is missing, builds, starts the game
#   make test   installs what is missing, builds, runs every test
.PHONY: run test build clean

build:
	@tools/setup-deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/vantle

test:
	@tools/setup-deps test
	cmake --preset default
	cmake --build --preset default
	ctest --preset default

clean:
	rm -rf build build-asan
