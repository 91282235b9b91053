#!/usr/bin/env bash
# A source rewritten in place by another program while a pass of 2,000 workstations
# runs eight at a time: every workstation gets the same bytes, and those a whole
# version of the source; or, when the source never rests, none gets it and every
# row counts the failure. The journal says what was deployed.
. "$(dirname "$0")/common.sh" "$1"
work=$(mktemp -d)
trap 'kill "$writer" 2>/dev/null || true; rm -rf "$work"' EXIT
count=2000
for ((i = 1; i <= count; i++)); do printf '127.0.%d.%d\n' $((i >> 8)) $((i & 255)); done >"$work/hosts"
sed 's/$/\r/' "$work/hosts" >"$work/parc.LPO"
(mkdir "$work/reseau" && cd "$work/reseau" && sed 's|$|/C$/Outils|' ../hosts | xargs mkdir -p)
head -c 1048576 /dev/zero | tr '\0' 'A' >"$work/A"
head -c 1048576 /dev/zero | tr '\0' 'B' >"$work/B"
cp "$work/A" "$work/outil.bin"
printf '%s;\\C$\\Outils\r\n' "$(win "$work/outil.bin")" >"$work/parc.Rgl"
write_deployment "$work/parc.VTR" "$work/parc.LPO" "$work/parc.Rgl"
mkdir "$work/programme"
cp "$(dirname "$program")/_Vantrel.VTR" "$work/programme/"

# In place, 100,000 bytes at a time, a version every 0.3 s, then a rest of 2.5 s.
rewrite() {
    local version=A
    for ((;;)); do
        version=$([ $version = A ] && echo B || echo A)
        for block in $(seq 0 10); do
            dd if="$work/$version" of="$work/outil.bin" bs=100000 skip="$block" seek="$block" \
                count=1 conv=notrunc status=none
            sleep 0.03
        done
        sleep 2.5
    done
}
rewrite &
writer=$!
status=0
VANTREL_HOME=$work/programme VANTREL_RESEAU=$work/reseau timeout 240 "$program" --deployer \
    "$work/parc.VTR" --simultanes 8 >"$work/out" 2>"$work/err" || status=$?
kill "$writer"
copies=$(find "$work/reseau" -name outil.bin | wc -l)
versions=$(find "$work/reseau" -name outil.bin -exec md5sum {} + | awk '{print $1}' | sort -u)
whole=" $(md5sum <"$work/A" | cut -d' ' -f1) $(md5sum <"$work/B" | cut -d' ' -f1) "
journal() { iconv -f WINDOWS-1252 -t UTF-8 "$work"/programme/2*/"Infos Déploiement.txt" | tr -d "\r"; }
if [ "$copies" -gt 0 ]; then
    expect "every workstation served: exit 0" '[ "$status" -eq 0 ] && [ "$copies" -eq "$count" ]'
    expect "one version on every workstation" '[ "$(wc -w <<<"$versions")" -eq 1 ]'
    expect "a whole version" '[[ $whole == *" $versions "* ]]'
    expect "the journal gives its size and SHA-256" \
        'journal | grep "^Z:.*outil.bin;1048576;$(find "$work/reseau" -name outil.bin | head -1 | xargs sha256sum | cut -d" " -f1)$" >/dev/null'
else
    expect "refused everywhere: exit 1, every row counts it" \
        '[ "$status" -eq 1 ] && [ "$(grep -c ";   0;1/1 " "$work/out")" -eq "$count" ]'
    expect "the journal says why" 'journal | grep "Source en cours de modification" >/dev/null'
fi
expect "no copy of the source left in the pass folder" '[ -z "$(ls "$work"/programme/2*/ | grep source)" ]'
expect_summary "$work/err"
