// SPDX-License-Identifier: MIT
// Reads arbitrary bytes as a method response: the parser must stop cleanly
// within its caps, and whatever it accepts must write back to XML that
// reads as the same value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/publish/xmlrpc_response.h"

using namespace veyla::publish;

namespace {

bool hasDouble(const XmlRpcValue& value)
{
    if (value.kind() == XmlRpcValue::Kind::Double)
        return true;
    if (const auto* elements = value.elements())
        for (const auto& element : *elements)
            if (hasDouble(element))
                return true;
    if (const auto* members = value.members())
        for (const auto& member : *members)
            if (hasDouble(member.second))
                return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    XmlRpcLimits limits;
    limits.maxDepth = 20;
    limits.maxValues = 5000;
    const auto response = parseMethodResponse(bytes, limits);
    if (!response.ok()) {
        if (response.error().detail.size() > kMaxErrorTextBytes)
            std::abort();
        return 0;
    }
    (void)faultOf(response->value);
    auto xml = valueToXml(response->value);
    if (!xml.ok())
        std::abort();
    // NaN never compares equal, so values holding doubles are only written.
    if (hasDouble(response->value))
        return 0;
    auto again = parseValueXml(*xml, limits);
    if (!again.ok() || !(*again == response->value))
        std::abort();
    return 0;
}
