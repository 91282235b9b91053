#!/usr/bin/env bash
# A pass on a large fleet as a user meets it: the real program through --deployer on
# the folder network, N loopback workstations (127.a.b.c, every one answering), one
# rule of 1 KiB on a fleet that does not have it yet; and the same fleet ping-only.
# What the copy phase costs is the difference. Prints wall times, that difference per
# workstation and peak memory.
# Every pass gets folders of its own, removed only at the end: on ext4, files made
# right after many were deleted are slow to make, which no user's pass meets.
# Usage: bench/fleet.sh PROGRAM [SIZES...] (default 5000 10000 50000 100000)
set -euo pipefail
program=$(readlink -f "$1")
shift
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(5000 10000 50000 100000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "${1//\//\\}"; }
head -c 1024 /dev/urandom >"$work/outil.bin"
: >"$work/none.Rgl"
printf '%s;\\C$\\Outils\r\n' "$(win "$work/outil.bin")" >"$work/one.Rgl"

pass() { # folder of the pass, rule file, extra arguments
    local folder=$1 rules=$2
    shift 2
    mkdir -p "$folder/programme"
    cp "$(dirname "$program")/_Vantrel.VTR" "$folder/programme/"
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/fleet.LPO")" \
        "$(win "$rules")" >"$folder/pass.VTR"
    /usr/bin/time -f '%e %M' -o "$work/time" env VANTREL_HOME="$folder/programme" \
        VANTREL_RESEAU="$folder/reseau" "$program" --deployer "$folder/pass.VTR" "$@" \
        >/dev/null 2>&1 || true
    read -r seconds kib <"$work/time"
}

printf '%-12s %-12s %10s %10s %14s %10s %10s\n' workstations simultanes ping-only pass copies "µs/workstation" peak
for n in "${sizes[@]}"; do
    for ((i = 1; i <= n; i++)); do
        printf '127.%d.%d.%d\n' $((i >> 16 & 255)) $((i >> 8 & 255)) $((i & 255))
    done >"$work/hosts"
    sed 's/$/\r/' "$work/hosts" >"$work/fleet.LPO"
    for workers in 1 8; do
        for kind in ping copy; do
            mkdir -p "$work/$n.$workers.$kind/reseau"
            (cd "$work/$n.$workers.$kind/reseau" && sed 's|$|/C$/Outils|' "$work/hosts" | xargs mkdir -p)
        done
        pass "$work/$n.$workers.ping" "$work/none.Rgl" --simultanes "$workers"
        ping=$seconds
        pass "$work/$n.$workers.copy" "$work/one.Rgl" --simultanes "$workers"
        printf '%-12s %-12s %9ss %9ss %13ss %10s %7d MiB\n' "$n" "$workers" "$ping" "$seconds" \
            "$(awk "BEGIN{printf \"%.2f\", $seconds-$ping}")" \
            "$(awk "BEGIN{printf \"%.0f\", ($seconds-$ping)*1e6/$n}")" $((kib / 1024))
    done
done
