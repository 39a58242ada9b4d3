#include "ZEF_vector.h"

#include <algorithm>
#include <new>

#include "ZEF_numerror.h"
#include "ZEF_openarrays.h"
#include "rtl/numconv.h"

namespace zef {
namespace {

std::size_t CheckedSize(int32_t Size) {
  const int32_t N = std::max(Size, 0);
  if (N > MaxNumericsElements)
    throw EZEFNumericsError("TVector: " + IntToStr(N) + " elements exceed the limit of " +
                            IntToStr(MaxNumericsElements));
  return static_cast<std::size_t>(N);
}

} // namespace

TVector::TVector(int32_t Size) { SetVecSize(Size); }

void TVector::SetVecSize(int32_t Size) {
  const std::size_t N = CheckedSize(Size);
  try {
    std::vector<double> New(N, 0.0);
    FData.swap(New);
  } catch (const std::bad_alloc&) {
    throw EZEFNumericsError("TVector: not enough memory for " + IntToStr(Size) + " elements");
  }
}

void TVector::Resize(int32_t Size) {
  const std::size_t N = CheckedSize(Size);
  try {
    std::vector<double> New(N, 0.0);
    std::copy_n(FData.begin(), std::min(N, FData.size()), New.begin());
    FData.swap(New);
  } catch (const std::bad_alloc&) {
    throw EZEFNumericsError("TVector: not enough memory for " + IntToStr(Size) + " elements");
  }
}

void TVector::Fill(double Value) { std::fill(FData.begin(), FData.end(), Value); }

double TVector::Percentile(double Percent, int32_t LowIx, int32_t HighIx) const {
  if (LowIx > HighIx) std::swap(LowIx, HighIx);
  LowIx = std::max(LowIx, 1);
  HighIx = std::min(HighIx, NrOfElem());
  if (LowIx > HighIx) return 0;
  std::vector<double> Values(FData.begin() + (LowIx - 1), FData.begin() + HighIx);
  return PercentileOfArray(Percent, Values);
}

} // namespace zef
