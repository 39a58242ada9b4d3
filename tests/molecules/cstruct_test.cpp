// TCTab: fields and their checks, CAS number, bond editing, deletion, fragments, comparison
// and geometry.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "ZEF_cstruct.h"

using namespace zef;

namespace {

// A table of the given elements, bonded by (atom, atom, type) on both sides.
struct TBond {
  int32_t A, B;
  uint8_t Type;
};
void Fill(TCTab& Tab, const std::vector<uint8_t>& Elements, const std::vector<TBond>& Bonds) {
  Tab.Clear();
  for (uint8_t Z : Elements) {
    CTElem Rec;
    Rec.AtNum = Z;
    Rec.AtWeight = static_cast<uint8_t>(IntAtWeight(Z));
    ASSERT_TRUE(Tab.AddAtom(Rec));
  }
  for (const TBond& B : Bonds) ASSERT_TRUE(Tab.MakeConnection(B.A, B.B, B.Type));
}

// The partners of an atom as "partner:type" in slot order, the empty slots left out.
std::string Slots(const TCTab& Tab, int32_t AtIx) {
  std::string Text;
  for (int32_t J = 1; J <= MaxConn; ++J)
    if (Tab.AtConnTo(AtIx, J) != 0)
      Text += (Text.empty() ? "" : " ") + std::to_string(Tab.AtConnTo(AtIx, J)) + ":" +
              std::to_string(Tab.AtTypConn(AtIx, J));
  return Text;
}

TEST(CTab, StartsEmpty) {
  TCTab Tab(nullptr);
  EXPECT_EQ(Tab.NAtoms, 0);
  EXPECT_EQ(Tab.CASNr(), "0-00-0");
  EXPECT_FALSE(Tab.CoordinatesPresent());
  EXPECT_EQ(Tab.AtomEntries(1).AtDispAtb, 0x80000000u);
  EXPECT_EQ(Tab.CoordUnits, cuUnknown);
  TFormulaRec F;
  EXPECT_TRUE(Tab.CalcMolecularFormula(F));
  EXPECT_EQ(F.FLeng, 0);
  EXPECT_EQ(Tab.CalcChemMolWeight(), 0);
}

TEST(CTab, CASNrTakesOnlyWellFormedNumbersAndAlwaysNotifies) {
  TCTab Tab(nullptr);
  int Changes = 0;
  Tab.OnChange = [&Changes](TObject*) { ++Changes; };
  Tab.SetCASNr("  7732-18-5 ");
  EXPECT_EQ(Tab.BinCASNr, 7732185);
  Tab.SetCASNr("7732-18-6");
  Tab.SetCASNr("773218-5");
  EXPECT_EQ(Tab.BinCASNr, 7732185);
  EXPECT_EQ(Tab.CASNr(), "7732-18-5");
  EXPECT_EQ(Changes, 3);
  EXPECT_TRUE(Tab.CheckCASNr(50000));
  EXPECT_FALSE(Tab.CheckCASNr(50001));
}

TEST(CTab, AccessorsCheckEveryIndex) {
  TCTab Tab(nullptr);
  Fill(Tab, {6, 8}, {{1, 2, 2}});
  int Changes = 0;
  Tab.OnChange = [&Changes](TObject*) { ++Changes; };
  Tab.SetAtNum(1, 104);
  Tab.SetAtNum(1, 0);
  Tab.SetAtNum(3, 7);
  Tab.SetAtConnTo(1, 11, 2);
  Tab.SetAtCoords(1, 4, 5);
  Tab.SetCharge(0, 1);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(Tab.AtNum(1), 6);
  Tab.SetAtNum(1, 6);  // unchanged, still notified
  Tab.SetAtCoords(2, 3, 1.5);
  EXPECT_EQ(Changes, 2);
  EXPECT_DOUBLE_EQ(Tab.AtCoords(2, 3), 1.5);
  EXPECT_TRUE(Tab.CoordinatesPresent());
  for (int32_t Bad : {-1, 0, 3, 64, 1000}) {
    EXPECT_EQ(Tab.AtNum(Bad), 0);
    EXPECT_EQ(Tab.AtCharge(Bad), 0);
    EXPECT_EQ(Tab.AtConnTo(Bad, 1), 0);
    EXPECT_EQ(Tab.NBonds(Bad), 0);
    EXPECT_EQ(Tab.NrHAtoms(Bad), 0);
    EXPECT_EQ(Tab.AtomEntries(Bad).AtNum, 0);
  }
  EXPECT_EQ(Tab.AtConnTo(1, 0), 0);
  EXPECT_EQ(Tab.AtTypConn(1, 11), 0);
  EXPECT_EQ(Tab.AtCoords(1, 0), 0);
  Tab.SetCoordinatesPresent(true);
  EXPECT_TRUE(Tab.CoordinatesPresent());
  Tab.SetCoordinatesPresent(false);
  EXPECT_FALSE(Tab.CoordinatesPresent());
  EXPECT_EQ(Changes, 3);
}

// NAtoms is a plain field and bond slots can be written directly: nothing may follow an index
// that names no atom (the sanitizers watch every access here).
TEST(CTab, ForeignIndexesNeverReachMemory) {
  TCTab Tab(nullptr);
  Fill(Tab, {6, 6, 8}, {{1, 2, 1}, {2, 3, 1}});
  Tab.SetAtConnTo(1, 2, 200);
  Tab.SetAtTypConn(1, 2, 1);
  Tab.SetAtConnTo(3, 2, 40);
  double A, B, C, D, E, F;
  Tab.CalcMolExtents(A, B, C, D, E, F);
  EXPECT_EQ(Tab.NrHAtoms(1), 2);  // the slot still counts as a bond
  Tab.MakeSymmetricConnections();
  EXPECT_EQ(Tab.CheckConnect(1, 200), 1);
  TCTab Copy(nullptr);
  Copy.LinkFragment(Tab);
  Copy.JoinFragment(Tab);
  Tab.DeleteAtom(2);
  Tab.RemoveHydrogen();
  for (int32_t N : {100, -5, 64}) {
    Tab.NAtoms = N;
    int32_t At = 0;
    Tab.MaxNBonds(At);
    Tab.CalcMissingH();
    TFormulaRec Form;
    Tab.CalcMolecularFormula(Form);
    Tab.FindAtomInBox(0, 0, 0, 1, 1, 1);
    Tab.RotateWithPCA();
    Tab.DeleteAtom(63);
    EXPECT_EQ(Tab.AtNum(64), 0);
  }
  Tab.NAtoms = 70;
  EXPECT_FALSE(Tab.AddAtom(CTElem()));
  Tab.NAtoms = -3;
  EXPECT_TRUE(Tab.AddAtom(CTElem()));
  EXPECT_EQ(Tab.NAtoms, 1);
}

TEST(CTab, EnterConnRetypesFillsAndDrops) {
  TCTab Tab(nullptr);
  Fill(Tab, std::vector<uint8_t>(12, 6), {});
  Tab.EnterConn(1, 2, 1);
  Tab.EnterConn(1, 2, 2);  // the same partner: retyped
  EXPECT_EQ(Slots(Tab, 1), "2:2");
  EXPECT_EQ(Slots(Tab, 2), "");  // one side only
  for (int32_t P = 3; P <= 12; ++P) Tab.EnterConn(1, P, 1);
  EXPECT_EQ(Tab.NBonds(1), 10);
  EXPECT_EQ(Tab.AtConnTo(1, 10), 11);  // 12 found no slot
  Tab.EnterConn(1, 1, 1);
  Tab.EnterConn(2, 64, 1);
  Tab.EnterConn(2, 0, 1);
  Tab.EnterConn(0, 2, 1);
  Tab.EnterConn(2, 3, 256);
  EXPECT_EQ(Slots(Tab, 2), "");
  Tab.MakeSymmetricConnections();
  EXPECT_EQ(Slots(Tab, 2), "1:2");
  EXPECT_EQ(Tab.CheckConnect(2, 1), 2);
  EXPECT_EQ(Tab.CheckConnect(2, 3), 0);
}

TEST(CTab, SymmetricConnectionsTakeTheLowerAtomsType) {
  TCTab Tab(nullptr);
  Fill(Tab, {6, 6}, {});
  Tab.EnterConn(1, 2, 2);
  Tab.EnterConn(2, 1, 1);
  Tab.MakeSymmetricConnections();
  EXPECT_EQ(Slots(Tab, 1), "2:2");
  EXPECT_EQ(Slots(Tab, 2), "1:2");
}

TEST(CTab, MakeConnection) {
  TCTab Tab(nullptr);
  Fill(Tab, std::vector<uint8_t>(12, 6), {});
  for (int32_t P = 2; P <= 11; ++P) ASSERT_TRUE(Tab.MakeConnection(1, P, 1));
  // A full atom refuses a new bond on both sides instead of recording one of them.
  EXPECT_FALSE(Tab.MakeConnection(12, 1, 1));
  EXPECT_EQ(Slots(Tab, 12), "");
  EXPECT_TRUE(Tab.MakeConnection(1, 5, 3));  // retyping needs no free slot
  EXPECT_EQ(Tab.CheckConnect(5, 1), 3);
  EXPECT_TRUE(Tab.MakeConnection(1, 4, 0));
  EXPECT_EQ(Slots(Tab, 1), "2:1 3:1 5:3 6:1 7:1 8:1 9:1 10:1 11:1");
  EXPECT_EQ(Tab.AtConnTo(1, 10), 0);
  EXPECT_EQ(Slots(Tab, 4), "");
  EXPECT_FALSE(Tab.MakeConnection(1, 4, 0));
  EXPECT_FALSE(Tab.MakeConnection(1, 1, 1));
  EXPECT_FALSE(Tab.MakeConnection(1, 13, 1));
  EXPECT_FALSE(Tab.MakeConnection(0, 2, 1));
}

TEST(CTab, DeleteAtomBridgesItsPartnersAndMovesTheLastAtom) {
  TCTab Tab(nullptr);
  // C1-N2=O3: deleting N joins C and O with N's bond to O.
  Fill(Tab, {6, 7, 8}, {{1, 2, 1}, {2, 3, 2}});
  Tab.DeleteAtom(2);
  ASSERT_EQ(Tab.NAtoms, 2);
  EXPECT_EQ(Tab.AtNum(2), 8);
  EXPECT_EQ(Slots(Tab, 1), "2:2");
  EXPECT_EQ(Slots(Tab, 2), "1:1");  // O takes C's bond to N
  EXPECT_EQ(Tab.AtomEntries(3).AtNum, 0);

  // Chain 1-2-3-4 with atom 4 a chlorine: deleting 2 moves atom 4 to index 2.
  Fill(Tab, {6, 6, 6, 17}, {{1, 2, 1}, {2, 3, 1}, {3, 4, 1}});
  CTElem Shown = Tab.AtomEntries(2);
  Shown.AtDispAtb = 0x00FF;
  Tab.SetAtomEntries(2, Shown);
  Tab.DeleteAtom(2);
  ASSERT_EQ(Tab.NAtoms, 3);
  EXPECT_EQ(Tab.AtNum(2), 17);
  EXPECT_EQ(Tab.AtomEntries(2).AtDispAtb, 0x00FFu);  // the index keeps its display attributes
  EXPECT_EQ(Slots(Tab, 1), "3:1");
  EXPECT_EQ(Slots(Tab, 3), "1:1 2:1");
  EXPECT_EQ(Slots(Tab, 2), "3:1");

  // A partner reached twice keeps its first slot: in the triangle the bridged single bond
  // takes the freed first slot, before the double bond. A terminal atom is just removed.
  Fill(Tab, {6, 6, 6}, {{1, 2, 1}, {2, 3, 1}, {1, 3, 2}});
  Tab.DeleteAtom(2);
  EXPECT_EQ(Slots(Tab, 1), "2:1");
  EXPECT_EQ(Slots(Tab, 2), "1:1");
  Tab.DeleteAtom(2);
  EXPECT_EQ(Slots(Tab, 1), "");
  Tab.DeleteAtom(5);
  Tab.DeleteAtom(1);
  EXPECT_EQ(Tab.NAtoms, 0);
  Tab.DeleteAtom(1);
  EXPECT_EQ(Tab.NAtoms, 0);
}

TEST(CTab, RemoveHydrogenReexaminesMovedAtoms) {
  TCTab Tab(nullptr);
  Fill(Tab, {1, 6, 1, 1, 1}, {{1, 2, 1}, {2, 3, 1}, {2, 4, 1}, {2, 5, 1}});
  EXPECT_EQ(Tab.NrHAtoms(2), 4);
  Tab.RemoveHydrogen();
  ASSERT_EQ(Tab.NAtoms, 1);
  EXPECT_EQ(Tab.AtNum(1), 6);
  EXPECT_EQ(Tab.NBonds(1), 0);
  EXPECT_EQ(Tab.NrHAtoms(1), 4);
}

TEST(CTab, CountsOverAtoms) {
  TCTab Tab(nullptr);
  int32_t At = 99;
  EXPECT_EQ(Tab.MaxNBonds(At), 0);
  EXPECT_EQ(At, 99);
  Fill(Tab, {6, 6, 8, 8, 7}, {{1, 2, 1}, {2, 3, 1}, {2, 4, 2}});
  EXPECT_EQ(Tab.MaxNBonds(At), 3);
  EXPECT_EQ(At, 2);
  EXPECT_EQ(Tab.AtomCount(8), 2);
  EXPECT_EQ(Tab.AtomCount(9), 0);
  EXPECT_TRUE(Tab.ContainsUnconnectedAtom());
  Tab.DeleteAtom(5);
  EXPECT_FALSE(Tab.ContainsUnconnectedAtom());
}

TEST(CTab, CopyFromAndCompareWith) {
  TCTab A(nullptr), B(nullptr);
  Fill(A, {6, 8}, {{1, 2, 2}});
  A.SetStrucName("Formaldehyde");
  A.BinCASNr = 50000;
  A.CoordUnits = cuAngstrom;
  CTElem Shown = B.AtomEntries(1);
  B.NAtoms = 1;
  Shown.AtDispAtb = 7;
  B.SetAtomEntries(1, Shown);
  int Changes = 0;
  B.OnChange = [&Changes](TObject*) { ++Changes; };
  B.CopyFrom(A);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(B.CompareWith(A), 0);
  EXPECT_EQ(B.AtomEntries(1).AtDispAtb, 7u);
  B.SetStrucName("FORMALDEHYDE");
  EXPECT_EQ(B.CompareWith(A), 0);

  struct {
    void (*Change)(TCTab&);
    uint16_t Flags;
  } const Cases[] = {
      {[](TCTab& T) { T.NAtoms = 1; }, 0x0001 | 0x0010 | 0x0020 | 0x1000 | 0x2000},
      {[](TCTab& T) { T.SetStrucName("Methanal"); }, 0x0002},
      {[](TCTab& T) { T.CoordUnits = cuPixel; }, 0x0004},
      {[](TCTab& T) { T.BinCASNr = 0; }, 0x0008},
      {[](TCTab& T) { T.SetAtNum(2, 16); }, 0x0010},
      {[](TCTab& T) { T.SetAtWeight(2, 18); }, 0x0020},
      {[](TCTab& T) { T.SetAtFlag(2, 1); }, 0x0040},
      {[](TCTab& T) { T.SetAttrib(2, 1); }, 0x0080},
      {[](TCTab& T) { T.SetCharge(2, -1); }, 0x0100},
      {[](TCTab& T) { T.SetAtCoords(1, 1, 1); }, 0x0200},
      {[](TCTab& T) { T.SetAtCoords(1, 2, 1); }, 0x0400},
      {[](TCTab& T) { T.SetAtCoords(1, 3, 1); }, 0x0800},
      {[](TCTab& T) { T.SetAtConnTo(1, 2, 5); }, 0x1000},
      {[](TCTab& T) { T.SetAtTypConn(1, 1, 1); }, 0x2000},
  };
  for (const auto& C : Cases) {
    B.CopyFrom(A);
    C.Change(B);
    EXPECT_EQ(B.CompareWith(A), C.Flags) << std::hex << C.Flags;
  }
}

TEST(CTab, JoinFragmentMergesByLabel) {
  TCTab Tab(nullptr), Frag(nullptr);
  Fill(Tab, {6, 6, 6}, {{1, 2, 1}, {2, 3, 1}});
  Tab.SetAtFlag(3, 5);
  // Fragment: a labelled nitrogen bonded to an oxygen and a carbon, and an atom whose label
  // the table lacks.
  Fill(Frag, {7, 8, 6, 17}, {{1, 2, 2}, {1, 3, 1}, {3, 4, 1}});
  Frag.SetAtFlag(1, 5);
  Frag.SetAtFlag(4, 9);
  TCTab Before(nullptr);
  Before.CopyFrom(Frag);
  Tab.JoinFragment(Frag);
  EXPECT_EQ(Frag.CompareWith(Before), 0);
  ASSERT_EQ(Tab.NAtoms, 5);
  EXPECT_EQ(Tab.AtNum(3), 7);       // the labelled atom takes the fragment's element
  EXPECT_EQ(Tab.AtFlag(3), 5);
  EXPECT_EQ(Slots(Tab, 3), "2:1 4:2 5:1");
  EXPECT_EQ(Slots(Tab, 4), "3:2");
  EXPECT_EQ(Slots(Tab, 5), "3:1");  // its bond to the dropped chlorine is gone
  EXPECT_EQ(Tab.AtomCount(17), 0);
}

TEST(CTab, JoinFragmentStopsAtTheTableLimit) {
  TCTab Tab(nullptr), Frag(nullptr);
  Fill(Tab, std::vector<uint8_t>(62, 6), {});
  Fill(Frag, {8, 8, 8}, {{1, 2, 1}, {2, 3, 1}});
  Tab.JoinFragment(Frag);
  ASSERT_EQ(Tab.NAtoms, 63);
  EXPECT_EQ(Slots(Tab, 63), "");  // its partner did not fit
}

TEST(CTab, LinkFragmentAppendsAndBondsByLabel) {
  TCTab Tab(nullptr), Frag(nullptr);
  Fill(Tab, {6, 6}, {{1, 2, 1}});
  Tab.SetAtFlag(2, 3);
  Fill(Frag, {8, 1}, {{1, 2, 1}});
  Frag.SetAtFlag(1, 3);
  CTElem Shown = Frag.AtomEntries(2);
  Shown.AtDispAtb = 42;
  Frag.SetAtomEntries(2, Shown);
  Tab.LinkFragment(Frag);
  ASSERT_EQ(Tab.NAtoms, 4);
  EXPECT_EQ(Slots(Tab, 2), "1:1 3:1");
  EXPECT_EQ(Slots(Tab, 3), "4:1 2:1");
  EXPECT_EQ(Tab.AtomEntries(4).AtDispAtb, 42u);
  EXPECT_EQ(Frag.NAtoms, 2);
  Tab.LinkFragment(Tab);  // itself
  EXPECT_EQ(Tab.NAtoms, 8);
  EXPECT_EQ(Slots(Tab, 7), "8:1 6:1 2:1 3:1");  // copies of labelled atoms carry the label

  TCTab Big(nullptr);
  Fill(Big, std::vector<uint8_t>(56, 6), {});
  Big.LinkFragment(Tab);  // 64 atoms would not fit
  EXPECT_EQ(Big.NAtoms, 56);
}

TEST(CTab, CentreExtentsAndSearches) {
  TCTab Tab(nullptr);
  double MinX, MinY, MaxX, MaxY, CX, CY, X, Y, Z;
  EXPECT_EQ(Tab.CalcMolExtents(MinX, MinY, MaxX, MaxY, CX, CY), 0);
  EXPECT_EQ(std::vector<double>({MinX, MinY, MaxX, MaxY, CX, CY}),
            std::vector<double>({1, 1, 10000, 7000, 5000, 3500}));
  Tab.CalcMolCenter(X, Y, Z);
  EXPECT_EQ(X + Y + Z, 0);
  int32_t Closest = 5;
  double Dist = 0;
  Tab.FindClosestAtom(0, 0, 0, Closest, Dist);
  EXPECT_EQ(Closest, 0);
  EXPECT_EQ(Dist, DBL_MAX);
  EXPECT_EQ(Tab.FindAtomInBox(0, 0, 0, 1e9, 1e9, 1e9), -1);

  // Three atoms at (100, 200), (130, 240), (160, 200), bonded 1-2-3.
  Fill(Tab, {6, 6, 6}, {{1, 2, 1}, {2, 3, 1}});
  const double At[3][3] = {{100, 200, 0}, {130, 240, 0}, {160, 200, 6}};
  for (int32_t I = 1; I <= 3; ++I)
    for (int32_t D = 1; D <= 3; ++D) Tab.SetAtCoords(I, D, At[I - 1][D - 1]);
  EXPECT_DOUBLE_EQ(Tab.CalcMolExtents(MinX, MinY, MaxX, MaxY, CX, CY), 50);
  EXPECT_EQ(std::vector<double>({MinX, MinY, MaxX, MaxY}), std::vector<double>({100, 200, 160, 240}));
  EXPECT_NEAR(CX, 130, 1e-4);
  EXPECT_NEAR(CY, 213.3333, 1e-4);
  Tab.CalcMolCenter(X, Y, Z);
  EXPECT_DOUBLE_EQ(Z, 2);
  EXPECT_EQ(Tab.FindAtomInBox(130, 220, 0, 40, 40, 10), 3);  // the highest index inside
  EXPECT_EQ(Tab.FindAtomInBox(130, 220, 0, 40, 40, 5), 2);
  Tab.FindClosestAtom(130, 200, 0, Closest, Dist);
  EXPECT_EQ(Closest, 1);  // atom 3 is as far in the plane, but off it in z
  EXPECT_DOUBLE_EQ(Dist, 30);
}

// Signed volume of atoms 1, 2, 4 and 5: its sign is the structure's handedness.
double Handedness(const TCTab& T) {
  const int32_t Others[3] = {2, 4, 5};
  double V[3][3];
  for (int32_t I = 0; I < 3; ++I)
    for (int32_t D = 0; D < 3; ++D) V[I][D] = T.AtCoords(Others[I], D + 1) - T.AtCoords(1, D + 1);
  return V[0][0] * (V[1][1] * V[2][2] - V[1][2] * V[2][1]) -
         V[0][1] * (V[1][0] * V[2][2] - V[1][2] * V[2][0]) +
         V[0][2] * (V[1][0] * V[2][1] - V[1][1] * V[2][0]);
}

TEST(CTab, RotateWithPCALaysTheMajorAxisAlongXAndKeepsTheShape) {
  TCTab Tab(nullptr);
  Fill(Tab, {6, 6, 6, 6, 6}, {});
  // A flat 400 x 100 rectangle turned by 30 degrees, one atom off the plane by 50.
  const double Angle = 30 * M_PI / 180;
  const double P[5][3] = {{-200, -50, 0}, {200, -50, 0}, {200, 50, 0}, {-200, 50, 0}, {0, 0, 50}};
  for (int32_t I = 1; I <= 5; ++I) {
    const double* Q = P[I - 1];
    Tab.SetAtCoords(I, 1, 1000 + Q[0] * std::cos(Angle) - Q[1] * std::sin(Angle));
    Tab.SetAtCoords(I, 2, 500 + Q[0] * std::sin(Angle) + Q[1] * std::cos(Angle));
    Tab.SetAtCoords(I, 3, Q[2]);
  }
  auto Distance = [&Tab](int32_t A, int32_t B) {
    double S = 0;
    for (int32_t D = 1; D <= 3; ++D) S += std::pow(Tab.AtCoords(A, D) - Tab.AtCoords(B, D), 2);
    return std::sqrt(S);
  };
  const double Before[] = {Distance(1, 2), Distance(2, 3), Distance(1, 5), Distance(3, 5)};
  const double Hand = Handedness(Tab);
  Tab.RotateWithPCA();
  for (int32_t I = 1; I <= 5; ++I)
    for (int32_t D = 1; D <= 3; ++D)
      EXPECT_EQ(Tab.AtCoords(I, D), std::round(Tab.AtCoords(I, D)));
  // The long side now runs along x, the short one along y.
  EXPECT_NEAR(std::fabs(Tab.AtCoords(2, 1) - Tab.AtCoords(1, 1)), 400, 1.5);
  EXPECT_NEAR(Tab.AtCoords(2, 2), Tab.AtCoords(1, 2), 1.5);
  EXPECT_NEAR(std::fabs(Tab.AtCoords(3, 2) - Tab.AtCoords(2, 2)), 100, 1.5);
  const double After[] = {Distance(1, 2), Distance(2, 3), Distance(1, 5), Distance(3, 5)};
  for (int32_t K = 0; K < 4; ++K) EXPECT_NEAR(After[K], Before[K], 1.5) << K;
  EXPECT_GT(Handedness(Tab) * Hand, 0);
  EXPECT_EQ(std::fabs(Tab.AtCoords(5, 3)), 50);

  TCTab One(nullptr);
  Fill(One, {6}, {});
  One.SetAtCoords(1, 1, 12.25);
  One.RotateWithPCA();
  EXPECT_DOUBLE_EQ(One.AtCoords(1, 1), 12.25);
}

} // namespace
