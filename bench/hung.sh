#!/usr/bin/env bash
# A pass over real Samba workstations of which some hang (their smbd stopped with
# SIGSTOP: ping and TCP still answer), with --simultanes 1 and 8: the real program end
# to end, as root, in private network and mount namespaces.
# Usage: bench/hung.sh PROGRAM [HUNG, 8] [HEALTHY, 4]
set -euo pipefail
program=$(readlink -f "$1")
hung=${2:-8}
healthy=${3:-4}
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "${VANTREL_BENCH_INSIDE:-}" != 1 ]; then
    exec env VANTREL_BENCH_INSIDE=1 unshare -n -m --propagation private bash "$0" "$@"
fi
. "$here/tests/support/samba-station.sh"
work=$(mktemp -d)
stations=()
cleanup() {
    end_stations
    rm -rf "$work"
}
trap cleanup EXIT
win() { printf 'Z:%s' "${1//\//\\}"; }

ip link set lo up
printf '127.0.0.1 localhost\n' >"$work/hosts"
: >"$work/fleet.LPO"
for ((i = 1; i <= hung + healthy; i++)); do
    printf '127.0.1.%d PC%02d\n' "$i" "$i" >>"$work/hosts"
    printf 'PC%02d\r\n' "$i" >>"$work/fleet.LPO"
done
mount --bind "$work/hosts" /etc/hosts
for ((i = 1; i <= hung + healthy; i++)); do
    samba_station "$work/pc$i" "127.0.1.$i" >/dev/null
    stations+=("$station_pid")
    [ "$i" -le "$hung" ] && kill -STOP -- "-$station_pid"
done
head -c 1024 /dev/urandom >"$work/outil.bin"
printf '%s;\\PARTAGE\r\n' "$(win "$work/outil.bin")" >"$work/fleet.Rgl"
printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/fleet.LPO")" \
    "$(win "$work/fleet.Rgl")" >"$work/fleet.VTR"
mkdir "$work/programme"
echo "# $hung hung and $healthy healthy Samba workstations, one rule of 1 KiB"
for workers in 1 8; do
    rm -rf "$work/programme"/2*
    start=$(date +%s.%N)
    VANTREL_HOME=$work/programme "$program" --deployer "$work/fleet.VTR" --simultanes "$workers" \
        >"$work/out" 2>/dev/null || true
    printf -- '--simultanes %d: %.1f s, %d served without error\n' "$workers" \
        "$(awk "BEGIN{print $(date +%s.%N) - $start}")" "$(grep -c ';   0;0/1' "$work/out" || true)"
done
