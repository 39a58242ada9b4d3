// Element data, X-ray lines, CAS numbers and name compression.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "ZEF_CData.h"

using namespace zef;

namespace {

TEST(CData, SymbolsAndNamesRoundTripAndRejectOutsideTheTable) {
  for (int32_t Z = 1; Z <= 103; ++Z) {
    EXPECT_EQ(AtomicNumber(CElemSymb(Z)), Z) << Z;
    EXPECT_FALSE(CElemName(Z).empty()) << Z;
  }
  EXPECT_EQ(AtomicNumber("Fe"), 26);
  EXPECT_EQ(AtomicNumber("FE"), 0);
  EXPECT_EQ(AtomicNumber("Lr"), 103);
  EXPECT_EQ(AtomicNumber(""), 0);
  EXPECT_EQ(CElemName(9), "flourine");
  EXPECT_EQ(CElemName(3), "litium");
  for (int32_t Z : {0, -1, 104, 1000}) {
    EXPECT_EQ(CElemSymb(Z), "");
    EXPECT_EQ(CElemName(Z), "");
    EXPECT_EQ(IntAtWeight(Z), 0);
    EXPECT_EQ(ExactAtWeight(Z), 0);
    EXPECT_EQ(ChemAtWeight(Z), 0);
    EXPECT_EQ(NumOuterElectrons(Z), 0);
    EXPECT_EQ(ShortElectronConfig(Z), "");
    EXPECT_EQ(FullElectronConfig(Z), "");
  }
}

TEST(CData, WeightsRadiiAndConfigurations) {
  EXPECT_EQ(IntAtWeight(6), 12);
  EXPECT_DOUBLE_EQ(ExactAtWeight(8), 15.994915);
  EXPECT_DOUBLE_EQ(ChemAtWeight(17), 35.453);
  EXPECT_EQ(ChemAtWeight(43), 0);
  EXPECT_DOUBLE_EQ(ExactAtWeight(43), 96.905);
  EXPECT_EQ(IntAtWeight(103), 256);
  EXPECT_DOUBLE_EQ(VDWRadius(1), 1.2);
  EXPECT_DOUBLE_EQ(VDWRadius(53), 2.15);
  EXPECT_EQ(VDWRadius(26), 0);
  EXPECT_EQ(VDWRadius(54), 0);
  EXPECT_EQ(NumOuterElectrons(46), 0);
  EXPECT_EQ(NumOuterElectrons(24), 1);
  EXPECT_EQ(FullElectronConfig(26), "1s2 2s2 2p6 3s2 3p6 3d6 4s2");
  EXPECT_EQ(FullElectronConfig(11), "1s2 2s2 2p6 3s1");
  EXPECT_EQ(FullElectronConfig(1), "1s1");
  EXPECT_EQ(FullElectronConfig(2), "1s2");
  EXPECT_EQ(FullElectronConfig(92), "1s2 2s2 2p6 3s2 3p6 3d10 4s2 4p6 4d10 5s2 5p6 4f14 5d10 6s2 "
                                    "6p6 5f3 6d1 7s2");
}

TEST(CData, PeriodicTableHoldsEveryElementInItsOwnCell) {
  struct {
    int32_t Z, Column, Row;
  } const Cases[] = {{1, 0, 0}, {2, 17, 0}, {5, 12, 1}, {18, 17, 2}, {26, 7, 3}, {57, 2, 5},
                     {72, 3, 5}, {58, 4, 7}, {71, 17, 7}, {89, 2, 6}, {103, 17, 8}, {0, 0, 0},
                     {104, 0, 0}};
  for (const auto& C : Cases) {
    int32_t Column = -1, Row = -1;
    PerSysCoord(C.Z, Column, Row);
    EXPECT_EQ(Column, C.Column) << C.Z;
    EXPECT_EQ(Row, C.Row) << C.Z;
  }
  std::set<std::pair<int32_t, int32_t>> Cells;
  for (int32_t Z = 1; Z <= 103; ++Z) {
    int32_t Column, Row;
    PerSysCoord(Z, Column, Row);
    EXPECT_TRUE(Cells.insert({Column, Row}).second) << Z;
  }
}

TEST(CData, EDXLinesOfOneElement) {
  struct {
    int32_t Z, Count;
    double K, L, M;
  } const Cases[] = {{4, 1, 0.11, 0, 0},      {6, 1, 0.277, 0, 0},     {26, 2, 6.398, 0.705, 0},
                     {45, 1, 0, 2.696, 0},    {50, 2, 0, 3.443, 0.691}, {74, 2, 0, 8.396, 1.774},
                     {92, 2, 0, 13.612, 3.164}, {3, -1, 0, 0, 0},       {93, -1, 0, 0, 0}};
  for (const auto& C : Cases) {
    double K = 9, L = 9, M = 9;
    EXPECT_EQ(GetEDXLines(C.Z, K, L, M), C.Count) << C.Z;
    EXPECT_DOUBLE_EQ(K, C.K) << C.Z;
    EXPECT_DOUBLE_EQ(L, C.L) << C.Z;
    EXPECT_DOUBLE_EQ(M, C.M) << C.Z;
  }
  // Which lines exist, and that each series rises with Z.
  double PrevK = 0, PrevL = 0;
  for (int32_t Z = 4; Z <= 92; ++Z) {
    double K, L, M;
    GetEDXLines(Z, K, L, M);
    EXPECT_EQ(K > 0, Z <= 44) << Z;
    EXPECT_EQ(L > 0, Z >= 21) << Z;
    EXPECT_EQ(M > 0, (Z >= 49 && Z <= 52) || (Z >= 56 && Z <= 60) || (Z >= 62 && Z <= 83) || Z >= 90) << Z;
    if (K > 0) {
      EXPECT_GT(K, PrevK) << Z;
    }
    if (L > 0) {
      EXPECT_GT(L, PrevL) << Z;
    }
    PrevK = K > 0 ? K : PrevK;
    PrevL = L > 0 ? L : PrevL;
  }
}

TEST(CData, EDXLinesInAWindowAreSortedWithTheirElements) {
  TDoubleArray Energies{1, 2, 3};
  TIntArray AtNums{7};
  const int32_t N = GetEDXLines(6.3, 6.5, Energies, AtNums);
  ASSERT_EQ(N, static_cast<int32_t>(Energies.size()));
  ASSERT_EQ(AtNums.size(), Energies.size());
  ASSERT_GE(N, 2);
  for (int32_t I = 0; I < N; ++I) {
    double K, L, M;
    GetEDXLines(AtNums[I], K, L, M);
    EXPECT_TRUE(Energies[I] == K || Energies[I] == L || Energies[I] == M) << I;
    EXPECT_GE(Energies[I], 6.3);
    EXPECT_LE(Energies[I], 6.5);
    if (I > 0) {
      EXPECT_LE(Energies[I - 1], Energies[I]);
    }
  }
  EXPECT_NE(std::find(AtNums.begin(), AtNums.end(), 26), AtNums.end());
  // A window holding 0 also takes the missing lines (3 per element, 89 elements).
  EXPECT_EQ(GetEDXLines(-1, 1000, Energies, AtNums), 3 * 89);
  EXPECT_EQ(Energies.front(), 0);
  EXPECT_EQ(GetEDXLines(200, 300, Energies, AtNums), 0);
  EXPECT_TRUE(Energies.empty() && AtNums.empty());
}

TEST(CData, CASNumbers) {
  EXPECT_TRUE(CheckCASNr(7732185));
  EXPECT_FALSE(CheckCASNr(7732186));
  EXPECT_TRUE(CheckCASNr(50000));
  EXPECT_FALSE(CheckCASNr(-7732185));
  EXPECT_TRUE(CheckCASNr(12345678911LL));  // ten-digit registry numbers
  EXPECT_EQ(FormatCASNr(7732185), "7732-18-5");
  EXPECT_EQ(FormatCASNr(5), "0-00-5");
  EXPECT_EQ(FormatCASNr(0), "0-00-0");
  EXPECT_EQ(FormatCASNr(-5), "");

  struct {
    const char* Text;
    bool Ok;
    int32_t Number;
  } const Cases[] = {{" 50-00-0 ", true, 50000}, {"7732-18-5", true, 7732185},
                     {"7732-18-6", false, 0},    {"50-000-0", false, 0},
                     {"5000-0", false, 0},       {"773218-5", false, 0},
                     {"7a32-18-5", false, 0},    {"-77-3", false, 0},
                     {"77-32-18-5", false, 0},   {"", false, 0},
                     {"+50-00-0", false, 0},     {"99999999999-99-9", false, 0}};
  for (const auto& C : Cases) {
    int32_t N = -1;
    EXPECT_EQ(ConvertStrToCASNr(C.Text, N), C.Ok) << C.Text;
    if (C.Ok) {
      EXPECT_EQ(N, C.Number) << C.Text;
    }
  }
}

TEST(CData, NameCompression) {
  EXPECT_EQ(CompressChemName("Methylphenol"), "\x8B\xDE\xFD");
  EXPECT_EQ(DeCompressChemName("\x8B\xDE\xFD"), "methylphenol");
  for (const char* Name : {"2,4,6-Trinitrotoluene", "Acetylsalicylsaeure", "Benzoylperoxid",
                           "1,3-Bis(hydroxymethyl)benzene", "pyridin-3-yl-methanol"}) {
    const std::string Compressed = CompressChemName(Name);
    EXPECT_LT(Compressed.size(), std::string(Name).size()) << Name;
    std::string Lower(Name);
    for (char& C : Lower) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    EXPECT_EQ(DeCompressChemName(Compressed), Lower) << Name;
  }
  // The codes above 127 are the dictionary, so other characters cannot pass through.
  EXPECT_EQ(DeCompressChemName(CompressChemName("N\xC3\xA4hrstoff")), "n??hrstoff");
}

} // namespace
