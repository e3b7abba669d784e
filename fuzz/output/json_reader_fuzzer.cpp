// SPDX-License-Identifier: MIT
// Reads arbitrary bytes as a word list: the reader must stop cleanly, its
// objects must hold sorted unique keys, and the words must annotate the
// same bytes read as text without a fault.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/output/json_reader.h"
#include "core/output/vocabulary.h"
#include "core/util/utf16.h"

using namespace veyla::output;

namespace {

void check(const JsonValue& value, int depth)
{
    if (depth > 513)
        std::abort();
    if (value.kind() == JsonValue::Kind::Object) {
        const auto& keys = value.keys();
        if (keys.size() != value.items().size() || std::adjacent_find(keys.begin(), keys.end(), std::greater_equal<>()) != keys.end())
            std::abort();
    }
    for (const auto& item : value.items())
        check(item, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const JsonDocument document = parseJson(bytes);
    check(document.root, 0);
    (void)document.root.find("[0].w");
    (void)document.root.find(bytes.substr(0, 200));
    Vocabulary vocabulary;
    vocabulary.addWordList(document.root);
    vocabulary.add(u"study", u"学习");
    (void)vocabulary.annotate(veyla::utf16::fromUtf8(bytes));
    return 0;
}
