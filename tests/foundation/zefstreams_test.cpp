#include "ZEF_streams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/temp_dir.h"

namespace zef {
namespace {

TEST(StreamText, WritesLowBytesAndReadsLatin1) {
  TStringStream S;
  WriteStringStream(S, "a\u00e9\u20ac");  // the euro sign has no byte: its low byte is written
  WriteLnStream(S, "x");
  EXPECT_EQ(S.DataString(), std::string("a\xe9\xac" "x\r\n"));
  S.SetPosition(0);
  EXPECT_EQ(StreamAsByteString(S), "a\u00e9\u00acx\r\n");

  TStringStream Big;
  const std::string Long(10000, 'z');
  WriteStringStream(Big, Long);
  EXPECT_EQ(Big.DataString(), Long);
}

TEST(StreamBinary, LittleEndianRoundTripAndShortStreams) {
  TMemoryStream M;
  WriteLongintToStream(M, -2);
  WriteSingleToStream(M, 1.5f);
  WriteDoubleToStream(M, -0.25);
  WriteExtendedToStream(M, 1e1000L);
  EXPECT_EQ(M.Size(), 26);
  const auto* B = static_cast<const uint8_t*>(M.Memory());
  EXPECT_EQ(B[0], 0xFE);
  EXPECT_EQ(B[3], 0xFF);
  EXPECT_EQ(B[7], 0x3F);  // 1.5f = 3FC00000
  M.SetPosition(0);
  bool Err = true;
  EXPECT_EQ(ReadLongintFromStream(M, Err), -2);
  EXPECT_FALSE(Err);
  EXPECT_EQ(ReadSingleFromStream(M, Err), 1.5f);
  EXPECT_EQ(ReadDoubleFromStream(M, Err), -0.25);
  EXPECT_EQ(ReadExtendedFromStream(M, Err), 1e1000L);
  EXPECT_FALSE(Err);
  ReadLongintFromStream(M, Err);
  EXPECT_TRUE(Err);
  TStringStream Short("abc");
  ReadDoubleFromStream(Short, Err);
  EXPECT_TRUE(Err);
}

TEST(ReadLnStream, LineEndModes) {
  TStringStream S("ab\r\ncd");
  bool End = false;
  EXPECT_EQ(ReadLnStream(S, End, 4), "ab");
  EXPECT_FALSE(End);
  EXPECT_EQ(ReadLnStream(S, End, 4), "cd");
  EXPECT_TRUE(End);

  TStringStream C("ab\r\ncd\r\n");
  EXPECT_EQ(ReadLnStream(C, End, 1), "ab");
  EXPECT_EQ(ReadLnStream(C, End, 1), "\ncd");  // the LF stays at the start of the next line
  EXPECT_EQ(ReadLnStream(C, End, 0), "");
  EXPECT_FALSE(End);
  EXPECT_EQ(ReadLnStream(C, End, 0), "");
  EXPECT_TRUE(End);

  TStringStream Ctl("a\tb\x01\n\r\nx");
  EXPECT_EQ(ReadLnStream(Ctl, End, 3), "a\tb\x01");  // CR after LF; both removed
  EXPECT_EQ(Ctl.Position(), 6);
}

TEST(StreamScanning, FindCountAndStreamAsString) {
  TStringStream S("a\nbc\nd\n");
  EXPECT_TRUE(FindInStream(S, 'c'));
  EXPECT_EQ(S.Position(), 4);
  EXPECT_EQ(CountLinesInStream(S), 2);
  EXPECT_FALSE(FindInStream(S, 'c'));

  TStringStream U(std::string("A\0\xe9\0\x3d\xd8\x00\xde" "z", 9));  // A, é, U+1F600, odd byte
  EXPECT_EQ(StreamAsString(U), "A\u00e9\U0001F600");
}

TEST(ReadStreamUntil, FoundAndNotFound) {
  TStringStream S(std::string(300, 'x') + "<END>rest");
  int32_t Found = 1;
  const std::string T = ReadStreamUntil(S, "<end>", Found);
  EXPECT_EQ(Found, 0);
  EXPECT_EQ(T, std::string(300, 'x') + "<END>");
  EXPECT_EQ(S.Position(), 305);
  EXPECT_EQ(ReadStreamUntil(S, "nothere", Found), "rest");
  EXPECT_EQ(Found, -1);

  // The marker straddles the 256-byte block boundary.
  TStringStream B(std::string(254, '.') + "MARK" + "tail");
  EXPECT_EQ(ReadStreamUntil(B, "mark", Found).size(), 258u);
  EXPECT_EQ(Found, 0);

  const std::string_view Tags[] = {"<b>", "<a>"};
  TStringStream L("xx<a>yy<b>");
  int32_t Index = -2;
  EXPECT_EQ(ReadStreamUntilTagList(L, Tags, Index), "xx<a>");
  EXPECT_EQ(Index, 1);
}

TEST(ScanStreamNumbers, DecimalAndFloat) {
  TStringStream S(" \r\n -42;17");
  EXPECT_EQ(ScanStreamDecimal(S), -42);
  EXPECT_EQ(S.Position(), 8);  // the ";" is consumed
  EXPECT_EQ(ScanStreamDecimal(S), 17);
  EXPECT_EQ(ScanStreamDecimal(S), 0);

  TStringStream F("  1,5e3;");
  EXPECT_EQ(ScanStreamFPNum(F, true, 3), 1500);
  EXPECT_EQ(F.Position(), 8);

  struct TCase {
    const char* S;
    bool AllowExp;
    int32_t Dec;
    double Value;
  };
  const TCase Cases[] = {
      {"\t\n2.5x", true, 1, 2.5}, {"2,5", true, 1, 2},     {"2,5", true, 2, 2.5},
      {"2.5", true, 0, 2},        {"1Ex", true, 3, 0},    {"1E+x", true, 3, 0},
      {"1E", true, 3, 0},         {"1e5", false, 3, 1},   {"-1e999", true, 3, -1.7e308},
      {"", true, 3, 0},
  };
  for (const auto& C : Cases) {
    TStringStream T(C.S);
    EXPECT_EQ(ScanStreamFPNum(T, C.AllowExp, C.Dec), C.Value) << C.S;
  }
}

TEST(ReadNextTagInStream, ElementsCommentsAndUnknownNames) {
  const std::string_view Tags[] = {"point", "name", "end"};
  std::string A, C;
  TStringStream S("<!-- x --><point x=1 y=2 /><name>Ab<b>c</b></name><foo a=1/>");
  EXPECT_EQ(ReadNextTagInStream(S, Tags, A, C), 0);
  EXPECT_EQ(A, "x=1 y=2");
  EXPECT_EQ(C, "");
  EXPECT_EQ(ScanForXMLAttrib(A, "Y"), "2");
  EXPECT_EQ(ReadNextTagInStream(S, Tags, A, C), 1);
  EXPECT_EQ(C, "Ab<b>c</b>");
  EXPECT_EQ(ReadNextTagInStream(S, Tags, A, C), 2);
  EXPECT_EQ(ReadNextTagInStream(S, Tags, A, C), 2);  // end of input
  EXPECT_EQ(A, "");

  TStringStream T("<a>x</a><b v=\"q\" /><target k=v>body</target>");
  EXPECT_TRUE(ScanStreamForXMLTag(T, "TARGET", A, C));
  EXPECT_EQ(A, "k=v");
  EXPECT_EQ(C, "body");
  EXPECT_FALSE(ScanStreamForXMLTag(T, "target", A, C));
}

class StreamFiles : public test::TempDirTest {};

TEST_F(StreamFiles, ReadNextTagInTextFile) {
  Put("t.xml", "<?xml version=\"1.0\"?>\r\n<point x=1 />\r\n<name>\u00e9</name>\r\n");
  TTextFile F;
  AssignFile(F, Path("t.xml"));
  Reset(F);
  const std::string_view Tags[] = {"point", "name", "end"};
  std::string A, C;
  EXPECT_EQ(ReadNextTagInTextFile(F, Tags, A, C), 0);
  EXPECT_EQ(ReadNextTagInTextFile(F, Tags, A, C), 1);
  EXPECT_EQ(C, "\u00c3\u00a9");  // the file's bytes are Latin-1
  EXPECT_EQ(ReadNextTagInTextFile(F, Tags, A, C), 2);
  CloseFile(F);
}

TEST_F(StreamFiles, MixedFStream) {
  {
    TMixedFStream M(Path("m.bin"), fmCreate);
    M.WriteLn("head\x01line");
    M.Write("12 3,5e1");
    M.WriteByte(7);
    M.WriteInteger(-9);
    M.WriteDouble(2.25);
  }
  TMixedFStream M(Path("m.bin"), fmOpenRead);
  EXPECT_FALSE(M.Eos());
  EXPECT_EQ(M.ReadLn(0), "headline");  // control characters dropped
  EXPECT_EQ(M.ReadDecimal(), 12);
  EXPECT_EQ(M.ReadFPNum(true, 3), 35);  // consumes the byte 7 that ends it
  bool Err = true;
  EXPECT_EQ(M.ReadInteger(Err), -9);
  EXPECT_EQ(M.ReadDouble(Err), 2.25);
  EXPECT_FALSE(Err);
  EXPECT_TRUE(M.Eos());
  M.ReadByte(Err);
  EXPECT_TRUE(Err);
  EXPECT_EQ(M.ReadLn(0), "");
}

} // namespace
} // namespace zef
