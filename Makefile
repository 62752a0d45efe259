# Kelmora: `make run` installs what is missing, builds and starts the clock; `make test` installs,
# builds and runs every test.
BUILD ?= build
PREFIX ?= $(HOME)/.local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench perf-doc clean package install-local fuzz sanitize

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/bin/kelmora

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/bench.sh $(BUILD)

perf-doc: bench

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

clean:
	@rm -rf $(BUILD)
