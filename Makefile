# Flipreel: `make run` builds and starts the program, `make test` builds and runs every test.
# `make test SANITIZE=address,undefined` (or thread) builds with those sanitizers in a folder of its own.
SANITIZE ?=
comma := ,
ifeq ($(SANITIZE),)
BUILD ?= build
else
BUILD ?= build-$(subst $(comma),-,$(SANITIZE))
endif
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
# Every sanitizer report fails its test; the suppressions name faults in libraries we do not build.
# die_after_fork=0: the window asks xdg-mime through a child process, which only execs.
# history_size=7: the thread sanitizer keeps enough history to name both sides of a report.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp TSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/tsan.supp:halt_on_error=1:die_after_fork=0:history_size=7
# The thread sanitizer checks the areas that run threads: imaging and creation.
ifeq ($(SANITIZE),thread)
TEST_TARGETS := --target test_imaging test_production test_production_ui
TEST_LABELS := -L 'imaging|production'
endif

# The package groups of scripts/packages.txt each goal needs.
ifneq ($(filter test,$(MAKECMDGOALS)),)
DEPS ?= build run test
else ifneq ($(filter package,$(MAKECMDGOALS)),)
DEPS ?= build run package help
else
DEPS ?= build run
endif

.PHONY: all deps configure build run test package screenshot clean

all: build

deps:
	@sh scripts/deps $(DEPS)

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLIPREEL_SANITIZE=$(SANITIZE) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/flipreel

test: configure
	@# A folder configured by `make run` before the test packages came has no tests yet.
	@test -d $(BUILD)/tests || cmake $(BUILD)
	cmake --build $(BUILD) -j $(JOBS) $(TEST_TARGETS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure --no-tests=error -j $(JOBS) $(TEST_LABELS)

# The Debian package of the build, checked by lintian (fails on errors and warnings).
# Configured again first: the help compiler may have come with the package's groups only now.
package: configure
	cmake $(BUILD) > /dev/null
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && rm -f flipreel_*.deb && cpack -G DEB
	lintian --fail-on error,warning $(BUILD)/flipreel_*.deb

screenshot: build
	sh scripts/screenshot $(BUILD)/flipreel docs/screenshot.png

clean:
	rm -rf $(BUILD)
