// TMolForm: parts, parsing, printing, weights, comparison and the formula search. Drawing is
// in cform_paint.cpp.
#include "ZEF_cform.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "ZEF_math1.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {

constexpr int32_t kMaxStored = 255;  // counts and mass numbers are 8-bit

bool ValidElement(int32_t Z) { return Z >= 1 && Z <= 103; }

// "D", or the symbol of Z compared ignoring case; 0 when none.
int32_t ElementOfSymbol(const std::string& UpperSymbol) {
  if (UpperSymbol == "D") return 1;
  for (int32_t Z = 1; Z <= 103; ++Z) {
    const std::string Symbol = CElemSymb(Z);
    if (Symbol.size() == UpperSymbol.size() &&
        std::equal(Symbol.begin(), Symbol.end(), UpperSymbol.begin(), [](char A, char B) {
          return (A >= 'a' && A <= 'z' ? A - 'a' + 'A' : A) == B;
        }))
      return Z;
  }
  return 0;
}

} // namespace

TMolForm::TMolForm(TComponent* AOwner) : TGraphicControl(AOwner) {
  FParts.FLeng = 2;
  FParts.AtNum[1] = 1;
  FParts.AtWgt[1] = 1;
  FParts.AtCnt[1] = 2;
  FParts.AtNum[2] = 8;
  FParts.AtWgt[2] = 16;
  FParts.AtCnt[2] = 1;
  SetBounds(Left(), Top(), 120, 28);
}

void TMolForm::Fail(const std::string& Text) const {
  throw EZEFCFormError("Component \"" + Name() + "\": " + Text);
}

// ---- Looks ---------------------------------------------------------------------------------

void TMolForm::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  ShowIt();
}

void TMolForm::SetColorTxt(TColor Value) {
  if (Value == FColorTxt) return;
  FColorTxt = Value;
  ShowIt();
}

void TMolForm::SetColorBkg(TColor Value) {
  if (Value == FColorBkg) return;
  FColorBkg = Value;
  ShowIt();
}

void TMolForm::SetIsotopeVis(TIsotVisib Value) {
  if (Value == FIsotopeVis) return;
  FIsotopeVis = Value;
  ShowIt();
}

void TMolForm::SetUseDeuterium(bool Value) {
  if (Value == FUseDeuterium) return;
  FUseDeuterium = Value;
  ShowIt();
}

void TMolForm::SetShowAsText(bool Value) {
  if (Value == FShowAsText) return;
  FShowAsText = Value;
  ShowIt();
}

void TMolForm::SetTransparent(bool Value) {
  FTransparent = Value;
  ShowIt();
}

void TMolForm::ShowIt() {
  if (FTransparent)
    Invalidate();
  else
    Paint();
}

// ---- Parts ---------------------------------------------------------------------------------

void TMolForm::SetMolFormula(const std::string& Value) {
  const std::string Previous = std::exchange(FFormulaText, Value);
  try {
    ScanMolFormula(Value);
  } catch (...) {
    FFormulaText = Previous;
    throw;
  }
}

void TMolForm::SetNumAtoms(int32_t Value) {
  if (Value >= 1 && Value <= MaxFormulaParts) FParts.FLeng = Value;
}

int32_t TMolForm::AtNum(int32_t Idx) const {
  return Idx >= 1 && Idx <= FParts.FLeng ? FParts.AtNum[Idx] : 0;
}

int32_t TMolForm::AtWgt(int32_t Idx) const {
  return Idx >= 1 && Idx <= FParts.FLeng ? FParts.AtWgt[Idx] : 0;
}

int32_t TMolForm::AtCnt(int32_t Idx) const {
  return Idx >= 1 && Idx <= FParts.FLeng ? FParts.AtCnt[Idx] : 0;
}

void TMolForm::SetAtNum(int32_t Idx, int32_t Value) {
  if (Idx >= 1 && Idx <= FParts.FLeng && ValidElement(Value))
    FParts.AtNum[Idx] = static_cast<uint8_t>(Value);
}

void TMolForm::SetAtWgt(int32_t Idx, int32_t Value) {
  if (Idx < 1 || Idx > FParts.FLeng) return;
  if (Value < 0 || Value > kMaxStored)
    Fail("mass number " + std::to_string(Value) + " is outside 0..255");
  FParts.AtWgt[Idx] = static_cast<uint8_t>(Value);
}

