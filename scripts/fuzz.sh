#!/usr/bin/env bash
# Builds the readers' libFuzzer targets with clang (address and undefined-behaviour
# checks, in build-fuzz/) and runs each on its seed corpus for a bounded time.
# A crash, a slow input (over 5 s) or a memory blow-up fails; the input that did it
# is left in build-fuzz/findings/. Usage: scripts/fuzz.sh [SECONDS per target, 20]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build-fuzz
seconds=${1:-20}
readers=(deployment workstations rules settings transcript)

CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DVANTREL_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${readers[@]/#/fuzz_}" >/dev/null
mkdir -p "$build/findings"
for reader in "${readers[@]}"; do
    # New inputs go to a scratch corpus: the seeds in the repository stay as they are.
    scratch=$(mktemp -d)
    if ! "$build/bin/fuzz_$reader" "$scratch" "$here/fuzz/corpus/$reader" \
        -max_total_time="$seconds" -max_len=65536 -timeout=5 -rss_limit_mb=2048 \
        -malloc_limit_mb=256 -artifact_prefix="$build/findings/$reader-" \
        >"$build/findings/$reader.log" 2>&1; then
        tail -40 "$build/findings/$reader.log"
        echo "fuzz_$reader: ÉCHEC (entrée dans $build/findings/)"
        rm -rf "$scratch"
        exit 1
    fi
    rm -rf "$scratch"
    echo "fuzz_$reader: $(grep -o 'Done [0-9]* runs' "$build/findings/$reader.log"), aucun défaut"
done
