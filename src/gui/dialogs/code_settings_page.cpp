// SPDX-License-Identifier: MIT
#include "gui/dialogs/code_settings_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

struct ColourField {
    const char16_t* caption;
    const char* key;
    view::Colour view::ColourSet::*member;
};

constexpr ColourField kFields[] = {
    {u"背景色:", "CBg", &view::ColourSet::codeBg},
    {u"文字色:", "CText", &view::ColourSet::codeText},
    {u"注文色:", "Zhuwen", &view::ColourSet::comment},
    {u"小括号:", "Xiaokuohao", &view::ColourSet::parenthesis},
    {u"大括号:", "Dakuohao", &view::ColourSet::brace},
    {u"光标在小括号内:", "CurInXiao", &view::ColourSet::inParenthesis},
    {u"光标在大括号内:", "CurInDa", &view::ColourSet::inBrace},
    {u"控制关键字如 IF:", "Control", &view::ColourSet::control},
    {u"类型关键字如 INT:", "Int", &view::ColourSet::type},
    {u"系统常用函数:", "Fun", &view::ColourSet::function},
    {u"自定义函数:", "DFun", &view::ColourSet::ownFunction},
    {u"自定义变量如i.j：", "Var", &view::ColourSet::variable},
    {u"双引号内字符串：", "Yinhao", &view::ColourSet::string},
    {u"数字：", "Digit", &view::ColourSet::digit},
};

void paintSwatch(QPushButton& button, view::Colour colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(toQColor(colour));
    button.setIcon(QIcon(swatch));
}

}  // namespace

const std::vector<CodeSettingsPage::CodeScheme>& CodeSettingsPage::classicSchemes()
{
    using view::rgb;
    static const std::vector<CodeScheme> schemes = {
        {u"经典白底"_s, rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 128, 0), rgb(128, 0, 128), rgb(128, 0, 0),
         rgb(0, 0, 255), rgb(0, 0, 255), rgb(136, 0, 136), rgb(0, 128, 128), rgb(0, 0, 128), rgb(0, 0, 255),
         rgb(163, 21, 21), rgb(9, 134, 88)},
        {u"护眼绿"_s, rgb(199, 237, 204), rgb(30, 30, 30), rgb(96, 139, 78), rgb(150, 60, 0), rgb(150, 0, 0),
         rgb(175, 0, 219), rgb(0, 64, 192), rgb(121, 94, 38), rgb(0, 112, 112), rgb(0, 16, 128), rgb(0, 64, 192),
         rgb(163, 21, 21), rgb(9, 110, 70)},
        {u"夜间黑底"_s, rgb(30, 30, 30), rgb(212, 212, 212), rgb(106, 153, 85), rgb(255, 215, 0), rgb(218, 112, 214),
         rgb(197, 134, 192), rgb(86, 156, 214), rgb(220, 220, 170), rgb(78, 201, 176), rgb(156, 220, 254),
         rgb(86, 156, 214), rgb(206, 145, 120), rgb(181, 206, 168)},
    };
    return schemes;
}

void CodeSettingsPage::applyScheme(const CodeScheme& scheme, view::ColourSet& colours)
{
    colours.codeBg = scheme.background;
    colours.codeText = scheme.text;
    colours.comment = scheme.comment;
    colours.parenthesis = scheme.parenthesis;
    colours.brace = scheme.brace;
    colours.control = scheme.control;
    colours.type = scheme.type;
    colours.function = scheme.function;
    colours.ownFunction = scheme.ownFunction;
    colours.variable = scheme.variable;
    colours.boolean = scheme.boolean;
    colours.string = scheme.string;
    colours.digit = scheme.digit;
}

