# Kelmora: `make run` installs what is missing, builds and starts the clock; `make test` installs,
# builds and runs every test. Each target installs only the package groups it needs
# (scripts/install-deps.sh): building and running need the run group, the others add theirs.
BUILD ?= build
PREFIX ?= $(HOME)/.local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench perf-doc clean package install-local fuzz sanitize resource screenshots

all: build

# The package groups the target asked for; the target-specific values below pass on to deps.
DEPS = run
# Without GoogleTest the tests are left out, unless a target asks for them.
TESTS_FLAG =

deps:
	@bash scripts/install-deps.sh $(DEPS)

configure: deps
	@cmake -S . -B $(BUILD) $(TESTS_FLAG) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/bin/kelmora

# The tests build with warnings as errors; an ordinary build only reports them.
test: DEPS = run test
test: TESTS_FLAG = -DKELMORA_TESTS=ON -DKELMORA_WERROR=ON
test: build
	@cd $(BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)

bench perf-doc: DEPS = run bench
bench: build
	@bash scripts/bench.sh $(BUILD)

perf-doc: bench

# Measures the whole program on a virtual desktop (memory, CPU, wake-ups, tray updates, time to
# the tray icon, alarm latency, huge alarm files) and rewrites those figures in
# docs/PERFORMANCE.md; RESOURCE_SECONDS is each measured window.
RESOURCE_SECONDS ?= 120
resource: DEPS = run test
resource: build
	@bash bench/resource.sh $(RESOURCE_SECONDS) $(BUILD)/bin/kelmora
	@bash bench/alarm_latency.sh $(BUILD)/bin/kelmora
	@bash bench/huge_alarm_file.sh $(BUILD)/bin/kelmora

# The Debian package $(BUILD)/kelmora_<version>_<arch>.deb (install it with
# `apt install ./$(BUILD)/kelmora_*.deb`).
package: DEPS = run package
package: build
	@cd $(BUILD) && cpack -G DEB

# Installs for this user only, into $(PREFIX) (~/.local by default): no root needed.
install-local: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# Fuzzes the Qt-free libraries with libFuzzer (clang), FUZZ_SECONDS per target, in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz: DEPS = run fuzz
fuzz: deps
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan and runs the unit tests.
sanitize: DEPS = run test
sanitize: deps
	@bash scripts/sanitize.sh

# Rewrites the README's screenshots in docs/images: the program on a virtual desktop with a tray,
# its clock faked to 2003-11-09 14:07:00.
screenshots: DEPS = run screenshots
screenshots: build
	@bash scripts/screenshots.sh $(BUILD)/bin/kelmora

clean:
	@rm -rf $(BUILD)
