#!/usr/bin/env bash
# The SMB part of bench/run.sh, inside its own network namespace (as root), against
# real Samba workstations on loopback addresses:
#  - the copy function alone (an inner figure): 256 MiB against smbclient's put;
#  - whole passes of the real program, "net" = the pass's time minus that of a pass
#    without rules (its fixed pauses), against smbclient put one after another and
#    eight at a time, every target checked byte for byte;
#  - a pass capped with --debit-max against the time the cap allows, and the cap on
#    the wire: the worst window of one and of two seconds of the loopback's traffic;
#  - the peak memory of the program and its file agents (PSS, shared pages once) for a
#    restore of 8 x 60 MiB and a pass of a 1 GiB file.
# Medians of three. Usage: smb.sh VANTREL-BENCH PROGRAM [cap]
#   cap: only the capped passes.
set -euo pipefail
export LC_ALL=C # a decimal point in $EPOCHREALTIME
bench=$1
program=$(readlink -f "$2")
only=${3:-}
. "$(dirname "$0")/../tests/support/samba-station.sh"
work=$(mktemp -d)
stations=()
trap 'end_stations; rm -rf "$work"' EXIT
ip link set lo up
for n in $(seq 16); do
    samba_station "$work/pc$n" "127.0.1.$n" >/dev/null
    stations+=("$station_pid")
done
export HOME=$work/home VANTREL_HOME=$work/programme
unset VANTREL_RESEAU VANTREL_SMB_AUTH VANTREL_SIMULTANES VANTREL_DEBIT_MAX
mkdir -p "$HOME" "$VANTREL_HOME" "$work/src"
cp "$(dirname "$program")/_Vantrel.VTR" "$VANTREL_HOME/"
head -c 32M /dev/urandom >"$work/src/big.bin"
head -c 4M /dev/urandom >"$work/src/mid.bin"
if [ "$only" != cap ]; then
    head -c 256M /dev/urandom >"$work/copy.bin"
    head -c 1K /dev/urandom >"$work/src/small.bin"
    head -c 60M /dev/urandom >"$work/src/v60.bin"
    head -c 1G /dev/urandom >"$work/src/huge.bin"
fi