void TMolForm::SetAtCnt(int32_t Idx, int32_t Value) {
  if (Idx < 1 || Idx > FParts.FLeng) return;
  if (Value < 0 || Value > kMaxStored) Fail("count " + std::to_string(Value) + " is outside 0..255");
  FParts.AtCnt[Idx] = static_cast<uint8_t>(Value);
}

void TMolForm::AppendPart(TFormulaRec& Parts, int32_t AtNr, int32_t AtWt, int64_t Count) const {
  const std::string Symbol = CElemSymb(AtNr);
  if (Parts.FLeng >= MaxFormulaParts)
    Fail("the formula has more than " + std::to_string(MaxFormulaParts) + " parts");
  if (AtWt > kMaxStored)
    Fail("mass number " + std::to_string(AtWt) + " of " + Symbol + " exceeds 255");
  if (Count < 0) Fail("negative count " + std::to_string(Count) + " of " + Symbol);
  if (Count > kMaxStored) Fail("count " + std::to_string(Count) + " of " + Symbol + " exceeds 255");
  ++Parts.FLeng;
  Parts.AtNum[Parts.FLeng] = static_cast<uint8_t>(AtNr);
  Parts.AtWgt[Parts.FLeng] = static_cast<uint8_t>(AtWt);
  Parts.AtCnt[Parts.FLeng] = static_cast<uint8_t>(Count);
}

bool TMolForm::ScanNextFormPart(std::string_view Instring, int32_t& index, int32_t& AtNr,
                                int32_t& AtWt, int32_t& AtNum) const {
  AtNr = AtWt = AtNum = 0;
  if (index < 1) return false;
  // States: 0 start, 1 mass digits, 2 after the mass, 3 symbol, 4 after the symbol, 5 count
  // digits.
  int State = 0;
  std::string Symbol;
  int64_t Mass = 0;
  int64_t Count = 0;
  auto AddDigit = [this, index](int64_t& Number, char Digit) {
    Number = Number * 10 + (Digit - '0');
    if (Number > std::numeric_limits<int32_t>::max())
      Fail("the number at position " + std::to_string(index) + " of the formula is too large");
  };
  std::size_t Pos = static_cast<std::size_t>(index) - 1;
  for (; Pos < Instring.size(); ++Pos) {
    char C = Instring[Pos];
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    if (C == '(' || C == ')') break;
    const bool Letter = C >= 'A' && C <= 'Z';
    const bool Digit = C >= '0' && C <= '9';
    const bool Separator = C == ' ' || C == ',' || C == '.';
    if (!Letter && !Digit && !Separator) continue;
    bool End = false;
    switch (State) {
      case 0:
      case 1:
        if (Letter) {
          Symbol.push_back(C);
          State = 3;
        } else if (Digit) {
          AddDigit(Mass, C);
          State = 1;
        } else if (State == 1) {
          State = 2;
        }
        break;
      case 2:
        if (Letter) {
          Symbol.push_back(C);
          State = 3;
        } else if (Digit) {
          End = true;
        }
        break;
      case 3:
      case 4:
        if (Letter && State == 3) {
          Symbol.push_back(C);
        } else if (Letter) {
          End = true;
        } else if (Digit) {
          AddDigit(Count, C);
          State = 5;
        } else {
          State = 4;
        }
        break;
      default:  // 5: count digits
        if (Digit)
          AddDigit(Count, C);
        else
          End = true;
        break;
    }
    if (End) break;
  }
  index = static_cast<int32_t>(Pos + 1);
  if (Symbol.empty()) return false;
  AtNr = ElementOfSymbol(Symbol);
  if (AtNr == 0) return false;
  AtWt = Mass != 0 ? static_cast<int32_t>(Mass) : (Symbol == "D" ? 2 : IntAtWeight(AtNr));
  AtNum = Count != 0 ? static_cast<int32_t>(Count) : 1;
  return true;
}

