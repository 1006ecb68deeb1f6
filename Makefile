# The front door: `make demo` and `make test`. Both first install what a fresh
# machine lacks (Debian packages, only when missing).

PACKAGES := cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev attr pkgconf binutils
FUZZ_PACKAGES := clang libclang-rt-14-dev
JOBS ?= 2
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= 0

.PHONY: all setup setup-windows setup-package build release test test-default test-asan test-windows package demo bench fuzz fuzz-smoke format format-check clean

all: build

setup:
	@missing=""; for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "setup: installing$$missing"; \
	  SUDO=""; [ "$$(id -u)" -ne 0 ] && SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

# The Windows build needs more, only for its own target: the cross compiler,
# wine to run the programs, and GoogleTest's sources to build for the target.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 googletest

setup-windows:
	$(MAKE) setup EXTRA_PACKAGES="$(WINDOWS_PACKAGES)"

# Packing wants lintian to judge the .deb, and the Windows tools for the zip.
PACKAGE_PACKAGES := lintian $(WINDOWS_PACKAGES)

setup-package:
	$(MAKE) setup EXTRA_PACKAGES="$(PACKAGE_PACKAGES)"

build/%/build.ninja: CMakeLists.txt CMakePresets.json
	cmake --preset $* >/dev/null

build: setup build/default/build.ninja
	cmake --build --preset default -j $(JOBS)

test-default: setup build/default/build.ninja
	cmake --build --preset default -j $(JOBS)
	ctest --preset default

test-asan: setup build/asan/build.ninja
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

test: test-default test-asan

test-windows: setup-windows build/windows/build.ninja
	cmake --build --preset windows -j $(JOBS)
	ctest --preset windows

# The .deb from the release build and the zip from the Windows build, each
# built from only what is installed; then both checked as a user gets them.
package: setup-package build/release/build.ninja build/windows/build.ninja
	cmake --build --preset release -j $(JOBS) --target shipped
	cd build/release && cpack
	cmake --build --preset windows -j $(JOBS) --target shipped
	cd build/windows && cpack
	./tools/check-packages.sh build/release build/windows samples/report.txt

demo: build
	./tools/demo.sh build/default/bin

# The optimised build, benchmarks included; CI builds it so that a warning only
# the optimiser sees cannot break `make bench` unseen.
release: setup build/release/build.ninja
	cmake --build --preset release -j $(JOBS)

bench: release
	./tools/run-benchmarks.sh build/release/bin

# Every fuzz target for FUZZ_SECONDS each, or until FUZZ_RUNS executions when
# that is set (clang's libFuzzer, set up on demand). 0 lifts either limit.
fuzz:
	$(MAKE) setup EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target fuzz_targets
	./fuzz/run.sh build/fuzz/bin $(FUZZ_SECONDS) $(FUZZ_RUNS)

# CI's short run: a fixed number of executions per target, no clock involved.
fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=0 FUZZ_RUNS=200000

# The C++ sources git tracks, in the style of .clang-format: `make format`
# rewrites them, `make format-check` (run by CI) fails naming any that differ.
FORMATTED = git ls-files 'include/*' 'src/*' 'tools/*' 'tests/*' 'bench/*' 'fuzz/*' | grep -E '\.(h|cpp|inc)$$'

format:
	$(FORMATTED) | xargs clang-format -i

format-check:
	$(MAKE) setup EXTRA_PACKAGES=clang-format
	@bad=$$($(FORMATTED) | while read -r f; do clang-format --dry-run --Werror "$$f" >/dev/null 2>&1 || echo "$$f"; done); \
	if [ -n "$$bad" ]; then echo "not formatted (make format):"; echo "$$bad"; exit 1; fi

clean:
	rm -rf build
