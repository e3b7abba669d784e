#!/usr/bin/env python3
"""Writes a generated library for start-up benchmarks:
CATEGORIES category folders holding BOOKS book folders in all, each with
CHAPTERS small chapter files (UTF-16LE chapter XML without byte-order mark).

    make_library.py DATA_DIR [books=2000] [chapters=50] [categories=20]
"""
import os
import sys

def chapter_bytes(title):
    xml = ('<Page>\r\n<Body Type="C2">\r\n<Chunk Type="R1">\r\n<Chunk>%s</Chunk>\r\n</Chunk>\r\n'
           '<Chunk Type="R1">\r\n<Chunk>　　正文。</Chunk>\r\n</Chunk>\r\n</Body>\r\n</Page>\r\n') % title
    return xml.encode('utf-16-le')

def main():
    data = sys.argv[1]
    books = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    chapters = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    categories = int(sys.argv[4]) if len(sys.argv) > 4 else 20
    library = os.path.join(data, '藏书库')
    for b in range(books):
        category = os.path.join(library, '类%02d' % (b % categories))
        book = os.path.join(category, '%04d_书%04d' % (b // categories + 1, b))
        os.makedirs(book, exist_ok=True)
        for c in range(1, chapters + 1):
            title = '第%d章' % c
            with open(os.path.join(book, '%04d_%s.xml' % (c, title)), 'wb') as f:
                f.write(chapter_bytes(title))

if __name__ == '__main__':
    main()
