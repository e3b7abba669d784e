// SPDX-License-Identifier: MIT
#include "core/library/xml_cursor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace veyla::library {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(XmlCursor, FindsElementsLevelByLevel)
{
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(u"<Page><Body><A n=\"1\"/><B/><A n=\"2\">x</A></Body><Tail/></Page>"));
    ASSERT_TRUE(xml.findElement(u"Page"));
    ASSERT_TRUE(xml.intoElement());
    ASSERT_TRUE(xml.findElement(u"Body"));
    ASSERT_TRUE(xml.intoElement());
    // The first find after entering starts at the first child; later ones continue.
    ASSERT_TRUE(xml.findElement(u"A"));
    EXPECT_EQ(xml.attribute(u"n"), u"1");
    ASSERT_TRUE(xml.findElement(u"A"));
    EXPECT_EQ(xml.attribute(u"n"), u"2");
    EXPECT_EQ(xml.data(), u"x");
    EXPECT_FALSE(xml.findElement(u"A"));
    xml.resetPosition();
    ASSERT_TRUE(xml.findElement());  // any name
    EXPECT_EQ(xml.elementName(), u"A");
    // Leaving makes the parent current; the search goes on after it.
    ASSERT_TRUE(xml.outOfElement());
    EXPECT_EQ(xml.elementName(), u"Body");
    ASSERT_TRUE(xml.findElement(u"Tail"));
    ASSERT_TRUE(xml.outOfElement());
    EXPECT_EQ(xml.elementName(), u"Page");
    EXPECT_FALSE(xml.outOfElement());
    EXPECT_FALSE(xml.findElement(u"Page"));  // only one root
}

TEST(XmlCursor, AttributesAndDataReplaceEntities)
{
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(
        u"<e a='x &quot;q&quot; &apos;s&apos;' b=\"&lt;&amp;&gt;\">&lt;b&gt; &amp;amp; &#x7B2C;&#31456; &#128512; &bogus; & alone</e>"));
    ASSERT_TRUE(xml.findElement(u"e"));
    EXPECT_EQ(xml.attribute(u"a"), u"x \"q\" 's'");
    EXPECT_EQ(xml.attribute(u"b"), u"<&>");
    EXPECT_EQ(xml.attribute(u"missing"), u"");
    EXPECT_FALSE(xml.hasAttribute(u"missing"));
    EXPECT_EQ(xml.data(), u"<b> &amp; 第章 \U0001F600 &bogus; & alone");
}

TEST(XmlCursor, CdataIsReadAndWrittenSplitAtItsTerminator)
{
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(u"<e>a<![CDATA[<raw> & ]]>b</e>"));
    ASSERT_TRUE(xml.findElement(u"e"));
    EXPECT_EQ(xml.data(), u"a<raw> & b");

    XmlCursor out;
    out.addElement(u"code");
    out.setData(u"if (a[b[0]]>1) x = \"]]>\";", DataForm::Cdata);
    EXPECT_EQ(out.document(), u"<code><![CDATA[if (a[b[0]]]]><![CDATA[>1) x = \"]]]]><![CDATA[>\";]]></code>\r\n");
    XmlCursor back;
    ASSERT_TRUE(back.setDocument(out.document()));
    ASSERT_TRUE(back.findElement());
    EXPECT_EQ(back.data(), u"if (a[b[0]]>1) x = \"]]>\";");
}

TEST(XmlCursor, WritesOneElementPerLineWithCrLf)
{
    XmlCursor xml;
    ASSERT_TRUE(xml.addElement(u"Page"));
    xml.setAttribute(u"Version", 2);
    xml.intoElement();
    xml.addElement(u"Body");
    xml.intoElement();
    xml.addElement(u"Empty");                   // no attributes: "/>"
    xml.addElement(u"Attr");
    xml.setAttribute(u"q", u"'\"<&>");          // attribute escapes
    xml.addElement(u"Text", u"a < b & c > d 'x' \"y\"");  // text escapes only < & >
    xml.outOfElement();
    xml.outOfElement();
    xml.setAttribute(u"Count_Input", 0);
    EXPECT_EQ(xml.document(),
              u"<Page Version=\"2\" Count_Input=\"0\">\r\n"
              u"<Body>\r\n"
              u"<Empty/>\r\n"
              u"<Attr q=\"&apos;&quot;&lt;&amp;&gt;\" />\r\n"
              u"<Text>a &lt; b &amp; c &gt; d 'x' \"y\"</Text>\r\n"
              u"</Body>\r\n"
              u"</Page>\r\n");
}

