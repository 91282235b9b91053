#!/usr/bin/env bash
# What an unattended run tells its scheduler when it could not run: a program folder
# that is not there or is a file, a rule file with a broken line, a sweep whose
# transcripts cannot be read.
. "$(dirname "$0")/common.sh" "$1"
start_work
mkdir "$work/ailleurs"
status=0
(cd "$work/ailleurs" && home=$work/absent && deployer "$demo/Demo.VTR" && exit "$status") || status=$?
expect "missing program folder: exit 2" '[ "$status" -eq 2 ]'
expect "said in French" 'grep -q "Dossier du programme introuvable" "$work/err"'
expect "nothing written where it was started" '[ -z "$(ls -A "$work/ailleurs")" ]'
: >"$work/fichier"
home=$work/fichier deployer "$demo/Demo.VTR"
expect "program folder that is a file: exit 2, said" '[ "$status" -eq 2 ] && grep -q "Dossier du programme introuvable" "$work/err"'
expect "and nothing swept" '! ls "$work" | grep -q "^2"'

# A rule file with a line without ";": the run stops before the pass, as it said.
printf '%s;\\C$\\Outils\r\nune ligne sans point-virgule\r\n' "$(win "$demo/Distrib/outil.exe")" >"$work/casse.Rgl"
write_deployment "$work/casse.VTR" "$demo/Demo.LPO" "$work/casse.Rgl"
deployer "$work/casse.VTR"
expect "broken rule file: exit 2 before any pass" '[ "$status" -eq 2 ] && ! ls -d "$home"/2* 2>/dev/null'
expect "the broken line said" 'grep -q "est incomplet" "$work/err"'

# A ping whose transcript cannot be read: a folder where the file should be.
printf '#!/bin/sh\nout=$(readlink /proc/$$/fd/1)\nrm -f "$out" && mkdir "$out"\n' >"$work/ping-casse"
chmod +x "$work/ping-casse"
VANTREL_PING=$work/ping-casse deployer "$demo/Demo.VTR"
expect "unreadable transcripts: exit 2" '[ "$status" -eq 2 ]'
expect "Erreur fatale said" 'grep -q "^\[Erreur fatale\]" "$work/err"'
expect_summary "$work/err"
