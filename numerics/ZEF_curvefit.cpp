#include "ZEF_curvefit.h"

#include <Eigen/QR>
#include <Eigen/SVD>

#include <algorithm>
#include <cmath>

#include "rtl/numconv.h"
#include "rtl/progress.h"

namespace zef {
namespace {

struct TSpread {
  double Mean = 0;
  double SumSq = 0;   // sum of squared deviations from the mean
  double MaxAbs = 0;  // largest magnitude of a value
};

TSpread SpreadOf(const std::vector<double>& V) {
  TSpread S;
  if (V.empty()) return S;
  for (double X : V) {
    S.Mean += X;
    S.MaxAbs = std::max(S.MaxAbs, std::fabs(X));
  }
  S.Mean /= static_cast<double>(V.size());
  for (double X : V) S.SumSq += (X - S.Mean) * (X - S.Mean);
  return S;
}

// Whether the values are all equal up to rounding: their spread is below 1e-12 of their size.
bool NoSpread(const TSpread& S, std::size_t N) {
  return !(std::sqrt(S.SumSq / static_cast<double>(N)) > 1e-12 * S.MaxAbs);
}

double RSquared(double SSRes, const TSpread& Y, std::size_t N) {
  if (NoSpread(Y, N))
    return std::sqrt(SSRes / static_cast<double>(N)) <= 1e-12 * Y.MaxAbs ? 1 : 0;
  return std::clamp(1 - SSRes / Y.SumSq, 0.0, 1.0);
}

} // namespace

// ---- TCurveFit ----------------------------------------------------------------------------

void TCurveFit::Init() {
  FX.clear();
  FY.clear();
}

void TCurveFit::EnterStatValue(double X, double Y) {
  if (!std::isfinite(X) || !std::isfinite(Y)) return;
  FX.push_back(X);
  FY.push_back(Y);
}

bool TCurveFit::CalcLinFit(double& k, double& d, double& FitQual) const {
  k = d = FitQual = 0;
  const std::size_t N = FX.size();
  if (N < 2) return false;
  const TSpread X = SpreadOf(FX);
  const TSpread Y = SpreadOf(FY);
  if (NoSpread(X, N)) return false;
  double Sxy = 0;
  for (std::size_t I = 0; I < N; ++I) Sxy += (FX[I] - X.Mean) * (FY[I] - Y.Mean);
  const double Slope = Sxy / X.SumSq;
  const double Intercept = Y.Mean - Slope * X.Mean;
  if (!std::isfinite(Slope) || !std::isfinite(Intercept)) return false;
  double SSRes = 0;
  for (std::size_t I = 0; I < N; ++I) {
    const double R = FY[I] - (Slope * FX[I] + Intercept);
    SSRes += R * R;
  }
  k = Slope;
  d = Intercept;
  FitQual = RSquared(SSRes, Y, N);
  return true;
}

bool TCurveFit::CalcParabolFit(double& c0, double& c1, double& c2, double& FitQual) const {
  c0 = c1 = c2 = FitQual = 0;
  const auto N = static_cast<Eigen::Index>(FX.size());
  if (N < 3) return false;
  // Fit in t = (x - Mid) / Half, which lies in -1..1, to keep the design matrix well
  // conditioned; then expand back to powers of x.
  const auto [Lo, Hi] = std::minmax_element(FX.begin(), FX.end());
  const double Mid = (*Lo + *Hi) / 2;
  const double Half = (*Hi - *Lo) / 2;
  if (!(Half > 1e-12 * std::max(std::fabs(*Lo), std::fabs(*Hi)))) return false;
  Eigen::MatrixXd D(N, 3);
  Eigen::VectorXd Yv(N);
  for (Eigen::Index I = 0; I < N; ++I) {
    const double T = (FX[static_cast<std::size_t>(I)] - Mid) / Half;
    D(I, 0) = 1;
    D(I, 1) = T;
    D(I, 2) = T * T;
    Yv(I) = FY[static_cast<std::size_t>(I)];
  }
  Eigen::ColPivHouseholderQR<Eigen::MatrixXd> QR(D);
  QR.setThreshold(1e-10);
  if (QR.rank() < 3) return false;
  const Eigen::Vector3d A = QR.solve(Yv);
  const double C2 = A(2) / (Half * Half);
  const double C1 = A(1) / Half - 2 * A(2) * Mid / (Half * Half);
  const double C0 = A(0) - A(1) * Mid / Half + A(2) * Mid * Mid / (Half * Half);
  if (!std::isfinite(C0) || !std::isfinite(C1) || !std::isfinite(C2)) return false;
  const double SSRes = (D * A - Yv).squaredNorm();
  c0 = C0;
  c1 = C1;
  c2 = C2;
  FitQual = RSquared(SSRes, SpreadOf(FY), FX.size());
  return true;
}

void TCurveFit::CalcStatistics(int32_t& NData, double& MeanX, double& MeanY, double& StdDevX,
                               double& StdDevY, double& CorrCoeff, double& RMSDiff,
                               double& MaxAbsDiff) const {
  NData = NumData();
  MeanX = MeanY = StdDevX = StdDevY = CorrCoeff = RMSDiff = MaxAbsDiff = 0;
  const std::size_t N = FX.size();
  if (N == 0) return;
  const TSpread X = SpreadOf(FX);
  const TSpread Y = SpreadOf(FY);
  MeanX = X.Mean;
  MeanY = Y.Mean;
  double Sxy = 0;
  double SumSqDiff = 0;
  for (std::size_t I = 0; I < N; ++I) {
    Sxy += (FX[I] - X.Mean) * (FY[I] - Y.Mean);
    const double Diff = FY[I] - FX[I];
    SumSqDiff += Diff * Diff;
    MaxAbsDiff = std::max(MaxAbsDiff, std::fabs(Diff));
  }
  RMSDiff = std::sqrt(SumSqDiff / static_cast<double>(N));
  if (N < 2) return;
  StdDevX = std::sqrt(X.SumSq / static_cast<double>(N - 1));
  StdDevY = std::sqrt(Y.SumSq / static_cast<double>(N - 1));
  if (X.SumSq > 0 && Y.SumSq > 0)
    CorrCoeff = std::clamp(Sxy / std::sqrt(X.SumSq * Y.SumSq), -1.0, 1.0);
}

// ---- SolveLeastSquares --------------------------------------------------------------------

bool SolveLeastSquares(const TMatrix& A, const TVector& B, TVector& X) {
  const int32_t N = A.NrOfColumns();
  const int32_t M = A.NrOfRows();
  if (B.NrOfElem() != M)
    throw EZEFNumericsError("SolveLeastSquares: the right-hand side has " +
                            IntToStr(B.NrOfElem()) + " elements for " + IntToStr(M) +
                            " equations");
  X.SetVecSize(N);
  if (N == 0 || M == 0) return false;
  Eigen::MatrixXd Am(M, N);
  Eigen::VectorXd Bv(M);
  for (int32_t I = 0; I < M; ++I) {
    for (int32_t J = 0; J < N; ++J) Am(I, J) = A.GetVal(J + 1, I + 1);
    Bv(I) = B.GetVal(I + 1);
  }
  if (!Am.allFinite() || !Bv.allFinite()) return false;

  if (!MathProcStep()) return false;
  const Eigen::JacobiSVD<Eigen::MatrixXd> Svd(Am, Eigen::ComputeThinU | Eigen::ComputeThinV);
  if (Svd.info() != Eigen::Success) return false;
  const Eigen::VectorXd& W = Svd.singularValues();  // in decreasing order
  const double Cut = W.size() > 0 ? 1e-14 * W(0) : 0;
  const Eigen::MatrixXd& U = Svd.matrixU();
  const Eigen::MatrixXd& V = Svd.matrixV();
  Eigen::VectorXd Solution = Eigen::VectorXd::Zero(N);
  const Eigen::VectorXd UtB = U.transpose() * Bv;
  for (Eigen::Index K = 0; K < W.size(); ++K) {
    if (!MathProcStep()) return false;
    if (W(K) > Cut) Solution += V.col(K) * (UtB(K) / W(K));
  }
  // Two steps of refinement against the residual, summed in extended precision, recover the
  // digits that badly scaled columns (powers of pixel positions) cost. Each correction lies
  // in the span of the kept singular vectors, so the solution keeps its minimum norm.
  for (int Step = 0; Step < 2 && Solution.allFinite(); ++Step) {
    Eigen::VectorXd Residual(M);
    for (Eigen::Index I = 0; I < M; ++I) {
      long double R = Bv(I);
      for (Eigen::Index J = 0; J < N; ++J)
        R -= static_cast<long double>(Am(I, J)) * Solution(J);
      Residual(I) = static_cast<double>(R);
    }
    const Eigen::VectorXd UtR = U.transpose() * Residual;
    for (Eigen::Index K = 0; K < W.size(); ++K)
      if (W(K) > Cut) Solution += V.col(K) * (UtR(K) / W(K));
  }
  if (!Solution.allFinite()) return false;
  for (int32_t J = 0; J < N; ++J) X.SetVal(J + 1, Solution(J));
  return true;
}

} // namespace zef
