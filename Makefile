# Entry points for people and CI. Each target installs what is missing,
# configures and builds before it runs.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)

.PHONY: all deps build demo test test-asan test-tsan test-all bench fuzz install clean

all: build

deps:
	@.ci/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

demo: build
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
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORV_BUILD_TESTS=OFF -DMORV_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	build-bench/bench/morv-bench
	build-bench/bench/morv-bench-e2e

install: build
	cmake --install $(BUILD)

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz

fuzz: deps
	fuzz/run $(or $(SECONDS),20)
