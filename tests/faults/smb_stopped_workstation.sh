#!/usr/bin/env bash
# A Samba workstation that stops answering in the middle of a copy (its smbd stopped
# with SIGSTOP): the copy under way waits for its time-out, the workstation's other
# rules fail at once, the live files stay as they were, and what the cut-off copy left
# on the share is removed by the next pass that reaches it once a minute old. Served
# several at a time, stopped workstations cost one time-out per pool-full, not one
# each. As root, in private network and mount namespaces.
. "$(dirname "$0")/common.sh" "$1"
command -v smbd >/dev/null || { echo "SKIP: smbd absent (paquet samba)"; exit 77; }
in_private_mounts -n
start_work
. "$here/tests/support/samba-station.sh"
stations=()
cleanup() {
    end_stations
    rm -rf "$work"
}
trap cleanup EXIT

ip link set lo up
printf '127.0.0.1 localhost\n' >"$work/hosts"
for n in 1 2 3 4 5; do printf '127.0.0.1%d PC0%d\n' "$n" "$n"; done >>"$work/hosts"
mount --bind "$work/hosts" /etc/hosts
samba_station "$work/pc01" 127.0.0.11
station=$station_pid
stations+=("$station")
outils=$work/pc01/partage/Outils
mkdir -p "$outils"
head -c 200M /dev/urandom >"$demo/Distrib/gros.bin"
printf 'PC01\r\n' >"$work/pc01.LPO"
for file in gros.bin outil.exe outil.ini; do
    printf '%s;\\PARTAGE\\Outils\r\n' "$(win "$demo/Distrib/$file")"
done >"$work/pc01.Rgl"
write_deployment "$work/pc01.VTR" "$work/pc01.LPO" "$work/pc01.Rgl"
smb() { VANTREL_HOME=$home timeout 120 "$program" --deployer "$work/pc01.VTR" >"$work/out" 2>"$work/err"; }

status=0
started=$(date +%s)
smb &
run=$!
for _ in $(seq 3000); do compgen -G "$outils/gros.bin.vantrel-*" >/dev/null && break; sleep 0.01; done
kill -STOP -- "-$station"
wait "$run" || status=$?
elapsed=$(($(date +%s) - started))
expect "stopped workstation: its three rules failed (exit 1)" \
    '[ "$status" -eq 1 ] && grep -q "^PC01 *;   0;3/3" "$work/out"'
expect "said in French" 'journals | grep -q "^PC01;.*;Le poste ne répond plus;"'
expect "one time-out, not one per rule ($elapsed s)" '[ "$elapsed" -lt 45 ]'

kill -CONT -- "-$station"
expect "the cut-off copy left beside the target, not in its place" \
    'ls -a "$outils" | grep -q "^gros.bin.vantrel-" && [ ! -e "$outils/gros.bin" ]'
touch -d '2 minutes ago' "$outils"/*.vantrel-*
rm -rf "$home"/2*
status=0
smb || status=$?
expect "the workstation back: everything copied (exit 0)" '[ "$status" -eq 0 ]'
expect "the large file whole" 'cmp -s "$demo/Distrib/gros.bin" "$outils/gros.bin"'
expect "no temporary file left" '! ls -a "$outils" | grep -q vantrel-'

# Four workstations stopped before the pass (ping and TCP still answer), served four
# at a time beside a healthy one: one time-out for the four, and nothing left on them.
for n in 2 3 4 5; do
    samba_station "$work/pc0$n" "127.0.0.1$n"
    stations+=("$station_pid")
    mkdir -p "$work/pc0$n/partage/Outils"
    kill -STOP -- "-$station_pid"
done
printf 'PC02\r\nPC03\r\nPC04\r\nPC05\r\nPC01\r\n' >"$work/pc01.LPO"
printf '%s;\\PARTAGE\\Outils\r\n' "$(win "$demo/Distrib/outil.ini")" >"$work/pc01.Rgl"
rm -rf "$home"/2*
started=$(date +%s)
status=0
VANTREL_HOME=$home timeout 120 "$program" --deployer "$work/pc01.VTR" --simultanes 4 \
    >"$work/out" 2>"$work/err" || status=$?
elapsed=$(($(date +%s) - started))
for n in 2 3 4 5; do kill -CONT -- "-${stations[n - 1]}"; done
expect "four stopped workstations fail, the healthy one is served (exit 1)" \
    '[ "$status" -eq 1 ] && [ "$(grep -c ";   0;1/1" "$work/out")" -eq 4 ] && grep -q "^PC01 *;   0;0/1" "$work/out"'
# A stopped server holds a connection about 20 s; one at a time the four take 80 s more.
expect "one wait for the pool-full, not four ($elapsed s)" '[ "$elapsed" -lt 60 ]'
expect "nothing left on the stopped workstations" \
    '[ -z "$(find "$work"/pc0[2-5]/partage -type f)" ]'
expect_summary "$work/err" "$work/out"
