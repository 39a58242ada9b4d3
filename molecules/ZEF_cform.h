// Molecular formulas: TMolForm holds up to 20 parts (element, mass number, count), reads them
// from text, prints them, draws them with superscript mass numbers and subscript counts,
// weighs them, compares two formulas and searches the formulas whose nominal or exact mass
// matches a target.
//
// Formula text: a part is an optional mass number, an element symbol (any letter case; "D" is
// deuterium) and an optional count. Consecutive letters form one symbol, so parts must be
// parted by a count, a blank, "," or "." or a mass number: "C6 H12 O6", "C1H4" and "13C H4"
// read, "CH4" does not (CH is no element) and "CO2" is two cobalt atoms. One level of
// brackets with a multiplier is allowed: "(C1H3)2 C1O1".
//
// Counts and mass numbers are stored in 8 bits: a count, a count times its multiplier or a
// mass number above 255, a negative multiplier, more than 20 parts or a number too long for
// 32 bits raise EZEFCFormError, and the formula keeps its previous state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ZEF_CData.h"
#include "controls/controls.h"

namespace zef {

ZEF_DECLARE_EXCEPTION(EZEFCFormError, EZEFError);

// A fixed array indexed from 1 to N, as the chemistry records count their entries.
template <class T, std::size_t N>
struct TOneBasedArray {
  std::array<T, N> Items{};

  T& operator[](std::size_t I) { return Items[I - 1]; }
  const T& operator[](std::size_t I) const { return Items[I - 1]; }
  static constexpr std::size_t size() { return N; }
  auto begin() { return Items.begin(); }
  auto end() { return Items.end(); }
  auto begin() const { return Items.begin(); }
  auto end() const { return Items.end(); }
  bool operator==(const TOneBasedArray&) const = default;
};

// The most parts a formula holds.
constexpr int32_t MaxFormulaParts = 20;

// A formula as parallel arrays: part k (1..FLeng) is AtCnt[k] atoms of element AtNum[k] with
// mass number AtWgt[k].
struct TFormulaRec {
  int32_t FLeng = 0;
  TOneBasedArray<uint8_t, MaxFormulaParts> AtNum;
  TOneBasedArray<uint8_t, MaxFormulaParts> AtWgt;
  TOneBasedArray<uint8_t, MaxFormulaParts> AtCnt;
};

// Which mass numbers TMolForm draws.
enum TIsotVisib : uint8_t {
  ivNone,     // none
  ivSpecial,  // those that differ from the element's integer atomic weight
  ivAlways
};

// A formula as a small control. After creation it holds water, H2 O, and is 120 x 28 pixels;
// every paint sets Height to twice the height of "M" in the small font (the one of mass
// numbers and counts, 0.8 times the font size plus 1).
class TMolForm : public TGraphicControl {
public:
  explicit TMolForm(TComponent* AOwner);

  // ---- Looks (a changed value repaints) ----
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TColor ColorTxt() const { return FColorTxt; }
  void SetColorTxt(TColor Value);
  TColor ColorBkg() const { return FColorBkg; }
  void SetColorBkg(TColor Value);
  TIsotVisib IsotopeVis() const { return FIsotopeVis; }
  void SetIsotopeVis(TIsotVisib Value);
  // Draws a hydrogen of mass number 2 as "D" (default true).
  bool UseDeuterium() const { return FUseDeuterium; }
  void SetUseDeuterium(bool Value);
  // Draws the text last given to SetMolFormula instead of the parts (default false).
  bool ShowAsText() const { return FShowAsText; }
  void SetShowAsText(bool Value);
  // Draws only the text, leaving the pixels beneath visible (default false).
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);

  // ---- The formula ----
  // The parts printed with mass numbers (AsString(1)), not the text that was set.
  std::string MolFormula() const { return AsString(1); }
  // Keeps Value as the formula text and reads the parts from it by ScanMolFormula.
  void SetMolFormula(const std::string& Value);

  // The number of parts; writing accepts 1..20 and leaves the parts' values as they are.
  int32_t NumAtoms() const { return FParts.FLeng; }
  void SetNumAtoms(int32_t Value);
  // Part Idx (1..NumAtoms): atomic number, mass number, count; 0 outside. Writes outside are
  // ignored, AtNum takes only 1..103, and a mass number or count outside 0..255 raises
  // EZEFCFormError. No repaint.
  int32_t AtNum(int32_t Idx) const;
  int32_t AtWgt(int32_t Idx) const;
  int32_t AtCnt(int32_t Idx) const;
  void SetAtNum(int32_t Idx, int32_t Value);
  void SetAtWgt(int32_t Idx, int32_t Value);
  void SetAtCnt(int32_t Idx, int32_t Value);
  // The parts as a record.
  const TFormulaRec& Parts() const { return FParts; }

