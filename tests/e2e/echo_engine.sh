#!/usr/bin/env bash
# The sweep's echo engine inside the program, in a private network namespace: a host
# that answers (by address and by name), an unreachable route, a name that does not
# resolve, a name that has only an IPv6 address; then the same sweep as an unprivileged user, where no ICMP socket may be
# opened and the ping stand-in takes over; then names whose DNS server never answers,
# listed before names that answer. (A ping program of the user's that never ends is
# fault_exit_statuses'.) As root.
set -euo pipefail
program=$(readlink -f "$1")
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/support/private-network.sh" "$0" "$program"
. "$here/tests/support/expect.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

ip link set lo up
ip route add unreachable 127.0.0.14/32
ip -6 addr add fd00:17::5/128 dev lo
printf '127.0.0.1 localhost\n127.0.0.11 PC01\nfd00:17::5 poste-v6\n' >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts

win() { printf 'Z:%s' "${1//\//\\}"; }
printf '%s\r\n' 127.0.0.11 PC01 127.0.0.14 PC09.invalid poste-v6 >"$work/sweep.LPO"
: >"$work/sweep.Rgl"
printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/sweep.LPO")" \
    "$(win "$work/sweep.Rgl")" >"$work/sweep.VTR"
mkdir -m 777 "$work/programme"
cp "$(dirname "$program")/_Vantrel.VTR" "$work/programme/"
# The unprivileged user may not be able to enter the checkout (a clone under /root):
# it runs a copy of the program and its companions from the work folder.
cp -r "$(dirname "$program")" "$work/bin"
chmod -R a+rX "$work/bin"
program=$work/bin/$(basename "$program")
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
if ! as_nobody test -x "$program" || ! as_nobody test -w "$work/programme"; then
    echo "SKIP: l'utilisateur sans privilège n'atteint pas $work (TMPDIR=${TMPDIR:-/tmp})"
    exit 77
fi

sweep() { # [command prefix...]: one ping-only pass; its transcripts in UTF-8, LF
    rm -rf "$work"/programme/2*
    status=0
    "$@" env VANTREL_HOME="$work/programme" "$program" --deployer "$work/sweep.VTR" \
        >"$work/out" 2>"$work/err" || status=$?
    for i in $(seq 0 $(($(grep -c . "$work/sweep.LPO") - 1))); do
        iconv -f WINDOWS-1252 -t UTF-8 "$work"/programme/2*/ping$i.txt | tr -d '\r' >"$work/t$i"
    done
}
answered() { # FILE HOST ADDRESS: four replies, none lost
    local header="Envoi d'une requête 'Ping'  $2"
    [ "$2" != "$3" ] && header+=" [$3]"
    grep -qxF "$header avec 32 octets de données :" "$1" &&
        [ "$(grep -cE "^Réponse de $3 : octets=32 temps(<1|=[0-9]+)ms TTL=64$" "$1")" -eq 4 ] &&
        grep -qxF "    Paquets : envoyés = 4, reçus = 4, perdus = 0 (perte 0%)," "$1"
}
unreachable() { # FILE
    [ "$(grep -cxF "Délai d'attente de la demande dépassé." "$1")" -eq 4 ] &&
        grep -qxF "    Paquets : envoyés = 4, reçus = 0, perdus = 4 (perte 100%)," "$1"
}
answered_v6() { # FILE: four replies from fd00:17::5, as Windows writes IPv6 ones
    [ "$(grep -cE "^Réponse de fd00:17::5 : temps(<1|=[0-9]+)ms$" "$1")" -eq 4 ] &&
        grep -qxF "    Paquets : envoyés = 4, reçus = 4, perdus = 0 (perte 0%)," "$1"
}
not_found() { # FILE
    grep -qxF "La requête Ping n'a pas pu trouver l'hôte PC09.invalid. Vérifiez le nom et essayez à nouveau." "$1"
}
# PC01 reaches the address listed before it: the same workstation.
rows='[ "$(tr -s " " <"$work/out")" = "$(printf "%s\n" "127.0.0.11 ; 0; Void " "PC01 ; 0;même poste que 127.0.0.11" "127.0.0.14 ; 100; Void " "PC09.invalid ;####; Void " "poste-v6 ; 0; Void ")" ]'

sweep
expect "engine: an address that answers" 'answered "$work/t0" 127.0.0.11 127.0.0.11'
# Each transcript is written as its last reply comes in, not behind a silent one's.
expect "engine: names that answer are written before the unreachable route pinged before them" \
    '[ "$work"/programme/2*/ping1.txt -ot "$work"/programme/2*/ping2.txt ] &&
     [ "$work"/programme/2*/ping4.txt -ot "$work"/programme/2*/ping2.txt ]'
expect "engine: a name that answers" 'answered "$work/t1" PC01 127.0.0.11'
expect "engine: an unreachable route" 'unreachable "$work/t2"'
expect "engine: a name that does not resolve" 'not_found "$work/t3"'
expect "engine: an IPv6-only name" 'answered_v6 "$work/t4"'
expect "engine: the board's rows" "$rows"

sweep as_nobody
expect "stand-in: an address that answers" 'answered "$work/t0" 127.0.0.11 127.0.0.11'
expect "stand-in: a name that answers" 'answered "$work/t1" PC01 127.0.0.11'
expect "stand-in: an unreachable route" 'unreachable "$work/t2"'
expect "stand-in: a name that does not resolve" 'not_found "$work/t3"'
expect "stand-in: an IPv6-only name" 'answered_v6 "$work/t4"'
expect "stand-in: the board's rows" "$rows"

# A DNS server that never answers (its address is routed to the loopback, which drops
# what is not for this machine) for eight names listed first: each is given up on by
# itself, and the workstations after them are pinged all the same.
ip route add 10.53.0.0/24 dev lo
printf 'nameserver 10.53.0.2\noptions timeout:5 attempts:2\n' >"$work/resolv.conf"
mount --bind "$work/resolv.conf" /etc/resolv.conf
printf '%s\r\n' lent1.exemple.test lent2.exemple.test lent3.exemple.test lent4.exemple.test \
    lent5.exemple.test lent6.exemple.test lent7.exemple.test lent8.exemple.test PC01 \
    127.0.0.11 >"$work/sweep.LPO"
sweep
umount /etc/resolv.conf
slow_name() { # FILE N
    grep -qxF "La requête Ping n'a pas pu trouver l'hôte lent$2.exemple.test. Vérifiez le nom et essayez à nouveau." "$1"
}
expect "lame DNS: the first name not found" 'slow_name "$work/t0" 1'
expect "lame DNS: the eighth name not found" 'slow_name "$work/t7" 8'
expect "lame DNS: a name after them answers" 'answered "$work/t8" PC01 127.0.0.11'
expect "lame DNS: an address after them answers" 'answered "$work/t9" 127.0.0.11 127.0.0.11'

expect_summary "$work/out" "$work/err"
