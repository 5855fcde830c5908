#!/usr/bin/env bash
# Makes Tamsel's Debian package: a Release build of the two programs and what
# they install, hardened as Debian builds are, packed by CPack into
# build-package/tamsel_VERSION_ARCH.deb and checked by lintian.
#   scripts/package.sh             make the package
#   scripts/package.sh --install   make it and install it with apt-get
set -euo pipefail
cd "$(dirname "$0")/.."

install=false
case "${1:-}" in
  "") ;;
  --install) install=true ;;
  *) echo "usage: scripts/package.sh [--install]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
build=build-package

# Debian's own compiler and linker flags: fortified, stack-protected, full RELRO.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cxxflags="$(flags CPPFLAGS) $(flags CXXFLAGS)"
ldflags=$(flags LDFLAGS)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# Only the programs and their files: no tests, no benchmarks.
cmake --preset package -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" "${launcher[@]}" >/dev/null
cmake --build --preset package -j "${TAMSEL_JOBS:-$(nproc)}"

rm -f "$build"/tamsel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tamsel_*.deb)
echo "made $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Section\|Depends\|Installed-Size\):/  \1:/p'

echo "lintian:"
lintian --info "$deb" | tee "$build/lintian.log"
if grep -qE '^[EW]: ' "$build/lintian.log"; then
  echo "lintian found errors or warnings in $deb" >&2
  exit 1
fi

if $install; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends "./$deb"
fi
