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

# The Debian packages pellam-cli_<version>_amd64.deb (the headless tool, no
# Qt) and pellam_<version>_amd64.deb (the editor) in build/default, checked
# by lintian; scripts/check-package.sh runs them.
package: build
	@scripts/install-deps.sh --package
	cmake --preset default
	cmake --build --preset default
	rm -f build/default/pellam_*_amd64.deb build/default/pellam-cli_*_amd64.deb
	cd build/default && cpack -G DEB
	lintian --fail-on error,warning build/default/pellam-cli_*_amd64.deb build/default/pellam_*_amd64.deb

format:
	find src tests fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
