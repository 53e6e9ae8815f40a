# The two commands of the README, plus install, the sanitizer run and the benchmarks. Every target
# installs what is missing and configures its build folder first, so each works on a fresh Debian 12
# machine.
BUILD       ?= build
ASAN_BUILD  ?= build-asan
TSAN_BUILD  ?= build-tsan
BENCH_BUILD ?= build-bench
FUZZ_BUILD  ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS        ?= $(shell nproc)
ARGS        ?=
PREFIX      ?= /usr/local

CONFIGURE = cmake -S . -G Ninja -Wno-dev

.PHONY: all deps build install uninstall deb run test test-asan test-tsan tidy bench fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	@test -f $(BUILD)/build.ninja || $(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(BUILD) -j $(JOBS)

# The programs, the launcher, the icons, the metainfo and the manual pages under PREFIX, below
# DESTDIR when it is given; uninstall removes what the last install wrote.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	@cmake --build $(BUILD) --target uninstall

# The same files as a Debian package (spinora_VERSION_ARCH.deb in the build folder).
deb: build
	@cd $(BUILD) && cpack -G DEB

run: build
	$(BUILD)/spinora $(ARGS)

# The end-to-end tests drive the real program on a virtual display, one at a time.
XVFB = xvfb-run -a -s "-screen 0 800x600x24"

# The tests include ten seconds of each fuzz target, which clang builds.
test:
	@scripts/install-deps --fuzz
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@test -f $(ASAN_BUILD)/build.ninja || $(CONFIGURE) -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSPINORA_SANITIZE=address
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS) -LE e2e

# ThreadSanitizer on the tests where threads meet: the service loop, the sound system, and the
# window with the display's refresh thread. Qt is not built with it, so tests/tsan.supp leaves out
# what Qt's own libraries do (and only that).
test-tsan: deps
	@test -f $(TSAN_BUILD)/build.ninja || $(CONFIGURE) -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPINORA_SANITIZE=thread
	@cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=7 suppressions=$(CURDIR)/tests/tsan.supp" \
		ctest --output-on-failure -j $(JOBS) -L threads

# clang-tidy's bug, concurrency and performance checks (.clang-tidy) over every source file.
tidy: build
	find src -name '*.cpp' | sort | xargs -P $(JOBS) -n 4 clang-tidy -p $(BUILD) --quiet

# On a virtual display: bench_rest and bench_latency run the real spinora on it. Every benchmark
# runs; those over their target are named at the end.
bench:
	@scripts/install-deps --bench
	@test -f $(BENCH_BUILD)/build.ninja || $(CONFIGURE) -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPINORA_BENCH=ON -DSPINORA_FUZZ_SMOKE=OFF
	@cmake --build $(BENCH_BUILD) -j $(JOBS)
	@failed=""; for b in $(BENCH_BUILD)/bench/bench_*; do echo "== $$b"; \
		xvfb-run -a -s "-screen 0 800x600x24" $$b || failed="$$failed $${b##*/}"; done; \
		if [ -n "$$failed" ]; then echo "== over target or failed:$$failed"; exit 1; fi; \
		echo "== every benchmark within its target"

# Every fuzz target for FUZZ_SECONDS; fails on any finding (the inputs are kept in
# $(FUZZ_BUILD)/findings). The corpus grows in $(FUZZ_BUILD)/corpus from one run to the next.
fuzz:
	@scripts/install-deps --fuzz
	@test -f $(FUZZ_BUILD)/build.ninja || cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -Wno-dev -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
