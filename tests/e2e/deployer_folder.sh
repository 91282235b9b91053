#!/usr/bin/env bash
# Real passes through --deployer on the demo folder network: real processes, real ping.
# A pass; a preview, which leaves every workstation as it was; a pass with
# --si-different, which leaves alone what is already there.
. "$(dirname "$0")/../faults/common.sh" "$1"
start_work
deployer "$demo/Demo.VTR" --enregistrer
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

# Names, sizes, times and bytes of everything on the workstations.
tree() { (cd "$demo/reseau" && find . -printf '%p %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort); }
tree >"$work/before"
deployer "$demo/Demo.VTR" --simuler --si-different
expect "preview: exit 1, as the pass would" '[ "$status" -eq 1 ]'
expect "preview: nothing changed on any workstation" 'tree | diff "$work/before" -'
expect "preview: what each rule would do" 'diff <(printf "%s\n" "PC03-ETEINT;PingFail" \
    "localhost;\\\\localhost\\C\$\\Outils\\outil.exe;inchangé" \
    "localhost;\\\\localhost\\C\$\\Outils\\outil.ini;inchangé" \
    "127.0.0.2;\\\\127.0.0.2\\C\$\\Outils\\outil.exe;Chemin d'"'"'accès introuvable" \
    "127.0.0.2;\\\\127.0.0.2\\C\$\\Outils\\outil.ini;Chemin d'"'"'accès introuvable") "$work/out"'
expect "preview: saved beside its transcripts, no journal" \
    '[ -n "$(ls "$demo"/programme/2*/Simulation.txt)" ] && [ "$(ls "$demo"/programme/2*/"Infos D"*.txt | wc -l)" -eq 1 ]'
deployer "$demo/Demo.VTR" --si-different
expect "--si-different: no new backup of an identical file" '[ "$(ls "$outils" | grep -c "^outil.exe2")" -eq 1 ]'
expect "--si-different: said unchanged" \
    'iconv -f WINDOWS-1252 -t UTF-8 "$(ls "$demo"/programme/2*/"Infos D"*.txt | tail -1)" | grep -q "Outils.outil.ini;inchangé"'
expect_summary "$work/err"
