// Checksums, ASCII85, Base64 and the combinatorial helpers of ZEF_dstruct.
#include <gtest/gtest.h>

#include <openssl/sha.h>
#include <zlib.h>

#include <random>
#include <set>

#include "ZEF_dstruct.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

std::vector<uint8_t> Bytes(std::string_view S) { return {S.begin(), S.end()}; }

std::string Encoded(void (*Encode)(TStream&, TStream&, bool), std::string_view In,
                    bool LineBreaks) {
  TStringStream I{std::string(In)};
  TStringStream O;
  Encode(I, O, LineBreaks);
  return O.DataString();
}

int32_t Decode(int32_t (*Dec)(TStream&, TStream&), std::string_view In, std::string& Out) {
  TStringStream I{std::string(In)};
  TStringStream O;
  const int32_t R = Dec(I, O);
  Out = O.DataString();
  return R;
}

TEST(Checksums, CheckValuesOfTheDigits) {
  const auto D = Bytes("123456789");
  EXPECT_EQ(CRC16ofBuffer(D, 9, crcZModem), 0x31C3);
  EXPECT_EQ(CRC16ofBuffer(D, 9, crcCCITT), 0x29B1);
  EXPECT_EQ(CRC32ofBuffer(D, 9), 0xCBF43926u);
  // A count beyond the buffer is limited to it; a negative count covers nothing.
  EXPECT_EQ(CRC32ofBuffer(D, 1000), 0xCBF43926u);
  EXPECT_EQ(CRC32ofBuffer(D, -5), 0u);
  EXPECT_EQ(CRC16ofBuffer(D, 0, crcCCITT), 0xFFFF);
}

TEST(Checksums, StepFunctionsComposeToTheBufferValues) {
  const auto D = Bytes("The quick brown fox");
  uint32_t c = 0xFFFFFFFF;
  uint16_t c16 = 0xFFFF;
  for (uint8_t B : D) {
    c = CalcNextCRC32(B, c);
    c16 = CalcNextCRC16(B, c16);
  }
  EXPECT_EQ(~c, CRC32ofBuffer(D));
  EXPECT_EQ(c16, CRC16ofBuffer(D, static_cast<int32_t>(D.size()), crcCCITT));
}

// Random buffers of many lengths, including every length around the 16- and 64-byte block
// boundaries, unaligned starts and incremental updates.
TEST(Checksums, Crc32AndSha1AgreeWithZlibAndOpenSSL) {
  std::mt19937 Gen(12345);
  std::vector<uint8_t> Data(300016);
  for (auto& B : Data) B = static_cast<uint8_t>(Gen());
  std::vector<std::size_t> Lengths;
  for (std::size_t L = 0; L <= 200; ++L) Lengths.push_back(L);
  for (std::size_t L : {255, 256, 257, 1000, 4095, 4096, 4097, 65535, 65536, 65537, 299999})
    Lengths.push_back(L);
  for (std::size_t Offset : {0, 1, 3, 7}) {
    for (std::size_t L : Lengths) {
      const uint8_t* P = Data.data() + Offset;
      const std::span<const uint8_t> S(P, L);
      ASSERT_EQ(CRC32ofBuffer(S), crc32(0, P, static_cast<uInt>(L))) << "length " << L;
      unsigned char Ref[SHA_DIGEST_LENGTH];
      SHA1(P, L, Ref);
      const TSHACode Ours = SHA1FromBytes(S);
      ASSERT_TRUE(std::equal(Ours.begin(), Ours.end(), Ref))
          << "length " << L << " offset " << Offset;
    }
  }
  // Continuing a CRC over pieces gives the CRC of the whole.
  uint32_t C = 0;
  for (std::size_t i = 0; i < 1000; i += 37)
    C = UpdateCRC32(C, Data.data() + i, std::min<std::size_t>(37, 1000 - i));
  EXPECT_EQ(C, crc32(0, Data.data(), 1000));
}

