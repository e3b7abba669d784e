// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace veyla {

// Every failure the core reports. The GUI maps codes to its fixed Chinese
// messages in one place; tests assert codes, never message texts.
enum class ErrorCode {
    FileUnavailable,   // missing, unreadable or locked
    NotChapterFormat,  // no Page element when opening a chapter
    NotChapterXml,     // no Page element when appending to a chapter
    WriteFailed,       // a file or folder could not be written
    AlreadyExists,     // a rename or create would replace an existing entry
    InvalidArgument,   // bad input from the caller or the user
    Unsupported,       // input of a kind the program does not handle
    Cancelled,         // stopped on request
};

// A short English name of the code, for logs and the command-line tool.
std::string_view errorCodeName(ErrorCode code);

}  // namespace veyla