CodeSettingsPage::CodeSettingsPage(DisplayController& controller, DisplayState& display, QWidget* parent)
    : QWidget(parent), m_controller(controller), m_display(display)
{
    setObjectName(u"代码设置"_s);
    auto& colours = m_display.schemes.colours();
    auto* colourBox = new QGroupBox(u"代码颜色"_s, this);
    auto* grid = new QGridLayout(colourBox);
    std::vector<std::pair<QPushButton*, view::Colour view::ColourSet::*>> buttons;
    int row = 0;
    for (const auto& field : kFields) {
        auto* button = new QPushButton(QString::fromUtf16(field.caption), colourBox);
        button->setObjectName(QString::fromLatin1(field.key));
        paintSwatch(*button, colours.*field.member);
        connect(button, &QPushButton::clicked, this, [this, button, field] {
            auto& colour = m_display.schemes.colours().*field.member;
            m_controller.chooseColour(colour, QString::fromUtf16(field.caption));
            paintSwatch(*button, colour);
            emit changed();
        });
        grid->addWidget(button, row / 2, row % 2);
        buttons.emplace_back(button, field.member);
        ++row;
    }
    const auto repaintSwatches = [this, buttons] {
        for (const auto& [button, member] : buttons)
            paintSwatch(*button, m_display.schemes.colours().*member);
    };

    auto* background = new QCheckBox(u"代码背景色"_s, this);
    background->setObjectName(u"bCodeBg"_s);
    background->setChecked(m_display.settings.codeBackground);
    connect(background, &QCheckBox::toggled, this, [this](bool on) {
        m_display.settings.codeBackground = on;
        emit changed();
    });

    const auto radioGroup = [this](const QString& title, const QStringList& captions, int& value) {
        auto* box = new QGroupBox(title, this);
        auto* layout = new QHBoxLayout(box);
        auto* group = new QButtonGroup(box);
        for (int i = 0; i < captions.size(); ++i) {
            auto* radio = new QRadioButton(captions[i], box);
            radio->setChecked(value == i);
            group->addButton(radio, i);
            layout->addWidget(radio);
        }
        connect(group, &QButtonGroup::idClicked, this, [this, &value](int id) {
            value = id;
            emit changed();
        });
        return box;
    };
    auto* publish = radioGroup(u"Code发布方式："_s, {u"所见所得"_s, u"全站统一"_s, u"兼容高亮"_s, u"确保配色"_s},
                               colours.codePubMode);
    publish->setObjectName(u"CodePubMode"_s);
    auto* scope = radioGroup(QString(), {u"仅本段"_s, u"全篇"_s}, colours.codeHtmlMode);
    scope->setObjectName(u"CodeHtmlMode"_s);

    auto* random = new QPushButton(u"随机代码配色"_s, this);
    random->setObjectName(u"randomCode"_s);
    connect(random, &QPushButton::clicked, this, [this, repaintSwatches] {
        randomise();
        repaintSwatches();
        emit changed();
    });
    auto* save = new QPushButton(u"保存为方案"_s, this);
    save->setObjectName(u"saveScheme"_s);
    connect(save, &QPushButton::clicked, this, [this] { m_controller.saveCurrentScheme(); });

    auto* classic = new QListWidget(this);
    classic->setObjectName(u"经典配色方案"_s);
    for (const auto& scheme : classicSchemes())
        classic->addItem(scheme.name);
    connect(classic, &QListWidget::currentRowChanged, this, [this, repaintSwatches](int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= classicSchemes().size())
            return;
        applyScheme(classicSchemes()[static_cast<std::size_t>(index)], m_display.schemes.colours());
        repaintSwatches();
        emit changed();
    });
    auto* classicBox = new QGroupBox(u"经典配色方案"_s, this);
    (new QVBoxLayout(classicBox))->addWidget(classic);

    auto* actions = new QHBoxLayout;
    actions->addWidget(background);
    actions->addWidget(random);
    actions->addWidget(save);
    auto* left = new QVBoxLayout;
    left->addWidget(colourBox);
    left->addLayout(actions);
    left->addWidget(publish);
    left->addWidget(scope);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(classicBox);
}

void CodeSettingsPage::randomise()
{
    auto& colours = m_display.schemes.colours();
    const auto next = [this] {
        return view::rgb(static_cast<int>(m_display.random() % 200), static_cast<int>(m_display.random() % 200),
                         static_cast<int>(m_display.random() % 200));
    };
    for (const auto& field : kFields) {
        if (field.member != &view::ColourSet::codeBg)
            colours.*field.member = next();
    }
}

}  // namespace veyla::gui
