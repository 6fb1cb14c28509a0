#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the programs need.
# Runs apt-get only when something is missing; as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev librtmidi-dev libfluidsynth-dev libjack-jackd2-dev fluid-soundfont-gm
  libgtest-dev libgmock-dev libbenchmark-dev
  jackd2 fonts-liberation fonts-dejavu-core
  clang libclang-rt-14-dev
  midicsv
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo -E apt-get install -y -q "${missing[@]}"
