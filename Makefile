# The two set-up commands: `make run` and `make test`. Both install the Debian packages that
# are missing first, then configure build/ and build.

BUILD_DIR   ?= build
BUILD_TYPE  ?= RelWithDebInfo
JOBS        ?= $(shell nproc)
PACKAGES    := cmake make g++ qt6-base-dev libbenchmark-dev fonts-dejavu-core \
               desktop-file-utils appstream dpkg-dev file
SUDO        := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run package screenshot bench clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	./$(BUILD_DIR)/brindlewick

# The Debian package: $(BUILD_DIR)/brindlewick_<version>_<arch>.deb.
package: build
	cmake --build $(BUILD_DIR) --target package

# Benchmarks, built with optimisation in their own folder; each prints its ratio to a baseline.
BENCH_DIR ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DBRINDLEWICK_BENCHMARKS=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	for b in $(BENCH_DIR)/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

# The README's picture of the window, rendered offscreen from the real window.
screenshot: configure
	cmake --build $(BUILD_DIR) --target brindlewick_screenshot -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/brindlewick_screenshot docs/screenshot.png

clean:
	rm -rf $(BUILD_DIR)
