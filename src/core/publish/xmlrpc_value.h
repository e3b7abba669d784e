// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "core/util/result.h"

namespace veyla::publish {

// dateTime.iso8601 fields as they stand on the wire (month 1-12).
struct XmlRpcDateTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const XmlRpcDateTime&) const = default;
};

struct XmlRpcBinary {
    std::string bytes;
    bool operator==(const XmlRpcBinary&) const = default;
};

struct XmlRpcNil {
    bool operator==(const XmlRpcNil&) const = default;
};

class XmlRpcValue;
using XmlRpcArray = std::vector<XmlRpcValue>;
// Members ordered by byte comparison of their names, each name once.
using XmlRpcMembers = std::vector<std::pair<std::string, XmlRpcValue>>;

// A dynamically typed XML-RPC value. Strings are bytes as they go on the
// wire (UTF-8). Using a value as the wrong kind is an error whose detail is
// "type error", "type error: expected an array" or "type error: expected a
// struct"; a position past an array's end is "range error: array index too
// large".
class XmlRpcValue {
public:
    // The numbers are the kind codes.
    enum class Kind { Invalid = 0, Boolean, Int, Double, String, DateTime, Base64, Array, Struct, Nil };

    XmlRpcValue() = default;
    XmlRpcValue(bool value) : m_data(value) {}
    XmlRpcValue(int value) : m_data(std::int32_t{value}) {}
    XmlRpcValue(double value) : m_data(value) {}
    XmlRpcValue(std::string value) : m_data(std::move(value)) {}
    XmlRpcValue(const char* value) : m_data(std::string(value)) {}
    XmlRpcValue(XmlRpcDateTime value) : m_data(value) {}
    XmlRpcValue(XmlRpcBinary value) : m_data(std::move(value)) {}
    XmlRpcValue(XmlRpcNil value) : m_data(value) {}
    XmlRpcValue(XmlRpcArray elements);
    static XmlRpcValue structure();
    // An array of size invalid values.
    static XmlRpcValue arrayOfSize(std::size_t size);

    Kind kind() const { return static_cast<Kind>(m_data.index()); }
    bool valid() const { return kind() != Kind::Invalid; }
    // Back to invalid.
    void clear() { m_data = std::monostate{}; }

    Result<bool> asBool() const;
    Result<int> asInt() const;
    Result<double> asDouble() const;
    Result<std::string> asString() const;
    Result<XmlRpcDateTime> asDateTime() const;
    Result<std::string> asBinary() const;

    // String length, byte count, element or member count; "type error" for other kinds.
    Result<std::size_t> size() const;

    // The element at position; an error for a non-array or a position past the end.
    Result<const XmlRpcValue*> at(std::size_t position) const;
    Result<XmlRpcValue*> at(std::size_t position);
    const XmlRpcArray* elements() const { return std::get_if<XmlRpcArray>(&m_data); }
    // Appends to an array; an invalid value becomes an array first.
    Status append(XmlRpcValue element);

    // The member of a struct, or nullptr when absent or not a struct.
    const XmlRpcValue* member(std::string_view name) const;
    // The member of a struct, created (invalid) when absent; an invalid
    // value becomes an empty struct first.
    Result<XmlRpcValue*> memberForWriting(const std::string& name);
    // Sets a member (see memberForWriting).
    Status set(const std::string& name, XmlRpcValue value);
    // A struct of members in any order, as a response lists them; of members
    // with the same name the last one counts, as with set(). Sorts once, so a
    // struct of n members is built in n log n, not n² as n set() calls are.
    static XmlRpcValue structureOf(XmlRpcMembers members);
    const XmlRpcMembers* members() const { return std::get_if<XmlRpcMembers>(&m_data); }

    bool operator==(const XmlRpcValue& other) const;

private:
    std::variant<std::monostate, bool, std::int32_t, double, std::string, XmlRpcDateTime, XmlRpcBinary,
                 XmlRpcArray, XmlRpcMembers, XmlRpcNil>
        m_data;

    friend class XmlRpcWriter;
};

// The value's XML, "<value>…</value>" (a line feed after a struct's).
// InvalidArgument "Undefined XmlRpc value" when the value or anything
// inside it is invalid.
Result<std::string> valueToXml(const XmlRpcValue& value);

// The method call document: UTF-8, declared as such. An array parameter
// value gives one param per element; any other valid value one param; an
// invalid value none.
Result<std::string> methodCallXml(std::string_view methodName, const XmlRpcValue& params);

// Standard Base64 with "=" padding and a line feed after every 72 output
// characters.
std::string encodeBase64(std::string_view bytes);

// Escapes "&", "<" and ">" as "&amp;", "&lt;" and "&gt;", and a carriage
// return as "&#13;" so that the peer's XML parser keeps it.
std::string escapeXmlText(std::string_view text);

}  // namespace veyla::publish
