#!/usr/bin/env bash
# The history a pass keeps on a workstation, on real folders and a real clock: a restore
# of a pass no workstation has a version of says so; case twins on a Linux server are
# left alone; across the autumn clock change --garder keeps the newest versions.
. "$(dirname "$0")/common.sh" "$1"
start_work
printf 'localhost\r\n' >"$work/un.LPO"
write_deployment "$work/un.VTR" "$work/un.LPO" "$demo/Demo.Rgl"

restore() { # STAMP: a --restaurer run of that pass
    status=0
    VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 60 "$program" \
        --restaurer "$work/un.VTR" --passe "$1" >"$work/out" 2>"$work/err" || status=$?
}
printf 'de la passe\r\n' >"$outils/outil.exe20261205_90503"
restore 20200101_120000
expect "a pass that never was: exit 1" '[ "$status" -eq 1 ]'
expect "and it is said" 'grep -q "Aucune version de la passe 20200101_120000" "$work/err"'
expect "nothing changed" 'grep -q "version 1" "$outils/outil.exe"'
# A folder of a Linux server holding outil.exe and OUTIL.EXE, which Windows takes for one
# name: neither is replaced, by a pass or a restore; both say what they found.
printf 'jumeau\r\n' >"$outils/OUTIL.EXE"
twins() { [ "$(ls "$outils" | grep -ci '^outil\.exe')" -eq 3 ] && ! ls -a "$outils" | grep -q vantrel- &&
    grep -q "version 1" "$outils/outil.exe" && grep -q jumeau "$outils/OUTIL.EXE"; }
deployer "$work/un.VTR"
expect "case twins, a pass: exit 1, both files as they were, nothing beside them" '[ "$status" -eq 1 ] && twins'
expect "case twins, a pass: the journal names them" 'journals | grep -q "casse près.*(OUTIL.EXE, outil.exe)"'
restore 20261205_90503
expect "case twins, a restore: exit 1, both files as they were" '[ "$status" -eq 1 ] && twins'
expect "case twins, a restore: the journal names them" \
    '[ "$(journals | grep -c "casse près.*(OUTIL.EXE, outil.exe)")" -eq 2 ]'
rm -f "$outils/OUTIL.EXE"

# Across the autumn clock change in Paris, the clock faked: passes at 02:20 summer time,
# 02:10 and 02:15 winter time. The file system keeps the real time, so each pass folder
# is given the time it would have had. --garder 2 keeps the two newest versions, not
# the two latest wall times; the listing says how it placed them.
faketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
paris() { # UTC TIME, then the program's arguments; the pass's stamp in $stamp
    local at
    at=$(date -u -d "$1" +%s)
    shift
    status=0
    TZ=Europe/Paris LD_PRELOAD=$faketime FAKETIME=$(printf '%+d' $((at - $(date +%s)))) \
        VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 60 "$program" "$@" \
        >"$work/out" 2>"$work/err" || status=$?
    stamp=$(basename "$(ls -td "$home"/2*/ | head -n 1)")
    touch -d "@$((at + 14))" "$home/$stamp"
}
rm -f "$outils"/outil.exe2*
printf 'v0\r\n' >"$outils/outil.exe"
for pass in 1 2 3; do
    printf 'v%s\r\n' "$pass" >"$demo/Distrib/outil.exe"
    paris "2026-10-25 $(sed -n "${pass}p" <<<$'00:20:00\n01:10:00\n01:15:00')" \
        --deployer "$work/un.VTR" --garder 2
    declare "stamp$pass=$stamp"
done
expect "clock change: the third pass ends without error" '[ "$status" -eq 0 ]'
expect "clock change: $stamp1 $stamp2 $stamp3 in the repeated hour" \
    '[[ "$stamp1 $stamp2 $stamp3" =~ ^20261025_22[0-9]{3}\ 20261025_21[0-9]{3}\ 20261025_21[0-9]{3}$ ]]'
expect "clock change: v1 and v2 kept, v0 pruned" \
    '[ ! -e "$outils/outil.exe$stamp1" ] && grep -q v1 "$outils/outil.exe$stamp2" && grep -q v2 "$outils/outil.exe$stamp3"'
paris "2026-10-25 01:20:00" --historique "$work/un.VTR"
placed=" UTC+01:00 (heure répétée au changement d'heure, rangée selon le dossier de la passe)"
expect "clock change: the listing ranks by instant and says how" \
    'grep "outil.exe;2" "$work/out" | cut -d";" -f3,4 | sed "s/;[0-9/]* [0-9:]*/;/" |
        diff - <(printf "%s\n" "$stamp3;$placed" "$stamp2;$placed")'
expect_summary "$work/err"
