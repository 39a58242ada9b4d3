// TCTab: geometric queries, the principal-axis rotation, hydrogen counts, formula and weight.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include "ZEF_cstruct.h"
#include "ZEF_math2.h"
#include "ZEF_matrix.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {

constexpr uint8_t kHydrogen = 1;
constexpr uint8_t kBoron = 5;
constexpr uint8_t kCarbon = 6;
constexpr uint8_t kNitrogen = 7;
constexpr uint8_t kSilicon = 14;
constexpr uint8_t kPhosphorus = 15;
constexpr uint8_t kGermanium = 32;

// The standard valence used to fill in implicit hydrogens; 0 for elements without one.
int32_t StandardValence(uint8_t Z) {
  switch (Z) {
    case 1: case 9: case 17: case 35: case 53: return 1;  // H, F, Cl, Br, I
    case 8: case 16: return 2;                            // O, S
    case 5: case 7: case 15: return 3;                    // B, N, P
    case 6: case 14: case 32: return 4;                   // C, Si, Ge
    default: return 0;
  }
}

// The valence of an atom with a formal charge: the element's standard valence for the outer
// electrons it has once charged. With four or more outer electrons (N, O, P, S, halogens)
// each positive charge adds a bond (N+ like C, O+ like N) and each negative one takes one
// away (O- like F); boron and the carbon group have fewer than four, so a positive charge
// takes a bond away (C+ like B) and a negative one adds a bond until the octet's middle is
// passed (B- like C, C- like N).
int32_t ChargedValence(uint8_t Z, int32_t Valence, int32_t Charge) {
  if (Valence == 0) return 0;
  if (Z != kBoron && Z != kCarbon && Z != kSilicon && Z != kGermanium) return Valence + Charge;
  const int32_t Outer = (Z == kBoron ? 3 : 4) - Charge;
  return Outer <= 4 ? Outer : 8 - Outer;
}

// The bond order a bond type adds to an atom's valence: single, double and triple bonds
// theirs, an aromatic bond 1, and any other type (query types) 1 like a single bond.
int32_t BondOrder(uint8_t Type) { return Type == btDouble ? 2 : Type == btTriple ? 3 : 1; }

} // namespace

// ---- Geometry --------------------------------------------------------------------------------

void TCTab::CalcMolCenter(double& spx, double& spy, double& spz) const {
  spx = spy = spz = 0;
  const int32_t N = Count();
  if (N == 0) return;
  for (int32_t I = 1; I <= N; ++I) {
    spx += Atom(I).Coords[1];
    spy += Atom(I).Coords[2];
    spz += Atom(I).Coords[3];
  }
  spx /= N;
  spy /= N;
  spz /= N;
}

double TCTab::CalcMolExtents(double& MinX, double& MinY, double& MaxX, double& MaxY,
                             double& CentX, double& CentY) const {
  const int32_t N = Count();
  if (N <= 1) {
    MinX = 1;
    MaxX = 10000;
    MinY = 1;
    MaxY = 7000;
    CentX = 5000;
    CentY = 3500;
    return 0;
  }
  MinX = 10000;
  MaxX = 0;
  MinY = 7000;
  MaxY = 0;
  float SumX = 0;
  float SumY = 0;
  double SumLength = 0;
  int32_t Bonds = 0;
  for (int32_t I = 1; I <= N; ++I) {
    const CTElem& A = Atom(I);
    MinX = std::min(MinX, static_cast<double>(A.Coords[1]));
    MaxX = std::max(MaxX, static_cast<double>(A.Coords[1]));
    MinY = std::min(MinY, static_cast<double>(A.Coords[2]));
    MaxY = std::max(MaxY, static_cast<double>(A.Coords[2]));
    SumX += A.Coords[1];
    SumY += A.Coords[2];
    for (uint8_t P : A.ConnTo) {
      if (!Valid(P)) continue;
      SumLength += std::hypot(static_cast<double>(A.Coords[1]) - Atom(P).Coords[1],
                              static_cast<double>(A.Coords[2]) - Atom(P).Coords[2]);
      ++Bonds;
    }
  }
  CentX = SumX / static_cast<float>(N);
  CentY = SumY / static_cast<float>(N);
  return Bonds > 0 ? SumLength / Bonds : 0;
}

int32_t TCTab::FindAtomInBox(double x, double y, double z, double XRange, double YRange,
                             double ZRange) const {
  for (int32_t I = Count(); I >= 1; --I) {
    const CTElem& A = Atom(I);
    if (std::fabs(A.Coords[1] - x) <= XRange && std::fabs(A.Coords[2] - y) <= YRange &&
        std::fabs(A.Coords[3] - z) <= ZRange)
      return I;
  }
  return -1;
}

void TCTab::FindClosestAtom(double x, double y, double z, int32_t& ClosestAtom,
                            double& Dist) const {
  Dist = DBL_MAX;
  ClosestAtom = 0;
  for (int32_t I = 1; I <= Count(); ++I) {
    const CTElem& A = Atom(I);
    const double D = std::sqrt((A.Coords[1] - x) * (A.Coords[1] - x) +
                               (A.Coords[2] - y) * (A.Coords[2] - y) +
                               (A.Coords[3] - z) * (A.Coords[3] - z));
    if (D < Dist) {
      Dist = D;
      ClosestAtom = I;
    }
  }
}

