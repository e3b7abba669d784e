#!/usr/bin/env bash
# Start-up time of the desktop app on a generated library: from launching
# veyla to its first painted window (offscreen), median of several runs.
#
#   bench/app/startup.sh [build/release] [runs] [books] [chapters]
set -euo pipefail
cd "$(dirname "$0")/../.."

build="${1:-build/release}"
runs="${2:-7}"
books="${3:-2000}"
chapters="${4:-50}"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

python3 bench/app/make_library.py "${work}/data" "${books}" "${chapters}"
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

run() {  # prints milliseconds from launch to first paint
  local start end
  start=$(date +%s%N)
  end=$(QT_QPA_PLATFORM=offscreen "${build}/stage/veyla" --data "${work}/data" --no-demo --report-first-paint 2>/dev/null \
        | awk '/^first-paint-ns/ {print $2}')
  echo $(( (end - start) / 1000000 ))
}

for open_all in 1 0; do
  printf '[Start]\r\nOpenAll=%s\r\n' "${open_all}" | iconv -f UTF-8 -t UTF-16LE > "${work}/preSet.body"
  mkdir -p "${work}/data/control"
  { printf '\xff\xfe'; cat "${work}/preSet.body"; } > "${work}/data/control/preSet.ini"
  run > /dev/null  # warm the page cache
  times=()
  for ((i = 0; i < runs; i++)); do times+=("$(run)"); done
  echo "books=${books} chapters=${chapters} OpenAll=${open_all}: median $(printf '%s\n' "${times[@]}" | median) ms (runs: ${times[*]})"
done
