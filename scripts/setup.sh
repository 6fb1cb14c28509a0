#!/usr/bin/env bash
# Installs the Debian packages that building and running the programs need
# (the run command and the package build call it so); with --tests also what
# only the tests, the benchmarks and the checks need (the test command, .ci/run,
# the benchmarks and the sound check call it so). Further arguments are
# extra package names.
# Runs apt-get only when something is missing: as root directly, otherwise
# through sudo. The package index is refreshed before the install, so a
# machine whose index was never updated installs as well as any other.
# For building and running, recommended packages are not installed: what the
# programs need at run time is named here (the General MIDI SoundFont, the
# fonts; Qt's X11 and offscreen plugins come with its GUI library). The test
# set takes them as it always did.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev librtmidi-dev libfluidsynth-dev libjack-jackd2-dev
  fluid-soundfont-gm fonts-liberation fonts-dejavu-core
)
test_packages=(
  git ccache clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  jackd2 midicsv
  desktop-file-utils appstream man-db
)
recommends=(--no-install-recommends)
if [ "${1:-}" = --tests ]; then
  shift
  packages+=("${test_packages[@]}")
  recommends=()
fi
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
"${as_root[@]}" apt-get install -y -q "${recommends[@]}" "${missing[@]}"
