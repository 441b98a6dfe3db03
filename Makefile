# The project's commands. Each one installs what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
WINDOWS_BUILD ?= build-windows
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps build test sanitize bench fuzz run package windows windows-test windows-package format clean

all: build

deps:
	@tools/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Every test: unit, widget and end-to-end on Linux, then the Windows build's
# tests under Wine.
test: build windows
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

# The unit and widget tests again, built with AddressSanitizer and UBSan.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -LE e2e

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_BENCH=ON -DVANTREL_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	tools/run-benchmarks $(BENCH_BUILD)

# The netlink parser under libFuzzer; FUZZ_SECONDS bounds the run, or
# FUZZ_RUNS=N runs N inputs (with no time bound unless FUZZ_SECONDS is given).
FUZZ_SECONDS ?= $(if $(FUZZ_RUNS),0,30)
fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_BUILD_FUZZ=ON -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	tools/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_RUNS)

run: build
	tools/run-bar $(BUILD)

# The Debian package, a Release build for /usr: $(PACKAGE_BUILD)/vantrel_<version>_<arch>.deb.
package: deps
	cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DVANTREL_BUILD_TESTS=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

# The Windows build, cross-compiled with MinGW-w64 (no Qt), and its tests
# under Wine in a prefix below the build tree.
windows: deps
	cmake -S . -B $(WINDOWS_BUILD) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

windows-test: windows
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

# The Windows installer (per user, no elevation) and the portable zip:
# $(WINDOWS_BUILD)/VantRel-<version>-win64.exe and .zip.
windows-package: windows
	cd $(WINDOWS_BUILD) && cpack -G "NSIS;ZIP"

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) $(WINDOWS_BUILD)
