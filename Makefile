# The two commands of the README:
#   make run   installs what is missing, builds and starts VORSEN
#   make test  installs what is missing, builds and runs every test
BUILD ?= build
JOBS ?= $(shell nproc)
# WERROR=ON makes every compiler warning an error (.ci/run sets it). The
# environment variable CTEST_EXCLUDE, a regular expression, leaves the tests it
# matches out of make test (.ci/run, as root, leaves out those it runs as nobody).
WERROR ?= OFF

.PHONY: deps build run test bench screenshots clean format tidy

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVORSEN_WERROR=$(WERROR)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	scripts/run-vorsen $(BUILD)/src/vorsen

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) $${CTEST_EXCLUDE:+-E "$$CTEST_EXCLUDE"}

bench: build
	$(BUILD)/bench/spectra_bench

screenshots: build
	scripts/screenshots $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

tidy: build
	scripts/tidy $(BUILD)

clean:
	rm -rf $(BUILD)
