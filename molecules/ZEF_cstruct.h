// TCTab, the connection table of one chemical structure: up to 63 atoms, each with element,
// mass number, charge, up to ten bonds and a 3-D position, plus a name and a CAS registry
// number. It is edited atom by atom, answers geometric queries and computes hydrogen counts,
// the molecular formula and the molecular weight.
//
// Atom indexes run from 1 to NAtoms. Every accessor checks its index; a getter outside gives
// 0 (or a cleared record), a setter outside does nothing. A partner index stored in a bond
// slot is only followed when it names a valid atom. No operation raises.
//
// Change notification: Clear, CopyFrom, the array setters, SetCASNr and
// SetCoordinatesPresent(false) call Changed; the structural edits (AddAtom, DeleteAtom,
// RemoveHydrogen, MakeConnection, EnterConn, MakeSymmetricConnections, JoinFragment,
// LinkFragment), RotateWithPCA and writes of NAtoms do not, so code that edits through them
// calls Changed itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ZEF_CData.h"
#include "ZEF_cform.h"
#include "classes/object.h"

namespace zef {

// ---- Limits and records ----------------------------------------------------------------------

constexpr int32_t MaxNAtoms = 63;      // atoms of a table
constexpr int32_t MaxConn = 10;        // bonds of an atom
constexpr int32_t MaxRings = 100;      // rings of a ring list
constexpr int32_t MaxRingSize = 64;    // atoms of a ring

// Bond types of TypConn.
constexpr uint8_t btSingle = 1;
constexpr uint8_t btDouble = 2;
constexpr uint8_t btTriple = 3;
constexpr uint8_t btAromatic = 4;

// AtDispAtb of an atom without a colour of its own.
constexpr uint32_t NoAtomColor = 0x80000000u;

// Partner indexes (0 = empty slot; occupied slots stand at the front) or bond types.
using BondListType = TOneBasedArray<uint8_t, MaxConn>;

// One atom.
struct CTElem {
  uint8_t AtNum = 0;     // atomic number 1..103, 0 = no element
  uint8_t AtWeight = 0;  // mass number, 0 = not set
  uint8_t AtFlag = 0;    // free marker; the join label of JoinFragment and LinkFragment
  uint8_t Attrib = 0;    // structural attribute bits (or a query's required attributes)
  int8_t Charge = 0;     // formal charge
  BondListType ConnTo;   // partner indexes
  BondListType TypConn;  // bond type of the slot of the same number (btSingle ... btAromatic)
  TOneBasedArray<float, 3> Coords;  // x, y, z
  // Display attributes: bits 0..25 the colour, bits 28..30 a visibility 0..7, bit 31 set when
  // no colour is set.
  uint32_t AtDispAtb = NoAtomColor;
};

// Sets every field to 0 and AtDispAtb to NoAtomColor.
void ClearCTElem(CTElem& Elem);

// One flag per atom index.
using AtFlagType = TOneBasedArray<uint8_t, MaxNAtoms>;

struct AtListType {
  int32_t NrAtoms = 0;
  TOneBasedArray<int32_t, MaxNAtoms> AtList;
};

// A ring as its atom indexes in ring order.
struct RingType {
  uint8_t RingSize = 0;
  TOneBasedArray<uint8_t, MaxRingSize> AtList;
};

struct RingListType {
  int32_t NrOfRings = 0;
  TOneBasedArray<RingType, MaxRings> RList;
};

// A numeric data item of a structure record: a name of at most 15 single-byte characters and
// its value.
struct TPropRec {
  std::string ID;
  double Par = 0;
};
using TProps = TOneBasedArray<TPropRec, 20>;

// The unit of the coordinates; the table only stores it.
enum CoordUnitType : uint8_t { cuUnknown, cuPixel, cuNanoM, cuPicoM, cuAngstrom };

// Kinds of structural fragments that can be counted in a table.
enum FrgType : uint8_t {
  NSglBnd, NCCSgl, NDblBnd, NCCDbl, NTrplBnd, NCCTrpl, NAroBnd, NBranch, XCnt, COOH,
  COO, NO2, AnyCO, AroCl, AroBr, AnyOH, PhOH, NH2, NHR, NR2,
  NCON, CN, CONR2, CHO, COX, AnySO, OCH3, NO, NNH2
};

// Modes of a substructure comparison, for applications.
enum SSSMode : uint8_t { smSkeleton, smAtoms, smBonds, smAtomAndBonds };

// ---- The connection table ----------------------------------------------------------------------

class TCTab : public TComponent {
public:
  explicit TCTab(TComponent* AOwner);

