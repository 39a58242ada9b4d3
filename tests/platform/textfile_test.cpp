#include "rtl/exceptions.h"
#include "rtl/textfile.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace zef {
namespace {

namespace fs = std::filesystem;

// A unique folder under ZEF_TEST_TMP (or the system's temporary folder), removed afterwards,
// with helpers to put bytes into a file and to read them back.
class TextFiles : public test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    Name = Path("text.txt");
  }

  void PutBytes(const std::string& Bytes) const { Put("text.txt", Bytes); }
  std::string Bytes() const { return Get("text.txt"); }
  // Opens Name, holding Bytes, for reading.
  void Open(TTextFile& F, const std::string& Content) const {
    PutBytes(Content);
    AssignFile(F, Name);
    Reset(F);
  }

  std::string Name;
};

int ErrorCodeOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const EInOutError& E) {
    return E.ErrorCode;
  }
  return 0;
}

struct LineCase {
  const char* Title;
  std::string Content;
  std::vector<std::string> Lines;
};

TEST_F(TextFiles, ReadLnTakesEveryKindOfLineEndAlike) {
  const LineCase Cases[] = {
      {"CR LF", "one\r\ntwo\r\n", {"one", "two"}},
      {"LF", "one\ntwo\n", {"one", "two"}},
      {"CR", "one\rtwo\r", {"one", "two"}},
      {"no final line end", "one\ntwo", {"one", "two"}},
      {"empty lines", "a\r\n\r\nb\n\nc\r\rd", {"a", "", "b", "", "c", "", "d"}},
      {"LF then CR is two line ends", "\n\r", {"", ""}},
      {"Ctrl-Z ends the text", "a\r\nb\x1Ahidden\r\n", {"a", "b"}},
      {"blanks are kept", "  x \t\r\n", {"  x \t"}},
      {"empty file", "", {}},
  };
  for (const LineCase& C : Cases) {
    SCOPED_TRACE(C.Title);
    TTextFile F;
    Open(F, C.Content);
    std::vector<std::string> Lines;
    std::string S;
    while (!Eof(F)) {
      ReadLn(F, S);
      Lines.push_back(S);
    }
    EXPECT_EQ(Lines, C.Lines);
    ReadLn(F, S);  // at the end: an empty line, no error
    EXPECT_EQ(S, "");
  }
}

TEST_F(TextFiles, LineEndsAcrossTheBufferBoundary) {
  // The CR of the first line end is the last byte of the first 64 KiB block, its LF the first
  // byte of the next one: still one line end.
  const std::string Long(65535, 'a');
  TTextFile F;
  Open(F, Long + "\r\nb\r\n");
  std::string S;
  ReadLn(F, S);
  EXPECT_EQ(S, Long);
  ReadLn(F, S);
  EXPECT_EQ(S, "b");
  EXPECT_TRUE(Eof(F));
}

TEST_F(TextFiles, ManyLines) {
  {
    TTextFile F;
    AssignFile(F, Name);
    Rewrite(F);
    for (int I = 0; I < 100000; ++I) WriteLn(F, I);
    CloseFile(F);
  }
  TTextFile F;
  AssignFile(F, Name);
  Reset(F);
  int Expected = 0;
  bool AllEqual = true;
  std::string S;
  while (!Eof(F)) {
    ReadLn(F, S);
    AllEqual = AllEqual && S == std::to_string(Expected);
    ++Expected;
  }
  EXPECT_TRUE(AllEqual);
  EXPECT_EQ(Expected, 100000);
}

TEST_F(TextFiles, NumberTokens) {
  TTextFile F;
  Open(F, "12 abc");
  int32_t I = -1;
  Read(F, I);
  EXPECT_EQ(I, 12);
  EXPECT_EQ(ErrorCodeOf([&] { Read(F, I); }), 106);

  Open(F, "1\r\n 2.5\n-3\t4e2");
  int64_t L = 0;
  double D = 0;
  long double X = 0;
  Read(F, I);
  EXPECT_EQ(I, 1);
  EXPECT_TRUE(Eoln(F));  // reading stops right after the token
  Read(F, D);
  EXPECT_EQ(D, 2.5);
  Read(F, L);
  EXPECT_EQ(L, -3);
  Read(F, X);
  EXPECT_EQ(X, 400.0L);
  EXPECT_TRUE(Eof(F));
  I = 5;
  D = 5;
  Read(F, I, D);  // at the end: zeros, no error
  EXPECT_EQ(I, 0);
  EXPECT_EQ(D, 0);
}

