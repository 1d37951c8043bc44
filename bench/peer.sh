#!/usr/bin/env bash
# Our start against a peer's, measured the same way in one run on a private X server (the xcb platform, as a
# learner runs it): from the spawn of the process to its first window mapped, with the resident memory one
# second later; then the resident memory at each program's main window, ours after the identification. The two
# programs take turns, RUNS times each (5 unless told). Last, once each, the processor time over 10 s at the main
# window. The peer, Debian's tipp10, is installed when missing,
# with the SQLite driver it needs and does not depend on.
#
#   bench/peer.sh BUILD_DIR [RUNS]
set -euo pipefail
build="$(realpath "$1")"
runs="${2:-5}"
peer=/usr/bin/tipp10
firstwindow="$build/bench/tutor_firstwindow"

missing=""
for p in tipp10 libqt6sql6-sqlite; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing >/dev/null
fi

# Ours runs from a copy of its folder, so that no learner's folder of the build is touched; the peer gets a
# home of its own.
folder=$(mktemp -d)
home=$(mktemp -d)
cp -r "$build/tutor/." "$folder"
ours="$folder/tutor"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$home" "$folder"' EXIT
export DISPLAY="$display" HOME="$home"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A program brought to its main window by `steps` (xdotool arguments): its resident memory there in kB, or with
# `idle` first, the hundredths of a core it uses over the next 10 s.
at_main_window() {
    local idle=""
    [ "$1" = idle ] && { idle=1; shift; }
    local steps="$1"
    shift
    "$@" >/dev/null 2>&1 &
    local pid=$!
    xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1
    sleep 1
    # shellcheck disable=SC2086
    xdotool $steps
    sleep 1.5
    if [ -n "$idle" ]; then
        # The nanoseconds on a processor of each of its threads.
        running() { cat "/proc/$pid/task/"*/schedstat 2>/dev/null | awk '{t += $1} END {print t}'; }
        local before after
        before=$(running)
        sleep 10
        after=$(running)
        awk "BEGIN {printf \"%.2f\", ($after - $before) / 1e8}"
    else
        awk '/^VmRSS/ {print $2}' "/proc/$pid/status"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
}
# Ours: the splash clicked away, a name, the folder's message, the message on the X server's keyboard (its US one,
# which the program does not know), the statistics window closed.
ourSteps="mousemove 512 378 click 1 sleep 0.7 type Zoe key Return sleep 1 key Return sleep 1 key Return sleep 1.5 mousemove 512 400 click 1"
peerSteps="key Return"

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }

# A first run of each, not counted, so that both start warm and the peer has made its files.
"$firstwindow" "$ours" >/dev/null
"$firstwindow" "$peer" >/dev/null
ourTimes=() ourMemory=() peerTimes=() peerMemory=() ourMain=() peerMain=()
for _ in $(seq "$runs"); do
    read -r t m < <("$firstwindow" "$ours")
    ourTimes+=("$t") ourMemory+=("$m")
    read -r t m < <("$firstwindow" "$peer")
    peerTimes+=("$t") peerMemory+=("$m")
done
for _ in $(seq "$runs"); do
    rm -rf "$folder/Zoe"
    ourMain+=("$(at_main_window "$ourSteps" "$ours")")
    peerMain+=("$(at_main_window "$peerSteps" "$peer")")
done

# Sitting on the main window, nobody typing: ours with its sound on the silent output, as it opens a device.
rm -rf "$folder/Zoe"
ourIdle=$(at_main_window idle "$ourSteps" env ALSOFT_DRIVERS=null "$ours")
peerIdle=$(at_main_window idle "$peerSteps" "$peer")

ot=$(median "${ourTimes[@]}") pt=$(median "${peerTimes[@]}")
om=$(median "${ourMemory[@]}") pm=$(median "${peerMemory[@]}")
oa=$(median "${ourMain[@]}") pa=$(median "${peerMain[@]}")
echo "first window mapped, median of $runs on $(nproc) cores: ours $ot ms, tipp10 $pt ms, ratio $(ratio "$ot" "$pt")" \
    "(goal: at most 1.00)"
echo "resident 1 s after the first window: ours $((om / 1024)) MB, tipp10 $((pm / 1024)) MB, ratio $(ratio "$om" "$pm")"
echo "resident at the main window: ours $((oa / 1024)) MB (after the identification), tipp10 $((pa / 1024)) MB," \
    "ratio $(ratio "$oa" "$pa") (goal: at most 1.00)"
echo "processor time over 10 s at the main window after the start: ours $ourIdle %, tipp10 $peerIdle % of one core" \
    "(goal: at most 0.5 %)"
