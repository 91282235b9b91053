#!/usr/bin/env bash
# The window as an operator meets it on a real X display, through real input (XTEST)
# and real timers: a pass started from its button on the demo network; Close after the
# pass asking about its rows; a retry cycle whose board keeps every workstation, moved by
# "Récursif" and back, then saved with all its rows; a deferred start after it, over the
# whole list; a pass stopped with Échap. (Save As, a save over another run's and Close
# asking about edits are tst_documents'; the board emptied by Close, tst_board's.)
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
for tool in Xvfb xdotool import xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool absent"; exit 77; }
done
work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "ÉCHEC: ligne $LINENO"; cat "$work/out"' ERR

# 96 dpi: 15 twips per pixel. Without a window manager windows stay where they are put.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

"$here/scripts/demo-network.sh" "$work/demo" "$(dirname "$program")"
demo=$work/demo
# Pings that answer after a while, as over a slow link: a pass lasts long enough for
# an operator to stop it.
cat >"$work/ping-lent" <<'PING'
#!/bin/sh
sleep 4
case $1 in PC03-ETEINT) loss=100 ;; *) loss=0 ;; esac
echo "    Paquets : envoyés = 4, reçus = 4, perdus = 0 (perte $loss%),"
PING
chmod 755 "$work/ping-lent"
QT_QPA_PLATFORM=xcb VANTREL_HOME=$demo/programme VANTREL_RESEAU=$demo/reseau VANTREL_PING=$work/ping-lent \
    "$program" "\"$demo/Demo.VTR\"" >"$work/out" 2>&1 &
program_pid=$!

# TITLE SECONDS: the id of a visible window so titled, or "" once the time is up. A search
# that meets a window closing under it (BadWindow) is simply made again.
wait_window() {
    local end=$((SECONDS + $2)) id
    while [ "$SECONDS" -lt "$end" ]; do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && echo "$id" && return
        sleep 0.2
    done
}
# FILE: "COUNT TOP" of the red and green pixels in the board's column of lights, below
# the deployment frame; the same rows show the same count wherever the board stands.
lights() {
    convert "$1" -crop 90x$((HEIGHT - 100))+700+$((menubar + 1335 / 15)) +repage txt:- |
        awk -F'[(),:]+' 'NR > 1 && (($4 > 150 && $5 < 100) || ($5 > 150 && $4 < 100)) {
            n++; if (top == "" || $2 < top) top = $2 } END { print n + 0, top + 0 }'
}
shot() { import -window root "$work/$1.png"; }
# Tries CONDITION (evaluated) every 0.2 s for up to 10 s: the window keeps its own pace.
eventually() {
    for _ in $(seq 50); do
        eval "$1" && return 0
        sleep 0.2
    done
    return 1
}
# NAME COUNT TEST TOP: a screenshot whose lights number COUNT pixels, the first of them
# at a height that passes [ top TEST TOP ], within 10 s.
lights_become() {
    local name=$1 count=$2 test=$3 want=$4 n top
    eventually 'shot "$name" && read -r n top < <(lights "$work/$name.png") &&
        [ "$n" -eq "$count" ] && [ "$top" "$test" "$want" ]'
}

window=$(wait_window '^Vantrel/' 20)
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
. "$here/tests/support/expect.sh"
expect "window 15240 x 8190 twips below its menu bar, or wider for the board" \
    '[ "$WIDTH" -ge 1016 ] && [ "$WIDTH" -le 1100 ] && [ "$HEIGHT" -gt 546 ]'
menubar=$((HEIGHT - 546))

