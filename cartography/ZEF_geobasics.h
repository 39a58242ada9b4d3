// Geodetic arithmetic: 61 reference ellipsoids and their derived quantities, geographic <->
// geocentric Cartesian coordinates, a seven-parameter datum transformation over 271 built-in
// datums, Transverse Mercator with its UTM form, Universal Polar Stereographic, UTM zones with
// their latitude bands, and a reference table of 231 countries.
//
// Units: angles in decimal degrees (north and east positive) except for the TM-level functions
// ArcLengthOfMeridian, UTMCentralMeridian, LatLongToTM and TMToLatLong, which work in
// radians; lengths, heights, eastings and northings in metres.
//
// Accuracy: the TM functions evaluate the classical series to the eighth power of the
// longitude difference (forward) and of the easting (inverse). Within every UTM zone,
// including the widened zones 32V and 31X..37X, eastings and northings agree with exact
// Transverse Mercator to better than 1 mm and the inverse returns the position to better than
// 1 mm. Beyond the zones the error grows fast: on the equator 0.8 mm at 6 degrees from the
// central meridian, 5 mm at 8 degrees.
// CartesianToGeo uses Bowring's closed form without iteration: better than 0.1 mm for points
// within 10 km of the ellipsoid's surface.
//
// All functions are reentrant; the conversions allocate nothing. Functions throw only where
// stated, and an ellipsoid value outside the table raises EZEFGeoBasicsError "invalid
// ellipsoid".
//
// Contents
//   1. Ellipsoids                  4. Datum transformation
//   2. Countries                   5. Transverse Mercator, UTM and UPS
//   3. Geocentric coordinates
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ZEF_zefbase.h"

