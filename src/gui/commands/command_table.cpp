// SPDX-License-Identifier: MIT
#include "gui/commands/command_table.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

const std::vector<CommandSpec>& commandTable()
{
    // Ribbon tabs and groups are this program's own arrangement; ids and
    // captions are fixed. Captions ending in blanks keep them.
    static const std::vector<CommandSpec> table = {
        {kNewChapter, "ID_TREE_ADDFILE", u"新建文章"_s, QString(), CommandTarget::Tree, ControlKind::Button, u"开始"_s, u"书库"_s},
        {kNewFolder, "ID_TREE_ADDDIR", u"新建目录"_s, QString(), CommandTarget::Tree, ControlKind::Button, u"开始"_s, u"书库"_s},
        {kSaveChapter, "", u"保存当前页"_s, QString(), CommandTarget::Frame, ControlKind::Button, u"开始"_s, u"书库"_s},
        {kBookmarks, "ID_But_BookMark", u"书签"_s, QString(), CommandTarget::Display, ControlKind::Button, u"开始"_s, u"书签"_s},
        {kAddBookmarkFromView, "", u"添加标签"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kOpenBookmark, "", u"打开书签"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kDeleteBookmark, "", u"删除书签"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kPreviousPage, "", u"上一页"_s, QString(), CommandTarget::View, ControlKind::Button, u"开始"_s, u"翻页"_s},
        {kNextPage, "", u"下一页"_s, QString(), CommandTarget::View, ControlKind::Button, u"开始"_s, u"翻页"_s},
        {kPreviousChapter, "", QString(), u"上一章"_s, CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kNextChapter, "", QString(), u"下一章"_s, CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kImportNovel, "", u"导入小说"_s, QString(), CommandTarget::Tree, ControlKind::Button, u"开始"_s, u"导入"_s},
        {kPresets, "", u"预设置"_s, QString(), CommandTarget::Frame, ControlKind::Button, u"开始"_s, u"导入"_s},
        {kRenameItem, "", u"更改名称"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kDeleteItem, "", u"删除"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kAddBookmarkFromTree, "", u"添加书签"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kSearchTitles, "", u"搜索 书名或章节名 "_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kSearchContent, "", u"搜书中内容"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kSiteByChapter, "", u"生成本地网站 按章节"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kSiteWholeBook, "", u"生成本地网站 全书内容 "_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kSiteByChapterEnglish, "", u"生成本地网站 按章节 英文加注释 "_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kSiteWholeBookEnglish, "", u"生成本地网站 全书内容  英文加注释"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kSitePaging, "", u"生成本地网站 全书内容 分页设置"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kOpenLocalSite, "", u"打开本地网站，对应的目录 "_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kRenderBookAudio, "", u"生成本书音频"_s, QString(), CommandTarget::Tree, ControlKind::Button, QString(), QString()},
        {kOpenPath, "", u"打开路径"_s, QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kNewChapterMenu, "", u"新建文章"_s, QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kClearRecentPaths, "", u"清理最近任务"_s, QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kRecentPath1, "", QString(), QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kRecentPath2, "", QString(), QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kRecentPath3, "", QString(), QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kRecentPath4, "", QString(), QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kExit, "", u"退出"_s, QString(), CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kSpeakAll, "IDM_SPEAK", u"全文"_s, QString(), CommandTarget::View, ControlKind::Button, u"朗读"_s, u"朗读"_s},
        {kSpeakContinue, "ID_SPEAK_CONTINUE", u"当前位置"_s, QString(), CommandTarget::View, ControlKind::Button, u"朗读"_s, u"朗读"_s},
        {kSpeakParagraph, "", u"本段"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kStopSpeaking, "ID_STOP_SPEAK", u"停止朗读"_s, QString(), CommandTarget::View, ControlKind::Button, u"朗读"_s, u"朗读"_s},
        {kSpeakRateNormal, "ID_SpeakRate0", u"语速适中"_s, QString(), CommandTarget::Display, ControlKind::Button, u"朗读"_s, u"语速"_s},
        {kSpeakRateFaster1, "ID_SpeakRate1", u"语速稍快"_s, QString(), CommandTarget::Display, ControlKind::Button, u"朗读"_s, u"语速"_s},
        {kSpeakRateFaster2, "ID_SPEAKFAST2", u"语速较快"_s, QString(), CommandTarget::Display, ControlKind::Button, u"朗读"_s, u"语速"_s},
        {kSpeakRateFast3, "ID_SpeakRate3", u"语速很快"_s, QString(), CommandTarget::Display, ControlKind::Button, u"朗读"_s, u"语速"_s},
        {kSpeakerCombo, "ID_COMBO_SPEAK", u"朗读者"_s, QString(), CommandTarget::Display, ControlKind::Combo, u"朗读"_s, u"朗读者"_s},
        {kChooseSpeaker, "", u"设置朗诵者"_s, QString(), CommandTarget::Display, ControlKind::Button, u"朗读"_s, u"朗读者"_s},
        {kSearchVoices, "ID_BUTTON_Search", u"搜索其它 朗读者 语音引擎"_s, QString(), CommandTarget::Frame, ControlKind::Button, u"朗读"_s, u"朗读者"_s},
        {kHighlightColour, "ID_BUTTON_BrightColor", u"朗读颜色"_s, QString(), CommandTarget::Display, ControlKind::Colour, u"朗读"_s, u"朗读者"_s},
        {kFontCombo, "ID_COMBO_FONT", u"正文"_s, QString(), CommandTarget::Display, ControlKind::Combo, u"显示"_s, u"字体"_s},
        {kFontSize, "ID_SPIN_FONTSIZE", u"字号"_s, QString(), CommandTarget::Display, ControlKind::Spin, u"显示"_s, u"字体"_s},
        {kRowSpacing, "ID_SPIN_LINE", u"行距"_s, QString(), CommandTarget::Display, ControlKind::Spin, u"显示"_s, u"字体"_s},
        {kParagraphSpacing, "ID_SPIN_PRAM", u"段距"_s, QString(), CommandTarget::Display, ControlKind::Spin, u"显示"_s, u"字体"_s},
        {kWiderPage, "", u"增大页宽"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"页面"_s},
        {kNarrowerPage, "", u"减小页宽"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"页面"_s},
        {kFullScreen, "", u"全屏模式"_s, QString(), CommandTarget::Frame, ControlKind::Toggle, u"显示"_s, u"页面"_s},
        {kParagraphMode, "", u"段落显示"_s, QString(), CommandTarget::View, ControlKind::Toggle, u"显示"_s, u"页面"_s},
        {kExpandAllAtStart, "", u"开启时，是否展开全部书"_s, QString(), CommandTarget::Frame, ControlKind::Toggle, u"显示"_s, u"页面"_s},
        {kSchemeWhite, "ID_Color_qianbai", QString(), u"浅白"_s, CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kSchemeYellow, "ID_Color_danhuang", QString(), u"淡黄"_s, CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kSchemeGreen, "ID_Color_danlv", QString(), u"淡绿"_s, CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kSchemeGray, "ID_Color_gray", QString(), u"灰色"_s, CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kSchemeBlack, "ID_Color_black", QString(), u"黑色"_s, CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kRandomColours, "ID_WHOLE_RAND", u"随机"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kSchemeCombo, "ID_COMBO_FANGAN", u"方案"_s, QString(), CommandTarget::Display, ControlKind::Combo, u"显示"_s, u"配色"_s},
        {kSaveScheme, "ID_BTN_RIBBON_SAVE_FANGAN", u"保存新配色方案"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kTextColour, "", QString(), u"文字颜色"_s, CommandTarget::Display, ControlKind::Colour, u"显示"_s, u"配色"_s},
        {kBackgroundColour, "", QString(), u"背景颜色"_s, CommandTarget::Display, ControlKind::Colour, u"显示"_s, u"配色"_s},
        {kColourSettings, "", u"配色设置"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"配色"_s},
        {kNextBackground, "", u"下一个背景"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"背景"_s},
        {kPreviousBackground, "", u"上一个背景"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"背景"_s},
        {kBackgroundFolder, "", QString(), u"背景图片目录"_s, CommandTarget::Display, ControlKind::Combo, u"显示"_s, u"背景"_s},
        {kParagraphPictureFolder, "", QString(), u"段落图片目录"_s, CommandTarget::Display, ControlKind::Combo, u"显示"_s, u"背景"_s},
        {kRandomVerticalBar, "", u"随机换竖栏"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"背景"_s},
        {kRandomHorizontalBar, "", u"随机换横栏"_s, QString(), CommandTarget::Display, ControlKind::Button, u"显示"_s, u"背景"_s},
        {kToggleVerticalDecoration, "", QString(), u"段落竖饰"_s, CommandTarget::Display, ControlKind::Toggle, u"显示"_s, u"背景"_s},
        {kToggleHorizontalBars, "", QString(), u"段落横栏"_s, CommandTarget::Display, ControlKind::Toggle, u"显示"_s, u"背景"_s},
        {kToggleRowLines, "", QString(), u"行线"_s, CommandTarget::Display, ControlKind::Toggle, u"显示"_s, u"背景"_s},
        {kCustomBackground, "", u"自定义背景"_s, QString(), CommandTarget::Display, ControlKind::Button, QString(), QString()},
        {kClearCustomBackground, "", u"去除自定义背景"_s, QString(), CommandTarget::Display, ControlKind::Button, QString(), QString()},
        {kAnnotationRange, "ID_COMBO_QUYU", u"范围"_s, QString(), CommandTarget::Display, ControlKind::Combo, u"标注"_s, u"标注"_s},
        {kAnnotationStyle, "ID_COMBO_YANGSHI", u"样式"_s, QString(), CommandTarget::Display, ControlKind::Combo, u"标注"_s, u"标注"_s},
        {kAnnotationColour, "ID_BUTTON_BIAOZHU", u"配色"_s, QString(), CommandTarget::View, ControlKind::Colour, u"标注"_s, u"标注"_s},
        {kAnnotationNone, "ID_BUTTON_NONE", u"无"_s, QString(), CommandTarget::View, ControlKind::Button, u"标注"_s, u"标注"_s},
        {kAnnotate, "", u"标注"_s, QString(), CommandTarget::View, ControlKind::Button, u"标注"_s, u"标注"_s},
        {kCopy, "", u"复制"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kCut, "", u"剪切"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kPaste, "", u"粘贴"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kCopyMenu, "", u"复制"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kCutMenu, "", u"剪切"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kPasteMenu, "", u"粘贴"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kWordCount, "", u"字数统计"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kWiderPageMenu, "", u"增大页面宽度"_s, QString(), CommandTarget::Display, ControlKind::Button, QString(), QString()},
        {kNarrowerPageMenu, "", u"减小页面宽度"_s, QString(), CommandTarget::Display, ControlKind::Button, QString(), QString()},
        {kInsertCode, "", QString(), u"插入代码段"_s, CommandTarget::View, ControlKind::Button, u"工具"_s, u"编辑"_s},
        {kFontLishu, "", QString(), u"隶书"_s, CommandTarget::View, ControlKind::Button, u"工具"_s, u"编辑"_s},
        {kChunkProperties, "", QString(), u"数据块属性"_s, CommandTarget::View, ControlKind::Button, u"工具"_s, u"编辑"_s},
        {kMakeHtml, "", QString(), u"生成HTML"_s, CommandTarget::View, ControlKind::Button, u"工具"_s, u"编辑"_s},
        {kListeningPage, "", u"生成HTML"_s, QString(), CommandTarget::View, ControlKind::Button, QString(), QString()},
        {kPublishChapter, "", QString(), u"发布到博客"_s, CommandTarget::View, ControlKind::Button, u"工具"_s, u"发布"_s},
        {kUpgrade, "", u"升级更新"_s, QString(), CommandTarget::Frame, ControlKind::Button, u"工具"_s, u"更新"_s},
        {kCheckUpdate, "ID_BTN_UPDATA", u"检查更新"_s, QString(), CommandTarget::Frame, ControlKind::Button, u"工具"_s, u"更新"_s},
        {kOfficialSite, "ID_BUTTON_OPENGuanWang", u"官网"_s, QString(), CommandTarget::Frame, ControlKind::Button, u"工具"_s, u"官网"_s},
        {kOfficialSiteMenu, "", QString(), u"官网"_s, CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kHomePage, "ID_BUTTON_INDEX", u"主页"_s, QString(), CommandTarget::Frame, ControlKind::Button, u"工具"_s, u"官网"_s},
        {kNewsLink, "ID_SYSLINK_zixun", u"最新资讯"_s, QString(), CommandTarget::Frame, ControlKind::Label, u"工具"_s, u"官网"_s},
        {kNewsLinkMenu, "", QString(), u"最新资讯"_s, CommandTarget::Frame, ControlKind::Button, QString(), QString()},
        {kNewsFace, "", u"(◔◡◔✿)"_s, QString(), CommandTarget::Frame, ControlKind::Label, u"工具"_s, u"官网"_s},
        {kLookBlue, "", u"Office 2007 (蓝色样式)(&B)"_s, QString(), CommandTarget::Frame, ControlKind::Toggle, u"工具"_s, u"样式"_s},
        {kLookBlack, "", u"Office 2007 (黑色样式)(&L)"_s, QString(), CommandTarget::Frame, ControlKind::Toggle, u"工具"_s, u"样式"_s},
        {kLookSilver, "", u"Office 2007 (银色样式)(&S)"_s, QString(), CommandTarget::Frame, ControlKind::Toggle, u"工具"_s, u"样式"_s},
        {kLookAqua, "", u"Office 2007 (水绿色样式)(&A)"_s, QString(), CommandTarget::Frame, ControlKind::Toggle, u"工具"_s, u"样式"_s},
    };
    return table;
}

const CommandSpec* findCommandSpec(int id)
{
    for (const auto& spec : commandTable()) {
        if (spec.id == id)
            return &spec;
    }
    return nullptr;
}

}  // namespace veyla::gui
