// Least-squares fitting: TCurveFit for straight lines and parabolas through (x, y) pairs, and
// SolveLeastSquares for general linear models.
#pragma once

#include <cstdint>
#include <vector>

#include "ZEF_matrix.h"
#include "ZEF_vector.h"
#include "classes/object.h"

namespace zef {

// Collects (x, y) pairs and fits curves to them. Degenerate data never give NaN or raise:
// a fit that is not determined sets its coefficients and quality to 0 and returns false.
//
// FitQual of both fits is the coefficient of determination R^2 = 1 - SSres / SStot in 0..1
// (1 for a perfect fit; SSres is the sum of squared residuals, SStot that of y about its
// mean); when all y are equal it is 1 for a fit without residue and 0 otherwise.
class TCurveFit : public TObject {
public:
  // Removes all pairs.
  void Init();
  // Adds one pair; a pair with a NaN or infinite value is not taken.
  void EnterStatValue(double X, double Y);
  int32_t NumData() const { return static_cast<int32_t>(FX.size()); }

  // The line y = k x + d. Not determined with fewer than 2 pairs or when all x are equal
  // (their spread below 1e-12 of their magnitude).
  bool CalcLinFit(double& k, double& d, double& FitQual) const;
  // The parabola y = c0 + c1 x + c2 x^2. Not determined with fewer than 3 pairs or fewer than
  // 3 distinct x (numerically: a design matrix of rank below 3 after scaling x into -1..1).
  bool CalcParabolFit(double& c0, double& c1, double& c2, double& FitQual) const;

  // Statistics of the pairs, all 0 without pairs:
  //   NData       the number of pairs
  //   MeanX/Y     the means
  //   StdDevX/Y   the sample standard deviations (divided by n - 1; 0 for one pair)
  //   CorrCoeff   Pearson's correlation of x and y (0 when either spread is 0)
  //   RMSDiff     the root mean square of y - x: how far the pairs are from y = x, for
  //               example measured against predicted positions (0 when they agree)
  //   MaxAbsDiff  the largest |y - x|
  void CalcStatistics(int32_t& NData, double& MeanX, double& MeanY, double& StdDevX,
                      double& StdDevY, double& CorrCoeff, double& RMSDiff,
                      double& MaxAbsDiff) const;

private:
  std::vector<double> FX;
  std::vector<double> FY;
};

// Solves the over- or under-determined system A x = B in the least-squares sense. A has one
// column per unknown and one row per equation (GetVal(j, i) is the coefficient of unknown j
// in equation i); B has one element per row. X receives one element per column.
//
// A singular value decomposition of A gives the solution x = V diag(1/w) U^T b, where
// singular values w below 1e-14 times the largest are taken as zero (1/w as 0): the
// minimum-norm least-squares solution, which stays finite for too few or degenerate
// equations. Two steps of iterative refinement against the residual follow, so that badly
// scaled columns (powers of pixel positions) keep their digits: exact data give the
// coefficients to about 1e-11 relative where the columns span twelve orders of magnitude.
// Progress follows rtl/progress.h: MathProcStep() is called once before the
// decomposition and once per singular value while the solution is formed; when it returns
// false the solution fails.
//
// False, with X all 0, when A has no rows or columns, a value is not finite, the
// decomposition fails or the run is aborted. A B whose length differs from the rows of A
// raises EZEFNumericsError.
bool SolveLeastSquares(const TMatrix& A, const TVector& B, TVector& X);

} // namespace zef
