# Front door: `make` builds, `make play` starts the game, `make test` runs every test,
# `make install` / `make uninstall` put the game and its manual page in place or take them away;
# `make hall` builds the hall of fame, `make serve-hall` runs it with the page.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Where `make install` puts things (DESTDIR is prefixed to all of them, for packaging).
# The game goes into bin, not games: $(PREFIX)/bin is on the search path of every system,
# $(PREFIX)/games only on some. BINDIR=$(PREFIX)/games installs it there instead.
PREFIX ?= /usr/local
BINDIR ?= $(PREFIX)/bin
MANDIR ?= $(PREFIX)/share/man
# The game's tree; `make play BUILD=DIR` plays the game built there.
BUILD ?= build
# The binary to install; `make install` builds it first. The hall's, where `make hall` built it.
BINARY ?= $(BUILD)/orbridden
HALL_BINARY ?= $(BUILD)/orbridden-hall

.PHONY: all play test golden bench fuzz fuzz-build fuzz-recording fuzz-ci format lint clean \
	install uninstall deps web test-web bench-web serve hall serve-hall bench-hall

# The Debian packages each build needs. A target that builds first installs what is missing of
# its own list (tools/prereqs.sh: apt-get as root or through sudo -n, else one line saying how);
# `make deps` installs them all. PREREQS=: skips the check, where they came another way.
PREREQS = tools/prereqs.sh
GAME_DEPS = g++ cmake make pkg-config libncurses-dev
# The hall: Boost.Beast/Asio, SQLite, nlohmann-json and libseccomp (its verifiers' filter); its
# tests run under make test.
HALL_DEPS = $(GAME_DEPS) libboost-dev libsqlite3-dev nlohmann-json3-dev libseccomp-dev
TEST_BUILD_DEPS = $(HALL_DEPS) libgtest-dev libgmock-dev libvterm-dev
BENCH_DEPS = $(GAME_DEPS) libbenchmark-dev
FUZZ_DEPS = $(GAME_DEPS) clang
# The web build's: emscripten, the font and fonttools to cut it down; its tests' and benchmarks':
# the headless browser and Node, with npm only where the command is missing (a Node from
# elsewhere brings its own, which Debian's npm would conflict with). All of them without the
# packages they only recommend: the browser's are a desktop's worth.
WEB_BUILD_DEPS = cmake make emscripten fonts-dejavu-core python3-fonttools
NODE_DEPS = nodejs $(if $(shell command -v npm),,npm)
WEB_TEST_DEPS = $(WEB_BUILD_DEPS) chromium-headless-shell $(NODE_DEPS)
# `make lint`'s: clang-format for the C++, Node for the JavaScript's formatter and linter.
LINT_DEPS = clang-format $(NODE_DEPS)
DEPS = $(TEST_BUILD_DEPS) groff-base libbenchmark-dev clang clang-format

CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF

all:
	@$(PREREQS) $(GAME_DEPS)
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS)

# A player sees one line while the game builds, and the build's errors if it fails; the rest
# goes to $(BUILD)/build.log. A tree already configured keeps its settings. The line shows when
# the game is missing or a source it is built from has changed since that log was written.
GAME_SOURCES = CMakeLists.txt main.cpp core tty world combat town casino story screens cli
PLAYLOG = $(BUILD)/build.log
# Ctrl-C is the player's way out, not a failure. It reaches make, this shell and the game alike:
# the trap lets the shell outlive it and turn the game's end by SIGINT (status 130) into success,
# so make, which then ends by the same signal, has no failed recipe to report.
play:
	@$(PREREQS) $(GAME_DEPS)
	@[ -x $(BUILD)/orbridden ] && [ -f $(PLAYLOG) ] && \
	  [ -z "$$(find $(GAME_SOURCES) -newer $(PLAYLOG) 2>/dev/null | head -n 1)" ] || echo "Building ORBRIDDEN..."
	@mkdir -p $(BUILD) && \
	  { [ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURE); } >$(PLAYLOG) 2>&1 && \
	  cmake --build $(BUILD) -j $(JOBS) --target orbridden >>$(PLAYLOG) 2>&1 || \
	  { grep -i -E 'error:|error at|undefined reference' $(PLAYLOG) || tail -n 20 $(PLAYLOG); \
	    echo "The build failed; all its output is in $(PLAYLOG)."; exit 1; }
	@trap : INT; $(BUILD)/orbridden || [ $$? -eq 130 ]

# Tests build with AddressSanitizer and UndefinedBehaviorSanitizer in their own tree;
# `make test CXX=clang++` builds them with another compiler, in a tree of that compiler's own.
ifeq ($(origin CXX),default)
TESTDIR = build-test
else
TESTDIR = build-test-$(notdir $(CXX))
TESTFLAGS = -DCMAKE_CXX_COMPILER=$(CXX)
endif
TEST_DEPS = $(TEST_BUILD_DEPS) groff-base $(if $(findstring clang,$(notdir $(CXX))),clang)

