#!/usr/bin/env bash
# End to end against a real Active Directory domain controller (Samba's), provisioned
# from nothing in a private network and mount namespace, its own DNS for the domain:
#   OU=Postes  1,100 computers, every 25th disabled, a few without a DNS host name
#   OU=Autres  one computer, outside the OU asked for
#   OU=Salle   one enabled computer whose DNS host name is the controller, one disabled
# The program lists them with a Kerberos ticket (controllers found through DNS, every
# page read), with a password over StartTLS only, refuses a bind in clear before any
# password leaves, says each error in French; and a pass over OU=Salle copies to a share
# of the controller with the ticket alone.
# Usage: directory.sh PROGRAM   (as root)
set -euo pipefail
program=$(readlink -f "$1")
support=$(cd "$(dirname "$0")/../support" && pwd)
for tool in samba samba-tool ldbadd kinit; do
    command -v "$tool" >/dev/null || { echo "$tool manque (scripts/install-packages.sh)"; exit 1; }
done
. "$support/private-network.sh" "$0" "$program"
. "$support/samba-dc.sh"
. "$support/expect.sh"

work=$(mktemp -d)
dc_pid=
listener_pid=
cleanup() {
    dc_stop
    [ -n "$listener_pid" ] && kill "$listener_pid" 2>/dev/null
    wait 2>/dev/null || true
    [ -n "${VANTREL_KEEP_TEST:-}" ] && echo "laissé dans $work" || rm -rf "$work"
}
trap cleanup EXIT
ip link set lo up

