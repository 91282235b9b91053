#!/usr/bin/env bash
# The window as an operator meets it on a real X display: a pass started from its
# button on the demo network, the end-of-run question, then "Listes" > "générale des
# erreurs" shows the list inside the window. Real input (XTEST), real timers.
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
QT_QPA_PLATFORM=xcb VANTREL_HOME=$demo/programme VANTREL_RESEAU=$demo/reseau \
    "$program" "\"$demo/Demo.VTR\"" >"$work/out" 2>&1 &
program_pid=$!

wait_window() { timeout "$2" xdotool search --sync --onlyvisible --name "$1" | head -1 || true; }
# The colour of one pixel of the screen, as #RRGGBB.
pixel() { convert "$1" -format "%[hex:u.p{$2,$3}]" info: | cut -c1-6; }

window=$(wait_window '^Vantrel/' 20)
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
. "$here/tests/support/expect.sh"
expect "window 15240 x 8190 twips below its menu bar" '[ "$WIDTH" -eq 1016 ] && [ "$HEIGHT" -gt 546 ]'

# The board's area, where the error list belongs: (10700, 1435) to (15090, 8040) twips.
menubar=$((HEIGHT - 546))
list_x=$((10700 / 15 + 150))
list_y=$((menubar + 8040 / 15 - 20))
import -window root "$work/before.png"

# Télédéploiement; a click that comes before the window takes input is tried again.
for _ in 1 2 3; do
    click $((11200 / 15 + 80)) $((menubar + 450 / 15))
    question=$(wait_window 'Valider Date' 5)
    [ -n "$question" ] && break
done
expect "the button asks to confirm the date" '[ -n "$question" ]'
# Keys go to the focused window; without a window manager, focus it first.
answer() { xdotool windowfocus --sync "$1" && xdotool key "$2"; }
answer "$question" Return
end=$(wait_window '^Fin du déploiement le: ' 60)
expect "end-of-run question after the pass" '[ -n "$end" ]'
answer "$end" Escape # no journal
timeout 10 bash -c "while xdotool search --name '^Fin du d' >/dev/null; do sleep 0.2; done"

click 96 $((menubar / 2)) # Listes
sleep 0.5
xdotool mousemove --window "$window" 160 $((menubar + 32)) click 1 # générale des erreurs
sleep 0.5
import -window root "$work/after.png"
expect "the window shows no list before" '[ "$(pixel "$work/before.png" $list_x $list_y)" != FFFFFF ]'
expect "the error list inside the window" '[ "$(pixel "$work/after.png" $list_x $list_y)" = FFFFFF ]'
expect "its bottom edge above the window's" '[ "$(pixel "$work/after.png" $list_x $((HEIGHT - 3)))" != FFFFFF ]'
expect_summary "$work/out"
