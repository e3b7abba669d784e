#!/usr/bin/env bash
# Rendering a book of 40 chapters (about 1,000 characters each, from the
# corpus's 西游记) with 1 and with 2 worker processes, side by side with
# farm-bench (each run starts from an empty 音频 folder). Also the start of
# veyla-cli --version and of a render worker against `true`.
#
#   bench/speech/render_workers.sh [build/release] [runs]
set -euo pipefail
cd "$(dirname "$0")/../.."

build="${1:-build/release}"
runs="${2:-3}"
cli="$(realpath "${build}/stage/veyla-cli")"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

novel=/work/shared/corpus/zh/xiyouji_pg23962.simplified.txt
[ -f "${novel}" ] || novel="$(dirname "$0")/../../../shared/corpus/zh/xiyouji_pg23962.simplified.txt"
python3 - "${novel}" "${work}/text" <<'PY'
import pathlib, sys
text = pathlib.Path(sys.argv[1]).read_text(encoding="utf-8")
lines = [l.strip() for l in text.splitlines() if l.strip()][200:]
out = pathlib.Path(sys.argv[2]); out.mkdir()
chapter, size, n = [], 0, 0
for line in lines:
    chapter.append(line); size += len(line)
    if size >= 1000:
        n += 1
        (out / f"{n:02d}.txt").write_text("\n".join(chapter) + "\n", encoding="utf-8")
        chapter, size = [], 0
        if n == 40:
            break
PY
for f in "${work}"/text/*.txt; do
  n=$(basename "${f}" .txt)
  "${cli}" --data "${work}/data" new --from "${f}" "书/00${n}_第${n}章.xml"
done

render() { echo "rm -rf ${work}/data/音频 && ${cli} --data ${work}/data audio --jobs $1 书 >/dev/null"; }
echo "== 40 chapters: 2 workers (A) against 1 worker (B)"
farm-bench -n "${runs}" --warmup 0 --timeout 1800 --vs "sh -c '$(render 1)'" -- sh -c "$(render 2)"
echo "== start: veyla-cli --version (A) against true (B)"
farm-bench -n 30 --vs true -- "${cli}" --version
echo "== start: a render worker with no job (A) against true (B)"
farm-bench -n 30 --vs true -- "${cli}" --render-worker
