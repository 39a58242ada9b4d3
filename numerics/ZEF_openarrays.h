// Sorting with a permutation, and the percentile of a plain array. The arrays are any
// contiguous range of values (std::vector, std::array, a C array) passed as a std::span.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zef {

// Sorts Values ascending (Ascending true) or descending, stably, and gives Permutation the
// same length: Permutation[k] is the 1-based position that the value now at 0-based index k
// had before the sort, so a second array reordered by it stays in step with Values. Equal
// values keep their order; NaN values go to the end in both directions.
void SortArray(bool Ascending, std::span<double> Values, std::vector<int32_t>& Permutation);
void SortArray(bool Ascending, std::span<int32_t> Values, std::vector<int32_t>& Permutation);

// The Percent-th percentile of Values, Percent in 0..100 (clamped; NaN counts as 0), by
// linear interpolation between the order statistics: with the n values sorted ascending as
// v[0] .. v[n-1] and h = (n - 1) * Percent / 100, the result is
// v[floor h] + (h - floor h) * (v[floor h + 1] - v[floor h]). So 0 gives the minimum, 50 the
// median, 100 the maximum; the quartiles are the percentiles 25, 50 and 75. NaN values are
// left out; an array without other values gives 0. Values ends up sorted ascending (NaN last).
double PercentileOfArray(double Percent, std::span<double> Values);

} // namespace zef
