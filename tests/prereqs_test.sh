#!/bin/sh
# tools/prereqs.sh against stand-in dpkg-query, id, sudo, apt-get and cmake in a scratch
# directory: silent when all is there; the missing packages, and only they, installed as root or
# through sudo -n; otherwise one line saying how, and nothing built. Each make target asks for
# its own packages.
# Usage: prereqs_test.sh SOURCE_DIR
set -eu
src=$1
stub=$(mktemp -d)
trap 'rm -rf "$stub"' EXIT
fail() { echo "$*"; exit 1; }

# Installed: every package the Makefile names but libvterm-dev and clang-format (never
# installed) and clang (removed, its configuration left behind).
cat >"$stub/status" <<'END'
g++ installed
cmake installed
make installed
pkg-config installed
libncurses-dev installed
libboost-dev installed
libsqlite3-dev installed
nlohmann-json3-dev installed
libseccomp-dev installed
libgtest-dev installed
libgmock-dev installed
groff-base installed
libbenchmark-dev installed
clang config-files
END
cat >"$stub/dpkg-query" <<'END'
#!/bin/sh
# dpkg-query -W -f FORMAT PACKAGE...: the packages $STUB/status knows, in FORMAT.
format=$3
shift 3
found=0
for package; do
    status=$(awk -v p="$package" '$1 == p { print $2 }' "$STUB/status")
    if [ -n "$status" ]; then
        printf '%s' "$format" | sed "s/\${Package}/$package/; s/\${db:Status-Status}/$status/"
    else
        echo "dpkg-query: no packages found matching $package" >&2
        found=1
    fi
done
exit $found
END
# sudo -n works when $STUB/sudo-works exists, and then runs its command as root.
cat >"$stub/sudo" <<'END'
#!/bin/sh
[ "$1" = -n ] && [ -e "$STUB/sudo-works" ] || { echo "sudo: a password is required" >&2; exit 1; }
shift
STUB_UID=0 exec "$@"
END
cat >"$stub/id" <<'END'
#!/bin/sh
echo "$STUB_UID"
END
cat >"$stub/apt-get" <<'END'
#!/bin/sh
echo "as $(id -u): $*" >>"$STUB/apt.log"
exit "$APT_STATUS"
END
cat >"$stub/cmake" <<'END'
#!/bin/sh
echo "cmake $*" >>"$STUB/cmake.log"
exit 1
END
chmod +x "$stub/dpkg-query" "$stub/sudo" "$stub/id" "$stub/apt-get" "$stub/cmake"
export STUB="$stub" PATH="$stub:$PATH"
# make run here as a person runs it, not as a sub-make of the test build.
unset MAKEFLAGS MAKELEVEL MFLAGS CXX # a make of its own: nothing from the build that runs the test

# case|uid|sudo -n|apt-get's status|packages asked for|exit status|apt-get's calls, joined by ;|
# what it prints (a pattern)
while IFS='|' read -r name uid sudo apt packages status calls output; do
    rm -f "$stub/sudo-works" "$stub/apt.log"
    [ "$sudo" = works ] && : >"$stub/sudo-works"
    got=$(STUB_UID=$uid APT_STATUS=$apt "$src/tools/prereqs.sh" $packages 2>&1) && rc=0 || rc=$?
    gotcalls=$(paste -s -d ';' "$stub/apt.log" 2>/dev/null || :)
    [ "$rc" = "$status" ] || fail "$name: exit status $rc, not $status: $got"
    [ "$gotcalls" = "$calls" ] || fail "$name: apt-get ran as: $gotcalls"
    case $got in $output) ;; *) fail "$name: printed: $got" ;; esac
done <<'END'
all there|1000|fails|0|g++ make|0||
missing, root|0|fails|0|g++ libvterm-dev clang make|0|as 0: update -q;as 0: install -q -y libvterm-dev clang|Installing libvterm-dev clang
missing, sudo -n works|1000|works|0|g++ libvterm-dev clang make|0|as 0: update -q;as 0: install -q -y libvterm-dev clang|Installing libvterm-dev clang
missing, no sudo -n|1000|fails|0|g++ libvterm-dev clang make|1||ORBRIDDEN needs libvterm-dev clang: install with sudo apt-get update && sudo apt-get install libvterm-dev clang
missing, apt-get fails|0|fails|100|libvterm-dev|1|as 0: update -q|Installing libvterm-dev*ORBRIDDEN needs libvterm-dev: install with apt-get update && apt-get install libvterm-dev
without recommended|0|fails|0|--no-install-recommends g++ clang|0|as 0: update -q;as 0: install -q -y --no-install-recommends clang|Installing clang
without recommended, no sudo -n|1000|fails|0|--no-install-recommends clang|1||ORBRIDDEN needs clang: install with sudo apt-get update && sudo apt-get install --no-install-recommends clang
END

# Each make target asks for the packages it needs, and stops before building when it cannot
# install them; `make play` needs neither libvterm-dev nor clang, so it goes on to build. The web
# build's tests also want npm where the command is missing.
scratch=$stub/build
web="emscripten fonts-dejavu-core python3-fonttools"
npm=$(command -v npm >/dev/null 2>&1 || echo " npm")
while IFS='|' read -r target needs; do
    rm -f "$stub/cmake.log"
    got=$(cd "$src" && STUB_UID=1000 APT_STATUS=0 make -s $target BUILD="$scratch" 2>&1) &&
        fail "make $target: succeeded"
    if [ -n "$needs" ]; then
        # The command it names is checked above.
        case $(echo "$got" | head -n 1) in
        "ORBRIDDEN needs $needs: install with sudo apt-get "*) ;;
        *) fail "make $target: printed: $got" ;;
        esac
        [ ! -e "$stub/cmake.log" ] || fail "make $target: built: $(cat "$stub/cmake.log")"
    else
        [ -e "$stub/cmake.log" ] || fail "make $target: did not build: $got"
    fi
done <<END
play|
all|
test|libvterm-dev
test CXX=clang++|libvterm-dev clang
golden|libvterm-dev
bench|
hall|
bench-hall|libvterm-dev
fuzz-build|clang
deps|libvterm-dev clang clang-format
lint|clang-format nodejs$npm
web|$web
test-web|$web chromium-headless-shell nodejs$npm
bench-web|$web chromium-headless-shell nodejs$npm
END
