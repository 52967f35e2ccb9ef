# Front door: `make` builds, `make play` starts the game, `make test` runs every test,
# `make install` / `make uninstall` put the game and its manual page in place or take them away.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Where `make install` puts things (DESTDIR is prefixed to all of them, for packaging).
# The game goes into bin, not games: $(PREFIX)/bin is on the search path of every system,
# $(PREFIX)/games only on some. BINDIR=$(PREFIX)/games installs it there instead.
PREFIX ?= /usr/local
BINDIR ?= $(PREFIX)/bin
MANDIR ?= $(PREFIX)/share/man
# The binary to install; `make install` builds it first.
BINARY ?= build/orbridden

.PHONY: all play test golden bench fuzz fuzz-build fuzz-ci format clean install uninstall deps

all:
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF
	cmake --build build -j $(JOBS)

# Ctrl-C is the player's way out, not a failure. It reaches make, this shell and the game alike:
# the trap lets the shell outlive it and turn the game's end by SIGINT (status 130) into success,
# so make, which then ends by the same signal, has no failed recipe to report.
play: all
	trap : INT; ./build/orbridden || [ $$? -eq 130 ]

# Tests build with AddressSanitizer and UndefinedBehaviorSanitizer in their own tree;
# `make test CXX=clang++` builds them with another compiler, in a tree of that compiler's own.
ifeq ($(origin CXX),default)
TESTDIR = build-test
else
TESTDIR = build-test-$(notdir $(CXX))
TESTFLAGS = -DCMAKE_CXX_COMPILER=$(CXX)
endif

test:
	cmake -S . -B $(TESTDIR) $(TESTFLAGS) -DCMAKE_BUILD_TYPE=Debug -DORBRIDDEN_SANITIZE=ON
	cmake --build $(TESTDIR) -j $(JOBS)
	cd $(TESTDIR) && ctest --output-on-failure -j $(JOBS)

# Records the golden transcripts again after an intended change to what the game prints.
golden:
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DORBRIDDEN_SANITIZE=ON
	cmake --build build-test -j $(JOBS) --target orbridden_tests
	ORBRIDDEN_RECORD=1 ./build-test/orbridden_tests --gtest_filter='Sessions/Golden.*'

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF -DORBRIDDEN_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	LC_ALL=C.UTF-8 ./build-bench/orbridden_bench # the UTF-8 mapping, whatever the shell's locale

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

install: all
	install -d '$(DESTDIR)$(BINDIR)' '$(DESTDIR)$(MANDIR)/man6'
	install -m 755 '$(BINARY)' '$(DESTDIR)$(BINDIR)/orbridden'
	install -m 644 orbridden.6 '$(DESTDIR)$(MANDIR)/man6/orbridden.6'

uninstall:
	rm -f '$(DESTDIR)$(BINDIR)/orbridden' '$(DESTDIR)$(MANDIR)/man6/orbridden.6'

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf build build-test build-test-* build-bench build-fuzz

# The packages the README's prerequisites name, on Debian or Ubuntu (only those missing).
DEPS = g++ cmake make pkg-config libncurses-dev libgtest-dev libgmock-dev libbenchmark-dev \
       groff-base libvterm-dev clang
SUDO = $(if $(filter 0,$(shell id -u)),,sudo)
deps:
	dpkg -s $(DEPS) >/dev/null 2>&1 || \
	  { $(SUDO) apt-get update && $(SUDO) apt-get install -y $(DEPS); }
