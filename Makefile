# Kelmora: `make run` installs what is missing, builds and starts the clock; `make test` installs,
# builds and runs every test. Each target installs only the package groups it needs
# (scripts/install-deps.sh): building and running need the run group, the others add theirs.
BUILD ?= build
# The tests build in a folder of their own, with warnings as errors: the CMake cache keeps its
# options, so in BUILD a later `make run` or `make package` would build with them too.
TEST_BUILD ?= build-test
PREFIX ?= $(HOME)/.local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench perf-doc clean package install-local uninstall-local \
	fuzz sanitize resource screenshots tidy

all: build

# The package groups the target asked for; the target-specific values below pass on to deps.
DEPS = run
# Without GoogleTest the tests are left out, unless a target asks for them.
TESTS_FLAG =

# With KELMORA_LOG set (make run), each step says in one line what it does and the output of apt
# and the compiler goes to that log (scripts/step.sh); the log starts afresh with each run.
deps:
	@if [ -n "$$KELMORA_LOG" ]; then mkdir -p $(BUILD) && : >"$$KELMORA_LOG" && \
	  echo "The full output of apt and the compiler goes to $(RUN_LOG)"; fi
	@bash scripts/install-deps.sh $(DEPS)

configure: deps
	@bash scripts/step.sh '' cmake -S . -B $(BUILD) $(TESTS_FLAG) $(CMAKE_FLAGS) \
	  $(if $(KELMORA_LOG),,>/dev/null)

build: configure
	@bash scripts/step.sh "Building Kelmora in $(BUILD)/ (the first build takes a few minutes)" \
	  cmake --build $(BUILD) -j $(JOBS)

# Without a display, the virtual one's packages are installed in the same step as the others.
RUN_LOG = $(BUILD)/run.log
run: DEPS = run $(if $(DISPLAY)$(WAYLAND_DISPLAY),,display)
run: export KELMORA_LOG = $(abspath $(RUN_LOG))
run: build
	@bash scripts/run.sh $(BUILD)/bin/kelmora

# The tests build with warnings as errors, in TEST_BUILD; an ordinary build only reports them.
test: BUILD = $(TEST_BUILD)
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

# The Debian package, built by dpkg-buildpackage from debian/ in a copy of the tree: writes
# $(BUILD)/kelmora_<version>_<arch>.deb (install it with `apt install ./$(BUILD)/kelmora_*.deb`),
# its -dbgsym package and the .changes and .buildinfo files beside them, and checks them with
# lintian.
package: DEPS = run package
package: deps
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
fuzz: deps
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan and runs the unit tests.
sanitize: DEPS = run test
sanitize: deps
	@bash scripts/sanitize.sh

# Runs clang-tidy with the checks of .clang-tidy over every source, in build-tidy configured with
# clang; any finding fails it.
tidy: DEPS = run test tidy
tidy: deps
	@bash scripts/tidy.sh $(JOBS)

# Rewrites the README's screenshots in docs/images: the program on a virtual desktop with a tray,
# its clock faked to 2003-11-09 14:07:00.
screenshots: DEPS = run screenshots
screenshots: build
	@bash scripts/screenshots.sh $(BUILD)/bin/kelmora

clean:
	@rm -rf $(BUILD) $(TEST_BUILD)