win() { printf 'Z:%s' "${1//\//\\}"; }
# deployment NAME COUNT RULE...: COUNT workstations taken in turn from the sixteen.
deployment() {
    local name=$1 count=$2 n rule
    shift 2
    for n in $(seq "$count"); do printf '127.0.1.%s\r\n' $(((n - 1) % 16 + 1)); done >"$work/$name.LPO"
    for rule; do printf '%s\\%s\r\n' "$(win "$work/src")" "$rule"; done >"$work/$name.Rgl"
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/$name.LPO")" \
        "$(win "$work/$name.Rgl")" >"$work/$name.VTR"
}
ms() {
    local start
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    echo $((($(date +%s%N) - start) / 1000000))
}
# The shares of COUNT workstations taken in turn from the sixteen, one a line.
shares() {
    local n
    for n in $(seq "$1"); do printf '//127.0.1.%s/PARTAGE\n' $(((n - 1) % 16 + 1)); done
}
export -f shares
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
row() { printf '%-44s %10s %10s %8s\n' "$@"; }
clean() { rm -rf "$work"/pc*/partage/*; }
checked() { # FILE COUNT: the first COUNT workstations hold FILE's bytes
    local n
    for n in $(seq "$2"); do
        cmp -s "$work/src/$1" "$work/pc$n/partage/$1" || echo "DIFFÉRENT: pc$n/$1" >&2
    done
}

echo "# SMB, $(nproc) cores; medians of three; ms"
row figure median ref ratio
if [ "$only" != cap ]; then
ours=() theirs=()
for _ in 1 2 3; do
    ours+=("$(ms "$bench" smbcopy "$work/copy.bin" '\\127.0.1.1\PARTAGE\copy.bin')")
    theirs+=("$(ms smbclient //127.0.1.1/PARTAGE -N -c "put $work/copy.bin ref.bin")")
done
o=$(median "${ours[@]}") r=$(median "${theirs[@]}")
row "copy function (inner) 256 MiB / smbclient" "$o" "$r" "$(awk -v o="$o" -v r="$r" 'BEGIN{printf "%.2f", o/r}')"
clean

deployment none 16
deployment none64 64
# pass FILE COUNT SIMULTANEOUS: the net time of the pass, against smbclient's puts.
pass() {
    local file=$1 count=$2 at_once=$3 name=p$1$2 nets=() clients=() i a b
    [ "$count" -eq 16 ] && b_name=none || b_name=none64
    deployment "$name" "$count" "$file;\\PARTAGE"
    for i in 1 2 3; do
        clean
        a=$(ms "$program" --deployer "$work/$name.VTR" --simultanes "$at_once")
        checked "$file" 16
        b=$(ms "$program" --deployer "$work/$b_name.VTR" --simultanes "$at_once")
        nets+=($((a - b)))
        clients+=("$(ms bash -c "shares $count | xargs -P $at_once -I{} smbclient {} -N -c 'put $work/src/$file ref.bin'")")
    done
    local o r
    o=$(median "${nets[@]}") r=$(median "${clients[@]}")
    row "pass $count x $file, --simultanes $at_once (net)" "$o" "$r" "$(awk -v o="$o" -v r="$r" 'BEGIN{printf "%.2f", o/r}')"
}
pass big.bin 16 1
pass big.bin 16 8
pass small.bin 64 1
pass small.bin 64 8
fi

# The cap: 8 x 32 MiB at 40 Mo/s may take 8 x 33.55 MB / 40 = 6.71 s.
deployment capped 8 'big.bin;\PARTAGE'
deployment none8 8
nets=()
for _ in 1 2 3; do
    clean
    a=$(ms "$program" --deployer "$work/capped.VTR" --simultanes 8 --debit-max 40)
    b=$(ms "$program" --deployer "$work/none8.VTR" --simultanes 8)
    nets+=($((a - b)))
done
o=$(median "${nets[@]}")
row "pass 8 x 32 MiB at --debit-max 40 (net)" "$o" 6711 "$(awk -v o="$o" 'BEGIN{printf "%.2f", o/6711}')"

# The cap on the wire, from the first byte: the loopback's bytes sampled every 0.2 s
# during a capped pass; the worst window of one second and of two, in Mo/s, against
# the cap (the pass's wall time alone would hide a flood followed by idling).
worst_windows() { # CAP VTR: "WORST-1s WORST-2s"
    local samples=$work/samples main
    clean
    "$program" --deployer "$2" --simultanes 8 --debit-max "$1" >/dev/null 2>&1 &
    main=$!
    : >"$samples"
    # The time and the count read together, without starting a process in between;
    # /proc/net/dev is this namespace's (/sys/class/net, the one that mounted it).
    local line now
    while kill -0 "$main" 2>/dev/null; do
        now=$EPOCHREALTIME
        while read -r line; do
            [[ "$line" == lo:* ]] && break
        done </proc/net/dev
        read -r line _ <<<"${line#lo:}"
        echo "$now $line" >>"$samples"
        sleep 0.2
    done
    wait "$main" || true
    awk '{ t[NR] = $1; b[NR] = $2 }
        END {
            for (w = 1; w <= 2; w++) {
                worst = 0
                for (i = 1; i <= NR; i++)
                    for (j = i + 1; j <= NR && t[j] - t[i] <= w + 0.3; j++)
                        if (t[j] - t[i] >= w && (b[j] - b[i]) / (t[j] - t[i]) > worst)
                            worst = (b[j] - b[i]) / (t[j] - t[i])
                printf "%.2f ", worst / 1e6
            }
        }' "$samples"
}
deployment capped4 8 'mid.bin;\PARTAGE'
for cap_case in "2 capped4 mid.bin 8 x 4 MiB" "40 capped big.bin 8 x 32 MiB"; do
    read -r cap vtr file files <<<"$cap_case"
    ones=() twos=()
    for _ in 1 2 3; do
        read -r one two <<<"$(worst_windows "$cap" "$work/$vtr.VTR")"
        ones+=("$one") twos+=("$two")
    done
    checked "$file" 8
    for w in 1 2; do
        [ "$w" = 1 ] && o=$(median "${ones[@]}") || o=$(median "${twos[@]}")
        row "worst ${w} s on the wire, $files at $cap Mo/s" "$o" "$cap" \
            "$(awk -v o="$o" -v c="$cap" 'BEGIN{printf "%.2f", o/c}')"
    done
done
[ "$only" = cap ] && exit 0

# Peak PSS of the program and its agents, sampled every 50 ms.
peak_pss() {
    local peak=0 sum pid
    "$@" >/dev/null 2>&1 &
    local main=$!
    while kill -0 "$main" 2>/dev/null; do
        sum=0
        for pid in $main $(pgrep -P "$main" || true); do
            sum=$((sum + $(awk '/^Pss:/{print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo 0)))
        done
        [ "$sum" -gt "$peak" ] && peak=$sum
        sleep 0.05
    done
    wait "$main" || true
    echo $((peak / 1024))
}
deployment v60 8 'v60.bin;\PARTAGE'
clean
"$program" --deployer "$work/v60.VTR" --simultanes 8 >/dev/null 2>&1 || true
head -c 60M /dev/urandom >"$work/src/v60.bin"
"$program" --deployer "$work/v60.VTR" --simultanes 8 >/dev/null 2>&1 || true
stamp=$(ls -d "$VANTREL_HOME"/2* | tail -n 1 | xargs basename)
row "restore 8 x 60 MiB, --simultanes 8: peak PSS MiB" \
    "$(peak_pss "$program" --restaurer "$work/v60.VTR" --passe "$stamp" --simultanes 8)" 256 ""
deployment huge 1 'huge.bin;\PARTAGE'
row "pass of a 1 GiB file: peak PSS MiB" "$(peak_pss "$program" --deployer "$work/huge.VTR")" 256 ""
checked huge.bin 1
