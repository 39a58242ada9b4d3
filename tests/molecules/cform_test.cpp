// TMolForm: reading, printing, parts, weights, comparison and the formula search.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "ZEF_cform.h"

using namespace zef;

namespace {

// The parts as "Z/mass/count" separated by blanks.
std::string Parts(const TMolForm& F) {
  std::string Text;
  for (int32_t K = 1; K <= F.NumAtoms(); ++K)
    Text += (K > 1 ? " " : "") + std::to_string(F.AtNum(K)) + "/" + std::to_string(F.AtWgt(K)) +
            "/" + std::to_string(F.AtCnt(K));
  return Text;
}

TEST(MolForm, StartsAsWater) {
  TMolForm F(nullptr);
  EXPECT_EQ(Parts(F), "1/1/2 8/16/1");
  EXPECT_EQ(F.AsString(0), "H2 O ");
  EXPECT_EQ(F.AsString(1), "1H2 16O ");
  EXPECT_EQ(F.MolFormula(), "1H2 16O ");
  EXPECT_EQ(F.Width(), 120);
  EXPECT_EQ(F.Height(), 28);
  EXPECT_EQ(F.NominalMolWgt(), 18);
}

TEST(MolForm, ScanMolFormulaCases) {
  struct {
    const char* Text;
    const char* Parts;
  } const Cases[] = {
      {"C6 H12 O6", "6/12/6 1/1/12 8/16/6"},
      {"C1H4", "6/12/1 1/1/4"},
      {"13C H4", "6/13/1 1/1/4"},
      {"c1h4", "6/12/1 1/1/4"},
      {"CH4", ""},                                    // CH is no element
      {"CO2", "27/59/2"},                             // cobalt
      {"(CH3)2 CO", ""},
      {"(C1H3)2 C1O1", "6/12/2 1/1/6 6/12/1 8/16/1"},
      {"(C1H3) C1", "6/12/1 1/1/3 6/12/1"},           // no number: once
      {"(C1H3)0", "6/12/0 1/1/0"},
      {"D2O", "1/2/2 8/16/1"},
      {"C2,H6.O", "6/12/2 1/1/6 8/16/1"},
      {"C2 Xx3 O", "6/12/2"},                         // parts before a failing one stay
      {"C2H6(O", "6/12/2 1/1/6 8/16/1"},              // a bracket without its end
      {"C2 H6 (O1)", "6/12/2 1/1/6"},                 // a blank before a bracket ends it
      {"", ""},
      {"  ", ""},
      {"C2 # H6", "6/12/2 1/1/6"},                    // other characters are skipped
      {"12 13C", ""},                                 // a digit after the mass ends the part
  };
  TMolForm F(nullptr);
  for (const auto& C : Cases) {
    F.SetMolFormula(C.Text);
    EXPECT_EQ(Parts(F), C.Parts) << C.Text;
  }
  F.SetMolFormula("13C H4");
  EXPECT_EQ(F.MolFormula(), "13C 1H4 ");
}

// MolFormula prints mass numbers and leaves counts of 1 out; counts above 1 read back.
TEST(MolForm, PrintedFormula) {
  TMolForm F(nullptr), Echo(nullptr);
  for (const char* Text : {"13C H4", "C2 H6 O2", "D2O", "(C1H3)2 C2O2"}) {
    F.SetMolFormula(Text);
    Echo.SetMolFormula(F.MolFormula());
    EXPECT_EQ(Parts(Echo), Parts(F)) << Text << " printed as " << F.MolFormula();
  }
  F.SetMolFormula("C1 O1");
  EXPECT_EQ(F.MolFormula(), "12C 16O ");
  EXPECT_EQ(F.AsString(0), "C O ");
}

TEST(MolForm, ReadFromStringStopsAtABracket) {
  TMolForm F(nullptr);
  F.ReadFromString("C2 H5 (OH)");
  EXPECT_EQ(Parts(F), "6/12/2 1/1/5");
  F.ReadFromString("N2 O");
  EXPECT_EQ(Parts(F), "7/14/2 8/16/1");
}

TEST(MolForm, ScanNextFormPartLeavesTheIndexOnTheEndingCharacter) {
  TMolForm F(nullptr);
  struct {
    const char* Text;
    int32_t Start;
    bool Ok;
    int32_t AtNr, AtWt, Count, End;
  } const Cases[] = {
      {"C6H6", 1, true, 6, 12, 6, 3},   {"C6H6", 3, true, 1, 1, 6, 5},
      {"C6H6", 5, false, 0, 0, 0, 5},   {"13C", 1, true, 6, 13, 1, 4},
      {"D", 1, true, 1, 2, 1, 2},       {"C0", 1, true, 6, 12, 1, 3},
      {"Fe (", 1, true, 26, 56, 1, 4},  {"C6", 0, false, 0, 0, 0, 0},
      {"C6", 99, false, 0, 0, 0, 99},
  };
  for (const auto& C : Cases) {
    int32_t Index = C.Start, AtNr = -1, AtWt = -1, Count = -1;
    EXPECT_EQ(F.ScanNextFormPart(C.Text, Index, AtNr, AtWt, Count), C.Ok) << C.Text << C.Start;
    EXPECT_EQ(AtNr, C.AtNr) << C.Text;
    if (C.Ok) {
      EXPECT_EQ(AtWt, C.AtWt) << C.Text;
      EXPECT_EQ(Count, C.Count) << C.Text;
    }
    EXPECT_EQ(Index, C.End) << C.Text << C.Start;
  }
}

// Numbers that do not fit the 8-bit parts raise and leave the formula as it was.
TEST(MolForm, OverflowRaisesAndKeepsThePreviousFormula) {
  TMolForm F(nullptr);
  F.SetName("Formula");
  F.SetMolFormula("C2 H6 O");
  for (const char* Text : {"C256", "300C", "(C1H100)3", "C99999999999", "(C2)999999999999999999999",
                           "(C1)-2", "Fm", "H1 He1 Li1 Be1 B1 C1 N1 O1 F1 Ne1 Na1 Mg1 Al1 Si1 P1 "
                                          "S1 Cl1 Ar1 K1 Ca1 Sc1"}) {
    EXPECT_THROW(F.SetMolFormula(Text), EZEFCFormError) << Text;
    EXPECT_EQ(Parts(F), "6/12/2 1/1/6 8/16/1") << Text;
  }
  try {
    F.SetMolFormula("C256");
  } catch (const EZEFCFormError& E) {
    EXPECT_EQ(E.Message(), "Component \"Formula\": count 256 of C exceeds 255");
  }
  EXPECT_THROW(F.ReadFromString("C300"), EZEFCFormError);
  F.SetMolFormula("C255 H255");  // the largest counts that fit
  EXPECT_EQ(Parts(F), "6/12/255 1/1/255");
  F.SetMolFormula("(C1H5)51");
  EXPECT_EQ(Parts(F), "6/12/51 1/1/255");
}

TEST(MolForm, PartAccessorsCheckIndexAndValue) {
  TMolForm F(nullptr);
  F.SetNumAtoms(0);
  F.SetNumAtoms(21);
  EXPECT_EQ(F.NumAtoms(), 2);
  F.SetAtNum(1, 104);
  F.SetAtNum(1, 0);
  F.SetAtNum(3, 6);
  EXPECT_EQ(F.AtNum(1), 1);
  EXPECT_EQ(F.AtNum(3), 0);
  EXPECT_EQ(F.AtNum(0), 0);
  F.SetAtNum(2, 16);
  F.SetAtWgt(2, 34);
  F.SetAtCnt(1, 0);
  EXPECT_EQ(F.AsString(1), " 34S ");
  EXPECT_THROW(F.SetAtWgt(1, 256), EZEFCFormError);
  EXPECT_THROW(F.SetAtCnt(1, -1), EZEFCFormError);
  F.SetAtCnt(9, 1000);  // outside the parts: ignored before the value is looked at
  F.SetNumAtoms(3);
  EXPECT_EQ(F.AtNum(3), 0);
  F.Clear();
  EXPECT_EQ(F.NumAtoms(), 0);
  EXPECT_EQ(F.AsString(1), "");
}

TEST(MolForm, Weights) {
  TMolForm F(nullptr);
  F.SetMolFormula("D2O");
  EXPECT_EQ(Parts(F), "1/2/2 8/16/1");
  EXPECT_EQ(F.AsString(0), "D2 O ");
  EXPECT_EQ(F.NominalMolWgt(), 20);
  EXPECT_DOUBLE_EQ(F.ExactMolWgt(), 2 * 1.007825 + 15.994915);  // the element's weight, not D's
  EXPECT_DOUBLE_EQ(F.ChemMolWgt(), 2 * 1.00797 + 15.9994);
  F.SetMolFormula("C6 H12 O6");
  EXPECT_NEAR(F.ChemMolWgt(), 180.15894, 1e-9);
  EXPECT_EQ(F.NominalMolWgt(), 180);
}

TEST(MolForm, CompareTo) {
  TMolForm A(nullptr), B(nullptr);
  A.SetMolFormula("C2 H6 O1");
  struct {
    const char* Other;
    int32_t Result;
  } const Cases[] = {{"C2 H6 O1", 0}, {"O1 H6 C1 C1", 0}, {"C1 H4 O1", 1}, {"C3 H8 O1", 2},
                     {"C3 H4", -1},   {"13C2 H6 O1", -1}, {"", -2}};
  for (const auto& C : Cases) {
    B.SetMolFormula(C.Other);
    EXPECT_EQ(A.CompareTo(B), C.Result) << C.Other;
  }
  B.SetMolFormula("C1 H4 O1");
  EXPECT_EQ(B.CompareTo(A), 2);
  B.Clear();
  EXPECT_EQ(B.CompareTo(A), -2);
}

TEST(MolForm, AssignTakesFormulaAndLooksButNotTheFont) {
  TMolForm A(nullptr), B(nullptr);
  A.SetMolFormula("C2 H6 O1");
  A.SetAlignment(taLeftJustify);
  A.SetIsotopeVis(ivAlways);
  A.Font().SetSize(20);
  B.Assign(A);
  EXPECT_EQ(B.MolFormula(), A.MolFormula());
  EXPECT_EQ(B.Alignment(), taLeftJustify);
  EXPECT_EQ(B.IsotopeVis(), ivAlways);
  EXPECT_NE(B.Font().Size(), 20);
  TPersistent Other;
  EXPECT_THROW(B.Assign(Other), EConvertError);
}

TFormulaRec Bounds(std::vector<std::array<int, 3>> Parts) {
  TFormulaRec R;
  for (const auto& P : Parts) {
    ++R.FLeng;
    R.AtNum[R.FLeng] = static_cast<uint8_t>(P[0]);
    R.AtWgt[R.FLeng] = static_cast<uint8_t>(P[1]);
    R.AtCnt[R.FLeng] = static_cast<uint8_t>(P[2]);
  }
  return R;
}

TEST(MolForm, NominalSearchWalksDownLikeAnOdometer) {
  TMolForm F(nullptr);
  ASSERT_TRUE(F.InitFindFormula(18, 0.05, Bounds({{1, 1, 0}, {8, 16, 0}}),
                                Bounds({{1, 1, 4}, {8, 16, 2}})));
  ASSERT_TRUE(F.FindFormulaNominalMass(false));
  EXPECT_EQ(Parts(F), "1/1/2 8/16/1");
  EXPECT_FALSE(F.FindFormulaNominalMass(false));
  EXPECT_EQ(Parts(F), "1/1/2 8/16/1");  // a miss leaves the last hit
  EXPECT_FALSE(F.FindFormulaNominalMass(false));
}

// Every hit of a small search, checked against a plain enumeration of all counts.
TEST(MolForm, SearchFindsEveryCandidateInDescendingOrder) {
  const TFormulaRec Low = Bounds({{6, 12, 1}, {1, 1, 0}, {7, 14, 0}, {8, 16, 0}});
  const TFormulaRec High = Bounds({{6, 12, 12}, {1, 1, 30}, {7, 14, 4}, {8, 16, 6}});
  for (bool Exact : {false, true})
    for (bool Plausible : {false, true}) {
      const double Target = Exact ? 180.0634 : 180;
      std::vector<std::string> Expected;
      for (int C = 12; C >= 1; --C)
        for (int H = 30; H >= 0; --H)
          for (int N = 4; N >= 0; --N)
            for (int O = 6; O >= 0; --O) {
              const double Mass = Exact ? C * 12.0 + H * 1.007825 + N * 14.003074 + O * 15.994915
                                        : C * 12 + H + N * 14 + O * 16;
              const bool Hit = Exact ? std::fabs(Mass - Target) < 0.01 : Mass == Target;
              if (Hit && (!Plausible || N + 2 * C + 2 >= H))
                Expected.push_back("6/12/" + std::to_string(C) + " 1/1/" + std::to_string(H) +
                                   " 7/14/" + std::to_string(N) + " 8/16/" + std::to_string(O));
            }
      ASSERT_FALSE(Expected.empty());
      TMolForm F(nullptr);
      F.InitFindFormula(Target, 0.01, Low, High);
      std::vector<std::string> Found;
      while (Exact ? F.FindFormulaExactMass(Plausible) : F.FindFormulaNominalMass(Plausible))
        Found.push_back(Parts(F));
      EXPECT_EQ(Found, Expected) << Exact << Plausible;
    }
}

TEST(MolForm, SearchBoundsAreChecked) {
  TMolForm F(nullptr);
  TFormulaRec Bad;
  Bad.FLeng = 21;
  EXPECT_THROW(F.InitFindFormula(18, 0.05, Bad, Bad), EZEFCFormError);
  EXPECT_FALSE(F.FindFormulaNominalMass(false));  // never started
  F.InitFindFormula(18, 0.05, TFormulaRec(), TFormulaRec());
  EXPECT_FALSE(F.FindFormulaExactMass(false));
}

} // namespace
