# Front door: `make` builds, `make play` starts the game, `make test` runs every test.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all play test bench format clean deps

all:
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF
	cmake --build build -j $(JOBS)

play: all
	./build/orbridden

# Tests build with AddressSanitizer and UndefinedBehaviorSanitizer in their own tree.
test:
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DORBRIDDEN_SANITIZE=ON
	cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure -j $(JOBS)

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF -DORBRIDDEN_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	./build-bench/orbridden_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf build build-test build-bench

# The packages the README's prerequisites name, on Debian or Ubuntu (only those missing).
DEPS = g++ cmake make pkg-config libncurses-dev libgtest-dev libgmock-dev libbenchmark-dev \
       libvterm-dev
SUDO = $(if $(filter 0,$(shell id -u)),,sudo)
deps:
	dpkg -s $(DEPS) >/dev/null 2>&1 || \
	  { $(SUDO) apt-get update && $(SUDO) apt-get install -y $(DEPS); }