TEST(Checksums, Sha1OfStreamFileAndText) {
  const std::string Text(100000, 'x');
  unsigned char Ref[SHA_DIGEST_LENGTH];
  SHA1(reinterpret_cast<const unsigned char*>(Text.data()), Text.size(), Ref);
  TStringStream S(Text);
  S.SetPosition(1000);
  unsigned char Tail[SHA_DIGEST_LENGTH];
  SHA1(reinterpret_cast<const unsigned char*>(Text.data()) + 1000, Text.size() - 1000, Tail);
  const TSHACode FromStream = SHA1FromStream(S);
  EXPECT_TRUE(std::equal(FromStream.begin(), FromStream.end(), Tail));
  // The text form covers as many bytes of the UTF-16LE form as the text has characters.
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString("abc")), "4A3DEC2D1F8245280855C42DB0EE4239F917FDB8");
  EXPECT_EQ(SHA1DigestToHex(SHA1FromBytes({})), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
  EXPECT_THROW(SHA1FromFile("/nonexistent/zef/file"), EFOpenError);
  EXPECT_EQ(CalcCRC32ofFile("/nonexistent/zef/file"), 0u);
}

class ChecksumFiles : public zef::test::TempDirTest {};

TEST_F(ChecksumFiles, FileFormsMatchTheBufferForms) {
  std::string Text;
  for (int i = 0; i < 10000; ++i) Text += static_cast<char>(i * 7);
  Put("a.bin", Text);
  const auto B = Bytes(Text);
  EXPECT_EQ(CalcCRC32ofFile(Path("a.bin")), CRC32ofBuffer(B));
  EXPECT_EQ(SHA1FromFile(Path("a.bin")), SHA1FromBytes(B));
  Put("empty", "");
  EXPECT_EQ(CalcCRC32ofFile(Path("empty")), 0u);
}

TEST(ASCII85, EncodesShortGroupsWithoutPadding) {
  EXPECT_EQ(Encoded(EncodeASCII85, "abc", false), "+B>H~>");
  EXPECT_EQ(Encoded(EncodeASCII85, std::string(4, '\0'), false), "z~>");
  EXPECT_EQ(Encoded(EncodeASCII85, "", false), "~>");
  EXPECT_EQ(Encoded(EncodeASCII85, "Man ", false), "9jqo^~>");
  // A line break after every 12 five-character groups; "z" groups do not count.
  const std::string Out =
      Encoded(EncodeASCII85, std::string(48, 'a') + std::string(4, '\0') + "aaaa", true);
  EXPECT_EQ(Out.substr(60, 2), "\r\n");
  EXPECT_EQ(Out.substr(62), "z@:<SQ~>");
}

TEST(ASCII85, DecodesAndReportsBadCharacters) {
  std::string Out;
  EXPECT_EQ(Decode(DecodeASCII85, "+B>H~>", Out), 0);
  EXPECT_EQ(Out, "abc");
  EXPECT_EQ(Decode(DecodeASCII85, "9jq\r\no^z~>", Out), 0);
  EXPECT_EQ(Out, std::string("Man ") + std::string(4, '\0'));
  EXPECT_EQ(Decode(DecodeASCII85, "9jq{o^~>", Out), -1);
  EXPECT_EQ(Out, "Man ");
  EXPECT_EQ(Decode(DecodeASCII85, "9jzqo^", Out), -2);
  EXPECT_EQ(Out, "Man ");
  // The largest five-digit group exceeds 32 bits; only its low four bytes are kept.
  EXPECT_EQ(Decode(DecodeASCII85, "uuuuu", Out), 0);
  EXPECT_EQ(Out.size(), 4u);
}

TEST(ASCII85, RoundTripsEveryLength) {
  std::mt19937 Gen(7);
  for (int L = 0; L < 300; L += 7) {
    std::string In(static_cast<std::size_t>(L), '\0');
    for (auto& C : In) C = static_cast<char>(Gen() % 3 == 0 ? 0 : Gen());
    for (bool Breaks : {false, true}) {
      std::string Out;
      ASSERT_EQ(Decode(DecodeASCII85, Encoded(EncodeASCII85, In, Breaks), Out), 0);
      ASSERT_EQ(Out, In) << L;
    }
  }
}

TEST(Base64, EncodesInLinesOf60) {
  EXPECT_EQ(Encoded(EncodeBase64, "", true), "");
  EXPECT_EQ(Encoded(EncodeBase64, "f", false), "Zg==");
  EXPECT_EQ(Encoded(EncodeBase64, "fo", false), "Zm8=");
  EXPECT_EQ(Encoded(EncodeBase64, "foobar", true), "Zm9vYmFy\r\n");
  const std::string Out = Encoded(EncodeBase64, std::string(90, 'x'), true);
  EXPECT_EQ(Out.size(), 2u * 62u);
  EXPECT_EQ(Out.substr(60, 2), "\r\n");
}

