// libFuzzer target for the formula reader: the input is read as a formula with brackets, as
// one without, and part by part. Every formula read must print without mass numbers and read
// back to the same elements and counts, weigh a finite amount and equal itself; a formula that does not fit its 8-bit parts
// must raise EZEFCFormError and leave the previous formula in place.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ZEF_cform.h"

using namespace zef;

namespace {

// The parts with a count, as the printed form keeps them.
TFormulaRec CountedParts(const TMolForm& F) {
  TFormulaRec R;
  for (int32_t K = 1; K <= F.NumAtoms(); ++K)
    if (F.AtCnt(K) > 0) {
      ++R.FLeng;
      R.AtNum[R.FLeng] = static_cast<uint8_t>(F.AtNum(K));
      R.AtWgt[R.FLeng] = static_cast<uint8_t>(F.AtWgt(K));
      R.AtCnt[R.FLeng] = static_cast<uint8_t>(F.AtCnt(K));
    }
  return R;
}

bool SameParts(const TFormulaRec& A, const TFormulaRec& B) {
  return A.FLeng == B.FLeng && A.AtNum == B.AtNum && A.AtWgt == B.AtWgt && A.AtCnt == B.AtCnt;
}

bool SameElementsAndCounts(const TFormulaRec& A, const TFormulaRec& B) {
  return A.FLeng == B.FLeng && A.AtNum == B.AtNum && A.AtCnt == B.AtCnt;
}

void Check(TMolForm& F, TMolForm& Echo) {
  if (F.NumAtoms() < 0 || F.NumAtoms() > MaxFormulaParts) std::abort();
  for (int32_t K = 1; K <= F.NumAtoms(); ++K)
    if (F.AtNum(K) < 1 || F.AtNum(K) > 103) std::abort();
  if (!std::isfinite(F.ChemMolWgt()) || !std::isfinite(F.ExactMolWgt()) || F.NominalMolWgt() < 0)
    std::abort();
  // Without mass numbers the heaviest elements (Fm, Md, Lr) read back with their own mass
  // numbers, which do not fit 8 bits: the reader refuses them, which is all it may do.
  try {
    Echo.ReadFromString(F.AsString(0));
    if (!SameElementsAndCounts(CountedParts(F), CountedParts(Echo))) std::abort();
  } catch (const EZEFCFormError&) {
  }
  if (F.NumAtoms() > 0 && F.CompareTo(F) != 0) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view In(reinterpret_cast<const char*>(Data), Size);
  TMolForm F(nullptr), Echo(nullptr);
  F.SetVisible(false);
  Echo.SetVisible(false);
  for (int Reader = 0; Reader < 2; ++Reader) {
    F.ReadFromString("C2 H6 O1");
    const TFormulaRec Before = F.Parts();
    try {
      if (Reader == 0)
        F.SetMolFormula(std::string(In));
      else
        F.ReadFromString(In);
    } catch (const EZEFCFormError&) {
      if (!SameParts(F.Parts(), Before)) std::abort();
    }
    Check(F, Echo);
  }
  // Part by part from every position: the index never moves backwards or beyond the end.
  for (int32_t Start = 1; Start <= static_cast<int32_t>(std::min<size_t>(Size, 64)); ++Start) {
    int32_t Index = Start;
    int32_t Previous = Start;
    int32_t AtNr, AtWt, Count;
    try {
      while (F.ScanNextFormPart(In, Index, AtNr, AtWt, Count)) {
        if (Index <= Previous || AtNr < 1 || AtNr > 103 || Count < 1 || AtWt < 1) std::abort();
        Previous = Index;
      }
    } catch (const EZEFCFormError&) {
    }
    if (Index < 1 || static_cast<size_t>(Index) > Size + 1) std::abort();
  }
  return 0;
}
