#!/usr/bin/env bash
# One real pass through --deployer on the demo folder network: real processes, real ping.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/scripts/demo-network.sh" "$work/demo" "$(dirname "$program")"
demo=$work/demo
status=0
VANTREL_HOME=$demo/programme VANTREL_RESEAU=$demo/reseau \
    "$program" --deployer "$demo/Demo.VTR" --enregistrer >"$work/out" 2>"$work/err" || status=$?
. "$here/tests/support/expect.sh"
outils=$demo/reseau/localhost/C\$/Outils
expect "errors remain: exit 1" '[ "$status" -eq 1 ]'
expect "rows printed" 'diff <(printf "%s\n" "PC03-ETEINT       ; 100;  Void  " "localhost         ;   0;0/2     " "127.0.0.2         ;   0;2/2     ") "$work/out"'
expect "new version copied" 'grep -q "version 2" "$outils/outil.exe"'
expect "old version kept, stamped" 'grep -q "version 1" "$outils"/outil.exe2*_*'
expect "new file" '[ -f "$outils/outil.ini" ]'
expect "no folder created" '[ -z "$(ls -A "$demo/reseau/127.0.0.2/C\$")" ]'
journal=$(ls "$demo"/programme/2*/"Infos D"*.txt)
expect "journal" 'iconv -f WINDOWS-1252 -t UTF-8 "$journal" | grep -q "Ce déploiement comporte  2 erreurs"'
expect "copy error in French" 'iconv -f WINDOWS-1252 -t UTF-8 "$journal" | grep -q "Chemin d.accès introuvable"'
expect "saved with backup" '[ -f "$demo/Demo.BAK" ] && grep -q "localhost         ;   0;0/2" "$demo/Demo.VTR"'
expect "end message on stderr" 'grep -q "^\[Fin du déploiement le: " "$work/err"'
expect_summary "$work/err"
