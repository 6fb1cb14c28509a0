#!/usr/bin/env bash
# Builds and starts the organ console on a fresh machine, in one command:
#   1. installs the missing Debian packages (scripts/setup.sh),
#   2. builds only the programs and their data (Release, no tests, no
#      benchmarks) in its own build folder,
#   3. installs them into a prefix inside that build folder,
#   4. prepares the working folder ${ZT_HOME:-$HOME/zt} with "logus.bmp",
#      "D_TOCCA.MID", the three first-start registrations "consolle.ini",
#      "consolle1.ini", "consolle2.ini" and the soundfont loader "sl.bat"
#      (each copied when missing; the user's own files are kept),
#   5. starts `consolle` there. Its settings files ("consolle.cfg", the
#      presets) are written in that folder.
# With no "consolle.cfg" yet the console plays on output device 0, the
# embedded synthesiser, and preset 0 is an organ. A machine without a sound card or a MIDI server still
# starts: the console logs what is missing and its on-screen keyboards play.
#
# Environment: ZT_HOME (working folder), ZT_RUN_BUILD (build folder, default
# build-run in the repository), ZT_RUN_NO_SETUP=1 (skip the package check),
# ZT_RUN_NO_START=1 (prepare everything, do not start). The platform knobs
# (ZT_MIDI_API, ZT_SOUNDFONT, ZT_AUDIO_DRIVER, ...) reach the console as set.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ZT_RUN_BUILD:-$root/build-run}"
prefix="$build/prefix"
home="${ZT_HOME:-$HOME/zt}"

say() { echo "run: $*" >&2; }

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

# Only what the programs need: the programs themselves and the data files.
targets=()
available="$(cmake --build "$build" --target help 2>/dev/null || true)"
for t in consolle lettore zt-soundfont-report logus d_tocca; do
  if grep -Eq "(^|[[:space:]])$t(:|[[:space:]]|$)" <<<"$available"; then
    targets+=("$t")
  fi
done
if [[ ! " ${targets[*]} " =~ " consolle " ]]; then
  say "this source tree has no consolle program to build"
  exit 1
fi
jobs="${ZT_RUN_JOBS:-$(nproc 2>/dev/null || echo 2)}"
cmake --build "$build" --parallel "$jobs" --target "${targets[@]}"
cmake --install "$build" --prefix "$prefix" >/dev/null

mkdir -p "$home"
for f in logus.bmp D_TOCCA.MID consolle.ini consolle1.ini consolle2.ini sl.bat; do
  if [ -e "$home/$f" ]; then
    continue
  fi
  if [ -f "$prefix/share/zt/$f" ]; then
    cp "$prefix/share/zt/$f" "$home/$f"
    say "copied $f into $home"
  else
    say "$f was not built; the console starts without it"
  fi
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  say "no display (DISPLAY and WAYLAND_DISPLAY are unset); set QT_QPA_PLATFORM=offscreen to run without a window"
  exit 1
fi

if [ "${ZT_RUN_NO_START:-0}" = 1 ]; then
  say "ready: $prefix/bin/consolle in $home"
  exit 0
fi
say "starting consolle in $home"
cd "$home"
exec "$prefix/bin/consolle"
