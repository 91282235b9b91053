#!/usr/bin/env bash
# A Samba workstation that stops answering in the middle of a copy (its smbd stopped
# with SIGSTOP): the copy under way waits for its time-out, the workstation's other
# rules and cleanups fail at once, the live files stay as they were, and what the
# cut-off copy left on the share is removed by the next pass that reaches it once a
# minute old. A hung workstation costs one time-out (10 s) beyond the sweep,
# served several at a time one per pool-full. A termination signal is obeyed within a
# second even while a worker waits on one, and no file agent outlives the program,
# even killed outright. As root, in private network and mount namespaces.
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
stopped=$(date +%s%N)
wait "$run" || status=$?
elapsed=$(($(date +%s) - started))
after_stop=$((($(date +%s%N) - stopped) / 1000000))
echo "mesuré : fin de passe ${after_stop} ms après l'arrêt du serveur"
expect "stopped workstation: its three rules failed (exit 1)" \
    '[ "$status" -eq 1 ] && grep -q "^PC01 *;   0;3/3" "$work/out"'
expect "said in French" 'journals | grep -q "^PC01;.*;Le poste ne répond plus;"'
expect "one time-out after the stop, not one per call ($after_stop ms)" '[ "$after_stop" -lt 13000 ]'

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
echo "mesuré : quatre serveurs arrêtés servis quatre à la fois, ${elapsed} s"
for n in 2 3 4 5; do kill -CONT -- "-${stations[n - 1]}"; done
expect "four stopped workstations fail, the healthy one is served (exit 1)" \
    '[ "$status" -eq 1 ] && [ "$(grep -c ";   0;1/1" "$work/out")" -eq 4 ] && grep -q "^PC01 *;   0;0/1" "$work/out"'
# The sweep, then one time-out of 10 s for the four; one at a time they take 40 s.
expect "one wait for the pool-full, not four ($elapsed s)" '[ "$elapsed" -le 25 ]'
expect "nothing left on the stopped workstations" \
    '[ -z "$(find "$work"/pc0[2-5]/partage -type f)" ]'

# A signal while workers wait on stopped servers: obeyed within a second, every row
# printed, no file agent left; kill -9 leaves no agent behind either.
agents() { pgrep -f -- "--agent-fichiers" | wc -l; }
for n in 2 3 4 5; do kill -STOP -- "-${stations[n - 1]}"; done
for signal in TERM KILL; do
    rm -rf "$home"/2*
    # The program itself, not a timeout around it: SIGKILL must reach it.
    VANTREL_HOME=$home "$program" --deployer "$work/pc01.VTR" --simultanes 4 \
        >"$work/out.$signal" 2>"$work/err.$signal" &
    run=$!
    for _ in $(seq 300); do [ "$(agents)" -ge 4 ] && break; sleep 0.1; done
    sleep 1
    kill "-$signal" "$run"
    signalled=$(date +%s%N)
    status=0
    wait "$run" || status=$?
    took=$((($(date +%s%N) - signalled) / 1000000))
    echo "mesuré : SIG$signal obéi en ${took} ms"
    sleep 1
    if [ "$signal" = TERM ]; then
        expect "SIGTERM while workers wait: exit 143 within a second ($took ms)" \
            '[ "$status" -eq 143 ] && [ "$took" -lt 1500 ]'
        expect "SIGTERM: a row for each workstation, the hung ones not done" \
            '[ "$(grep -c ";Non fait$" "$work/out.TERM")" -ge 4 ] && [ "$(wc -l <"$work/out.TERM")" -eq 5 ]'
    fi
    expect "$signal: no file agent a second later" '[ "$(agents)" -eq 0 ]'
done
for n in 2 3 4 5; do kill -CONT -- "-${stations[n - 1]}"; done
expect_summary "$work/err" "$work/out" "$work/err.TERM" "$work/out.TERM"
