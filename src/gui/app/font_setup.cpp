// SPDX-License-Identifier: MIT
#include "gui/app/font_setup.h"

#include <QFont>
#include <QStringList>

namespace veyla::gui {

using namespace Qt::StringLiterals;

void installFontSubstitutions()
{
    const QStringList kai = {u"AR PL UKai CN"_s, u"AR PL UKai TW"_s, u"Noto Serif CJK SC"_s, u"Noto Sans CJK SC"_s};
    const QStringList serif = {u"Noto Serif CJK SC"_s, u"AR PL UMing CN"_s, u"Noto Sans CJK SC"_s};
    const QStringList mono = {u"DejaVu Sans Mono"_s, u"Noto Sans Mono CJK SC"_s, u"Liberation Mono"_s};
    QFont::insertSubstitutions(u"方正楷体S-超大字符集"_s, kai);
    QFont::insertSubstitutions(u"楷体"_s, kai);
    QFont::insertSubstitutions(u"隶书"_s, kai);
    QFont::insertSubstitutions(u"宋体"_s, serif);
    QFont::insertSubstitutions(u"Andale Mono"_s, mono);
}

}  // namespace veyla::gui
