# Morvex: the two everyday commands are `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
# `make run` opens the bundled example diagram.
EXAMPLE ?= data/examples/example.fnc
RUN_ARGS ?= $(wildcard $(EXAMPLE))

.PHONY: all deps build run test bench clean

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
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# One table of speed and memory figures against their lower bounds and a VTK
# peer (measurements, not tests). BENCH_ARGS="--runs 3 --sizes example,medium"
# narrows it.
bench: build
	-@scripts/install-deps --bench
	./$(BUILD)/bench/morvex_bench $(BENCH_ARGS)
	./$(BUILD)/bench/morvex_export_bench

clean:
	rm -rf $(BUILD)
