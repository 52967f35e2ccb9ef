# Front door: `make` builds, `make play` starts the game, `make test` runs every test.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all play test golden bench format clean

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

# Records the golden transcripts again after an intended change to what the game prints.
golden:
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DORBRIDDEN_SANITIZE=ON
	cmake --build build-test -j $(JOBS) --target orbridden_tests
	ORBRIDDEN_RECORD=1 ./build-test/orbridden_tests --gtest_filter='Sessions/Golden.*'

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF -DORBRIDDEN_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	./build-bench/orbridden_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf build build-test build-bench
