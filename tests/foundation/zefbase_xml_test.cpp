// The shared helpers of the tagged-text files: number readers, attribute lookup, element reader.
#include "zefbase_xml.h"

#include <gtest/gtest.h>

#include <string>

namespace zef {
namespace {

TEST(ScanDecimal, SignsBlanksAndSaturation) {
  struct TCase {
    const char* S;
    int32_t Value;
    std::size_t EndPos;
  };
  const TCase Cases[] = {
      {"  -12x", -12, 6}, {"+7", 7, 3},     {"abc", 0, 1},         {"", 0, 1},
      {"- 5", 0, 2},      {"99999999999", 2147483647, 12},         {"-99999999999", -2147483647 - 1, 13},
  };
  for (const auto& C : Cases) {
    std::size_t Pos = 1;
    EXPECT_EQ(ScanDecimal(C.S, Pos), C.Value) << C.S;
    EXPECT_EQ(Pos, C.EndPos) << C.S;
  }
  std::size_t Pos = 3;
  EXPECT_EQ(ScanDecimal("a=15;", Pos), 15);
  EXPECT_EQ(Pos, 5u);
}

TEST(ScanHexadecimal, DollarOnlyAtTheStart) {
  std::size_t Pos = 1;
  EXPECT_EQ(ScanHexadecimal("$00fF80", Pos), 0x00FF80u);
  EXPECT_EQ(Pos, 8u);
  Pos = 1;
  EXPECT_EQ(ScanHexadecimal(" $FF", Pos), 0u);  // "$" is not the first character
  Pos = 1;
  EXPECT_EQ(ScanHexadecimal("123456789A", Pos), 0x3456789Au);  // the last eight digits
  Pos = 1;
  EXPECT_EQ(ScanHexadecimal("g", Pos), 0u);
}

struct TFPCase {
  const char* S;
  bool AllowExp;
  TDecSeparators Seps;
  double Value;
  std::size_t EndPos;
};

TEST(ScanFPNum, StateMachine) {
  const TFPCase Cases[] = {
      {"1,5E+0001", true, dsepBoth, 15, 10},
      {" 1.000E+0002", true, dsepBoth, 100, 13},
      {"-2.5e-1 rest", true, dsepBoth, -0.25, 8},
      {"12-3", true, dsepBoth, 12, 3},
      {"1.5E3", false, dsepBoth, 1.5, 4},     // E ends the number
      {"1,5", true, dsepPoint, 1, 2},        // comma not accepted
      {",5", true, dsepPoint, 0, 1},         // error at the start
      {".5", true, dsepBoth, 0.5, 3},
      {"5.", true, dsepBoth, 5, 3},
      {".", true, dsepBoth, 0, 2},
      {"1.2.3", true, dsepBoth, 0, 4},       // a second separator is an error
      {"- 1", true, dsepBoth, 0, 2},
      {"E5", true, dsepBoth, 0, 1},
      {"1E", true, dsepBoth, 1, 3},          // incomplete exponent
      {"1E+", true, dsepBoth, 1, 4},
      {"1E 5", true, dsepBoth, 0, 3},        // blank after E
      {"1Ex", true, dsepBoth, 1, 3},
      {"1E99999", true, dsepBoth, 1.7e308, 8},
      {"-1E400", true, dsepBoth, -1.7e308, 7},
      {"1E-99999", true, dsepBoth, 0, 9},
      {"", true, dsepBoth, 0, 1},
      {"12", true, dsepNone, 12, 3},
      {"1.5", true, dsepNone, 1, 2},
  };
  for (const auto& C : Cases) {
    std::size_t Pos = 1;
    EXPECT_EQ(ScanFPNum(C.S, Pos, C.AllowExp, C.Seps), C.Value) << C.S;
    EXPECT_EQ(Pos, C.EndPos) << C.S;
  }
  const std::string Long = "1" + std::string(5000, '0');
  std::size_t Pos = 1;
  EXPECT_EQ(ScanFPNum(Long, Pos, true, dsepBoth), 1.7e308);
}

TEST(XMLAttribute, LookupRules) {
  const std::string A = "x= 1.5 Name=\"a b=c\" y=2";
  EXPECT_EQ(XMLAttribute(A, "x"), "1.5");
  EXPECT_EQ(XMLAttribute(A, "NAME"), "a b=c");
  EXPECT_EQ(XMLAttribute(A, "y"), "2");
  EXPECT_EQ(XMLAttribute(A, "z"), "");
  EXPECT_EQ(XMLAttribute(" a b =1", "a b"), "1");   // blanks inside a name belong to it
  EXPECT_EQ(XMLAttribute("a==1 b=2", "b"), "");     // "=" after "=" stops the scan
  EXPECT_EQ(XMLAttribute("a=1=2 b=2", "b"), "");    // "=" in an unquoted value
  EXPECT_EQ(XMLAttribute("\"a\"=1", "a"), "");      // a quote in a name
  EXPECT_EQ(XMLAttribute("a=\"open", "a"), "open"); // an unclosed quote runs to the end
  EXPECT_EQ(XMLAttribAsInt("val=12", "val"), 12);
  EXPECT_EQ(XMLAttribAsHex("c=$FF0000", "c"), 0xFF0000u);
  EXPECT_EQ(XMLAttribAsFloat("v=2,5", "v"), 2.5);
  EXPECT_EQ(XMLAttribAsFloat("", "v"), 0);
}

TEST(ReadXMLElement, SelfClosingContentClosingAndComments) {
  TXMLStringSource Src("junk<!-- x --><?xml version=\"1.0\"?><Point x=1 y=2 />"
                       "<Name>Ab<b>c</b></NAME></root><br/><caption>a > b</caption>",
                       1);
  TXMLElement E;
  ASSERT_TRUE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Name, "point");
  EXPECT_EQ(E.Attributes, "x=1 y=2");
  EXPECT_EQ(E.Content, "");
  ASSERT_TRUE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Name, "name");
  EXPECT_EQ(E.Content, "Ab<b>c</b>");
  ASSERT_TRUE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Name, "/root");
  ASSERT_TRUE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Name, "br");
  ASSERT_TRUE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Name, "caption");
  EXPECT_EQ(E.Content, "a > b");
  EXPECT_FALSE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Name, "");
}

