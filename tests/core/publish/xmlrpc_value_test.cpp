// SPDX-License-Identifier: MIT
#include "core/publish/xmlrpc_value.h"

#include <gtest/gtest.h>

#include "core/publish/xmlrpc_response.h"

namespace veyla::publish {
namespace {

std::string xmlOf(const XmlRpcValue& value)
{
    auto xml = valueToXml(value);
    EXPECT_TRUE(xml.ok());
    return xml.ok() ? *xml : std::string();
}

TEST(XmlRpcValue, WritesEveryKindInItsExactForm)
{
    XmlRpcValue post = XmlRpcValue::structure();
    ASSERT_TRUE(post.set("title", "a<b").ok());
    ASSERT_TRUE(post.set("categories", XmlRpcArray{"x", 7}).ok());
    struct Case {
        XmlRpcValue value;
        std::string xml;
    };
    const Case cases[] = {
        {true, "<value><boolean>1</boolean></value>"},
        {false, "<value><boolean>0</boolean></value>"},
        {-2147483647 - 1, "<value><i4>-2147483648</i4></value>"},
        {1.5, "<value><double>1.5</double></value>"},
        // Doubles keep every digit they need to read back the same.
        {0.1 + 0.2, "<value><double>0.30000000000000004</double></value>"},
        {"R&D <ok> \"q\" '", "<value><string>R&amp;D &lt;ok&gt; \"q\" '</string></value>"},
        {"line\r\nnext", "<value><string>line&#13;\nnext</string></value>"},
        {"", "<value><string></string></value>"},
        {XmlRpcDateTime{2026, 1, 2, 3, 4, 5}, "<value><dateTime.iso8601>20260102T03:04:05</dateTime.iso8601></value>"},
        {XmlRpcDateTime{437, 1, 2, 3, 4, 5}, "<value><dateTime.iso8601>04370102T03:04:05</dateTime.iso8601></value>"},
        {XmlRpcBinary{"hi!"}, "<value><base64>aGkh</base64></value>"},
        {XmlRpcBinary{"a"}, "<value><base64>YQ==</base64></value>"},
        {XmlRpcArray{}, "<value><array><data></data></array></value>"},
        {XmlRpcArray{1, "z"}, "<value><array><data><value><i4>1</i4></value><value><string>z</string></value>"
                              "</data></array></value>"},
        // Members in byte order of their names; a line feed after a struct.
        {post, "<value><struct><member><name>categories</name><value><array><data><value><string>x</string>"
               "</value><value><i4>7</i4></value></data></array></value></member><member><name>title</name>"
               "<value><string>a&lt;b</string></value></member></struct></value>\n"},
        {XmlRpcValue::structure(), "<value><struct></struct></value>\n"},
        {XmlRpcNil{}, "<value><nil/></value>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xmlOf(c.value), c.xml);
}

TEST(XmlRpcValue, Base64BreaksTheLineAfterEvery72Characters)
{
    // 54 bytes are exactly 72 characters: one line feed follows.
    EXPECT_EQ(encodeBase64(std::string(54, '\0')), std::string(72, 'A') + "\n");
    const std::string encoded = encodeBase64(std::string(109, '\xFF'));
    ASSERT_EQ(encoded.size(), 148u + 2u);
    EXPECT_EQ(encoded[72], '\n');
    EXPECT_EQ(encoded[145], '\n');
    EXPECT_EQ(encoded.substr(146), "/w==");
}

TEST(XmlRpcValue, InvalidValuesCannotBeWritten)
{
    EXPECT_EQ(valueToXml(XmlRpcValue()).error().detail, "Undefined XmlRpc value");
    EXPECT_EQ(valueToXml(XmlRpcArray{1, XmlRpcValue()}).error().detail, "Undefined XmlRpc value");
    XmlRpcValue s;
    ASSERT_TRUE(s.memberForWriting("never set").ok());
    EXPECT_EQ(valueToXml(s).error().detail, "Undefined XmlRpc value");
    EXPECT_FALSE(methodCallXml("m", XmlRpcArray{XmlRpcValue()}).ok());
}

TEST(XmlRpcValue, MethodCallIsUtf8AndSpreadsAnArrayIntoParams)
{
    EXPECT_EQ(*methodCallXml("wp.getPost", XmlRpcArray{1, "用户"}),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<methodCall><methodName>wp.getPost</methodName>\r\n"
              "<params><param><value><i4>1</i4></value></param><param><value><string>用户</string></value></param>"
              "</params></methodCall>\r\n");
    EXPECT_EQ(*methodCallXml("demo.sayHello", XmlRpcValue()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<methodCall><methodName>demo.sayHello</methodName>"
              "\r\n<params></params></methodCall>\r\n");
    EXPECT_EQ(*methodCallXml("m", 5),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<methodCall><methodName>m</methodName>\r\n"
              "<params><param><value><i4>5</i4></value></param>\n</params></methodCall>\r\n");
}

TEST(XmlRpcValue, WrongKindsAndPositionsAreErrors)
{
    const XmlRpcValue text = "abc";
    EXPECT_EQ(text.asInt().error().detail, "type error");
    EXPECT_EQ(text.at(0).error().detail, "type error: expected an array");
    EXPECT_EQ(*text.size(), 3u);
    XmlRpcValue number = 4;
    EXPECT_EQ(number.size().error().detail, "type error");
    EXPECT_EQ(number.set("a", 1).error().detail, "type error: expected a struct");
    EXPECT_EQ(number.append(1).error().detail, "type error: expected an array");
    const XmlRpcValue array = XmlRpcValue::arrayOfSize(2);
    EXPECT_EQ(*array.size(), 2u);
    EXPECT_TRUE(array.at(1).ok());
    EXPECT_EQ(array.at(2).error().detail, "range error: array index too large");

    // Every conversion of another kind is an error, never an exception: a
    // server decides which kinds arrive.
    const XmlRpcValue kinds[] = {XmlRpcValue(), true, 1, 1.5, "s", XmlRpcDateTime{2026, 1, 2, 3, 4, 5},
                                 XmlRpcBinary{"b"}, XmlRpcArray{1}, XmlRpcValue::structure(), XmlRpcNil{}};
    for (const auto& value : kinds) {
        const auto kind = value.kind();
        EXPECT_EQ(value.asBool().ok(), kind == XmlRpcValue::Kind::Boolean);
        EXPECT_EQ(value.asInt().ok(), kind == XmlRpcValue::Kind::Int);
        EXPECT_EQ(value.asDouble().ok(), kind == XmlRpcValue::Kind::Double);
        EXPECT_EQ(value.asString().ok(), kind == XmlRpcValue::Kind::String);
        EXPECT_EQ(value.asDateTime().ok(), kind == XmlRpcValue::Kind::DateTime);
        EXPECT_EQ(value.asBinary().ok(), kind == XmlRpcValue::Kind::Base64);
    }
}

TEST(XmlRpcValue, StructMembersAreCreatedOnceAndKeptInByteOrder)
{
    XmlRpcValue value;
    ASSERT_TRUE(value.set("b", 1).ok());
    ASSERT_TRUE(value.set("B", 2).ok());
    ASSERT_TRUE(value.set("b", 3).ok());
    ASSERT_EQ(value.kind(), XmlRpcValue::Kind::Struct);
    ASSERT_EQ(*value.size(), 2u);
    EXPECT_EQ(value.members()->front().first, "B");
    EXPECT_EQ(*value.member("b")->asInt(), 3);
    EXPECT_EQ(value.member("c"), nullptr);
    XmlRpcValue copy = value;
    ASSERT_TRUE(copy.set("b", 9).ok());
    EXPECT_EQ(*value.member("b")->asInt(), 3);
    copy.clear();
    EXPECT_FALSE(copy.valid());
}

TEST(XmlRpcValue, EveryKindReadsBackAsWritten)
{
    XmlRpcValue nested = XmlRpcValue::structure();
    ASSERT_TRUE(nested.set("名字", "章节 & <标题>").ok());
    ASSERT_TRUE(nested.set("list", XmlRpcArray{true, 2.25, XmlRpcNil{}, XmlRpcArray{}}).ok());
    ASSERT_TRUE(nested.set("bytes", XmlRpcBinary{std::string("\0\1\2\xFF", 4) + std::string(200, 'x')}).ok());
    ASSERT_TRUE(nested.set("when", XmlRpcDateTime{1999, 12, 31, 23, 59, 58}).ok());
    ASSERT_TRUE(nested.set("crlf", "a\r\nb").ok());
    auto read = parseValueXml(xmlOf(nested));
    ASSERT_TRUE(read.ok()) << read.error().detail;
    EXPECT_EQ(*read, nested);
}

}  // namespace
}  // namespace veyla::publish
