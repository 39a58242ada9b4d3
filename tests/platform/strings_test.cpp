#include "rtl/strings.h"

#include <gtest/gtest.h>

namespace zef {
namespace {

TEST(Utf8, EncodeDecodeRoundTrip) {
  const std::u32string Points = {U'A', 0xE4, 0x20AC, 0x1F600, 0x7FF, 0x800, 0xFFFF, 0x10FFFF};
  const std::string Bytes = Utf32ToUtf8(Points);
  EXPECT_EQ(Utf8ToUtf32(Bytes), Points);
  EXPECT_EQ(Utf8Length(Bytes), Points.size());
  EXPECT_TRUE(IsValidUtf8(Bytes));
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  struct Case { std::string In; std::u32string Out; };
  const Case Cases[] = {
      {"\x80", {0xFFFD}},                       // lone continuation byte
      {"a\xC3", {U'a', 0xFFFD}},                // truncated sequence
      {"\xC0\xAF", {0xFFFD, 0xFFFD}},           // overlong "/"
      {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}}, // surrogate
      {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}}, // above U+10FFFF
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(Utf8ToUtf32(C.In), C.Out) << C.In;
    EXPECT_FALSE(IsValidUtf8(C.In));
  }
  EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));  // a real U+FFFD is valid
}

TEST(CodePages, Latin1RoundTripIsExact) {
  const std::string Text = "J\u00e4nner \u00df\u00ff";
  const std::string Bytes = Utf8ToLatin1(Text);
  EXPECT_EQ(Bytes, "J\xE4nner \xDF\xFF");
  EXPECT_EQ(Latin1ToUtf8(Bytes), Text);
  for (int B = 0; B < 256; ++B) {
    const std::string One(1, static_cast<char>(B));
    EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(One)), One) << B;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(One)), One) << B;
  }
}

TEST(CodePages, UnrepresentableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToLatin1("\u20AC \u4E2D"), "? ?");
  EXPECT_EQ(Utf8ToCp1252("\u20AC \u4E2D"), "\x80 ?");
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F"), "\u20AC\u0178");
  EXPECT_EQ(Latin1ToUtf8("\x80"), "\u0080");
}

TEST(ClassicRoutines, PosCopyDeleteInsert) {
  EXPECT_EQ(Pos("lo", "hello lo"), 4u);
  EXPECT_EQ(Pos("lo", "hello lo", 5), 7u);
  EXPECT_EQ(Pos("x", "hello"), 0u);
  EXPECT_EQ(Pos("", "hello"), 0u);
  EXPECT_EQ(Pos("o", "hello", 9), 0u);

  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
  EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
  EXPECT_EQ(Copy("abcdef", 7, 1), "");
  EXPECT_EQ(Copy("abcdef", 2, -1), "");

  std::string S = "abcdef";
  Delete(S, 2, 2);
  EXPECT_EQ(S, "adef");
  Delete(S, 3, 99);
  EXPECT_EQ(S, "ad");
  Delete(S, 0, 1);
  EXPECT_EQ(S, "ad");
  Insert("XY", S, 2);
  EXPECT_EQ(S, "aXYd");
  Insert("!", S, 99);
  EXPECT_EQ(S, "aXYd!");
  Insert("<", S, -3);
  EXPECT_EQ(S, "<aXYd!");
}

TEST(ClassicRoutines, TrimStripsEveryControlCharacter) {
  EXPECT_EQ(Trim("\t\r\n \x01" "a b\x1F \x7F"), "a b\x1F \x7F");
  EXPECT_EQ(Trim(" \x7F "), "\x7F");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a \x02"), "  a");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Case, AsciiAndLatin1) {
  EXPECT_EQ(UpperCase("abc \u00e4z"), "ABC \u00e4Z");
  EXPECT_EQ(LowerCase("ABC \u00c4Z"), "abc \u00c4z");
  EXPECT_EQ(AnsiUpperCase("j\u00e4nner \u00e9t\u00e9 \u00df \u00f7 \u00ff"),
            "J\u00c4NNER \u00c9T\u00c9 \u00df \u00f7 \u0178");
  EXPECT_EQ(AnsiLowerCase("\u00c4\u00d6\u00dc \u00d7 \u0178"), "\u00e4\u00f6\u00fc \u00d7 \u00ff");
  EXPECT_EQ(AnsiLowerCase("a\xFFz"), "a\xFFz");  // malformed bytes are kept
  EXPECT_EQ(CompareText("abc", "ABD"), -1);
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_EQ(CompareText("abcd", "ABC"), 1);
  EXPECT_FALSE(SameText("\u00e4", "\u00c4"));
  EXPECT_TRUE(AnsiSameText("\u00e4rger", "\u00c4RGER"));
  EXPECT_LT(AnsiCompareText("\u00e4", "\u00f6"), 0);
  EXPECT_GT(AnsiCompareText("ab", "A"), 0);
}

TEST(Replace, FlagsAndPatterns) {
  EXPECT_EQ(StringReplace("a.b.c", ".", ",", 0), "a,b.c");
  EXPECT_EQ(StringReplace("a.b.c", ".", ",", rfReplaceAll), "a,b,c");
  EXPECT_EQ(StringReplace("Foo foo FOO", "foo", "x", rfReplaceAll | rfIgnoreCase), "x x x");
  EXPECT_EQ(StringReplace("aaa", "aa", "a", rfReplaceAll), "aa");
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  EXPECT_EQ(SplitString("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitString("", ','), (std::vector<std::string>{""}));
}

} // namespace
} // namespace zef
