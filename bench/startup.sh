#!/usr/bin/env bash
# The program's start, as a whole process: from launch to the splash shown and painted, five times, with the
# peak memory that the kernel reports. Headless, on the silent sound output.
set -euo pipefail
program="$1"
runs=5
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for i in $(seq $runs); do
    QT_QPA_PLATFORM=offscreen ALSOFT_DRIVERS=null TUTOR_STARTUP_PROBE=1 \
        /usr/bin/time -f "wall %e peak %M" "$program" >>"$out" 2>&1
done
median() { sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }
shown=$(grep 'splash shown' "$out" | awk '{print $4}' | median)
wall=$(grep '^wall' "$out" | awk '{print $2}' | median)
peak=$(grep '^wall' "$out" | awk '{print $4}' | median)
echo "start-up to splash shown, median of $runs: ${shown} ms inside the program, ${wall} s for the whole process, peak memory ${peak} kB"
