#!/usr/bin/env bash
# An unattended run ended by a signal stops at its next safe point: the copy under
# way is finished whole, the next one not begun, the rows and the journal say who
# was served and who was not, the deployment is not saved; the exit status says
# which signal. Killed outright, it leaves every target
# as it was. A reader that goes away (| head) does
# not keep the deployment from being saved.
. "$(dirname "$0")/common.sh" "$1"
start_work
pass_folder() { ls -d "$home"/2*/ 2>/dev/null | head -1; }
# Waits until the named file exists (a glob), at most 40 s.
await() {
    for _ in $(seq 2000); do
        compgen -G "$1" >/dev/null && return 0
        sleep 0.02
    done
    return 1
}
start() {
    VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 90 "$program" --deployer \
        "$@" >"$work/out" 2>"$work/err" &
    pid=$!
}
finish() { status=0; wait "$pid" 2>/dev/null || status=$?; }
saved=$(md5sum <"$demo/Demo.VTR")

# SIGINT during the sweep, here held by ping programs that never end (the sweep would
# end them after ten seconds): the run ends without waiting for them, nothing is copied.
printf '#!/bin/sh\nexec sleep 60\n' >"$work/ping-muet"
chmod 755 "$work/ping-muet"
VANTREL_PING=$work/ping-muet start "$demo/Demo.VTR" --enregistrer
await "$home/2*/ping2.txt" && kill -INT "$pid"
signalled=$SECONDS
finish
expect "SIGINT: exit 130" '[ "$status" -eq 130 ]'
expect "SIGINT: the sweep not waited out" '[ $((SECONDS - signalled)) -le 5 ]'
expect "SIGINT in the sweep: no copy" 'grep -q "version 1" "$outils/outil.exe" && [ "$(ls "$outils")" = outil.exe ]'
expect "SIGINT: every row not done" '[ "$(grep -c ";####;Non fait$" "$work/out")" -eq 3 ]'
expect "SIGINT: the journal says so, the deployment untouched" \
    'journals | grep -q "^localhost;Non fait : déploiement arrêté" && [ "$(md5sum <"$demo/Demo.VTR")" = "$saved" ]'

# SIGTERM during a large copy: that copy ends whole, the next rule is not begun.
rm -rf "$home"/2*
head -c 1500M /dev/zero >"$demo/Distrib/grand.bin"
{
    printf '%s;\\C$\\Outils\r\n' "$(win "$demo/Distrib/grand.bin")" "$(win "$demo/Distrib/outil.exe")"
} >"$work/big.Rgl"
write_deployment "$work/big.VTR" "$demo/Demo.LPO" "$work/big.Rgl"
start "$work/big.VTR" --enregistrer
await "$outils/grand.bin.vantrel-*" && kill -TERM "$pid"
finish
expect "SIGTERM: exit 143" '[ "$status" -eq 143 ]'
expect "no temporary file left" '! ls -a "$outils" | grep -q vantrel-'
expect "the copy under way ended whole" 'cmp -s "$demo/Distrib/grand.bin" "$outils/grand.bin"'
expect "the next rule not begun" 'grep -q "version 1" "$outils/outil.exe" && ! ls "$outils" | grep -q "outil.exe2"'
expect "its row and its journal line say it was not done" \
    'grep -q "^localhost *;   0;Non fait$" "$work/out" && journals | grep -q "^localhost;Non fait : déploiement arrêté avant la fin de ce poste;"'

# kill -9 during a large copy: the workstation keeps the version it had; what the copy
# left beside it goes at the next pass, once older than a minute, and the pass's copy
# of the source at once (no pass holds the program folder's lock).
printf 'ancienne\r\n' >"$outils/grand.bin"
rm -rf "$home"/2*
start "$work/big.VTR"
await "$outils/grand.bin.vantrel-*" && kill -KILL "$pid"
finish
expect "kill -9: the live file is the version it was" 'grep -q ancienne "$outils/grand.bin"'
expect "kill -9: a partial copy left beside it" 'ls -a "$outils" | grep -q "^grand.bin.vantrel-"'
killed_pass=$(pass_folder)
expect "kill -9: the pass's copy of the source left in its folder" '[ -e "$killed_pass/source1-grand.bin" ]'
touch -d '2 minutes ago' "$outils"/grand.bin.vantrel-*
deployer "$work/big.VTR"
expect "the next pass removes it" '! ls -a "$outils" | grep -q vantrel-'
expect "and the killed pass's copy of the source, not its transcripts" \
    '[ ! -e "$killed_pass/source1-grand.bin" ] && ls "$killed_pass" | grep -q "^ping"'
expect "and puts the new version in place" 'cmp -s "$demo/Distrib/grand.bin" "$outils/grand.bin"'
rm -f "$demo/Distrib/grand.bin" "$outils/grand.bin"

# kill -9 while the new version's last rename is held (strace delays the rename from
# the copy under way, named by the pass's stamp, one of the next few seconds): the live
# name is never missing. The live file is still the version it was, also kept under the
# stamp; the new one waits whole beside it under the program's own name.
if strace -f -o /dev/null true 2>/dev/null; then
    rm -rf "$home"/2* "$outils"/outil.exe?*
    printf 'outil version 1\r\n' >"$outils/outil.exe"
    incoming=()
    for second in $(seq 0 20); do
        incoming+=(-P "$outils/outil.exe.vantrel-$(date -d "+$second sec" +%Y%m%d_%-H%M%S)")
    done
    VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau strace -f -o /dev/null "${incoming[@]}" \
        -e trace=rename,renameat,renameat2 -e inject=rename,renameat,renameat2:delay_enter=20s \
        "$program" --deployer "$demo/Demo.VTR" >"$work/out" 2>"$work/err" &
    tracer=$!
    await "$outils/outil.exe2*" && sleep 2
    kill -KILL "$(pgrep -P "$tracer" | head -1)" || true
    wait "$tracer" 2>/dev/null || true
    expect "kill -9 at the last rename: the live name is there, the version it was" \
        'grep -q "version 1" "$outils/outil.exe"'
    expect "kill -9 at the last rename: that version kept under the stamp" \
        'grep -q "version 1" "$outils"/outil.exe2*'
    expect "kill -9 at the last rename: the new version whole beside it" \
        'cmp -s "$demo/Distrib/outil.exe" "$outils"/outil.exe.vantrel-2*'
else
    echo "SKIP: strace ne peut pas suivre le programme ici (kill -9 au dernier renommage)"
fi

# A closed standard output: the run goes on and saves its deployment.
rm -rf "$home"/2*
set +e
VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 90 "$program" --deployer \
    "$demo/Demo.VTR" --enregistrer 2>"$work/err" | true
status=${PIPESTATUS[0]}
set -e
expect "closed output: exit 1 (errors left), not SIGPIPE" '[ "$status" -eq 1 ]'
expect "closed output: the deployment saved" 'grep -q "^localhost *;   0;0/2" "$demo/Demo.VTR"'
expect_summary "$work/err"
