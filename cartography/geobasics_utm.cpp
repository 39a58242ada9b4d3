// UTM zones and bands, the Transverse Mercator series, UTM and UPS.
#include <cmath>

#include "ZEF_geobasics.h"
#include "ZEF_univconst.h"
#include "geobasics_internal.h"

namespace zef {

using geobasics_detail::ConstsOf;
using geobasics_detail::DegToRad;
using geobasics_detail::RadToDeg;
using geobasics_detail::TEllipsoidConsts;

namespace {

constexpr double UTMScale = 0.9996;
constexpr double UTMFalseEasting = 500000.0;
constexpr double UTMFalseNorthingSouth = 10000000.0;
constexpr double UPSScale = 0.994;
constexpr double UPSFalseOrigin = 2000000.0;

// sin 2k phi for k = 1..4 from sin phi and cos phi by the multiple-angle recurrences, so that
// the series cost one sine and cosine instead of four.
struct TMultipleSines {
  double S2, S4, S6, S8;
};

TMultipleSines MultipleSines(double SinPhi, double CosPhi) {
  const double S2 = 2 * SinPhi * CosPhi;
  const double C2 = (CosPhi - SinPhi) * (CosPhi + SinPhi);
  const double S4 = 2 * S2 * C2;
  const double C4 = (C2 - S2) * (C2 + S2);
  return {S2, S4, S4 * C2 + C4 * S2, 2 * S4 * C4};
}

// Sines of 2x, 4x, 6x and 8x.
TMultipleSines MultipleSinesOf(double x) {
  const double S = std::sin(x), C = std::cos(x);
  return MultipleSines(S, C);
}

double MeridianArc(const TEllipsoidConsts& E, double Phi, double SinPhi, double CosPhi) {
  const TMultipleSines M = MultipleSines(SinPhi, CosPhi);
  return E.Alpha * (Phi + E.Beta * M.S2 + E.Gamma * M.S4 + E.Delta * M.S6 + E.Epsilon * M.S8);
}

void TMForward(const TEllipsoidConsts& E, double Phi, double Lambda, double Lambda0, double& x,
               double& y) {
  const double s = std::sin(Phi), c = std::cos(Phi);
  const double nu2 = E.ep2 * c * c;
  const double N = E.c / std::sqrt(1 + nu2);
  const double t = s / c;
  const double t2 = t * t;
  const double cl = c * (Lambda - Lambda0); // cos(phi) l: every term is a power of it
  const double cl2 = cl * cl;
  const double A3 = 1 - t2 + nu2;
  const double A5 = 5 - 18 * t2 + t2 * t2 + 14 * nu2 - 58 * t2 * nu2;
  const double A7 = 61 - 479 * t2 + 179 * t2 * t2 - t2 * t2 * t2;
  x = N * cl * (1 + cl2 * (A3 / 6 + cl2 * (A5 / 120 + cl2 * (A7 / 5040))));
  const double B4 = 5 - t2 + 9 * nu2 + 4 * nu2 * nu2;
  const double B6 = 61 - 58 * t2 + t2 * t2 + 270 * nu2 - 330 * t2 * nu2;
  const double B8 = 1385 - 3111 * t2 + 543 * t2 * t2 - t2 * t2 * t2;
  y = MeridianArc(E, Phi, s, c) +
      N * t * cl2 * (0.5 + cl2 * (B4 / 24 + cl2 * (B6 / 720 + cl2 * (B8 / 40320))));
}

void TMInverse(const TEllipsoidConsts& E, double x, double y, double Lambda0, double& Phi,
               double& Lambda) {
  // Footpoint latitude: the latitude whose meridian arc is y.
  const double yp = y / E.Alpha;
  const TMultipleSines M = MultipleSinesOf(yp);
  const double Phif = yp + E.Fp2 * M.S2 + E.Fp4 * M.S4 + E.Fp6 * M.S6 + E.Fp8 * M.S8;
  const double sf = std::sin(Phif), cf = std::cos(Phif);
  const double nuf2 = E.ep2 * cf * cf;
  const double Nf = E.c / std::sqrt(1 + nuf2);
  const double tf = sf / cf;
  const double tf2 = tf * tf;
  const double tf4 = tf2 * tf2;
  const double u = x / Nf; // every term is a power of x / Nf
  const double u2 = u * u;
  const double P2 = -1 - nuf2;
  const double P4 =
      5 + 3 * tf2 + 6 * nuf2 - 6 * tf2 * nuf2 - 3 * nuf2 * nuf2 - 9 * tf2 * nuf2 * nuf2;
  const double P6 = -61 - 90 * tf2 - 45 * tf4 - 107 * nuf2 + 162 * tf2 * nuf2;
  const double P8 = 1385 + 3633 * tf2 + 4095 * tf4 + 1575 * tf4 * tf2;
  Phi = Phif + tf * u2 * (P2 / 2 + u2 * (P4 / 24 + u2 * (P6 / 720 + u2 * (P8 / 40320))));
  const double Q3 = -1 - 2 * tf2 - nuf2;
  const double Q5 = 5 + 28 * tf2 + 24 * tf4 + 6 * nuf2 + 8 * tf2 * nuf2;
  const double Q7 = -61 - 662 * tf2 - 1320 * tf4 - 720 * tf4 * tf2;
  Lambda = Lambda0 + u / cf * (1 + u2 * (Q3 / 6 + u2 * (Q5 / 120 + u2 * (Q7 / 5040))));
}

} // namespace

void GeoToUTMZone(double Latitude, double Longitude, int32_t& Zone, char& Letter) {
  Zone = 0;
  Letter = ' ';
  // Written as a positive test so that NaN stays outside as well.
  if (!(Latitude >= -80 && Latitude <= 84 && Longitude >= -180 && Longitude < 180)) return;
  int32_t Band = static_cast<int32_t>(std::floor(Latitude + 80)) / 8;
  if (Band >= 6) ++Band;     // skip I
  if (Band >= 12) ++Band;    // skip O
  if (Band >= 21) Band = 21; // 80..84 belongs to X
  Letter = static_cast<char>('C' + Band);
  Zone = static_cast<int32_t>(std::floor((Longitude + 180) / 6)) + 1;
  if (Letter == 'V' && Longitude >= 3 && Longitude < 12) Zone = 32;
  if (Letter == 'X' && Longitude >= 0 && Longitude < 42)
    Zone = 2 * static_cast<int32_t>(std::floor((Longitude + 3) / 12)) + 31;
}

std::string GeoToUTMZone(double Latitude, double Longitude) {
  int32_t Zone;
  char Letter;
  GeoToUTMZone(Latitude, Longitude, Zone, Letter);
  if (Zone == 0) return {};
  return std::to_string(Zone) + Letter;
}

double ArcLengthOfMeridian(double Latitude, TGeoEllipsoid Ellipsoid) {
  return MeridianArc(ConstsOf(Ellipsoid), Latitude, std::sin(Latitude), std::cos(Latitude));
}

double UTMCentralMeridian(int32_t Zone) {
  if (Zone < 1 || Zone > 60) return 0;
  return (6.0 * Zone - 183.0) * DegToRad;
}

void LatLongToTM(double Latitude, double Longitude, double CentralMeridian, TGeoEllipsoid Ellipsoid,
                 double& x, double& y) {
  TMForward(ConstsOf(Ellipsoid), Latitude, Longitude, CentralMeridian, x, y);
}

void TMToLatLong(double x, double y, double CentralMeridian, TGeoEllipsoid Ellipsoid,
                 double& Latitude, double& Longitude) {
  TMInverse(ConstsOf(Ellipsoid), x, y, CentralMeridian, Latitude, Longitude);
}

void LatLongToUTM(double Latitude, double Longitude, TGeoEllipsoid Ellipsoid, int32_t& Zone,
                  double& Easting, double& Northing) {
  const TEllipsoidConsts& E = ConstsOf(Ellipsoid);
  char Letter;
  GeoToUTMZone(Latitude, Longitude, Zone, Letter);
  double x, y;
  TMForward(E, Latitude * DegToRad, Longitude * DegToRad, UTMCentralMeridian(Zone), x, y);
  Easting = UTMScale * x + UTMFalseEasting;
  Northing = UTMScale * y;
  if (Northing < 0) Northing += UTMFalseNorthingSouth;
}

void LatLongToUTMInZone(double Latitude, double Longitude, int32_t Zone, bool Southern,
                        TGeoEllipsoid Ellipsoid, double& Easting, double& Northing) {
  double x, y;
  TMForward(ConstsOf(Ellipsoid), Latitude * DegToRad, Longitude * DegToRad,
            UTMCentralMeridian(Zone), x, y);
  Easting = UTMScale * x + UTMFalseEasting;
  Northing = UTMScale * y + (Southern ? UTMFalseNorthingSouth : 0.0);
}

void UTMToLatLong(double Easting, double Northing, int32_t Zone, bool Southern,
                  TGeoEllipsoid Ellipsoid, double& Latitude, double& Longitude) {
  const double x = (Easting - UTMFalseEasting) / UTMScale;
  const double y = (Southern ? Northing - UTMFalseNorthingSouth : Northing) / UTMScale;
  double Phi, Lambda;
  TMInverse(ConstsOf(Ellipsoid), x, y, UTMCentralMeridian(Zone), Phi, Lambda);
  Latitude = Phi * RadToDeg;
  Longitude = Lambda * RadToDeg;
}

namespace {

// The factor sqrt(1 - e^2) exp(e artanh e) that both UPS directions divide by.
double UPSShapeFactor(double e, double e2) {
  return std::sqrt(1 - e2) * std::exp(e * std::atanh(e));
}

} // namespace

void LatLongToUPS(double Latitude, double Longitude, TGeoEllipsoid Ellipsoid, double& Easting,
                  double& Northing) {
  const TEllipsoidConsts& E = ConstsOf(Ellipsoid);
  const double e = std::sqrt(std::fabs(E.e2));
  const double Chi = (Latitude < 0 ? 90 + Latitude : 90 - Latitude) * DegToRad;
  const double T = 2 * std::tan(Chi / 2) * std::exp(e * std::atanh(e * std::cos(Chi)));
  const double Rho = UPSScale * E.a * T / UPSShapeFactor(e, E.e2);
  if (Longitude >= 180)
    Longitude -= 360;
  else if (Longitude < -180)
    Longitude += 360;
  const double Lambda = Longitude * DegToRad;
  const double Ep = Longitude == -180 ? 0.0 : Rho * std::sin(Lambda);
  double Np = std::fabs(Longitude) == 90 ? 0.0 : Rho * std::cos(Lambda);
  if (Latitude >= 0) Np = -Np;
  Easting = Ep + UPSFalseOrigin;
  Northing = Np + UPSFalseOrigin;
}

void UPSToLatLong(double Easting, double Northing, bool Southern, TGeoEllipsoid Ellipsoid,
                  double& Latitude, double& Longitude) {
  const TEllipsoidConsts& E = ConstsOf(Ellipsoid);
  const double Ep = Easting - UPSFalseOrigin;
  const double Np = Northing - UPSFalseOrigin;
  const double e = std::sqrt(std::fabs(E.e2));
  const double T = UPSShapeFactor(e, E.e2) * std::hypot(Ep, Np) / (UPSScale * E.a);
  // Newton's method for the colatitude chi with 2 tan(chi/2) exp(e artanh(e cos chi)) = T.
  const double Tolerance = 0.1 * std::sqrt(static_cast<double>(uc_MinDouble));
  double Chi = 2 * std::atan(T / 2);
  for (int32_t Step = 0; Step < 6; ++Step) {
    const double CosChi = std::cos(Chi);
    const double g = std::exp(e * std::atanh(e * CosChi));
    const double CosHalf = std::cos(Chi / 2);
    const double F = 2 * std::tan(Chi / 2) * g - T;
    const double dF = (1 - E.e2) * g / (CosHalf * CosHalf * (1 - E.e2 * CosChi * CosChi));
    const double Delta = -F / dF;
    Chi += Delta;
    if (std::fabs(Delta) < Tolerance) break;
  }
  Latitude = 90 - Chi * RadToDeg;
  if (Southern) Latitude = -Latitude;
  Longitude = (Southern ? std::atan2(Ep, Np) : std::atan2(Ep, -Np)) * RadToDeg;
}

} // namespace zef
