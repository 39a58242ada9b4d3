// The ellipsoid tables and the quantities derived from an ellipsoid's axes.
#include <cmath>

#include "ZEF_geobasics.h"
#include "geobasics_internal.h"

namespace zef {

const std::array<const char*, GeoEllipsoidCount> GeoEllipsoidId = {
    "gelWGS84",        "gelWGS72",         "gelWGS66",       "gelWGS60",     "gelClrk80RGS",
    "gelClrk66",       "gelBess41",        "gelBess41Jap",   "gelBess41Nam", "gelNewInt67",
    "gelInt24",        "gelEver69",        "gelEver56",      "gelEver48",    "gelEver30Ind",
    "gelEverPak",      "gelEverest",       "gelGRS80",       "gelAiry30",    "gelModifAiry",
    "gelFish68",       "gelFish60",        "gelModifFish60", "gelAuNat65",   "gelKrass40",
    "gelHough60",      "gelSphere",        "gelIndo74",      "gelHelm06",    "gelSGS85",
    "gelSAm69",        "gelATS77",         "gelAuthSph",     "gelBesselMod", "gelCGCS2000",
    "gelClrk58",       "gelClrk66Mich",    "gelClrk80",      "gelClrk80Arc", "gelClrk80Benoit",
    "gelClrk80IGN",    "gelClrk80intfoot", "gelClrk80SGA22", "gelDan76",     "gelEver30",
    "gelEver75",       "gelGEM10C",        "gelGRS67",       "gelGRS67Mod",  "gelHughes80",
    "gelIAG75",        "gelInt24AuthSph",  "gelOSU86F",      "gelOSU91A",    "gelPlessis17",
    "gelPopVisSphere", "gelPZ90",          "gelStruve60",    "gelWarOffice", "gelHongKong63",
    "gelNahrwan29"};

const std::array<const char*, GeoEllipsoidCount> GeoEllipsoidName = {
    "WGS 1984",
    "WGS 1972",
    "WGS 1966",
    "WGS 1960",
    "Clarke 1880 RGS",
    "Clarke 1866",
    "Bessel 1841",
    "Bessel 1841 (Japan)",
    "Bessel 1841 (Namibia)",
    "New International 1967",
    "International 1924",
    "Everest 1969 (Malaysia)",
    "Everest 1956 (India)",
    "Everest 1948",
    "Everest 1830 (India 1937 adj.)",
    "Everest (Pakistan)",
    "Everest (1967 Definition)",
    "GRS 1980",
    "Airy 1830",
    "Modified Airy",
    "Fisher 1968",
    "Fisher 1960",
    "Modified Fisher 1960",
    "Australian Nat 1965",
    "Krassovsky 1940",
    "Hough 1960",
    "Normal Sphere",
    "Indonesian 1974",
    "Helmert 1906",
    "SGS 1985",
    "South American 1969",
    "ATS77",
    "Authalic Sphere",
    "Bessel Modified",
    "CGCS2000",
    "Clarke 1858",
    "Clarke 1866 Michigan",
    "Clarke 1880",
    "Clarke 1880 (Arc)",
    "Clarke 1880 (Benoit)",
    "Clarke 1880 (IGN)",
    "Clarke 1880 (international foot)",
    "Clarke 1880 (SGA 1922)",
    "Danish 1876",
    "Everest (1830 Definition)",
    "Everest 1830 (1975 Definition)",
    "GEM 10C",
    "GRS 1967",
    "GRS 1967 Modified",
    "Hughes 1980",
    "IAG 1975",
    "International 1924 Authalic Sphere",
    "OSU86F",
    "OSU91A",
    "Plessis 1817",
    "Popular Visualisation Sphere",
    "PZ-90",
    "Struve 1860",
    "War Office",
    "Hong Kong 1963",
    "Nahrwan 1929"};

// constexpr here so that the derived constants below are computed at compile time.
constexpr std::array<std::array<double, 2>, GeoEllipsoidCount> GeoEllipsoidData = {
    {{6378137.0, 6356752.314245},   {6378135.0, 6356750.519915},    {6378145.0, 6356759.769356},
     {6378165.0, 6356783.286959},   {6378249.145, 6356514.86955},   {6378206.4, 6356583.8},
     {6377397.155, 6356078.96284},  {6377397.155, 6356078.963},     {6377483.865, 6356165.382966},
     {6378157.5, 6356772.2},        {6378388.0, 6356911.94613},     {6377295.664, 6356094.667915},
     {6377301.243, 6356100.228368}, {6377304.063, 6356103.039},     {6377276.3452, 6356075.4133},
     {6377309.613, 6356108.570542}, {6377298.556, 6356097.550301},  {6378137.0, 6356752.31414},
     {6377563.396, 6356256.91},     {6377340.189, 6356034.448},     {6378150.0, 6356768.337303},
     {6378166.0, 6356784.283666},   {6378155.0, 6356773.3205},      {6378160.0, 6356774.719},
     {6378245.0, 6356863.0188},     {6378270.0, 6356794.343479},    {6370997.0, 6370997.0},
     {6378160.0, 6356774.504086},   {6378200.0, 6356818.169628},    {6378136.0, 6356751.301569},
     {6378160.0, 6356774.719},      {6378135.0, 6356750.304922},    {6371000.0, 6371000.0},
     {6377492.018, 6356173.508713}, {6378137.0, 6356752.31414},     {6378293.6452, 6356617.987671},
     {6378450.0475, 6356826.62144}, {6378249.1448, 6356514.966196}, {6378249.145, 6356514.966399},
     {6378300.789, 6356566.435},    {6378249.2, 6356515.0},         {6378306.3696, 6356571.996},
     {6378249.2, 6356514.996942},   {6377019.2567, 6355762.525844}, {6377299.3656, 6356098.35901},
     {6377299.151, 6356098.14512},  {6378137.0, 6356752.314245},    {6378160.0, 6356774.516091},
     {6378160.0, 6356774.719195},   {6378273.0, 6356889.449},       {6378140.0, 6356755.288158},
     {6371228.0, 6371228.0},        {6378136.2, 6356751.516927},    {6378136.3, 6356751.616592},
     {6376523.0, 6355862.933256},   {6378137.0, 6378137.0},         {6378136.0, 6356751.361746},
     {6378298.3, 6356657.14267},    {6378300.0, 6356751.689189},    {6378235.6, 6356560.13971},
     {6378300.782, 6356566.42744}}};

namespace geobasics_detail {
namespace {

constexpr TEllipsoidConsts MakeConsts(double a, double b) {
  const double n = (a - b) / (a + b);
  const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n;
  TEllipsoidConsts C{};
  C.a = a;
  C.b = b;
  C.e2 = 1 - (b * b) / (a * a);
  C.ep2 = (a * a - b * b) / (b * b);
  C.f = 1 - b / a;
  C.c = a * a / b;
  C.Alpha = (a + b) / 2 * (1 + n2 / 4 + n4 / 64);
  C.Beta = -3 * n / 2 + 9 * n3 / 16 - 3 * n5 / 32;
  C.Gamma = 15 * n2 / 16 - 15 * n4 / 32;
  C.Delta = -35 * n3 / 48 + 105 * n5 / 256;
  C.Epsilon = 315 * n4 / 512;
  C.Fp2 = 3 * n / 2 - 27 * n3 / 32 + 269 * n5 / 512;
  C.Fp4 = 21 * n2 / 16 - 55 * n4 / 32;
  C.Fp6 = 151 * n3 / 96 - 417 * n5 / 128;
  C.Fp8 = 1097 * n4 / 512;
  return C;
}

constexpr std::array<TEllipsoidConsts, GeoEllipsoidCount> MakeAllConsts() {
  std::array<TEllipsoidConsts, GeoEllipsoidCount> All{};
  for (int32_t i = 0; i < GeoEllipsoidCount; ++i)
    All[i] = MakeConsts(GeoEllipsoidData[i][0], GeoEllipsoidData[i][1]);
  return All;
}

} // namespace

constinit const std::array<TEllipsoidConsts, GeoEllipsoidCount> EllipsoidConsts = MakeAllConsts();

void ThrowInvalidEllipsoid() { throw EZEFGeoBasicsError("invalid ellipsoid"); }

} // namespace geobasics_detail

using geobasics_detail::ConstsOf;

double EllipsoidMinAxFlat(double MajorAxis, double RecipFlat) {
  if (RecipFlat < 0) throw EZEFGeoBasicsError("invalid reciprocal flattening");
  if (RecipFlat == 0) return MajorAxis;
  return MajorAxis * (1 - 1 / RecipFlat);
}

double EllipsoidMinAxEcc(double MajorAxis, double EccSquared) {
  if (EccSquared < 0) throw EZEFGeoBasicsError("invalid eccentricity");
  return MajorAxis * std::sqrt(1 - EccSquared);
}

double GeoEllEccSquared(TGeoEllipsoid Ellipsoid) { return ConstsOf(Ellipsoid).e2; }

double GeoEllEccSquared(double Axis1, double Axis2) {
  if (Axis2 > Axis1) return 1 - (Axis1 * Axis1) / (Axis2 * Axis2);
  return 1 - (Axis2 * Axis2) / (Axis1 * Axis1);
}

double GeoEllEccSquared(double RecipFlat) {
  if (RecipFlat == 0) return 0;
  const double f = 1 / RecipFlat;
  return 2 * f - f * f;
}

double RecipFlattening(TGeoEllipsoid Ellipsoid) {
  const auto& C = ConstsOf(Ellipsoid);
  return RecipFlattening(C.a, C.b);
}

double RecipFlattening(double MajorAxis, double MinorAxis) {
  if (MajorAxis == MinorAxis) return 0;
  return 1 / (1 - MinorAxis / MajorAxis);
}

double RecipFlattening(double EccSquared) {
  if (!(EccSquared >= 0 && EccSquared <= 1)) throw EZEFGeoBasicsError("invalid eccentricity");
  if (EccSquared == 0) return 0;
  return 1 / (1 - std::sqrt(1 - EccSquared));
}

} // namespace zef