  // CAS registry number without dashes; 0 = none.
  int32_t BinCASNr = 0;
  // Number of valid atoms (0..63). Values outside are read as the nearest of 0 and 63.
  int32_t NAtoms = 0;
  CoordUnitType CoordUnits = cuUnknown;
  TNotifyEvent OnChange;

  const std::string& StrucName() const { return FStrucName; }
  void SetStrucName(const std::string& Value) { FStrucName = Value; }
  // BinCASNr as "7732-18-5" ("0-00-0" for none). Setting takes a well-formed number with a
  // correct check digit (blanks around it allowed) and keeps BinCASNr otherwise; Changed is
  // called either way.
  std::string CASNr() const { return FormatCASNr(BinCASNr); }
  void SetCASNr(const std::string& Value);
  // The check-digit rule of CAS numbers applied to n.
  bool CheckCASNr(int32_t n) const { return zef::CheckCASNr(n); }
  // Whether any coordinate of a valid atom is non-zero. Setting false zeroes all of them and
  // calls Changed; setting true does nothing.
  bool CoordinatesPresent() const;
  void SetCoordinatesPresent(bool Value);

  // ---- Atom fields (AtIx 1..NAtoms; setters store and call Changed, even unchanged) ----
  uint8_t AtNum(int32_t AtIx) const;
  // Only 1..103 is taken.
  void SetAtNum(int32_t AtIx, uint8_t Value);
  uint8_t AtWeight(int32_t AtIx) const;
  void SetAtWeight(int32_t AtIx, uint8_t Value);
  uint8_t AtFlag(int32_t AtIx) const;
  void SetAtFlag(int32_t AtIx, uint8_t Value);
  uint8_t AtAttrib(int32_t AtIx) const;
  void SetAttrib(int32_t AtIx, uint8_t Value);
  int8_t AtCharge(int32_t AtIx) const;
  void SetCharge(int32_t AtIx, int8_t Value);
  // Bond slot ConnIx (1..10): partner index and bond type.
  uint8_t AtConnTo(int32_t AtIx, int32_t ConnIx) const;
  void SetAtConnTo(int32_t AtIx, int32_t ConnIx, uint8_t Value);
  uint8_t AtTypConn(int32_t AtIx, int32_t ConnIx) const;
  void SetAtTypConn(int32_t AtIx, int32_t ConnIx, uint8_t Value);
  // Coordinate DimIx (1..3 for x, y, z), stored as a 32-bit float.
  double AtCoords(int32_t AtIx, int32_t DimIx) const;
  void SetAtCoords(int32_t AtIx, int32_t DimIx, double Value);
  // The whole record, display attributes included.
  CTElem AtomEntries(int32_t AtIx) const;
  void SetAtomEntries(int32_t AtIx, const CTElem& Value);
  // The number of occupied bond slots.
  int32_t NBonds(int32_t AtIx) const;

