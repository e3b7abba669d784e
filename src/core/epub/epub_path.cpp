// SPDX-License-Identifier: MIT
#include "core/epub/epub_path.h"

#include <vector>

#include "core/util/utf16.h"

namespace veyla::epub {

using utf16::hexDigitValue;

namespace {

// "scheme:" before any '/', as in "http://x" or "data:..."; "a/b:c" is a path.
bool hasScheme(std::string_view reference)
{
    const std::size_t colon = reference.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = reference[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return false;
    }
    return true;
}

}  // namespace

std::string folderOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string decodeUrlEscapes(std::string_view text, PlusSign plus)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+' && plus == PlusSign::Space) {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
                   hexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string resolveArchivePath(std::string_view folder, std::string_view reference)
{
    if (reference.empty() || hasScheme(reference))
        return {};
    std::string joined;
    if (reference.front() == '/')
        joined = std::string(reference);
    else
        joined = std::string(folder) + std::string(reference);
    std::vector<std::string_view> parts;
    const std::string_view view = joined;
    std::size_t start = 0;
    while (start <= view.size()) {
        std::size_t end = view.find('/', start);
        if (end == std::string_view::npos)
            end = view.size();
        const std::string_view part = view.substr(start, end - start);
        if (part == "..") {
            if (parts.empty())
                return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string_view part : parts) {
        if (!out.empty())
            out += '/';
        out += part;
    }
    return out;
}

}  // namespace veyla::epub