TEST_F(TextFiles, NumberTokenErrors) {
  const char* Bad[] = {"1.5", "2147483648", "0x10", "1,5", "nan", "--1", "12abc"};
  for (const char* Token : Bad) {
    SCOPED_TRACE(Token);
    TTextFile F;
    Open(F, std::string(Token) + " 7");
    int32_t I = -1;
    EXPECT_EQ(ErrorCodeOf([&] { Read(F, I); }), 106);
    Read(F, I);  // the bad token is consumed
    EXPECT_EQ(I, 7);
  }
  TTextFile F;
  Open(F, "1.2.3 nan");
  double D;
  EXPECT_EQ(ErrorCodeOf([&] { Read(F, D); }), 106);
  EXPECT_EQ(ErrorCodeOf([&] { Read(F, D); }), 106);
}

TEST_F(TextFiles, NumbersThenTheRestOfTheLine) {
  TTextFile F;
  Open(F, "5 6 rest\r\n7 8\r\n9");
  int32_t A = 0, B = 0;
  std::string S;
  Read(F, A, B);
  Read(F, S);
  EXPECT_EQ(A, 5);
  EXPECT_EQ(B, 6);
  EXPECT_EQ(S, " rest");
  EXPECT_TRUE(Eoln(F));
  ReadLn(F);
  ReadLn(F, A);  // reads 7 and drops the rest of the line
  Read(F, B);
  EXPECT_EQ(A, 7);
  EXPECT_EQ(B, 9);
}

TEST_F(TextFiles, EofEolnSeekEofSeekEoln) {
  TTextFile F;
  Open(F, "");
  EXPECT_TRUE(Eof(F));
  EXPECT_TRUE(Eoln(F));
  EXPECT_TRUE(SeekEof(F));
  EXPECT_TRUE(SeekEoln(F));
  char32_t C = 0;
  Read(F, C);
  EXPECT_EQ(C, char32_t(26));

  Open(F, "a\r\nb");
  Read(F, C);
  EXPECT_EQ(C, U'a');
  EXPECT_TRUE(Eoln(F));
  EXPECT_FALSE(Eof(F));
  Read(F, C);
  EXPECT_EQ(C, U'\r');  // line-end characters come back as themselves
  Read(F, C);
  EXPECT_EQ(C, U'\n');
  EXPECT_FALSE(Eoln(F));
  Read(F, C);
  EXPECT_EQ(C, U'b');
  EXPECT_TRUE(Eof(F));
  EXPECT_TRUE(Eoln(F));
  Read(F, C);
  Read(F, C);
  EXPECT_EQ(C, char32_t(26));

  Open(F, "x \t \r\n  \t\r\n\n  ");  // trailing blanks and blank lines
  Read(F, C);
  EXPECT_FALSE(Eoln(F));
  EXPECT_TRUE(SeekEoln(F));
  EXPECT_FALSE(Eof(F));
  EXPECT_TRUE(SeekEof(F));
  EXPECT_TRUE(Eof(F));

  Open(F, " \t y\r\n \r\n z");
  EXPECT_FALSE(SeekEoln(F));  // stops in front of "y"
  Read(F, C);
  EXPECT_EQ(C, U'y');
  EXPECT_FALSE(SeekEof(F));  // skips the line ends, stops in front of "z"
  Read(F, C);
  EXPECT_EQ(C, U'z');
}

TEST_F(TextFiles, WriteFormats) {
  TTextFile F;
  AssignFile(F, Name);
  Rewrite(F);
  WriteLn(F, "text");
  Write(F, 42, 5);
  Write(F, -7);
  Write(F, ' ');
  Write(F, std::numeric_limits<uint64_t>::max());
  Write(F, 123, 2);  // the field grows
  WriteLn(F);
  WriteLn(F, 3.14159, 8, 2);
  WriteLn(F, -2.5, 0, 1);
  WriteLn(F, 123.4, 14);
  WriteLn(F, 1.5);
  WriteLn(F, 1.5L, 0, 3);
  Write(F, std::string("s"));
  Write(F, U'!');
  CloseFile(F);
  EXPECT_EQ(Bytes(), "text\r\n"
                     "   42-7 18446744073709551615123\r\n"
                     "    3.14\r\n"
                     "-2.5\r\n"
                     " 1.23400E+0002\r\n"
                     " 1.50000000000000E+0000\r\n"
                     "1.500\r\n"
                     "s!");
}

