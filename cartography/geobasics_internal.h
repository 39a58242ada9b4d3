// Internal to ZEF_geobasics: constants derived once per ellipsoid for the hot conversion paths.
#pragma once

#include <array>

#include "ZEF_geobasics.h"

namespace zef::geobasics_detail {

// Everything the TM series, the geocentric conversions and the UPS formulas need of one
// ellipsoid, derived from its two axes at compile time.
struct TEllipsoidConsts {
  double a, b;
  double e2;                          // first eccentricity squared 1 - b^2/a^2
  double ep2;                         // second eccentricity squared (a^2 - b^2)/b^2
  double f;                           // flattening 1 - b/a
  double c;                           // polar radius of curvature a^2/b
  double Alpha;                       // meridian arc: (a + b)/2 (1 + n^2/4 + n^4/64)
  double Beta, Gamma, Delta, Epsilon; // coefficients of sin 2phi .. sin 8phi
  double Fp2, Fp4, Fp6, Fp8;          // footpoint latitude coefficients
};

extern const std::array<TEllipsoidConsts, GeoEllipsoidCount> EllipsoidConsts;

[[noreturn]] void ThrowInvalidEllipsoid();

// The constants of Ellipsoid; a value outside the table raises EZEFGeoBasicsError.
inline const TEllipsoidConsts& ConstsOf(TGeoEllipsoid Ellipsoid) {
  if (Ellipsoid >= GeoEllipsoidCount) [[unlikely]]
    ThrowInvalidEllipsoid();
  return EllipsoidConsts[Ellipsoid];
}

inline constexpr double DegToRad = 0.017453292519943295769;
inline constexpr double RadToDeg = 57.295779513082320877;

} // namespace zef::geobasics_detail
