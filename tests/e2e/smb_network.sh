#!/usr/bin/env bash
# End to end on a network of real workstations: each one its own 127.0.0.x address
# and its own smbd, inside a private network and mount namespace made for the test
# (nothing leaves it), names from a hosts file bound over /etc/hosts.
#   PC01  answers; its Outils folder is empty
#   PC02  answers; an older outil.exe is there
#   PC03  answers; no Outils folder
#   PC04  dead (unreachable route)
#   PC05  refuses guests: files only with the right password
#   PC06  dead in the first pass, up before the retry
#   fd00:17::7  an IPv6 workstation known by its address
#   pc01.zone.test  PC01's other name, for a workstation listed under several names
# Usage: smb_network.sh PROGRAM   (as root)
set -euo pipefail
program=$(readlink -f "$1")
support=$(cd "$(dirname "$0")/../support" && pwd)
command -v smbd >/dev/null || { echo "smbd manque (paquet samba)"; exit 1; }
. "$support/private-network.sh" "$0" "$program"

. "$support/samba-station.sh"
. "$support/expect.sh"
work=$(mktemp -d)
pids=()
cleanup() {
    # PC06's smbd is started by a background subshell: its pid comes through a file.
    [ -f "$work/pc06.pid" ] && pids+=("$(cat "$work/pc06.pid")")
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${VANTREL_KEEP_TEST:-}" ] && echo "laissé dans $work" || rm -rf "$work"
}
trap cleanup EXIT

ip link set lo up
hosts=$work/hosts
printf '127.0.0.1 localhost\n' >"$hosts"
for n in 1 2 3 4 5 6; do
    printf '127.0.0.1%s PC0%s\n' "$n" "$n" >>"$hosts"
done
mount --bind "$hosts" /etc/hosts
ip route add unreachable 127.0.0.14/32
ip route add unreachable 127.0.0.16/32

# One workstation: an address of its own (a dead one has none, and an unreachable
# route), its folders and its smbd.
declare -A smbd_pid
start_station() { # number, password (none: guests welcome)
    samba_station "$work/pc0$1" "127.0.0.1$1" "${2:-}" || exit 1
    smbd_pid[$1]=$station_pid
    pids+=("$station_pid")
}
for n in 1 2 3; do start_station "$n"; done
start_station 5 secret-5
mkdir -p "$work/pc01/partage/Outils" "$work/pc02/partage/Outils"
printf 'version 1\r\n' >"$work/pc02/partage/Outils/outil.exe"

export HOME=$work/home VANTREL_HOME=$work/programme
unset VANTREL_RESEAU VANTREL_SMB_AUTH
mkdir -p "$HOME" "$VANTREL_HOME" "$work/src"
cp "$(dirname "$program")/_Vantrel.VTR" "$VANTREL_HOME/"
printf 'version 2\r\n' >"$work/src/outil.exe"
head -c 120M /dev/urandom >"$work/src/gros.bin"

win() { printf 'Z:%s' "${1//\//\\}"; }
# deployment NAME "STATIONS" RULE... (a rule: SOURCE_FILE;\DESTINATION)
deployment() {
    local name=$1 stations=$2
    shift 2
    tr ' ' '\n' <<<"$stations" | sed 's/$/\r/' >"$work/$name.LPO"
    local rule
    for rule; do printf '%s\\%s\r\n' "$(win "$work/src")" "$rule"; done >"$work/$name.Rgl"
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/$name.LPO")" \
        "$(win "$work/$name.Rgl")" >"$work/$name.VTR"
}
run() { # name, options...
    local name=$1
    shift
    status=0
    "$program" --deployer "$work/$name.VTR" "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
    journal=$(ls -t "$VANTREL_HOME"/2*/"Infos D"*.txt | head -n 1)
    iconv -f WINDOWS-1252 -t UTF-8 "$journal" | tr -d "\r" >"$work/$name.journal"
}
rows() { # name, expected rows...
    local name=$1
    shift
    printf '%s\n' "$@" | diff - "$work/$name.out" >/dev/null
}
no_partial() { [ -z "$(find "$work"/pc0? -name '*.vantrel-*' 2>/dev/null)" ]; }

