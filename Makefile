# Entry points for people and CI. Each target installs what is missing,
# configures and builds before it runs.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Warnings are errors for developers and CI; a plain cmake build keeps the
# project's default (off), so a newer compiler cannot break it.
WERROR := -DMORV_WERROR=ON
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)

.PHONY: all deps configure build demo test test-asan test-tsan test-all bench fuzz install package clean

all: build

deps:
	@.ci/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only what the demo runs: the program, the plug-in and the platform library.
demo: configure
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
	@.ci/install-deps --bench
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(WERROR) -DMORV_BUILD_TESTS=OFF -DMORV_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	build-bench/bench/morv-bench
	build-bench/bench/morv-bench-e2e

install: build
	cmake --install $(BUILD)

# A Debian package from a Release tree with the project's defaults (as a
# packager builds it): only what the package holds is built.
PACKAGE_BUILD ?= build-package
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target packaged
	cd $(PACKAGE_BUILD) && cpack

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz build-package

fuzz: deps
	fuzz/run $(or $(SECONDS),20)
