#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Rendering a book of 40 chapters (about 1,000 characters each, from the
corpus's 西游记) with 1 and with 2 worker processes, and the start of
veyla-cli --version and of a render worker against /bin/true.

Each comparison runs the two commands in turn, A B A B ..., and takes the
ratio A/B pair by pair, so that a machine whose speed drifts during the run
still gives a fair ratio; the medians are printed.

    bench/speech/render_workers.py [build/release] [render runs] [start runs]
"""
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build/release")
render_runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
start_runs = int(sys.argv[3]) if len(sys.argv) > 3 else 200
cli = (build / "stage/veyla-cli").resolve()


def timed(command, before=None):
    if before:
        before()
    start = time.perf_counter()
    subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def pairs(name_a, a, name_b, b, runs, before=None, unit=1.0, label="s"):
    timed(a, before)  # warm the caches once
    timed(b, before)
    times_a, times_b, ratios = [], [], []
    for _ in range(runs):
        ta = timed(a, before)
        tb = timed(b, before)
        times_a.append(ta)
        times_b.append(tb)
        ratios.append(ta / tb)
    print(f"  {name_a}: median {statistics.median(times_a) * unit:.3f} {label}")
    print(f"  {name_b}: median {statistics.median(times_b) * unit:.3f} {label}")
    print(f"  ratio {name_a} / {name_b}: median {statistics.median(ratios):.3f} "
          f"(min {min(ratios):.3f}, max {max(ratios):.3f}, {runs} pairs)")


def make_book(work):
    novel = pathlib.Path("/work/shared/corpus/zh/xiyouji_pg23962.simplified.txt")
    if not novel.exists():
        novel = ROOT.parent / "shared/corpus/zh/xiyouji_pg23962.simplified.txt"
    lines = [l.strip() for l in novel.read_text(encoding="utf-8").splitlines() if l.strip()][200:]
    chapter, size, n = [], 0, 0
    for line in lines:
        chapter.append(line)
        size += len(line)
        if size < 1000:
            continue
        n += 1
        text = work / f"{n:02d}.txt"
        text.write_text("\n".join(chapter) + "\n", encoding="utf-8")
        subprocess.run([cli, "--data", work / "data", "new", "--from", text, f"书/00{n:02d}_第{n:02d}章.xml"],
                       check=True)
        chapter, size = [], 0
        if n == 40:
            break


def main():
    with tempfile.TemporaryDirectory() as folder:
        work = pathlib.Path(folder)
        make_book(work)
        audio = work / "data/音频"
        clear = lambda: shutil.rmtree(audio, ignore_errors=True)
        render = lambda jobs: [cli, "--data", work / "data", "audio", "--jobs", str(jobs), "书"]
        print(f"== 40 chapters, {os.cpu_count()} cores: 2 workers against 1 worker")
        pairs("2 workers", render(2), "1 worker", render(1), render_runs, before=clear)
    print("== start: veyla-cli --version against /bin/true")
    pairs("veyla-cli --version", [cli, "--version"], "true", ["/bin/true"], start_runs, unit=1000, label="ms")
    print("== start: a render worker with no job against /bin/true")
    pairs("veyla-cli --render-worker", [cli, "--render-worker"], "true", ["/bin/true"], start_runs, unit=1000,
          label="ms")


if __name__ == "__main__":
    main()
