#!/usr/bin/env bash
# The Debian package built by CPack from the build tree: its name, fields and contents, lintian
# without errors, and the program unpacked into a temporary folder starting headless and
# finding its presets in the package's data folder.
# Usage: package.sh BUILD_DIR APP_ID VERSION
set -uo pipefail
source "$(dirname "$0")/checks.sh"
build=$1 app_id=$2 version=$3
make_temp

"${CPACK:-cpack}" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1 \
    || { cat "$tmp/cpack.log"; fail "cpack"; finish; }
deb=$tmp/out/korvanettesim_${version}-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$tmp/out"; fail "no $deb"; finish; }

field() { dpkg-deb --field "$deb" "$1"; }
expect_eq "Package" "$(field Package)" korvanettesim
expect_eq "Version" "$(field Version)" "$version-1"
expect_eq "Section" "$(field Section)" sound
expect_contains "Maintainer" "$(field Maintainer)" "<developers@korvanettesim.example.org>"
# Computed from the shared libraries the program links.
depends=$(field Depends)
for dependency in libqt6widgets6 libqt6gui6 libqt6core6 libasound2 libjack libinih1 libstdc++6 libc6; do
    expect_contains "Depends" "$depends" "$dependency"
done
expect_eq "Recommends" "$(field Recommends)" qt6-wayland
expect_contains "Description" "$(field Description)" \
    "On-screen Korvanette MIDI controller and settings editor"$'\n'" The Korvanette is"

listing=$(dpkg-deb --contents "$deb")
echo "$listing"
for entry in \
    "-rwxr-xr-x root/root .* ./usr/bin/korvanettesim" \
    "-rw-r--r-- root/root .* ./usr/share/applications/$app_id.desktop" \
    "-rw-r--r-- root/root .* ./usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    "-rw-r--r-- root/root .* ./usr/share/icons/hicolor/48x48/apps/$app_id.png" \
    "-rw-r--r-- root/root .* ./usr/share/metainfo/$app_id.metainfo.xml" \
    "-rw-r--r-- root/root .* ./usr/share/korvanettesim/korvttpresets.ini" \
    "-rw-r--r-- root/root .* ./usr/share/man/man1/korvanettesim.1.gz" \
    "-rw-r--r-- root/root .* ./usr/share/doc/korvanettesim/copyright" \
    "-rw-r--r-- root/root .* ./usr/share/doc/korvanettesim/changelog.Debian.gz"; do
    grep -qE -- "^$entry\$" <<<"$listing" || fail "package lacks: $entry"
done

dpkg-deb -x "$deb" "$tmp/unpacked"
program=$tmp/unpacked/usr/bin/korvanettesim
expect_contains "changelog names the package's version" \
    "$(zcat "$tmp/unpacked/usr/share/doc/korvanettesim/changelog.Debian.gz" | head -1)" \
    "korvanettesim ($(field Version)) "
expect_contains "packaged program" "$(file "$program")" ", stripped"
run_program "$program" --presets-file
expect_eq "unpacked --presets-file status" "$status" 0
expect_eq "unpacked --presets-file" "$out" "$tmp/unpacked/usr/share/korvanettesim/korvttpresets.ini"
run_program "$program" --version
expect_eq "unpacked --version" "$out" "korvanettesim $version"
# With its windows, headless: it keeps running until stopped, and the presets it reads are the
# ones in the package's data folder (no user folder or installed copy to find instead).
mkdir -p "$tmp/home" "$tmp/nowhere"
HOME=$tmp/home XDG_DATA_HOME=$tmp/home XDG_DATA_DIRS=$tmp/nowhere QT_QPA_PLATFORM=offscreen \
    JACK_NO_START_SERVER=1 timeout -s INT 3 strace -f -qq -e trace=openat -o "$tmp/opened.log" \
    "$program" >"$tmp/windowed.log" 2>&1
windowed_status=$?
expect_eq "unpacked program still running after 3 s" "$windowed_status" 124
presets_read=$(grep -c "\"$tmp/unpacked/usr/share/korvanettesim/korvttpresets.ini\", O_RDONLY[^=]*= [0-9]" \
    "$tmp/opened.log")
expect_eq "unpacked program read its packaged presets" "$presets_read" 1

# Errors fail the check; warnings are shown for the record.
lintian --allow-root --info "$deb" >"$tmp/lintian.log" 2>&1
lintian_status=$?
cat "$tmp/lintian.log"
[ "$lintian_status" -eq 0 ] || fail "lintian exit status $lintian_status"
grep -q '^E: ' "$tmp/lintian.log" && fail "lintian reports errors"

finish