# 1. A whole deployment, real ping and real SMB.
deployment main "PC01 PC02 PC03 PC04" 'outil.exe;\PARTAGE\Outils' 'gros.bin;\PARTAGE\Outils'
# Served three at a time (each worker with a network of its own): the one-at-a-time result,
# its copies held together under 100 Mo/s: 2 x 125.8 MB take 2.5 s beyond the pass
# without rules (its sweep waits for the dead PC04).
deployment sweep "PC01 PC02 PC03 PC04"
started=$(date +%s%N)
"$program" --deployer "$work/sweep.VTR" >/dev/null 2>&1 || true # a ping-only pass: no journal
sweep_ms=$((($(date +%s%N) - started) / 1000000))
started=$(date +%s%N)
run main --enregistrer --simultanes 3 --debit-max 100
took_ms=$((($(date +%s%N) - started) / 1000000))
expect "main: errors remain" '[ $status -eq 1 ]'
expect "main: the cap holds the copies back (${took_ms} ms, ${sweep_ms} ms without rules)" \
    '[ "$took_ms" -ge $((sweep_ms + 2260)) ]'
expect "main: rows" 'rows main "PC04              ; 100;  Void  " "PC01              ;   0;0/2     " "PC02              ;   0;0/2     " "PC03              ;   0;2/2     "'
expect "main: new files on PC01" 'cmp -s "$work/src/outil.exe" "$work/pc01/partage/Outils/outil.exe"'
expect "main: 120 MB file" 'cmp -s "$work/src/gros.bin" "$work/pc01/partage/Outils/gros.bin"'
expect "main: older version stamped on PC02" 'grep -q "version 1" "$work"/pc02/partage/Outils/outil.exe2*'
expect "main: new version on PC02" 'grep -q "version 2" "$work/pc02/partage/Outils/outil.exe"'
expect "main: no folder made on PC03" '[ -z "$(ls -A "$work/pc03/partage")" ]'
expect "main: missing folder in the journal" 'grep -q "PC03;.*gros.bin;\\\\PARTAGE\\\\Outils;Chemin d.accès introuvable" "$work/main.journal"'
expect "main: dead workstation" 'grep -q "^PC04;PingFail" "$work/main.journal"'
expect "main: saved" '[ -f "$work/main.BAK" ] && grep -q "PC01              ;   0;0/2" "$work/main.VTR"'

# A preview over SMB, two at a time, comparing bytes: nothing changes on any share.
tree() { (cd "$work" && find pc0?/partage -printf '%p %s %T@\n' | sort && find pc0?/partage -type f -exec md5sum {} + | sort); }
tree >"$work/before"
status=0
"$program" --deployer "$work/main.VTR" --simuler --si-different --simultanes 2 \
    >"$work/preview.out" 2>"$work/preview.err" || status=$?
cat "$work/preview.out" >>"$work/preview.err" # shown with the others on a failure
expect "preview: exit 1, what each rule would do" \
    '[ $status -eq 1 ] && grep -qx "PC01;.*gros.bin;inchangé" "$work/preview.out" && grep -qx "PC04;PingFail" "$work/preview.out" && grep -q "^PC03;.*Chemin d.accès introuvable$" "$work/preview.out"'
expect "preview: nothing changed on any share" 'tree | diff "$work/before" -'

# An IPv6 workstation written as its address: pinged over ICMPv6, served over SMB.
samba_station "$work/pc07" fd00:17::7 || exit 1
pids+=("$station_pid")
deployment ipv6 "fd00:17::7" 'outil.exe;\PARTAGE'
run ipv6
expect "ipv6: served by its address" '[ $status -eq 0 ] && rows ipv6 "fd00:17::7        ;   0;0/1     " && cmp -s "$work/src/outil.exe" "$work/pc07/partage/outil.exe"'

# A name of 240 characters, served twice: the copy under way and the library's own
# temporary file fit in a name, and the version replaced is kept under 255 characters.
long=$(printf 'n%.0s' $(seq 236)).exe
printf 'long 1\r\n' >"$work/src/$long"
deployment long "fd00:17::7" "$long;\PARTAGE"
run long
first=$status
printf 'long 2\r\n' >"$work/src/$long"
run long
expect "a 240-character name: served twice, the first version kept" \
    '[ "$first" -eq 0 ] && [ $status -eq 0 ] && grep -q "long 2" "$work/pc07/partage/$long" && grep -q "long 1" "$work/pc07/partage/$long"2* && no_partial'

