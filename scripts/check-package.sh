#!/usr/bin/env bash
# Makes the Debian package, installs it with apt-get, uses the installed
# programs as a user would, removes it again and checks that nothing of it is
# left. Needs root (or sudo): it changes the machine's installed packages.
# Prints one "ok:" or "FAILED:" line per check; the exit status is 0 when all
# passed.
#   scripts/check-package.sh
set -uo pipefail
cd "$(dirname "$0")/.."

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -q "$@"; }

failures=0
check() { # description command...
  local what=$1; shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Unrelated to the build: without a package nothing below can run.
if ! scripts/package.sh >"$work/package.log" 2>&1; then
  cat "$work/package.log"
  echo "FAILED: package made and lintian-clean"
  exit 1
fi
echo "ok: package made and lintian-clean"
deb=$(ls build-package/tamsel_*.deb)

installed() { apt_get install --no-install-recommends "./$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; return 1; }; }
check "apt-get installs $deb" installed

version() { [ "$(/usr/bin/tamsel --version)" = "tamsel $(dpkg-deb -f "$deb" Version)" ]; }
check "/usr/bin/tamsel --version names the package's version" version

demo() {
  printf 'get16 5 3\n::wait 200\nshownode\n' |
    /usr/bin/tamsel --demo --headless --profile "$work/profile.conf" --rx ov11 --tx ov11 --echo off \
      >"$work/demo.out" 2>&1 || { cat "$work/demo.out"; return 1; }
  grep -q 'Rep16' "$work/demo.out" || { echo "no register reply in:"; cat "$work/demo.out"; return 1; }
}
check "the installed tamsel runs a headless demo session" demo

manual() { [ "$(man -w tamsel)" = /usr/share/man/man1/tamsel.1.gz ] && man -w orvane-sim >/dev/null; }
check "man -w finds tamsel(1) and orvane-sim(1)" manual

menu() { desktop-file-validate /usr/share/applications/tamsel.desktop && [ -f /usr/share/icons/hicolor/48x48/apps/tamsel.png ]; }
check "the menu entry and its icon are in place" menu

dpkg -L tamsel >"$work/files" 2>/dev/null
removed() { apt_get remove tamsel >"$work/remove.log" 2>&1 || { cat "$work/remove.log"; return 1; }; }
check "apt-get removes tamsel" removed

nothing_left() {
  local left=0 path
  [ -s "$work/files" ] || { echo "dpkg -L listed nothing"; return 1; }
  while read -r path; do
    # Directories such as /usr/bin stay for the other packages that use them.
    if [ -e "$path" ] && [ ! -d "$path" ]; then echo "left behind: $path"; left=1; fi
  done <"$work/files"
  if dpkg-query -W -f='${Status}\n' tamsel 2>/dev/null | grep -q ' installed$'; then
    echo "dpkg still has tamsel installed"; left=1
  fi
  [ "$left" -eq 0 ]
}
check "nothing that dpkg -L listed is left after removal" nothing_left

[ "$failures" -eq 0 ]
