// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/app_folders.h"
#include "core/util/result.h"

namespace veyla::view {

// The random source of the commands that pick something at random.
using RandomEngine = std::mt19937;

// A Windows colour value: red in bits 0–7, green in 8–15, blue in 16–23.
using Colour = std::int32_t;

constexpr Colour rgb(int red, int green, int blue)
{
    return static_cast<Colour>(red | (green << 8) | (blue << 16));
}
constexpr int redOf(Colour colour) { return colour & 0xFF; }
constexpr int greenOf(Colour colour) { return (colour >> 8) & 0xFF; }
constexpr int blueOf(Colour colour) { return (colour >> 16) & 0xFF; }

// The colours of the reading view, the tree and code, with the two code
// output modes; what control/Color.xml keeps on its Page element.
struct ColourSet {
    Colour bg = 0;          // Bg: page background without a picture
    Colour treeBg = 0;      // TreeBg: library tree background
    Colour text = 0;        // Text: body text
    Colour textBright = 0;  // TextBright: text being read aloud
    Colour left = 0;        // Left
    Colour codeBg = 0;      // CBg: code background of the code-to-HTML output
    Colour codeText = 0;    // CText: plain code text
    Colour comment = 0;     // Zhuwen: comments in code
    Colour parenthesis = 0; // Xiaokuohao
    Colour brace = 0;       // Dakuohao
    Colour inParenthesis = 0;  // CurInXiao
    Colour inBrace = 0;        // CurInDa
    Colour control = 0;     // Control: words of the Control table
    Colour type = 0;        // Int
    Colour function = 0;    // Fun
    Colour ownFunction = 0; // DFun
    Colour variable = 0;    // Var
    Colour boolean = 0;     // TRUE
    Colour string = 0;      // Yinhao: quoted strings
    Colour digit = 0;       // Digit
    int codeHtmlMode = 0;   // CodeHtmlMode: 0 this paragraph, 1 the whole chapter
    int codePubMode = 0;    // CodePubMode: 0…3

    friend bool operator==(const ColourSet&, const ColourSet&) = default;
};

// A saved, named scheme.
struct ColourScheme {
    std::u16string name;
    Colour bg = 0;
    Colour treeBg = 0;
    Colour text = 0;

    friend bool operator==(const ColourScheme&, const ColourScheme&) = default;
};

// The built-in scheme of a ribbon command id (34023 浅白 … 34027 black), if any.
std::optional<ColourScheme> builtInScheme(int commandId);

enum class DuplicateName { Refuse, Replace };
enum class SchemeSaved { EmptyName, Appended, Replaced, DuplicateRefused };

// The colour set and the list of saved schemes, read from and written to control/Color.xml.
class ColourSchemes {
public:
    static constexpr Colour kDefaultTextBright = 16711680;  // RGB(0, 0, 255)

    // Parses the file's text. Attributes that are missing read as 0, except
    // TextBright; a scheme without a name is "未命名". Schemes are read only
    // when WholeCount is above 0, and then every CORLOR element is read.
    static ColourSchemes fromXml(std::u16string_view xml);
    // Whether text (a file's, decoded) holds colours: a Page element at its root.
    static bool isColourFile(std::u16string_view xml);
    // The colours in force when no colour file can be read: the 淡黄 scheme
    // and the default TextBright, no saved scheme.
    static ColourSchemes builtIn();
    // The data folder's control/Color.xml, else the program folder's, else
    // the built-in colours. A data-folder file that exists but holds no
    // colours (empty, not XML, another root) is kept aside as
    // Color.xml.unreadable, so that writing the colours at exit cannot
    // destroy it, and the next file is read.
    static ColourSchemes read(const platform::AppFolders& folders);

    std::u16string toXml() const;
    // Always into the data folder (UTF-16LE), replacing the file atomically.
    Status write(const platform::AppFolders& folders) const;

    ColourSet& colours() { return m_colours; }
    const ColourSet& colours() const { return m_colours; }
    const std::vector<ColourScheme>& schemes() const { return m_schemes; }

    // Bg, TreeBg and Text of a scheme become the current colours.
    void apply(const ColourScheme& scheme);
    // Applies the first scheme of that name; false when there is none.
    bool applyNamed(std::u16string_view name);
    // A built-in scheme by command id; false for another id.
    bool applyBuiltIn(int commandId);
    // Text and Bg become random colours (each channel engine() mod 255) and
    // TreeBg = Bg − 1118481 on the packed value.
    void randomise(RandomEngine& engine);

    // Saves the current colours under a name: a new name appends Bg, TreeBg
    // and Text; an existing name is refused, or with Replace takes the
    // current Bg and Text (its TreeBg stays).
    SchemeSaved saveCurrent(std::u16string_view name, DuplicateName duplicate);

    // Steps through the saved schemes, wrapping at both ends, and applies
    // the one reached; needs at least two schemes. The step starts from the
    // scheme last applied or, without one, from the scheme matching the
    // current Bg and Text.
    bool stepScheme(int direction);

private:
    std::optional<std::size_t> currentScheme() const;

    ColourSet m_colours;
    std::vector<ColourScheme> m_schemes;
    std::optional<std::size_t> m_lastApplied;
};

}  // namespace veyla::view
