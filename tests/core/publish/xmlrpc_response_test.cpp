// SPDX-License-Identifier: MIT
#include "core/publish/xmlrpc_response.h"

#include <gtest/gtest.h>

namespace veyla::publish {
namespace {

std::string respond(std::string_view value)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<methodResponse>\n  <params>\n    <param>\n      " +
           std::string(value) + "\n    </param>\n  </params>\n</methodResponse>\n";
}

TEST(XmlRpcResponse, ReadsEveryKind)
{
    struct Case {
        const char* xml;
        XmlRpcValue expected;
    };
    const Case cases[] = {
        {"<value><boolean>1</boolean></value>", true},
        {"<value><BOOLEAN>0</BOOLEAN></value>", false},
        {"<value><int>-7</int></value>", -7},
        {"<value><i4>2147483647</i4></value>", 2147483647},
        {"<value><double>-0.5</double></value>", -0.5},
        {"<value><double>1e3</double></value>", 1000.0},
        {"<value><string>a &amp; b &lt;c&gt; &quot;d&quot; &#039;e&apos;</string></value>", "a & b <c> \"d\" 'e'"},
        {"<value><string>  keeps blanks \n</string></value>", "  keeps blanks \n"},
        {"<value><string/></value>", ""},
        {"<value/>", ""},
        {"<value></value>", ""},
        {"<value><dateTime.iso8601>20261209T17:05:09</dateTime.iso8601></value>",
         XmlRpcDateTime{2026, 12, 9, 17, 5, 9}},
        {"<value><base64>aGk\nh</base64></value>", XmlRpcBinary{"hi!"}},
        {"<value><nil/></value>", XmlRpcNil{}},
        {"<value><array><data/></array></value>", XmlRpcArray{}},
        {"<value><array>\n <data>\n  <value><int>1</int></value>\n  <value><string>x</string></value>\n </data>\n"
         "</array></value>",
         XmlRpcArray{1, "x"}},
        {"<value><struct/></value>", XmlRpcValue::structure()},
    };
    for (const auto& c : cases) {
        auto read = parseMethodResponse(respond(c.xml));
        ASSERT_TRUE(read.ok()) << c.xml << ": " << read.error().detail;
        EXPECT_FALSE(read->fault);
        EXPECT_EQ(read->value, c.expected) << c.xml;
    }
}

TEST(XmlRpcResponse, ReadsAStructAsWordPressSendsIt)
{
    auto read = parseMethodResponse(respond(R"(<value><struct>
  <member><name>post_id</name><value><string>12</string></value></member>
  <member><name>post_title</name><value><string>第一回 灵根育孕源流出</string></value></member>
  <member><name>a&amp;b</name><value><int>1</int></value></member>
</struct></value>)"));
    ASSERT_TRUE(read.ok()) << read.error().detail;
    EXPECT_EQ(*read->value.member("post_id")->asString(), "12");
    EXPECT_EQ(*read->value.member("post_title")->asString(), "第一回 灵根育孕源流出");
    EXPECT_EQ(*read->value.member("a&b")->asInt(), 1);
}

TEST(XmlRpcResponse, AStructKeepsTheLastOfEqualNamesWhateverTheOrder)
{
    auto read = parseMethodResponse(respond(R"(<value><struct>
  <member><name>b</name><value><int>1</int></value></member>
  <member><name>a</name><value><int>2</int></value></member>
  <member><name>b</name><value><int>3</int></value></member>
  <member><name>c</name><value><int>4</int></value></member>
  <member><name>b</name><value><int>5</int></value></member>
</struct></value>)"));
    ASSERT_TRUE(read.ok()) << read.error().detail;
    ASSERT_EQ(read->value.members()->size(), 3u);
    EXPECT_EQ(*read->value.member("a")->asInt(), 2);
    EXPECT_EQ(*read->value.member("b")->asInt(), 5);
    EXPECT_EQ(*read->value.member("c")->asInt(), 4);
}

TEST(XmlRpcResponse, AStructOfManyMembersInReverseOrderIsReadWhole)
{
    // Members arriving in descending order are the worst case for inserting
    // one by one into a sorted list; a hostile server can send 100,000 of them.
    constexpr int kMembers = 100000;
    std::string xml = "<value><struct>";
    for (int i = kMembers; i > 0; --i)
        xml += "<member><name>m" + std::to_string(1000000 + i) + "</name><value><i4>" + std::to_string(i) +
               "</i4></value></member>";
    xml += "</struct></value>";
    auto read = parseMethodResponse(respond(xml));
    ASSERT_TRUE(read.ok()) << read.error().detail;
    ASSERT_EQ(read->value.members()->size(), std::size_t{kMembers});
    EXPECT_EQ(*read->value.member("m1000001")->asInt(), 1);
    EXPECT_EQ(*read->value.member("m1100000")->asInt(), kMembers);
}

TEST(XmlRpcResponse, ReadsAFault)
{
    auto read = parseMethodResponse(R"(<?xml version="1.0" encoding="UTF-8"?>
<methodResponse>
  <fault>
    <value><struct>
      <member><name>faultCode</name><value><int>403</int></value></member>
      <member><name>faultString</name><value><string>用户名或密码不正确。</string></value></member>
    </struct></value>
  </fault>
</methodResponse>)");
    ASSERT_TRUE(read.ok()) << read.error().detail;
    EXPECT_TRUE(read->fault);
    const XmlRpcFault fault = faultOf(read->value);
    EXPECT_EQ(fault.code, 403);
    EXPECT_EQ(fault.message, "用户名或密码不正确。");
}

TEST(XmlRpcResponse, MalformedResponsesSayWhatIsWrong)
{
    struct Case {
        std::string body;
        std::string error;
    };
    const std::string html = "<html><head><title>Blog</title></head><body>hello</body></html>";
    const Case cases[] = {
        // Not XML at all: the wrong-URL hint for HTML, else the body itself.
        {html, "It looks like you've configured the wrong URL. That URL is sending us HTML text, whereas we need "
               "RPC data."},
        {"plain words>", "plain words>"},
        {"<?xml version=\"1.0\"?><html><head><title>Bad request!</title>",
         "Talking HTTP to a HTTPS server?"},
        {"<?xml version=\"1.0\"?><p>Object not found</p>", "Wrong URL (\"Object not found\")"},
        {"<?xml version=\"1.0\"?><other/>", "<?xml version=\"1.0\"?><other/>"},
        {"<?xml version=\"1.0\"?><methodResponse><param>", "Expecting tag: <params>"},
        {respond("<string>x</string>"), "Expecting tag: <value>"},
        // Text directly inside value, without a type tag, is not accepted.
        {respond("<value>hello</value>"), "Unknown type tag: hello</value>"},
        {respond("<value><float>1</float></value>"), "Unknown type tag: <float>"},
        {respond("<value><boolean>2</boolean></value>"), "bad BOOL"},
        {respond("<value><boolean>1 </boolean></value>"), "bad BOOL"},
        {respond("<value><i4>99999999999</i4></value>"), "Bad int: out of range"},
        {respond("<value><i4>-2147483649</i4></value>"), "Bad int: out of range"},
        {respond("<value><i4>x</i4></value>"), "Bad int"},
        {respond("<value><i4>12x</i4></value>"), "Expecting tag: </i4>"},
        {respond("<value><int>1</i4></value>"), "Expecting tag: </int>"},
        {respond("<value><double>abc</double></value>"), "Bad double"},
        {respond("<value><double>1e999</double></value>"), "Bad double"},
        {respond("<value><dateTime.iso8601>2026-12-09</dateTime.iso8601></value>"), "Bad time value"},
        {respond("<value><base64>aGk*</base64></value>"), "Bad base64"},
        {respond("<value><base64>a</base64></value>"), "Bad base64"},
        {respond("<value><base64>YQ==YQ==</base64></value>"), "Bad base64"},
        {respond("<value><array><value></array></value>"), "Expecting tag:  <data>"},
        {respond("<value><struct><member><nome>a</nome></member></struct></value>"), "Bad 'name' tag in struct"},
        {respond("<value><struct><value/></struct></value>"), "Expecting tag: <member>"},
        {respond("<value><string>x</string>"), "Expecting tag: </value>"},
        // Truncated bodies.
        {"<?xml version=\"1.0\"?><methodResponse><params><param><value><string>unfinished", "Bad string"},
        {"<?xml version=\"1.0\"?><methodResponse><params><param><value><array><data><value><i4>1</i4></value>",
         "Expecting tag: <value>"},
        {"<?xml version=\"1.0\"?><methodResponse><fault><value><i4>1</i4></value>", "Expecting tag: </fault>"},
    };
    for (const auto& c : cases) {
        auto read = parseMethodResponse(c.body);
        ASSERT_FALSE(read.ok()) << c.body;
        EXPECT_EQ(read.code(), ErrorCode::Unsupported) << c.body;
        EXPECT_EQ(read.error().detail, c.error) << c.body;
    }
}

TEST(XmlRpcResponse, AnyTagLongerThan127CharactersIsCut)
{
    const std::string longTag = "<" + std::string(200, 'q') + ">";
    auto read = parseMethodResponse(respond("<value>" + longTag + "</value>"));
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().detail, "Unknown type tag: " + longTag.substr(0, 127));
}

TEST(XmlRpcResponse, ABodyThatIsNotXmlRpcIsCutTo1254Bytes)
{
    // 1253 ASCII bytes and then a three-byte character: the character is not cut in half.
    const std::string body = std::string(1253, 'a') + "中" + std::string(100, 'b');
    auto read = parseMethodResponse(body);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().detail, std::string(1253, 'a'));
}

TEST(XmlRpcResponse, HostileResponsesHitTheCaps)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<value><array><data>";
    auto nested = parseMethodResponse(respond(deep));
    ASSERT_FALSE(nested.ok());
    EXPECT_EQ(nested.code(), ErrorCode::TooLarge);
    EXPECT_EQ(nested.error().detail, "Response nested too deeply");

