# Thin wrapper over CMake; both main targets install what is missing first.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps build demo test package bench windows clean

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD)

# Converts the bundled sample data into out/ with every layer and shows the log.
# The sample lies in Tokyo, zone 9 of the plane rectangular coordinate system
# (entry 8, JGD2000).
demo: build
	mkdir -p out
	$(BUILD)/src/cli/pelmora-convert -o out samples/mapdata

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

# The Debian package $(BUILD)/pelmora_<version>_<arch>.deb (CPack).
package: build
	cmake --build $(BUILD) --target package

# Generates benchmark data once (bench/data/), converts it with the release
# build and prints the figures against the machine's floor (a few minutes).
bench: deps
	bench/run-bench

# pelmora-convert.exe and pelmora.exe for 64-bit Windows, cross-built with mingw-w64 into
# build-windows/, tested under wine, packed as
# build-windows/pelmora-<version>-windows-x64.zip and as the per-user
# installer build-windows/pelmora-<version>-setup.exe, checked under wine.
windows:
	./scripts/build-windows

clean:
	rm -rf $(BUILD) build-windows out
