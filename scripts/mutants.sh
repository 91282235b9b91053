#!/usr/bin/env bash
# The mutation check of the pass's core: applies each hand mutant of a list (by
# default scripts/mutants.tsv) alone to a scratch copy of this working tree, builds the
# unit suites there and runs them. A mutant is killed when a suite fails (or does not
# end within its time), survives when they all pass. Run it before changing the pass's
# core; it is long (see the README): run it niced, in the background.
# Usage: scripts/mutants.sh [LIST]
#   LIST: one mutant a line, four fields separated by tabs: the file (from the
#   repository's root), the text as it stands (found exactly once), the text that
#   replaces it, the fault it stands for. Lines beginning with # and blank lines are
#   skipped.
# MUTANT_SUITES overrides the suites run (a ctest regular expression is made of them).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
list=$(readlink -f "${1:-$here/scripts/mutants.tsv}")
# The logic suites, on the fake platform.
suites=(${MUTANT_SUITES:-tst_documents tst_ping_sweep tst_pass tst_export tst_command_line
    tst_system_contract_fake tst_board})
started=$SECONDS

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The working tree as it stands, without its build folders.
git -C "$here" ls-files -z --cached --others --exclude-standard |
    (cd "$here" && xargs -0 cp --parents -t "$scratch" 2>/dev/null || true)
cd "$scratch"
# Light optimisation, no debug information, a fast linker: each mutant relinks every suite.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null

build_and_test() {
    cmake --build build --target "${suites[@]}" >"$scratch/build.log" 2>&1 || return 2
    local regex
    regex="^($(IFS='|'; echo "${suites[*]}"))\$"
    ctest --test-dir build -R "$regex" --timeout 120 >"$scratch/test.log" 2>&1 || return 1
}

# One edit: in FILE the text ORIGINAL (exactly once) becomes MUTATED.
swap() {
    python3 - "$@" <<'EOF'
import sys
path, original, mutated = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
if text.count(original) != 1:
    sys.exit(3)
open(path, "w", encoding="utf-8").write(text.replace(original, mutated))
EOF
}

if ! build_and_test; then
    tail -30 "$scratch/build.log" "$scratch/test.log"
    echo "Les suites échouent déjà sans mutant : rien à mesurer"
    exit 2
fi

total=0
killed=0
survivors=()
while IFS=$'\037' read -r file original mutated fault; do
    [[ -z "$file" || "$file" == \#* ]] && continue
    cp "$file" "$scratch/unmutated"
    if ! swap "$file" "$original" "$mutated"; then
        echo "introuvable : $file : $original"
        continue
    fi
    set +e
    build_and_test
    outcome=$?
    set -e
    cp "$scratch/unmutated" "$file"
    case $outcome in
    2) echo "ne compile pas : $file : $fault" ;;
    1)
        total=$((total + 1))
        killed=$((killed + 1))
        # A suite that crashes (***Exception) kills the mutant too.
        failed=$(grep -o 'tst_[a-z_0-9]* .*\*\*\*\(Failed\|Timeout\|Exception\)' \
            "$scratch/test.log" | awk '{print $1}' | tr '\n' ' ' || true)
        echo "tué ($failed) : $file : $fault"
        ;;
    0)
        total=$((total + 1))
        survivors+=("$file : $fault")
        echo "SURVIT : $file : $fault"
        ;;
    esac
done < <(tr '\t' '\037' <"$list") # not a blank: an empty field stays a field

echo "Mutants tués : $killed/$total en $(((SECONDS - started) / 60)) min"
for s in "${survivors[@]}"; do
    echo "  survit : $s"
done
[ "$killed" -eq "$total" ]
