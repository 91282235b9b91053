#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it on its demo network: the
# window when there is a display, otherwise the same deployment without a window.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build
"$here/scripts/install-packages.sh"
"$here/scripts/build.sh"
demo=$build/demo
"$here/scripts/demo-network.sh" "$demo" "$build/bin"

export VANTREL_HOME=$demo/programme VANTREL_RESEAU=$demo/reseau
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/bin/vantrel" "$demo/Demo.VTR"
fi
echo "Pas d'affichage : le déploiement de démonstration passe sans fenêtre."
status=0
"$build/bin/vantrel" --deployer "$demo/Demo.VTR" --enregistrer || status=$?
journal=$(ls -d "$VANTREL_HOME"/2*/ | tail -n 1)
echo "Journal : ${journal}Infos Déploiement.txt"
iconv -f WINDOWS-1252 -t UTF-8 "${journal}Infos Déploiement.txt"
echo "Code de sortie : $status (0 sans erreur, 1 erreurs restantes, 2 impossible)"
