// Vectors of 64-bit floats, indexed from 1.
#pragma once

#include <cstdint>
#include <vector>

#include "ZEF_numerror.h"
#include "classes/object.h"

namespace zef {

// A vector of doubles. Elements are indexed 1 .. NrOfElem(); reads outside give 0 and writes
// outside are ignored. Sizes beyond MaxNumericsElements (ZEF_numerror.h) or beyond the memory
// raise EZEFNumericsError and leave the vector as it was; negative sizes count as 0.
class TVector : public TObject {
public:
  // A vector of Size zeros.
  explicit TVector(int32_t Size = 1);
  TVector(const TVector&) = delete;
  TVector& operator=(const TVector&) = delete;

  int32_t NrOfElem() const { return static_cast<int32_t>(FData.size()); }
  // Makes the vector Size elements long, all 0.
  void SetVecSize(int32_t Size);
  // Makes the vector Size elements long, keeping the first values; new elements are 0.
  void Resize(int32_t Size);
  void Fill(double Value);

  double GetVal(int32_t Ix) const {
    return Ix >= 1 && Ix <= NrOfElem() ? FData[static_cast<std::size_t>(Ix - 1)] : 0;
  }
  void SetVal(int32_t Ix, double Value) {
    if (Ix >= 1 && Ix <= NrOfElem()) FData[static_cast<std::size_t>(Ix - 1)] = Value;
  }

  // The Percent-th percentile (0..100) of the elements LowIx .. HighIx (either order, clipped
  // to the vector), as PercentileOfArray (ZEF_openarrays.h) defines it; 0 for an empty range.
  double Percentile(double Percent, int32_t LowIx, int32_t HighIx) const;

private:
  std::vector<double> FData;
};

} // namespace zef
