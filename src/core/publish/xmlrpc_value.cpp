// SPDX-License-Identifier: MIT
#include "core/publish/xmlrpc_value.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>

namespace veyla::publish {
namespace {

Error typeError(std::string detail = "type error")
{
    return Error{ErrorCode::InvalidArgument, std::move(detail)};
}

template <typename T>
Result<T> valueAs(const auto& data)
{
    if (const auto* value = std::get_if<T>(&data))
        return *value;
    return typeError();
}

auto findMember(auto& members, std::string_view name)
{
    return std::lower_bound(members.begin(), members.end(), name,
                            [](const auto& member, std::string_view key) { return member.first < key; });
}

}  // namespace

XmlRpcValue::XmlRpcValue(XmlRpcArray elements) : m_data(std::move(elements)) {}

XmlRpcValue XmlRpcValue::structure()
{
    XmlRpcValue value;
    value.m_data = XmlRpcMembers{};
    return value;
}

XmlRpcValue XmlRpcValue::arrayOfSize(std::size_t size)
{
    return XmlRpcValue(XmlRpcArray(size));
}

Result<bool> XmlRpcValue::asBool() const { return valueAs<bool>(m_data); }
Result<int> XmlRpcValue::asInt() const
{
    if (const auto* value = std::get_if<std::int32_t>(&m_data))
        return int{*value};
    return typeError();
}
Result<double> XmlRpcValue::asDouble() const { return valueAs<double>(m_data); }
Result<std::string> XmlRpcValue::asString() const { return valueAs<std::string>(m_data); }
Result<XmlRpcDateTime> XmlRpcValue::asDateTime() const { return valueAs<XmlRpcDateTime>(m_data); }
Result<std::string> XmlRpcValue::asBinary() const
{
    if (const auto* value = std::get_if<XmlRpcBinary>(&m_data))
        return value->bytes;
    return typeError();
}

Result<std::size_t> XmlRpcValue::size() const
{
    switch (kind()) {
    case Kind::String: return std::get<std::string>(m_data).size();
    case Kind::Base64: return std::get<XmlRpcBinary>(m_data).bytes.size();
    case Kind::Array: return std::get<XmlRpcArray>(m_data).size();
    case Kind::Struct: return std::get<XmlRpcMembers>(m_data).size();
    default: return typeError();
    }
}

Result<const XmlRpcValue*> XmlRpcValue::at(std::size_t position) const
{
    const auto* array = std::get_if<XmlRpcArray>(&m_data);
    if (!array)
        return typeError("type error: expected an array");
    if (position >= array->size())
        return Error{ErrorCode::InvalidArgument, "range error: array index too large"};
    return &(*array)[position];
}

Result<XmlRpcValue*> XmlRpcValue::at(std::size_t position)
{
    auto found = std::as_const(*this).at(position);
    if (!found)
        return found.error();
    return const_cast<XmlRpcValue*>(*found);
}

Status XmlRpcValue::append(XmlRpcValue element)
{
    if (kind() == Kind::Invalid)
        m_data = XmlRpcArray{};
    auto* array = std::get_if<XmlRpcArray>(&m_data);
    if (!array)
        return typeError("type error: expected an array");
    array->push_back(std::move(element));
    return {};
}

const XmlRpcValue* XmlRpcValue::member(std::string_view name) const
{
    const auto* members = std::get_if<XmlRpcMembers>(&m_data);
    if (!members)
        return nullptr;
    const auto it = findMember(*members, name);
    return it != members->end() && it->first == name ? &it->second : nullptr;
}

Result<XmlRpcValue*> XmlRpcValue::memberForWriting(const std::string& name)
{
    if (kind() == Kind::Invalid)
        m_data = XmlRpcMembers{};
    auto* members = std::get_if<XmlRpcMembers>(&m_data);
    if (!members)
        return typeError("type error: expected a struct");
    auto it = findMember(*members, name);
    if (it == members->end() || it->first != name)
        it = members->emplace(it, name, XmlRpcValue());
    return &it->second;
}

Status XmlRpcValue::set(const std::string& name, XmlRpcValue value)
{
    auto slot = memberForWriting(name);
    if (!slot)
        return slot.error();
    **slot = std::move(value);
    return {};
}

XmlRpcValue XmlRpcValue::structureOf(XmlRpcMembers members)
{
    std::stable_sort(members.begin(), members.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Of a run of equal names keep the last: move it to the run's start, drop the rest.
    auto kept = members.begin();
    for (auto it = members.begin(); it != members.end();) {
        auto last = it;
        while (std::next(last) != members.end() && std::next(last)->first == it->first)
            ++last;
        if (kept != last)
            *kept = std::move(*last);
        ++kept;
        it = std::next(last);
    }
    members.erase(kept, members.end());
    XmlRpcValue value;
    value.m_data = std::move(members);
    return value;
}

bool XmlRpcValue::operator==(const XmlRpcValue& other) const
{
    return m_data == other.m_data;
}

std::string escapeXmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        // A parser normalises a raw CR (and CR LF) to LF; the reference keeps it.
        case '\r': out += "&#13;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string encodeBase64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(bytes.size() / 3 * 4 + bytes.size() / 54 + 4);
    int column = 0;
    auto put = [&](char c) {
        out += c;
        if (++column == 72) {
            out += '\n';
            column = 0;
        }
    };
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        put(kAlphabet[group >> 18 & 63]);
        put(kAlphabet[group >> 12 & 63]);
        put(n > 1 ? kAlphabet[group >> 6 & 63] : '=');
        put(n > 2 ? kAlphabet[group & 63] : '=');
    }
    return out;
}

