#!/usr/bin/env bash
# Checks the Debian package as a new user's machine meets it. Run as root on a
# fresh Debian 12 (../shared/tools/fresh-debian runs it in a new chroot):
#   bash scripts/package-check.sh zt_1.0.0_amd64.deb
#   1. `apt install ./zt_*.deb` installs it with what it depends on, on a
#      machine that has nothing of ZT's yet;
#   2. every library of the programs and of Qt's X11 plugin is found;
#   3. then, with a virtual X server and a PulseAudio server on a null sink
#      (the check's own tools, installed now), a new user runs the command of
#      the installed desktop entry: the window "ZT" appears, the working folder
#      ~/.local/share/zt holds the installed data, a held on-screen key is
#      heard on the sink, "Lettore" in the menu bar opens the player, and
#      SIGTERM ends the console with its settings saved in the working folder;
#   4. `apt remove zt` leaves no file of the package; autoremove takes its
#      dependencies.
# Prints one line per step and "package check: passed", or stops at the
# first failure.
set -euo pipefail
deb=$(realpath "$1")
user=organist
export DEBIAN_FRONTEND=noninteractive
step() { echo "== $*"; }
fail() { echo "package check: FAILED: $*"; exit 1; }

step "1. apt install $(basename "$deb")"
apt-get update -q > /dev/null
before=$(dpkg-query -W -f '${Package}\n' | sort)
apt-get install -y -q "$deb" > /tmp/apt-install.log || { cat /tmp/apt-install.log; fail "apt install"; }
after=$(dpkg-query -W -f '${Package}\n' | sort)
echo "installed $(comm -13 <(echo "$before") <(echo "$after") | wc -l) packages: zt and its dependencies"
dpkg-query -W -f '${Depends}\n' zt

step "2. libraries"
plugin=$(dpkg -L libqt6gui6 | grep '/platforms/libqxcb.so$') || fail "no X11 plugin for Qt"
for f in /usr/bin/consolle /usr/bin/lettore /usr/bin/zt-soundfont-report "$plugin"; do
  if ldd "$f" | grep -q 'not found'; then ldd "$f" | grep 'not found'; fail "$f misses a library"; fi
done
echo "all found"
[ -f /usr/share/sounds/sf2/default-GM.sf2 ] || fail "no General MIDI SoundFont"

step "3. the desktop entry's command, as a new user"
apt-get install -y -q --no-install-recommends xvfb x11-utils xdotool pulseaudio pulseaudio-utils \
  imagemagick > /dev/null
useradd -m "$user"
home=/home/$user
entry=$(find /usr/share/applications -name '*consolle.desktop')
command=$(sed -n 's/^Exec=//p' "$entry")
echo "$entry: Exec=$command"
run_as() { runuser -u "$user" -- env HOME="$home" XDG_RUNTIME_DIR=/tmp/run-$user DISPLAY=:42 "$@"; }
install -d -o "$user" -m 700 "/tmp/run-$user"
Xvfb :42 -screen 0 1280x1024x24 > /tmp/xvfb.log 2>&1 &
helpers=($!)
run_as pulseaudio --daemonize=no --exit-idle-time=-1 -n --log-target=stderr \
  -L "module-null-sink sink_name=organ" -L module-native-protocol-unix > /tmp/pulse.log 2>&1 &
helpers+=($!)
sleep 2
run_as parec -d organ.monitor --format=s16le --rate=48000 --channels=2 > /tmp/organ.raw &
recorder=$!
started=$(date +%s%N)
run_as bash -c "cd && exec $command" > /tmp/console.log 2>&1 &
console=$!  # runuser, which ends with the console's status
window=""
for _ in $(seq 600); do
  window=$(run_as xdotool search --name '^ZT$' 2> /dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$console" 2> /dev/null || { cat /tmp/console.log; fail "the console ended"; }
  sleep 0.1
done
[ -n "$window" ] || fail "no window"
echo "window \"ZT\" after $(( ($(date +%s%N) - started) / 1000000 )) ms"
pid=$(pgrep -u "$user" -x consolle)
echo "consolle runs in $(readlink "/proc/$pid/cwd")"
[ "$(readlink "/proc/$pid/cwd")" = "$home/.local/share/zt" ] || fail "not in the working folder"
for f in /usr/share/zt/*; do
  cmp -s "$f" "$home/.local/share/zt/$(basename "$f")" || fail "$(basename "$f") was not prepared"
done
echo "working folder prepared: $(ls "$home/.local/share/zt" | tr '\n' ' ')"
sleep 2
run_as import -window root /tmp/console.png
# A key of the upper keyboard held for a second and a half.
run_as xdotool mousemove --window "$window" 100 490 mousedown 1
sleep 1.5
run_as xdotool mouseup 1
sleep 1
kill "$(pgrep -u "$user" -x parec)"
wait "$recorder" 2> /dev/null || true
levels=$(od -An -t d2 -v /tmp/organ.raw | awk '{ for (i = 1; i <= NF; i++) { v = $i < 0 ? -$i : $i; if (v > peak) peak = v; sum += $i * $i; n++ } }
  END { if (n == 0) n = 1; printf "%d %.0f %d", peak, sqrt(sum / n), n }')
read -r peak rms samples <<< "$levels"
grep -h "Audio FluidSynth" /tmp/console.log || true
echo "recorded $((samples / 2)) frames: peak $peak, rms $rms of 32767"
[ "$peak" -gt 1000 ] || { tail -n 20 /tmp/console.log; fail "the organ is not heard"; }
# "Lettore" in the menu bar starts the player installed beside the console.
run_as xdotool mousemove --window "$window" 80 9 click 1
for _ in $(seq 100); do pgrep -u "$user" -x lettore > /dev/null && break; sleep 0.1; done
player=$(pgrep -u "$user" -x lettore) || fail "Lettore did not start"
echo "lettore started: $(readlink "/proc/$player/exe") in $(readlink "/proc/$player/cwd")"
kill "$player"
kill "$pid"
status=0
wait "$console" || status=$?
[ "$status" = 0 ] || fail "consolle ended with $status"
echo "consolle ended with 0"
[ -f "$home/.local/share/zt/consolle.cfg" ] || fail "no consolle.cfg saved"
echo "settings saved: consolle.cfg"

step "4. apt remove zt"
files=$(dpkg -L zt)
apt-get remove -y -q zt > /dev/null
left=0
while read -r f; do
  if [ -e "$f" ] && [ ! -d "$f" ]; then echo "left: $f"; left=1; fi
  if [ -d "$f" ] && [[ $f == */zt ]]; then echo "left: $f/"; left=1; fi
done <<< "$files"
[ "$left" = 0 ] || fail "files left behind"
dpkg-query -W -f '${db:Status-Abbrev}\n' zt 2> /dev/null | grep -q '^rc' && fail "configuration left"
echo "no file of the package is left; dpkg: $(dpkg-query -W -f '${db:Status-Abbrev}' zt 2> /dev/null || echo unknown)"
apt-get autoremove -y -q > /tmp/autoremove.log
echo "autoremove: $(grep -Eo '[0-9]+ to remove' /tmp/autoremove.log || echo 'nothing')"
kill "${helpers[@]}" 2> /dev/null || true
echo "package check: passed"
