// TGrep: compilation into tokens, error codes, matching and the token listing.
#include <gtest/gtest.h>

#include "ZEF_stringl.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

std::u32string Literal(const TGrepToken& T) {
  return std::u32string(T.Params.data() + 1, static_cast<std::size_t>(std::max(T.NumChars, 0)));
}

std::u32string Members(const TGrepToken& T) {
  std::u32string S;
  for (char32_t c = 0; c < 256; ++c)
    if (T.Params[c] == U'*') S += c;
  return S;
}

int32_t ErrorOf(const std::string& Pattern) {
  TGrep G(nullptr);
  G.StopOnError = false;
  G.SetRegExp(Pattern);
  return G.LastError();
}

TEST(Grep, CompilesQuantifiersOntoTheLastItem) {
  TGrep G(nullptr);
  G.SetRegExp("ab+c");
  ASSERT_EQ(G.NrOfRegExpTokens(), 3);
  EXPECT_EQ(G.GetRegExpToken(1).Action, taNormal);
  EXPECT_EQ(Literal(G.GetRegExpToken(1)), U"a");
  EXPECT_EQ(G.GetRegExpToken(2).Action, taMult1);
  EXPECT_EQ(G.GetRegExpToken(2).NumChars, 1);
  EXPECT_EQ(Literal(G.GetRegExpToken(2)), U"b");
  EXPECT_EQ(Literal(G.GetRegExpToken(3)), U"c");
  EXPECT_EQ(G.GetRegExpToken(0).Action, taNormal); // limited to token 1
  G.SetRegExp("(ab)*x");
  ASSERT_EQ(G.NrOfRegExpTokens(), 2);
  EXPECT_EQ(G.GetRegExpToken(1).Action, taMult0);
  EXPECT_EQ(Literal(G.GetRegExpToken(1)), U"ab");
  EXPECT_EQ(Literal(G.GetRegExpToken(2)), U"x");
  G.SetRegExp("[a-c]+");
  ASSERT_EQ(G.NrOfRegExpTokens(), 1);
  EXPECT_EQ(G.GetRegExpToken(1).Action, taMult1);
  EXPECT_EQ(G.GetRegExpToken(1).NumChars, -1);
  EXPECT_EQ(Members(G.GetRegExpToken(1)), U"abc");
  G.SetRegExp("[^a]");
  EXPECT_EQ(Members(G.GetRegExpToken(1)).size(), 255u);
  EXPECT_EQ(Members(G.GetRegExpToken(1)).find(U'a'), std::u32string::npos);
  G.SetRegExp(".?");
  EXPECT_EQ(G.GetRegExpToken(1).Action, taOpti);
  EXPECT_EQ(G.GetRegExpToken(1).NumChars, 0);
  // Inside a group only ")", "\" and "^" are special; "\#41" is the letter A.
  G.SetRegExp("(a.[*)\\#41\\\\#41");
  EXPECT_EQ(Literal(G.GetRegExpToken(1)), U"a.[*");
  EXPECT_EQ(Literal(G.GetRegExpToken(2)), U"A\\#41");
}

TEST(Grep, ErrorCodes) {
  struct Case {
    const char* Pattern;
    int32_t Code;
  };
  for (const Case& C :
       {Case{"*a", 1}, Case{"a^", 2}, Case{"a$b", 3}, Case{"[]", 4}, Case{"[a^]", 5}, Case{"a]", 6},
        Case{"[-a]", 7}, Case{"a)", 8}, Case{"^*", 9}, Case{"[a]+*", 9}, Case{"()*", 9},
        Case{"abc", 0}, Case{"[a", 0}, Case{"(ab", 0}}) {
    EXPECT_EQ(ErrorOf(C.Pattern), C.Code) << C.Pattern;
  }
  // 64 tokens fit, the 65th does not; nor does a literal of 256 characters.
  std::string P;
  for (int i = 0; i < 64; ++i) P += ".";
  EXPECT_EQ(ErrorOf(P), 0);
  EXPECT_EQ(ErrorOf(P + "."), 10);
  EXPECT_EQ(ErrorOf(std::string(255, 'a')), 0);
  EXPECT_EQ(ErrorOf(std::string(256, 'a')), 10);
  EXPECT_EQ(ErrorOf("(" + std::string(256, 'a') + ")"), 10);
}

TEST(Grep, StopOnErrorRaisesWithTheComponentName) {
  TGrep G(nullptr);
  G.SetName("Finder");
  try {
    G.SetRegExp("a$b");
    FAIL();
  } catch (const EZEFStringlError& E) {
    EXPECT_EQ(E.Message(), "Component \"Finder\": error in regular expression - no character "
                           "allowed after end of line");
  }
  EXPECT_EQ(G.LastError(), 3);
  int32_t Pos = 0;
  EXPECT_FALSE(G.MatchString("a", Pos));
  G.StopOnError = false;
  G.SetRegExp("[]");
  EXPECT_EQ(G.LastError(), 4);
}