TEST(Base64, DecodesAndStopsAtAForeignCharacter) {
  std::string Out;
  EXPECT_EQ(Decode(DecodeBase64, "Zm9v\r\nYmFy", Out), 0);
  EXPECT_EQ(Out, "foobar");
  EXPECT_EQ(Decode(DecodeBase64, "Zg==Zm8=", Out), 0);
  EXPECT_EQ(Out, "ffo");
  EXPECT_EQ(Decode(DecodeBase64, "Zm9v*YmFy", Out), -1);
  EXPECT_EQ(Out, "foo");
  EXPECT_EQ(Decode(DecodeBase64, "Zm9v,", Out), -1);
  EXPECT_EQ(Decode(DecodeBase64, "Z=9v", Out), -1);
  EXPECT_EQ(Decode(DecodeBase64, "Zm9vY", Out), -1);
  EXPECT_EQ(Decode(DecodeBase64, "Zm8", Out), 0);
  EXPECT_EQ(Out, "fo");
  std::string All;
  for (int i = 0; i < 256; ++i) All += static_cast<char>(i);
  EXPECT_EQ(Decode(DecodeBase64, Encoded(EncodeBase64, All, true), Out), 0);
  EXPECT_EQ(Out, All);
}

TEST(Combinatorics, CombinationsInLexicographicOrder) {
  TCombination C{};
  C[0] = 2;
  C[1] = 1;
  C[2] = 2;
  std::vector<std::pair<int, int>> Seen{{1, 2}};
  while (NextCombination(C, 4)) Seen.emplace_back(C[1], C[2]);
  EXPECT_EQ(Seen,
            (std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}}));
  EXPECT_EQ(C[1], 3);
  EXPECT_EQ(C[2], 4);
  TCombination Empty{};
  EXPECT_FALSE(NextCombination(Empty, 4));
}

TEST(Combinatorics, PermutationsByAdjacentExchanges) {
  TCombination P{};
  P[0] = 3;
  P[1] = 1, P[2] = 2, P[3] = 3;
  std::vector<std::array<int, 3>> Seen;
  while (NextPermutation(P)) Seen.push_back({P[1], P[2], P[3]});
  EXPECT_EQ(Seen, (std::vector<std::array<int, 3>>{
                      {2, 1, 3}, {2, 3, 1}, {1, 3, 2}, {3, 1, 2}, {3, 2, 1}}));
  EXPECT_EQ(P[1], 3);
  // Five elements run through all 120 permutations, each once.
  TCombination Q{};
  Q[0] = 5;
  for (int i = 1; i <= 5; ++i) Q[i] = static_cast<uint8_t>(i);
  std::set<std::vector<int>> All{{1, 2, 3, 4, 5}};
  while (NextPermutation(Q)) All.insert({Q[1], Q[2], Q[3], Q[4], Q[5]});
  EXPECT_EQ(All.size(), 120u);
  // A table that is no permutation ends the walk.
  TCombination Bad{};
  Bad[0] = 3;
  EXPECT_FALSE(NextPermutation(Bad));
}

TEST(Combinatorics, NearestArrayValue) {
  const std::vector<int32_t> I{1, 4, 6};
  EXPECT_EQ(IndexOfNearestArrayValue(5, std::span<const int32_t>(I)), 1);
  EXPECT_EQ(IndexOfNearestArrayValue(5, std::span<const int32_t>()), -1);
  const std::vector<int32_t> Extremes{INT32_MIN, INT32_MAX};
  EXPECT_EQ(IndexOfNearestArrayValue(INT32_MAX, std::span<const int32_t>(Extremes)), 1);
  const std::vector<double> D{-1.0, 2.5, 2.4};
  EXPECT_EQ(IndexOfNearestArrayValue(2.44, std::span<const double>(D)), 2);
  EXPECT_EQ(IndexOfNearestArrayValue(0.0, std::span<const double>()), -1);
}

} // namespace
} // namespace zef