void TMolForm::ScanMolFormula(std::string_view mform) {
  TFormulaRec Parts;
  const auto Length = static_cast<int32_t>(std::min<std::size_t>(mform.size(), INT32_MAX - 1));
  int32_t Pos = 1;
  int64_t Multiplier = 1;
  // The first ")" at or after the position and the multiplier behind it, kept until the
  // position passes it, so that a run of "(" costs no search each.
  std::size_t Close = 0;
  int64_t CloseMultiplier = 1;
  bool CloseKnown = false;
  bool Read = true;
  while (Read && Pos <= Length) {
    const char C = mform[static_cast<std::size_t>(Pos - 1)];
    if (C == '(') {
      if (!CloseKnown || (Close != std::string_view::npos && Close < static_cast<std::size_t>(Pos - 1))) {
        Close = mform.find(')', static_cast<std::size_t>(Pos - 1));
        CloseKnown = true;
        if (Close != std::string_view::npos) {
          int32_t NumberPos = static_cast<int32_t>(Close) + 2;
          const int64_t Number = ScanDecimal(mform, NumberPos);
          // A bracket without a number behind it counts once.
          CloseMultiplier = NumberPos == static_cast<int32_t>(Close) + 2 ? 1 : Number;
        }
      }
      if (Close != std::string_view::npos) Multiplier = CloseMultiplier;
      ++Pos;
    } else if (C == ')') {
      Multiplier = 1;
      ++Pos;
      ScanDecimal(mform, Pos);
    } else {
      int32_t AtNr, AtWt, Count;
      Read = ScanNextFormPart(mform, Pos, AtNr, AtWt, Count);
      if (Read) {
        if (Multiplier < 0) Fail("negative multiplier " + std::to_string(Multiplier));
        AppendPart(Parts, AtNr, AtWt, Multiplier > kMaxStored ? Multiplier : Count * Multiplier);
      }
    }
  }
  FParts = Parts;
  ShowIt();
}

void TMolForm::ReadFromString(std::string_view Instring) {
  TFormulaRec Parts;
  int32_t Pos = 1;
  int32_t AtNr, AtWt, Count;
  while (ScanNextFormPart(Instring, Pos, AtNr, AtWt, Count))
    if (Count > 0) AppendPart(Parts, AtNr, AtWt, Count);
  FParts = Parts;
  ShowIt();
}

std::string TMolForm::AsString(int32_t fmt) const {
  std::string Text;
  if (FParts.FLeng < 1 || FParts.FLeng > MaxFormulaParts) return Text;
  auto Printed = [this](int32_t K) { return ValidElement(FParts.AtNum[K]) && FParts.AtCnt[K] >= 1; };
  for (int32_t K = 1; K <= FParts.FLeng; ++K) {
    if (Printed(K)) {
      const int32_t Z = FParts.AtNum[K];
      const int32_t Count = FParts.AtCnt[K];
      if (fmt == 1) Text += std::to_string(FParts.AtWgt[K]);
      Text += Z == 1 && FParts.AtWgt[K] == 2 ? "D" : CElemSymb(Z);
      if (Count > 1) Text += std::to_string(Count);
    }
    Text += ' ';
  }
  return Text;
}

void TMolForm::Clear() {
  FFormulaText.clear();
  FParts = TFormulaRec();
  ShowIt();
}

void TMolForm::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TMolForm*>(&Source);
  if (!Other) {
    TGraphicControl::Assign(Source);
    return;
  }
  FAlignment = Other->FAlignment;
  FColorTxt = Other->FColorTxt;
  FColorBkg = Other->FColorBkg;
  FIsotopeVis = Other->FIsotopeVis;
  FUseDeuterium = Other->FUseDeuterium;
  FShowAsText = Other->FShowAsText;
  FTransparent = Other->FTransparent;
  FParts = Other->FParts;
  FFormulaText = Other->FFormulaText;
  FTargetMass = Other->FTargetMass;
  FTolerance = Other->FTolerance;
  FLowF = Other->FLowF;
  FHighF = Other->FHighF;
  FCounters = Other->FCounters;
  FSearchExhausted = Other->FSearchExhausted;
  FReachable = Other->FReachable;
  ShowIt();
}

// ---- Weights and comparison ------------------------------------------------------------------

double TMolForm::ChemMolWgt() const {
  double Sum = 0;
  for (int32_t K = 1; K <= FParts.FLeng; ++K) Sum += ChemAtWeight(FParts.AtNum[K]) * FParts.AtCnt[K];
  return Sum;
}

double TMolForm::ExactMolWgt() const {
  double Sum = 0;
  for (int32_t K = 1; K <= FParts.FLeng; ++K) Sum += ExactAtWeight(FParts.AtNum[K]) * FParts.AtCnt[K];
  return Sum;
}

