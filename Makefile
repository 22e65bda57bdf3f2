# The two set-up commands: `make run` and `make test`. Each installs the Debian packages it
# needs that are missing first, then configures build/ and builds.

BUILD_DIR   ?= build
BUILD_TYPE  ?= RelWithDebInfo
JOBS        ?= $(shell nproc)
SUDO        := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# The make that CMake's build runs is a sub-make of this one: keep it from announcing every
# directory it enters.
MAKEFLAGS   += --no-print-directory

# What each command needs. Building and running: the compiler, Qt with its SVG plugins, which draw
# the window's icon, the font the window and its tests are laid out in, dpkg-dev, whose
# dpkg-buildflags gives the hardening flags (cmake/Hardening.cmake), help2man, which writes the
# manual page from --help as part of the build, and nlohmann-json3-dev, the parser of values files
# (see docs/DEVELOPING.md); libxkbcommon-dev only spares configure Qt's "Could NOT find XKB"
# warning (the program does not use it). The Debian package: file, for its library dependencies.
# The tests add the package's tools, the validators of the desktop entry and the metainfo, lintian,
# clang with its sanitizer and libFuzzer runtimes for the fuzz targets (see "Hardening" below),
# and acl and attr, which set the ACLs and attributes --output must keep. The benchmarks add
# Google Benchmark.
BUILD_PACKAGES   := cmake make g++ qt6-base-dev libqt6svg6 libxkbcommon-dev fonts-dejavu-core \
                    dpkg-dev help2man nlohmann-json3-dev
PACKAGE_PACKAGES := file
TEST_PACKAGES    := $(PACKAGE_PACKAGES) desktop-file-utils appstream lintian \
                    clang libclang-rt-14-dev acl attr
BENCH_PACKAGES   := libbenchmark-dev

# deps installs the set of the command that asked for it: a target-specific value reaches the
# prerequisites too, so `make test` installs the test set before it configures, in one step.
NEEDED_PACKAGES := $(BUILD_PACKAGES)
package: NEEDED_PACKAGES += $(PACKAGE_PACKAGES)
test test-sanitized fuzz-build: NEEDED_PACKAGES += $(TEST_PACKAGES)
bench: NEEDED_PACKAGES += $(BENCH_PACKAGES)

.PHONY: all deps configure build test run package screenshot bench clean

all: build

# Installs the needed packages that are missing, with `apt-get update` first: a fresh machine's
# package lists may be empty.
deps:
	@missing=$$(for p in $(NEEDED_PACKAGES); do \
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

# Ends on one line that counts what ran; any failure stops the run before it.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-sanitized
	$(MAKE) fuzz-smoke
	@echo "all passed: $$(cd $(BUILD_DIR) && ctest -N | sed -n 's/^Total Tests: //p') suites," \
	  "$$(cd $(ASAN_DIR) && ctest -N $(SANITIZED_TESTS) | sed -n 's/^Total Tests: //p') sanitized," \
	  "$(words $(FUZZERS)) fuzz smoke runs"

# Only the program and the template beside it: the tests, tools and manual page wait for the
# commands that need them.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target brindlewick
	./$(BUILD_DIR)/brindlewick

# The Debian package: $(BUILD_DIR)/brindlewick_<version>_<arch>.deb.
package: build
	cmake --build $(BUILD_DIR) --target package

# Benchmarks, built with optimisation in their own folder; each prints its ratio to a baseline.
BENCH_DIR ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DBRINDLEWICK_BENCHMARKS=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	for b in $(BENCH_DIR)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

# The README's picture of the window, rendered offscreen from the real window with the
# repository's default template, never a Template.txt edited in build/ or the data folders.
screenshot: configure
	cmake --build $(BUILD_DIR) --target brindlewick_screenshot -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/brindlewick_screenshot docs/screenshot.png Template.txt

# Hardening. test-sanitized builds everything with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer in $(ASAN_DIR) and runs the suite there; any report fails the run.
# The packaging checks, which run outside tools on files, are left to the normal run.
# fuzz builds the libFuzzer targets of fuzz/ with clang in $(FUZZ_DIR) and runs each for
# FUZZ_SECONDS (`make -j2 fuzz` runs two at a time). What they add to the seed corpora of
# fuzz/corpus/ stays in $(FUZZ_DIR)/corpus/, and an input that breaks a property is saved in
# $(FUZZ_DIR)/findings/. fuzz-smoke runs each on a copy of its seeds for FUZZ_SMOKE_RUNS inputs
# (FUZZ_SMOKE_SECONDS at most), with a fixed seed, standard input from /dev/null (the
# command-line target looks at it) and no tracing of comparisons (which picks up heap addresses),
# so that it tries the same inputs, or nearly, on every machine and a test run does not fail by
# chance: finding new inputs is what `make fuzz` is for.
# `make test` ends with test-sanitized and fuzz-smoke.
ASAN_DIR           ?= build-asan
FUZZ_DIR           ?= build-fuzz
FUZZ_SECONDS       ?= 600
FUZZ_SMOKE_SECONDS ?= 20
FUZZ_SMOKE_RUNS    ?= 20000
FUZZERS            := url_encoder template_engine text_conversion command_line
SANITIZER_ENV      := ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
SANITIZED_TESTS    := --exclude-regex '^packaging_'

.PHONY: test-sanitized fuzz-build fuzz fuzz-smoke $(addprefix fuzz-,$(FUZZERS))

test-sanitized: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DBRINDLEWICK_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) \
	  ctest --output-on-failure -j $(JOBS) $(SANITIZED_TESTS)

fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DBRINDLEWICK_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZERS))
	mkdir -p $(FUZZ_DIR)/findings

fuzz: $(addprefix fuzz-,$(FUZZERS))

$(addprefix fuzz-,$(FUZZERS)): fuzz-%: fuzz-build
	@mkdir -p $(FUZZ_DIR)/corpus/$*
	@echo "fuzz_$*: $(FUZZ_SECONDS) s, log in $(FUZZ_DIR)/fuzz_$*.log"
	@$(FUZZ_DIR)/fuzz/fuzz_$* -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_DIR)/findings/$*- $(FUZZ_DIR)/corpus/$* fuzz/corpus/$* \
	  > $(FUZZ_DIR)/fuzz_$*.log 2>&1 || { tail -n 40 $(FUZZ_DIR)/fuzz_$*.log; exit 1; }
	@grep -E 'DONE|^stat::average_exec_per_sec' $(FUZZ_DIR)/fuzz_$*.log | sed 's/^/fuzz_$*: /'

fuzz-smoke: fuzz-build
	@for f in $(FUZZERS); do \
	  seeds=$$(mktemp -d) && cp fuzz/corpus/$$f/* $$seeds/ && \
	  $(FUZZ_DIR)/fuzz/fuzz_$$f -seed=1 -use_cmp=0 -runs=$(FUZZ_SMOKE_RUNS) \
	    -max_total_time=$(FUZZ_SMOKE_SECONDS) \
	    -artifact_prefix=$(FUZZ_DIR)/findings/$$f- $$seeds </dev/null >$(FUZZ_DIR)/smoke_$$f.log 2>&1; \
	  status=$$?; rm -rf $$seeds; \
	  if [ $$status != 0 ]; then tail -n 40 $(FUZZ_DIR)/smoke_$$f.log; exit 1; fi; \
	  grep DONE $(FUZZ_DIR)/smoke_$$f.log | sed "s/^/fuzz_$$f smoke run: /"; \
	done

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(ASAN_DIR) $(FUZZ_DIR)
