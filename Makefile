# Front door: `make test` builds and runs the whole suite twice (optimised, then
# with AddressSanitizer + UndefinedBehaviorSanitizer and the handle scramble on);
# `make demo` runs the main job. Both install missing packages first.

JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Worktrees of one checkout share compiler-cache entries.
export CCACHE_BASEDIR ?= $(CURDIR)

.PHONY: all bootstrap release asan test test-release test-asan demo bench install clean

all: release

bootstrap:
	@scripts/bootstrap

build/release/build.ninja: | bootstrap
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build/asan/build.ninja: | bootstrap
	cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELKUI_SANITIZE=ON $(CMAKE_FLAGS)

release: bootstrap build/release/build.ninja
	cmake --build build/release -j $(JOBS)

asan: bootstrap build/asan/build.ninja
	cmake --build build/asan -j $(JOBS)

test-release: release
	cd build/release && ctest --output-on-failure -j $(JOBS)

test-asan: asan
	cd build/asan && TOOLBOX_SCRAMBLE=1 \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# The test-to-code ratio, when the shared tools sit beside the repository
# (beside the main checkout when this is a worktree); quietly skipped otherwise.
test: test-release test-asan
	@echo "make test: both builds passed"
	@common=$$(cd "$$(git rev-parse --git-common-dir 2>/dev/null || echo .)" && pwd); \
	for d in "$(CURDIR)/../shared" "$$common/../../shared"; do \
	  if [ -x "$$d/tools/test-ratio" ]; then "$$d/tools/test-ratio" | tail -1; break; fi; \
	done; true

# The demo builds only the programs it runs, not the test suites.
DEMO_TARGETS = velkui-workbench monochrome_pane monx

demo: bootstrap build/release/build.ninja
	cmake --build build/release -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/demo

bench: release
	@for b in build/release/bench/*; do [ -x "$$b" ] && "$$b"; done; true

install: release
	cmake --install build/release

clean:
	rm -rf build