int32_t TMolForm::NominalMolWgt() const {
  int32_t Sum = 0;
  for (int32_t K = 1; K <= FParts.FLeng; ++K) Sum += FParts.AtWgt[K] * FParts.AtCnt[K];
  return Sum;
}

int32_t TMolForm::CompareTo(const TMolForm& OtherFormula) const {
  if (FParts.FLeng == 0 || OtherFormula.FParts.FLeng == 0) return -2;
  struct TBalance {
    uint8_t AtNum, AtWgt;
    int32_t Amount;
  };
  std::vector<TBalance> Balance;
  auto Book = [&Balance](const TFormulaRec& Parts, int32_t Sign) {
    for (int32_t K = 1; K <= Parts.FLeng; ++K) {
      auto It = std::find_if(Balance.begin(), Balance.end(), [&](const TBalance& B) {
        return B.AtNum == Parts.AtNum[K] && B.AtWgt == Parts.AtWgt[K];
      });
      if (It == Balance.end()) It = Balance.insert(Balance.end(), {Parts.AtNum[K], Parts.AtWgt[K], 0});
      It->Amount += Sign * Parts.AtCnt[K];
    }
  };
  Book(FParts, 1);
  Book(OtherFormula.FParts, -1);
  const bool AnyPositive = std::any_of(Balance.begin(), Balance.end(), [](const TBalance& B) { return B.Amount > 0; });
  const bool AnyNegative = std::any_of(Balance.begin(), Balance.end(), [](const TBalance& B) { return B.Amount < 0; });
  if (!AnyPositive && !AnyNegative) return 0;
  if (!AnyPositive) return 2;
  if (!AnyNegative) return 1;
  return -1;
}

// ---- Formula search ----------------------------------------------------------------------------

bool TMolForm::InitFindFormula(double mass, double tol, const TFormulaRec& LowF,
                               const TFormulaRec& HighF) {
  if (HighF.FLeng < 0 || HighF.FLeng > MaxFormulaParts)
    Fail("the search bounds have " + std::to_string(HighF.FLeng) + " parts (0..20 allowed)");
  FTargetMass = mass;
  FTolerance = tol;
  FLowF = LowF;
  FHighF = HighF;
  FCounters.fill(0);
  for (int32_t K = 1; K <= HighF.FLeng; ++K) FCounters[K - 1] = HighF.AtCnt[K];
  FSearchExhausted = HighF.FLeng == 0;
  PrepareNominalSearch();
  return true;
}

void TMolForm::PrepareNominalSearch() {
  const int32_t N = FHighF.FLeng;
  int64_t MaxSum = 0;
  for (int32_t K = 1; K <= N; ++K) MaxSum += FHighF.AtWgt[K] * FHighF.AtCnt[K];
  const int64_t Goal = Round(FTargetMass);
  FReachable.clear();
  if (Goal < 0 || Goal > MaxSum) return;  // no candidate can hit: the bounds rule all out
  const auto Size = static_cast<std::size_t>(Goal) + 1;
  FReachable.assign(static_cast<std::size_t>(N) + 2, std::vector<bool>(Size));
  FReachable[static_cast<std::size_t>(N) + 1][0] = true;
  // Row k from row k + 1: s is reachable when s - c * w is for a count c in Low..High. Along
  // each residue class of s modulo w a running count of reachable sums answers that for all
  // c at once.
  std::vector<int32_t> Running(Size);
  for (int32_t K = N; K >= 1; --K) {
    const std::vector<bool>& Next = FReachable[static_cast<std::size_t>(K) + 1];
    std::vector<bool>& Row = FReachable[static_cast<std::size_t>(K)];
    const int64_t W = FHighF.AtWgt[K];
    const int64_t High = FHighF.AtCnt[K];
    const int64_t Low = std::min<int64_t>(FLowF.AtCnt[K], High);
    if (W == 0) {
      Row = Next;
      continue;
    }
    for (std::size_t S = 0; S < Size; ++S)
      Running[S] = Next[S] + (S >= static_cast<std::size_t>(W) ? Running[S - static_cast<std::size_t>(W)] : 0);
    auto RunningAt = [&Running](int64_t S) { return S >= 0 ? Running[static_cast<std::size_t>(S)] : 0; };
    for (std::size_t S = 0; S < Size; ++S) {
      const auto Sum = static_cast<int64_t>(S);
      const int64_t Top = Sum - Low * W;
      Row[S] = Top >= 0 && RunningAt(Top) - RunningAt(Sum - (High + 1) * W) > 0;
    }
  }
}

