# Pictorel: `make run` installs what is missing, builds and starts the program;
# `make test` installs, builds, generates the test media and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench screenshot clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

run: build
	@scripts/run-pictorel $(BUILD)

test: build
	@cmake --build $(BUILD) --target test-media
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@scripts/run-benchmarks $(BUILD)

screenshot: build
	@scripts/screenshot $(BUILD)/pictorel docs/window.png

clean:
	rm -rf $(BUILD)