class XmlRpcWriter {
public:
    static bool write(const XmlRpcValue& value, std::string& out);
};

bool XmlRpcWriter::write(const XmlRpcValue& value, std::string& out)
{
    using Kind = XmlRpcValue::Kind;
    const auto& data = value.m_data;
    if (value.kind() == Kind::Invalid)
        return false;
    out += "<value>";
    switch (value.kind()) {
    case Kind::Invalid: break;
    case Kind::Boolean: out += std::get<bool>(data) ? "<boolean>1</boolean>" : "<boolean>0</boolean>"; break;
    case Kind::Int: out += "<i4>" + std::to_string(std::get<std::int32_t>(data)) + "</i4>"; break;
    case Kind::Double: {
        // The shortest text that reads back as the same double.
        char text[64];
        const auto end = std::to_chars(text, text + sizeof text, std::get<double>(data)).ptr;
        out += "<double>" + std::string(text, end) + "</double>";
        break;
    }
    case Kind::String: out += "<string>" + escapeXmlText(std::get<std::string>(data)) + "</string>"; break;
    case Kind::DateTime: {
        const auto& t = std::get<XmlRpcDateTime>(data);
        char text[96];
        std::snprintf(text, sizeof text, "%04d%02d%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
        out += "<dateTime.iso8601>" + std::string(text) + "</dateTime.iso8601>";
        break;
    }
    case Kind::Base64: out += "<base64>" + encodeBase64(std::get<XmlRpcBinary>(data).bytes) + "</base64>"; break;
    case Kind::Array:
        out += "<array><data>";
        for (const auto& element : std::get<XmlRpcArray>(data))
            if (!write(element, out))
                return false;
        out += "</data></array>";
        break;
    case Kind::Struct:
        out += "<struct>";
        for (const auto& [name, member] : std::get<XmlRpcMembers>(data)) {
            out += "<member><name>" + escapeXmlText(name) + "</name>";
            if (!write(member, out))
                return false;
            out += "</member>";
        }
        out += "</struct>";
        break;
    case Kind::Nil: out += "<nil/>"; break;
    }
    out += "</value>";
    if (value.kind() == Kind::Struct)
        out += '\n';
    return true;
}

Result<std::string> valueToXml(const XmlRpcValue& value)
{
    std::string out;
    if (!XmlRpcWriter::write(value, out))
        return Error{ErrorCode::InvalidArgument, "Undefined XmlRpc value"};
    return out;
}

Result<std::string> methodCallXml(std::string_view methodName, const XmlRpcValue& params)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<methodCall><methodName>";
    out += escapeXmlText(methodName);
    out += "</methodName>\r\n<params>";
    if (const auto* elements = params.elements()) {
        for (const auto& element : *elements) {
            auto xml = valueToXml(element);
            if (!xml)
                return xml.error();
            out += "<param>" + *xml + "</param>";
        }
    } else if (params.valid()) {
        auto xml = valueToXml(params);
        if (!xml)
            return xml.error();
        out += "<param>" + *xml + "</param>\n";
    }
    out += "</params></methodCall>\r\n";
    return out;
}

}  // namespace veyla::publish
