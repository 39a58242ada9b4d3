// The error class of the numerics library.
#pragma once

#include <algorithm>
#include <utility>
#include <cstdint>

#include "rtl/exceptions.h"

namespace zef {

// Raised where an operation of the numerics library truly fails: a size beyond the limit or
// beyond the memory, or arguments of mismatched sizes. Messages begin with the class or
// function name. Index arguments outside a container never raise; they are ignored by
// setters and give neutral values (0, false, empty text) from getters.
ZEF_DECLARE_EXCEPTION(EZEFNumericsError, Exception);

// The largest number of elements a matrix, vector or data table may hold (2^28); larger
// sizes raise EZEFNumericsError (TDataTable refuses them) before any memory is taken.
inline constexpr int64_t MaxNumericsElements = int64_t(1) << 28;

// Orders a block's bounds and cuts them to columns 1..NrCols and rows 1..NrRows; false when
// nothing of the block remains.
inline bool ClipIndexBlock(int32_t& LowCol, int32_t& LowRow, int32_t& HighCol, int32_t& HighRow,
                           int32_t NrCols, int32_t NrRows) {
  if (LowCol > HighCol) std::swap(LowCol, HighCol);
  if (LowRow > HighRow) std::swap(LowRow, HighRow);
  LowCol = std::max(LowCol, 1);
  LowRow = std::max(LowRow, 1);
  HighCol = std::min(HighCol, NrCols);
  HighRow = std::min(HighRow, NrRows);
  return LowCol <= HighCol && LowRow <= HighRow;
}

} // namespace zef
