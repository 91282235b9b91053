#!/usr/bin/env bash
# Builds everything and runs the whole test suite: Linux, the readers under libFuzzer,
# then Windows under Wine.
# Installs nothing (scripts/install-packages.sh does); arguments go to ctest.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
ctest --preset linux "$@"
"$here/scripts/fuzz.sh"
windows=0
"$here/scripts/test-windows.sh" || windows=$?
if [ "$windows" -eq 77 ]; then
    # Last lines of the run: a skipped Windows part must not pass for a tested one.
    echo
    echo "########################################################################"
    echo "# PARTIE WINDOWS SAUTÉE : le programme Windows n'a été ni construit ni testé."
    echo "# Posez un Qt pour MinGW (VANTREL_QT_MINGW, ou ../shared/toolchains/ à côté"
    echo "# de la copie de travail) pour la faire tourner."
    echo "########################################################################"
    exit 0
fi
exit "$windows"
