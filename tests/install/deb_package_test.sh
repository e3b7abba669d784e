#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package of the build (cpack -G DEB) and checks what apt
# will see: the control fields, dependencies on the runtime libraries and
# never on -dev packages, the files a desktop and a shell need, and that the
# stripped programs of the package run. (Installing it on a clean Debian 12
# is scripts/check-deb-on-clean-debian, too slow for every run.)
#   deb_package_test.sh BUILD_DIR GUI(ON|OFF)
set -euo pipefail
build=$1 gui=$2
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (package dpkg-dev / cmake)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/veyla_*_amd64.deb "$work"/veyla_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "FAIL: cpack made no veyla_*.deb"; ls "$work"; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = veyla ] || fail "Package is not veyla"
[[ "$(dpkg-deb -f "$deb" Version)" =~ ^[0-9]+\.[0-9]+\.[0-9]+ ]] || fail "Version is not a version"
depends=$(dpkg-deb -f "$deb" Depends)
required=(libc6 libespeak-ng1 espeak-ng-data libasound2 libopusenc0 libcurl4)
[ "$gui" = ON ] && required+=(libqt6core6 libqt6widgets6 libqt6gui6 libqt6svg6 libqt6dbus6 qt6-qpa-plugins)
for package in "${required[@]}"; do
  [[ ",$depends," =~ [,\ ]$package[\ ,\(] ]] || fail "Depends lacks $package: $depends"
done
[[ $depends != *-dev* ]] || fail "Depends names a -dev package: $depends"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(./usr/bin/veyla-cli ./usr/share/veyla/control/preSet.ini ./usr/share/veyla/demo/西游记.txt
  ./usr/share/bash-completion/completions/veyla-cli)
[ "$gui" = ON ] && expected+=(./usr/bin/veyla ./usr/share/applications/org.veyla.Veyla.desktop
  ./usr/share/metainfo/org.veyla.Veyla.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/org.veyla.Veyla.svg)
for file in "${expected[@]}"; do
  grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done

dpkg-deb -x "$deb" "$work/root"
version=$("$work/root/usr/bin/veyla-cli" --version) || fail "the packaged veyla-cli does not run"
[[ $version == "veyla-cli $(dpkg-deb -f "$deb" Version)" ]] || fail "packaged veyla-cli says '$version'"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "package $(basename "$deb"): control fields, ${#required[@]} dependencies and ${#expected[@]} files checked, veyla-cli runs"
