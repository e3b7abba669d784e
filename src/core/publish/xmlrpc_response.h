// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/publish/xmlrpc_value.h"
#include "core/util/result.h"

namespace veyla::publish {

// Caps that keep a hostile server from exhausting memory or the stack.
struct XmlRpcLimits {
    std::size_t maxBytes = 32u << 20;   // response body
    std::size_t maxDepth = 100;         // values inside values
    std::size_t maxValues = 1'000'000;  // values in the whole response
};

struct XmlRpcResponse {
    XmlRpcValue value;   // the result, or the fault value of a fault response
    bool fault = false;
};

// A fault response's faultCode and faultString (0 and "" when missing).
struct XmlRpcFault {
    int code = 0;
    std::string message;
};
XmlRpcFault faultOf(const XmlRpcValue& faultValue);

// Reads a methodResponse. Tags are read one at a time: white space (tab,
// line feed, carriage return, blank) is skipped and the text up to and
// including the next ">" is the tag (at most 127 characters are kept);
// expected tags are compared without regard to case. Nothing after the
// response's value is examined. Errors are Unsupported with the
// program's error text ("Expecting tag: <params>", "Unknown type tag:
// <foo>", "Bad base64", the wrong-URL and HTTPS hints, or the body itself
// cut to 1254 bytes when it is not XML-RPC at all), or TooLarge when a cap
// of limits is passed.
Result<XmlRpcResponse> parseMethodResponse(std::string_view body, const XmlRpcLimits& limits = {});

// Reads one "<value>…</value>" element (the same rules as inside a response).
Result<XmlRpcValue> parseValueXml(std::string_view xml, const XmlRpcLimits& limits = {});

// Replaces "&amp;", "&quot;", "&apos;", "&lt;", "&gt;" by their characters
// and "&#NNN;" and "&#xHHH;" by the character's UTF-8 bytes (a code point
// outside Unicode, a surrogate or NUL is left as text); other text is copied.
std::string decodeEntities(std::string_view text);

// Standard Base64; white space is skipped. InvalidArgument for any other
// character outside the alphabet, padding in the middle, or a dangling
// sixth bit group.
Result<std::string> decodeBase64(std::string_view text);

// Error texts are handed out cut to this many bytes.
inline constexpr std::size_t kMaxErrorTextBytes = 1254;
// text cut to kMaxErrorTextBytes, never inside a UTF-8 sequence.
std::string cutErrorText(std::string_view text);

}  // namespace veyla::publish
