#!/usr/bin/env bash
# Workstations told apart by their whole name, in a private network namespace with
# the real echo engine and the folder network: a name that begins another's, one
# workstation written in two cases, a fully qualified name past 18 characters, a
# name that begins one that does not answer, a name that has only an IPv6 address
# and that address (one workstation under two names). Each is served once, none is
# skipped without a row, the long name keeps its text. As root.
set -euo pipefail
program=$(readlink -f "$1")
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/support/private-network.sh" "$0" "$program"
. "$here/tests/support/expect.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ip link set lo up
ip route add unreachable 127.0.0.14/32
ip -6 addr add fd00:17::5/128 dev lo
long=poste12.atelier-comptabilite.exemple.fr
printf '127.0.0.1 localhost\n127.0.0.11 PC01\n127.0.0.12 %s\n127.0.0.14 PC10\n127.0.0.15 PC1\n' \
    "$long" >"$work/hosts"
printf 'fd00:17::5 poste-v6\n' >>"$work/hosts"
mount --bind "$work/hosts" /etc/hosts

win() { printf 'Z:%s' "${1//\//\\}"; }
hosts=(PC10 127.0.0.10 127.0.0.1 PC01 pc01 "$long" PC1 poste-v6 fd00:17::5)
printf '%s\r\n' "${hosts[@]}" >"$work/noms.LPO"
mkdir -p "$work/Distrib" "$work/programme"
printf 'outil version 2\r\n' >"$work/Distrib/outil.exe"
printf '%s;\\C$\\Outils\r\n' "$(win "$work/Distrib/outil.exe")" >"$work/noms.Rgl"
printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/noms.LPO")" \
    "$(win "$work/noms.Rgl")" >"$work/noms.VTR"
cp "$(dirname "$program")/_Vantrel.VTR" "$work/programme/"
for host in PC10 127.0.0.10 127.0.0.1 PC01 "$long" PC1 poste-v6 fd00:17::5; do
    mkdir -p "$work/reseau/$host/C\$/Outils"
done

status=0
VANTREL_HOME=$work/programme VANTREL_RESEAU=$work/reseau "$program" --deployer "$work/noms.VTR" \
    >"$work/out" 2>"$work/err" || status=$?
copies() { find "$work/reseau" -name outil.exe | sort; }
expect "PC10 does not answer: exit 1" '[ "$status" -eq 1 ]'
expect "a row for each workstation, the long name whole" 'diff <(printf "%s\n" \
    "PC10              ; 100;  Void  " \
    "127.0.0.10        ;   0;0/1     " \
    "127.0.0.1         ;   0;0/1     " \
    "PC01              ;   0;0/1     " \
    "$long;   0;0/1     " \
    "PC1               ;   0;0/1     " \
    "poste-v6          ;   0;0/1     " \
    "fd00:17::5        ;   0;même poste que poste-v6") "$work/out"'
expect "each answering workstation served once" '[ "$(copies | wc -l)" -eq 6 ] &&
    [ -z "$(find "$work/reseau" -name "outil.exe2*")" ] && [ -z "$(ls -A "$work/reseau/PC10/C\$/Outils")" ]'
journal() { iconv -f WINDOWS-1252 -t UTF-8 "$work"/programme/2*/"Infos Déploiement.txt"; }
expect "the journal counts six updated, the long name whole, the IPv6 one once" \
    'journal | grep -q "^fd00:17::5;même poste que poste-v6" && journal | grep -q "^Listes des  6 postes mis à jour" && journal | grep -q "^$long;OK Nouveau fichier $long \\\\C\\$\\\\Outils;"'
transcript() { iconv -f WINDOWS-1252 -t UTF-8 "$work"/programme/2*/ping"$1".txt | tr -d '\r'; }
expect "IPv6 answers as Windows writes it" 'transcript 7 | grep -qxF "Réponse de fd00:17::5 : temps<1ms" &&
    transcript 7 | grep -qF "poste-v6 [fd00:17::5]"'
expect_summary "$work/out" "$work/err"
