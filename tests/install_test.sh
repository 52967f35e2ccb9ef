#!/bin/sh
# `make install` and `make uninstall` into a scratch DESTDIR: the game (and the hall, where it
# was built) lands on the usual search path and the manual pages where man finds them, the pages
# read without warnings, and all of it goes away.
# Usage: install_test.sh SOURCE_DIR BINARY [HALL_BINARY]
set -eu
src=$1
binary=$2
hall=${3-/nonexistent}
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
prefix=$dest/usr/local

# -o all: install the binary the tests built rather than building a release one first.
make -s -C "$src" -o all install DESTDIR="$dest" BINARY="$binary" HALL_BINARY="$hall"
test -x "$prefix/bin/orbridden"
"$prefix/bin/orbridden" --version | grep -q '^orbridden '
if [ -x "$hall" ]; then
    "$prefix/bin/orbridden-hall" --version | grep -q '^orbridden-hall '
fi
for page in orbridden orbridden-hall; do
    test -f "$prefix/share/man/man6/$page.6"
    if command -v man >/dev/null; then
        test "$(MANPATH=$prefix/share/man man -w 6 $page)" = "$prefix/share/man/man6/$page.6"
    fi
    if command -v groff >/dev/null; then
        warnings=$(groff -ww -man -z "$prefix/share/man/man6/$page.6" 2>&1)
        test -z "$warnings" || { echo "$warnings"; exit 1; }
    fi
done

make -s -C "$src" uninstall DESTDIR="$dest"
left=$(find "$dest" -type f)
test -z "$left" || { echo "left behind: $left"; exit 1; }
