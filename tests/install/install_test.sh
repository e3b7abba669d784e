#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix and checks the layout a desktop
# expects, that everything staged in the build's program folder is installed
# under share/veyla, and that the installed programs run from there.
#   install_test.sh BUILD_DIR STAGE_DIR GUI(ON|OFF)
set -euo pipefail
build=$1 stage=$2 gui=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix/usr" >/dev/null

expected=(
  bin/veyla-cli
  share/veyla/control/preSet.ini
  share/veyla/control/Color.xml
  share/veyla/control/path1.xml
  share/veyla/control/zixun.xml
  share/veyla/control/chaoshi.xml
  share/veyla/demo/西游记.txt
  share/veyla/demo/阿Q正传.txt
  share/bash-completion/completions/veyla-cli
)
if [ "$gui" = ON ]; then
  expected+=(
    bin/veyla
    share/applications/org.veyla.Veyla.desktop
    share/icons/hicolor/scalable/apps/org.veyla.Veyla.svg
    share/metainfo/org.veyla.Veyla.metainfo.xml
    share/doc/veyla/LICENSE.tabler-icons
  )
fi
for file in "${expected[@]}"; do
  [ -f "$prefix/usr/$file" ] || fail "missing $file"
done

# The program folder of the build tree is what ships: every file of it but
# the programs must be installed.
staged=$(cd "$stage" && find . -type f ! -name veyla ! -name veyla-cli ! -name portable | sort)
installed=$(cd "$prefix/usr/share/veyla" && find . -type f | sort)
missing=$(comm -23 <(echo "$staged") <(echo "$installed"))
[ -z "$missing" ] || fail "staged but not installed under share/veyla: $missing"

version=$("$prefix/usr/bin/veyla-cli" --version)
[[ $version == "veyla-cli "[0-9]* ]] || fail "installed veyla-cli --version printed '$version'"

data="$prefix/data"
printf '第一段\n' | VEYLA_DATA_DIR="$data" "$prefix/usr/bin/veyla-cli" new 笔记/0001_想法.xml ||
  fail "installed veyla-cli could not write a chapter"
[ "$(VEYLA_DATA_DIR="$data" "$prefix/usr/bin/veyla-cli" cat 笔记/0001_想法.xml)" = 第一段 ] ||
  fail "installed veyla-cli did not read the chapter back"

if [ "$gui" = ON ]; then
  # The demo library comes from share/veyla/demo: proof the app found its program folder.
  rm -rf "$data"
  VEYLA_DATA_DIR="$data" QT_QPA_PLATFORM=offscreen "$prefix/usr/bin/veyla" --demo \
    --screenshot "$prefix/shot.png" >"$prefix/veyla.log" 2>&1 ||
    fail "installed veyla --screenshot failed: $(cat "$prefix/veyla.log")"
  [ -s "$prefix/shot.png" ] || fail "installed veyla wrote no screenshot"
  [ -f "$data/藏书库/小说/西游记/0001_第一回灵根育孕源流出心性修持大道生.xml" ] ||
    fail "installed veyla did not find the demo library in share/veyla"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "installed layout: ${#expected[@]} files checked, program folder complete, programs run"
