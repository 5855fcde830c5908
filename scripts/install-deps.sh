#!/usr/bin/env bash
# Installs, with apt and only when missing, what Tamsel needs to build and test.
#   scripts/install-deps.sh [extra-package...]
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-dev             # sanitizer and fuzzer runtimes
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libx11-dev libxdamage-dev   # libxdamage: the start-up benchmark
  xvfb                              # the window's tests on a real X server
  xdotool xclip python3             # the monkey: its input, its second clipboard client, its driver
  fonts-ipafont-gothic              # Japanese menus drawn with real glyphs under the monkey
  tshark                            # reads back the captures Tamsel writes
  ser2net python3-serial            # network lines' far ends: ser2net, pyserial's RFC 2217 server
  desktop-file-utils appstream man-db   # the installed files' validators and man
  lintian dpkg-dev file             # the Debian package: its checks, dpkg-shlibdeps and the ELF test CPack runs
  libudev-dev                       # serial device discovery and hot-plug
  umockdev libumockdev-dev          # mocked USB serial adapters in the device tests
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
