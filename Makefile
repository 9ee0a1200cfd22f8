# Entry points for people and CI. Each target installs the packages it
# needs (.ci/install-deps names the sets), configures and builds before it
# runs.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Warnings are errors for developers and CI; a plain cmake build keeps the
# project's default (off), so a newer compiler cannot break it.
WERROR := -DMORV_WERROR=ON
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)
CONFIGURE = cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR) $(CMAKE_FLAGS)

.PHONY: all deps configure build demo test test-asan test-tsan test-all bench fuzz install package clean windows test-windows demo-windows package-windows windows-screenshot

all: build

deps:
	@.ci/install-deps test

# A tree that `make demo` configured without the test suites gets them.
configure: deps
	@grep -qs '^MORV_BUILD_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt || $(CONFIGURE) -DMORV_BUILD_TESTS=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only what the demo runs: the program, the plug-in and the platform
# library, in a tree configured without the test suites unless it has them.
demo:
	@.ci/install-deps demo
	@test -f $(BUILD)/build.ninja || $(CONFIGURE) -DMORV_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target morv-host morvtransport morvplatform
	$(BUILD)/host/morv-host demo

test: build
	ctest --test-dir $(BUILD) $(CTEST_FLAGS)

test-asan:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DMORV_SANITIZE=address"

test-tsan:
	$(MAKE) test BUILD=build-tsan CMAKE_FLAGS="-DMORV_SANITIZE=thread"

test-all: test test-asan test-tsan

bench:
	@.ci/install-deps bench
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(WERROR) -DMORV_BUILD_TESTS=OFF -DMORV_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	build-bench/bench/morv-bench
	build-bench/bench/morv-bench-e2e
	bench/provider/provider_rtt.py build-bench

install: build
	cmake --install $(BUILD)

# Debian packages from a Release tree with the project's defaults, built
# as Debian builds packages: with the hardening flags of dpkg-buildflags
# (fortified functions, stack protector, read-only relocations bound at
# once). Only what the packages hold is built.
PACKAGE_BUILD ?= build-package
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package:
	@.ci/install-deps package
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_C_FLAGS="$$($(DEB_FLAGS) CFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CXXFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target packaged
	rm -f $(PACKAGE_BUILD)/*.deb $(PACKAGE_BUILD)/*.ddeb
	cd $(PACKAGE_BUILD) && cpack

# Windows: MORVTRANSPORT.DLL and morvplatform.dll with mingw-w64, 64-bit
# with the test suites and 32-bit without (this machine cannot run 32-bit
# code); the suites run under Wine.
WINDOWS_BUILD ?= build-windows
WINDOWS_I686_BUILD ?= build-windows-i686

$(WINDOWS_BUILD)/build.ninja:
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(WERROR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake

$(WINDOWS_I686_BUILD)/build.ninja:
	cmake -S . -B $(WINDOWS_I686_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(WERROR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-w64-mingw32.cmake -DMORV_BUILD_TESTS=OFF

windows:
	@.ci/install-deps windows
	$(MAKE) $(WINDOWS_BUILD)/build.ninja $(WINDOWS_I686_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cmake --build $(WINDOWS_I686_BUILD) -j $(JOBS)
	tests/scripts/check_dll.sh i686-w64-mingw32-objdump $(WINDOWS_I686_BUILD)/bin/morvtransport/MORVTRANSPORT.DLL --plugin
	tests/scripts/check_dll.sh i686-w64-mingw32-objdump $(WINDOWS_I686_BUILD)/bin/morvplatform.dll

test-windows: windows
	tests/scripts/windows_session.sh $(WINDOWS_BUILD) ctest --test-dir $(WINDOWS_BUILD) $(CTEST_FLAGS)

# The demo of morv-host.exe under Wine: only what it runs is built.
demo-windows:
	@.ci/install-deps windows
	$(MAKE) $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target morv-host morvtransport morvplatform
	tests/scripts/windows_session.sh $(WINDOWS_BUILD) \
	  tests/scripts/wine_run.sh $(abspath $(WINDOWS_BUILD))/wine-prefix $(WINDOWS_BUILD)/bin/morv-host.exe demo

# The zips a player downloads, morvtransport-VERSION-win64.zip and
# -win32.zip, each made by CPack in its Windows build tree (Release) from
# only what it holds.
WINDOWS_ZIP = cmake --build $(1) -j $(JOBS) --target packaged && rm -f $(1)/*.zip && cd $(1) && cpack
package-windows:
	@.ci/install-deps windows
	$(MAKE) $(WINDOWS_BUILD)/build.ninja $(WINDOWS_I686_BUILD)/build.ninja
	$(call WINDOWS_ZIP,$(WINDOWS_BUILD))
	$(call WINDOWS_ZIP,$(WINDOWS_I686_BUILD))

# The picture of morv-host.exe's settings window that the README shows,
# taken under Wine; made by hand, not in CI.
windows-screenshot:
	@.ci/install-deps windows screenshot
	$(MAKE) $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target morv-host morvtransport morvplatform
	tests/scripts/windows_session.sh $(WINDOWS_BUILD) \
	  tests/scripts/windows_screenshot.sh $(WINDOWS_BUILD) docs/windows-settings.png

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz build-package $(WINDOWS_BUILD) $(WINDOWS_I686_BUILD)

fuzz:
	@.ci/install-deps fuzz
	fuzz/run $(or $(SECONDS),20)
