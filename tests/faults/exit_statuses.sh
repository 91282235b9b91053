#!/usr/bin/env bash
# What an unattended run tells its scheduler when it could not run: a program folder
# that is not there or is a file, a rule file with a broken line, a sweep whose
# transcripts cannot be read, ping programs that never end or never stop writing.
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

# A workstation list saved in UTF-16 (a NUL after each letter): refused with its reason
# before any pass, no NUL anywhere in what the run writes.
printf '\xff\xfel\0o\0c\0a\0l\0h\0o\0s\0t\0\r\0\n\0' >"$work/utf16.LPO"
write_deployment "$work/utf16.VTR" "$work/utf16.LPO" "$demo/Demo.Rgl"
deployer "$work/utf16.VTR"
expect "UTF-16 workstation list: exit 2 before any pass, said" \
    '[ "$status" -eq 2 ] && ! ls -d "$home"/2* 2>/dev/null && grep -q "UTF-16" "$work/err"'
expect "no NUL written" '! grep -qaP "\x00" "$work/out" "$work/err"'

# A ping whose transcript cannot be read: a folder where the file should be.
printf '#!/bin/sh\nout=$(readlink /proc/$$/fd/1)\nrm -f "$out" && mkdir "$out"\n' >"$work/ping-casse"
chmod +x "$work/ping-casse"
VANTREL_PING=$work/ping-casse deployer "$demo/Demo.VTR"
expect "unreadable transcripts: exit 2" '[ "$status" -eq 2 ]'
expect "Erreur fatale said" 'grep -q "^\[Erreur fatale\]" "$work/err"'

# A ping program that answers, then never ends: the sweep ends it, and what it
# started, with its pause; the pass goes on.
printf '#!/bin/sh
echo "    Paquets : envoyés = 4, reçus = 4, perdus = 0 (perte 0%%),"
sleep 4242 &
wait
' >"$work/ping-sans-fin"
chmod +x "$work/ping-sans-fin"
VANTREL_PING=$work/ping-sans-fin deployer "$demo/Demo.VTR"
expect "endless ping program: the pass goes on" '[ "$status" -ne 2 ] && grep -q "^localhost *;   0;" "$work/out"'
expect "no process of it left" '! pgrep -f "sleep 4242" >/dev/null'
# One that writes without end: bounded on disk, and said too large.
printf '#!/bin/sh
exec yes "Réponse de 127.0.0.1 : octets=32 temps<1ms TTL=64"
' >"$work/ping-bavard"
chmod +x "$work/ping-bavard"
VANTREL_PING=$work/ping-bavard deployer "$demo/Demo.VTR"
expect "endless transcript: exit 2, Fichier trop volumineux" \
    '[ "$status" -eq 2 ] && grep -q "^\[Fichier trop volumineux\]" "$work/err"'
expect "the transcript bounded to 1 MiB" \
    '[ "$(find "$home"/2* -name "ping*.txt" -size +1024k | wc -l)" -eq 0 ]'
expect "no writer left" '! pgrep -f "$work/ping-bavard" >/dev/null'
expect_summary "$work/err"
