#!/usr/bin/env bash
# Imports a ~10 MB GBK novel with veyla-cli and compares it, in the same run,
# with the floor (iconv decoding the same bytes) and with calibre's
# ebook-convert turning the same file into an EPUB. Prints medians of wall
# time and the peak memory of the import.
#
#   bench/import/import_vs_tools.sh [build/release] [runs]
# calibre is slow on a text this size: it runs CALIBRE_RUNS times (1), each
# given at most CALIBRE_TIMEOUT seconds (3600) before it is reported as "over".
set -euo pipefail
cd "$(dirname "$0")/../.."

build="${1:-build/release}"
runs="${2:-5}"
cli="${build}/stage/veyla-cli"
corpus="${VEYLA_CORPUS_DIR:-../shared/corpus}"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

# About 10 MB of GB18030: three novels, repeated.
novel="${work}/novel.txt"
for round in 1 2 3; do
  cat "${corpus}/zh/xiyouji_pg23962.txt" "${corpus}/zh/hongloumeng_pg24264.txt" "${corpus}/zh/shuihuzhuan_pg23863.txt"
done | iconv -f UTF-8 -t GB18030 > "${novel}"
size=$(stat -c %s "${novel}")

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# wall seconds and peak kilobytes of one command, from GNU time
measure() {
  /usr/bin/time -f '%e %M' -o "${work}/time" "$@" > /dev/null 2> "${work}/stderr" || { tail -3 "${work}/stderr" >&2; return 1; }
  cat "${work}/time"
}

import_times=(); import_peaks=(); iconv_times=(); calibre_times=(); calibre_over=""
for ((i = 0; i < runs; i++)); do
  rm -rf "${work}/data"
  sync
  read -r t m < <(measure "${cli}" --data "${work}/data" import "${novel}")
  import_times+=("$t"); import_peaks+=("$m")
  read -r t m < <(measure iconv -f GB18030 -t UTF-16LE "${novel}")
  iconv_times+=("$t")
done
chapters=$(find "${work}/data" -name '*.xml' | wc -l)
if command -v ebook-convert > /dev/null; then
  for ((i = 0; i < ${CALIBRE_RUNS:-1}; i++)); do
    if read -r t m < <(measure timeout "${CALIBRE_TIMEOUT:-3600}" ebook-convert "${novel}" "${work}/out.epub"); then
      calibre_times+=("$t")
    else
      calibre_over="${CALIBRE_TIMEOUT:-3600}"
    fi
  done
fi

import_t=$(printf '%s\n' "${import_times[@]}" | median)
import_m=$(printf '%s\n' "${import_peaks[@]}" | median)
iconv_t=$(printf '%s\n' "${iconv_times[@]}" | median)
echo "input:            ${size} bytes of GB18030, ${chapters} chapter files written"
echo "veyla-cli import: ${import_t} s (median of ${runs}), peak ${import_m} KB"
echo "iconv (floor):    ${iconv_t} s"
awk -v a="${import_t}" -v b="${iconv_t}" 'BEGIN { if (b > 0) printf "import / floor:   %.1fx\n", a / b }'
if [ -n "${calibre_over:-}" ]; then
  echo "ebook-convert:    did not finish within ${calibre_over} s"
  awk -v a="${calibre_over}" -v b="${import_t}" 'BEGIN { if (b > 0) printf "calibre / import: over %.0fx\n", a / b }'
elif [ "${#calibre_times[@]}" -gt 0 ]; then
  calibre_t=$(printf '%s\n' "${calibre_times[@]}" | median)
  echo "ebook-convert:    ${calibre_t} s (median of ${#calibre_times[@]})"
  awk -v a="${calibre_t}" -v b="${import_t}" 'BEGIN { if (b > 0) printf "calibre / import: %.1fx\n", a / b }'
else
  echo "ebook-convert:    not installed (apt-get install calibre)"
fi
