#!/usr/bin/env bash
# The sound check: plays keys through a preset file on the real console with
# its embedded synthesiser, on a private JACK server, records the audio and
# prints, register by register, whether it is heard, how loud and where.
#
#   bash scripts/sound-check.sh [--preset FILE] [--keys 60,64,67] [--hold SECONDS]
#                               [--wav FILE] [--no-solos]
#
# Defaults: the preset "consolle.ini" of the current folder, key 60 (middle
# C) held 2 s, the recording in sound-check.wav (and each register alone
# beside it). Installs what is missing, builds the console and the check in
# build/ (the test command's build), and runs it from the current folder.
set -euo pipefail
here=$(pwd)
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh" --tests >&2
generator=()
if [ ! -f "$root/build/CMakeCache.txt" ]; then generator=(-G Ninja); fi
cmake -S "$root" -B "$root/build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --parallel "$(nproc)" --target consolle zt-sound-check >&2
cd "$here"
exec "$root/build/bin/zt-sound-check" "$@"
