#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the desktop integration the
# way a desktop would see it: every file in place under one application id, the
# desktop entry and the metainfo valid.
set -euo pipefail
build_dir=$1
app_id=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

share=$prefix/share
expect=(
    "$prefix/bin/quorvel"
    "$share/applications/$app_id.desktop"
    "$share/metainfo/$app_id.metainfo.xml"
    "$share/icons/hicolor/16x16/apps/$app_id.png"
    "$share/icons/hicolor/32x32/apps/$app_id.png"
    "$share/icons/hicolor/128x128/apps/$app_id.png"
)
for f in "${expect[@]}"; do
    [ -f "$f" ] || { echo "missing after install: $f"; exit 1; }
done

# Each icon is a PNG of the size its folder names.
for size in 16 32 128; do
    got=$(identify -format '%wx%h' "$share/icons/hicolor/${size}x${size}/apps/$app_id.png")
    [ "$got" = "${size}x${size}" ] || { echo "icon $size is $got"; exit 1; }
done

grep -qx "Icon=$app_id" "$share/applications/$app_id.desktop"
grep -qx 'Categories=Game;LogicGame;' "$share/applications/$app_id.desktop"
desktop-file-validate "$share/applications/$app_id.desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/$app_id.metainfo.xml"
echo "desktop integration ok"
