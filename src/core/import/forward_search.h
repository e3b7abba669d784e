// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "core/util/utf16.h"

namespace veyla::import {

// First occurrence of a key at or after a position, for a sequence of
// positions that never goes back: an answer still ahead is reused, so the
// whole sequence costs one pass over the text.
class ForwardSearch {
public:
    ForwardSearch(std::u16string_view text, std::u16string_view key) : m_text(text), m_key(key) {}

    TextPos from(TextPos position)
    {
        if (m_key.empty())
            return utf16::find(m_text, m_key, position);
        if (m_exhausted)
            return kNotFound;
        if (m_found == kNotFound || m_found < position) {
            m_found = utf16::find(m_text, m_key, position);
            m_exhausted = m_found == kNotFound;
        }
        return m_found;
    }

private:
    std::u16string_view m_text;
    std::u16string_view m_key;
    TextPos m_found = kNotFound;
    bool m_exhausted = false;
};

}  // namespace veyla::import
