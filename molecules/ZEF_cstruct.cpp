// TCTab: atom fields, whole-table operations, bond editing and fragments. Geometry,
// hydrogens, formula and weight are in cstruct_analysis.cpp.
#include "ZEF_cstruct.h"

#include <algorithm>
#include <memory>

#include "rtl/strings.h"

namespace zef {

namespace {

// Rewrites the bond slots of A: Map(partner, kept) gives each occupied slot's new partner, 0
// to drop the slot (kept is the number of slots kept before it, which stand at A's front).
// The kept slots are packed to the front in their order; the result is how many there are.
template <class TMap>
int32_t RewriteSlots(CTElem& A, TMap Map) {
  int32_t Kept = 0;
  for (int32_t J = 1; J <= MaxConn; ++J) {
    if (A.ConnTo[J] == 0) continue;
    const int32_t Partner = Map(A.ConnTo[J], Kept);
    if (Partner == 0) continue;
    ++Kept;
    A.TypConn[Kept] = A.TypConn[J];
    A.ConnTo[Kept] = static_cast<uint8_t>(Partner);
  }
  for (int32_t J = Kept + 1; J <= MaxConn; ++J) A.ConnTo[J] = A.TypConn[J] = 0;
  return Kept;
}

} // namespace

void ClearCTElem(CTElem& Elem) { Elem = CTElem(); }

TCTab::TCTab(TComponent* AOwner) : TComponent(AOwner) {}

int32_t TCTab::Count() const { return std::clamp(NAtoms, 0, MaxNAtoms); }

void TCTab::Changed() {
  if (OnChange) OnChange(this);
}

void TCTab::SetCASNr(const std::string& Value) {
  int32_t Number;
  if (ConvertStrToCASNr(Value, Number)) BinCASNr = Number;
  Changed();
}

bool TCTab::CoordinatesPresent() const {
  for (int32_t I = 1; I <= Count(); ++I)
    for (float C : Atom(I).Coords)
      if (C != 0) return true;
  return false;
}

void TCTab::SetCoordinatesPresent(bool Value) {
  if (Value) return;
  for (int32_t I = 1; I <= Count(); ++I) Atom(I).Coords = {};
  Changed();
}

// ---- Atom fields -------------------------------------------------------------------------------

template <class T>
T TCTab::GetField(int32_t AtIx, T CTElem::*Field) const {
  return Valid(AtIx) ? Atom(AtIx).*Field : T();
}

template <class T>
void TCTab::SetField(int32_t AtIx, T CTElem::*Field, T Value) {
  if (!Valid(AtIx)) return;
  Atom(AtIx).*Field = Value;
  Changed();
}

uint8_t TCTab::AtNum(int32_t AtIx) const { return GetField(AtIx, &CTElem::AtNum); }
uint8_t TCTab::AtWeight(int32_t AtIx) const { return GetField(AtIx, &CTElem::AtWeight); }
uint8_t TCTab::AtFlag(int32_t AtIx) const { return GetField(AtIx, &CTElem::AtFlag); }
uint8_t TCTab::AtAttrib(int32_t AtIx) const { return GetField(AtIx, &CTElem::Attrib); }
int8_t TCTab::AtCharge(int32_t AtIx) const { return GetField(AtIx, &CTElem::Charge); }

void TCTab::SetAtNum(int32_t AtIx, uint8_t Value) {
  if (Value >= 1 && Value <= 103) SetField(AtIx, &CTElem::AtNum, Value);
}
void TCTab::SetAtWeight(int32_t AtIx, uint8_t Value) { SetField(AtIx, &CTElem::AtWeight, Value); }
void TCTab::SetAtFlag(int32_t AtIx, uint8_t Value) { SetField(AtIx, &CTElem::AtFlag, Value); }
void TCTab::SetAttrib(int32_t AtIx, uint8_t Value) { SetField(AtIx, &CTElem::Attrib, Value); }
void TCTab::SetCharge(int32_t AtIx, int8_t Value) { SetField(AtIx, &CTElem::Charge, Value); }

uint8_t TCTab::AtConnTo(int32_t AtIx, int32_t ConnIx) const {
  return Valid(AtIx) && ConnIx >= 1 && ConnIx <= MaxConn ? Atom(AtIx).ConnTo[ConnIx] : 0;
}

void TCTab::SetAtConnTo(int32_t AtIx, int32_t ConnIx, uint8_t Value) {
  if (!Valid(AtIx) || ConnIx < 1 || ConnIx > MaxConn) return;
  Atom(AtIx).ConnTo[ConnIx] = Value;
  Changed();
}

uint8_t TCTab::AtTypConn(int32_t AtIx, int32_t ConnIx) const {
  return Valid(AtIx) && ConnIx >= 1 && ConnIx <= MaxConn ? Atom(AtIx).TypConn[ConnIx] : 0;
}

void TCTab::SetAtTypConn(int32_t AtIx, int32_t ConnIx, uint8_t Value) {
  if (!Valid(AtIx) || ConnIx < 1 || ConnIx > MaxConn) return;
  Atom(AtIx).TypConn[ConnIx] = Value;
  Changed();
}

double TCTab::AtCoords(int32_t AtIx, int32_t DimIx) const {
  return Valid(AtIx) && DimIx >= 1 && DimIx <= 3 ? Atom(AtIx).Coords[DimIx] : 0;
}

void TCTab::SetAtCoords(int32_t AtIx, int32_t DimIx, double Value) {
  if (!Valid(AtIx) || DimIx < 1 || DimIx > 3) return;
  Atom(AtIx).Coords[DimIx] = static_cast<float>(Value);
  Changed();
}

CTElem TCTab::AtomEntries(int32_t AtIx) const { return Valid(AtIx) ? Atom(AtIx) : CTElem(); }

void TCTab::SetAtomEntries(int32_t AtIx, const CTElem& Value) {
  if (!Valid(AtIx)) return;
  Atom(AtIx) = Value;
  Changed();
}

int32_t TCTab::NBonds(int32_t AtIx) const {
  if (!Valid(AtIx)) return 0;
  const BondListType& Conn = Atom(AtIx).ConnTo;
  return static_cast<int32_t>(std::count_if(Conn.begin(), Conn.end(), [](uint8_t P) { return P != 0; }));
}

// ---- Whole table ---------------------------------------------------------------------------------

void TCTab::Clear() {
  NAtoms = 0;
  FStrucName.clear();
  CoordUnits = cuUnknown;
  BinCASNr = 0;
  FAtoms.fill(CTElem());
  Changed();
}

void TCTab::ClearAttributes() {
  for (int32_t I = 1; I <= Count(); ++I) Atom(I).Attrib = 0;
}

void TCTab::CopyFrom(const TCTab& CTabSource) {
  NAtoms = CTabSource.NAtoms;
  FStrucName = CTabSource.FStrucName;
  CoordUnits = CTabSource.CoordUnits;
  BinCASNr = CTabSource.BinCASNr;
  for (std::size_t I = 0; I < FAtoms.size(); ++I) {
    const uint32_t Display = FAtoms[I].AtDispAtb;
    FAtoms[I] = CTabSource.FAtoms[I];
    FAtoms[I].AtDispAtb = Display;
  }
  Changed();
}

uint16_t TCTab::CompareWith(const TCTab& CTabSource) const {
  uint16_t Flags = 0;
  if (NAtoms != CTabSource.NAtoms) Flags |= 0x0001;
  if (!SameText(FStrucName, CTabSource.FStrucName)) Flags |= 0x0002;
  if (CoordUnits != CTabSource.CoordUnits) Flags |= 0x0004;
  if (BinCASNr != CTabSource.BinCASNr) Flags |= 0x0008;
  const CTElem Cleared;
  for (int32_t I = 1; I <= MaxNAtoms; ++I) {
    const CTElem& A = I <= Count() ? Atom(I) : Cleared;
    const CTElem& B = I <= CTabSource.Count() ? CTabSource.Atom(I) : Cleared;
    if (A.AtNum != B.AtNum) Flags |= 0x0010;
    if (A.AtWeight != B.AtWeight) Flags |= 0x0020;
    if (A.AtFlag != B.AtFlag) Flags |= 0x0040;
    if (A.Attrib != B.Attrib) Flags |= 0x0080;
    if (A.Charge != B.Charge) Flags |= 0x0100;
    if (A.Coords[1] != B.Coords[1]) Flags |= 0x0200;
    if (A.Coords[2] != B.Coords[2]) Flags |= 0x0400;
    if (A.Coords[3] != B.Coords[3]) Flags |= 0x0800;
    if (A.ConnTo != B.ConnTo) Flags |= 0x1000;
    if (A.TypConn != B.TypConn) Flags |= 0x2000;
  }
  return Flags;
}

// ---- Editing -------------------------------------------------------------------------------------

bool TCTab::AddAtom(const CTElem& AtomRec) {
  if (Count() >= MaxNAtoms) return false;
  NAtoms = Count() + 1;
  CTElem& New = Atom(NAtoms);
  New.AtNum = AtomRec.AtNum;
  New.AtWeight = AtomRec.AtWeight;
  New.AtFlag = AtomRec.AtFlag;
  New.Attrib = AtomRec.Attrib;
  New.Charge = AtomRec.Charge;
  New.Coords = AtomRec.Coords;
  New.ConnTo = {};
  New.TypConn = {};
  for (int32_t J = 1; J <= MaxConn; ++J)
    if (AtomRec.ConnTo[J] != 0) EnterConn(NAtoms, AtomRec.ConnTo[J], AtomRec.TypConn[J]);
  return true;
}

void TCTab::EnterConn(int32_t AtIx, int32_t Connto, int32_t TypConn) {
  if (!Valid(AtIx) || Connto < 1 || Connto > MaxNAtoms || Connto == AtIx || TypConn < 0 ||
      TypConn > 255)
    return;
  CTElem& A = Atom(AtIx);
  for (int32_t J = 1; J <= MaxConn; ++J) {
    if (A.ConnTo[J] == Connto || A.ConnTo[J] == 0) {
      A.ConnTo[J] = static_cast<uint8_t>(Connto);
      A.TypConn[J] = static_cast<uint8_t>(TypConn);
      return;
    }
  }
}

bool TCTab::HasRoomFor(int32_t AtIx, int32_t Partner) const {
  const BondListType& Conn = Atom(AtIx).ConnTo;
  return std::any_of(Conn.begin(), Conn.end(), [Partner](uint8_t P) { return P == 0 || P == Partner; });
}

void TCTab::MakeSymmetricConnections() {
  for (int32_t I = 1; I <= Count(); ++I)
    for (int32_t J = 1; J <= MaxConn; ++J) {
      const int32_t Partner = Atom(I).ConnTo[J];
      if (Partner != 0) EnterConn(Partner, I, Atom(I).TypConn[J]);
    }
}

bool TCTab::RemoveSlots(int32_t AtIx, int32_t Partner) {
  const int32_t Before = NBonds(AtIx);
  return RewriteSlots(Atom(AtIx), [Partner](uint8_t P, int32_t) { return P == Partner ? 0 : P; }) < Before;
}

bool TCTab::MakeConnection(int32_t At1, int32_t At2, uint8_t CType) {
  if (!Valid(At1) || !Valid(At2) || At1 == At2) return false;
  if (CType == 0) {
    const bool Found1 = RemoveSlots(At1, At2);
    const bool Found2 = RemoveSlots(At2, At1);
    return Found1 || Found2;
  }
  // A bond recorded on one side only would be reported as made: refuse it instead.
  if (!HasRoomFor(At1, At2) || !HasRoomFor(At2, At1)) return false;
  EnterConn(At1, At2, CType);
  EnterConn(At2, At1, CType);
  return true;
}

uint8_t TCTab::CheckConnect(int32_t At1, int32_t At2) const {
  if (!Valid(At1)) return 0;
  uint8_t Type = 0;
  const CTElem& A = Atom(At1);
  for (int32_t J = 1; J <= NBonds(At1); ++J)
    if (A.ConnTo[J] == At2) Type = A.TypConn[J];
  return Type;
}

void TCTab::DeleteAtom(int32_t AtomNr) {
  if (!Valid(AtomNr)) return;
  const int32_t Last = Count();
  const CTElem Gone = Atom(AtomNr);
  // 1. Every atom bonded to the deleted one takes over its other bonds, in its first free
  // slots (bonds that no longer fit are dropped).
  for (int32_t I = 1; I <= Last; ++I) {
    if (I == AtomNr) continue;
    CTElem& A = Atom(I);
    bool Listed = false;
    for (int32_t J = 1; J <= MaxConn; ++J)
      if (A.ConnTo[J] == AtomNr) {
        A.ConnTo[J] = A.TypConn[J] = 0;
        Listed = true;
      }
    if (!Listed) continue;
    for (int32_t K = 1; K <= MaxConn; ++K) {
      const int32_t C = Gone.ConnTo[K];
      if (C == 0 || C == I || C == AtomNr || !Valid(C)) continue;
      for (int32_t J = 1; J <= MaxConn; ++J)
        if (A.ConnTo[J] == 0) {
          A.ConnTo[J] = static_cast<uint8_t>(C);
          A.TypConn[J] = Gone.TypConn[K];
          break;
        }
    }
  }
  // 2. and 3. The last atom moves into the freed index, keeping the display attributes the
  // index had, and the references to it follow.
  if (AtomNr != Last) {
    const uint32_t Display = Atom(AtomNr).AtDispAtb;
    Atom(AtomNr) = Atom(Last);
    Atom(AtomNr).AtDispAtb = Display;
  }
  Atom(Last) = CTElem();
  NAtoms = Last - 1;
  for (int32_t I = 1; I <= NAtoms; ++I)
    for (uint8_t& P : Atom(I).ConnTo)
      if (P == Last) P = static_cast<uint8_t>(AtomNr);
  // 4. A partner named twice keeps its first slot; the slots are packed to the front.
  for (int32_t I = 1; I <= NAtoms; ++I) {
    CTElem& A = Atom(I);
    RewriteSlots(A, [&A](uint8_t P, int32_t Kept) {
      return std::find(A.ConnTo.begin(), A.ConnTo.begin() + Kept, P) == A.ConnTo.begin() + Kept ? P : 0;
    });
  }
}

void TCTab::RemoveHydrogen() {
  for (int32_t I = 1; I <= Count();)
    if (Atom(I).AtNum == 1)
      DeleteAtom(I);
    else
      ++I;
}

int32_t TCTab::MaxNBonds(int32_t& AtIx) const {
  int32_t Max = 0;
  for (int32_t I = 1; I <= Count(); ++I) {
    const int32_t N = NBonds(I);
    if (I == 1 || N > Max) {
      Max = N;
      AtIx = I;
    }
  }
  return Max;
}

int32_t TCTab::AtomCount(uint8_t AtNum) const {
  int32_t N = 0;
  for (int32_t I = 1; I <= Count(); ++I) N += Atom(I).AtNum == AtNum;
  return N;
}

bool TCTab::ContainsUnconnectedAtom() const {
  for (int32_t I = 1; I <= Count(); ++I)
    if (NBonds(I) == 0) return true;
  return false;
}

// ---- Fragments -------------------------------------------------------------------------------------

void TCTab::JoinFragment(const TCTab& CTabSource) {
  auto Fragment = std::make_unique<TCTab>(nullptr);
  Fragment->CopyFrom(CTabSource);
  const int32_t N = Fragment->Count();
  // Target index of each fragment atom; 0 drops the atom and its bonds.
  std::array<int32_t, MaxNAtoms + 1> Target{};
  int32_t Next = Count();
  for (int32_t I = 1; I <= N; ++I) {
    const uint8_t Label = Fragment->Atom(I).AtFlag;
    if (Label == 0) {
      ++Next;
      Target[I] = Next <= MaxNAtoms ? Next : 0;
    } else {
      for (int32_t K = Count(); K >= 1 && Target[I] == 0; --K)
        if (Atom(K).AtFlag == Label) Target[I] = K;
    }
  }
  for (int32_t I = 1; I <= N; ++I)
    RewriteSlots(Fragment->Atom(I), [&Target, N](uint8_t P, int32_t) { return P <= N ? Target[P] : 0; });
  for (int32_t I = 1; I <= N; ++I) {
    const CTElem& A = Fragment->Atom(I);
    if (Target[I] == 0) continue;
    if (Target[I] > Count()) {
      AddAtom(A);
      continue;
    }
    CTElem& Old = Atom(Target[I]);
    Old.AtNum = A.AtNum;
    Old.AtWeight = A.AtWeight;
    Old.Charge = A.Charge;
    for (int32_t J = 1; J <= MaxConn; ++J)
      if (A.ConnTo[J] != 0) EnterConn(Target[I], A.ConnTo[J], A.TypConn[J]);
  }
}

void TCTab::LinkFragment(const TCTab& CtabSource) {
  const int32_t Old = Count();
  const int32_t N = CtabSource.Count();
  if (Old + N > MaxNAtoms) return;
  // A copy first: the source may be this table.
  const std::array<CTElem, MaxNAtoms> Source = CtabSource.FAtoms;
  for (int32_t I = 1; I <= N; ++I) {
    CTElem& A = Atom(Old + I);
    A = Source[static_cast<std::size_t>(I - 1)];
    RewriteSlots(A, [Old, N](uint8_t P, int32_t) { return P <= N ? P + Old : 0; });
  }
  NAtoms = Old + N;
  for (int32_t I = 1; I <= Old; ++I) {
    const uint8_t Label = Atom(I).AtFlag;
    if (Label == 0) continue;
    for (int32_t K = Old + 1; K <= NAtoms; ++K)
      if (Atom(K).AtFlag == Label) {
        EnterConn(I, K, btSingle);
        EnterConn(K, I, btSingle);
      }
  }
}

} // namespace zef
