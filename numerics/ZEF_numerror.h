// The error class of the numerics library.
#pragma once

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

} // namespace zef
