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

.PHONY: all play test golden bench fuzz fuzz-build fuzz-ci format clean install uninstall deps \
	web test-web bench-web serve

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
	ORBRIDDEN_RECORD=1 ./build-test/orbridden_tests --gtest_filter='Sessions/Golden.*:GoldenScreens.*'

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

# The web build: the same sources compiled by Debian's emscripten (objects in build-wasm),
# the page written into build-web/, which any static web host can serve as it is. Debian's
# emscripten finds its own Node modules through NODE_PATH when the machine's node is another.
WEBENV = NODE_PATH=/usr/share/nodejs
PORT ?= 8000
web:
	$(WEBENV) emcmake cmake -S . -B build-wasm -DCMAKE_BUILD_TYPE=Release \
		-DORBRIDDEN_SITE=$(CURDIR)/build-web
	$(WEBENV) cmake --build build-wasm -j $(JOBS)

# The pinned test packages (package-lock.json); puppeteer-core downloads no browser.
node_modules: package.json package-lock.json
	npm ci --no-audit --no-fund
	touch node_modules

# The golden sessions under Node, then the page in headless Chromium.
test-web: web node_modules
	node --test tests/web/*.test.mjs

bench-web: web node_modules
	node tests/web/bench.mjs

serve: web
	@echo "ORBRIDDEN in a browser: http://127.0.0.1:$(PORT)/ (Ctrl-C stops the server)"
	cd build-web && python3 -m http.server $(PORT) --bind 127.0.0.1

install: all
	install -d '$(DESTDIR)$(BINDIR)' '$(DESTDIR)$(MANDIR)/man6'
	install -m 755 '$(BINARY)' '$(DESTDIR)$(BINDIR)/orbridden'
	install -m 644 orbridden.6 '$(DESTDIR)$(MANDIR)/man6/orbridden.6'

uninstall:
	rm -f '$(DESTDIR)$(BINDIR)/orbridden' '$(DESTDIR)$(MANDIR)/man6/orbridden.6'

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf build build-test build-test-* build-bench build-fuzz build-wasm build-web

# The packages the README's prerequisites name, on Debian or Ubuntu (only those missing).
DEPS = g++ cmake make pkg-config libncurses-dev libgtest-dev libgmock-dev libbenchmark-dev \
       groff-base libvterm-dev clang
# The web build's and its tests': emscripten, the headless browser (without the recommended
# packages, a desktop's worth), Node, the font, fonttools to cut it down; npm only where the
# command is missing (a Node from elsewhere brings its own, which Debian's npm would conflict with).
WEB_DEPS = emscripten chromium-headless-shell nodejs fonts-dejavu-core python3-fonttools \
           $(if $(shell command -v npm),,npm)
SUDO = $(if $(filter 0,$(shell id -u)),,sudo)
deps:
	dpkg -s $(DEPS) $(WEB_DEPS) >/dev/null 2>&1 || \
	  { $(SUDO) apt-get update && \
	    $(SUDO) apt-get install -y $(DEPS) && \
	    $(SUDO) apt-get install -y --no-install-recommends $(WEB_DEPS); }
	$(MAKE) node_modules
