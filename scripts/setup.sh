#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the programs need.
# Runs apt-get only when something is missing: as root directly, otherwise
# through sudo. The package index is refreshed before the install, so a
# machine whose index was never updated installs as well as any other.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev librtmidi-dev libfluidsynth-dev libjack-jackd2-dev fluid-soundfont-gm
  libgtest-dev libgmock-dev libbenchmark-dev
  jackd2 fonts-liberation fonts-dejavu-core
  clang libclang-rt-14-dev clang-format
  midicsv
)
# Extra packages a caller needs on top (the run command adds none today).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup: missing packages (${missing[*]}) and no sudo to install them as $(id -un)" >&2
    exit 1
  fi
  as_root=(sudo --preserve-env=DEBIAN_FRONTEND)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks about real-time priority; answer for it.
echo "jackd2 jackd/tweak_rt_limits boolean false" | "${as_root[@]}" debconf-set-selections 2>/dev/null || true
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q "${missing[@]}"
