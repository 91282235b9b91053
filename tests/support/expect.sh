# The checks of an end-to-end script: `expect DESCRIPTION CONDITION` for each, then
# `expect_summary FILE...` last (it shows the files when a check failed and its
# status is the script's).
passed=0
failed=0
expect() {
    if eval "$2"; then passed=$((passed + 1)); else echo "ÉCHEC: $1"; failed=$((failed + 1)); fi
}
expect_summary() {
    if [ "$failed" -ne 0 ]; then
        local file
        for file; do echo "== $file"; cat "$file"; done
    fi
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
