#!/usr/bin/env bash
# `cmake --install` into a temporary root: exactly the expected files, valid desktop entry and
# AppStream metainfo, rendered icons, and an installed program that finds its presets in the
# data folder.
# Usage: install.sh BUILD_DIR APP_ID VERSION PRESETS_SOURCE
set -uo pipefail
source "$(dirname "$0")/checks.sh"
build=$1 app_id=$2 version=$3 presets_source=$4
make_temp

DESTDIR="$tmp/root" "${CMAKE:-cmake}" --install "$build" --prefix /usr >"$tmp/install.log" \
    || { cat "$tmp/install.log"; fail "cmake --install"; finish; }
usr=$tmp/root/usr

icons=""
for size in 16 32 48 64 128 256; do
    icons+="share/icons/hicolor/${size}x${size}/apps/$app_id.png"$'\n'
done
expected=$(sort <<LIST
bin/korvanettesim
share/applications/$app_id.desktop
share/doc/korvanettesim/changelog.Debian.gz
share/doc/korvanettesim/copyright
share/icons/hicolor/scalable/apps/$app_id.svg
${icons}share/korvanettesim/korvttpresets.ini
share/man/man1/korvanettesim.1.gz
share/metainfo/$app_id.metainfo.xml
LIST
)
expect_eq "installed files" "$(cd "$usr" && find . -type f | sed 's|^\./||' | sort)" "$expected"

desktop-file-validate "$usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" \
    || fail "appstreamcli validate"
# The metainfo, its desktop entry and its icon belong together.
appstreamcli validate-tree --no-net "$tmp/root" || fail "appstreamcli validate-tree"

desktop=$(cat "$usr/share/applications/$app_id.desktop")
expect_contains "desktop entry" "$desktop" $'\nExec=korvanettesim\n'
expect_contains "desktop entry" "$desktop" $'\nIcon='"$app_id"$'\n'
expect_contains "desktop entry" "$desktop" $'\nCategories=AudioVideo;Audio;Midi;\n'
metainfo=$(cat "$usr/share/metainfo/$app_id.metainfo.xml")
expect_contains "metainfo" "$metainfo" "<release version=\"$version\""
expect_contains "metainfo" "$metainfo" "<launchable type=\"desktop-id\">$app_id.desktop</launchable>"
expect_contains "metainfo" "$metainfo" "<binary>korvanettesim</binary>"

for size in 16 32 48 64 128 256; do
    expect_contains "${size}px icon" \
        "$(file "$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")" \
        "PNG image data, $size x $size, 8-bit/color RGBA"
done
expect_contains "scalable icon" "$(file "$usr/share/icons/hicolor/scalable/apps/$app_id.svg")" \
    "SVG Scalable Vector Graphics image"

cmp -s "$usr/share/korvanettesim/korvttpresets.ini" "$presets_source" \
    || fail "installed presets file differs from $presets_source"
expect_contains "manual page" "$(zcat "$usr/share/man/man1/korvanettesim.1.gz" | head -1)" \
    "\"korvanettesim $version\""
expect_contains "changelog" "$(zcat "$usr/share/doc/korvanettesim/changelog.Debian.gz" | head -1)" \
    "korvanettesim ($version-"

run_program "$usr/bin/korvanettesim" --presets-file
expect_eq "installed --presets-file status" "$status" 0
expect_eq "installed --presets-file" "$out" "$usr/share/korvanettesim/korvttpresets.ini"

finish