    std::string ninetyNine;
    for (int i = 0; i < 99; ++i)
        ninetyNine += "<value><array><data>";
    ninetyNine += "<value><i4>1</i4></value>";
    for (int i = 0; i < 99; ++i)
        ninetyNine += "</data></array></value>";
    EXPECT_TRUE(parseMethodResponse(respond(ninetyNine)).ok()) << "100 levels are allowed";

    XmlRpcLimits small;
    small.maxBytes = 1000;
    EXPECT_EQ(parseMethodResponse(respond(std::string(1000, ' ')), small).code(), ErrorCode::TooLarge);

    small.maxValues = 3;
    small.maxBytes = 1 << 20;
    const std::string four = "<value><array><data><value/><value/><value/></data></array></value>";
    EXPECT_EQ(parseMethodResponse(respond(four), small).code(), ErrorCode::TooLarge);
}

TEST(XmlRpcResponse, DecodesNamedAndNumericEntities)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"&amp;&quot;&apos;&#039;&lt;&gt;", "&\"''<>"},
        {"&#20013;&#x6587;&#13;&#65;", "中文\rA"},
        {"&#128512;", "\xF0\x9F\x98\x80"},
        // Not references: copied as they stand.
        {"&nbsp; & &#; &#xZZ; &#0; &#55296; &#99999999999; &amp", "&nbsp; & &#; &#xZZ; &#0; &#55296; &#99999999999; &amp"},
        {"&&amp;", "&&"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeEntities(c.text), c.expected) << c.text;
}

TEST(XmlRpcResponse, NothingAfterTheValueIsExamined)
{
    auto read = parseMethodResponse(
        "<?xml version=\"1.0\"?><methodResponse><params><param><value><i4>5</i4></value> trailing garbage <<<");
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read->value.asInt(), 5);
}

}  // namespace
}  // namespace veyla::publish