# Télédéploiement until it asks to confirm the date ($question): a click that comes before
# the window takes input is tried again.
ask_start() {
    for _ in 1 2 3; do
        click $((11200 / 15 + 80)) $((menubar + 450 / 15))
        question=$(wait_window 'Valider Date' 5)
        [ -n "$question" ] && break
    done
}
ask_start
expect "the button asks to confirm the date" '[ -n "$question" ]'
# Keys go to the focused window; without a window manager, focus it first. A box that
# shows before it takes keys is answered again until it is gone.
shown() { xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
answer() {
    for _ in 1 2 3 4 5; do
        xdotool windowfocus --sync "$1" 2>/dev/null && xdotool key "$2"
        for _ in 1 2 3 4 5; do shown "$1" || return 0; sleep 0.2; done
    done
}
# TITLE SECONDS WHAT KEY: a box so titled shows within SECONDS (the check WHAT) and
# is answered with KEY.
answer_box() {
    local box
    box=$(wait_window "$1" "$2")
    expect "$3" '[ -n "$box" ]'
    if [ -n "$box" ]; then answer "$box" "$4"; fi
}
answer "$question" Return
answer_box '^Fin du déploiement le: ' 60 "end-of-run question after the pass" Escape # no journal
timeout 10 bash -c "while xdotool search --name '^Fin du d' >/dev/null; do sleep 0.2; done"

# Keys through XTEST to the focused window. From the workstation field, Tab goes
# through its group, then the rules', to Télédéploiement, Récursif, Différé.
keys() { xdotool windowfocus --sync "$window" && xdotool key --delay 60 "$@"; }
tab_from_workstation_field() {
    xdotool windowfocus --sync "$window"
    click 40 $((menubar + 725 / 15 + 10))
    sleep 0.3
    local tabs=()
    for _ in $(seq "$1"); do tabs+=(Tab); done
    [ "$1" -eq 0 ] || keys "${tabs[@]}"
}
shot board
read -r lit lit_top < <(lights "$work/board.png")
expect "three rows with their lights after the pass" '[ "$lit" -gt 300 ]'
menu_file() { keys alt+f && sleep 1 && xdotool key --delay 60 "$@"; }

# The pass's rows are not saved yet: Close asks, and Enter (Non) keeps them.
menu_file Down Down Down Return # Fermer
answer_box '^Le fichier Demo.VTR a été modifié $' 10 "Close after a pass asks about its rows" Return
expect "Enter keeps them" 'lights_become kept "$lit" -eq "$lit_top"'

# A Récursif cycle of one retry a minute after the first pass, for the two workstations
# in error: at its end the board, moved down by Récursif, still holds every
# workstation's row; unticked, it is back in its place.
tab_from_workstation_field 14 && keys space
tab_from_workstation_field 16 && keys ctrl+a 1
tab_from_workstation_field 17 && keys ctrl+a 1
ask_start && answer "$question" Return
answer_box '^Fin du déploiement le: ' 150 "the retry ends the cycle with its question" Escape
expect "every workstation's row after the cycle" 'lights_become cycle "$lit" -gt "$lit_top"'
tab_from_workstation_field 14 && keys space # "Faits" stays at 1
expect "Récursif unticked" 'lights_become unticked "$lit" -eq "$lit_top"'
# Enregistrer > ce Déploiement writes the cycle's rows, one per workstation of the list,
# and offers to save each list (Non to both).
menu_file Down Right Return
answer_box '^Sauvegarde de Demo.VTR' 10 "Enregistrer says what it saved" Return
for title in '^Enregistrer la liste des postes$' '^Enregistrer la liste des R'; do
    answer_box "$title" 10 "then offers to save a list" Escape # Non
done
saved_rows() { tr -d '\r' <"$demo/Demo.VTR" | grep -cE '^(localhost|127\.0\.0\.2|PC03-ETEINT) *;' || true; }
expect "the .VTR holds every workstation's row after the cycle" '[ "$(saved_rows)" -eq 3 ]'

# Différé with the target the dialog proposes, today's minute: Lancer asks to start at
# once; Oui, and the pass begins a cycle of its own over the whole list.
passes_before=$(ls -d "$demo"/programme/2* | wc -l)
tab_from_workstation_field 15 && keys space
deferred=$(wait_window '^Dépoiement Différé$' 10)
expect "Différé opens the deferred-start dialog" '[ -n "$deferred" ]'
if [ -n "$deferred" ]; then
    eval "$(xdotool getwindowgeometry --shell --prefix DEFERRED_ "$deferred")"
    xdotool mousemove --window "$deferred" $((DEFERRED_WIDTH / 5)) $((DEFERRED_HEIGHT - 20)) click 1 # Lancer
fi
now=$(wait_window '^Vantrel$' 5)
expect "today's date is accepted: start at once?" '[ -n "$now" ] && [ -z "$(xdotool search --name "^Erreur sur la date$")" ]'
answer "$now" alt+o
answer_box '^Fin du déploiement le: ' 120 "the deferred start ends in its pass" Escape
newest_pass=$(ls -d "$demo"/programme/2* | tail -n 1)
expect "after a cycle, a deferred start pings every workstation of the list" \
    '[ "$(ls -d "$demo"/programme/2* | wc -l)" -gt "$passes_before" ] && [ "$(ls "$newest_pass"/ping*.txt | wc -l)" -eq 3 ]'

# Échap during a pass asks (No by default); Oui (Alt+O) ends it at once: no end
# question, the journal says the pass was stopped and who was not reached.
ask_start && answer "$question" Return
sleep 2
keys Escape
answer_box '^Arrêter$' 10 "Échap during a pass asks to stop it" alt+o
stopped_journal() { LC_ALL=C grep -l "arr.t. avant sa fin" "$demo"/programme/2*/"Infos D"*.txt 2>/dev/null | head -n 1; }
expect "Oui: the journal says the pass was stopped" 'eventually "[ -n \"\$(stopped_journal)\" ]"'
expect "and no end-of-pass question" '[ -z "$(wait_window "^Fin du déploiement le: " 3)" ]'

expect_summary "$work/out"
