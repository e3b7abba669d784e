#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Makes two data folders for looking at the reading view:

  DIR/plain     a library with a long chapter, an annotated chapter and a
                code chapter, and no settings file (the shipped ones apply);
  DIR/pictures  the same library with settings that turn on a background
                picture folder, the row-line strips, the vertical bars and
                the uniform annotation range.

Usage: make-view-sample-data.py DIR [NOVEL.txt]
NOVEL.txt (UTF-8) gives the long chapter's text; without it a short text is repeated.
Chapter files are UTF-16LE XML, as the program writes them."""
import os
import sys
from xml.sax.saxutils import escape

BOOK = os.path.join("藏书库", "示例", "0001_样例")


def chunk(text, **attributes):
    extra = "".join(f' {name}="{value}"' for name, value in attributes.items())
    return f'<Chunk Type="R1"{extra}>\r\n<Chunk>{escape(text)}</Chunk>\r\n</Chunk>\r\n'


def chapter(paragraphs):
    body = "".join(chunk(text, **attributes) for text, attributes in paragraphs)
    return f'<Page>\r\n<Body Type="C{len(paragraphs)}">\r\n{body}</Body>\r\n</Page>\r\n'


def write(path, text, encoding="utf-16-le", bom=b""):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(bom + text.encode(encoding))


def long_text(novel):
    if novel:
        with open(novel, encoding="utf-8") as source:
            lines = [line.strip() for line in source.read()[:20000].splitlines()]
        return [line for line in lines if line]
    return ["却说那石猴在花果山水帘洞中，与群猴嬉戏，不觉三五百载。"] * 200


ANNOTATED = [
    ("第二回　悟彻菩提真妙理　断魔归本合元神", {}),
    ("话表美猴王得了姓名，[F3]怡然踊跃[/F]，对菩提前作礼启谢。那祖师即命大众引孙悟空出二门外，"
     "教他[F5]洒扫应对[/F]，进退周旋之节。", {}),
    ("众仙奉行而出。悟空到门外，又拜了大众师兄，就于廊庑之间，安排寝处。", {"BZ": 7}),
    ("[T2]次早，与众师兄学言语礼貌、讲经论道，习字焚香，每日如此。[/T]", {}),
    ("闲时即扫地锄园，养花修树，寻柴燃火，挑水运浆。凡所用之物，无一不备。"
     "[F12]在洞中不觉倏六七年[/F]。", {"HLine": 1, "PL": 1}),
]

CODE = [
    ("下面是一段程序：", {}),
    ("#include <stdio.h>\r\n"
     "// 打印九九乘法表\r\n"
     "int main(void)\r\n"
     "{\r\n"
     "    for (int i = 1; i <= 9; i++) {\r\n"
     "        for (int j = 1; j <= i; j++)\r\n"
     "            printf(\"%d*%d=%-3d\", j, i, i * j);\r\n"
     "        printf(\"\\n\");\r\n"
     "    }\r\n"
     "    return 0;\r\n"
     "}", {"Code": 1}),
    ("程序结束。", {}),
]

PICTURE_SETTINGS = """[Background]
Background=默认
lineDir=默认
verticalDir=默认
parmDir=默认
Index0=0
nPramBZ=1
[Color]
nWholeTB0=0
bWholeLeft=1
bWholeTop=1
bWholeBottom=1
nVertical=40
nVerticalWidth=200
"""


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    novel = sys.argv[2] if len(sys.argv) > 2 else None
    for name in ("plain", "pictures"):
        data = os.path.join(root, name)
        book = os.path.join(data, BOOK)
        write(os.path.join(book, "0001_正文.xml"), chapter([(line, {}) for line in long_text(novel)]))
        write(os.path.join(book, "0002_标注.xml"), chapter(ANNOTATED))
        write(os.path.join(book, "0003_代码.xml"), chapter(CODE))
    write(os.path.join(root, "pictures", "control", "preSet.ini"), PICTURE_SETTINGS.replace("\n", "\r\n"),
          bom=b"\xff\xfe")


if __name__ == "__main__":
    main()
