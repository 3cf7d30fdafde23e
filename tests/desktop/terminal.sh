#!/usr/bin/env bash
# The terminal answers of the built program: --version, --help and --presets-file come without
# a display (a windowed start would abort here), refusals come with a usage error.
# Usage: terminal.sh PROGRAM VERSION
set -uo pipefail
source "$(dirname "$0")/checks.sh"
program=$1 version=$2
make_temp

no_display() {
    status=0
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" "$@" 2>"$tmp/stderr") \
        || status=$?
    err=$(cat "$tmp/stderr")
}

no_display --version
expect_eq "--version status" "$status" 0
expect_eq "--version" "$out" "korvanettesim $version"
expect_eq "--version errors" "$err" ""

no_display --help
expect_eq "--help status" "$status" 0
expect_contains "--help" "$out" "Usage: "
expect_contains "--help" "$out" "--presets-file"

no_display --presets-file
expect_eq "--presets-file status" "$status" 0
expect_eq "--presets-file" "$out" "$(cd "$(dirname "$program")" && pwd -P)/korvttpresets.ini"

no_display --no-such-option --version
expect_eq "unknown option status" "$status" 2
expect_contains "unknown option" "$err" "Unknown option 'no-such-option'"

# Without a terminal option the windows start, after Qt has taken its own options: what is
# left over is refused before any window opens.
run_program "$program" -platform offscreen --no-such-option
expect_eq "unknown option with windows status" "$status" 2
expect_contains "unknown option with windows" "$err" "Unknown option 'no-such-option'"
run_program "$program" settings.syx
expect_eq "file argument status" "$status" 2
expect_contains "file argument" "$err" "unexpected argument 'settings.syx'"

finish
