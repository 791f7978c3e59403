# The two commands of the README:
#   make run   installs what is missing, builds and starts VORSEN
#   make test  installs what is missing, builds and runs every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench screenshots clean format

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

run: build
	scripts/run-vorsen $(BUILD)/src/vorsen

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

bench: build
	$(BUILD)/bench/spectra_bench

screenshots: build
	scripts/screenshots $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
