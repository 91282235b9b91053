#!/usr/bin/env bash
# The SMB part of bench/run.sh, inside its own network namespace: a 256 MiB copy with
# the program's SMB backend against smbclient's put of the same file (medians of five).
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
ours=$("$bench" smbcopy "$work/big.bin" '\\127.0.0.11\PARTAGE\big.bin' 2>/dev/null)
times=()
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    smbclient //127.0.0.11/PARTAGE -N -c "put $work/big.bin ref.bin" >/dev/null 2>&1
    times+=($(( ($(date +%s%N) - start) / 1000000 )))
done
ref=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
awk -v o="$ours" -v r="$ref" 'BEGIN { printf "%-28s %-16s %10.2f %10.2f %8.2f\n", "smb copy vs smbclient put", "256 MiB", o, r, o / r;
    printf "%-28s %-16s %10.2f\n", "  speed ratio (put / ours)", "", r / o }'
cmp -s "$work/big.bin" "$work/pc01/partage/big.bin" || echo "smb copy: content differs!"
