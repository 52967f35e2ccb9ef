# Front door: `make` builds, `make play` starts the game, `make test` runs every test.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all play test golden bench fuzz fuzz-build fuzz-ci format clean

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

# The fuzz target needs clang; it has its own tree. `make fuzz` runs until stopped (or for
# FUZZ_SECONDS), `make fuzz-ci` replays the seed corpus and then fuzzes for a minute. The
# target plays in a directory of its own, so its paths are absolute.
FUZZ_SECONDS ?= 0
FUZZ = $(CURDIR)/build-fuzz/fuzz/orbridden_fuzz -max_len=8192 -timeout=20 -print_final_stats=1 \
	-artifact_prefix=$(CURDIR)/build-fuzz/

fuzz-build:
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DORBRIDDEN_TESTS=OFF -DORBRIDDEN_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)

fuzz: fuzz-build
	mkdir -p build-fuzz/corpus
	$(FUZZ) -max_total_time=$(FUZZ_SECONDS) $(CURDIR)/build-fuzz/corpus $(CURDIR)/fuzz/corpus

fuzz-ci: fuzz-build
	$(FUZZ) -runs=0 $(CURDIR)/fuzz/corpus
	$(MAKE) fuzz FUZZ_SECONDS=60

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf build build-test build-bench build-fuzz