dc=$work/dc
mkdir -p "$dc" "$work/partage/Outils"
base=DC=atelier,DC=test
{
    for ou in Postes Autres Salle; do
        printf 'dn: OU=%s,%s\nobjectClass: organizationalUnit\n\n' "$ou" "$base"
    done
    # computer NAME OU CONTROL [DNS HOST NAME]
    computer() {
        printf 'dn: CN=%s,OU=%s,%s\nobjectClass: computer\nsAMAccountName: %s$\n' "$1" "$2" "$base" "$1"
        printf 'userAccountControl: %s\n' "$3"
        [ -n "${4:-}" ] && printf 'dNSHostName: %s\n' "$4"
        echo
    }
    for n in $(seq -w 1 1100); do
        control=4096
        [ $((10#$n % 25)) -eq 0 ] && control=4098
        if [ $((10#$n % 300)) -eq 7 ]; then
            computer "Ancien$n" Postes "$control" # no DNS host name: its cn stands
        else
            computer "PC$n" Postes "$control" "pc$n.atelier.test"
        fi
    done
    computer AILLEURS Autres 4096 ailleurs.atelier.test
    computer SALLE-DC Salle 4096 dc1.atelier.test
    computer SALLE-OFF Salle 4098 pc-hors-service.atelier.test
} >"$dc/extra.ldif"
# What OU=Postes must list: the enabled ones, sorted without regard to case.
awk -v RS= '/OU=Postes,/ && /userAccountControl: 4096/ {
        name = ""; for (i = 1; i <= NF; i++) if ($i == "dNSHostName:") name = $(i + 1)
        if (name == "") { split($2, cn, "[=,]"); name = cn[2] }
        print name }' "$dc/extra.ldif" | LC_ALL=C sort -f >"$work/postes.expected"

start=$(date +%s%N)
samba_dc "$dc" 127.74.0.1 "$work/partage" || exit 1
up=$(date +%s%N)
echo "contrôleur provisionné et démarré en $(((up - start) / 1000000)) ms"
export HOME=$work/home VANTREL_HOME=$work/programme
unset VANTREL_RESEAU VANTREL_SMB_AUTH VANTREL_LDAP_CA
mkdir -p "$HOME" "$VANTREL_HOME"

list() { # URL: the listing on $work/out (UTF-8, LF), its status, its messages on $work/err
    status=0
    "$program" --annuaire "$1" >"$work/raw" 2>"$work/err" || status=$?
    iconv -f WINDOWS-1252 -t UTF-8 "$work/raw" | tr -d '\r' >"$work/out"
}

# No ticket yet, no password: said, with what to do.
list "ldap://dc1.atelier.test/OU=Postes,$base"
expect "no ticket: exit 2, kinit said" '[ "$status" -eq 2 ] && grep -q "Pas de ticket Kerberos valable.*kinit" "$work/err"'
expect "no ticket: nothing listed" '[ ! -s "$work/raw" ]'

dc_kinit
list "ldap:///OU=Postes,$base"
expect "Kerberos, controllers from DNS: exit 0" '[ "$status" -eq 0 ]'
expect "every enabled computer of the OU, sorted, past 1,000 (paged)" \
    'cmp -s "$work/out" "$work/postes.expected" && [ "$(wc -l <"$work/out")" -gt 1000 ]'
expect "CR LF line ends" '[ "$(grep -c $'"'"'\r$'"'"' "$work/raw")" -eq "$(wc -l <"$work/out")" ]'
expect "disabled and other OU left out" \
    '! grep -qiE "^(pc0025|pc1100|ailleurs)" "$work/out" && grep -q "^pc0024.atelier.test$" "$work/out"'
expect "no DNS host name: the cn" 'grep -q "^Ancien0007$" "$work/out"'

list "ldap://dc1.atelier.test/$base??sub?(|(cn=AILL*)(cn=SALLE*))"
expect "the whole domain narrowed by a filter" \
    '[ "$status" -eq 0 ] && [ "$(tr "\n" " " <"$work/out")" = "ailleurs.atelier.test dc1.atelier.test " ]'

list "ldap://dc1.atelier.test/OU=Rien,$base"
expect "a base that does not exist" '[ "$status" -eq 2 ] && grep -q "Base introuvable dans l.annuaire : OU=Rien" "$work/err"'
list "ldap://dc1.atelier.test/OU=Postes,$base??sub?(cn=ZZZ*)"
expect "zero computers is an error" '[ "$status" -eq 2 ] && grep -q "Aucun poste actif" "$work/err"'
list "ldap://127.74.0.9/OU=Postes,$base"
expect "unreachable" '[ "$status" -eq 2 ] && grep -q "Annuaire injoignable : 127.74.0.9" "$work/err"'

# A password instead of a ticket: over StartTLS, the controller's certificate checked.
KRB5CCNAME=FILE:$work/aucun-ticket
export KRB5CCNAME
printf 'username = Administrator\npassword = %s\ndomain = ATELIER\n' "$dc_password" >"$work/auth"
printf 'username = Administrator\npassword = Faux-M0t-de-passe\ndomain = ATELIER\n' >"$work/faux"
chmod 600 "$work/auth" "$work/faux"
VANTREL_SMB_AUTH=$work/auth VANTREL_LDAP_CA=$dc/private/tls/ca.pem list "ldap://dc1.atelier.test/OU=Salle,$base"
expect "simple bind over StartTLS, certificate checked" '[ "$status" -eq 0 ] && [ "$(cat "$work/out")" = dc1.atelier.test ]'
VANTREL_SMB_AUTH=$work/auth list "ldap://dc1.atelier.test/OU=Salle,$base"
expect "a certificate no authority vouches for" '[ "$status" -eq 2 ] && grep -q "Connexion TLS impossible avec dc1.atelier.test" "$work/err"'
VANTREL_SMB_AUTH=$work/faux VANTREL_LDAP_CA=$dc/private/tls/ca.pem list "ldaps://dc1.atelier.test/OU=Salle,$base"
expect "a wrong password over LDAPS, never printed" \
    '[ "$status" -eq 2 ] && grep -q "Identifiants refusés" "$work/err" && ! grep -q "Faux-M0t" "$work/err"'

# A server without TLS: the bind is refused before the password leaves. It records
# what it receives and answers StartTLS "unavailable".
ip addr add 127.74.0.2/8 dev lo
/usr/bin/python3 - "$work/reçu" >"$work/listener.log" 2>&1 <<'PY' &
import socket, sys
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.74.0.2", 389)); s.listen(4)
with open(sys.argv[1], "wb") as seen:
    while True:
        c, _ = s.accept()
        while True:
            data = c.recv(65536)
            if not data:
                break
            seen.write(data); seen.flush()
            # LDAPMessage { id, extendedResp { unavailable (52), "", "" } }
            if len(data) > 5 and data[5] == 0x77:
                mid = data[4]
                c.sendall(bytes([0x30, 0x0c, 0x02, 0x01, mid, 0x78, 0x07, 0x0a, 0x01, 52, 4, 0, 4, 0]))
        c.close()
PY
listener_pid=$!
for _ in $(seq 50); do (exec 3<>/dev/tcp/127.74.0.2/389) 2>/dev/null && break; sleep 0.1; done
VANTREL_SMB_AUTH=$work/auth list "ldap://127.74.0.2/OU=Salle,$base"
expect "clear text refused: exit 2, said" '[ "$status" -eq 2 ] && grep -q "n.offre ni LDAPS ni StartTLS" "$work/err"'
expect "the password never reached the server" '[ -s "$work/reçu" ] && ! grep -qa "$dc_password" "$work/reçu"'

# A pass over OU=Salle: the controller is its one enabled computer; its share takes
# the file with the ticket alone (no authentication file).
unset VANTREL_SMB_AUTH
export KRB5CCNAME=FILE:$dc/ccache
mkdir -p "$work/src" "$VANTREL_HOME"
cp "$(dirname "$program")/_Vantrel.VTR" "$VANTREL_HOME/"
printf 'version 2\r\n' >"$work/src/outil.exe"
win() { printf 'Z:%s' "${1//\//\\}"; }
printf 'ailleurs.atelier.test\r\n' >"$work/salle.LPO"
printf '%s\\outil.exe;\\partage\\Outils\r\n' "$(win "$work/src")" >"$work/salle.Rgl"
printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/salle.LPO")" \
    "$(win "$work/salle.Rgl")" >"$work/salle.VTR"
pass() { # options...: the pass's rows on $work/out, its journal on $work/journal
    status=0
    "$program" --deployer "$work/salle.VTR" "$@" >"$work/out" 2>"$work/err" || status=$?
    journal=$(ls -t "$VANTREL_HOME"/2*/"Infos D"*.txt 2>/dev/null | head -n 1)
    [ -n "$journal" ] && iconv -f WINDOWS-1252 -t UTF-8 "$journal" | tr -d "\r" >"$work/journal"
    cat "$work/out" >>"$work/err" # shown with the others on a failure
}
pass --annuaire "ldap:///OU=Salle,$base"
expect "pass over the OU, Kerberos to the share: exit 0" '[ "$status" -eq 0 ]'
expect "the file landed on the controller's share" 'cmp -s "$work/src/outil.exe" "$work/partage/Outils/outil.exe"'
expect "the journal lists the directory's computers, not the file's" \
    'grep -qx "Listes des  1 postes" "$work/journal" && grep -qx "dc1.atelier.test" "$work/journal" && ! grep -q "ailleurs" "$work/journal"'
expect ".LPO left as it was" '[ "$(cat "$work/salle.LPO")" = $'"'"'ailleurs.atelier.test\r'"'"' ]'

rm -f "$work/partage/Outils/outil.exe"
passes=$(ls -d "$VANTREL_HOME"/2* | wc -l)
pass --annuaire "ldap:///OU=Rien,$base"
expect "a pass over a base that is not there: exit 2, said, nothing served" \
    '[ "$status" -eq 2 ] && grep -q "^\[Annuaire\] Base introuvable" "$work/err" && [ ! -e "$work/partage/Outils/outil.exe" ] && [ "$(ls -d "$VANTREL_HOME"/2* | wc -l)" -eq "$passes" ]'

# Without a ticket, or with an expired one: the copy line says so and what to do.
printf 'dc1.atelier.test\r\n' >"$work/salle.LPO"
KRB5CCNAME=FILE:$work/aucun-ticket pass
expect "no ticket: the copy line says kinit" '[ "$status" -eq 1 ] && grep -q "^dc1.atelier.test;.*kinit" "$work/journal"'
KRB5CCNAME=FILE:$work/court
echo "$dc_password" | kinit -l 1s "Administrator@$dc_realm" >/dev/null
sleep 2
pass
expect "expired ticket: the copy line says kinit" '[ "$status" -eq 1 ] && grep -q "^dc1.atelier.test;.*kinit" "$work/journal"'
expect "and nothing copied" '[ ! -e "$work/partage/Outils/outil.exe" ]'

echo "tests en $((($(date +%s%N) - up) / 1000000)) ms"
expect_summary "$work/err" "$work/journal"
