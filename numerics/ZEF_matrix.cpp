#include "ZEF_matrix.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "ZEF_openarrays.h"
#include "rtl/numconv.h"

namespace zef {
namespace {

// Resizes row-major storage of OldCols x OldRows to NrCols x NrRows (negative as 0), keeping
// the overlap. Raises before touching Data when the size is beyond the limit or the memory.
template <class T>
void ResizeStorage(const char* ClassName, std::vector<T>& Data, int32_t& OldCols,
                   int32_t& OldRows, int32_t NrCols, int32_t NrRows) {
  NrCols = std::max(NrCols, 0);
  NrRows = std::max(NrRows, 0);
  const int64_t Count = int64_t(NrCols) * NrRows;
  const std::string Size = IntToStr(NrCols) + " x " + IntToStr(NrRows);
  if (Count > MaxNumericsElements)
    throw EZEFNumericsError(std::string(ClassName) + ": " + Size +
                            " elements exceed the limit of " + IntToStr(MaxNumericsElements));
  try {
    std::vector<T> New(static_cast<std::size_t>(Count), T(0));
    const int32_t KeepCols = std::min(OldCols, NrCols);
    const int32_t KeepRows = std::min(OldRows, NrRows);
    for (int32_t R = 0; R < KeepRows; ++R)
      std::copy_n(Data.begin() + std::ptrdiff_t(R) * OldCols, KeepCols,
                  New.begin() + std::ptrdiff_t(R) * NrCols);
    Data.swap(New);
  } catch (const std::bad_alloc&) {
    throw EZEFNumericsError(std::string(ClassName) + ": not enough memory for " + Size +
                            " elements");
  }
  OldCols = NrCols;
  OldRows = NrRows;
}

} // namespace

// ---- TMatrix ------------------------------------------------------------------------------

TMatrix::TMatrix(int32_t NrCols, int32_t NrRows) {
  ResizeStorage("TMatrix", FData, FNrCols, FNrRows, NrCols, NrRows);
}

void TMatrix::Resize(int32_t NrCols, int32_t NrRows) {
  ResizeStorage("TMatrix", FData, FNrCols, FNrRows, NrCols, NrRows);
  Changed();
}

void TMatrix::Fill(double Value) {
  std::fill(FData.begin(), FData.end(), Value);
  Changed();
}

void TMatrix::SetVal(int32_t Col, int32_t Row, double Value) {
  if (!Inside(Col, Row)) return;
  FData[Index(Col, Row)] = Value;
  Changed();
}

void TMatrix::Clone(const TMatrix& Source) {
  if (&Source == this) return;
  std::vector<double> New;
  try {
    New = Source.FData;
  } catch (const std::bad_alloc&) {
    throw EZEFNumericsError("TMatrix: not enough memory for " + IntToStr(Source.FNrCols) +
                            " x " + IntToStr(Source.FNrRows) + " elements");
  }
  FData.swap(New);
  FNrCols = Source.FNrCols;
  FNrRows = Source.FNrRows;
  Changed();
}

bool TMatrix::ClipBlock(int32_t& LowCol, int32_t& LowRow, int32_t& HighCol, int32_t& HighRow) const {
  return ClipIndexBlock(LowCol, LowRow, HighCol, HighRow, FNrCols, FNrRows);
}

bool TMatrix::MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                     double& Min, double& Max) const {
  bool Any = false;
  double Lo = 0;
  double Hi = 0;
  if (ClipBlock(LowCol, LowRow, HighCol, HighRow)) {
    for (int32_t R = LowRow; R <= HighRow; ++R) {
      const double* P = FData.data() + Index(LowCol, R);
      for (int32_t C = LowCol; C <= HighCol; ++C, ++P) {
        const double V = *P;
        if (std::isnan(V)) continue;
        if (!Any) {
          Lo = Hi = V;
          Any = true;
        } else if (V < Lo) {
          Lo = V;
        } else if (V > Hi) {
          Hi = V;
        }
      }
    }
  }
  Min = Lo;
  Max = Hi;
  return Any;
}

double TMatrix::Percentile(double Percent, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                           int32_t HighRow) const {
  std::vector<double> Values;
  if (ClipBlock(LowCol, LowRow, HighCol, HighRow)) {
    Values.reserve(static_cast<std::size_t>(HighCol - LowCol + 1) *
                   static_cast<std::size_t>(HighRow - LowRow + 1));
    for (int32_t R = LowRow; R <= HighRow; ++R) {
      const double* P = FData.data() + Index(LowCol, R);
      Values.insert(Values.end(), P, P + (HighCol - LowCol + 1));
    }
  }
  return PercentileOfArray(Percent, Values);
}

double TMatrix::Percentile(double Percent) const {
  return Percentile(Percent, 1, 1, FNrCols, FNrRows);
}

void TMatrix::BeginUpdate() { ++FUpdateCount; }

void TMatrix::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FChangePending) {
    FChangePending = false;
    if (OnChange) OnChange(this);
  }
}

void TMatrix::Changed() {
  if (FUpdateCount > 0) {
    FChangePending = true;
    return;
  }
  if (OnChange) OnChange(this);
}

// ---- TIntMatrix ---------------------------------------------------------------------------

TIntMatrix::TIntMatrix(int32_t NrCols, int32_t NrRows) {
  ResizeStorage("TIntMatrix", FData, FNrCols, FNrRows, NrCols, NrRows);
}

void TIntMatrix::Resize(int32_t NrCols, int32_t NrRows) {
  ResizeStorage("TIntMatrix", FData, FNrCols, FNrRows, NrCols, NrRows);
}

void TIntMatrix::SetNRows(int32_t NrRows) { Resize(FNrCols, NrRows); }

void TIntMatrix::Fill(int32_t Value) { std::fill(FData.begin(), FData.end(), Value); }

} // namespace zef