# 2. Faults. Each rule's line replaces what a workstation's line held, so each
# failure to read is the last rule of its run.
deployment readonly "PC01" 'outil.exe;\LECTURE'
run readonly
expect "faults: read-only share" 'grep -q "^PC01;.*.LECTURE;Permission refusée;$" "$work/readonly.journal"'
deployment faults "PC01 PC03" 'outil.exe;\PARTAGE' 'outil.exe;\ABSENT'
# PC03 still answers the ping, its server stopped.
kill "${smbd_pid[3]}"
for _ in $(seq 50); do kill -0 "${smbd_pid[3]}" 2>/dev/null || break; sleep 0.1; done
started=$(date +%s)
run faults
elapsed=$(( $(date +%s) - started ))
expect "faults: rows" 'rows faults "PC01              ;   0;1/2     " "PC03              ;   0;2/2     "'
expect "faults: missing share" 'grep -q "^PC01;.*.ABSENT;Partage introuvable;$" "$work/faults.journal"'
expect "faults: stopped server" 'grep -q "^PC03;.*;Poste injoignable;$" "$work/faults.journal"'
expect "faults: bounded waits ($elapsed s)" '[ "$elapsed" -lt 40 ]'
expect "faults: no partial file" 'no_partial'

# 3. Credentials.
deployment auth "PC05" 'outil.exe;\PARTAGE'
printf 'username = root\npassword = secret-5\n' >"$work/auth"
chmod 644 "$work/auth"
VANTREL_SIMULTANES=2 VANTREL_SMB_AUTH=$work/auth run auth
expect "auth: readable file refused" 'grep -q "Fichier d.authentification lisible" "$work/auth.journal" && [ ! -e "$work/pc05/partage/outil.exe" ]'
VANTREL_SIMULTANES=2 VANTREL_SMB_AUTH=$work/absent run auth
expect "auth: a missing file said as such" 'grep -q "PC05;.*;Fichier d.authentification (VANTREL_SMB_AUTH) introuvable" "$work/auth.journal"'
VANTREL_SIMULTANES=2 VANTREL_SMB_AUTH=$work run auth
expect "auth: a folder said as such" 'grep -q "PC05;.*;Fichier d.authentification (VANTREL_SMB_AUTH) : ce nom ne désigne pas un fichier ordinaire" "$work/auth.journal"'
chmod 600 "$work/auth"
printf 'username = root\npassword = faux\n' >"$work/wrong"
chmod 600 "$work/wrong"
VANTREL_SIMULTANES=2 VANTREL_SMB_AUTH=$work/wrong run auth
expect "auth: wrong password" 'grep -q "PC05;.*;Ouverture de session refusée" "$work/auth.journal"'
VANTREL_SIMULTANES=2 VANTREL_SMB_AUTH=$work/auth run auth
expect "auth: right password" '[ $status -eq 0 ] && cmp -s "$work/src/outil.exe" "$work/pc05/partage/outil.exe"'
expect "auth: no password anywhere" '! grep -rq "secret-5" "$work"/*.out "$work"/*.err "$work"/*.journal "$VANTREL_HOME"'

# 4. A retry cycle: PC06 is dead in the first pass and up before the retry.
deployment retry "PC06 PC01" 'outil.exe;\PARTAGE'
first=$(ls "$VANTREL_HOME" | grep -c '^2' || true)
(
    while [ "$(ls "$VANTREL_HOME" | grep -c '^2' || true)" -le "$first" ] ||
        [ -z "$(ls "$VANTREL_HOME"/2*/"Infos D"*.txt 2>/dev/null | sort | tail -n 1 | xargs -r -d '\n' grep -l PC06)" ]; do
        sleep 0.2
    done
    ip route del unreachable 127.0.0.16/32
    start_station 6
    echo "$station_pid" >"$work/pc06.pid"
    sleep 600
) &
pids+=($!)
run retry --recursif --essais 1 --delai 1
expect "retry: files after the retry" '[ $status -eq 0 ] && cmp -s "$work/src/outil.exe" "$work/pc06/partage/outil.exe"'
expect "retry: two passes of rows" '[ "$(grep -c "^PC06" "$work/retry.out")" -eq 2 ] && tail -n 2 "$work/retry.out" | grep -q "^PC06              ;   0;0/1"'

# 5. The history over SMB: three passes keeping two versions, the last one undone.
# notes.txt appears before the last pass only: that pass makes it, with no backup.
deployment history "PC02 PC04" 'outil.exe;\PARTAGE\Outils' 'notes.txt;\PARTAGE\Outils' \
    'gros.bin;\PARTAGE\Outils'
