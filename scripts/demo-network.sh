#!/usr/bin/env bash
# Prepares, fresh, a demo deployment and a folder network of three workstations:
#   localhost  answers the ping and holds an older outil.exe (kept, stamped, on a pass);
#   127.0.0.2  answers the ping but has no \C$\Outils folder;
#   PC03-ETEINT does not answer (its name resolves nowhere).
# Usage: scripts/demo-network.sh DEST PROGRAM_DIR
set -euo pipefail
dest=$1
program_dir=$2
rm -rf "$dest"
mkdir -p "$dest/Distrib" "$dest/reseau/localhost/C\$/Outils" "$dest/reseau/127.0.0.2/C\$"
dest=$(cd "$dest" && pwd)

win() { printf 'Z:%s' "${1//\//\\}"; }
crlf() { sed 's/$/\r/'; }

printf 'outil version 2\r\n' >"$dest/Distrib/outil.exe"
printf '[outil]\r\nserveur=central\r\n' >"$dest/Distrib/outil.ini"
printf 'outil version 1\r\n' >"$dest/reseau/localhost/C\$/Outils/outil.exe"

printf '%s\n' localhost 127.0.0.2 PC03-ETEINT | crlf >"$dest/Demo.LPO"
{
    echo "$(win "$dest/Distrib/outil.exe");\\C\$\\Outils"
    echo "$(win "$dest/Distrib/outil.ini");\\C\$\\Outils"
} | crlf >"$dest/Demo.Rgl"
{
    echo "LocListePostes:$(win "$dest/Demo.LPO")"
    printf 'LocListeR\xe8gles:%s\n' "$(win "$dest/Demo.Rgl")"
} | crlf >"$dest/Demo.VTR"

# The program's folder for the demo: its companions, its settings, its pass folders.
mkdir -p "$dest/programme"
for f in "$program_dir"/_Vantrel.VTR "$program_dir"/feu*.bmp; do
    [ -e "$f" ] && cp "$f" "$dest/programme/"
done
exit 0
