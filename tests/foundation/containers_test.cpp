// TBitFld, TByteMatrix, TFifo, TStringAccu, TAssocArray and TRLEncoder.
#include <gtest/gtest.h>

#include <random>

#include "ZEF_dstruct.h"
#include "rtl/mathfn.h"

namespace zef {
namespace {

TEST(BitFld, ValidIndicesRunToSizeInclusive) {
  TBitFld B(nullptr);
  B.SetBit(1000, true);
  B.SetBit(1001, true);
  B.SetBit(-1, true);
  EXPECT_EQ(B.CountTrueBits(), 1);
  EXPECT_EQ(B.FirstTrueBit(), 1000);
  B.ToggleBit(1000);
  EXPECT_EQ(B.FirstTrueBit(), -1);
  TBitFld S(nullptr);
  S.SetSize(10);
  TIntArray L;
  S.MakeListOfBits(L, false);
  EXPECT_EQ(L.size(), 11u);
  EXPECT_EQ(L.back(), 10);
  S.Invert();
  EXPECT_EQ(S.CountTrueBits(), 11);
  S.MakeListOfBits(L, false);
  EXPECT_TRUE(L.empty());
  // Shrinking drops the bits above the new size for good.
  S.SetSize(5);
  S.SetSize(10);
  EXPECT_EQ(S.CountTrueBits(), 6);
  S.SetSize(0);
  EXPECT_EQ(S.Size(), 10);
}

TEST(BitFld, RandomFillCountsAndCombine) {
  SetRandSeed(99);
  TBitFld B(nullptr);
  B.SetSize(100);
  B.RandomFill(int32_t{30});
  EXPECT_EQ(B.CountTrueBits(), 30);
  B.RandomFill(int32_t{80});
  EXPECT_EQ(B.CountTrueBits(), 81); // above half: n + 1 of the Size + 1 bits stay set
  B.RandomFill(250.0);
  EXPECT_EQ(B.CountTrueBits(), 101);
  B.RandomFill(-3.0);
  EXPECT_EQ(B.CountTrueBits(), 0);
  TBitFld A(nullptr), C(nullptr);
  A.SetSize(20);
  C.SetSize(20);
  A.SetBit(1, true);
  A.SetBit(2, true);
  C.SetBit(2, true);
  C.SetBit(3, true);
  TBitFld X(nullptr);
  struct Case {
    TLogicOp Op;
    int32_t Count;
  };
  for (const Case& K : {Case{loAND, 1}, Case{loOR, 3}, Case{loXOR, 2}, Case{loANDNot, 1},
                        Case{loORNot, 20}, Case{loXORNot, 19}}) {
    X.Assign(A);
    X.CombineWith(C, K.Op);
    EXPECT_EQ(X.CountTrueBits(), K.Count) << int(K.Op);
  }
  X.CombineWith(B, loOR); // sizes differ: nothing happens
  EXPECT_EQ(X.CountTrueBits(), 19);
}

TEST(ByteMatrix, BytesBitsAndMirroring) {
  TByteMatrix M(nullptr);
  M.DefaultValue = 77;
  EXPECT_EQ(M.GetByte(0, 1), 77);
  EXPECT_FALSE(M.GetBit(1, 1, 8));
  int Changes = 0;
  M.OnChange = [&](TObject*) { ++Changes; };
  EXPECT_FALSE(M.Resize(1, 1));
  EXPECT_FALSE(M.Resize(0, 4));
  ASSERT_TRUE(M.Resize(3, 2));
  for (int x = 1; x <= 3; ++x)
    for (int y = 1; y <= 2; ++y) M.SetByte(x, y, static_cast<uint8_t>(10 * x + y));
  M.SetBit(1, 1, 7, true);
  EXPECT_EQ(M.GetByte(1, 1), 11 + 128);
  M.ToggleBit(1, 1, 7);
  M.SetByte(4, 1, 5);
  EXPECT_EQ(Changes, 1 + 6 + 2);
  M.MirrorColumns();
  EXPECT_EQ(M.GetByte(1, 2), 32);
  M.MirrorRows();
  EXPECT_EQ(M.GetByte(1, 1), 32);
  EXPECT_EQ(M.GetByte(3, 2), 11);
  ASSERT_TRUE(M.Resize(2, 3));
  EXPECT_EQ(M.GetByte(1, 1), 32);
  EXPECT_EQ(M.GetByte(2, 3), 0);
  M.SetNrOfRows(-5);
  EXPECT_EQ(M.NrOfRows(), 1);
  TByteMatrix N(nullptr);
  N.Assign(M);
  EXPECT_EQ(N.DefaultValue, 77);
  N.Fill(0x0F);
  M.Fill(0x3C);
  M.CombineWith(N, loAND);
  EXPECT_EQ(M.GetByte(2, 1), 0x0C);
}

TEST(Fifo, FillsToSizeMinusOne) {
  TFifo F(nullptr);
  for (int i = 0; i < 255; ++i) ASSERT_TRUE(F.PutByte(static_cast<uint8_t>(i)));
  EXPECT_FALSE(F.PutByte(255));
  EXPECT_EQ(F.CountBytes(), 255);
  EXPECT_TRUE(F.ForceByte(200));
  uint8_t B = 0;
  ASSERT_TRUE(F.SenseByte(0, B));
  EXPECT_EQ(B, 1);
  ASSERT_TRUE(F.SenseByte(254, B));
  EXPECT_EQ(B, 200);
  EXPECT_FALSE(F.SenseByte(255, B));
  ASSERT_TRUE(F.GetByte(B));
  EXPECT_EQ(B, 1);
  EXPECT_FALSE(F.ForceByte(201));
  // On a full FIFO LoadBack makes room by dropping the newest byte.
  EXPECT_TRUE(F.LoadBack(99));
  EXPECT_EQ(F.CountBytes(), 255);
  ASSERT_TRUE(F.GetByte(B));
  EXPECT_EQ(B, 99);
  F.Clear();
  EXPECT_FALSE(F.GetByte(B));
  F.SetSize(3);
  EXPECT_TRUE(F.PutByte(1));
  EXPECT_TRUE(F.PutByte(2));
  EXPECT_FALSE(F.PutByte(3));
}

TEST(StringAccu, CountsDistinctTexts) {
  TStringAccu A(nullptr);
  for (const char* S : {"a", "b", "a", "A", "a"}) A.Add(S);
  EXPECT_EQ(A.Size(), 3);
  EXPECT_EQ(A.GetString(1), "a");
  EXPECT_EQ(A.GetCount(1), 3);
  EXPECT_EQ(A.GetCount(3), 1);
  EXPECT_EQ(A.GetString(4), "");
  EXPECT_EQ(A.GetCount(0), 0);
}

TEST(AssocArray, KeysValuesAndConversions) {
  TAssocArray A(nullptr);
  A.Add("Alpha", TVariant(int32_t{1}));
  EXPECT_EQ(A.Resolve("ALPHA").AsInteger(), 1);
  EXPECT_EQ(A.GetKeys(1), "alpha");
  A.Add("alpha", TVariant(std::string("12x")));
  EXPECT_EQ(A.NumEntries(), 1);
  EXPECT_EQ(A.ResolveAsInt("alpha"), 12);
  A.Add("n", TVariant(std::string("1,5")));
  EXPECT_DOUBLE_EQ(A.ResolveAsNumber("N"), 1.5);
  A.Add("d", TVariant(2.5));
  EXPECT_EQ(A.ResolveAsInt("d"), 2);
  A.Add("b", TVariant(true));
  EXPECT_EQ(A.ResolveAsInt("b"), 0);
  EXPECT_DOUBLE_EQ(A.ResolveAsNumber("b"), 0);
  A.Add("c", TVariant::FromCurrency(3.25));
  EXPECT_DOUBLE_EQ(A.ResolveAsNumber("c"), 3.25);
  EXPECT_EQ(A.ResolveAsInt("c"), 0);
  EXPECT_TRUE(A.Resolve("missing").IsNull());
  EXPECT_EQ(A.ResolveAsString("missing"), "");
  EXPECT_EQ(A.ResolveAsString("n"), "1,5");
  EXPECT_TRUE(A.Remove("alpha"));
  EXPECT_FALSE(A.Remove("alpha"));
  EXPECT_EQ(A.GetKeys(1), "c"); // the last entry moved into the gap
  EXPECT_EQ(A.GetValues(99).AsString(), "");
  TAssocArray Exact(nullptr);
  Exact.IgnoreCase = false;
  Exact.Add("Key", TVariant(int32_t{1}));
  EXPECT_TRUE(Exact.Resolve("key").IsNull());
  EXPECT_EQ(Exact.GetKeys(1), "Key");
}

TEST(AssocArray, GrowsPastItsCapacity) {
  TAssocArray A(nullptr);
  A.Granularity = 10;
  for (int i = 0; i < 1030; ++i) A.Add("k" + std::to_string(i), TVariant(int32_t{i}));
  EXPECT_EQ(A.NumEntries(), 1030);
  EXPECT_GE(A.Capacity(), 1030);
  EXPECT_EQ(A.ResolveAsInt("k1029"), 1029);
  TAssocArray B(nullptr);
  B.Assign(A);
  A.Clear();
  EXPECT_EQ(A.Capacity(), 10);
  EXPECT_EQ(B.ResolveAsInt("k500"), 500);
}

TEST(AssocArray, XMLStreamRoundTrip) {
  TAssocArray A(nullptr);
  A.Add("int", TVariant(int32_t{-5}));
  A.Add("big", TVariant(int64_t{1} << 40));
  A.Add("float", TVariant(0.1));
  A.Add("text", TVariant(std::string("a <b> & \"c\"\r\nd")));
  A.Add("flag", TVariant(true));
  A.Add("none", TVariant::Null());
  A.Add("money", TVariant::FromCurrency(12.3456));
  TStringStream S;
  A.WriteToXMLStream(S, true, "Set1");
  S.SetPosition(0);
  TAssocArray B(nullptr);
  ASSERT_TRUE(B.ReadFromXMLStream(S, "set1"));
  ASSERT_EQ(B.NumEntries(), 7);
  for (int i = 1; i <= 7; ++i) {
    EXPECT_EQ(B.GetKeys(i), A.GetKeys(i));
    EXPECT_TRUE(B.GetValues(i) == A.GetValues(i)) << A.GetKeys(i);
  }
  S.SetPosition(0);
  EXPECT_FALSE(B.ReadFromXMLStream(S, "other"));
  TAssocArray C(nullptr);
  EXPECT_EQ(C.AddXMLAttributes("x=1 name=\"a b\"  y= 2"), 3);
  EXPECT_EQ(C.ResolveAsString("name"), "a b");
  EXPECT_EQ(C.ResolveAsInt("y"), 2);
  EXPECT_EQ(C.AddXMLAttributes("a=1 b"), -1);
  EXPECT_EQ(C.AddXMLAttributes("a=\"open"), -1);
  EXPECT_EQ(C.NumEntries(), 3);
}

std::vector<uint8_t> EncodeAll(TRLEncoder& E, const std::vector<uint8_t>& In, std::size_t Piece) {
  std::vector<uint8_t> Out;
  std::vector<uint8_t> Block(static_cast<std::size_t>(E.BufLeng()));
  for (std::size_t i = 0; i < In.size(); i += Piece) {
    const std::size_t N = std::min(Piece, In.size() - i);
    if (E.Encode(std::span(In).subspan(i, N), static_cast<int32_t>(N)))
      while (E.Buffered() >= E.BufLeng()) {
        E.GetResult(Block);
        Out.insert(Out.end(), Block.begin(), Block.end());
      }
  }
  for (int32_t N; (N = E.Finish(Block)) > 0;)
    Out.insert(Out.end(), Block.begin(), Block.begin() + N);
  return Out;
}

std::vector<uint8_t> DecodeAll(TRLEncoder& D, const std::vector<uint8_t>& In) {
  std::vector<uint8_t> Out;
  std::vector<uint8_t> Block(static_cast<std::size_t>(D.BufLeng()));
  for (uint8_t B : In)
    if (D.Decode(B))
      while (D.Buffered() >= D.BufLeng()) {
        D.GetResult(Block);
        Out.insert(Out.end(), Block.begin(), Block.end());
      }
  for (int32_t N; (N = D.Finish(Block)) > 0;)
    Out.insert(Out.end(), Block.begin(), Block.begin() + N);
  return Out;
}

TEST(RLEncoder, CodesRunsAndTheLeadIn) {
  TRLEncoder E(nullptr);
  const std::vector<uint8_t> In{7, 7, 7, 7, 165, 9};
  const std::vector<uint8_t> Coded = EncodeAll(E, In, In.size());
  EXPECT_EQ(Coded, (std::vector<uint8_t>{165, 4, 7, 165, 1, 165, 165, 1, 9}));
  TRLEncoder D(nullptr);
  EXPECT_EQ(DecodeAll(D, Coded), In);
  // A second Finish and a Finish with nothing encoded add nothing.
  std::vector<uint8_t> Block(256);
  EXPECT_EQ(E.Finish(Block), 0);
  TRLEncoder Fresh(nullptr);
  EXPECT_EQ(Fresh.Finish(Block), 0);
  // Runs reaching 255 are written at once.
  TRLEncoder L(nullptr);
  const std::vector<uint8_t> Long(600, 3);
  EXPECT_EQ(EncodeAll(L, Long, Long.size()),
            (std::vector<uint8_t>{165, 255, 3, 165, 255, 3, 165, 90, 3}));
}

// One call with many bytes, and decoded runs far longer than the block, once overflowed a
// buffer of 4 x BufLeng bytes; now the buffer grows and every byte comes back.
TEST(RLEncoder, LargeCallsAndLongRunsLoseNothing) {
  std::mt19937 Gen(5);
  std::vector<uint8_t> In;
  for (int run = 0; run < 3000; ++run) {
    const uint8_t V = Gen() % 4 == 0 ? 165 : static_cast<uint8_t>(Gen());
    In.insert(In.end(), Gen() % 2 == 0 ? 1 + Gen() % 3 : 1 + Gen() % 700, V);
  }
  for (int32_t BufLeng : {1, 7, 256}) {
    TRLEncoder E(nullptr);
    E.SetBufLeng(BufLeng);
    std::vector<uint8_t> Coded;
    std::vector<uint8_t> Block(static_cast<std::size_t>(BufLeng));
    E.Encode(In, static_cast<int32_t>(In.size())); // far more than 4 x BufLeng at once
    while (E.Buffered() >= BufLeng) {
      E.GetResult(Block);
      Coded.insert(Coded.end(), Block.begin(), Block.end());
    }
    for (int32_t N; (N = E.Finish(Block)) > 0;)
      Coded.insert(Coded.end(), Block.begin(), Block.begin() + N);
    EXPECT_LT(Coded.size(), In.size());
    TRLEncoder D(nullptr);
    D.SetBufLeng(BufLeng);
    ASSERT_EQ(DecodeAll(D, Coded), In) << BufLeng;
    TRLEncoder P(nullptr);
    P.SetBufLeng(BufLeng);
    ASSERT_EQ(DecodeAll(D, EncodeAll(P, In, 13)), In) << BufLeng;
  }
  // A block is only handed out into a buffer that can take it.
  TRLEncoder D(nullptr);
  D.SetBufLeng(4);
  for (uint8_t B : {165, 200, 1}) D.Decode(B);
  std::vector<uint8_t> Small(2, 0);
  D.GetResult(Small);
  EXPECT_EQ(D.Buffered(), 200);
}

} // namespace
} // namespace zef
