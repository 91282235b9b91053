#!/usr/bin/env bash
# Two unattended runs started together on one program folder (two scheduled jobs in
# the same minute): they take turns, each with its own pass folder, transcripts and
# journal, and each replaced file keeps its own stamped backup. A lock that no running
# program holds (left empty or garbled by a power cut) is taken over at once; a folder
# in its place is named.
. "$(dirname "$0")/common.sh" "$1"
start_work
run() {
    VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 90 "$program" --deployer \
        "$demo/Demo.VTR" >"$work/out$1" 2>"$work/err$1"
}
status1=0
status2=0
run 1 & first=$!
run 2 & second=$!
wait "$first" || status1=$?
wait "$second" || status2=$?
passes=("$home"/2*/)
expect "both runs report their errors (exit 1)" '[ "$status1" -eq 1 ] && [ "$status2" -eq 1 ]'
expect "two pass folders" '[ "${#passes[@]}" -eq 2 ]'
expect "a journal in each" '[ -f "${passes[0]}Infos Déploiement.txt" ] && [ -f "${passes[1]}Infos Déploiement.txt" ]'
expect "the dead workstation never copied to, in either run" \
    '[ "$(journals | grep -c "PC03-ETEINT;PingFail")" -eq 2 ] && ! grep -q "PC03-ETEINT *; *0;" "$work/out1" "$work/out2"'
expect "the version each run replaced kept, stamped" \
    '[ "$(cat "$outils"/outil.exe2*_* | sort | tr -d "\r" | paste -sd,)" = "outil version 1,outil version 2" ]'
expect "the live file is the new version" 'grep -q "version 2" "$outils/outil.exe"'

for leftover in empty garbled; do
    rm -rf "$home"/2*
    case $leftover in
    empty) : >"$home/Vantrel.lock" ;;
    garbled) head -c 300 /dev/urandom >"$home/Vantrel.lock" ;;
    esac
    touch -d '1 minute ago' "$home/Vantrel.lock"
    SECONDS=0
    deployer "$demo/Demo.VTR"
    expect "$leftover lock: taken over, the pass runs (exit 1)" '[ "$status" -eq 1 ] && [ "$SECONDS" -lt 40 ]'
    expect "$leftover lock: released at the end" '[ ! -e "$home/Vantrel.lock" ]'
done
mkdir "$home/Vantrel.lock"
deployer "$demo/Demo.VTR"
expect "a folder named like the lock: exit 2" '[ "$status" -eq 2 ]'
expect "and named in the message" 'grep -q "porte le nom du verrou" "$work/err"'
expect_summary "$work/err1" "$work/err2" "$work/err"
