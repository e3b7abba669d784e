// SPDX-License-Identifier: MIT
#include "gui/view/view_context_menu.h"

#include <QAction>
#include <QMenu>

#include "gui/commands/command_router.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

// A menu item with its own caption that runs the command id.
QAction* addItem(QMenu& menu, CommandRouter& router, int id, const QString& caption)
{
    QAction* item = menu.addAction(caption);
    const QAction* command = router.action(id);
    item->setEnabled(command != nullptr && command->isEnabled());
    QObject::connect(item, &QAction::triggered, &router, [&router, id] { router.trigger(id); });
    return item;
}

}  // namespace

void fillViewContextMenu(QMenu& menu, CommandRouter& router, const ViewMenuState& state)
{
    QAction* expandAll = addItem(menu, router, kExpandAllAtStart, u"开启时，是否展开全部书"_s);
    expandAll->setCheckable(true);
    expandAll->setChecked(state.expandAllAtStart);
    QAction* fullScreen = addItem(menu, router, kFullScreen, u"全屏模式"_s);
    fullScreen->setCheckable(true);
    fullScreen->setChecked(state.fullScreen);
    menu.addSeparator();
    addItem(menu, router, kAnnotate, u"标注"_s);
    addItem(menu, router, kAddBookmarkFromView,
            state.chapterIsBookmarked ? u"已经添加到了书签中，可在书签中快速打开"_s : u"添加到书签中"_s);
    menu.addSeparator();
    addItem(menu, router, kPreviousPage, u"上一页"_s);
    addItem(menu, router, kNextPage, u"下一页"_s);
    menu.addSeparator();
    addItem(menu, router, kCustomBackground, u"自定义背景"_s);
    addItem(menu, router, kClearCustomBackground, u"去除自定义背景"_s);
    addItem(menu, router, kNextBackground, u"下一个背景"_s);
    addItem(menu, router, kPreviousBackground, u"上一个背景"_s);
    addItem(menu, router, kWiderPage, u"增大页宽"_s);
    addItem(menu, router, kNarrowerPage, u"减小页宽"_s);
    menu.addSeparator();
    addItem(menu, router, kCutMenu, u"剪切"_s);
    addItem(menu, router, kCopyMenu, u"复制"_s);
    addItem(menu, router, kPasteMenu, u"粘贴"_s);
    menu.addSeparator();
    QMenu* slides = menu.addMenu(u"PPT"_s);
    addItem(*slides, router, kParagraphMode, state.paragraphMode ? u"全文模式"_s : u"段落模式"_s);
    QMenu* speech = menu.addMenu(u"朗读"_s);
    addItem(*speech, router, kSpeakParagraph, u"本段"_s);
    addItem(*speech, router, kSpeakContinue, u"连续段"_s);
    addItem(*speech, router, kChooseSpeaker, u"设置朗诵者"_s);
    addItem(*speech, router, kStopSpeaking, u"停止朗诵"_s);
    menu.addSeparator();
    addItem(menu, router, kWordCount, u"字数统计"_s);
    addItem(menu, router, kColourSettings, u"配色设置"_s);
    addItem(menu, router, kListeningPage, u"生成HTML"_s);
    addItem(menu, router, kPresets, u"分章设置"_s);
}

}  // namespace veyla::gui
