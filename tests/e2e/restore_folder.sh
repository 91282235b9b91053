#!/usr/bin/env bash
# Undoing a deployment on the demo folder network: three passes with --garder 2, a
# restore of the last one, the history listed, a wrong stamp refused.
. "$(dirname "$0")/../faults/common.sh" "$1"
start_work
export VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau
run() { # NAME ARGS...: status in $status, outputs in $work/NAME.out and .err
    local name=$1
    shift
    status=0
    "$program" "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
}
newest_pass() { ls -d "$VANTREL_HOME"/2*/ | sort -t_ -k1,1 -k2,2n | tail -n 1 | xargs basename; }

for version in 2 3 4; do
    printf 'outil version %s\r\n' "$version" >"$demo/Distrib/outil.exe"
    # Before the last pass outil.ini goes: that pass makes it anew, with no backup.
    [ "$version" = 4 ] && rm "$outils/outil.ini"
    run "pass$version" --deployer "$demo/Demo.VTR" --garder 2
    eval "stamp$version=$(newest_pass)"
done
expect "passes: errors of the demo remain (exit 1)" '[ "$status" -eq 1 ]'
expect "--garder 2: the two newest versions only" \
    '[ "$(ls "$outils" | grep -c "^outil.exe2")" -eq 2 ] && grep -q "version 3" "$outils/outil.exe$stamp4" && grep -q "version 2" "$outils/outil.exe$stamp3"'
expect "live version 4" 'grep -q "version 4" "$outils/outil.exe"'

run restore --restaurer "$demo/Demo.VTR" --passe "$stamp4"
restore_stamp=$(newest_pass)
expect "restore: exit 1, the dead workstation counted" '[ "$status" -eq 1 ]'
expect "restore: rows in the board's format" \
    'diff <(printf "%s\n" "PC03-ETEINT       ; 100;  Void  " "localhost         ;   0;0/2     " "127.0.0.2         ;   0;2/2     ") "$work/restore.out"'
expect "restore: version 3 live again" 'grep -q "version 3" "$outils/outil.exe"'
expect "restore: version 4 kept under the restore's stamp" 'grep -q "version 4" "$outils/outil.exe$restore_stamp"'
expect "restore: the restored version stays in the history" 'grep -q "version 3" "$outils/outil.exe$stamp4"'
expect "restore: a rule without a version from that pass is untouched" \
    '[ -f "$outils/outil.ini" ] && [ ! -e "$outils/outil.ini$restore_stamp" ]'
journal=$VANTREL_HOME/$restore_stamp/"Infos Déploiement.txt"
expect "restore: the journal says what it is and what each rule got" \
    'iconv -f WINDOWS-1252 -t UTF-8 "$journal" | sed -n 5p | grep -q "^Restauration de la passe $stamp4" && iconv -f WINDOWS-1252 -t UTF-8 "$journal" | grep -q "outil.ini;.*Pas de version de la passe $stamp4 : laissé tel quel"'

before=$(ls -l --time-style=full-iso "$outils")
run history --historique "$demo/Demo.VTR"
expect "history: exit 1 (a dead workstation)" '[ "$status" -eq 1 ]'
expect "history: live version, then stamps newest first" \
    'grep "^localhost;.*outil.exe;" "$work/history.out" | cut -d";" -f3,5 | diff - <(printf "%s\n" "en place;17" "$restore_stamp;17" "$stamp4;17" "$stamp3;17")'
expect "history: the dead workstation" 'grep -qx "PC03-ETEINT;PingFail" "$work/history.out"'
expect "history: a missing folder said" 'grep -q "^127.0.0.2;.*;Chemin d.accès introuvable$" "$work/history.out"'
expect "history: nothing written on the workstations" '[ "$(ls -l --time-style=full-iso "$outils")" = "$before" ]'

run bad --restaurer "$demo/Demo.VTR" --passe 20261207_1430
expect "a wrong stamp is refused (exit 2)" '[ "$status" -eq 2 ] && grep -q "estampille de passe invalide" "$work/bad.err"'
expect_summary "$work/restore.err" "$work/history.out"
