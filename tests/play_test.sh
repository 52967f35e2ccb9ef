#!/bin/sh
# `make play` as a player runs it: with the game built, nothing but the game reaches the screen
# (at most one line before its first page); with a build that fails, the one line, the
# compiler's errors and where the whole output is, and the game is not started.
# Usage: play_test.sh SOURCE_DIR BUILD_DIR (a configured tree whose game is built)
set -eu
src=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_STATE_HOME="$scratch/state" # the journal in the scratch directory, not the home's
fail() { echo "$*"; exit 1; }
# Not a sub-make of the test build: make then says nothing of its own.
unset MAKEFLAGS MAKELEVEL MFLAGS CXX # a make of its own: nothing from the build that runs the test
cd "$src"

# Standard input at its end: the game shows its first page and ends at once. The first run may
# say that it builds (it cannot tell for certain that nothing changed); the second has nothing
# to build and shows the game alone.
"$build/orbridden" </dev/null >"$scratch/game"
for run in first second; do
    make play BUILD="$build" </dev/null >"$scratch/play" 2>&1 || fail "make play failed: $(cat "$scratch/play")"
    cmp -s "$scratch/play" "$scratch/game" ||
        { [ $run = first ] && tail -n +2 "$scratch/play" | cmp -s - "$scratch/game"; } ||
        fail "make play ($run run) printed before the game: $(head -n 3 "$scratch/play")"
done

# A stand-in cmake whose build fails after much chatter, leaving a game that must not be run.
mkdir "$scratch/bin"
cat >"$scratch/bin/cmake" <<END
#!/bin/sh
echo "-- chatter"
echo "main.cpp:1:1: error: expected unqualified-id"
printf '#!/bin/sh\necho the game ran\n' >"$scratch/tree/orbridden"
chmod +x "$scratch/tree/orbridden"
exit 1
END
chmod +x "$scratch/bin/cmake"
got=$(PATH="$scratch/bin:$PATH" make play BUILD="$scratch/tree" </dev/null 2>&1) && fail "make play succeeded: $got"
expected="Building ORBRIDDEN...
main.cpp:1:1: error: expected unqualified-id
The build failed; all its output is in $scratch/tree/build.log."
[ "$(echo "$got" | head -n 3)" = "$expected" ] || fail "a failed build printed: $got"
case $got in *"the game ran"*) fail "the game was started after a failed build" ;; esac
grep -q chatter "$scratch/tree/build.log" || fail "the build's output is not in its log"
