#!/usr/bin/env bash
# The ping stand-in against a host that answers and names that do not resolve.
set -euo pipefail
ping_tool=$1
fail=0
check() { # description, host, expected text, text that must be absent
    local out
    out=$("$ping_tool" "$2" | iconv -f WINDOWS-1252 -t UTF-8 || true)
    if ! grep -qF -- "$3" <<<"$out" || { [ -n "$4" ] && grep -qF -- "$4" <<<"$out"; }; then
        echo "ÉCHEC $1:"; echo "$out"; fail=$((fail + 1))
    fi
}
check localhost localhost "(perte 0%)," ""
check "nom inconnu" nosuchhost.invalid "La requête Ping n'a pas pu trouver l'hôte nosuchhost.invalid." "perte"
check "option déguisée" "-f" "n'a pas pu trouver l'hôte -f." "perte"
echo "$((3 - fail)) passed, $fail failed"
[ "$fail" -eq 0 ]