TEST(XmlCursor, AddsAfterTheCurrentElement)
{
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(u"<r><a/><c/></r>"));
    xml.findElement(u"r");
    xml.intoElement();
    xml.findElement(u"a");
    ASSERT_TRUE(xml.addElement(u"b"));
    xml.resetPosition();
    ASSERT_TRUE(xml.findElement(u"c"));
    xml.resetPosition();
    ASSERT_TRUE(xml.addElement(u"d"));  // no current element: at the end
    EXPECT_EQ(xml.document(), u"<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n<d/>\r\n</r>\r\n");
    xml.outOfElement();
    xml.outOfElement();
    EXPECT_FALSE(xml.addElement(u"second-root"));
}

TEST(XmlCursor, SetDataAndAttributesReplaceOldValues)
{
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(u"<r a=\"1\">old</r>"));
    xml.findElement();
    xml.setAttribute(u"a", 2);
    xml.setAttribute(u"b", -3);
    xml.setData(u"new");
    EXPECT_EQ(xml.document(), u"<r a=\"2\" b=\"-3\">new</r>\r\n");
    XmlCursor parent;
    ASSERT_TRUE(parent.setDocument(u"<p><c/></p>"));
    parent.findElement();
    EXPECT_FALSE(parent.setData(u"text beside children"));
}

TEST(XmlCursor, RoundTripKeepsPrologAndContent)
{
    const std::u16string text =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
        u"<Color>\r\n"
        u"<CORLOR Name=\"淡黄\" Bg=\"-1\" />\r\n"
        u"<Note>第一行\r第二行 &amp; more</Note>\r\n"
        u"</Color>\r\n";
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(text));
    EXPECT_EQ(xml.document(), text);
    XmlCursor again;
    ASSERT_TRUE(again.setDocument(xml.document()));
    EXPECT_EQ(again.document(), text);
}

TEST(XmlCursor, RecordsEveryDiagnosticWithoutStopping)
{
    struct Case {
        std::u16string_view text;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {u"", {"Empty document"}},
        {u"  \r\n", {"No root element"}},
        {u"<a/><b/>", {"Root element has sibling"}},
        {u"<a></b></a>", {"End tag 'b' at offset 3 does not match start tag 'a' at offset 0"}},
        {u"</x><a/>", {"No start tag for end tag 'x' at offset 0"}},
        {u"<a><b></a>", {"Element 'b' at offset 3 not ended"}},
        {u"<a><b>", {"Element 'b' at offset 3 not ended", "Element 'a' at offset 0 not ended"}},
        {u"<a x=1/>", {"Incorrect Element tag at offset 0", "No root element"}},
        {u"<a>< b</a>", {"Incorrect tag name character at offset 4"}},
        {u"<a><!x></a>", {"Incorrect ! tag at offset 3"}},
        {u"<a><!-x></a>", {"Incorrect comment tag at offset 3"}},
        {u"<a></ a></a>", {"Incorrect Element end tag at offset 3"}},
        {u"<a><![CDATA[x</a>", {"Incorrect CDATA Section at offset 3", "Element 'a' at offset 0 not ended"}},
        {u"<a/><?pi", {"Incorrect Processing instruction at offset 4"}},
        {u"<a/><!-- c", {"Incorrect Comment at offset 4"}},
        {u"<!DOCTYPE a [<!ENTITY x 'y'>", {"Incorrect Doctype at offset 0", "No root element"}},
        // Several problems in one document are all recorded.
        {u"<a><b></c><!x>", {"End tag 'c' at offset 6 does not match start tag 'b' at offset 3",
                             "Incorrect ! tag at offset 10", "Element 'b' at offset 3 not ended",
                             "Element 'a' at offset 0 not ended"}},
    };
    for (const auto& c : cases) {
        XmlCursor xml;
        EXPECT_EQ(xml.setDocument(c.text), c.expected.empty());
        EXPECT_EQ(xml.diagnostics(), c.expected) << utf16::toUtf8(c.text);
    }
}

TEST(XmlCursor, WellFormedDocumentsHaveNoDiagnostics)
{
    XmlCursor xml;
    EXPECT_TRUE(xml.setDocument(u"<?xml version=\"1.0\"?><!DOCTYPE p [<!ELEMENT p ANY>]><!-- c --><p a='1'>t<![CDATA[c]]></p>"));
    EXPECT_THAT(xml.diagnostics(), IsEmpty());
}

TEST(XmlCursor, BrokenDocumentsStillExposeWhatParsed)
{
    XmlCursor xml;
    EXPECT_FALSE(xml.setDocument(u"<Page><Body><Chunk Type=\"R1\"><Chunk>text</Chunk></Chunk>"));
    ASSERT_TRUE(xml.findElement(u"Page"));
    xml.intoElement();
    ASSERT_TRUE(xml.findElement(u"Body"));
    xml.intoElement();
    ASSERT_TRUE(xml.findElement(u"Chunk"));
    xml.intoElement();
    ASSERT_TRUE(xml.findElement(u"Chunk"));
    EXPECT_EQ(xml.data(), u"text");
}

