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

run: build
	./$(BUILD)/morvex $(RUN_ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Reader and panel-building speed on large images (measurements, not tests).
bench: build
	./$(BUILD)/bench/morvex_reader_bench
	./$(BUILD)/bench/morvex_panel_bench

clean:
	rm -rf $(BUILD)
