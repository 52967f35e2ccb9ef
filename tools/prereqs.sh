#!/bin/sh
# Makes sure the Debian packages named on the command line are installed before a build needs
# them: silent when they are; otherwise installs the missing ones with apt-get (as root, or
# through sudo -n), or stops with one line saying what is missing and how to install it. With
# --no-install-recommends, apt-get leaves out the packages they only recommend (for a headless
# browser, a desktop's worth).
# Usage: prereqs.sh [--no-install-recommends] PACKAGE...
set -eu

options=
if [ "${1-}" = --no-install-recommends ]; then
    options=$1
    shift
fi

# Without dpkg this is not Debian or Ubuntu: the README names what to install, and the build
# says what it cannot find.
command -v dpkg-query >/dev/null 2>&1 || exit 0

# One query for all of them; a package never installed is not listed at all, one removed but
# not purged is listed as config-files.
installed=" $(dpkg-query -W -f '${Package}=${db:Status-Status} ' "$@" 2>/dev/null || :) "
missing=
for package; do
    case $installed in
    *" $package=installed "*) ;;
    *) missing="$missing $package" ;;
    esac
done
missing=${missing# }
[ -z "$missing" ] && exit 0

# The command a person runs to install them, as root or not.
stop() {
    as=${sudo:+sudo }
    echo "ORBRIDDEN needs $missing: install with ${as}apt-get update && ${as}apt-get install ${options:+$options }$missing" >&2
    exit 1
}

if [ "$(id -u)" = 0 ]; then
    sudo=
elif sudo -n true 2>/dev/null; then
    sudo="sudo -n"
else
    sudo=sudo
    stop
fi
echo "Installing $missing"
# The package lists may be empty (a fresh machine) or out of date: read them first.
$sudo apt-get update -q && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -q -y $options $missing ||
    stop
