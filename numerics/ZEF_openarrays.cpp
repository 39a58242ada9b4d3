#include "ZEF_openarrays.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zef {
namespace {

// Orders a before b: by value in the requested direction, NaN after every number.
template <class T>
bool Precedes(T A, T B, bool Ascending) {
  if constexpr (std::is_floating_point_v<T>) {
    if (std::isnan(A)) return false;
    if (std::isnan(B)) return true;
  }
  return Ascending ? A < B : B < A;
}

template <class T>
void SortWithPermutation(bool Ascending, std::span<T> Values, std::vector<int32_t>& Permutation) {
  std::vector<std::size_t> Order(Values.size());
  std::iota(Order.begin(), Order.end(), std::size_t(0));
  std::stable_sort(Order.begin(), Order.end(), [&](std::size_t I, std::size_t J) {
    return Precedes(Values[I], Values[J], Ascending);
  });
  const std::vector<T> Old(Values.begin(), Values.end());
  Permutation.resize(Values.size());
  for (std::size_t K = 0; K < Order.size(); ++K) {
    Values[K] = Old[Order[K]];
    Permutation[K] = static_cast<int32_t>(Order[K] + 1);
  }
}

} // namespace

void SortArray(bool Ascending, std::span<double> Values, std::vector<int32_t>& Permutation) {
  SortWithPermutation(Ascending, Values, Permutation);
}

void SortArray(bool Ascending, std::span<int32_t> Values, std::vector<int32_t>& Permutation) {
  SortWithPermutation(Ascending, Values, Permutation);
}

double PercentileOfArray(double Percent, std::span<double> Values) {
  std::sort(Values.begin(), Values.end(),
            [](double A, double B) { return Precedes(A, B, true); });
  const auto N = static_cast<std::size_t>(
      std::find_if(Values.begin(), Values.end(), [](double V) { return std::isnan(V); }) -
      Values.begin());
  if (N == 0) return 0;
  const double P = std::isnan(Percent) ? 0 : std::clamp(Percent, 0.0, 100.0);
  const double H = static_cast<double>(N - 1) * P / 100;
  const auto Lo = static_cast<std::size_t>(std::floor(H));
  const double F = H - static_cast<double>(Lo);
  if (F == 0 || Lo + 1 >= N) return Values[std::min(Lo, N - 1)];
  return Values[Lo] + F * (Values[Lo + 1] - Values[Lo]);
}

} // namespace zef
