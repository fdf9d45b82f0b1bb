# The two set-up commands of the README, plus a few helpers.
#   make run   installs what is missing, builds and starts the editor
#   make test  installs what is missing, builds and runs every test
.PHONY: all deps configure build run test asan fuzz package format clean

WERROR ?= OFF
PELLAM := build/default/src/gui/pellam

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake --preset default -DPELLAM_WERROR=$(WERROR)

build: configure
	cmake --build --preset default

run: build
	@if [ -z "$${DISPLAY:-}" ] && [ -z "$${WAYLAND_DISPLAY:-}" ]; then \
	  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the editor cannot open its window."; \
	  echo "Start it under a virtual X display instead:"; \
	  echo "  xvfb-run -a -s '-screen 0 1024x768x24' $(PELLAM)"; \
	  exit 1; \
	fi
	$(PELLAM)

test: build
	ctest --preset default

# Core and CLI tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake --preset asan -DPELLAM_WERROR=$(WERROR)
	cmake --build --preset asan
	ctest --preset asan

# libFuzzer targets (clang), each run for FUZZ_SECONDS on the corpus.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps.sh --fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzzers.sh $(FUZZ_SECONDS)

# The Debian package pellam_<version>_amd64.deb in build/default, checked by lintian.
package: build
	@scripts/install-deps.sh --package
	cmake --preset default
	cmake --build --preset default
	cd build/default && cpack -G DEB
	lintian --fail-on error build/default/pellam_*_amd64.deb

format:
	find src tests fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
