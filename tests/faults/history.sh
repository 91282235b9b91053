#!/usr/bin/env bash
# The history a pass keeps on a workstation, against what a broken clock or a careless
# operator leaves: a version stamped in the future never costs the one the pass has
# just made; a restore finds a pass by the time its stamp stands for, and says so when
# no workstation had a version of it.
. "$(dirname "$0")/common.sh" "$1"
start_work
printf 'localhost\r\n' >"$work/un.LPO"
write_deployment "$work/un.VTR" "$work/un.LPO" "$demo/Demo.Rgl"

printf 'futur\r\n' >"$outils/outil.exe20270101_120000"
printf 'ancienne\r\n' >"$outils/outil.exe20261101_120000"
deployer "$work/un.VTR" --garder 1
made=$(ls "$outils" | grep -E '^outil\.exe[0-9]{8}_[0-9]{5,6}$' |
    grep -v -e 20270101_120000 -e 20261101_120000 || true)
expect "garder 1: the pass ends without error" '[ "$status" -eq 0 ]'
expect "the version this pass replaced is kept" '[ -n "$made" ] && grep -q "version 1" "$outils/$made"'
expect "the future version stays, outside the count" 'grep -q futur "$outils/outil.exe20270101_120000"'
expect "the older version is pruned" '[ ! -e "$outils/outil.exe20261101_120000" ]'

# A version of a pass at 9:05:03, asked for with its hour written 09.
rm -f "$outils"/outil.exe2*
printf 'de la passe\r\n' >"$outils/outil.exe20261205_90503"
VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 60 "$program" \
    --restaurer "$work/un.VTR" --passe 20261205_090503 >"$work/out" 2>"$work/err" && status=0 || status=$?
expect "restore by the time the stamp stands for: exit 0" '[ "$status" -eq 0 ]'
expect "that version is back in place" 'grep -q "de la passe" "$outils/outil.exe"'

VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 60 "$program" \
    --restaurer "$work/un.VTR" --passe 20200101_120000 >"$work/out" 2>"$work/err" && status=0 || status=$?
expect "a pass that never was: exit 1" '[ "$status" -eq 1 ]'
expect "and it is said" 'grep -q "Aucune version de la passe 20200101_120000" "$work/err"'
expect "nothing changed" 'grep -q "de la passe" "$outils/outil.exe"'
expect_summary "$work/err"
