# Kelmora: `make run` installs what is missing, builds and starts the clock; `make test` installs,
# builds and runs every test.
BUILD ?= build
PREFIX ?= $(HOME)/.local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench perf-doc clean package install-local fuzz sanitize resource screenshots

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/bin/kelmora

# The tests build with warnings as errors; an ordinary build only reports them.
test: CMAKE_FLAGS += -DKELMORA_WERROR=ON
test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/bench.sh $(BUILD)

perf-doc: bench

# Measures the whole program on a virtual desktop (memory, CPU, wake-ups, tray updates, time to
# the tray icon, alarm latency) and rewrites those figures in docs/PERFORMANCE.md;
# RESOURCE_SECONDS is each measured window.
RESOURCE_SECONDS ?= 120
resource: build
	@bash bench/resource.sh $(RESOURCE_SECONDS) $(BUILD)/bin/kelmora
	@bash bench/alarm_latency.sh $(BUILD)/bin/kelmora

# The Debian package $(BUILD)/kelmora_<version>_<arch>.deb (install it with
# `apt install ./$(BUILD)/kelmora_*.deb`).
package: build
	@cd $(BUILD) && cpack -G DEB

# Installs for this user only, into $(PREFIX) (~/.local by default): no root needed.
install-local: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# Fuzzes the Qt-free libraries with libFuzzer (clang), FUZZ_SECONDS per target, in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz: deps
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan and runs the unit tests.
sanitize: deps
	@bash scripts/sanitize.sh

# Rewrites the README's screenshots in docs/images: the program on a virtual desktop with a tray,
# its clock faked to 2003-11-09 14:07:00.
screenshots: build
	@bash scripts/screenshots.sh $(BUILD)/bin/kelmora

clean:
	@rm -rf $(BUILD)
