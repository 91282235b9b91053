#!/usr/bin/env bash
# The SMB part of bench/run.sh, inside its own network namespace: a 256 MiB copy with
# the program's SMB backend against smbclient's put of the same file (medians of five).
set -euo pipefail
bench=$1
work=$(mktemp -d)
trap 'kill $(cat "$work/smbd.pid" 2>/dev/null) 2>/dev/null || true; rm -rf "$work"' EXIT
ip link set lo up
ip addr add 127.0.0.11/8 dev lo
mkdir -p "$work"/{state,lock,private,cache,pid,ncalrpc,share,home}
cat >"$work/smb.conf" <<CONF
[global]
    interfaces = 127.0.0.11
    bind interfaces only = yes
    disable netbios = yes
    smb ports = 445
    state directory = $work/state
    lock directory = $work/lock
    private dir = $work/private
    cache directory = $work/cache
    pid directory = $work/pid
    ncalrpc dir = $work/ncalrpc
    log file = $work/log
    usershare path =
    map to guest = Bad User
    load printers = no
    printing = bsd
    printcap name = /dev/null
    disable spoolss = yes
[PARTAGE]
    path = $work/share
    guest ok = yes
    force user = root
    read only = no
CONF
setsid smbd --foreground --no-process-group -s "$work/smb.conf" </dev/null >/dev/null 2>&1 &
echo $! >"$work/smbd.pid"
for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.11/445) 2>/dev/null && break; sleep 0.1; done
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
cmp -s "$work/big.bin" "$work/share/big.bin" || echo "smb copy: content differs!"
