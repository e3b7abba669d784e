// SPDX-License-Identifier: MIT
#include "core/view/keyword_tables.h"

#include <initializer_list>

namespace veyla::view {

namespace {

std::size_t slot(KeywordTable table)
{
    return static_cast<std::size_t>(table);
}

constexpr KeywordTable kLookupOrder[] = {KeywordTable::True, KeywordTable::Control, KeywordTable::Int,
                                         KeywordTable::Fun,  KeywordTable::Var,     KeywordTable::DFun};

void addAll(KeywordTables& tables, KeywordTable table, std::initializer_list<std::u16string_view> words)
{
    for (const auto word : words)
        tables.add(table, word);
}

}  // namespace

KeywordTables KeywordTables::cAndCpp()
{
    KeywordTables tables;
    addAll(tables, KeywordTable::True, {u"true", u"false", u"TRUE", u"FALSE", u"NULL", u"nullptr", u"this"});
    addAll(tables, KeywordTable::Control,
           {u"if", u"else", u"for", u"while", u"do", u"switch", u"case", u"default", u"break", u"continue",
            u"return", u"goto", u"try", u"catch", u"throw", u"co_await", u"co_return", u"co_yield"});
    addAll(tables, KeywordTable::Int,
           {u"int",        u"char",        u"short",     u"long",       u"float",      u"double",
            u"void",       u"bool",        u"unsigned",  u"signed",     u"const",      u"static",
            u"struct",     u"class",       u"enum",      u"union",      u"typedef",    u"auto",
            u"extern",     u"register",    u"volatile",  u"inline",     u"virtual",    u"public",
            u"private",    u"protected",   u"template",  u"typename",   u"namespace",  u"using",
            u"new",        u"delete",      u"sizeof",    u"operator",   u"friend",     u"explicit",
            u"mutable",    u"constexpr",   u"consteval", u"constinit",  u"noexcept",   u"override",
            u"final",      u"static_cast", u"dynamic_cast", u"const_cast", u"reinterpret_cast",
            u"decltype",   u"wchar_t",     u"char8_t",   u"char16_t",   u"char32_t",   u"size_t",
            u"ptrdiff_t",  u"int8_t",      u"int16_t",   u"int32_t",    u"int64_t",    u"uint8_t",
            u"uint16_t",   u"uint32_t",    u"uint64_t",  u"BOOL",       u"BYTE",       u"WORD",
            u"DWORD",      u"LONG",        u"UINT",      u"string",     u"wstring",    u"vector",
            u"map",        u"set",         u"list",      u"std",        u"FILE"});
    addAll(tables, KeywordTable::Fun,
           {u"printf",  u"scanf",   u"sprintf", u"snprintf", u"fprintf", u"puts",    u"gets",    u"getchar",
            u"putchar", u"fopen",   u"fclose",  u"fread",    u"fwrite",  u"fgets",   u"fputs",   u"malloc",
            u"calloc",  u"realloc", u"free",    u"memcpy",   u"memset",  u"memmove", u"memcmp",  u"strlen",
            u"strcpy",  u"strncpy", u"strcat",  u"strcmp",   u"strncmp", u"strchr",  u"strstr",  u"atoi",
            u"atof",    u"abs",     u"sqrt",    u"pow",      u"sin",     u"cos",     u"tan",     u"exp",
            u"log",     u"floor",   u"ceil",    u"rand",     u"srand",   u"time",    u"exit",    u"system",
            u"assert",  u"cout",    u"cin",      u"cerr",    u"endl",    u"max",     u"min",
            u"swap",    u"sort",    u"find",    u"move",     u"begin",   u"end",     u"size",    u"push_back"});
    return tables;
}

std::u16string_view KeywordTables::tableName(KeywordTable table)
{
    switch (table) {
    case KeywordTable::True: return u"TRUE";
    case KeywordTable::Control: return u"Control";
    case KeywordTable::Int: return u"Int";
    case KeywordTable::Fun: return u"Fun";
    case KeywordTable::Var: return u"Var";
    case KeywordTable::DFun: return u"DFun";
    }
    return {};
}

bool KeywordTables::contains(KeywordTable table, std::u16string_view word) const
{
    return m_tables[slot(table)].count(std::u16string(word)) != 0;
}

std::optional<KeywordTable> KeywordTables::find(std::u16string_view word) const
{
    const std::u16string key(word);
    for (const auto table : kLookupOrder)
        if (m_tables[slot(table)].count(key) != 0)
            return table;
    return std::nullopt;
}

void KeywordTables::add(KeywordTable table, std::u16string_view word)
{
    m_tables[slot(table)].insert(std::u16string(word));
}

const std::unordered_set<std::u16string>& KeywordTables::words(KeywordTable table) const
{
    return m_tables[slot(table)];
}

}  // namespace veyla::view
