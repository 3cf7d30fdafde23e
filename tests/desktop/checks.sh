# Helpers of the desktop checks; sourced. Every failed check is reported, the script then exits
# non-zero at the end (finish).

failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect_eq WHAT ACTUAL EXPECTED
expect_eq() {
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}

# expect_contains WHAT TEXT NEEDLE
expect_contains() {
    case "$2" in
        *"$3"*) ;;
        *) fail "$1: '$3' not in: $2" ;;
    esac
}

# A private temporary folder, removed at exit; canonical, as the program names paths.
make_temp() {
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    tmp=$(cd "$tmp" && pwd -P)
}

# run_program PROGRAM ARGS...: runs it headless with data folders that hold nothing, so only
# the program's own layout decides; sets out, err and status.
run_program() {
    mkdir -p "$tmp/empty-home" "$tmp/empty-data"
    status=0
    out=$(env HOME="$tmp/empty-home" XDG_DATA_HOME="$tmp/empty-home/.local/share" \
        XDG_DATA_DIRS="$tmp/empty-data" QT_QPA_PLATFORM=offscreen "$@" 2>"$tmp/stderr") || status=$?
    err=$(cat "$tmp/stderr")
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}
