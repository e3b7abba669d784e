// SPDX-License-Identifier: MIT
#pragma once

namespace veyla::gui {

// Command ids. They are kept from the program's resource definitions so that
// ribbons, menus and tests speak of the same numbers.
enum CommandId : int {
    // Library tree context menu
    kRenameItem = 501,          // "更改名称"
    kNewChapter = 502,          // "新建文章" (ID_TREE_ADDFILE)
    kNewFolder = 503,           // "新建目录" (ID_TREE_ADDDIR)
    kDeleteItem = 504,          // "删除"
    kImportNovel = 505,         // "导入小说"
    kAddBookmarkFromTree = 506, // "添加书签"
    kSearchContent = 507,       // "搜书中内容"
    kSiteByChapter = 508,       // "生成本地网站 按章节"
    kSiteWholeBook = 509,       // "生成本地网站 全书内容 "
    kSearchTitles = 510,        // "搜索 书名或章节名 "
    kOpenLocalSite = 511,       // "打开本地网站，对应的目录 "
    kSitePaging = 512,          // "生成本地网站 全书内容 分页设置"
    kSiteByChapterEnglish = 513,
    kSiteWholeBookEnglish = 514,
    kRenderBookAudio = 34010,   // "生成本书音频"

    // Application look
    kLookBlue = 215,
    kLookBlack = 216,
    kLookSilver = 217,
    kLookAqua = 218,

    // Reading speed
    kSpeakRateFaster2 = 1500,   // "语速较快" (ID_SPEAKFAST2)

    // Main menu and frame
    kFullScreen = 32771,        // "全屏模式"
    kNewChapterMenu = 32810,    // "新建文章" (menu)
    kRecentPath1 = 32844,
    kRecentPath2 = 32845,
    kRecentPath3 = 32846,
    kRecentPath4 = 32847,
    kClearRecentPaths = 32848,  // "清理最近任务"
    kSaveChapter = 32943,       // "保存当前页"
    kOpenPath = 32946,          // "打开路径"
    kNextChapter = 32947,
    kPreviousChapter = 32948,
    kInsertCode = 32972,
    kFormatCode = 33435,        // "代码格式整理"
    kColourSettings = 32973,    // "配色设置"
    kFontLishu = 32974,
    kChunkProperties = 32975,
    kNextBackground = 32982,    // "下一个背景"
    kPreviousBackground = 32983, // "上一个背景"
    kCopy = 32828,              // "复制"
    kCut = 32830,               // "剪切"
    kSpeakRateFast3 = 33377,    // "语速很快" (ID_SpeakRate3)
    kCopyMenu = 33379,
    kPasteMenu = 33380,
    kCutMenu = 33381,
    kWiderPageMenu = 33397,     // "增大页面宽度"
    kNarrowerPageMenu = 33399,  // "减小页面宽度"
    kNextPage = 33404,          // "下一页"
    kPreviousPage = 33405,      // "上一页"
    kPresets = 33408,           // "预设置" / "分章设置"
    kUpgrade = 33410,           // "升级更新"
    kRandomVerticalBar = 33413, // "随机换竖栏"
    kRandomHorizontalBar = 33415, // "随机换横栏"
    kAnnotate = 33420,          // "标注"
    kPublishChapter = 33421,
    kOfficialSiteMenu = 33423,
    kPaste = 33427,             // "粘贴"
    kExit = 33437,              // "退出"
    kParagraphMode = 33447,     // "段落显示"
    kSpeakAll = 33454,          // "全文" (IDM_SPEAK)
    kSpeakParagraph = 33459,    // "本段"
    kSpeakContinue = 33460,     // "当前位置" (ID_SPEAK_CONTINUE)
    kChooseSpeaker = 33461,     // "设置朗诵者"
    kStopSpeaking = 33463,      // "停止朗读" (ID_STOP_SPEAK)
    kWordCount = 33465,         // "字数统计"
    kRandomColours = 33466,     // "随机" (ID_WHOLE_RAND)
    kTextColour = 33469,
    kBackgroundColour = 33470,
    kBackgroundFolder = 33471,
    kSchemeCombo = 33972,       // "方案" (ID_COMBO_FANGAN)
    kSpeakRateFaster1 = 33973,  // "语速稍快" (ID_SpeakRate1)
    kParagraphPictureFolder = 33976,
    kRowSpacing = 33979,        // "行距" (ID_SPIN_LINE)
    kAnnotationStyle = 33980,   // "样式" (ID_COMBO_YANGSHI)
    kFontCombo = 33981,         // "正文" (ID_COMBO_FONT)
    kFontSize = 33982,          // "字号" (ID_SPIN_FONTSIZE)
    kParagraphSpacing = 33983,  // "段距" (ID_SPIN_PRAM)
    kWiderPage = 33984,         // "增大页宽"
    kNarrowerPage = 33985,      // "减小页宽"
    kAnnotationRange = 33988,   // "范围" (ID_COMBO_QUYU)
    kAnnotationColour = 33989,  // "配色" (ID_BUTTON_BIAOZHU)
    kToggleVerticalDecoration = 33990,
    kToggleHorizontalBars = 33991,
    kToggleRowLines = 33992,
    kAnnotationNone = 33993,    // "无" (ID_BUTTON_NONE)
    kSpeakRateNormal = 33994,   // "语速适中" (ID_SpeakRate0)
    kSpeakerCombo = 33996,      // "朗读者" (ID_COMBO_SPEAK)
    kHomePage = 33997,          // "主页" (ID_BUTTON_INDEX)
    kBookmarks = 34001,         // "书签" (ID_But_BookMark)
    kAddBookmarkFromView = 34004, // "添加标签"
    kOpenBookmark = 34005,      // "打开书签"
    kDeleteBookmark = 34006,    // "删除书签"
    kCheckUpdate = 34012,       // "检查更新" (ID_BTN_UPDATA)
    kExpandAllAtStart = 34015,  // "开启时，是否展开全部书"
    kCustomBackground = 34017,  // "自定义背景"
    kSchemeWhite = 34023,       // ID_Color_qianbai
    kSchemeYellow = 34024,      // ID_Color_danhuang
    kSchemeGreen = 34025,       // ID_Color_danlv
    kSchemeGray = 34026,        // ID_Color_gray
    kSchemeBlack = 34027,       // ID_Color_black
    kSaveScheme = 34028,        // "保存新配色方案"
    kClearCustomBackground = 34032, // "去除自定义背景"
    kNewsLink = 34034,          // "最新资讯" (ID_SYSLINK_zixun)
    kNewsLinkMenu = 34035,
    kSearchVoices = 34036,      // "搜索其它 朗读者 语音引擎" (ID_BUTTON_Search)
    kNewsFace = 34039,
    kHighlightColour = 34040,   // "朗读颜色" (ID_BUTTON_BrightColor)
    kOfficialSite = 34041,      // "官网" (ID_BUTTON_OPENGuanWang)
    kMakeHtml = 33084,
    kListeningPage = 33429,     // "生成HTML" of the view's menu: the listening page 听小说.html

    // Commands of this program's own
    kSleepTimerCombo = 34101,   // "定时": when read-aloud stops by itself
    kBlogPosts = 34102,         // "读取博客文章": a blog category's posts read back into a folder
};

}  // namespace veyla::gui
