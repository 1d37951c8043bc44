#!/usr/bin/env bash
# Runs a command beside a PulseAudio server of its own: a private runtime folder, one null sink as the default
# output (its monitor is the default input), nothing else loaded, stopped afterwards. Without the pulseaudio
# program it says so and runs nothing.
#
#   bench/with-pulse.sh COMMAND [ARGUMENTS...]
set -euo pipefail
if ! command -v pulseaudio >/dev/null; then
    echo "no PulseAudio server here (Debian's pulseaudio package): the figures through it are not measured"
    exit 0
fi
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" PULSE_RUNTIME_PATH="$runtime/pulse" PULSE_SERVER="unix:$runtime/pulse/native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr --log-level=error \
    -L "module-native-protocol-unix auth-anonymous=1" -L "module-null-sink sink_name=bench" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do [ -S "$runtime/pulse/native" ] && break; sleep 0.05; done
if [ ! -S "$runtime/pulse/native" ]; then
    echo "the PulseAudio server did not start: the figures through it are not measured"
    exit 0
fi
"$@"