  // Reads a formula with one level of brackets into the parts; reading stops at the first
  // text that is no part, keeping the parts before it. Repaints.
  void ScanMolFormula(std::string_view mform);
  // Reads a formula without brackets (a bracket ends it) into the parts. Repaints.
  void ReadFromString(std::string_view Instring);
  // Reads one part from the 1-based position index: AtNr the element, AtWt the mass number
  // (the element's integer atomic weight, 2 for "D", when none is written), AtNum the count
  // (1 when none or 0 is written). index ends on the character that ended the part: the next
  // call starts there. False, with AtNr 0, when no element symbol is found there.
  bool ScanNextFormPart(std::string_view Instring, int32_t& index, int32_t& AtNr, int32_t& AtWt,
                        int32_t& AtNum) const;
  // Each part followed by one blank: fmt 1 writes mass numbers ("1H2 16O "), any other fmt
  // leaves them out ("H2 O "). A count of 1 is left out. A hydrogen of mass number 2 is "D";
  // a part with an unknown element or a count below 1 prints as nothing. Note that with mass
  // numbers a part of count 1 followed by another part does not read back as printed: in
  // "12C 16O " the reader takes 16 as the count of carbon.
  std::string AsString(int32_t fmt) const;
  // Empties the text and the parts. Repaints.
  void Clear();
  // Repaints: at once when opaque, on the next paint cycle when transparent.
  void ShowIt();
  // From another TMolForm: the looks (not the font), the parts, the formula text and the
  // state of the formula search. Repaints. Other sources go to TGraphicControl.
  void Assign(const TPersistent& Source) override;

  // ---- Weights ----
  // Sum of average atomic weights times counts (mass numbers are not looked at).
  double ChemMolWgt() const;
  // Sum of exact weights of the elements' most abundant isotopes times counts.
  double ExactMolWgt() const;
  // Sum of mass numbers times counts.
  int32_t NominalMolWgt() const;

  // Compares the compositions, parts of the same element and mass number taken together:
  // 0 equal, 1 this contains the other, 2 the other contains this, -1 neither; -2 when either
  // has no parts. Parts of different mass numbers never balance each other.
  int32_t CompareTo(const TMolForm& OtherFormula) const;

  // ---- Formula search ----
  // Starts a search over the elements of HighF (atomic numbers and mass numbers) with counts
  // from HighF.AtCnt down to LowF.AtCnt (position by position). The search enumerates the
  // counts like an odometer counting down, the last part fastest, so that hits come in
  // descending order. Always true; a HighF.FLeng outside 0..20 raises EZEFCFormError.
  bool InitFindFormula(double mass, double tol, const TFormulaRec& LowF, const TFormulaRec& HighF);
  // The next counts whose nominal mass equals the target mass rounded, or whose exact mass is
  // within the tolerance of the target (strictly). With CheckPlausibility the counts must
  // also satisfy N + 2 C + 2 >= H + F + Cl + Br + I. On a hit the parts become the elements
  // of HighF with these counts (zero counts included) and the result is true; false when
  // the search is exhausted. Repaints.
  bool FindFormulaNominalMass(bool CheckPlausibility);
  bool FindFormulaExactMass(bool CheckPlausibility);

protected:
  void Paint() override;

private:
  // "Component \"<Name>\": " + Text as EZEFCFormError.
  [[noreturn]] void Fail(const std::string& Text) const;
  // Adds a part to Parts, checking the 8-bit storage and the number of parts.
  void AppendPart(TFormulaRec& Parts, int32_t AtNr, int32_t AtWt, int64_t Count) const;
  bool FindFormula(bool Exact, bool CheckPlausibility);
  // Moves the counters to the next candidate behind every one that shares the counters
  // 1..Position; false when the enumeration is exhausted.
  bool AdvanceCounters(int32_t Position);
  void StoreSearchHit();
  // Fills FReachable for the nominal search.
  void PrepareNominalSearch();

  TFormulaRec FParts;
  std::string FFormulaText = "H2O";
  TAlignment FAlignment = taCenter;
  TColor FColorTxt = clBlack;
  TColor FColorBkg = clBtnFace;
  TIsotVisib FIsotopeVis = ivSpecial;
  bool FUseDeuterium = true;
  bool FShowAsText = false;
  bool FTransparent = false;

  double FTargetMass = 0;
  double FTolerance = 0.05;
  TFormulaRec FLowF;
  TFormulaRec FHighF;
  std::array<int32_t, MaxFormulaParts> FCounters{};
  bool FSearchExhausted = true;
  // FReachable[k][s], k = 1..n + 1: whether the parts k..n can add exactly the nominal mass s
  // (s up to the target), so that the nominal search never enters a branch without a hit.
  std::vector<std::vector<bool>> FReachable;
};

} // namespace zef
