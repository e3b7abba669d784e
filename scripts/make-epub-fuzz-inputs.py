#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the starting corpora of the EPUB fuzz targets: small EPUB archives for
epub_open_fuzzer and container/package/NCX triples for epub_documents_fuzzer.
Run from the repository root; the output is committed under fuzz/corpus/."""
import os
import zipfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus")
OPEN = os.path.join(ROOT, "epub_open_fuzzer")
DOCS = os.path.join(ROOT, "epub_documents_fuzzer")
BOOK = os.path.join(ROOT, "epub_book_fuzzer")

CONTAINER = """<?xml version="1.0"?>
<container version="1.0" xmlns="urn:oasis:names:tc:opendocument:xmlns:container">
<rootfiles><rootfile full-path="OEBPS/content.opf" media-type="application/oebps-package+xml"/></rootfiles>
</container>
"""


def package(files, toc="ncx"):
    items = "".join(
        f'<item id="i{n}" href="{name}" media-type="application/xhtml+xml"/>\n' for n, name in enumerate(files))
    refs = "".join(f'<itemref idref="i{n}"/>' for n in range(len(files)))
    toc_attr = f' toc="{toc}"' if toc else ""
    return (f'<?xml version="1.0"?>\n<package xmlns="http://www.idpf.org/2007/opf" version="2.0">\n'
            f'<manifest>\n<item id="ncx" href="toc.ncx" media-type="application/x-dtbncx+xml"/>\n{items}</manifest>\n'
            f'<spine{toc_attr}>{refs}</spine>\n</package>\n')


def points(entries, counter):
    out = ""
    for title, src, children in entries:
        counter[0] += 1
        out += (f'<navPoint id="np{counter[0]}" playOrder="{counter[0]}"><navLabel><text>{title}</text></navLabel>'
                f'<content src="{src}"/>{points(children, counter)}</navPoint>\n')
    return out


def ncx(entries):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<ncx xmlns="http://www.daisy.org/z3986/2005/ncx/" '
            f'version="2005-1">\n<navMap>\n{points(entries, [0])}</navMap>\n</ncx>\n')


def xhtml(title, body):
    return (f'<?xml version="1.0" encoding="utf-8"?>\n<html xmlns="http://www.w3.org/1999/xhtml"><head>'
            f'<title>{title}</title></head><body>{body}</body></html>\n')


def entry(name, method=zipfile.ZIP_DEFLATED):
    """An entry with a fixed date, so that the inputs come out the same each run."""
    info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
    info.compress_type = method
    return info


def write_epub(name, files, entries, toc="ncx", method=zipfile.ZIP_DEFLATED, extra=()):
    path = os.path.join(OPEN, name)
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(entry("mimetype", zipfile.ZIP_STORED), "application/epub+zip")
        z.writestr(entry("META-INF/container.xml", method), CONTAINER)
        z.writestr(entry("OEBPS/content.opf", method), package([f for f, _ in files], toc))
        z.writestr(entry("OEBPS/toc.ncx", method), ncx(entries))
        for file_name, body in files:
            z.writestr(entry("OEBPS/" + file_name, method), body)
        for info, data in extra:
            z.writestr(info, data)


def hostile_entries():
    link = entry("OEBPS/link.html")
    link.create_system = 3
    link.external_attr = 0o120777 << 16
    secret = entry("OEBPS/secret.html")
    return [(entry("../evil.html"), "x"), (entry("/tmp/abs.html"), "x"),
            (entry("a\\..\\..\\x.html"), "x"), (link, "/etc/passwd"), (secret, "x")]


def set_encrypted_flag(path, name):
    """Sets general-purpose flag bit 0 of an entry in both of its headers;
    zipfile itself never writes it without encrypting."""
    data = bytearray(open(path, "rb").read())
    wanted = name.encode()
    for signature, flags_at, length_at, name_at in ((b"PK\x03\x04", 6, 26, 30), (b"PK\x01\x02", 8, 28, 46)):
        at = data.find(signature)
        while at >= 0:
            length = int.from_bytes(data[at + length_at:at + length_at + 2], "little")
            if data[at + name_at:at + name_at + length] == wanted:
                data[at + flags_at] |= 0x1
            at = data.find(signature, at + 4)
    open(path, "wb").write(bytes(data))


def main():
    os.makedirs(OPEN, exist_ok=True)
    os.makedirs(DOCS, exist_ok=True)
    os.makedirs(BOOK, exist_ok=True)
    three = [("c1.html", xhtml("One", "<h2>Chapter 1</h2><p>a &amp; b</p>")),
             ("c2.html", xhtml("Two", "<p>x<br/>y</p><script>var a='<p>';</script>")),
             ("c3.html", xhtml("Three", "<div><p>&ldquo;z&rdquo;&#x4E2D;</p></div>"))]
    flat = [("Chapter 1: Start?", "c1.html", []), ("Chapter 2", "c2.html#x", []), ("Chapter 3", "c3.html", [])]
    write_epub("flat.epub", three, flat)
    write_epub("stored.epub", three, flat, method=zipfile.ZIP_STORED)
    nested = [("Part", "c1.html", [("Sub 1", "c1.html#a", []), ("Sub 2", "c%32.html", [("Deep", "c3.html", [])])]),
              ("End", "c3.html", [])]
    write_epub("nested.epub", three, nested)
    write_epub("single.epub", three, [("Whole", "c1.html", [])])
    write_epub("no_toc_attribute.epub", three, flat, toc="")
    write_epub("hostile.epub", three, flat, extra=hostile_entries())
    set_encrypted_flag(os.path.join(OPEN, "hostile.epub"), "OEBPS/secret.html")
    with zipfile.ZipFile(os.path.join(OPEN, "no_container.epub"), "w") as z:
        z.writestr(entry("OEBPS/content.opf"), package(["c1.html"]))

    docs = {
        "flat.txt": CONTAINER + "\n--\n" + package(["c1.html", "c2.html"]) + "\n--\n" + ncx(flat),
        "nested.txt": CONTAINER + "\n--\n" + package(["c1.html"], toc="") + "\n--\n" + ncx(nested),
        "xhtml.txt": xhtml("T", "<p>a</p><title>x</title>&nbsp;&#0;<style>p{}</style><br>b"),
    }
    for name, text in docs.items():
        with open(os.path.join(DOCS, name), "w", encoding="utf-8") as f:
            f.write(text)

    # Container, package, NCX and the two content files a.html and "b b.html".
    pages = xhtml("A", "<h2>One</h2><p>a</p>") + "\n--\n" + xhtml("B", "<p>b&hellip;</p>")
    books = {
        "flat.txt": [("One: a?", "a.html", []), ("Two", "b+b.html#x", [])],
        "nested.txt": [("Part", "a.html", [("One", "a.html#1", []), ("Two", "b%20b.html", [("Deep", "a.html", [])])])],
        "single.txt": [("Whole", "a.html", [])],
    }
    for name, entries in books.items():
        with open(os.path.join(BOOK, name), "w", encoding="utf-8") as f:
            f.write(CONTAINER + "\n--\n" + package(["a.html", "b b.html"]) + "\n--\n" + ncx(entries) + "\n--\n" + pages)


if __name__ == "__main__":
    main()
