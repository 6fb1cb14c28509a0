#!/usr/bin/env bash
# Builds and starts the organ console on a fresh machine, in one command:
#   1. installs the missing Debian packages that building and running need
#      (scripts/setup.sh; the test tools are not among them),
#   2. builds only the programs and their data (Release, no tests, no
#      benchmarks, on every core) in its own build folder,
#   3. installs them into a prefix inside that build folder,
#   4. starts the console through the installed launcher zt-consolle, as the
#      desktop entry does: it prepares the working folder ($ZT_HOME, else
#      ~/.local/share/zt, or the ~/zt of earlier versions) with "logus.bmp",
#      "D_TOCCA.MID", the three first-start registrations "consolle.ini",
#      "consolle1.ini", "consolle2.ini" and the soundfont loader "sl.bat"
#      (each copied when missing; the user's own files are kept) and starts
#      `consolle` there. Its settings files ("consolle.cfg", the presets) are
#      written in that folder.
# With no "consolle.cfg" yet the console plays on output device 0, the
# embedded synthesiser, and preset 0 is an organ. A machine without a sound
# card or a MIDI server still starts: the console logs what is missing and
# its on-screen keyboards play.
#
# Environment: ZT_HOME (working folder), ZT_RUN_BUILD (build folder, default
# build-run in the repository), ZT_RUN_JOBS (parallel jobs, default the
# number of cores), ZT_RUN_NO_SETUP=1 (skip the package check),
# ZT_RUN_NO_START=1 (prepare everything, do not start). The platform knobs
# (ZT_MIDI_API, ZT_SOUNDFONT, ZT_AUDIO_DRIVER, ...) reach the console as set.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ZT_RUN_BUILD:-$root/build-run}"
prefix="$build/prefix"

say() { echo "run: $*" >&2; }

start=1
if [ "${ZT_RUN_NO_START:-0}" = 1 ]; then start=0; fi
if [ "$start" = 1 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
  [ -z "${QT_QPA_PLATFORM:-}" ]; then
  say "no display (DISPLAY and WAYLAND_DISPLAY are unset); set QT_QPA_PLATFORM=offscreen to run without a window"
  exit 1
fi

if [ "${ZT_RUN_NO_SETUP:-0}" != 1 ]; then
  bash "$root/scripts/setup.sh"
fi

launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
cmake -S "$root" -B "$build" "${generator[@]}" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DZT_TESTS=OFF -DZT_BENCH=OFF -DZT_FUZZ=OFF >/dev/null

# Only what running needs: the programs and the data files (the icons and
# the rest of the desktop files are for the package).
jobs="${ZT_RUN_JOBS:-$(nproc 2>/dev/null || echo 2)}"
cmake --build "$build" --parallel "$jobs" --target consolle lettore zt-soundfont-report logus d_tocca
cmake --install "$build" --prefix "$prefix" >/dev/null

if [ "$start" = 0 ]; then
  say "ready: $prefix/bin/consolle in $("$prefix/bin/zt-consolle" --prepare)"
  exit 0
fi
say "starting consolle"
exec "$prefix/bin/zt-consolle"
