// Formula and weights of real molecules, built atom by atom into a TCTab, against the counts
// and masses RDKit computes (data/molecules/reference_molecules.txt, made by
// scripts/gen_molecule_fixtures.py).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ZEF_CData.h"
#include "ZEF_cform.h"
#include "ZEF_cstruct.h"

using namespace zef;

namespace {

struct TReferenceMolecule {
  std::string Name;
  std::string Formula;  // "C2 H6 O1" in the suite's element order
  double Weight = 0;
  double Exact = 0;
  struct TAtom {
    int Z, Charge;
  };
  struct TBond {
    int A, B, Type;
  };
  std::vector<TAtom> Atoms;
  std::vector<TBond> Bonds;
};

struct TReference {
  std::map<std::string, std::pair<double, double>> ElementMasses;  // symbol: weight, exact
  std::vector<TReferenceMolecule> Molecules;
};

// Reads the fixture, checking every count and index against what the file holds.
TReference ReadReference() {
  std::ifstream In(std::string(ZEF_TEST_DATA_DIR) + "/molecules/reference_molecules.txt");
  EXPECT_TRUE(In) << "reference file missing";
  TReference Ref;
  std::string Line;
  TReferenceMolecule M;
  auto Fail = [&Line](const std::string& What) {
    ADD_FAILURE() << "reference file: " << What << " at \"" << Line << "\"";
  };
  while (std::getline(In, Line)) {
    std::istringstream S(Line);
    std::string Key;
    S >> Key;
    if (Key.empty() || Key[0] == '#' || Key == "smiles") continue;
    std::string Rest;
    std::getline(S >> std::ws, Rest);
    if (Key == "element") {
      std::istringstream E(Rest);
      std::string Symbol;
      double W, X;
      if (!(E >> Symbol >> W >> X)) Fail("bad element line");
      Ref.ElementMasses[Symbol] = {W, X};
    } else if (Key == "molecule") {
      M = TReferenceMolecule();
      M.Name = Rest;
    } else if (Key == "formula") {
      M.Formula = Rest;
    } else if (Key == "weight") {
      M.Weight = std::stod(Rest);
    } else if (Key == "exact") {
      M.Exact = std::stod(Rest);
    } else if (Key == "atoms" || Key == "bonds") {
      const int N = std::stoi(Rest);
      if (N < 0 || N > 200) Fail("bad count");
      for (int I = 0; I < N && std::getline(In, Line); ++I) {
        std::istringstream V(Line);
        if (Key == "atoms") {
          TReferenceMolecule::TAtom A;
          if (!(V >> A.Z >> A.Charge)) Fail("bad atom");
          M.Atoms.push_back(A);
        } else {
          TReferenceMolecule::TBond B;
          if (!(V >> B.A >> B.B >> B.Type) || B.A < 1 || B.B < 1 ||
              B.A > static_cast<int>(M.Atoms.size()) || B.B > static_cast<int>(M.Atoms.size()))
            Fail("bad bond");
          M.Bonds.push_back(B);
        }
      }
    } else if (Key == "end") {
      Ref.Molecules.push_back(M);
    } else {
      Fail("unknown line");
    }
  }
  return Ref;
}

// The molecule as a connection table built through AddAtom (bonds on one side, the later
// atom naming the earlier one) and MakeSymmetricConnections, as an editor would.
void Build(const TReferenceMolecule& M, TCTab& Tab) {
  Tab.Clear();
  for (std::size_t I = 0; I < M.Atoms.size(); ++I) {
    CTElem Rec;
    Rec.AtNum = static_cast<uint8_t>(M.Atoms[I].Z);
    Rec.AtWeight = static_cast<uint8_t>(IntAtWeight(M.Atoms[I].Z));
    Rec.Charge = static_cast<int8_t>(M.Atoms[I].Charge);
    const int Self = static_cast<int>(I) + 1;
    int Slot = 0;
    for (const auto& B : M.Bonds) {
      const int Partner = B.A == Self ? B.B : B.B == Self ? B.A : 0;
      if (Partner == 0 || Partner > Self) continue;
      ASSERT_LT(Slot, MaxConn) << M.Name;
      ++Slot;
      Rec.ConnTo[Slot] = static_cast<uint8_t>(Partner);
      Rec.TypConn[Slot] = static_cast<uint8_t>(B.Type);
    }
    ASSERT_TRUE(Tab.AddAtom(Rec)) << M.Name;
  }
  Tab.MakeSymmetricConnections();
}

std::string FormulaText(const TFormulaRec& F) {
  std::string Text;
  for (int32_t K = 1; K <= F.FLeng; ++K)
    Text += (K > 1 ? " " : "") + CElemSymb(F.AtNum[K]) + std::to_string(F.AtCnt[K]);
  return Text;
}

// The weights differ from RDKit's only by the difference of the element weights used.
double WeightTolerance(const TReference& Ref, const TMolForm& Form, bool Exact) {
  double Tolerance = 1e-5;
  for (int32_t K = 1; K <= Form.NumAtoms(); ++K) {
    const auto& Masses = Ref.ElementMasses.at(CElemSymb(Form.AtNum(K)));
    const double Ours = Exact ? ExactAtWeight(Form.AtNum(K)) : ChemAtWeight(Form.AtNum(K));
    Tolerance += Form.AtCnt(K) * std::fabs(Ours - (Exact ? Masses.second : Masses.first));
  }
  return Tolerance;
}

TEST(ReferenceMolecules, FormulaAndWeightsMatchRDKit) {
  const TReference Ref = ReadReference();
  ASSERT_GE(Ref.Molecules.size(), 50u);
  TCTab Tab(nullptr);
  TMolForm Form(nullptr);
  for (const auto& M : Ref.Molecules) {
    SCOPED_TRACE(M.Name);
    Build(M, Tab);
    ASSERT_EQ(Tab.NAtoms, static_cast<int32_t>(M.Atoms.size()));
    TFormulaRec F;
    ASSERT_TRUE(Tab.CalcMolecularFormula(F));
    EXPECT_EQ(FormulaText(F), M.Formula);

    Form.ReadFromString(M.Formula);
    EXPECT_EQ(Form.NumAtoms(), F.FLeng);
    EXPECT_NEAR(Tab.CalcChemMolWeight(), M.Weight, WeightTolerance(Ref, Form, false));
    EXPECT_NEAR(Form.ChemMolWgt(), M.Weight, WeightTolerance(Ref, Form, false));
    EXPECT_NEAR(Form.ExactMolWgt(), M.Exact, WeightTolerance(Ref, Form, true));
  }
}

// Removing the hydrogens of a table drawn with explicit ones leaves the same formula.
TEST(ReferenceMolecules, ExplicitHydrogensCountLikeImplicitOnes) {
  const TReference Ref = ReadReference();
  for (const auto& M : Ref.Molecules) {
    if (M.Name.find("explicit hydrogens") == std::string::npos) continue;
    SCOPED_TRACE(M.Name);
    TCTab Tab(nullptr);
    Build(M, Tab);
    TFormulaRec Before, After;
    ASSERT_TRUE(Tab.CalcMolecularFormula(Before));
    const double Weight = Tab.CalcChemMolWeight();
    Tab.RemoveHydrogen();
    EXPECT_EQ(Tab.AtomCount(1), 0);
    ASSERT_TRUE(Tab.CalcMolecularFormula(After));
    EXPECT_EQ(FormulaText(After), FormulaText(Before));
    EXPECT_DOUBLE_EQ(Tab.CalcChemMolWeight(), Weight);
  }
}

} // namespace