TEST(ReadXMLElement, UnclosedContentAndTagsEndAtTheInput) {
  TXMLStringSource Src("<a>text without end", 1);
  TXMLElement E;
  ASSERT_TRUE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Content, "text without end");
  TXMLStringSource Cut("<a x=1", 1);
  EXPECT_FALSE(ReadXMLElement(Cut, E));
}

TEST(ReadXMLElement, LongUnclosedContentIsLinear) {
  // Many ">" in the content: each costs a look at the tail only.
  std::string S = "<a>";
  for (int I = 0; I < 200000; ++I) S += "x>";
  TXMLStringSource Src(S, 1);
  TXMLElement E;
  ASSERT_TRUE(ReadXMLElement(Src, E));
  EXPECT_EQ(E.Content.size(), 400000u);
}

TEST(ReadXMLElement, StreamSourceLeavesThePositionAfterTheElement) {
  TStringStream S("<p v=1 />tail");
  {
    TXMLStreamSource Src(S);
    TXMLElement E;
    ASSERT_TRUE(ReadXMLElement(Src, E));
  }
  EXPECT_EQ(S.Position(), 9);
}

TEST(XMLTagIndex, HighestIndexWhenNotListed) {
  const std::string_view Tags[] = {"point", "end"};
  EXPECT_EQ(XMLTagIndex("point", Tags), 0);
  EXPECT_EQ(XMLTagIndex("other", Tags), 1);
  EXPECT_EQ(XMLTagIndex("x", std::span<const std::string_view>()), -1);
}

TEST(XMLFrame, ValueEncodingsAndBlockStart) {
  EXPECT_EQ(XMLFloatStr(100), " 1.000E+0002");
  EXPECT_EQ(XMLFloatStr(-0.5), "-5.000E-0001");
  EXPECT_EQ(XMLColorStr(0xFF00000F), "$00000F");  // system colour marker left out
  EXPECT_EQ(XMLColorStr(0x00ABCDEF), "$ABCDEF");
  EXPECT_EQ(XMLIndentation(0), " ");
  EXPECT_EQ(XMLIndentation(1000).size(), 255u);
  const std::string Line = "  <custtextlbl sig=\"ZEFCSuite\" vers=\"1.0\" id=\" LBL2 \">";
  EXPECT_TRUE(IsXMLBlockStart(Line, "custtextlbl", ""));
  EXPECT_TRUE(IsXMLBlockStart(Line, "custtextlbl", "Lbl2"));
  EXPECT_FALSE(IsXMLBlockStart(Line, "custtextlbl", "lbl1"));
  EXPECT_FALSE(IsXMLBlockStart(Line, "geomap", ""));
  EXPECT_FALSE(IsXMLBlockStart("<custtextlbl id=\"x\">", "custtextlbl", ""));
}

} // namespace
} // namespace zef