  // ---- Whole table ----
  // Empties the table as after construction, then Changed.
  void Clear();
  // Attrib := 0 for every valid atom (no Changed).
  void ClearAttributes();
  // Fires OnChange.
  void Changed();
  // Takes NAtoms, the name, CoordUnits, BinCASNr and every field of all 63 records except the
  // display attributes, which stay this table's own; then Changed.
  void CopyFrom(const TCTab& CTabSource);
  // Difference flags, 0 when equal: $0001 NAtoms, $0002 name (letter case ignored), $0004
  // CoordUnits, $0008 BinCASNr; over all 63 records (those beyond NAtoms read as cleared):
  // $0010 AtNum, $0020 AtWeight, $0040 AtFlag, $0080 Attrib, $0100 Charge, $0200 x, $0400 y,
  // $0800 z, $1000 a partner slot, $2000 a bond type slot. Display attributes are not compared.
  uint16_t CompareWith(const TCTab& CTabSource) const;

  // ---- Editing (no Changed) ----
  // Appends an atom with the element, mass number, flag, attributes, charge and coordinates
  // of AtomRec (not its display attributes) and records its bonds on the new atom only (see
  // EnterConn); MakeSymmetricConnections completes the partners. False when the table is full.
  bool AddAtom(const CTElem& AtomRec);
  // Removes an atom: every atom bonded to it is bonded instead to its other partners (with the
  // type of the removed atom's bond to them, as far as its ten slots allow), so deleting the
  // middle of a chain joins the ends and deleting a terminal atom just drops it; then the last
  // atom moves into the freed index.
  void DeleteAtom(int32_t AtomNr);
  // Deletes every hydrogen atom.
  void RemoveHydrogen();
  // CType 1..255 bonds At1 and At2 on both atoms, or retypes their bond; CType 0 removes it.
  // False for an invalid index, At1 = At2, a new bond that either atom has no free slot for
  // (nothing changes then), or a removal of atoms that are not bonded.
  bool MakeConnection(int32_t At1, int32_t At2, uint8_t CType);
  // Records one side of a bond on the valid atom AtIx: the slot already naming Connto is
  // retyped, otherwise the first empty slot takes it. Nothing happens when Connto is outside
  // 1..63 or equals AtIx, TypConn is outside 0..255, or all ten slots name other atoms.
  void EnterConn(int32_t AtIx, int32_t Connto, int32_t TypConn);
  // Records every bond on its partner as well; where the two sides disagree on the type, the
  // lower-numbered atom's type wins.
  void MakeSymmetricConnections();
  // The bond type between At1 and At2, 0 when not bonded.
  uint8_t CheckConnect(int32_t At1, int32_t At2) const;
  // The largest number of bonds of an atom, with AtIx the first atom that has it; 0 and AtIx
  // unchanged for an empty table.
  int32_t MaxNBonds(int32_t& AtIx) const;
  // The number of valid atoms of element AtNum.
  int32_t AtomCount(uint8_t AtNum) const;
  // Whether some valid atom has no bond.
  bool ContainsUnconnectedAtom() const;

  // ---- Geometry ----
  // The mean position of the atoms; 0, 0, 0 for an empty table.
  void CalcMolCenter(double& spx, double& spy, double& spz) const;
  // The 2-D box, the mean x and y, and (the result) the mean bond length in x and y. The box
  // starts as MinX 10000, MaxX 0, MinY 7000, MaxY 0 and grows with the atoms; with at most
  // one atom it is 1..10000 x 1..7000 around (5000, 3500) and the result is 0.
  double CalcMolExtents(double& MinX, double& MinY, double& MaxX, double& MaxY, double& CentX,
                        double& CentY) const;
  // The highest atom index within the given distance of (x, y, z) on every axis; -1 when none.
  int32_t FindAtomInBox(double x, double y, double z, double XRange, double YRange,
                        double ZRange) const;
  // The atom nearest to (x, y, z) in space (the lower index on ties) and its distance;
  // ClosestAtom 0 and Dist the largest double for an empty table.
  void FindClosestAtom(double x, double y, double z, int32_t& ClosestAtom, double& Dist) const;
  // Rotates the structure onto the principal axes of its x-y positions (taken about their
  // mean): the major axis becomes x, the minor one y. z stays out of the analysis but turns
  // with the structure, so a 3-D structure keeps its shape and handedness. The coordinates
  // are rounded to whole numbers (the table's pixel-like convention). Nothing changes for
  // fewer than two atoms.
  void RotateWithPCA();

