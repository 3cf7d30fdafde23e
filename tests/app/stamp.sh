#!/usr/bin/env bash
# The program's build stamp is compiled into main.cpp, which must be rebuilt whenever any
# library of the program changes; otherwise a relinked program shows an older build time.
# Usage: stamp.sh BUILD_DIR
set -euo pipefail
build=$1
inputs=$(ninja -C "$build" -t query src/app/CMakeFiles/korvanettesim.dir/main.cpp.o)
status=0
for lib in model midi controls dump surface editor app; do
    if ! grep -q "libkorv_${lib}.a" <<<"$inputs"; then
        echo "main.cpp.o is not rebuilt when libkorv_${lib}.a changes"
        status=1
    fi
done
exit $status
