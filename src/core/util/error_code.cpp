// SPDX-License-Identifier: MIT
#include "core/util/error_code.h"

namespace veyla {

std::string_view errorCodeName(ErrorCode code)
{
    switch (code) {
    case ErrorCode::FileUnavailable: return "file unavailable";
    case ErrorCode::NotChapterFormat: return "not a chapter file";
    case ErrorCode::NotChapterXml: return "not a chapter XML file";
    case ErrorCode::WriteFailed: return "write failed";
    case ErrorCode::AlreadyExists: return "already exists";
    case ErrorCode::InvalidArgument: return "invalid argument";
    case ErrorCode::Unsupported: return "unsupported";
    case ErrorCode::Cancelled: return "cancelled";
    case ErrorCode::CorruptArchive: return "corrupt archive";
    case ErrorCode::UnsafeEntry: return "unsafe archive entry";
    case ErrorCode::TooLarge: return "too large";
    case ErrorCode::MalformedBook: return "malformed book";
    case ErrorCode::NotTextBox: return "not a text box";
    case ErrorCode::DeviceUnavailable: return "sound device unavailable";
    case ErrorCode::EngineUnavailable: return "speech engine unavailable";
    case ErrorCode::MalformedData: return "malformed data file";
    case ErrorCode::NetworkFailed: return "network failure";
    case ErrorCode::TimedOut: return "timed out";
    }
    return "unknown error";
}

}  // namespace veyla
