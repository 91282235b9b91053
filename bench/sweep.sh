#!/usr/bin/env bash
# The sweep as a user meets it: the real program through --deployer on a ping-only
# deployment of N loopback workstations (127.a.b.c, every one answering), against
# the 0.3 s its four requests take, 100 ms apart: what is beyond is the program's own.
# Prints the median wall time of three runs (and the three), its ratio to 0.3 s, peak
# memory, and the workstations not found answering.
# Usage: bench/sweep.sh PROGRAM [--quick]
set -euo pipefail
program=$(readlink -f "$1")
sizes=(1000 10000 100000)
runs=3
[ "${2:-}" = --quick ] && sizes=(1000) && runs=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

win() { printf 'Z:%s' "${1//\//\\}"; }
# Each run gets a program folder of its own, removed only at the end: on an ext4 without
# a journal (this machine's /), files made within minutes after many were deleted are
# made several times slower (the kernel passes over the inodes just freed), which no
# user's pass meets; a benchmark run just after another meets it all the same.
for n in "${sizes[@]}"; do
    for ((i = 1; i <= n; i++)); do
        printf '127.%d.%d.%d\r\n' $((i >> 16 & 255)) $((i >> 8 & 255)) $((i & 255))
    done >"$work/sweep.LPO"
    : >"$work/sweep.Rgl"
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/sweep.LPO")" \
        "$(win "$work/sweep.Rgl")" >"$work/sweep.VTR"
    times=()
    for ((run = 1; run <= runs; run++)); do
        home=$work/programme$n-$run
        mkdir -p "$home"
        cp "$(dirname "$program")/_Vantrel.VTR" "$home/"
        /usr/bin/time -f '%e %M' -o "$work/time" env VANTREL_HOME="$home" \
            "$program" --deployer "$work/sweep.VTR" >"$work/out" 2>/dev/null || true
        read -r seconds kib <"$work/time"
        times+=("$seconds")
    done
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    printf '%-28s %-16s %10s %10s %8s   peak %d MiB, %d not answering (runs: %s s)\n' \
        "sweep end to end (wall)" "$n" "$(awk "BEGIN{print $median*1000}")" 300 \
        "$(awk "BEGIN{printf \"%.2f\", $median/0.3}")" $((kib / 1024)) \
        "$(grep -vc ';   0;' "$work/out" || true)" "${times[*]}"
done
