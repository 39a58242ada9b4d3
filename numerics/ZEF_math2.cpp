#include "ZEF_math2.h"

#include <Eigen/Eigenvalues>

#include <algorithm>
#include <cmath>

namespace zef {
namespace {

// The last principal component analysis: Axes(k, i) is component k of axis i.
struct TPrincCompResult {
  Eigen::MatrixXd Axes;
  Eigen::VectorXd Values;
};
TPrincCompResult LastResult;

} // namespace

double SphereGreatCircleDist(double Radius, double Lat1, double Long1, double Lat2,
                             double Long2) {
  constexpr double Rad = 3.14159265358979323846 / 180;
  const double SinDLat = std::sin((Lat2 - Lat1) * Rad / 2);
  const double SinDLong = std::sin((Long2 - Long1) * Rad / 2);
  const double A = std::clamp(
      SinDLat * SinDLat + std::cos(Lat1 * Rad) * std::cos(Lat2 * Rad) * SinDLong * SinDLong,
      0.0, 1.0);
  return Radius * 2 * std::atan2(std::sqrt(A), std::sqrt(1 - A));
}

bool CalcPrincComp(const TMatrix& Data, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                   int32_t HighRow, int32_t Scaling) {
  LastResult = {};
  if (Scaling < pcsRaw || Scaling > pcsStandardized) return false;
  if (LowCol > HighCol) std::swap(LowCol, HighCol);
  if (LowRow > HighRow) std::swap(LowRow, HighRow);
  LowCol = std::max(LowCol, 1);
  LowRow = std::max(LowRow, 1);
  HighCol = std::min(HighCol, Data.NrOfColumns());
  HighRow = std::min(HighRow, Data.NrOfRows());
  const int N = HighCol - LowCol + 1;
  const int M = HighRow - LowRow + 1;
  if (N < 1 || M < 1 || (Scaling != pcsRaw && M < 2)) return false;

  Eigen::MatrixXd X(M, N);
  for (int R = 0; R < M; ++R)
    for (int C = 0; C < N; ++C) X(R, C) = Data.GetVal(LowCol + C, LowRow + R);
  if (!X.allFinite()) return false;
  if (Scaling != pcsRaw) X.rowwise() -= X.colwise().mean();
  if (Scaling == pcsStandardized)
    for (int C = 0; C < N; ++C) {
      const double Spread = std::sqrt(X.col(C).squaredNorm() / (M - 1));
      if (Spread > 0) X.col(C) /= Spread;
    }
  const Eigen::MatrixXd Cross = (X.transpose() * X) / (Scaling == pcsRaw ? M : M - 1);

  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> Solver(Cross);
  if (Solver.info() != Eigen::Success) return false;
  // The solver sorts ascending; the axes go by decreasing eigenvalue.
  Eigen::MatrixXd Axes = Solver.eigenvectors().rowwise().reverse();
  Eigen::VectorXd Values = Solver.eigenvalues().reverse();
  for (int I = 0; I < N; ++I) {
    Eigen::Index Largest = 0;
    for (Eigen::Index K = 1; K < N; ++K)
      if (std::fabs(Axes(K, I)) > std::fabs(Axes(Largest, I))) Largest = K;
    if (Axes(Largest, I) < 0) Axes.col(I) = -Axes.col(I);
  }
  if (Axes.determinant() < 0) Axes.col(N - 1) = -Axes.col(N - 1);
  LastResult.Axes = std::move(Axes);
  LastResult.Values = std::move(Values);
  return true;
}

double GetEigenResult(int32_t Axis, int32_t Component) {
  const auto N = static_cast<int32_t>(LastResult.Values.size());
  if (Axis < 1 || Axis > N || Component < 1 || Component > N) return 0;
  return LastResult.Axes(Component - 1, Axis - 1);
}

double GetEigenValue(int32_t Axis) {
  const auto N = static_cast<int32_t>(LastResult.Values.size());
  if (Axis < 1 || Axis > N) return 0;
  return LastResult.Values(Axis - 1);
}

} // namespace zef
