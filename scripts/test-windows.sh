#!/usr/bin/env bash
# Cross-builds the Windows program and its tests with MinGW-w64, packs the zip, and
# runs the suite under Wine. The Qt for MinGW comes from VANTREL_QT_MINGW, or is
# unpacked from ../shared/toolchains/qt6-mingw64.tar.xz beside the checkout.
# Without one it runs nothing and exits 77, so that the caller can say so loudly.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build-windows

if [ -z "${VANTREL_QT_MINGW:-}" ]; then
    archive=$here/../shared/toolchains/qt6-mingw64.tar.xz
    if [ ! -f "$archive" ]; then
        echo "Partie Windows sautée : aucun Qt pour MinGW (VANTREL_QT_MINGW ou $archive)."
        exit 77
    fi
    mkdir -p "$build/qt"
    [ -d "$build/qt/qt6-mingw64" ] || tar -C "$build/qt" -xJf "$archive"
    export VANTREL_QT_MINGW=$build/qt/qt6-mingw64
fi

cd "$here"
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross --target all package installer
cd "$build"
ctest --output-on-failure "$@"