newest_pass() { ls -d "$VANTREL_HOME"/2*/ | sort -t_ -k1,1 -k2,2n | tail -n 1 | xargs basename; }
pc02=$work/pc02/partage/Outils
for version in 3 4 5; do
    printf 'version %s\r\n' "$version" >"$work/src/outil.exe"
    [ "$version" = 5 ] && printf 'notes\r\n' >"$work/src/notes.txt"
    run history --garder 2
    eval "pass$version=$(newest_pass)"
done
expect "history: --garder 2 keeps the two newest" \
    '[ "$(ls "$pc02" | grep -c "^outil.exe2")" -eq 2 ] && grep -q "version 4" "$pc02/outil.exe$pass5" && grep -q "version 3" "$pc02/outil.exe$pass4"'
status=0
"$program" --restaurer "$work/history.VTR" --passe "$pass5" --simultanes 4 >"$work/restore.out" 2>"$work/restore.err" || status=$?
restored=$(newest_pass)
expect "restore: the dead workstation counted (exit 1)" '[ $status -eq 1 ] && rows restore "PC04              ; 100;  Void  " "PC02              ;   0;0/3     "'
expect "restore: a 120 MB version put back, a block at a time" 'cmp -s "$work/src/gros.bin" "$pc02/gros.bin" && cmp -s "$work/src/gros.bin" "$pc02/gros.bin$restored"'
expect "restore: version 4 live, version 5 kept under the restore's stamp" \
    'grep -q "version 4" "$pc02/outil.exe" && grep -q "version 5" "$pc02/outil.exe$restored" && grep -q "version 4" "$pc02/outil.exe$pass5"'
expect "restore: a file the pass made is left as it is" '[ -f "$pc02/notes.txt" ] && [ ! -e "$pc02/notes.txt$restored" ]'
expect "restore: no partial file" 'no_partial'
status=0
"$program" --historique "$work/history.VTR" >"$work/listing.out" 2>"$work/listing.err" || status=$?
expect "listing: live, then newest first" \
    'grep "^PC02;.*outil.exe;" "$work/listing.out" | cut -d";" -f3 | diff - <(printf "%s\n" "en place" "$restored" "$pass5" "$pass4")'
expect "listing: the dead workstation" '[ $status -eq 1 ] && grep -qx "PC04;PingFail" "$work/listing.out"'
status=0
"$program" --restaurer "$work/history.VTR" --passe hier >/dev/null 2>&1 || status=$?
expect "restore: a wrong stamp refused (exit 2)" '[ $status -eq 2 ]'

# 6. One workstation under several names, eight workers at once: PC01 by its name, by
# another name, by that name with a final dot and by its address; fd00:17::7 in two
# forms. Each is served once (its file replaced once, one backup), never by two
# workers at a time; the other entries' rows and journal lines name the first. (The
# resolver finds no name with a final dot in a hosts file: that one leads nowhere, and
# is still the same name.)
printf '127.0.0.11 pc01.zone.test\n' >>"$hosts"
for station in pc01 pc07; do
    mkdir -p "$work/$station/partage/Double"
    printf 'f4 version 1\r\n' >"$work/$station/partage/Double/f4.bin"
done
printf 'f4 version 2\r\n' >"$work/src/f4.bin"
deployment twice "PC01 pc01.zone.test pc01.zone.test. 127.0.0.11 fd00:17::7 fd00:17:0:0::7" \
    'f4.bin;\PARTAGE\Double'
run twice --simultanes 8
cat "$work/twice.out" >>"$work/twice.err" # shown with the others on a failure
expect "two names: exit 0, a row for each entry" '[ $status -eq 0 ] && rows twice \
    "PC01              ;   0;0/1     " "pc01.zone.test    ;   0;même poste que PC01" \
    "pc01.zone.test.   ;####;même poste que PC01" "127.0.0.11        ;   0;même poste que PC01" \
    "fd00:17::7        ;   0;0/1     " "fd00:17:0:0::7    ;   0;même poste que fd00:17::7"'
served_once() { # station: the new version live, the old one kept once
    grep -q "f4 version 2" "$work/$1/partage/Double/f4.bin" &&
        [ "$(ls "$work/$1/partage/Double" | grep -c "^f4.bin2")" -eq 1 ] &&
        grep -q "f4 version 1" "$work/$1/partage/Double"/f4.bin2*
}
expect "two names: each workstation served once" 'served_once pc01 && served_once pc07 && no_partial'
expect "two names: the journal names the first" \
    'grep -qx "127.0.0.11;même poste que PC01" "$work/twice.journal" && grep -qx "fd00:17:0:0::7;même poste que fd00:17::7" "$work/twice.journal"'

expect_summary "$work"/*.err