namespace zef {

ZEF_DECLARE_EXCEPTION(EZEFGeoBasicsError, EZEFError);

// ---- 1. Ellipsoids ------------------------------------------------------------------------

// The reference ellipsoids, ordinal 0 to 60. The four spheres are gelSphere, gelAuthSph,
// gelInt24AuthSph and gelPopVisSphere.
enum TGeoEllipsoid : uint8_t {
  gelWGS84,
  gelWGS72,
  gelWGS66,
  gelWGS60,
  gelClrk80RGS,
  gelClrk66,
  gelBess41,
  gelBess41Jap,
  gelBess41Nam,
  gelNewInt67,
  gelInt24,
  gelEver69,
  gelEver56,
  gelEver48,
  gelEver30Ind,
  gelEverPak,
  gelEverest,
  gelGRS80,
  gelAiry30,
  gelModifAiry,
  gelFish68,
  gelFish60,
  gelModifFish60,
  gelAuNat65,
  gelKrass40,
  gelHough60,
  gelSphere,
  gelIndo74,
  gelHelm06,
  gelSGS85,
  gelSAm69,
  gelATS77,
  gelAuthSph,
  gelBesselMod,
  gelCGCS2000,
  gelClrk58,
  gelClrk66Mich,
  gelClrk80,
  gelClrk80Arc,
  gelClrk80Benoit,
  gelClrk80IGN,
  gelClrk80intfoot,
  gelClrk80SGA22,
  gelDan76,
  gelEver30,
  gelEver75,
  gelGEM10C,
  gelGRS67,
  gelGRS67Mod,
  gelHughes80,
  gelIAG75,
  gelInt24AuthSph,
  gelOSU86F,
  gelOSU91A,
  gelPlessis17,
  gelPopVisSphere,
  gelPZ90,
  gelStruve60,
  gelWarOffice,
  gelHongKong63,
  gelNahrwan29
};
inline constexpr int32_t GeoEllipsoidCount = 61;

enum THemisphere : uint8_t { hemiNorth, hemiSouth };

// The value's own identifier ("gelWGS84", ...), indexed by TGeoEllipsoid.
extern const std::array<const char*, GeoEllipsoidCount> GeoEllipsoidId;
// The display name ("WGS 1984", ...).
extern const std::array<const char*, GeoEllipsoidCount> GeoEllipsoidName;
// Semi-major axis a and semi-minor axis b in metres; a sphere has a = b. Flattening and
// eccentricities are always derived from these two.
extern const std::array<std::array<double, 2>, GeoEllipsoidCount> GeoEllipsoidData;

// Semi-minor axis from the semi-major axis and the reciprocal flattening (0 for a sphere);
// a negative reciprocal flattening raises EZEFGeoBasicsError "invalid reciprocal flattening".
double EllipsoidMinAxFlat(double MajorAxis, double RecipFlat);
// Semi-minor axis a sqrt(1 - e^2); a negative e^2 raises "invalid eccentricity". An e^2 above
// 1 has no real semi-minor axis and gives NaN.
double EllipsoidMinAxEcc(double MajorAxis, double EccSquared);
// First eccentricity squared e^2 = 1 - b^2 / a^2.
double GeoEllEccSquared(TGeoEllipsoid Ellipsoid);
// e^2 of two axis lengths in either order (the smaller goes over the larger).
double GeoEllEccSquared(double Axis1, double Axis2);
// e^2 = 2f - f^2 of a reciprocal flattening 1/f; 0 for 0 (a sphere).
double GeoEllEccSquared(double RecipFlat);
// 1/f, 0 for a sphere.
double RecipFlattening(TGeoEllipsoid Ellipsoid);
// 1/f of a semi-major and a semi-minor axis, 0 when they are equal.
double RecipFlattening(double MajorAxis, double MinorAxis);
// 1/f of an eccentricity squared, 0 for 0; e^2 outside 0..1 raises "invalid eccentricity".
double RecipFlattening(double EccSquared);

// ---- 2. Countries -------------------------------------------------------------------------

// One country: name (alternatives joined by ";"), lower-case FIPS 10-4 and ISO 3166 codes, a
// central point, the capital (empty for Antarctica) with its position and altitude (m).
// Plain data; the texts are at most 40, 2, 2, 3 and 31 characters long.
struct TCountryData {
  std::string_view Name;
  std::string_view Fips10;
  std::string_view ISO3166_2;
  std::string_view ISO3166_3;
  double CLat;
  double CLong;
  std::string_view Capital;
  double CapLat;
  double CapLong;
  int32_t CapAlt;
};

// 231 countries sorted by name, indexed from 0. Reference data for applications; nothing in
// the library reads it.
extern const std::array<TCountryData, 231> CountryData;

// ---- 3. Geocentric coordinates ------------------------------------------------------------

// Geographic (degrees, ellipsoidal height in m) to geocentric X, Y, Z (m).
void GeoToCartesian(double Latitude, double Longitude, double Height, TGeoEllipsoid Ellipsoid,
                    double& X, double& Y, double& Z);
// Geocentric to geographic (Bowring's closed form); longitudes come back in -180..180. On the
// polar axis (X = Y = 0) the latitude is +-90 (the sign of Z; +90 at the centre), the
// longitude 0 and the height |Z| - b.
void CartesianToGeo(double X, double Y, double Z, TGeoEllipsoid Ellipsoid, double& Latitude,
                    double& Longitude, double& Height);

// ---- 4. Datum transformation --------------------------------------------------------------

// Number of built-in datums; HelmertTransform addresses them as 1..GeoDatumCount.
inline constexpr int32_t GeoDatumCount = 271;

// Converts a position on datum SourceDatum to datum DestDatum through WGS 84 geocentric
// coordinates with each datum's seven parameters (position-vector rotations). Status: 0, or
// the code of the last failing check in the order -1 source datum outside 1..271, -2
// destination datum outside 1..271, -3 latitude outside -90..90, -4 longitude outside
// -180..180. With an invalid datum nothing is converted and the outputs are set to the
// inputs; with an out-of-range latitude or longitude the conversion still runs.
int32_t HelmertTransform(int32_t SourceDatum, double Latitude, double Longitude, double Height,
                         int32_t DestDatum, double& DestLatitude, double& DestLongitude,
                         double& DestHeight);

// ---- 5. Transverse Mercator, UTM and UPS --------------------------------------------------

// The UTM zone 1..60 and latitude band letter C..X of a position, with the exceptions of
// south-west Norway (32V) and Svalbard (31X, 33X, 35X, 37X). Outside latitudes -80..84 or
// longitudes -180..<180: zone 0 and a blank letter.
void GeoToUTMZone(double Latitude, double Longitude, int32_t& Zone, char& Letter);
// The zone designation such as "32U"; empty outside the UTM area.
std::string GeoToUTMZone(double Latitude, double Longitude);
// Length of the meridian arc from the equator to Latitude (radians), in m.
double ArcLengthOfMeridian(double Latitude, TGeoEllipsoid Ellipsoid);
// Central meridian of a zone in radians; 0 for a zone outside 1..60.
double UTMCentralMeridian(int32_t Zone);
// Transverse Mercator with scale factor 1 (all angles in radians): x east of the central
// meridian, y north of the equator.
void LatLongToTM(double Latitude, double Longitude, double CentralMeridian, TGeoEllipsoid Ellipsoid,
                 double& x, double& y);
// The inverse of LatLongToTM (angles in radians).
void TMToLatLong(double x, double y, double CentralMeridian, TGeoEllipsoid Ellipsoid,
                 double& Latitude, double& Longitude);
// UTM coordinates in the zone GeoToUTMZone gives (central meridian 0 outside the UTM area).
// Southern latitudes get the false northing 10000000 m.
void LatLongToUTM(double Latitude, double Longitude, TGeoEllipsoid Ellipsoid, int32_t& Zone,
                  double& Easting, double& Northing);
// UTM coordinates in a given zone and hemisphere, for grids that extend over a zone's edge:
// the false northing 10000000 m is added when Southern is set, whatever the latitude.
void LatLongToUTMInZone(double Latitude, double Longitude, int32_t Zone, bool Southern,
                        TGeoEllipsoid Ellipsoid, double& Easting, double& Northing);
// The inverse of LatLongToUTM; Southern tells that the northing carries the false northing.
void UTMToLatLong(double Easting, double Northing, int32_t Zone, bool Southern,
                  TGeoEllipsoid Ellipsoid, double& Latitude, double& Longitude);
// Universal Polar Stereographic (scale factor 0.994, false easting and northing 2000000 m),
// about the pole nearer to Latitude.
void LatLongToUPS(double Latitude, double Longitude, TGeoEllipsoid Ellipsoid, double& Easting,
                  double& Northing);
// The inverse of LatLongToUPS; Southern selects the south pole.
void UPSToLatLong(double Easting, double Northing, bool Southern, TGeoEllipsoid Ellipsoid,
                  double& Latitude, double& Longitude);

} // namespace zef
