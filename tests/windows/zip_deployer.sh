#!/usr/bin/env bash
# End to end under Wine: the zip's own vantrelc.exe --deployer over a network of
# Wine's UNC mapping leaves the same results as the Linux build on such documents;
# then a preview, three at a time, changes nothing, and --si-different copies nothing
# already there.
# Usage: zip_deployer.sh ZIP
set -euo pipefail
zip=$(readlink -f "$1")
. "$(dirname "$0")/wine-network.sh"

mkdir -p "$work/app" "$work/docs"
(cd "$work/app" && unzip -q "$zip")
program=$(ls "$work"/app/*/vantrelc.exe)
printf 'outil version 1\r\n' >"$work/net/PC01/Outils/outil.exe"
printf 'outil version 2\r\n' >"$work/docs/outil.exe"
printf '[outil]\r\n' >"$work/docs/outil.ini"
w="$VANTREL_TEST_WORK\\docs"
printf '127.0.0.1\r\n127.0.0.2\r\n198.51.100.7\r\n' >"$work/docs/Demo.LPO"
printf '%s\\outil.exe;\\C$\\Outils\r\n%s\\outil.ini;\\C$\\Outils\r\n' "$w" "$w" >"$work/docs/Demo.Rgl"
printf 'LocListePostes:%s\\Demo.LPO\r\nLocListeR\xe8gles:%s\\Demo.Rgl\r\n' "$w" "$w" >"$work/docs/Demo.VTR"

status=0
"$wine" "$program" --deployer "$w\\Demo.VTR" --enregistrer >"$work/out" 2>"$work/err" || status=$?
. "$(dirname "$0")/../support/expect.sh"
expect "exit status 1 (errors left)" '[ "$status" -eq 1 ]'
expect "rows on stdout" 'diff <(printf "%s\n" "198.51.100.7      ; 100;  Void  " "127.0.0.1         ;   0;0/2     " "127.0.0.2         ;   0;2/2     ") <(tr -d "\r" <"$work/out")'
expect "new version" 'grep -q "version 2" "$work/net/PC01/Outils/outil.exe"'
expect "older version stamped" 'grep -q "version 1" "$work"/net/PC01/Outils/outil.exe2*_*'
expect "no folder made" '[ -z "$(ls -A "$work/net/PC02")" ]'
expect "saved rows and backup" '[ -f "$work/docs/Demo.BAK" ] && grep -q "127.0.0.2         ;   0;2/2" "$work/docs/Demo.VTR"'
journal=$(ls "$work"/app/*/2*/"Infos D"*.txt)
expect "journal" 'iconv -f WINDOWS-1252 -t UTF-8 "$journal" | grep -q "Ce déploiement comporte  2 erreurs"'
expect "copy error in French" 'iconv -f WINDOWS-1252 -t UTF-8 "$journal" | grep -q "Chemin d.accès introuvable"'

tree() { (cd "$work/net" && find . -printf '%p %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort); }
tree >"$work/before"
status=0
"$wine" "$program" --deployer "$w\Demo.VTR" --simuler --si-different --simultanes 3 \
    >"$work/preview" 2>>"$work/err" || status=$?
expect "preview: exit 1, nothing changed" '[ "$status" -eq 1 ] && tree | diff "$work/before" -'
expect "preview: unchanged files, the missing folder, the dead workstation" \
    '[ "$(tr -d "\r" <"$work/preview" | grep -c ";inchangé$")" -eq 2 ] && grep -q "^127.0.0.2;.*Chemin d.accès introuvable" "$work/preview" && grep -q "^198.51.100.7;PingFail" "$work/preview"'
"$wine" "$program" --deployer "$w\Demo.VTR" --si-different --simultanes 3 >/dev/null 2>>"$work/err" || true
expect "--si-different: no second backup" '[ "$(ls "$work/net/PC01/Outils" | grep -c "^outil.exe2")" -eq 1 ]'
expect_summary "$work/err"
