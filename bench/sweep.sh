#!/usr/bin/env bash
# The sweep as a user meets it: the real program through --deployer on a ping-only
# deployment of N loopback workstations (127.a.b.c, every one answering), against
# the 0.6 s its four requests take, 200 ms apart: what is beyond is the program's own.
# Prints wall time, its ratio to 0.6 s, peak memory, and the workstations not found
# answering.
# Usage: bench/sweep.sh PROGRAM [--quick]
set -euo pipefail
program=$(readlink -f "$1")
sizes=(1000 10000 100000)
[ "${2:-}" = --quick ] && sizes=(1000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

win() { printf 'Z:%s' "${1//\//\\}"; }
# Each size gets a program folder of its own, removed only at the end: on ext4, files
# made right after many were deleted are slow to make, which no user's pass meets.
for n in "${sizes[@]}"; do
    mkdir -p "$work/programme$n"
    cp "$(dirname "$program")/_Vantrel.VTR" "$work/programme$n/"
    for ((i = 1; i <= n; i++)); do
        printf '127.%d.%d.%d\r\n' $((i >> 16 & 255)) $((i >> 8 & 255)) $((i & 255))
    done >"$work/sweep.LPO"
    : >"$work/sweep.Rgl"
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/sweep.LPO")" \
        "$(win "$work/sweep.Rgl")" >"$work/sweep.VTR"
    /usr/bin/time -f '%e %M' -o "$work/time" env VANTREL_HOME="$work/programme$n" \
        "$program" --deployer "$work/sweep.VTR" >"$work/out" 2>/dev/null || true
    read -r seconds kib <"$work/time"
    printf '%-28s %-16s %10s %10s %8s   peak %d MiB, %d not answering\n' \
        "sweep end to end (wall)" "$n" "$(awk "BEGIN{print $seconds*1000}")" 600 \
        "$(awk "BEGIN{printf \"%.2f\", $seconds/0.6}")" $((kib / 1024)) \
        "$(grep -vc ';   0;' "$work/out" || true)"
done
