// Distances on the sphere and principal component analysis.
#pragma once

#include <cstdint>

#include "ZEF_matrix.h"

namespace zef {

// The great-circle distance between (Lat1, Long1) and (Lat2, Long2), in degrees, on a sphere
// of the given Radius; the result is in the unit of Radius. The haversine form keeps short
// distances accurate (relative error near 1e-15); antipodal points give pi * Radius.
double SphereGreatCircleDist(double Radius, double Lat1, double Long1, double Lat2,
                             double Long2);

// How CalcPrincComp prepares the data before it forms the cross-product matrix.
enum TPrincCompScaling : uint8_t {
  pcsRaw,          // 0: the values as they are (sums of products about the origin)
  pcsCentered,     // 1: each column minus its mean: the covariance matrix
  pcsStandardized  // 2: centred and divided by the column's standard deviation: the
                   //    correlation matrix (a column of zero spread stays unscaled)
};

// Principal component analysis of the block of Data with the columns LowCol..HighCol as the
// variables and the rows LowRow..HighRow as the observations (bounds in either order, clipped
// to the matrix). Scaling is a TPrincCompScaling value; with pcsCentered and pcsStandardized
// the matrix is divided by (observations - 1), with pcsRaw by the number of observations.
// Data itself is not changed, so projecting its rows onto the axes rotates them about the
// origin, not about their mean.
//
// The result is kept for GetEigenResult and GetEigenValue until the next call (one analysis
// at a time in the process). The n = HighCol - LowCol + 1 axes are orthonormal and sorted by
// decreasing eigenvalue; each has its component of largest magnitude positive (the first such
// on ties), except that the last axis is turned round where that is needed for a right-handed
// set (determinant +1). Axes of equal eigenvalues are any orthonormal basis of their space.
//
// False, with the previous result cleared, when the block is empty, holds a non-finite value,
// has fewer than 2 rows for pcsCentered or pcsStandardized, or Scaling is unknown.
bool CalcPrincComp(const TMatrix& Data, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                   int32_t HighRow, int32_t Scaling);

// Component Component (1..n, the variable LowCol + Component - 1) of principal axis Axis
// (1..n) of the last CalcPrincComp; 0 outside or without a result.
double GetEigenResult(int32_t Axis, int32_t Component);
// The eigenvalue (variance along the axis) of principal axis Axis; 0 outside or without a
// result.
double GetEigenValue(int32_t Axis);

} // namespace zef
