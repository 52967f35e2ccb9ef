#!/bin/sh
# `make install` and `make uninstall` into a scratch DESTDIR: the game lands on the usual search
# path and its manual page where man finds it, the page reads without warnings, and both go away.
# Usage: install_test.sh SOURCE_DIR BINARY
set -eu
src=$1
binary=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
prefix=$dest/usr/local

# -o all: install the binary the tests built rather than building a release one first.
make -s -C "$src" -o all install DESTDIR="$dest" BINARY="$binary"
test -x "$prefix/bin/orbridden"
test -f "$prefix/share/man/man6/orbridden.6"
"$prefix/bin/orbridden" --version | grep -q '^orbridden '
if command -v man >/dev/null; then
    test "$(MANPATH=$prefix/share/man man -w 6 orbridden)" = "$prefix/share/man/man6/orbridden.6"
fi
if command -v groff >/dev/null; then
    warnings=$(groff -ww -man -z "$prefix/share/man/man6/orbridden.6" 2>&1)
    test -z "$warnings" || { echo "$warnings"; exit 1; }
fi

make -s -C "$src" uninstall DESTDIR="$dest"
left=$(find "$dest" -type f)
test -z "$left" || { echo "left behind: $left"; exit 1; }
