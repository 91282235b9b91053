#!/usr/bin/env bash
# The SMB part of bench/run.sh, inside its own network namespace: a 256 MiB copy with
# the program's SMB backend against smbclient's put of the same file (medians of nine, alternated).
set -euo pipefail
bench=$1
. "$(dirname "$0")/../tests/support/samba-station.sh"
work=$(mktemp -d)
trap 'kill "${station_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
ip link set lo up
mkdir -p "$work/home"
samba_station "$work/pc01" 127.0.0.11
head -c 256M /dev/urandom >"$work/big.bin"
export HOME=$work/home
# Alternate the two so that a change in the machine's load hits both alike.
timed() {
    local start
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || echo "failed: $*" >&2
    echo $((($(date +%s%N) - start) / 1000000))
}
ours=()
theirs=()
for _ in $(seq 9); do
    ours+=("$(timed "$bench" smbcopy "$work/big.bin" '\\127.0.0.11\PARTAGE\big.bin')")
    theirs+=("$(timed smbclient //127.0.0.11/PARTAGE -N -c "put $work/big.bin ref.bin")")
done
median() { printf '%s\n' "$@" | sort -n | sed -n 5p; }
awk -v o="$(median "${ours[@]}")" -v r="$(median "${theirs[@]}")" 'BEGIN {
    printf "%-28s %-16s %10.2f %10.2f %8.2f\n", "smb copy vs smbclient put", "256 MiB", o, r, o / r
    printf "%-28s %-16s %10.2f\n", "  our speed / smbclient'"'"'s", "", r / o }'
cmp -s "$work/big.bin" "$work/pc01/partage/big.bin" || echo "smb copy: content differs!"