test:
	@$(PREREQS) $(TEST_DEPS)
	cmake -S . -B $(TESTDIR) $(TESTFLAGS) -DCMAKE_BUILD_TYPE=Debug -DORBRIDDEN_SANITIZE=ON \
		-DORBRIDDEN_HALL=ON
	cmake --build $(TESTDIR) -j $(JOBS)
	cd $(TESTDIR) && ctest --output-on-failure -j $(JOBS)

# Records the golden transcripts again after an intended change to what the game prints.
golden:
	@$(PREREQS) $(TEST_BUILD_DEPS)
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DORBRIDDEN_SANITIZE=ON
	cmake --build build-test -j $(JOBS) --target orbridden_tests
	ORBRIDDEN_RECORD=1 ./build-test/orbridden_tests --gtest_filter='Sessions/Golden.*:GoldenScreens.*'

bench:
	@$(PREREQS) $(BENCH_DEPS)
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF -DORBRIDDEN_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	LC_ALL=C.UTF-8 ./build-bench/orbridden_bench # the UTF-8 mapping, whatever the shell's locale

# The fuzz targets need clang; they have their own tree. New inputs of the game's target are at
# most FUZZ_MAX_LEN bytes (a few hundred keys), so that a run takes milliseconds, not seconds;
# the seeds longer than that, whole games in fuzz/corpus-long, start the fuzzing cut to that
# length. The recordings' target takes a recording's file, of at most FUZZ_RECORDING_MAX_LEN
# bytes (some 400 keys), its seeds real recordings in fuzz/recording-corpus and, longer,
# fuzz/recording-corpus-long. `make fuzz` and `make fuzz-recording` run until stopped (or for
# FUZZ_SECONDS); `make fuzz-ci` plays the long seeds of each whole, then fuzzes each for a
# minute (which plays its short seeds whole as it starts). The targets play in a directory of
# their own, so their paths are absolute.
FUZZ_SECONDS ?= 0
FUZZ_MAX_LEN ?= 256
FUZZ_RECORDING_MAX_LEN ?= 4096
FUZZ_FLAGS = -timeout=20 -print_final_stats=1
FUZZ = $(CURDIR)/build-fuzz/fuzz/orbridden_fuzz $(FUZZ_FLAGS) -artifact_prefix=$(CURDIR)/build-fuzz/
FUZZ_RECORDING = $(CURDIR)/build-fuzz/fuzz/orbridden_recording_fuzz $(FUZZ_FLAGS) \
	-artifact_prefix=$(CURDIR)/build-fuzz/recording-

fuzz-build:
	@$(PREREQS) $(FUZZ_DEPS)
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DORBRIDDEN_TESTS=OFF -DORBRIDDEN_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)

fuzz: fuzz-build
	mkdir -p build-fuzz/corpus
	$(FUZZ) -max_len=$(FUZZ_MAX_LEN) -max_total_time=$(FUZZ_SECONDS) $(CURDIR)/build-fuzz/corpus \
		$(CURDIR)/fuzz/corpus $(CURDIR)/fuzz/corpus-long

fuzz-recording: fuzz-build
	mkdir -p build-fuzz/recording-corpus
	$(FUZZ_RECORDING) -max_len=$(FUZZ_RECORDING_MAX_LEN) -max_total_time=$(FUZZ_SECONDS) \
		$(CURDIR)/build-fuzz/recording-corpus $(CURDIR)/fuzz/recording-corpus \
		$(CURDIR)/fuzz/recording-corpus-long

fuzz-ci: fuzz-build
	$(FUZZ) -runs=0 $(CURDIR)/fuzz/corpus-long
	$(MAKE) fuzz FUZZ_SECONDS=60
	$(FUZZ_RECORDING) -runs=0 $(CURDIR)/fuzz/recording-corpus-long
	$(MAKE) fuzz-recording FUZZ_SECONDS=60

# The web build: the same sources compiled by Debian's emscripten (objects in build-wasm),
# the page written into build-web/, which any static web host can serve as it is. Debian's
# emscripten finds its own Node modules through NODE_PATH when the machine's node is another.
WEBENV = NODE_PATH=/usr/share/nodejs
PORT ?= 8000
web:
	@$(PREREQS) --no-install-recommends $(WEB_BUILD_DEPS)
	$(WEBENV) emcmake cmake -S . -B build-wasm -DCMAKE_BUILD_TYPE=Release \
		-DORBRIDDEN_SITE=$(CURDIR)/build-web
	$(WEBENV) cmake --build build-wasm -j $(JOBS)

