// TCTab: hydrogen counts of single atoms, the molecular formula and its limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZEF_cstruct.h"

using namespace zef;

namespace {

struct TAtom {
  uint8_t Z;
  int8_t Charge;
};
struct TBond {
  int32_t A, B;
  uint8_t Type;
};

void Fill(TCTab& Tab, const std::vector<TAtom>& Atoms, const std::vector<TBond>& Bonds) {
  Tab.Clear();
  for (const TAtom& A : Atoms) {
    CTElem Rec;
    Rec.AtNum = A.Z;
    Rec.AtWeight = static_cast<uint8_t>(IntAtWeight(A.Z));
    Rec.Charge = A.Charge;
    ASSERT_TRUE(Tab.AddAtom(Rec));
  }
  for (const TBond& B : Bonds) ASSERT_TRUE(Tab.MakeConnection(B.A, B.B, B.Type));
}

std::string Formula(const TCTab& Tab) {
  TFormulaRec F;
  if (!Tab.CalcMolecularFormula(F)) return "failed";
  std::string Text;
  for (int32_t K = 1; K <= F.FLeng; ++K)
    Text += (K > 1 ? " " : "") + std::to_string(F.AtWgt[K]) + CElemSymb(F.AtNum[K]) +
            std::to_string(F.AtCnt[K]);
  return Text;
}

// Hydrogens of atom 1 (a benzene ring is atoms 1..6 with aromatic bonds).
TEST(CTabHydrogens, CountsOfCommonAtoms) {
  const std::vector<TBond> Ring = {{1, 2, 4}, {2, 3, 4}, {3, 4, 4}, {4, 5, 4}, {5, 6, 4}, {6, 1, 4}};
  auto WithRing = [&Ring](std::vector<TBond> Extra) {
    Extra.insert(Extra.begin(), Ring.begin(), Ring.end());
    return Extra;
  };
  const TAtom C{6, 0}, N{7, 0}, O{8, 0};
  struct {
    const char* Name;
    std::vector<TAtom> Atoms;
    std::vector<TBond> Bonds;
    int32_t Hydrogens;
  } const Cases[] = {
      {"methane", {C}, {}, 4},
      {"methane, explicit hydrogens", {C, {1, 0}, {1, 0}, {1, 0}, {1, 0}},
       {{1, 2, 1}, {1, 3, 1}, {1, 4, 1}, {1, 5, 1}}, 4},
      {"methanol oxygen", {O, C}, {{1, 2, 1}}, 1},
      {"benzene carbon", {C, C, C, C, C, C}, Ring, 1},
      {"pyridine nitrogen", {N, C, C, C, C, C}, Ring, 0},
      {"pyridinium nitrogen", {{7, 1}, C, C, C, C, C}, Ring, 1},
      {"N-methylpyridinium nitrogen", {{7, 1}, C, C, C, C, C, C}, WithRing({{1, 7, 1}}), 0},
      {"ring junction carbon", {C, C, C, C, C, C, C}, WithRing({{1, 7, 1}}), 0},
      {"ammonium", {{7, 1}}, {}, 4},
      {"trimethylammonium nitrogen", {{7, 1}, C, C, C}, {{1, 2, 1}, {1, 3, 1}, {1, 4, 1}}, 1},
      {"tetramethylammonium nitrogen", {{7, 1}, C, C, C, C},
       {{1, 2, 1}, {1, 3, 1}, {1, 4, 1}, {1, 5, 1}}, 0},
      {"hydroxide", {{8, -1}}, {}, 1},
      {"hydronium", {{8, 1}}, {}, 3},
      {"methyl cation", {{6, 1}}, {}, 3},
      {"methyl anion", {{6, -1}}, {}, 3},
      {"trityl carbon", {{6, 1}, C, C, C}, {{1, 2, 1}, {1, 3, 1}, {1, 4, 1}}, 0},
      {"borohydride", {{5, -1}}, {}, 4},
      {"borane", {{5, 0}}, {}, 3},
      {"HCN carbon", {C, N}, {{1, 2, 3}}, 1},
      {"HCN nitrogen", {N, C}, {{1, 2, 3}}, 0},
      {"isocyanide nitrogen", {N, C, C}, {{1, 2, 3}, {1, 3, 1}}, -1},
      {"charged isocyanide nitrogen", {{7, 1}, {6, -1}, C}, {{1, 2, 3}, {1, 3, 1}}, 0},
      {"phosphite phosphorus", {{15, 0}, O, O, O}, {{1, 2, 2}, {1, 3, 1}, {1, 4, 1}}, 1},
      {"phosphate phosphorus", {{15, 0}, O, O, O, O},
       {{1, 2, 2}, {1, 3, 1}, {1, 4, 1}, {1, 5, 1}}, 0},
      {"sulfone sulfur", {{16, 0}, O, O, C, C}, {{1, 2, 2}, {1, 3, 2}, {1, 4, 1}, {1, 5, 1}}, 0},
      {"sodium", {{11, 0}}, {}, 0},
      {"sodium hydride sodium", {{11, 0}, {1, 0}}, {{1, 2, 1}}, 1},
      {"hydrogen atom", {{1, 0}, C}, {{1, 2, 1}}, 0},
  };
  TCTab Tab(nullptr);
  for (const auto& Case : Cases) {
    Fill(Tab, Case.Atoms, Case.Bonds);
    EXPECT_EQ(Tab.NrHAtoms(1), Case.Hydrogens) << Case.Name;
  }
}

TEST(CTabHydrogens, WholeMoleculesCountEveryHydrogenOnce) {
  TCTab Tab(nullptr);
  const TAtom C{6, 0}, N{7, 0}, H{1, 0};
  Fill(Tab, {C, N, C}, {{1, 2, 1}, {2, 3, 3}});  // methyl isocyanide drawn without charges
  EXPECT_EQ(Tab.CalcMissingH(), 3);
  Fill(Tab, {H, H}, {{1, 2, 1}});  // dihydrogen
  EXPECT_EQ(Tab.CalcMissingH(), 2);
  EXPECT_EQ(Formula(Tab), "1H2");
  Fill(Tab, {{1, 1}, {17, -1}}, {});  // a lone proton and a chloride
  EXPECT_EQ(Formula(Tab), "1H1 35Cl1");
}

TEST(CTabHydrogens, FormulaOrderAndIsotopes) {
  TCTab Tab(nullptr);
  const TAtom C{6, 0}, O{8, 0};
  Fill(Tab, {C, C, O}, {{1, 2, 1}, {2, 3, 1}});  // ethanol
  EXPECT_EQ(Formula(Tab), "12C2 1H6 16O1");
  EXPECT_NEAR(Tab.CalcChemMolWeight(), 2 * 12.01115 + 6 * 1.00797 + 15.9994, 1e-9);
  // Elements in the fixed order first, the others as they come; isotopes are entries of
  // their own and do not change the chemical weight.
  Fill(Tab, {{11, 0}, {17, 0}, {16, 0}, {7, 0}, C, {26, 0}, C}, {});
  Tab.SetAtWeight(7, 13);
  EXPECT_EQ(Formula(Tab), "12C1 13C1 1H14 14N1 32S1 35Cl1 23Na1 56Fe1");
  EXPECT_NEAR(Tab.CalcChemMolWeight(),
              2 * 12.01115 + 14 * 1.00797 + 14.0067 + 32.064 + 35.453 + 22.9898 + 55.847, 1e-9);
}

TEST(CTabHydrogens, FormulaLimitsLeaveTheRecordUntouched) {
  TCTab Tab(nullptr);
  std::vector<TAtom> Atoms;
  for (uint8_t Z = 54; Z <= 74; ++Z) Atoms.push_back({Z, 0});  // no hydrogens
  TFormulaRec F;
  F.FLeng = 7;
  Fill(Tab, Atoms, {});
  EXPECT_FALSE(Tab.CalcMolecularFormula(F));  // 21 elements
  EXPECT_EQ(F.FLeng, 7);
  Tab.DeleteAtom(21);
  ASSERT_TRUE(Tab.CalcMolecularFormula(F));
  EXPECT_EQ(F.FLeng, 20);
  // Nitrogens charged +100 carry 103 hydrogens each: three of them overflow the 8-bit count.
  Fill(Tab, {{7, 100}, {7, 100}}, {});
  EXPECT_EQ(Formula(Tab), "1H206 14N2");
  Fill(Tab, {{7, 100}, {7, 100}, {7, 100}}, {});
  F.FLeng = 7;
  EXPECT_FALSE(Tab.CalcMolecularFormula(F));
  EXPECT_EQ(F.FLeng, 7);
}

} // namespace
