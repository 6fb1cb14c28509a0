#!/usr/bin/env bash
# Builds the Debian package of both programs, build-deb/zt_<version>_<arch>.deb
# (installs what building needs first, like the run command):
#   bash scripts/package.sh && sudo apt install ./build-deb/zt_*.deb
# The package installs into /usr: the programs and the launchers zt-consolle
# and zt-lettore in bin/, the data for the working folder in share/zt/, the
# desktop entries, icons, AppStream metainfo and manual pages where the
# desktop looks for them. Its dependencies are the libraries the programs
# link (found by dpkg-shlibdeps) and what they need at run time.
# ZT_PACKAGE_BUILD sets the build folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ZT_PACKAGE_BUILD:-$root/build-deb}"

# dpkg-shlibdeps comes with build-essential; CPack finds the programs with file.
bash "$root/scripts/setup.sh" file
generator=()
if [ ! -f "$build/CMakeCache.txt" ]; then generator=(-G Ninja); fi
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZT_TESTS=OFF -DZT_BENCH=OFF -DZT_FUZZ=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target consolle lettore zt-soundfont-report logus d_tocca icons
rm -f "$build"/zt_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/zt_*.deb
