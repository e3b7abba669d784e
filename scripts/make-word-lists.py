#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the English word lists the program ships in control/eng/:
1junior.json ... 7SAT.json, each a JSON array of {"w": word, "t": gloss},
made from the MIT-licensed ECDICT dictionary (github.com/skywind3000/ECDICT)
by its level tags: zk (junior high), gk (senior high), cet4, cet6, ky
(kaoyan), toefl, and gre standing in for SAT (ECDICT has no SAT tag).

The gloss is ECDICT's translation, split into senses at the literal two
characters backslash-n; senses starting with a subject-field marker such
as "[医]" are dropped unless nothing else is left (then the first keeps its
text without the marker); the rest are joined by one blank. Entries are
sorted by the lower-cased word, then the word; one object per line, UTF-8.

usage: make-word-lists.py [ECDICT.csv]
The CSV is ECDICT's ecdict.csv or its tagged extract; the default is the
extract in the shared corpus. Output goes to resources/control/eng/, with
ECDICT's licence beside it. Running it again gives the same bytes."""
import csv
import json
import os
import re
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "control", "eng")
DEFAULT_SOURCE = os.path.join(HERE, "..", "..", "shared", "corpus", "vocab", "skywind3000-ECDICT",
                              "ecdict-tagged.csv")
LEVELS = [("1junior", "zk"), ("2high", "gk"), ("3CET4", "cet4"), ("4CET6", "cet6"),
          ("5kaoyan", "ky"), ("6toefl", "toefl"), ("7SAT", "gre")]
DOMAIN = re.compile(r"^\[[^\]]+\]\s*")


def gloss(translation):
    senses = [s.strip() for s in translation.split("\\n") if s.strip()]
    if not senses:
        return ""
    plain = [s for s in senses if not DOMAIN.match(s)]
    if not plain:
        plain = [DOMAIN.sub("", senses[0])]
    return " ".join(plain)


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("VEYLA_ECDICT_CSV", DEFAULT_SOURCE)
    csv.field_size_limit(10**9)
    lists = {tag: [] for _, tag in LEVELS}
    with open(source, encoding="utf-8", newline="") as f:
        for row in csv.DictReader(f):
            for tag in row["tag"].split():
                if tag in lists:
                    lists[tag].append({"w": row["word"], "t": gloss(row["translation"])})
    os.makedirs(OUT, exist_ok=True)
    for name, tag in LEVELS:
        items = sorted(lists[tag], key=lambda e: (e["w"].lower(), e["w"]))
        with open(os.path.join(OUT, name + ".json"), "w", encoding="utf-8", newline="\n") as g:
            g.write("[\n" + ",\n".join(json.dumps(e, ensure_ascii=False) for e in items) + "\n]\n")
        print(f"{name}.json: {len(items)} words ({tag})")
    licence = os.path.join(os.path.dirname(source), "LICENSE")
    if os.path.exists(licence):
        shutil.copyfile(licence, os.path.join(OUT, "LICENSE-ECDICT.txt"))


if __name__ == "__main__":
    main()
