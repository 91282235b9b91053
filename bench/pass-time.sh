#!/usr/bin/env bash
# What a whole pass costs as a user meets it: the real program through --deployer, in
# private network and mount namespaces (as root), medians of three wall times, each
# against the time a pass should take at most:
#  - 3 workstations x one rule of 1 KiB on the folder network;
#  - the same with a fourth workstation that does not answer (an unreachable route);
#  - 8 names whose DNS server never answers, listed first, then 7 that answer: every
#    one of those 7 must be served;
#  - 64 workstations x 1 KiB over SMB, --simultanes 8 (64 Samba workstations, one smbd
#    each on an address of its own);
#  - a ping-only sweep of 100,000 loopback workstations, every one answering (once).
# Usage: bench/pass-time.sh PROGRAM [--quick]   (--quick: no SMB, no 100,000)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "${VANTREL_INSIDE:-}" != 1 ]; then
    if [ "$(id -u)" -ne 0 ] || ! unshare -n -m true 2>/dev/null; then
        echo "pass time: skipped (needs root)"
        exit 0
    fi
    exec env VANTREL_INSIDE=1 unshare -n -m --propagation private bash "$0" "$@"
fi
program=$(readlink -f "$1")
quick=${2:-}
. "$here/tests/support/samba-station.sh"
work=$(mktemp -d)
stations=()
trap 'end_stations; rm -rf "$work"' EXIT
ip link set lo up
ip route add unreachable 127.0.0.14/32
# A DNS server that never answers: its address is routed to the loopback, which
# drops without a word what is not for this machine.
ip route add 10.53.0.0/24 dev lo
printf 'nameserver 10.53.0.2\noptions timeout:5 attempts:2\n' >"$work/resolv.conf"
mount --bind "$work/resolv.conf" /etc/resolv.conf
{
    printf '127.0.0.1 localhost\n'
    for i in 1 2 3 4 5 6 7; do printf '127.0.0.%d poste%d\n' $((20 + i)) "$i"; done
} >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts
export HOME=$work/home
unset VANTREL_RESEAU VANTREL_SMB_AUTH VANTREL_SIMULTANES VANTREL_DEBIT_MAX VANTREL_PING
mkdir -p "$HOME" "$work/src"
head -c 1K /dev/urandom >"$work/src/small.bin"

win() { printf 'Z:%s' "${1//\//\\}"; }
# deployment NAME RULE-FILE HOST...: a deployment of these workstations.
deployment() {
    local name=$1 rules=$2
    shift 2
    printf '%s\r\n' "$@" >"$work/$name.LPO"
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/$name.LPO")" \
        "$(win "$rules")" >"$work/$name.VTR"
}
printf '%s\\small.bin;\\PARTAGE\r\n' "$(win "$work/src")" >"$work/one.Rgl"
: >"$work/none.Rgl"
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
row() { printf '%-56s %8s %8s %6s   %s\n' "$@"; }
# run NAME [ARGS...]: one pass in a program folder and a folder network of its own;
# prints its wall time in ms and leaves its rows in $work/out, the program's own CPU
# time (user + system, s) in $work/cpu: on one machine the servers' time is in the wall.
run() {
    local name=$1 folder start
    shift
    folder=$(mktemp -d "$work/run.XXXX")
    mkdir -p "$folder/programme"
    cp "$(dirname "$program")/_Vantrel.VTR" "$folder/programme/"
    if [ -z "${network:-}" ]; then # every workstation has the share
        while read -r host; do mkdir -p "$folder/reseau/$host/PARTAGE"; done < <(tr -d '\r' <"$work/$name.LPO")
    fi
    start=$(date +%s%N)
    /usr/bin/time -f '%U %S' -o "$work/time" \
        env VANTREL_HOME="$folder/programme" VANTREL_RESEAU="${network:-$folder/reseau}" \
        "$program" --deployer "$work/$name.VTR" "$@" >"$work/out" 2>/dev/null || true
    echo $((($(date +%s%N) - start) / 1000000))
    awk 'END{print $1 + $2}' "$work/time" >"$work/cpu"
}
# measure FIGURE GOAL-MS NAME [ARGS...]: the median of three runs; the last's rows
# say how many workstations were served.
measure() {
    local figure=$1 goal=$2 name=$3 times=()
    shift 3
    for _ in 1 2 3; do times+=("$(run "$name" "$@")"); done
    local m
    m=$(median "${times[@]}")
    row "$figure" "$m" "$goal" "$(awk -v m="$m" -v g="$goal" 'BEGIN{printf "%.2f", m/g}')" \
        "$(grep -c ';   0;0/1 *$\|;   0;  Void *$' "$work/out" || true) of $(grep -c . "$work/out" || true) rows served or answering, program CPU $(cat "$work/cpu") s"
}

echo "# whole passes, end to end, $(nproc) cores, $(uptime | sed 's/.*load average/load average/'); ms"
row figure median goal ratio ""
deployment three "$work/one.Rgl" 127.0.0.11 127.0.0.12 127.0.0.13
measure "pass of 3 x 1 KiB, folder network" 1000 three
deployment silent "$work/one.Rgl" 127.0.0.11 127.0.0.12 127.0.0.13 127.0.0.14
measure "pass of 3 answering + 1 silent" 4500 silent
lame=()
for i in 1 2 3 4 5 6 7 8; do lame+=("lent$i.exemple.test"); done
deployment lame "$work/one.Rgl" "${lame[@]}" poste1 poste2 poste3 poste4 poste5 poste6 poste7
measure "pass of 7 answering after 8 names the DNS never answers" 8000 lame
# The SMB client looks names up too: the silent DNS server is for the case above only.
umount /etc/resolv.conf
ip route del unreachable 127.0.0.14/32

if [ "$quick" != --quick ] && command -v smbd >/dev/null; then
    hosts=()
    for n in $(seq 64); do
        samba_station "$work/pc$n" "127.0.1.$n" >/dev/null
        stations+=("$station_pid")
        hosts+=("127.0.1.$n")
    done
    deployment smb "$work/one.Rgl" "${hosts[@]}"
    network=smb measure "pass of 64 x 1 KiB over SMB, --simultanes 8" 2000 smb --simultanes 8
fi

if [ "$quick" != --quick ]; then
    hosts=()
    for ((i = 1; i <= 100000; i++)); do
        hosts+=("127.$((i >> 16 & 255)).$((i >> 8 & 255)).$((i & 255))")
    done
    printf '%s\r\n' "${hosts[@]}" >"$work/sweep.LPO"
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/sweep.LPO")" \
        "$(win "$work/none.Rgl")" >"$work/sweep.VTR"
    network=$work/nowhere measure "sweep of 100,000 answering workstations" 3000 sweep
fi
