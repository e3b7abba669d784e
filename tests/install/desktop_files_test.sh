#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The desktop entry and the AppStream metainfo pass the freedesktop validators.
#   desktop_files_test.sh DESKTOP_FILE METAINFO_FILE SCREENSHOT_PNG
set -euo pipefail
desktop=$1 metainfo=$2 screenshot=$3
for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (packages desktop-file-utils and appstream, scripts/setup-deps)"
    exit 77
  fi
done
desktop-file-validate "$desktop"
# --no-net: the screenshot and home page addresses are checked for form only.
appstreamcli validate --no-net --explain "$metainfo"
grep -qx 'MimeType=text/plain;application/epub+zip;' "$desktop"
grep -qx 'Exec=veyla %F' "$desktop"
grep -q '<image type="source" width="1280" height="800">https://.*/screenshots/main-window.png</image>' "$metainfo"
# The screenshot published with the metainfo is the committed one, of the size it gives.
size=$(od -An -tu1 -j16 -N8 "$screenshot" | awk '{ printf "%d %d", $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
[ "$size" = "1280 800" ] || { echo "FAIL: $screenshot is $size, the metainfo says 1280 800"; exit 1; }
echo "desktop entry and metainfo are valid"