struct MatchCase {
  const char* Pattern;
  const char* Text;
  bool Found;
  int32_t Start;
  int32_t End;
};

TEST(Grep, Matches) {
  const MatchCase Cases[] = {
      {"abc", "xxabcxx", true, 3, 5},
      {"^abc", "xabc", false, 0, 0},
      {"^abc", "abcx", true, 1, 3},
      {".*", "hello", true, 1, 5},
      {".*", "", true, 1, 0},
      {"ab*", "a", true, 1, 1},
      {"ab*", "xabbbc", true, 2, 5},
      {"ab*c", "ac", true, 1, 2},
      {"ab+", "a", false, 0, 0},
      {"ab+", "abbb", true, 1, 4},
      {"a.c", "abc", true, 1, 3},
      {"a.", "a", false, 0, 0},
      {"[0-9]+$", "x12 345", true, 5, 7},
      {"c$", "abc", true, 3, 3},
      {"x*$", "abc", true, 4, 3},
      {"c*$", "abcc", true, 3, 4},
      {"colou?r", "color", true, 1, 5},
      {"colou?r", "colour", true, 1, 6},
      {"a?", "bbb", true, 1, 0},
      {"(ab)+c", "ababc", true, 1, 5},
      {"a.*b", "xaxxbyb", true, 2, 5},
      {"[^a-z]", "abc1", true, 4, 4},
      {"^$", "", true, 1, 0},
      {"b*$", "", true, 1, 0},
  };
  for (const MatchCase& C : Cases) {
    TGrep G(nullptr);
    G.SetRegExp(C.Pattern);
    int32_t Pos = -1;
    ASSERT_EQ(G.MatchString(C.Text, Pos), C.Found) << C.Pattern << " in " << C.Text;
    if (!C.Found) continue;
    EXPECT_EQ(Pos, C.Start) << C.Pattern << " in " << C.Text;
    EXPECT_EQ(G.MatchStartPos(), C.Start) << C.Pattern << " in " << C.Text;
    EXPECT_EQ(G.MatchEndPos(), C.End) << C.Pattern << " in " << C.Text;
  }
}

TEST(Grep, SearchStartIgnoreCaseAndMultiByteText) {
  TGrep G(nullptr);
  G.SetRegExp("ab");
  G.SearchStartPos = 3;
  int32_t Pos = 0;
  ASSERT_TRUE(G.MatchString("abxab", Pos));
  EXPECT_EQ(Pos, 4);
  G.SearchStartPos = 1;
  EXPECT_FALSE(G.MatchString("AB", Pos));
  G.SetIgnoreCase(true);
  ASSERT_TRUE(G.MatchString("xAB", Pos));
  EXPECT_EQ(Pos, 2);
  // Positions are bytes; "." takes a whole character.
  G.SetIgnoreCase(false);
  G.SetRegExp("b.d");
  ASSERT_TRUE(G.MatchString("\xC3\xA4"
                            "b\xE2\x82\xAC"
                            "d",
                            Pos));
  EXPECT_EQ(G.MatchStartPos(), 3);
  EXPECT_EQ(G.MatchEndPos(), 7);
  EXPECT_EQ(G.GetRegExpToken(1).ValidFrom, 3);
  G.SetRegExp(".*");
  G.SearchStartPos = 10;
  EXPECT_FALSE(G.MatchString("abc", Pos));
}

TEST(Grep, PathologicalPatternsStayFast) {
  TGrep G(nullptr);
  std::string P;
  for (int i = 0; i < 20; ++i) P += "a*";
  G.SetRegExp(P + "b");
  const std::string Text(20000, 'a');
  int32_t Pos = 0;
  EXPECT_FALSE(G.MatchString(Text, Pos));
  G.SetRegExp("(aa)*a*$");
  EXPECT_TRUE(G.MatchString(Text, Pos));
  EXPECT_EQ(G.MatchEndPos(), 20000);
}

class GrepFile : public zef::test::TempDirTest {};

TEST_F(GrepFile, PrintRegExpListsTokensAndTheError) {
  TGrep G(nullptr);
  G.SetRegExp("^a[bc]*.?$");
  G.PrintRegExp(Path("p.txt"));
  EXPECT_EQ(Get("p.txt"),
            "    taBol: \r\n taNormal: a\r\n  taMult0: (set) bc\r\n   taOpti: (anychar) \r\n"
            "    taEol: \r\nno errors\r\n");
  G.StopOnError = false;
  G.SetRegExp("x(yz)+[");
  G.PrintRegExp(Path("q.txt"));
  EXPECT_EQ(Get("q.txt"), " taNormal: x\r\n  taMult1: (string) yz\r\n    taSet: \r\nno errors\r\n");
  G.SetRegExp("a)");
  G.PrintRegExp(Path("r.txt"));
  EXPECT_EQ(Get("r.txt"), " taNormal: a\r\nmismatch of group brackets\r\n");
}

} // namespace
} // namespace zef