TEST_F(TextFiles, AppendRewriteAndTheDestructor) {
  TTextFile F;
  AssignFile(F, Name);
  EXPECT_EQ(ErrorCodeOf([&] { Append(F); }), 2);  // Append needs an existing file
  Rewrite(F);
  WriteLn(F, "first");
  CloseFile(F);
  Append(F);
  Write(F, "second");
  CloseFile(F);
  EXPECT_EQ(Bytes(), "first\r\nsecond");
  {
    TTextFile G;
    AssignFile(G, Name);
    Rewrite(G);  // empties the file
    Write(G, "pending");
  }  // the destructor writes what is buffered
  EXPECT_EQ(Bytes(), "pending");
}

TEST_F(TextFiles, CodePages) {
  TTextFile F;
  AssignFile(F, Name);
  Rewrite(F);
  WriteLn(F, "J\u00e4nner");
  CloseFile(F);
  EXPECT_EQ(Bytes(), "J\xE4nner\r\n");  // Latin-1: one byte
  Reset(F);
  std::string S;
  ReadLn(F, S);
  EXPECT_EQ(S, "J\u00e4nner");
  Reset(F);
  char32_t C;
  Read(F, C);
  Read(F, C);
  EXPECT_EQ(C, U'\u00e4');
  CloseFile(F);

  SetTextCodePage(F, cpUtf8);
  Rewrite(F);
  Write(F, "J\u00e4");
  Write(F, U'\u20ac');
  CloseFile(F);
  EXPECT_EQ(Bytes(), "J\xC3\xA4\xE2\x82\xAC");
  Reset(F);
  std::u32string Chars;
  while (!Eof(F)) {
    Read(F, C);
    Chars += C;
  }
  EXPECT_EQ(Chars, U"J\u00e4\u20ac");
  CloseFile(F);

  SetTextCodePage(F, cpWindows1252);
  Rewrite(F);
  Write(F, U'\u20ac');
  Write(F, "\u20ac");
  CloseFile(F);
  EXPECT_EQ(Bytes(), "\x80\x80");
}

TEST_F(TextFiles, ErrorCodes) {
  TTextFile Unassigned;
  std::string S;
  EXPECT_EQ(ErrorCodeOf([&] { Reset(Unassigned); }), 102);
  EXPECT_EQ(ErrorCodeOf([&] { ReadLn(Unassigned, S); }), 102);
  EXPECT_EQ(ErrorCodeOf([&] { Write(Unassigned, "x"); }), 102);

  TTextFile F;
  AssignFile(F, (Dir / "missing.txt").string());
  EXPECT_EQ(ErrorCodeOf([&] { Reset(F); }), 2);
  EXPECT_EQ(ErrorCodeOf([&] { ReadLn(F, S); }), 103);  // assigned, but not open
  EXPECT_EQ(ErrorCodeOf([&] { CloseFile(F); }), 103);
  AssignFile(F, (Dir / "nodir" / "new.txt").string());
  EXPECT_EQ(ErrorCodeOf([&] { Rewrite(F); }), 3);
  AssignFile(F, Dir.string());
  EXPECT_NE(ErrorCodeOf([&] { Reset(F); }), 0);  // a folder is no text file

  AssignFile(F, Name);
  Rewrite(F);
  EXPECT_EQ(ErrorCodeOf([&] { ReadLn(F, S); }), 104);
  EXPECT_EQ(ErrorCodeOf([&] { Eof(F); }), 104);
  Reset(F);  // reopens for reading
  EXPECT_EQ(ErrorCodeOf([&] { WriteLn(F, "x"); }), 105);
  EXPECT_EQ(ErrorCodeOf([&] { Flush(F); }), 105);
  CloseFile(F);
  EXPECT_EQ(ErrorCodeOf([&] { Eof(F); }), 103);
  EXPECT_EQ(ErrorCodeOf([&] { WriteLn(F); }), 103);

  try {
    Reset(Unassigned);
  } catch (const EInOutError& E) {
    EXPECT_EQ(E.Message(), "File not assigned");
  }
}

TEST_F(TextFiles, NamesWithBackslashes) {
  fs::create_directory(Dir / "sub");
  TTextFile F;
  AssignFile(F, Dir.string() + "\\sub\\b.txt");
  Rewrite(F);
  Write(F, "ok");
  CloseFile(F);
  EXPECT_TRUE(fs::exists(Dir / "sub" / "b.txt"));
  EXPECT_EQ(F.FileName(), Dir.string() + "\\sub\\b.txt");
}

} // namespace
} // namespace zef
