# Kelmora: `make run` installs what is missing, builds and starts the clock; `make test` installs,
# builds and runs every test; `make unit` the unit tests alone; `make windows` cross-builds the
# Windows program and its package, `make test-windows` runs its tests under Wine. Each target installs the package
# groups its own steps need (scripts/install-deps.sh): building and running need the run group,
# the others add theirs.
BUILD ?= build
# The tests build in a folder of their own, with warnings as errors: the CMake cache keeps its
# options, so in BUILD a later `make run` or `make package` would build with them too.
TEST_BUILD ?= build-test
# The Windows builds, cross-built with mingw-w64: the program and its package, and the tests.
WINDOWS_BUILD ?= build-windows
WINDOWS_TEST_BUILD ?= build-windows-test
PREFIX ?= $(HOME)/.local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps test-deps unit-deps packages configure build run test unit bench perf-doc clean \
	package install-local uninstall-local fuzz sanitize resource screenshots tidy windows test-windows

all: build

# The package groups the target asked for; the target-specific values below pass on to packages,
# the step that installs them.
DEPS = run
# What `make run` needs on this machine: without a display, the virtual one's packages too, in
# the same step as the others.
RUN_DEPS = run $(if $(DISPLAY)$(WAYLAND_DISPLAY),,display)
# Without GoogleTest the tests are left out, unless a target asks for them.
TESTS_FLAG =

# Each step says in one line what it does, with its progress where it takes long, and the full
# output of apt, the compiler and the tests goes to the target's log (scripts/step.sh), which
# starts afresh with each run and is named by the step that first writes it.
LOG = $(BUILD)/make.log
export KELMORA_LOG = $(abspath $(LOG))

# `make deps` installs what `make run` needs (as root where sudo is not to be had, before `make
# run` as yourself); `make test-deps` and `make unit-deps` what the tests need.
deps: DEPS = $(RUN_DEPS)
test-deps: DEPS = run test
unit-deps: DEPS = run unit
deps test-deps unit-deps: LOG = $(BUILD)/deps.log
deps test-deps unit-deps: packages
	@echo "Every package of the groups \"$(strip $(DEPS))\" is installed (scripts/install-deps.sh)"

packages:
	@rm -f "$$KELMORA_LOG"
	@bash scripts/install-deps.sh $(DEPS)

configure: packages
	@bash scripts/step.sh '' cmake -S . -B $(BUILD) $(TESTS_FLAG) $(CMAKE_FLAGS)

build: configure
	@bash scripts/step.sh --progress build \
	  "Building Kelmora in $(BUILD)/ (the first build takes a few minutes)" \
	  cmake --build $(BUILD) -j $(JOBS)

run: DEPS = $(RUN_DEPS)
run: LOG = $(BUILD)/run.log
run: build
	@bash scripts/run.sh $(BUILD)/bin/kelmora

# The tests build with warnings as errors, in TEST_BUILD; an ordinary build only reports them.
# `make unit` installs, builds and runs the unit tests alone, without the desktops the
# integration tests drive.
test unit: BUILD = $(TEST_BUILD)
test unit: LOG = $(TEST_BUILD)/test.log
test unit: TESTS_FLAG = -DKELMORA_TESTS=ON -DKELMORA_WERROR=ON
test: DEPS = run test
unit: DEPS = run unit
test: build
	@bash scripts/test.sh $(BUILD) $(JOBS)
unit: build
	@bash scripts/test.sh $(BUILD) $(JOBS) -L unit

# The Windows program, cross-built with mingw-w64 in WINDOWS_BUILD (Release), then its zip and
# installer (the target kelmora_package) where the build defines them. What the build runs (the
# sound synthesiser) and the tests run under Wine, in a prefix of the build folder's own; Wine
# offers no dialogs to install its .NET and HTML engines, which Kelmora does not use.
windows test-windows: DEPS = windows
windows test-windows: CMAKE_FLAGS += -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
windows test-windows: export WINEPREFIX = $(abspath $(BUILD))/wine-prefix
windows test-windows: export WINEDEBUG = -all
windows test-windows: export WINEDLLOVERRIDES = mscoree,mshtml=
windows: BUILD = $(WINDOWS_BUILD)
windows: CMAKE_FLAGS += -DCMAKE_BUILD_TYPE=Release
windows: build
	@bash scripts/step.sh --progress build \
	  "Making the Windows zip and installer in $(BUILD)/dist/" \
	  cmake --build $(BUILD) --target kelmora_package -j $(JOBS)

# The Windows tests, built with warnings as errors in WINDOWS_TEST_BUILD and run under Wine
# (scripts/test-windows.sh).
test-windows: BUILD = $(WINDOWS_TEST_BUILD)
test-windows: LOG = $(WINDOWS_TEST_BUILD)/test.log
test-windows: TESTS_FLAG = -DKELMORA_TESTS=ON -DKELMORA_WERROR=ON
test-windows: build
	@bash scripts/test-windows.sh $(BUILD) $(JOBS)

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

# The Debian package, built by dpkg-buildpackage from debian/ in a copy of the tree: writes
# $(BUILD)/kelmora_<version>_<arch>.deb (install it with `apt install ./$(BUILD)/kelmora_*.deb`),
# its -dbgsym package and the .changes and .buildinfo files beside them, and checks them with
# lintian.
package: DEPS = run package
package: LOG = $(BUILD)/package.log
package: packages
	@bash scripts/package.sh $(BUILD) $(JOBS)

# Installs for this user only, into $(PREFIX) (~/.local by default): no root needed. The list of
# what it installed stays in $(PREFIX)/share/kelmora, so uninstall-local removes just that.
install-local: build
	@bash scripts/install-local.sh install $(BUILD) $(PREFIX)

uninstall-local:
	@bash scripts/install-local.sh uninstall $(BUILD) $(PREFIX)

# Fuzzes the Qt-free libraries with libFuzzer (clang), FUZZ_SECONDS per target, in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz: DEPS = run fuzz
fuzz: packages
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan and runs the unit tests.
sanitize: DEPS = run unit
sanitize: packages
	@bash scripts/sanitize.sh

# Runs clang-tidy with the checks of .clang-tidy over every source, in build-tidy configured with
# clang; any finding fails it.
tidy: DEPS = run unit tidy
tidy: packages
	@bash scripts/tidy.sh $(JOBS)

# Rewrites the README's screenshots in docs/images: the program on a virtual desktop with a tray,
# its clock faked to 2003-11-09 14:07:00.
screenshots: DEPS = run screenshots
screenshots: build
	@bash scripts/screenshots.sh $(BUILD)/bin/kelmora

clean:
	@rm -rf $(BUILD) $(TEST_BUILD) $(WINDOWS_BUILD) $(WINDOWS_TEST_BUILD)