void TCTab::RotateWithPCA() {
  const int32_t N = Count();
  // The analysis sees x and y only (column 3 stays 0), about their mean.
  TMatrix Data(3, N);
  for (int32_t I = 1; I <= N; ++I) {
    Data.SetVal(1, I, Atom(I).Coords[1]);
    Data.SetVal(2, I, Atom(I).Coords[2]);
  }
  if (!CalcPrincComp(Data, 1, 3, 1, N, pcsCentered)) return;
  // The axes form a right-handed orthonormal set, so projecting all three coordinates onto
  // them is a rotation: the in-plane axes have no z component, and the third axis is z itself,
  // turned round where the in-plane axes needed a mirror.
  for (int32_t I = 1; I <= N; ++I) {
    CTElem& A = Atom(I);
    const double Old[3] = {A.Coords[1], A.Coords[2], A.Coords[3]};
    for (int32_t Axis = 1; Axis <= 3; ++Axis) {
      double Sum = 0;
      for (int32_t K = 1; K <= 3; ++K) Sum += Old[K - 1] * GetEigenResult(Axis, K);
      A.Coords[Axis] = static_cast<float>(Round(Sum));
    }
  }
}

// ---- Hydrogens, formula, weight ------------------------------------------------------------------

int32_t TCTab::NrHAtoms(int32_t AtIx) const {
  if (!Valid(AtIx)) return 0;
  const CTElem& A = Atom(AtIx);
  if (A.AtNum == kHydrogen) return 0;
  int32_t Hydrogens = 0;
  int32_t Aromatic = 0;
  int32_t Orders = 0;
  int32_t Partners = 0;
  bool TripleToLoneCarbon = false;
  for (int32_t J = 1; J <= MaxConn; ++J) {
    const int32_t P = A.ConnTo[J];
    if (P == 0) continue;
    ++Partners;
    const uint8_t Type = A.TypConn[J];
    Orders += BondOrder(Type);
    if (Type == btAromatic) Aromatic = 1;
    if (!Valid(P)) continue;
    if (Atom(P).AtNum == kHydrogen) ++Hydrogens;
    if (Type == btTriple && Atom(P).AtNum == kCarbon && NBonds(P) == 1) TripleToLoneCarbon = true;
  }
  const int32_t Valence = ChargedValence(A.AtNum, StandardValence(A.AtNum), A.Charge);
  if (Orders + Aromatic < Valence) return Valence + Hydrogens - Orders - Aromatic;
  // R-N#C: the terminal carbon was given a hydrogen above; H-C#N, whose nitrogen has no
  // other partner, and a charged R-[N+]#[C-] need no correction.
  if (A.AtNum == kNitrogen && A.Charge == 0 && TripleToLoneCarbon && Partners >= 2) return -1;
  if (A.AtNum == kPhosphorus && Orders == 4) return Hydrogens + 1;
  return Hydrogens;
}

int32_t TCTab::CalcMissingH() const {
  int32_t Sum = 0;
  for (int32_t I = 1; I <= Count(); ++I) {
    const CTElem& A = Atom(I);
    if (A.AtNum != kHydrogen) {
      Sum += NrHAtoms(I);
      continue;
    }
    // A hydrogen is counted by its partner; one without a partner of another element (H2,
    // H+) counts itself.
    const bool CountedByPartner = std::any_of(A.ConnTo.begin(), A.ConnTo.end(), [this](uint8_t P) {
      return Valid(P) && Atom(P).AtNum != kHydrogen;
    });
    if (!CountedByPartner) ++Sum;
  }
  return Sum;
}

bool TCTab::CalcMolecularFormula(TFormulaRec& BForm) const {
  struct TEntry {
    uint8_t AtNum, AtWgt;
    int32_t Count;
  };
  std::vector<TEntry> Entries;
  const int32_t Hydrogens = CalcMissingH();
  if (Hydrogens > 255) return false;
  if (Hydrogens > 0) Entries.push_back({kHydrogen, 1, Hydrogens});
  for (int32_t I = 1; I <= Count(); ++I) {
    const CTElem& A = Atom(I);
    if (A.AtNum == kHydrogen) continue;
    auto It = std::find_if(Entries.begin(), Entries.end(), [&A](const TEntry& E) {
      return E.AtNum == A.AtNum && E.AtWgt == A.AtWeight;
    });
    if (It != Entries.end()) {
      ++It->Count;
    } else {
      if (Entries.size() == MaxFormulaParts) return false;
      Entries.push_back({A.AtNum, A.AtWeight, 1});
    }
  }
  static constexpr uint8_t Order[] = {6, 1, 7, 8, 16, 15, 9, 17, 35, 53};
  std::vector<bool> Taken(Entries.size());
  TFormulaRec Form;
  auto Put = [&](std::size_t K) {
    ++Form.FLeng;
    Form.AtNum[Form.FLeng] = Entries[K].AtNum;
    Form.AtWgt[Form.FLeng] = Entries[K].AtWgt;
    Form.AtCnt[Form.FLeng] = static_cast<uint8_t>(Entries[K].Count);
    Taken[K] = true;
  };
  for (uint8_t Z : Order)
    for (std::size_t K = 0; K < Entries.size(); ++K)
      if (Entries[K].AtNum == Z) Put(K);
  for (std::size_t K = 0; K < Entries.size(); ++K)
    if (!Taken[K]) Put(K);
  BForm = Form;
  return true;
}

double TCTab::CalcChemMolWeight() const {
  double Weight = CalcMissingH() * ChemAtWeight(kHydrogen);
  for (int32_t I = 1; I <= Count(); ++I)
    if (Atom(I).AtNum != kHydrogen) Weight += ChemAtWeight(Atom(I).AtNum);
  return Weight;
}

} // namespace zef
