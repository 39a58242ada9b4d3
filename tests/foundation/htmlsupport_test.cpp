// THtmlProducer and the web text functions.
#include <gtest/gtest.h>

#include "ZEF_htmlsupport.h"
#include "ZEF_streams.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

TEST(HtmlProducer, HandsTagsToTheHandler) {
  THtmlProducer P(nullptr);
  P.SetTemplate("<p><#Date short> at <#now>, a<b <#  TITLE   two words  ></p><#open");
  EXPECT_EQ(P.Convert(), P.Template());
  std::vector<std::pair<std::string, std::string>> Seen;
  P.OnHTMLTag = [&](TObject* Sender, const std::string& Name, const std::string& Params,
                    std::string& Rep) {
    EXPECT_EQ(Sender, &P);
    Seen.emplace_back(Name, Params);
    if (Name == "date") Rep = "2026-12-11";
    if (Name == "now") Rep = "noon";
  };
  EXPECT_EQ(P.Convert(), "<p>2026-12-11 at noon, a<b <#  TITLE   two words  ></p><#open");
  EXPECT_EQ(P.ConvertedHTML(), "<p>2026-12-11 at noon, a<b <#  TITLE   two words  ></p><#open");
  ASSERT_EQ(Seen.size(), 4u);
  EXPECT_EQ(Seen[0], std::make_pair(std::string("date"), std::string("short")));
  EXPECT_EQ(Seen[1], std::make_pair(std::string("now"), std::string()));
  EXPECT_EQ(Seen[2], std::make_pair(std::string(""), std::string("TITLE   two words")));
  EXPECT_EQ(Seen[3], std::make_pair(std::string("open"), std::string()));
  TStream& S = P.ConvertedHTMLAsStream();
  EXPECT_EQ(S.Position(), 0);
  EXPECT_EQ(StreamAsByteString(S), P.ConvertedHTML());
}

class HtmlFiles : public zef::test::TempDirTest {};

TEST_F(HtmlFiles, TemplatesFromFilesAndStreams) {
  Put("t.html", "line one\nline <#two>\r\n");
  THtmlProducer P(nullptr);
  P.ReadTemplateFromFile(Path("t.html"));
  EXPECT_EQ(P.Template(), "line one\r\nline <#two>\r\n");
  P.OnHTMLTag = [](TObject*, const std::string&, const std::string&, std::string& Rep) {
    Rep = "2";
  };
  P.Convert();
  P.WriteConvertedHTMLToFile(Path("out.html"));
  EXPECT_EQ(Get("out.html"), "line one\r\nline 2\r\n");
  TStringStream U16(std::string("h\0i\0", 4));
  U16.SetPosition(3);
  P.ReadTemplateFromStream(U16);
  EXPECT_EQ(P.Template(), "hi");
}

TEST(WebText, CountWordsOutsideTags) {
  bool InTag = false;
  EXPECT_EQ(CountWordsHTML("<b>Hello world ", false, InTag), 2);
  EXPECT_FALSE(InTag);
  EXPECT_EQ(CountWordsHTML("one two", false, InTag), 1); // a run at the end does not count
  EXPECT_EQ(CountWordsHTML("12 ab 3x ", true, InTag), 1);
  EXPECT_EQ(CountWordsHTML("a <span", false, InTag), 0);
  EXPECT_TRUE(InTag);
  EXPECT_EQ(CountWordsHTML("class=x> Next line ", false, InTag), 2);
  EXPECT_FALSE(InTag);
  InTag = true;
  EXPECT_EQ(CountWordsHTML("skip me>kept ", false, InTag), 1);
}

TEST(WebText, UrlPathsAndCoding) {
  EXPECT_EQ(ExtractHTTPPath("HTTP://www.x.org/a/b/page.html"), "www.x.org/a/b/");
  EXPECT_EQ(ExtractHTTPPath("ftp://x/y"), "ftp://x/");
  EXPECT_EQ(ExtractHTTPPath(""), "");
  EXPECT_EQ(ExtractHTTPPath("noslash"), "");
  EXPECT_EQ(URLEncode("a b&c'd"), "a%20b%26c'd");
  EXPECT_EQ(URLEncode("100%/[x]"), "100%25%2F%5Bx%5D");
  EXPECT_EQ(URLEncode("\xC3\xA4"), "\xC3\xA4");
  EXPECT_EQ(URLDecode("%2541"), "A");
  EXPECT_EQ(URLDecode("a%20b%2"), "a b%2");
  EXPECT_EQ(URLDecode("%zz%4"), "%zz%4");
  EXPECT_EQ(URLDecode("%C3%A4"), "\xC3\xA4"); // escaped UTF-8
  EXPECT_EQ(URLDecode("%E4"), "\xC3\xA4");    // a lone high byte is Latin-1
  const std::string Text = "x = a&b / 50% ? [ok]";
  EXPECT_EQ(URLDecode(URLEncode(Text)), Text);
}

TEST(WebText, Entities) {
  EXPECT_EQ(AnsiToHTMLEntity(U'\u00E9'), "&eacute;");
  EXPECT_EQ(AnsiToHTMLEntity(U'<'), "&lt;");
  EXPECT_EQ(AnsiToHTMLEntity(U'x'), "x");
  EXPECT_EQ(HTMLEntityToAnsi("&nbsp;"), U'\u00A0');
  EXPECT_EQ(HTMLEntityToAnsi("&#65;"), U'A');
  EXPECT_EQ(HTMLEntityToAnsi("&#x20AC;"), U'\u20AC');
  EXPECT_EQ(HTMLEntityToAnsi("&bogus;"), 0u);
  EXPECT_EQ(HTMLEntityToAnsi("&#xD800;"), 0u);
  EXPECT_EQ(ResolveHTMLEntities("a &amp; b &uuml; &unknown; &"), "a & b \xC3\xBC &unknown; &");
  EXPECT_EQ(MakeStringHTMLCompatible("<\xC3\xA9>"), "&lt;&eacute;&gt;");
  const std::string Page = DefaultHTMLHead("T&C", "Me", "", "k1,k2", true) +
                           "<P>Hello&nbsp;<b>big</b>\r\n   world<br>next</p>" +
                           DefaultHTMLFoot(true);
  EXPECT_NE(Page.find("<title>T&amp;C</title>"), std::string::npos);
  EXPECT_EQ(Page.find("description"), std::string::npos);
  EXPECT_EQ(ExtractHTMLBody(Page), "\r\n<P>Hello&nbsp;<b>big</b>\r\n   world<br>next</p>");
  EXPECT_EQ(ConvertHTMLBodyToText(Page, true), "Hello\xC2\xA0"
                                               "big world\r\nnext");
  EXPECT_EQ(ConvertHTMLBodyToText(Page, false), "Hello\xC2\xA0"
                                                "big world next");
  EXPECT_EQ(ExtractHTMLBody("no body here"), "no body here");
}

} // namespace
} // namespace zef