# The pinned packages of package-lock.json: the browser tests' puppeteer-core (which downloads
# no browser), the JavaScript's formatter and linter.
node_modules: package.json package-lock.json
	@$(PREREQS) --no-install-recommends $(NODE_DEPS)
	npm ci --no-audit --no-fund
	touch node_modules

# The golden sessions under Node, then the page in headless Chromium, served by the hall too
# (built in $(BUILD)). The browser and Node are looked for before anything is built.
test-web:
	@$(PREREQS) --no-install-recommends $(WEB_TEST_DEPS)
	@$(PREREQS) $(HALL_DEPS)
	@$(MAKE) -s --no-print-directory web hall node_modules
	node --test tests/web/*.test.mjs

# Also builds the terminal build's benchmarks (build-bench), for the playthrough's floor.
bench-web:
	@$(PREREQS) $(BENCH_DEPS)
	@$(PREREQS) --no-install-recommends $(WEB_TEST_DEPS)
	@$(MAKE) -s --no-print-directory web node_modules
	node tests/web/bench.mjs

serve: web
	@echo "ORBRIDDEN in a browser: http://127.0.0.1:$(PORT)/ (Ctrl-C stops the server)"
	cd build-web && python3 -m http.server $(PORT) --bind 127.0.0.1

# The hall of fame: orbridden-hall beside the game in $(BUILD). `make serve-hall` builds the page
# too and runs the hall on 127.0.0.1:$(PORT) with its runs in hall-data/ (HALL_DATA=DIR).
HALL_DATA ?= hall-data
hall:
	@$(PREREQS) $(HALL_DEPS)
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_TESTS=OFF -DORBRIDDEN_HALL=ON
	cmake --build $(BUILD) -j $(JOBS) --target orbridden-hall

serve-hall: web hall
	@echo "The hall of fame, with the page: http://127.0.0.1:$(PORT)/ (Ctrl-C stops it)"
	$(BUILD)/orbridden-hall --listen 127.0.0.1:$(PORT) --data $(HALL_DATA) --site build-web

# Runs verified a second through the hall against --verify of the same file in a loop, and the
# list's latency while submissions run, against their floors (bench/hall/hall_bench.cpp); live
# games' latency to their spectators and the bytes they get against a cast (live_bench.cpp);
# first, what the verifiers' sandbox costs a child against a bare one (sandbox_bench.cpp).
bench-hall:
	@$(PREREQS) $(TEST_BUILD_DEPS)
	cmake -S . -B build-bench-hall -DCMAKE_BUILD_TYPE=Release -DORBRIDDEN_HALL=ON
	cmake --build build-bench-hall -j $(JOBS) --target orbridden_hall_bench orbridden_live_bench \
		orbridden_sandbox_bench
	@# Both run, whichever misses a floor; the target fails if either did. The sandbox's cost
	@# is shown beside them.
	./build-bench-hall/orbridden_sandbox_bench
	./build-bench-hall/orbridden_hall_bench; missed=$$?; ./build-bench-hall/orbridden_live_bench && exit $$missed

install: all
	install -d '$(DESTDIR)$(BINDIR)' '$(DESTDIR)$(MANDIR)/man6'
	install -m 755 '$(BINARY)' '$(DESTDIR)$(BINDIR)/orbridden'
	install -m 644 orbridden.6 orbridden-hall.6 '$(DESTDIR)$(MANDIR)/man6/'
	[ ! -x '$(HALL_BINARY)' ] || install -m 755 '$(HALL_BINARY)' '$(DESTDIR)$(BINDIR)/orbridden-hall'

uninstall:
	rm -f '$(DESTDIR)$(BINDIR)/orbridden' '$(DESTDIR)$(MANDIR)/man6/orbridden.6' \
		'$(DESTDIR)$(BINDIR)/orbridden-hall' '$(DESTDIR)$(MANDIR)/man6/orbridden-hall.6'

# The JavaScript that prettier formats and eslint checks: the page's script and its tests.
JS = web/*.js tests/web/*.mjs eslint.config.mjs

format: node_modules
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')
	node_modules/.bin/prettier --write $(JS)

# Fails where a file is not as `make format` leaves it, or where eslint finds a fault.
lint:
	@$(PREREQS) --no-install-recommends $(LINT_DEPS)
	@$(MAKE) -s --no-print-directory node_modules
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.hpp')
	node_modules/.bin/prettier --check $(JS)
	node_modules/.bin/eslint $(JS)

clean:
	rm -rf build build-test build-test-* build-bench build-bench-hall build-fuzz build-wasm build-web

deps:
	@$(PREREQS) $(DEPS)
	@$(PREREQS) --no-install-recommends $(WEB_TEST_DEPS)
	@$(MAKE) -s --no-print-directory node_modules
