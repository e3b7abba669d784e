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
    CorruptArchive,    // not a ZIP archive, or an entry fails its CRC or size check
    UnsafeEntry,       // an archive entry refused as hostile (path, link, encryption)
    TooLarge,          // input over a size cap (archive, entry, ratio, imported text)
    MalformedBook,     // an EPUB without container, package document or catalog
    NotTextBox,        // an edit that needs a text line while the caret is on another kind of box
    DeviceUnavailable, // the sound device cannot be opened or fails while playing
    EngineUnavailable, // the speech engine cannot be started (no engine data)
    MalformedData,     // a data file the program ships (the pinyin table) is not in its format
    NetworkFailed,     // an address that does not resolve, a refused connection, a TLS or protocol failure
    TimedOut,          // a peer that stopped answering, or a transfer past its deadline
};

// A short English name of the code, for logs and the command-line tool.
std::string_view errorCodeName(ErrorCode code);

}  // namespace veyla