TEST(XmlCursor, DeepNestingNeitherCrashesNorRecurses)
{
    std::u16string deep;
    for (int i = 0; i < 100000; ++i)
        deep += u"<d>";
    for (int i = 0; i < 100000; ++i)
        deep += u"</d>";
    XmlCursor xml;
    EXPECT_TRUE(xml.setDocument(deep));
    // Each outer element writes "<d>\r\n" and "</d>\r\n"; the innermost "<d/>\r\n".
    EXPECT_EQ(xml.document().size(), 99999u * 11u + 6u);
}

std::vector<std::u16string> textsOf(const XmlCursor& xml)
{
    std::vector<std::u16string> out;
    for (const auto& t : xml.texts()) {
        out.push_back(std::u16string(xml.nameOf(t.element)) + u":" + utf16::number(t.child) + u":" +
                      utf16::number(t.depth) + (t.besideElements ? u":beside:" : u":own:") + std::u16string(t.text));
    }
    return out;
}

TEST(XmlCursor, TextsGiveEveryTextInDocumentOrder)
{
    XmlCursor xml;
    EXPECT_TRUE(xml.setDocument(u"<r>\r\n 前 <a>一<b>二</b>三</a>\r\n<c/>中\r\n<d>四</d>后<![CDATA[尾]]></r>"));
    ASSERT_TRUE(xml.findElement());
    // Blanks between elements are layout; text beside them is kept, trimmed, in place.
    EXPECT_EQ(textsOf(xml), (std::vector<std::u16string>{u"r:-1:0:beside:前", u"a:0:1:beside:一", u"b:0:2:own:二",
                                                         u"a:0:1:beside:三", u"r:-1:0:beside:中", u"d:2:1:own:四",
                                                         u"r:-1:0:beside:后尾"}));
    EXPECT_TRUE(xml.holdsOwnText());
    EXPECT_FALSE(xml.writesBackWhole());
    // data() stays empty for an element with children, as before.
    EXPECT_EQ(xml.data(), u"");

    XmlCursor plain;
    ASSERT_TRUE(plain.setDocument(u"<r>\r\n<a>x</a>\r\n<b/>\r\n</r>"));
    ASSERT_TRUE(plain.findElement());
    EXPECT_EQ(textsOf(plain), (std::vector<std::u16string>{u"a:0:1:own:x"}));
    EXPECT_FALSE(plain.holdsOwnText());
    EXPECT_TRUE(plain.writesBackWhole());
}

TEST(XmlCursor, AnUnterminatedCdataKeepsTheRestAsText)
{
    XmlCursor xml;
    EXPECT_FALSE(xml.setDocument(u"<a><b><![CDATA[x < y </i> z\r\n</b>\r\n</a>\r\n"));
    EXPECT_FALSE(xml.writesBackWhole());
    ASSERT_TRUE(xml.findElement());
    xml.intoElement();
    ASSERT_TRUE(xml.findElement(u"b"));
    EXPECT_EQ(xml.data(), u"x < y </i> z");
}

TEST(XmlCursor, ElementsCanBeAddedWhereOnlyBlanksWereRead)
{
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(u"<Page>\r\n<Body>\r\n</Body>\r\n</Page>"));
    xml.findElement();
    xml.intoElement();
    xml.findElement(u"Body");
    xml.intoElement();
    EXPECT_TRUE(xml.addElement(u"Chunk", u"x"));
    EXPECT_EQ(xml.document(), u"<Page>\r\n<Body>\r\n<Chunk>x</Chunk>\r\n</Body>\r\n</Page>\r\n");
    XmlCursor text;
    ASSERT_TRUE(text.setDocument(u"<p>words</p>"));
    text.findElement();
    text.intoElement();
    EXPECT_FALSE(text.addElement(u"c"));  // would lose the text
}

TEST(XmlCursor, TextsWalkAnyDepth)
{
    std::u16string deep;
    for (int i = 0; i < 100000; ++i)
        deep += u"<d>";
    deep += u"底";
    for (int i = 0; i < 100000; ++i)
        deep += u"</d>";
    XmlCursor xml;
    ASSERT_TRUE(xml.setDocument(deep));
    ASSERT_TRUE(xml.findElement());
    const auto texts = xml.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, u"底");
    EXPECT_EQ(texts[0].depth, 99999);
    EXPECT_EQ(texts[0].child, 0);
}

}  // namespace
}  // namespace veyla::library
