# Morvex: the two everyday commands are `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
# `make run` opens the bundled example diagram.
EXAMPLE ?= data/examples/example.fnc
RUN_ARGS ?= $(wildcard $(EXAMPLE))

# Checked builds with clang: AddressSanitizer + UndefinedBehaviorSanitizer
# and the libFuzzer targets share one build tree.
SANITIZE_BUILD ?= build-sanitize
FUZZ_SECONDS ?= 60
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps sanitize-deps sanitize-build build run test check-soak bench fuzz check-sanitize valgrind install check-install coverage clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

RENDERED ?= $(BUILD)/example.png

# With a display: the viewer. Without one: the example drawn headless to a PNG.
run: build
	@if [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then \
		./$(BUILD)/morvex $(RUN_ARGS); \
	else \
		echo "No X display: drawing $(EXAMPLE) without one."; \
		./$(BUILD)/morvex-render $(EXAMPLE) -q -o $(RENDERED) && \
		echo "The picture is $(abspath $(RENDERED))"; \
	fi

test: build
	-@scripts/install-deps --browser
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE soak

# Long runs of the real window (about half an hour): 500 opens and closes with
# its memory and file descriptors, and thousands of random events; the figures
# are in the output. SOAK_CYCLES, SOAK_EVENTS and SOAK_SEED change them.
check-soak: build
	cd $(BUILD) && ctest -V -C soak -L soak

# One table of speed and memory figures against their lower bounds and a VTK
# peer (measurements, not tests). BENCH_ARGS="--runs 3 --sizes example,medium"
# narrows it.
bench: build
	-@scripts/install-deps --bench
	./$(BUILD)/bench/morvex_bench $(BENCH_ARGS)
	./$(BUILD)/bench/morvex_export_bench

sanitize-deps: deps
	@scripts/install-deps --sanitize

sanitize-build: sanitize-deps
	@CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DMORVEX_FUZZ=ON -DMORVEX_WERROR=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) -- --no-print-directory

# Every fuzz target for FUZZ_SECONDS each (make fuzz FUZZ_SECONDS=600 for longer).
fuzz: sanitize-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz $(SANITIZE_BUILD)

# The whole test suite, GUI tests included, built with the sanitizers.
check-sanitize: sanitize-build
	cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# Memcheck of opening, drawing, exporting and closing the example under Xvfb.
valgrind: build sanitize-deps
	scripts/valgrind-example $(BUILD)

# The programs, their man pages, the desktop entry, the file type and the
# icons under PREFIX; with DESTDIR set, staged below that folder instead.
PREFIX ?= /usr/local
install: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target morvex_installables -- --no-print-directory
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A clean clone of this commit installed into a staging folder and checked
# as a desktop sees it (not part of make test: it builds everything anew).
check-install: deps
	@scripts/install-deps --install
	scripts/check-install

# Line coverage of the product code by the whole suite (GUI tests included):
# a Debug build with --coverage in $(COVERAGE_BUILD), the tests, and gcovr's
# summary of the source folders (tests, benchmarks and fuzz targets left out).
# Threads racing on a branch counter can leave it negative, which gcov prints
# and gcovr would stop at: such lines are passed over (line counts hold).
COVERAGE_BUILD ?= build-coverage
coverage: deps
	@scripts/install-deps --coverage
	@cmake -S . -B $(COVERAGE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMORVEX_COVERAGE=ON -DMORVEX_WERROR=OFF >/dev/null
	@cmake --build $(COVERAGE_BUILD) -j $(JOBS) -- --no-print-directory
	@find $(COVERAGE_BUILD) -name '*.gcda' -delete
	-cd $(COVERAGE_BUILD) && ctest -j $(JOBS) -LE 'soak|install' >/dev/null
	gcovr --root . --object-directory $(COVERAGE_BUILD) --exclude '(tests|bench|fuzz)/' --gcov-ignore-parse-errors \
		--exclude '$(COVERAGE_BUILD)/' --exclude '$(BUILD)/' --print-summary --txt $(COVERAGE_BUILD)/coverage.txt
	@tail -n 3 $(COVERAGE_BUILD)/coverage.txt

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(COVERAGE_BUILD)