  // ---- Hydrogens, formula, weight ----
  // The hydrogens atom AtIx carries, bonded hydrogen atoms and implicit ones; 0 for a hydrogen
  // atom. The implicit ones fill the element's standard valence (B 3, C 4, N 3, O 2, F 1,
  // Si 4, P 3, S 2, Cl 1, Ge 4, Br 1, I 1; none for other elements) after its bond orders,
  // an aromatic bond (or one of a type beyond 4) counting 1 and any aromatic bond one more.
  // A charge adds to the valence of N, O, P, S and the halogens (N+ like C, O- like F); on
  // boron and the carbon group, with fewer than four outer electrons, it acts as for the
  // element with that many electrons fewer or more (C+ like B, C- like N, B- like C). A
  // neutral nitrogen with a partner besides the carbon of its triple bond gives -1 when that
  // carbon has no other bond (it compensates the hydrogen counted on the carbon of an
  // isocyanide R-N#C); a phosphorus with bond orders summing to 4 carries one hydrogen more
  // than it has bonded (P(V) as in H-phosphonates).
  int32_t NrHAtoms(int32_t AtIx) const;
  // All hydrogens of the structure: NrHAtoms summed over the atoms, plus each hydrogen atom
  // bonded to no other element (H2, a lone H+).
  int32_t CalcMissingH() const;
  // The formula: (1, 1, CalcMissingH) first when there are hydrogens, then each element and
  // mass number of the other atoms with its count, ordered C, H, N, O, S, P, F, Cl, Br, I and
  // the rest as they first occur. False, with BForm untouched, when more than 20 parts or a
  // hydrogen count beyond 255 would be needed.
  bool CalcMolecularFormula(TFormulaRec& BForm) const;
  // CalcMissingH times hydrogen's average weight plus the average weights of the other atoms;
  // mass numbers are not looked at.
  double CalcChemMolWeight() const;

  // ---- Fragments (AtFlag as join label; no Changed) ----
  // Merges CTabSource (left unchanged): its atoms with label 0 are appended, an atom with a
  // label takes the place of this table's atom with the same label (the highest index when
  // several have it), taking over its element, mass number and charge and adding its bonds.
  // A labelled atom no atom here carries is dropped with its bonds, and so are atoms beyond
  // the 63rd.
  void JoinFragment(const TCTab& CTabSource);
  // Appends CtabSource's atoms (whole records) and bonds each labelled atom of this table by a
  // single bond to every appended atom with the same label. Nothing when the atoms would not
  // fit.
  void LinkFragment(const TCTab& CtabSource);

private:
  // NAtoms read as 0..63.
  int32_t Count() const;
  bool Valid(int32_t AtIx) const { return AtIx >= 1 && AtIx <= Count(); }
  CTElem& Atom(int32_t AtIx) { return FAtoms[static_cast<std::size_t>(AtIx - 1)]; }
  const CTElem& Atom(int32_t AtIx) const { return FAtoms[static_cast<std::size_t>(AtIx - 1)]; }
  // A field of a valid atom (0 otherwise), and the setter that stores and calls Changed.
  template <class T>
  T GetField(int32_t AtIx, T CTElem::*Field) const;
  template <class T>
  void SetField(int32_t AtIx, T CTElem::*Field, T Value);
  // Drops the slots of AtIx that name Partner, packing the rest; whether any was found.
  bool RemoveSlots(int32_t AtIx, int32_t Partner);
  // Whether atom AtIx can record a bond to Partner (a slot names it or one is empty).
  bool HasRoomFor(int32_t AtIx, int32_t Partner) const;

  std::string FStrucName;
  std::array<CTElem, MaxNAtoms> FAtoms{};
};

} // namespace zef