bool TMolForm::FindFormulaNominalMass(bool CheckPlausibility) {
  return FindFormula(false, CheckPlausibility);
}

bool TMolForm::FindFormulaExactMass(bool CheckPlausibility) {
  return FindFormula(true, CheckPlausibility);
}

bool TMolForm::AdvanceCounters(int32_t Position) {
  for (int32_t K = Position + 1; K <= FHighF.FLeng; ++K) FCounters[K - 1] = FHighF.AtCnt[K];
  for (int32_t K = Position; K >= 1; --K) {
    if (--FCounters[K - 1] >= FLowF.AtCnt[K]) return true;
    FCounters[K - 1] = FHighF.AtCnt[K];
  }
  FSearchExhausted = true;
  return false;
}

void TMolForm::StoreSearchHit() {
  FParts = TFormulaRec();
  FParts.FLeng = FHighF.FLeng;
  for (int32_t K = 1; K <= FHighF.FLeng; ++K) {
    FParts.AtNum[K] = FHighF.AtNum[K];
    FParts.AtWgt[K] = FHighF.AtWgt[K];
    FParts.AtCnt[K] = static_cast<uint8_t>(FCounters[K - 1]);
  }
}

bool TMolForm::FindFormula(bool Exact, bool CheckPlausibility) {
  const int32_t N = FHighF.FLeng;
  // The mass of each element and, for the parts behind position k, the least and the most
  // they can still add: a candidate whose first k counters already rule out the target is
  // skipped with all that share them. The counters of position k run from HighF down to LowF
  // (or take only HighF's value when LowF's is above it).
  std::array<double, MaxFormulaParts + 1> Weight{};
  std::array<double, MaxFormulaParts + 2> RestMin{};
  std::array<double, MaxFormulaParts + 2> RestMax{};
  for (int32_t K = N; K >= 1; --K) {
    Weight[K] = Exact ? ExactAtWeight(FHighF.AtNum[K]) : FHighF.AtWgt[K];
    const int32_t Low = std::min(FLowF.AtCnt[K], FHighF.AtCnt[K]);
    RestMin[K] = RestMin[K + 1] + Weight[K] * Low;
    RestMax[K] = RestMax[K + 1] + Weight[K] * FHighF.AtCnt[K];
  }
  const double Goal = Exact ? FTargetMass : static_cast<double>(Round(FTargetMass));
  // Sums of whole mass numbers are exact; exact masses get a margin against rounding, the
  // final test below is the strict one.
  const double Slack = Exact ? FTolerance + 1e-9 : 0;
  bool Found = false;
  while (!Found && !FSearchExhausted) {
    double Partial = 0;
    int32_t RuledOut = 0;
    for (int32_t K = 1; K <= N && RuledOut == 0; ++K) {
      Partial += Weight[K] * FCounters[K - 1];
      if (Partial + RestMin[K + 1] > Goal + Slack || Partial + RestMax[K + 1] < Goal - Slack)
        RuledOut = K;
      else if (!Exact && !FReachable.empty() &&
               !FReachable[static_cast<std::size_t>(K) + 1][static_cast<std::size_t>(Goal - Partial)])
        RuledOut = K;
    }
    if (RuledOut == 0) {
      Found = Exact ? std::fabs(Partial - FTargetMass) < FTolerance : Partial == Goal;
      if (Found && CheckPlausibility) {
        std::array<int32_t, 104> CountOf{};
        for (int32_t K = 1; K <= N; ++K) CountOf[FHighF.AtNum[K] <= 103 ? FHighF.AtNum[K] : 0] = FCounters[K - 1];
        Found = CountOf[7] + 2 * CountOf[6] + 2 >=
                CountOf[1] + CountOf[9] + CountOf[17] + CountOf[35] + CountOf[53];
      }
      if (Found) StoreSearchHit();
    }
    AdvanceCounters(RuledOut == 0 ? N : RuledOut);
  }
  ShowIt();
  return Found;
}

} // namespace zef
