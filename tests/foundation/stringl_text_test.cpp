#include "ZEF_stringl.h"

#include <gtest/gtest.h>

#include <string>

namespace zef {
namespace {

TEST(NumberedPos, ForwardAndBackward) {
  EXPECT_EQ(NumberedPos("ab", "abxabyab", 1, 3, false), 7u);
  EXPECT_EQ(NumberedPos("ab", "abxabyab", 1, 4, false), 0u);
  EXPECT_EQ(NumberedPos("AB", "xab", 1, 1, true), 2u);
  EXPECT_EQ(NumberedPos("AB", "xab", 1, 1, false), 0u);
  EXPECT_EQ(NumberedPos("aa", "aaaa", 1, 2, false), 3u);  // no overlaps
  EXPECT_EQ(NumberedPos("ab", "abxab", -5, 1, false), 1u);
  EXPECT_EQ(NumberedPos("ab", "abxab", 2, 1, false), 4u);
  EXPECT_EQ(NumberedPos("", "abc", 1, 1, false), 0u);

  EXPECT_EQ(NumberedPosBw("bc", "abcabc", 5, 1, false), 2u);
  EXPECT_EQ(NumberedPosBw("bc", "abcabc", 6, 1, false), 5u);
  EXPECT_EQ(NumberedPosBw("bc", "abcabc", 6, 2, false), 2u);
  EXPECT_EQ(NumberedPosBw("bc", "abcabc", 60, 3, false), 0u);
  EXPECT_EQ(NumberedPosBw("BC", "abc", 3, 1, true), 2u);
  EXPECT_EQ(NumberedPosBw("bc", "abc", 2, 1, false), 0u);

  EXPECT_EQ(PosLast("/", "a/b/c"), 4u);
  EXPECT_EQ(PosLast("x", "abc"), 0u);
}

TEST(StringIx, ExactAndCaseInsensitive) {
  EXPECT_EQ(StringIx("b", {"a", "b", "b"}), 2);
  EXPECT_EQ(StringIx("B", {"a", "b"}), 0);
  EXPECT_EQ(StringIx("B", false, {"a", "b"}), 2);
  const std::vector<std::string> V = {"x", "\u00c4rger"};
  EXPECT_EQ(StringIx("\u00e4RGER", false, V), 2);
  EXPECT_EQ(StringIx("y", V), 0);
}

TEST(Counting, StringsCharsAndClasses) {
  EXPECT_EQ(CountStringInString("aa", "aaaaa", true), 2);
  EXPECT_EQ(CountStringInString("Ab", "abAB", false), 2);
  EXPECT_EQ(CountStringInString("Ab", "abAB", true), 0);
  EXPECT_EQ(CountCharInString(U'\u00e4', "\u00c4b\u00e4", false), 2);
  EXPECT_EQ(CountCharInString('a', "aAa", true), 2);
  EXPECT_EQ(FindFirstNonBlank("   x"), 4u);
  EXPECT_EQ(FindFirstNonBlank("   "), 0u);
  EXPECT_EQ(FindFirstDigit("ab3"), 3u);
  EXPECT_EQ(FindFirstDigit("abc"), 0u);
  EXPECT_TRUE(TestAllChar("---", '-'));
  EXPECT_FALSE(TestAllChar("", '-'));
  EXPECT_FALSE(TestAllChar("--+", '-'));
}

TEST(StringContains, MacrosExpandAndHighCharactersBelongToNoSet) {
  EXPECT_TRUE(StringContains("ab3", "//dig"));
  EXPECT_FALSE(StringContains("abc", "//dig//uc"));
  EXPECT_TRUE(StringContains("abC", "//dig//uc"));
  EXPECT_TRUE(StringContains("a\tb", "//31dwn"));
  EXPECT_TRUE(StringContains("caf\u00e9", "//128up"));
  EXPECT_FALSE(StringContains("\u20ac", "//128up"));  // above 255
  EXPECT_FALSE(StringContainsOtherThan("abc123", "//lc//dig"));
  EXPECT_TRUE(StringContainsOtherThan("abc-123", "//lc//dig"));
  EXPECT_FALSE(StringContainsOtherThan("ab\u20ac", "//lc"));
  EXPECT_TRUE(StringContains("x/y", "/"));  // a lone slash is no macro
}

TEST(Trimming, BlanksAndCharacters) {
  EXPECT_EQ(StripLTBlanks("  a b  "), "a b");
  EXPECT_EQ(StripLTBlanks("   "), "");
  EXPECT_EQ(StripLTBlanks("\ta "), "\ta");
  EXPECT_EQ(StripLeadingBlanks("  a "), "a ");
  EXPECT_EQ(StripLeadingBlanks("   "), " ");
  EXPECT_EQ(StripTrailingBlanks(" a  "), " a");
  EXPECT_EQ(StripTrailingBlanks("   "), " ");
  EXPECT_EQ(StripTrailingBlanks(""), "");
  EXPECT_EQ(StripTrailingChars('x', "xxx"), "x");
  EXPECT_EQ(StripTrailingChars('x', "axx"), "a");
  EXPECT_EQ(StripLeadingChars('x', "xxx"), "");
  EXPECT_EQ(StripLeadingChars('0', "007"), "7");
  EXPECT_EQ(EnsureTrailingBkSlash("c:\\a"), "c:\\a\\");
  EXPECT_EQ(EnsureTrailingBkSlash("c:\\"), "c:\\");
  EXPECT_EQ(EnsureTrailingBkSlash(""), "");
  EXPECT_EQ(EnsureTrailingChar('/', "a"), "a/");
  EXPECT_EQ(EnsureLeadingChar('/', "a"), "/a");
  EXPECT_EQ(EnsureLeadingChar('/', "/a"), "/a");
}

TEST(Padding, CountsCharactersNotBytes) {
  EXPECT_EQ(LeftString("ab", 4), "ab  ");
  EXPECT_EQ(LeftString("abcdef", 3), "abc");
  EXPECT_EQ(LeftString("\u00e4\u00f6\u00fc", 2), "\u00e4\u00f6");
  EXPECT_EQ(RightString("ab", 4), "  ab");
  EXPECT_EQ(RightString("abcdef", 3), "abc");
  EXPECT_EQ(CenterString("ab", 5), " ab  ");
  EXPECT_EQ(CenterString("abcdef", 4), "abcd");
  EXPECT_EQ(CenterString("\u00e4", 3), " \u00e4 ");
  EXPECT_EQ(AbbrevString("abcdefgh", 5), "abc..");
  EXPECT_EQ(AbbrevString("abc", 5), "abc");
  EXPECT_EQ(AbbrevString("abc", 1), "..");
  EXPECT_EQ(SortableNumericString(" 12.5 ", '.', 5), "  12.5");
  EXPECT_EQ(SortableNumericString("1234.5", '.', 3), "1234.5");
  EXPECT_EQ(SortableNumericString("7", '.', 3), "   7");
}

TEST(Editing, ReplaceRemoveReverseReduce) {
  EXPECT_EQ(ReplaceCharInString("a.b.c", '.', ','), "a,b,c");
  EXPECT_EQ(ReplaceCharInString("\u00e4x", U'\u00e4', 'a'), "ax");
  EXPECT_EQ(ReplaceStringInString("aXbxc", "x", "yy", true), "ayybyyc");
  EXPECT_EQ(ReplaceStringInString("aaa", "a", "aa", false), "aaaaaa");  // no endless loop
  EXPECT_EQ(ReplaceStringInString("abc", "", "z", false), "abc");
  EXPECT_EQ(RemoveCharInString("a-b-c", '-'), "abc");
  EXPECT_EQ(RemoveMultiChars("a  b   c ", ' '), "a b c ");
  EXPECT_EQ(RemoveControlChars("a\tb\r\nc"), "abc");
  EXPECT_EQ(ReverseString("ab\u00e4"), "\u00e4ba");
  EXPECT_EQ(ReduceStringToAZ09("a-b c\u00e49"), "a_b_c_9");
  EXPECT_EQ(ReduceStringToFN83CompliantChars("a b*c?d~e{1}.txt\u00e9\x7f"), "a_b_c_d~e{1}.txt__");
  EXPECT_EQ(ReduceStringToFN83CompliantChars("!#$%&'()-@^_`"), "!#$%&'()-@^_`");
}

TEST(Splitting, BeforeAfterAndFields) {
  std::string B, A;
  SplitString("key = value = x", "=", true, B, A);
  EXPECT_EQ(B, "key");
  EXPECT_EQ(A, "value = x");
  SplitString("novalue", "=", true, B, A);
  EXPECT_EQ(B, "");
  EXPECT_EQ(A, "");
  EXPECT_EQ(ExtractBeforeTrigger(" a :b", ":", false), " a ");
  EXPECT_EQ(ExtractAfterTrigger(" a : b ", ":", true), "b");
  EXPECT_EQ(ExtractAfterTrigger("ab", ":", true), "");

  EXPECT_EQ(ExtractSubString("a,,c", 1, ","), "");
  EXPECT_EQ(ExtractSubString("a,,c", 2, ","), "c");
  EXPECT_EQ(ExtractSubString("a,,c", 0, ","), "a");
  EXPECT_EQ(ExtractSubString("a,,c", 3, ","), "");
  EXPECT_EQ(ExtractSubString("a,,c", -1, ","), "");
  EXPECT_EQ(ExtractSubString("oneANDtwoandthree", 2, "and"), "three");
}

TEST(Tokenize, PlainEscapedAndCapped) {
  TOpenStringArray T;
  EXPECT_EQ(Tokenize("a;b;;c", ";", T), 4);
  EXPECT_EQ(T, (TOpenStringArray{"a", "b", "", "c"}));
  EXPECT_EQ(Tokenize("abc", ";", T), 1);
  EXPECT_EQ(Tokenize("abc", "", T), 1);
  EXPECT_EQ(T[0], "abc");
  EXPECT_EQ(Tokenize("a;b\\;c;d", ";", '\\', T), 3);
  EXPECT_EQ(T, (TOpenStringArray{"a", "b;c", "d"}));
  EXPECT_EQ(Tokenize("x\\\\y", ";", '\\', T), 1);
  EXPECT_EQ(T[0], "x\\y");

  std::string Many;
  for (int I = 0; I < 1200; ++I) Many += "t,";
  EXPECT_EQ(Tokenize(Many, ",", T), MaxTokens);
  EXPECT_EQ(T.back().size(), 201u * 2);  // the rest of the text after 999 splits
}

TEST(DetectCSVDelimiter, MostFrequentEarlierOnTies) {
  EXPECT_EQ(DetectCSVDelimiter("a;b;c,d"), csvSemicolon);
  EXPECT_EQ(DetectCSVDelimiter("a;b,c"), csvSemicolon);  // tie: semicolon comes first
  EXPECT_EQ(DetectCSVDelimiter("a\tb\tc"), csvTab);
  EXPECT_EQ(DetectCSVDelimiter("a b;c"), csvBlank);
  EXPECT_EQ(DetectCSVDelimiter("abc"), csvUnknown);
}

TEST(ReadLnString, LineEndModes) {
  const std::string S = "ab\r\ncd\ne";
  std::size_t Pos = 1;
  bool End = false;
  EXPECT_EQ(ReadLnString(S, Pos, End, 0), "ab");  // CR is left out
  EXPECT_EQ(ReadLnString(S, Pos, End, 0), "cd");
  EXPECT_FALSE(End);
  EXPECT_EQ(ReadLnString(S, Pos, End, 0), "e");
  EXPECT_TRUE(End);

  Pos = 1;
  EXPECT_EQ(ReadLnString(S, Pos, End, 2), "ab");
  EXPECT_EQ(ReadLnString(S, Pos, End, 2), "");  // the LF of CR LF is a line end of its own
  Pos = 1;
  EXPECT_EQ(ReadLnString(S, Pos, End, 4), "ab");
  EXPECT_EQ(ReadLnString(S, Pos, End, 4), "cde");  // a lone LF does not end a line
  EXPECT_TRUE(End);
  Pos = 1;
  EXPECT_EQ(ReadLnString("x\n\ry", Pos, End, 3), "x");
  EXPECT_EQ(Pos, 4u);
  Pos = 99;
  EXPECT_EQ(ReadLnString(S, Pos, End, 0), "");
  EXPECT_TRUE(End);
}

TEST(TextLineCoords, LinesAndCharacterColumns) {
  int32_t Line = 0, Col = 0;
  TextLineCoords("ab\n\u00e4bc", 7, Line, Col);  // the "c"
  EXPECT_EQ(Line, 2);
  EXPECT_EQ(Col, 3);
  TextLineCoords("ab", 99, Line, Col);
  EXPECT_EQ(Line, 1);
  EXPECT_EQ(Col, 3);
}

TEST(Words, CountExtractCapitalize) {
  EXPECT_EQ(CountWords("ab c de"), 1);
  EXPECT_EQ(CountWords("ab cd e"), 2);
  EXPECT_EQ(CountWords("\u00e4\u00f6 x"), 1);  // two characters, four bytes
  EXPECT_EQ(CountWords(""), 0);

  std::size_t F = 0, L = 0;
  EXPECT_EQ(ExtractWordFromString("one two,three", 6, F, L), "two");
  EXPECT_EQ(F, 5u);
  EXPECT_EQ(L, 7u);
  EXPECT_EQ(ExtractWordFromString("one two", 4, F, L), " ");
  EXPECT_EQ(F, 4u);
  EXPECT_EQ(L, 4u);
  EXPECT_EQ(ExtractWordFromString("one", 9, F, L), "");
  EXPECT_EQ(F, 0u);
  EXPECT_EQ(ExtractWordFromString("one", 0), "");

  EXPECT_EQ(CapitalizeString("hello wide-world 3rd \u00e9t\u00e9"), "Hello Wide-World 3rd \u00c9t\u00e9");
  EXPECT_EQ(CapitalizeString("mIxed"), "MIxed");
}

TEST(CaseAndClasses, AbbreviationsSwappingUmlauts) {
  EXPECT_TRUE(IsAbbreviation("NASA"));
  EXPECT_FALSE(IsAbbreviation("USAir"));
  EXPECT_TRUE(IsAbbreviation("IBM PC"));
  EXPECT_FALSE(IsAbbreviation("A"));
  EXPECT_FALSE(IsAbbreviation("ABC12345"));
  EXPECT_EQ(ChangeCase("aB\u00e4\u00c4-"), "Ab\u00c4\u00e4-");
  EXPECT_TRUE(EqualAnsiStrings("\u00c4bc", "\u00e4BC"));
  EXPECT_FALSE(EqualAnsiStrings("abc", "abd"));
  EXPECT_EQ(ExpandDiphthongs("\u00c4rger \u00dcBEL Stra\u00dfe \u00b5m \u00f6\u00fc\u00e4"),
            "Aerger UEBEL Strasse um oeueae");
  EXPECT_TRUE(IsHexChar('f'));
  EXPECT_FALSE(IsHexChar('g'));
  EXPECT_TRUE(IsUmlaut(U'\u00df'));
  EXPECT_FALSE(IsUmlaut('u'));
  EXPECT_FALSE(IsLetter(U'\u00e4'));
  EXPECT_TRUE(IsDigitLetter('7'));
}

TEST(Scramble, IsAPermutationForEverySeed) {
  std::string All;
  for (char32_t C = 0; C < 256; ++C) AppendUtf8(All, C);
  for (uint32_t Seed : {0u, 1u, 4711u, DefaultScrambleSeed, 0xFFFFFFFFu}) {
    InitScramble(Seed);
    const std::string S = Scramble(All);
    EXPECT_NE(S, All);
    EXPECT_EQ(DeScramble(S), All) << Seed;
    EXPECT_EQ(Scramble(std::string(1, '\0')), std::string(1, '\0'));
    EXPECT_EQ(Utf8Length(S), 256u);
  }
  InitScramble(42);
  const std::string First = Scramble("stable");
  InitScramble(42);
  EXPECT_EQ(Scramble("stable"), First);
  EXPECT_EQ(Scramble("\u20ac"), "\u20ac");
  InitScramble(DefaultScrambleSeed);
}

TEST(QuotedNamesAndParams, StateMachineAndFields) {
  auto Parse = [](const std::string& S) {
    std::string Name;
    TQuotedStrState State = vsStart;
    for (char C : S) ParseQuotedName(static_cast<unsigned char>(C), '"', Name, State);
    return std::make_pair(Name, State);
  };
  EXPECT_EQ(Parse("  \"a \"\"b\"\" c\" rest"), std::make_pair(std::string("a \"b\" c"), vsEnd));
  EXPECT_EQ(Parse("  plain rest"), std::make_pair(std::string("plain"), vsEnd));
  EXPECT_EQ(Parse("\"open"), std::make_pair(std::string("open"), vs1stQuote));

  std::string P;
  EXPECT_TRUE(ExtractParam("a,\"b,c\",\"d\"\"e\"", 1, ',', '"', P));
  EXPECT_EQ(P, "b,c");
  EXPECT_TRUE(ExtractParam("a,\"b,c\",\"d\"\"e\"", 2, ',', '"', P));
  EXPECT_EQ(P, "d\"e");
  EXPECT_FALSE(ExtractParam("a,b", 2, ',', '"', P));
  EXPECT_EQ(P, "");
  EXPECT_FALSE(ExtractParam("a,b", -1, ',', '"', P));
}

TEST(UUCode, RoundTripAndMalformedInput) {
  std::string Bytes;
  for (int I = 0; I < 300; ++I) Bytes += static_cast<char>(I * 7);
  const std::string Code = UUEncodeStr(Bytes);
  EXPECT_EQ(Code.substr(0, 1), "M");  // 45 bytes
  EXPECT_EQ(UUDecodeStr(Code), Bytes);
  EXPECT_EQ(UUEncodeStr("Cat"), "#0V%T\n`\n");
  EXPECT_EQ(UUDecodeStr("#0V%T\r\n`\r\n"), "Cat");
  EXPECT_EQ(UUDecodeStr(""), "");
  EXPECT_EQ(UUDecodeStr("M"), std::string(45, '\0'));  // missing characters count as 0
}

TEST(TagsInStrings, ReadAndDetect) {
  const std::string_view Tags[] = {"point", "name", "end"};
  const std::string S = "<!-- c --><point x=1 />text<name>A<b>c</b></name><other/>";
  std::size_t Pos = 1;
  std::string Attr, Content;
  EXPECT_EQ(ReadNextTagInString(S, Pos, Tags, Attr, Content), 0);
  EXPECT_EQ(Attr, "x=1");
  EXPECT_EQ(ReadNextTagInString(S, Pos, Tags, Attr, Content), 1);
  EXPECT_EQ(Content, "A<b>c</b>");
  EXPECT_EQ(ReadNextTagInString(S, Pos, Tags, Attr, Content), 2);  // "other" is not listed
  EXPECT_EQ(ReadNextTagInString(S, Pos, Tags, Attr, Content), 2);  // end of the text
  EXPECT_EQ(Pos, S.size() + 1);

  std::size_t TagPos = 0;
  EXPECT_EQ(DetectNextTagInString(S, 1, Tags, TagPos), 0);
  EXPECT_EQ(TagPos, 11u);
  EXPECT_EQ(DetectNextTagInString(S, 12, Tags, TagPos), 1);
  EXPECT_EQ(S.substr(TagPos - 1, 6), "<name>");
  EXPECT_EQ(DetectNextTagInString("no tags <", 1, Tags, TagPos), 2);
  EXPECT_EQ(TagPos, 0u);
}

} // namespace
} // namespace zef
