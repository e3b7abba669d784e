// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veyla::output {

// A value of the JSON reader. Strings hold their decoded text as UTF-8
// bytes; null, true, false and numbers are literals kept as their text.
class JsonValue {
public:
    enum class Kind { None, Object, Array, String, Literal };

    JsonValue() = default;
    explicit JsonValue(Kind kind, std::string text = {}) : m_kind(kind), m_text(std::move(text)) {}

    Kind kind() const { return m_kind; }
    bool isString() const { return m_kind == Kind::String; }
    // The string's text or the literal's text; empty for other kinds.
    const std::string& text() const { return m_text; }
    // An array's values in order; an object's values in the order of its keys.
    const std::vector<JsonValue>& items() const { return m_items; }
    // An object's keys, sorted, each once.
    const std::vector<std::string>& keys() const { return m_keys; }

    // The member of an object, or nullptr.
    const JsonValue* member(std::string_view key) const;
    // The value at a path of member names separated by "." with array
    // positions in square brackets ("a.b[2].c", "[0].w"); at most 127
    // characters are used. nullptr when a step is missing.
    const JsonValue* find(std::string_view path) const;

private:
    friend class JsonParser;

    Kind m_kind = Kind::None;
    std::string m_text;
    std::vector<JsonValue> m_items;
    std::vector<std::string> m_keys;
};

// Caps that keep hostile input from exhausting the stack or memory.
struct JsonLimits {
    std::size_t maxDepth = 512;          // nesting of arrays and objects
    std::size_t maxValues = 2'000'000;   // values in the whole document
};

struct JsonDocument {
    JsonValue root;         // Kind::None when the text has no "[" or "{"
    bool complete = false;  // false when parsing stopped at an error or a cap
};

// Reads the first "[" or "{" of the bytes and the value it starts; nothing
// after that value is examined. Reading stops at a NUL byte as at the end.
// Lenient as the program's word lists need: white space is CR, LF, blank
// and tab; a string that runs to the end ends there; "\f", "\n", "\r",
// "\t" are control characters, "\uXXXX" is the code point in UTF-8 (U+FFFF
// gives nothing, surrogates are not paired), a backslash before any other
// character gives that character; a number is the run of characters from
// " +-.0123456789Ee"; object keys are sorted and a repeated key keeps its
// first value. At a syntax error reading stops: what was read stays, the
// rest is missing, and no message is given.
JsonDocument parseJson(std::string_view bytes, const JsonLimits& limits = {});

}  // namespace veyla::output
