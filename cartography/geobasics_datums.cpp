// Geographic <-> geocentric conversion and the seven-parameter datum transformation.
#include <cmath>
#include <string_view>

#include "ZEF_geobasics.h"
#include "geobasics_internal.h"

namespace zef {

using geobasics_detail::ConstsOf;
using geobasics_detail::DegToRad;
using geobasics_detail::RadToDeg;

void GeoToCartesian(double Latitude, double Longitude, double Height, TGeoEllipsoid Ellipsoid,
                    double& X, double& Y, double& Z) {
  const auto& E = ConstsOf(Ellipsoid);
  const double Phi = Latitude * DegToRad, Lambda = Longitude * DegToRad;
  const double SinPhi = std::sin(Phi), CosPhi = std::cos(Phi);
  const double N = E.a / std::sqrt(1 - E.e2 * SinPhi * SinPhi);
  const double R = (N + Height) * CosPhi;
  X = R * std::cos(Lambda);
  Y = R * std::sin(Lambda);
  Z = (N * (1 - E.e2) + Height) * SinPhi;
}

void CartesianToGeo(double X, double Y, double Z, TGeoEllipsoid Ellipsoid, double& Latitude,
                    double& Longitude, double& Height) {
  const auto& E = ConstsOf(Ellipsoid);
  const double p = std::hypot(X, Y);
  if (p == 0) {
    // On the polar axis the formulas divide by p; the answer is the pole itself.
    Latitude = Z < 0 ? -90.0 : 90.0;
    Longitude = 0;
    Height = std::fabs(Z) - E.b;
    return;
  }
  const double r = std::hypot(p, Z);
  const double q = 1 - E.f;
  // Bowring: the parametric latitude u, then the geodetic latitude in one step. tan u gives
  // sin u and cos u without evaluating trigonometric functions.
  const double TanU = Z / p * (q + E.e2 * E.a / r);
  const double CosU = 1 / std::sqrt(1 + TanU * TanU);
  const double SinU = TanU * CosU;
  const double Num = Z * q + E.e2 * E.a * SinU * SinU * SinU;
  const double Den = q * (p - E.e2 * E.a * CosU * CosU * CosU);
  const double H = std::hypot(Num, Den);
  const double SinPhi = Num / H, CosPhi = Den / H;
  Latitude = std::atan2(Num, Den) * RadToDeg;
  Longitude = std::atan2(Y, X) * RadToDeg;
  Height = p * CosPhi + Z * SinPhi - E.a * std::sqrt(1 - E.e2 * SinPhi * SinPhi);
}

namespace {

// One datum: translation (m), scale correction (ppm) and rotations (arc seconds, position
// vector sense) from geocentric coordinates on its own ellipsoid to WGS 84.
struct TGeoDatum {
  std::string_view Name;
  std::string_view Area;
  TGeoEllipsoid Ellipsoid;
  double dX, dY, dZ, Scale, rX, rY, rZ;
};

// Sources of the parameter sets, noted after each entry's number:
//   EPSG:n  EPSG geodetic parameter dataset (version 10.076), transformation n to WGS 84. Sets
//           published with coordinate-frame rotations are held here with the rotations negated,
//           as this table takes them in the position-vector sense.
//   [T]     NIMA TR8350.2, "Department of Defense World Geodetic System 1984", 3rd ed. (2000),
//           appendix B (local geodetic datums to WGS 84, three parameters), as tabulated in
//           P. H. Dana, "Geodetic Datum Overview", datum list; the EPSG code follows where the
//           dataset carries the same three values (53, 189-193 and 244 are not in it).
//   Unmarked entries keep the sets this library has always carried.
// Where EPSG holds no set of its own for the datum and area, the cited one stands in:
//   45        the set of JTSK03, the Slovak realisation of S-JTSK (EPSG has withdrawn its
//             S-JTSK set for Slovakia, which agrees with it within 5 cm);
//   52        none for Cyprus 1935: the ED50 set for Cyprus;
//   73, 77    no ED50 set for the former Yugoslavia or Algeria: the western European mean;
//   83        no ED50 set for Oman: the Middle East mean;
//   99        none for the Helsinki datum: that of KKJ, the Finnish datum that replaced it;
//   254       no Pulkovo 1942 set for Afghanistan: that of the former Soviet Union, its neighbour;
//   259, 261  EPSG defines Timbalai 1948 on the Everest (1967) ellipsoid only; its set for that
//             definition is given unchanged, although these entries are on Bessel 1841.
constexpr TGeoDatum GeoDatumData[GeoDatumCount] = {
    {"ACCRA", "Ghana", gelWarOffice, -199, 32, 322, 0, 0, 0, 0},        // 1
    {"ADINDAN", "Burkina Faso", gelClrk80, -118, -14, 218, 0, 0, 0, 0}, // 2
    {"ADINDAN", "Cameroon", gelClrk80, -134, -2, 210, 0, 0, 0, 0},      // 3 [T] EPSG:1102
    {"ADINDAN", "Ethiopa", gelClrk80, -165, -11, 206, 0, 0, 0, 0},      // 4 [T] EPSG:1103
    {"ADINDAN", "Mali", gelClrk80, -123, -20, 220, 0, 0, 0, 0},         // 5 [T] EPSG:1104
    {"ADINDAN", "Mean", gelClrk80, -166, -15, 204, 0, 0, 0, 0},         // 6 [T] EPSG:1100
    {"ADINDAN", "Senegal", gelClrk80, -128, -18, 224, 0, 0, 0, 0},      // 7 [T] EPSG:1105
    {"ADINDAN", "Sudan", gelClrk80, -161, -14, 205, 0, 0, 0, 0},        // 8 [T] EPSG:1106
    {"ANTIGUA ISLAND ASTRO 1943", "Antigua", gelClrk80, -270, 13, 62, 0, 0, 0,
     0},                                                                      // 9 [T] EPSG:15811
    {"AIN EL ABD 1970", "Bahrain", gelInt24, -150, -250, -1, 0, 0, 0, 0},     // 10 [T] EPSG:1110
    {"AIN EL ABD 1970", "Saudi Arabia", gelInt24, -143, -236, 7, 0, 0, 0, 0}, // 11 [T] EPSG:1111
    {"AMERICAN SAMOA 1962", "Samoa Islands", gelClrk66, -115, 118, 426, 0, 0, 0,
     0}, // 12 [T] EPSG:1577
    {"RD, AMERSFOORT", "Netherlands", gelBess41, 565, 49.9, 465.8, 4.08, -0.409, 0.36,
     -1.869}, // 13
    {"ANNA 1 ASTRO 1965", "Cocos Islands", gelAuNat65, -491, -22, 435, 0, 0, 0,
     0},                                                                     // 14 [T] EPSG:15794
    {"ARC 1950", "Southern Africa", gelClrk80, -143, -90, -294, 0, 0, 0, 0}, // 15 [T] EPSG:1113
    {"ARC 1950", "Botswana", gelClrk80, -138, -105, -289, 0, 0, 0, 0},       // 16 [T] EPSG:1114
    {"ARC 1950", "Burundi", gelClrk80, -153, -5, -292, 0, 0, 0, 0},          // 17 [T] EPSG:3998
    {"ARC 1950", "Lesotho", gelClrk80, -125, -108, -295, 0, 0, 0, 0},        // 18 [T] EPSG:1116
    {"ARC 1950", "Malawi", gelClrk80, -161, -73, -317, 0, 0, 0, 0},          // 19 [T] EPSG:1117
    {"ARC 1950", "Swaziland", gelClrk80, -134, -105, -295, 0, 0, 0, 0},      // 20 [T] EPSG:1118
    {"ARC 1950", "Zaire", gelClrk80, -169, -19, -278, 0, 0, 0, 0},           // 21 [T] EPSG:1119
    {"ARC 1950", "Zambia", gelClrk80, -147, -74, -283, 0, 0, 0, 0},          // 22 [T] EPSG:1120
    {"ARC 1950", "Zimbabwe", gelClrk80, -111.16, -186.64, -301.34, 1.776, -4.023, -2.838,
     4.899},                                                          // 23
    {"ARC 1960", "Kenya", gelClrk80, -157, -2, -299, 0, 0, 0, 0},     // 24 [T] EPSG:1284
    {"ARC 1960", "Tanzania", gelClrk80, -175, -23, -303, 0, 0, 0, 0}, // 25 [T] EPSG:1285
    {"ASCENSION ISLAND 1958", "Ascension", gelInt24, -205, 107, 53, 0, 0, 0,
     0}, // 26 [T] EPSG:15797
    {"MONTSERRAT IS. ASTRO 1958", "Montserrat", gelClrk80, 174, 359, 365, 0, 0, 0,
     0}, // 27 [T] EPSG:1444
    {"ASTRO STATION 1952", "Marcus Islands", gelInt24, 124, -234, -25, 0, 0, 0,
     0},                                                                     // 28 [T] EPSG:15799
    {"ASTRO BACON E 1845", "Iwo Jima", gelInt24, 145, 75, -272, 0, 0, 0, 0}, // 29 [T] EPSG:15796
    {"AUSTRALIAN GEODETIC 1966", "Australia", gelAuNat65, -133, -48, 148, 0, 0, 0,
     0}, // 30 [T] EPSG:1108
    {"AUSTRALIAN GEODETIC 1984", "Australia", gelAuNat65, -134, -48, 149, 0, 0, 0,
     0},                                                              // 31 [T] EPSG:1109
    {"DJAKARTA", "Indonesia", gelBess41, -377, 681, -50, 0, 0, 0, 0}, // 32 [T] EPSG:8452
    {"BEKAA BASE SOUTH END", "Lebanon", gelClrk80IGN, -183, -15, 273, 0, 0, 0, 0}, // 33 EPSG:6911
    {"BERMUDA 1957", "Bermuda", gelClrk66, -73, 213, 296, 0, 0, 0, 0},        // 34 [T] EPSG:1124
    {"BISSAU", "Guinea Bissau", gelInt24, -173, 253, 27, 0, 0, 0, 0},         // 35 [T] EPSG:1547
    {"BOGOTA OBSERVATORY", "Colombia", gelInt24, 307, 304, -318, 0, 0, 0, 0}, // 36 [T] EPSG:1125
    {"BERNE (1898),", "Switzerland", gelBess41, 660.077, 13.551, 369.344, 5.66, -0.805, -0.578,
     -0.952},                                                             // 37
    {"BUKIT RIMPAH", "Indonesia", gelBess41, -384, 664, -48, 0, 0, 0, 0}, // 38 [T] EPSG:1126
    {"CAPE CANAVERAL", "Florida & Bahamas", gelClrk66, -2, 151, 181, 0, 0, 0,
     0},                                                                        // 39 [T] EPSG:15804
    {"CAMPO INCHAUSPE 1969", "Argentina", gelInt24, -148, 136, 90, 0, 0, 0, 0}, // 40 [T] EPSG:1127
    {"CANTON ASTRO 1966", "Phoenix Islands", gelInt24, 298, -304, -375, 0, 0, 0,
     0},                                                                      // 41 [T] EPSG:15803
    {"CAPE", "South Africa", gelClrk80, -136, -108, -292, 0, 0, 0, 0},        // 42 [T] EPSG:1128
    {"CAMP AREA ASTRO", "Antarctica", gelInt24, -104, -129, 239, 0, 0, 0, 0}, // 43 [T] EPSG:15802
    {"S-JTSK", "Czech Republic", gelBess41, 570.8, 85.7, 462.8, 3.56, 4.998, 1.587,
     5.261}, // 44 EPSG:1623
    {"S-JTSK", "Slovakia", gelBess41, 485.021, 169.465, 483.839, 0, 7.786342, 4.397554,
     4.102655},                                                      // 45 EPSG:8368
    {"CARTHAGE", "Tunisia", gelClrk80IGN, -263, 6, 431, 0, 0, 0, 0}, // 46 [T] EPSG:1130
    {"CHATHAM ISLAND ASTRO 1971", "New Zealand", gelInt24, 175, -38, 113, 0, 0, 0,
     0},                                                                   // 47 [T] EPSG:1080
    {"CHUA ASTRO", "Paraguay", gelInt24, -134, 229, -29, 0, 0, 0, 0},      // 48 [T] EPSG:1131
    {"CH1903+", "Switzerland", gelBess41, 674.4, 15.1, 405.3, 0, 0, 0, 0}, // 49
    {"CORREGO ALEGRE", "Brazil", gelInt24, -206, 172, -6, 0, 0, 0, 0},     // 50 [T] EPSG:1132
    {"OBSERVATOROI", "Mozambique South", gelClrk66, -132, -110, -335, 0, 0, 0, 0}, // 51 EPSG:6900
    {"CYPRUS 1935", "Cyprus", gelHongKong63, -104, -101, -140, 0, 0, 0, 0},        // 52 EPSG:1136
    {"ESTONIA 1937", "Estonia", gelBess41, 374, 150, 588, 0, 0, 0, 0},             // 53 [T]
    {"DABOLA", "Guinea", gelClrk80, -83, 37, 124, 0, 0, 0, 0},                // 54 [T] EPSG:1518
    {"DECEPTION ISLAND", "Antarctica", gelClrk80, 260, 12, -147, 0, 0, 0, 0}, // 55 [T] EPSG:15812
    {"GUX 1 ASTRO", "Guadalcanal Island", gelInt24, 252, -209, -751, 0, 0, 0,
     0}, // 56 [T] EPSG:15807
    {"EASTER ISLAND 1967", "Easter Island", gelInt24, 211, 147, 111, 0, 0, 0,
     0}, // 57 [T] EPSG:15806
    {"WAKE-ENIWETOK 1960", "Marshall Islands", gelHough60, 102, 52, -38, 0, 0, 0,
     0},                                                                     // 58 [T] EPSG:15822
    {"EUROPEAN DATUM 1950", "Europe", gelInt24, -87, -98, -121, 0, 0, 0, 0}, // 59
    {"EUROPEAN DATUM 1950", "Western Europe", gelInt24, -87, -96, -120, 0, 0, 0,
     0}, // 60 [T] EPSG:1134
    {"EUROPEAN DATUM 1950", "Norway & Finland", gelInt24, -87, -95, -120, 0, 0, 0,
     0}, // 61 [T] EPSG:1139
    {"EUROPEAN DATUM 1950", "Denmark", gelInt24, -81.1, -89.4, -115.8, -0.54, 0.485, 0.024,
     0.413}, // 62
    {"EUROPEAN DATUM 1950", "Channel Islands", gelInt24, -86, -96, -120, 0, 0, 0,
     0}, // 63 [T] EPSG:1138
    {"EUROPEAN DATUM 1950", "Portugal and Spain", gelInt24, -84, -107, -120, 0, 0, 0,
     0}, // 64 [T] EPSG:1145
    {"EUROPEAN DATUM 1950", "Portugal", gelInt24, -74.292, -135.889, -104.967, -3.761, -0.524,
     -0.136, 0.61}, // 65 EPSG:1989
    {"EUROPEAN DATUM 1950", "Balearic Islands", gelInt24, -181.5, -90.3, -187.2, 17.57, 0.144,
     0.492, -0.394}, // 66 EPSG:1631
    {"EUROPEAN DATUM 1950", "Spain (except NW),", gelInt24, -131, -100.3, -163.4, 9.39, -1.244,
     -0.02, -1.144}, // 67 EPSG:1633
    {"EUROPEAN DATUM 1950", "Spain NW", gelInt24, -178.4, -83.2, -221.3, 21.2, 0.54, -0.532,
     -0.126}, // 68 EPSG:1635
    {"EUROPEAN DATUM 1950", "Gibraltar", gelInt24, -116.8, -106.4, -154.4, 0, 0, 0,
     0}, // 69 EPSG:1629
    {"EUROPEAN DATUM 1950", "Italy - Sardinia", gelInt24, -97, -103, -120, 0, 0, 0,
     0}, // 70 [T] EPSG:1142
    {"EUROPEAN DATUM 1950", "Italy - Sicily", gelInt24, -97, -88, -135, 0, 0, 0,
     0},                                                                     // 71 [T] EPSG:1143
    {"EUROPEAN DATUM 1950", "Malta", gelInt24, -107, -88, -149, 0, 0, 0, 0}, // 72 [T] EPSG:1144
    {"EUROPEAN DATUM 1950", "Former Yugoslavia N", gelInt24, -87, -98, -121, 0, 0, 0,
     0},                                                                       // 73 EPSG:1133
    {"EUROPEAN DATUM 1950", "Greece", gelInt24, -84, -95, -130, 0, 0, 0, 0},   // 74 [T] EPSG:1140
    {"EUROPEAN DATUM 1950", "Cyprus", gelInt24, -104, -101, -140, 0, 0, 0, 0}, // 75 [T] EPSG:1136
    {"EUROPEAN DATUM 1950", "Turkey", gelInt24, -84.1, -101.8, -129.7, 1.05, 0, 0,
     0.468},                                                                    // 76 EPSG:1784
    {"EUROPEAN DATUM 1950", "Algeria", gelInt24, -87, -98, -121, 0, 0, 0, 0},   // 77 EPSG:1133
    {"EUROPEAN DATUM 1950", "Tunisia", gelInt24, -112, -77, -145, 0, 0, 0, 0},  // 78 [T] EPSG:1245
    {"EUROPEAN DATUM 1950", "Egypt", gelInt24, -130, -117, -151, 0, 0, 0, 0},   // 79 [T] EPSG:1137
    {"EUROPEAN DATUM 1950", "Lebanon", gelInt24, -103, -106, -141, 0, 0, 0, 0}, // 80 [T] EPSG:1135
    {"EUROPEAN DATUM 1950", "Iran", gelInt24, -117, -132, -164, 0, 0, 0, 0},    // 81 [T] EPSG:1141
    {"EUROPEAN DATUM 1950", "Middle East", gelInt24, -103, -106, -141, 0, 0, 0,
     0},                                                                        // 82 [T] EPSG:1135
    {"EUROPEAN DATUM 1950", "Oman", gelInt24, -103, -106, -141, 0, 0, 0, 0},    // 83 EPSG:1135
    {"EUROPEAN 1979", "Europe", gelInt24, -86, -98, -119, 0, 0, 0, 0},          // 84 [T] EPSG:15752
    {"EUROPEAN 1979", "Portugal", gelInt24, -86, -98, -119, 0, 0, 0, 0},        // 85 EPSG:15752
    {"ETRF89", "Europe", gelWGS84, 0, 0, 0, 0, 0, 0, 0},                        // 86
    {"FAHUD", "Oman", gelClrk80, -346, -1, 224, 0, 0, 0, 0},                    // 87 [T] EPSG:1256
    {"OBSERVATORIO MET. 1939", "Flores", gelInt24, -425, -169, 81, 0, 0, 0, 0}, // 88 [T] EPSG:1887
    {"FORT THOMAS 1955", "St Kitts-Nevis", gelClrk80, -7, 215, 225, 0, 0, 0,
     0},                                                                        // 89 [T] EPSG:15750
    {"GAN 1970", "Rep. of Maldives", gelInt24, -133, -321, 50, 0, 0, 0, 0},     // 90 [T] EPSG:15713
    {"GEOCENTRIC DATUM AUSTRALIA", "Australia", gelWGS84, 0, 0, 0, 0, 0, 0, 0}, // 91
    {"GEODETIC DATUM 1949", "New Zealand", gelInt24, 59.47, -5.04, 187.44, -4.5993, 0.47, -0.1,
     1.024},                                                                   // 92 EPSG:1564
    {"DOS 1968", "Gizo Islands", gelInt24, 230, -199, -752, 0, 0, 0, 0},       // 93 [T] EPSG:15805
    {"GRACIOSA BASE SW 1948", "Azores", gelInt24, -104, 167, -38, 0, 0, 0, 0}, // 94 [T] EPSG:1886
    {"GGRS87", "Greece", gelWGS84, -199.87, 74.79, 246.62, 0, 0, 0, 0},        // 95 EPSG:1272
    {"GUNUNG SEGARA", "Indonesia", gelBess41, -403, 684, 41, 0, 0, 0, 0},      // 96 [T] EPSG:1897
    {"GUAM 1963", "Guam", gelClrk66, -100, -248, 259, 0, 0, 0, 0},             // 97 [T] EPSG:1070
    {"HARTEBEESTHOCK 1994", "South Africa", gelWGS84, 0, 0, 0, 0, 0, 0, 0},    // 98
    {"HELSINKI, KALLIO CHURCH", "Finland", gelInt24, -96.062, -82.428, -121.753, 1.496, 4.801,
     0.345, -1.376},                                                       // 99 EPSG:10099
    {"HERAT NORTH", "Afghanistan", gelInt24, -333, -222, 114, 0, 0, 0, 0}, // 100 [T] EPSG:1246
    {"MGI DATUM/HERMANNSKOGEL", "Austria", gelBess41, 577.326, 90.129, 463.919, 2.4232, 5.137,
     1.474, 5.297}, // 101 EPSG:1618
    {"HERMANNSKOGEL", "Former Yugoslavia", gelBess41, 682, -203, 480, 0, 0, 0,
     0},                                                                     // 102 [T] EPSG:3962
    {"HITO XVIII 1963", "Chile", gelInt24, 16, 196, 93, 0, 0, 0, 0},         // 103 [T] EPSG:1892
    {"HJORSEY 1955", "Iceland", gelInt24, -73, 46, -86, 0, 0, 0, 0},         // 104 [T] EPSG:1951
    {"HONG KONG 1963", "Hong Kong", gelInt24, -156, -271, -189, 0, 0, 0, 0}, // 105
    {"HONG KONG 1980", "Hong Kong", gelInt24, -162.619, -276.959, -161.764, -1.094246, 0.067753,
     -2.243648, -1.158828},                                            // 106 EPSG:1825
    {"HU-TZU-SHAN", "Taiwan", gelInt24, -637, -549, -203, 0, 0, 0, 0}, // 107 [T] EPSG:1152
    {"HUNGARIAN DATUM 1972", "Hungary", gelGRS67, 52.17, -71.82, -14.9, 0, 0, 0,
     0}, // 108 EPSG:1242
    {"BELLEVUE (IGN),", "Efate Island", gelInt24, -127, -769, 472, 0, 0, 0,
     0},                                                                  // 109 [T] EPSG:15801
    {"INDONESIAN 1974", "Indonesia", gelIndo74, -24, -15, 5, 0, 0, 0, 0}, // 110 [T] EPSG:1248
    {"IRAQ-KUWAIT BOUNDARY 1992", "Iraq/ Kuwait", gelWGS84, 0, 0, 0, 0, 0, 0, 0}, // 111
    {"INDIAN", "Bangladesh", gelEver30, 282, 726, 254, 0, 0, 0, 0},          // 112 [T] EPSG:1155
    {"INDIAN", "India & Nepal", gelEver56, 295, 736, 257, 0, 0, 0, 0},       // 113 [T] EPSG:1156
    {"INDIAN", "Pakistan", gelEverPak, 283, 682, 231, 0, 0, 0, 0},           // 114 [T] EPSG:1247
    {"INDIAN 1954", "Thailand", gelEver30, 217, 823, 299, 0, 0, 0, 0},       // 115 [T] EPSG:1153
    {"INDIAN 1960", "Con Son Island", gelEver30, 182, 915, 344, 0, 0, 0, 0}, // 116 [T] EPSG:1543
    {"INDIAN 1960", "Vietnam", gelEver30, 198, 881, 317, 0, 0, 0, 0},        // 117 [T] EPSG:1542
    {"1 INDIAN 1975", "Thailand", gelEver30, 210, 814, 289, 0, 0, 0, 0},     // 118 [T] EPSG:1304
    {"IRELAND 1965", "Ireland", gelModifAiry, 482.53, -130.596, 564.557, 8.15, -1.042, -0.214,
     -0.631}, // 119
    {"ISTS 061 ASTRO 1968", "South Georgia", gelInt24, -794, 119, -298, 0, 0, 0,
     0}, // 120 [T] EPSG:15813
    {"ISTS 073 ASTRO 1969", "Diego Garcia", gelInt24, 208, -435, -229, 0, 0, 0,
     0}, // 121 [T] EPSG:15808
    {"JOHNSTON ISLAND 1961", "Johnston Island", gelInt24, 189, -79, -202, 0, 0, 0,
     0},                                                                       // 122 [T] EPSG:15809
    {"KANDAWALA JACKSON?", "Sri Lanka", gelEver30, -97, 787, 86, 0, 0, 0, 0},  // 123 [T] EPSG:1157
    {"KERTAU 1948", "Malaysia W & Sing.", gelEver48, -11, 851, 5, 0, 0, 0, 0}, // 124 [T] EPSG:1158
    {"KERGUELEN ISLAND 1949", "Kerguelen Island", gelInt24, 145, -187, 103, 0, 0, 0,
     0}, // 125 [T] EPSG:15850
    {"KOREAN GEODETIC SYSTEM 1995", "South Korea", gelWGS84, 0, 0, 0, 0, 0, 0, 0}, // 126
    {"KKJ", "Finland", gelInt24, -96.062, -82.428, -121.753, 1.496, 4.801, 0.345,
     -1.376}, // 127 EPSG:10099
    {"KUSAIE ASTRO 1951", "Caroline Island", gelInt24, 647, 1777, -1124, 0, 0, 0,
     0},                                                                    // 128 [T] EPSG:15810
    {"LC5 ASTRO 1961", "Cayman Brac", gelClrk66, 42, 124, 147, 0, 0, 0, 0}, // 129 [T] EPSG:15814
    {"LEIGON", "Ghana", gelClrk80, -130, 29, 364, 0, 0, 0, 0},              // 130 [T] EPSG:1159
    {"LIBERIA 1964", "Liberia", gelClrk80, -90, 40, 88, 0, 0, 0, 0},        // 131 [T] EPSG:1160
    {"LISBON (Castelo di Sao Jorge), D7", "Portugal", gelInt24, -304.046, -60.576, 103.64, 0, 0, 0,
     0},                                                   // 132 EPSG:1984
    {"LKS94", "Lithuania", gelWGS84, 0, 0, 0, 0, 0, 0, 0}, // 133
    {"LUXEMBOURG NT", "Luxembourg", gelInt24, -193, 13.7, -39.3, 0.43, -0.41, -2.933,
     2.688},                                                                   // 134 EPSG:1643
    {"LUZON", "Philipines - Mindanao", gelClrk66, -133, -79, -72, 0, 0, 0, 0}, // 135 [T] EPSG:1162
    {"LUZON", "Philipines", gelClrk66, -133, -77, -51, 0, 0, 0, 0},            // 136 [T] EPSG:1161
    {"MASSAWA", "Eritrea", gelBess41, 639, 405, 60, 0, 0, 0, 0},               // 137 [T] EPSG:1165
    {"MERCHICH", "Morroco", gelClrk80, 31, 146, 47, 0, 0, 0, 0},               // 138 [T] EPSG:1166
    {"MIDWAY ASTRO 1961", "Midway Islands", gelInt24, 912, -58, 1227, 0, 0, 0,
     0}, // 139 [T] EPSG:15817
    {"MAHE 1971", "Seychelles - Mahe Is.", gelClrk80, 41, -220, -134, 0, 0, 0,
     0},                                                         // 140 [T] EPSG:1164
    {"MINNA", "Cameroon", gelClrk80, -81, -84, 115, 0, 0, 0, 0}, // 141 [T] EPSG:1167
    {"MINNA", "Nigeria", gelClrk80, -92, -93, 122, 0, 0, 0, 0},  // 142 [T] EPSG:1168
    {"ROME 1940", "Italy mainland", gelInt24, -104.1, -49.1, -9.9, -11.68, 0.971, -2.917,
     0.714}, // 143 EPSG:1660
    {"ROME 1940", "Italy - Sardinia", gelInt24, -168.6, -34, 38.6, -9.48, -0.374, -0.679,
     -1.379}, // 144 EPSG:1662
    {"ROME 1940", "Italy - Sicily", gelInt24, -50.2, -50.4, 84.8, -28.08, -0.69, -2.012,
     0.459},                                                       // 145 EPSG:1664
    {"M'PORALOKO", "Gabon", gelClrk80, -74, -130, 42, 0, 0, 0, 0}, // 146 [T] EPSG:1163
    {"VITI LEVU 1916", "Fiji - Viti Levu", gelClrk80, 51, 391, -36, 0, 0, 0,
     0}, // 147 [T] EPSG:15897
    {"NAHRWAN", "Oman - Masirah Island", gelClrk80, -247, -148, 369, 0, 0, 0,
     0},                                                                 // 148 [T] EPSG:1189
    {"NAHRWAN", "Saudi Arabia", gelClrk80, -243, -192, 477, 0, 0, 0, 0}, // 149 [T] EPSG:1190
    {"NAHRWAN", "United Arab Emirates", gelClrk80, -249, -156, 381, 0, 0, 0,
     0},                                                                      // 150 [T] EPSG:1191
    {"NAPARIMA", "Trinidad & Tobago", gelInt24, -10, 375, 165, 0, 0, 0, 0},   // 151 [T] EPSG:1192
    {"NORTH AMERICAN 1983", "US - Alaska", gelWGS84, 0, 0, 0, 0, 0, 0, 0},    // 152
    {"NORTH AMERICAN 1983", "US - Aleutian", gelWGS84, -2, 0, 4, 0, 0, 0, 0}, // 153 [T] EPSG:1251
    {"NORTH AMERICAN 1983", "Canada", gelWGS84, 0, 0, 0, 0, 0, 0, 0},         // 154
    {"NORTH AMERICAN 1983", "US - CONUS", gelWGS84, 0, 0, 0, 0, 0, 0, 0},     // 155
    {"NORTH AMERICAN 1983", "US - Hawaii", gelWGS84, 1, 1, -1, 0, 0, 0, 0},   // 156 [T] EPSG:1252
    {"NORTH AMERICAN 1983", "Mexico", gelWGS84, 0, 0, 0, 0, 0, 0, 0},         // 157
    {"NORTH AMERICAN 1927", "US - Alaska", gelClrk66, -5, 135, 172, 0, 0, 0, 0}, // 158
    {"NORTH AMERICAN 1927", "Canada", gelClrk66, -10, 158, 187, 0, 0, 0, 0}, // 159 [T] EPSG:1172
    {"NORTH AMERICAN 1927", "Canada-Alberta/British Columbia", gelClrk66, -7, 162, 188, 0, 0, 0,
     0}, // 160 [T] EPSG:1179
    {"NORTH AMERICAN 1927", "US - Aleutian East", gelClrk66, -2, 152, 149, 0, 0, 0,
     0}, // 161 [T] EPSG:1249
    {"NORTH AMERICAN 1927", "US - Aleutian West", gelClrk66, 2, 204, 105, 0, 0, 0,
     0},                                                                       // 162 [T] EPSG:1250
    {"NORTH AMERICAN 1927", "Bahamas", gelClrk66, -4, 154, 178, 0, 0, 0, 0},   // 163 [T] EPSG:1177
    {"NORTH AMERICAN 1927", "Canal Zone", gelClrk66, 0, 125, 201, 0, 0, 0, 0}, // 164 [T] EPSG:1184
    {"NORTH AMERICAN 1927", "Caribbean", gelClrk66, -3, 142, 183, 0, 0, 0, 0}, // 165 [T] EPSG:1170
    {"NORTH AMERICAN 1927", "Central America", gelClrk66, 0, 125, 194, 0, 0, 0,
     0},                                                                        // 166 [T] EPSG:1171
    {"NORTH AMERICAN 1927", "US - CONUS", gelClrk66, -8, 160, 176, 0, 0, 0, 0}, // 167
    {"NORTH AMERICAN 1927", "Cuba", gelClrk66, -9, 152, 178, 0, 0, 0, 0},       // 168 [T] EPSG:1185
    {"NORTH AMERICAN 1927", "CanadaEast", gelClrk66, -22, 160, 190, 0, 0, 0,
     0}, // 169 [T] EPSG:1181
    {"NORTH AMERICAN 1927", "US - Eastern", gelClrk66, -9, 161, 179, 0, 0, 0,
     0},                                                                       // 170 [T] EPSG:1174
    {"NORTH AMERICAN 1927", "Greenland", gelClrk66, 11, 114, 195, 0, 0, 0, 0}, // 171 [T] EPSG:1186
    {"NORTH AMERICAN 1927", "Canada - Manitoba/Ontario", gelClrk66, -9, 157, 184, 0, 0, 0,
     0},                                                                     // 172 [T] EPSG:1180
    {"NORTH AMERICAN 1927", "Mexico", gelClrk66, -12, 130, 190, 0, 0, 0, 0}, // 173 [T] EPSG:1187
    {"NORTH AMERICAN 1927", "Canada - NW Territory", gelClrk66, 4, 159, 188, 0, 0, 0,
     0}, // 174 [T] EPSG:1182
    {"NORTH AMERICAN 1927", "San Salvador", gelClrk66, 1, 140, 165, 0, 0, 0,
     0}, // 175 [T] EPSG:1178
    {"NORTH AMERICAN 1927", "US - Western", gelClrk66, -8, 159, 175, 0, 0, 0,
     0}, // 176 [T] EPSG:1175
    {"NORTH AMERICAN 1927", "Canada - Yukon", gelClrk66, -7, 139, 181, 0, 0, 0,
     0},                                                         // 177 [T] EPSG:1183
    {"NTF", "France", gelClrk80IGN, -168, -60, 320, 0, 0, 0, 0}, // 178
    {"NGO 1948", "Norway", gelBesselMod, 278.3, 93, 474.5, 6.21, 7.889, 0.05, -6.61}, // 179
    {"NORTH SAHARA 1959", "Algeria", gelClrk80, -186, -93, 310, 0, 0, 0, 0}, // 180 [T] EPSG:1253
    {"BELGIUM DATUM 1972", "Belgium", gelInt24, -106.8686, 52.2978, -103.7239, -1.2747, 0.3366,
     -0.457, 1.8422},                                                      // 181 EPSG:15929
    {"OLD EGYPTIAN 1907", "Egypt", gelHelm06, -130, 110, -13, 0, 0, 0, 0}, // 182 [T] EPSG:1148
    {"ORDNANCE GB 1936", "GB - Great Britain", gelAiry30, 446.448, -125.157, 542.06, -20.49, 0.15,
     0.247, 0.8421}, // 183
    {"OLD HAWAI'IAN", "US - Hawaii Mean", gelClrk66, 61, -285, -181, 0, 0, 0,
     0},                                                                     // 184 [T] EPSG:15824
    {"OLD HAWAI'IAN", "US - Hawaii", gelClrk66, 89, -279, -183, 0, 0, 0, 0}, // 185 [T] EPSG:15825
    {"OLD HAWAI'IAN", "US - Kauai", gelClrk66, 45, -290, -172, 0, 0, 0, 0},  // 186 [T] EPSG:15826
    {"OLD HAWAI'IAN", "US - Maui", gelClrk66, 65, -290, -190, 0, 0, 0, 0},   // 187 [T] EPSG:15827
    {"OLD HAWAI'IAN", "US - Oahu", gelClrk66, 58, -283, -182, 0, 0, 0, 0},   // 188 [T] EPSG:15828
    {"OLD HAWAI'IAN", "US - Hawaii", gelInt24, 201, -228, -346, 0, 0, 0, 0}, // 189 [T]
    {"OLD HAWAI'IAN", "US - Hawaii", gelInt24, 229, -222, -348, 0, 0, 0, 0}, // 190 [T]
    {"OLD HAWAI'IAN", "US - Kauai", gelInt24, 185, -233, -337, 0, 0, 0, 0},  // 191 [T]
    {"OLD HAWAI'IAN", "US - Maui", gelInt24, 205, -233, -355, 0, 0, 0, 0},   // 192 [T]
    {"OLD HAWAI'IAN", "US - Oahu", gelInt24, 198, -226, -347, 0, 0, 0, 0},   // 193 [T]
    {"PALESTINE 1928", "Israel", gelNahrwan29, -275.7224, 94.7824, 340.8944, 1, -8.001, -4.42,
     -11.821}, // 194 EPSG:1074
    {"AYABELLA LIGHTHOUSE", "Djibouti", gelClrk80, -79, -129, 145, 0, 0, 0,
     0}, // 195 [T] EPSG:15800
    {"PITCAIRN ASTRO 1967", "Pitcairn Island", gelInt24, 185, 165, 42, 0, 0, 0,
     0}, // 196 [T] EPSG:15819
    {"PICO DE LAS NIEVES.", "Spain - Canary Islands", gelInt24, -307, -92, 127, 0, 0, 0,
     0}, // 197 [T] EPSG:15815
    {"PORTO SANTO 1936.", "Portugal - Maderia", gelInt24, -499, -249, 314, 0, 0, 0,
     0}, // 198 [T] EPSG:1888
    {"PROV. S AMERICAN 1956", "Bolivia", gelInt24, -270, 188, -388, 0, 0, 0,
     0}, // 199 [T] EPSG:1202
    {"PROV. S AMERICAN 1956", "Colombia", gelInt24, -282, 169, -371, 0, 0, 0,
     0}, // 200 [T] EPSG:1205
    {"PROV. S AMERICAN 1956", "Ecuador", gelInt24, -278, 171, -367, 0, 0, 0,
     0},                                                                        // 201 [T] EPSG:1206
    {"PROV. S AMERICAN 1956", "Guyana", gelInt24, -298, 159, -369, 0, 0, 0, 0}, // 202 [T] EPSG:1207
    {"PROV. S AMERICAN 1956", "Chile North", gelInt24, -270, 183, -390, 0, 0, 0,
     0},                                                                      // 203 [T] EPSG:1203
    {"PROV. S AMERICAN 1956", "Peru", gelInt24, -279, 175, -379, 0, 0, 0, 0}, // 204 [T] EPSG:1208
    {"PROV. S AMERICAN 1956", "South America", gelInt24, -288, 175, -376, 0, 0, 0,
     0}, // 205 [T] EPSG:1201
    {"PROV. S AMERICAN 1956", "Chile South", gelInt24, -305, 243, -442, 0, 0, 0,
     0}, // 206 [T] EPSG:1204
    {"PROV. S AMERICAN 1956", "Venezuela", gelInt24, -295, 173, -371, 0, 0, 0,
     0}, // 207 [T] EPSG:1209
    {"POINT 58", "Burkina Faso & Niger", gelClrk80, -106, -129, 165, 0, 0, 0,
     0},                                                                  // 208 [T] EPSG:1880
    {"POINT NOIRE 1948", "Congo", gelClrk80, -148, 51, -291, 0, 0, 0, 0}, // 209 [T] EPSG:1200
    {"PULKOVO 1942", "Russia", gelKrass40, 28, -130, -95, 0, 0, 0, 0},    // 210
    {"PULKOVO 1942", "Germany", gelKrass40, 24, -123, -94, 1.1, 0.02, -0.25,
     -0.13},                                                            // 211 EPSG:1675
    {"PULKOVO 1942", "Estonia", gelKrass40, 22, -126, -85, 0, 0, 0, 0}, // 212 EPSG:6899
    {"PUERTO RICO & Virgin Is.", "Puerto Rico & Virgin Islands", gelClrk66, 11, 72, -101, 0, 0, 0,
     0},                                                                    // 213 [T] EPSG:1893
    {"QATAR NATIONAL 1974", "Qatar", gelInt24, -128, -283, 22, 0, 0, 0, 0}, // 214 [T] EPSG:1561
    {"QATAR NATIONAL 1995", "Qatar", gelInt24, -119.4248, -303.65872, -11.00061, 3.657065, 1.164298,
     0.174458, 1.096259},                                                // 215 EPSG:1840
    {"QORNOQ", "Greenland South", gelInt24, 164, 138, -189, 0, 0, 0, 0}, // 216 [T] EPSG:1797
    {"DHDN (RAUENBERG),", "Germany", gelBess41, 582, 105, 414, 8.3, 1.04, 0.35, -3.08}, // 217
    {"REUNION", "Mascarene Is", gelInt24, 94, -948, -1262, 0, 0, 0, 0}, // 218 [T] EPSG:15751
    {"RT90", "Sweden", gelBess41, 414.1, 41.3, 603.1, 0, -0.855, 2.141, -7.023}, // 219
    {"SANTO(DOS), 1965", "Vanuatu - Espirito Santo", gelInt24, 170, 42, 84, 0, 0, 0,
     0},                                                                      // 220 [T] EPSG:15820
    {"SOUTH AMERICAN 1969", "Argentina", gelSAm69, -62, -1, -37, 0, 0, 0, 0}, // 221 [T] EPSG:1865
    {"SOUTH AMERICAN 1969", "Galapagos", gelSAm69, -47, 26, -42, 0, 0, 0, 0}, // 222 [T] EPSG:1871
    {"SOUTH AMERICAN 1969", "Bolivia", gelSAm69, -61, 2, -48, 0, 0, 0, 0},    // 223 [T] EPSG:1866
    {"SOUTH AMERICAN 1969", "Brazil", gelSAm69, -60, -2, -41, 0, 0, 0, 0},    // 224 [T] EPSG:1867
    {"SOUTH AMERICAN 1969", "Chile", gelSAm69, -75, -1, -44, 0, 0, 0, 0},     // 225 [T] EPSG:1868
    {"SOUTH AMERICAN 1969", "Colombia", gelSAm69, -44, 6, -36, 0, 0, 0, 0},   // 226 [T] EPSG:1869
    {"SOUTH AMERICAN 1969", "Ecuador", gelSAm69, -48, 3, -44, 0, 0, 0, 0},    // 227 [T] EPSG:1870
    {"SOUTH AMERICAN 1969", "Guyana", gelSAm69, -53, 3, -47, 0, 0, 0, 0},     // 228 [T] EPSG:1872
    {"SOUTH AMERICAN 1969", "Paraguay", gelSAm69, -61, 2, -33, 0, 0, 0, 0},   // 229 [T] EPSG:1873
    {"SOUTH AMERICAN 1969", "Peru", gelSAm69, -58, 0, -44, 0, 0, 0, 0},       // 230 [T] EPSG:1874
    {"SOUTH AMERICAN 1969", "South America", gelSAm69, -57, 1, -41, 0, 0, 0,
     0},                                                                      // 231 [T] EPSG:1864
    {"SOUTH AMERICAN 1969", "Trinidad", gelSAm69, -45, 12, -33, 0, 0, 0, 0},  // 232 [T] EPSG:1875
    {"SOUTH AMERICAN 1969", "Venezuela", gelSAm69, -45, 8, -33, 0, 0, 0, 0},  // 233 [T] EPSG:1876
    {"SAO BRAZ", "Santa Maria Islands", gelInt24, -203, 141, 53, 0, 0, 0, 0}, // 234 [T] EPSG:1885
    {"SAPPER HILL 1943 (2000 adj),", "Falkland Islands", gelInt24, -355, 21, 72, 0, 0, 0,
     0},                                                                // 235 [T] EPSG:1225
    {"SCHWARZECK", "Namibia", gelBess41Nam, 616, 97, -251, 0, 0, 0, 0}, // 236 [T] EPSG:1226
    {"SOUTH EAST ISLAND", "Seychelles", gelClrk80, -43.685, -179.785, -267.721, 0, 0, 0,
     0},                                                                      // 237 EPSG:6914
    {"SOVIET GEODETIC SYSTEM 85", "Russia", gelSGS85, 0, 0, 4, 0, 0, 0, 0.6}, // 238
    {"PZ90 (GLONASS),", "Russia", gelPZ90, 0, 0, 1.5, 0, 0, 0, 0.076},        // 239 EPSG:15843
    {"SELVAGEM GRANDE 1938", "Salvage Island", gelInt24, -289, -124, 60, 0, 0, 0,
     0},                                                              // 240 [T] EPSG:1965
    {"DOS 71/4", "St Helena", gelInt24, -320, 550, -494, 0, 0, 0, 0}, // 241 [T] EPSG:15798
    {"SIERRA LEONE DATUM 1960", "Sierra Leone", gelClrk80, -88, 4, 101, 0, 0, 0,
     0},                                                                  // 242 [T] EPSG:1614
    {"SIRGAS", "South America", gelWGS84, 0, 0, 0, 0, 0, 0, 0},           // 243
    {"SOUTH ASIA", "Singapore", gelModifFish60, 7, -10, -26, 0, 0, 0, 0}, // 244 [T]
    {"S-42 (PULKOVO 1942),", "Albania", gelKrass40, 24, -130, -92, 0, 0, 0,
     0},                                                                       // 245 [T] EPSG:15999
    {"S-42 (PK42),", "Czechoslavakia", gelKrass40, 26, -121, -78, 0, 0, 0, 0}, // 246 [T] EPSG:15998
    {"S-42 (PULKOVO 1942),", "Hungary", gelKrass40, 28, -121, -77, 0, 0, 0,
     0},                                                                       // 247 [T] EPSG:15996
    {"S-42 (PULKOVO 1942),", "Latvia", gelKrass40, 24, -124, -82, 0, 0, 0, 0}, // 248 [T] EPSG:1290
    {"S-42 (PK 1942),", "Kazakhstan", gelKrass40, 15, -130, -84, 0, 0, 0, 0},  // 249 [T] EPSG:1291
    {"SYSTEM 1942/58 (PULKOVO 1942),", "Poland", gelKrass40, 33.4, -146.6, -76.3, -0.84, -0.359,
     -0.053, 0.844},                                                           // 250 EPSG:1645
    {"S-42 (PULKOVO 1942),", "Poland", gelKrass40, 23, -124, -82, 0, 0, 0, 0}, // 251 [T] EPSG:15997
    {"S-42 (PULKOVO 1942),", "Romania", gelKrass40, 28, -121, -77, 0, 0, 0,
     0}, // 252 [T] EPSG:15497
    {"S-42 (PULKOVO 1942),", "Romania", gelKrass40, 2.329, -147.042, -92.08, 5.69, -0.309, 0.325,
     0.497}, // 253 EPSG:15995
    {"S-42 (PULKOVO 1942),", "Afghanistan", gelKrass40, 25, -141, -78.5, 0, 0, 0.35,
     0.736}, // 254 EPSG:15865
    {"TANANARIVE OBSERVATORY", "Madagascar", gelInt24, -189, -242, -91, 0, 0, 0,
     0}, // 255 [T] EPSG:1227
    {"TRISTAN ASTRO 1968", "Tristan da Cunha", gelInt24, -632, 438, -609, 0, 0, 0,
     0},                                                            // 256 [T] EPSG:15816
    {"TETE", "Mozambique", gelClrk66, -80, -100, -228, 0, 0, 0, 0}, // 257 EPSG:6901
    {"TIMBALAI 1948 (Everest),", "Malaysia E & Brunei", gelEverest, -679, 669, -48, 0, 0, 0,
     0}, // 258 [T] EPSG:1228
    {"TIMBALAI 1968,Adj of 1948", "Malaysia E & Brunei", gelBess41, -689.5937, 623.84046, -65.93566,
     5.88536, -0.02331, 1.17094, -0.80054}, // 259 EPSG:5249
    {"TIMBALAI 1968, Adj of 1948", "Malaysia E & Brunei", gelEverest, -679, 669, -48, 0, 0, 0,
     0}, // 260 [T] EPSG:1228
    {"TIMBALAI 1948 (Bessel),", "Malaysia E & Brunei", gelBess41, -689.5937, 623.84046, -65.93566,
     5.88536, -0.02331, 1.17094, -0.80054},                              // 261 EPSG:5249
    {"TOKYO", "Japan", gelBess41, -148, 507, 685, 0, 0, 0, 0},           // 262
    {"TOKYO", "South Korea", gelBess41, -147, 506, 687, 0, 0, 0, 0},     // 263 [T] EPSG:1305
    {"TOKYO", "Japan - Okinawa", gelBess41, -158, 507, 676, 0, 0, 0, 0}, // 264 [T] EPSG:1233
    {"TERN ISLAND (FRIG), 1961", "Antarctica", gelInt24, 114, -116, -333, 0, 0, 0,
     0},                                                                  // 265 [T] EPSG:15795
    {"VOIROL 1875", "Algeria", gelClrk80IGN, -73, -247, 227, 0, 0, 0, 0}, // 266 EPSG:1294
    {"WAKE ISLAND ASTRO 1952", "Wake Island", gelInt24, 276, -57, 149, 0, 0, 0,
     0}, // 267 [T] EPSG:15823
    {"WORLD GEODETIC SYSTEM 1972", "World", gelWGS72, 0, 0, 4.5, 0.219, 0, 0, 0.554}, // 268
    {"WORLD GEODETIC SYSTEM 1984", "World", gelWGS84, 0, 0, 0, 0, 0, 0, 0},           // 269
    {"YACARE", "Uruguay", gelInt24, -155, 171, 37, 0, 0, 0, 0},      // 270 [T] EPSG:1234
    {"ZANDERIJ", "Suriname", gelInt24, -265, 120, -358, 0, 0, 0, 0}, // 271
};

constexpr double ArcSecToRad = geobasics_detail::DegToRad / 3600;

// Applies one parameter set, each value multiplied by Sign (+1 towards WGS 84, -1 back).
void ApplyHelmert(const TGeoDatum& D, double Sign, double& X, double& Y, double& Z) {
  const double m = 1 + Sign * D.Scale * 1e-6;
  const double rX = Sign * D.rX * ArcSecToRad, rY = Sign * D.rY * ArcSecToRad,
               rZ = Sign * D.rZ * ArcSecToRad;
  const double X1 = m * (X - rZ * Y + rY * Z) + Sign * D.dX;
  const double Y1 = m * (rZ * X + Y - rX * Z) + Sign * D.dY;
  const double Z1 = m * (-rY * X + rX * Y + Z) + Sign * D.dZ;
  X = X1;
  Y = Y1;
  Z = Z1;
}

} // namespace

int32_t HelmertTransform(int32_t SourceDatum, double Latitude, double Longitude, double Height,
                         int32_t DestDatum, double& DestLatitude, double& DestLongitude,
                         double& DestHeight) {
  const bool SourceOK = SourceDatum >= 1 && SourceDatum <= GeoDatumCount;
  const bool DestOK = DestDatum >= 1 && DestDatum <= GeoDatumCount;
  int32_t Status = 0;
  if (!SourceOK) Status = -1;
  if (!DestOK) Status = -2;
  if (!(Latitude >= -90 && Latitude <= 90)) Status = -3;
  if (!(Longitude >= -180 && Longitude <= 180)) Status = -4;
  if (!SourceOK || !DestOK) {
    // There is no parameter set to apply: hand the position back unchanged.
    DestLatitude = Latitude;
    DestLongitude = Longitude;
    DestHeight = Height;
    return Status;
  }
  const TGeoDatum& Src = GeoDatumData[SourceDatum - 1];
  const TGeoDatum& Dst = GeoDatumData[DestDatum - 1];
  double X, Y, Z;
  GeoToCartesian(Latitude, Longitude, Height, Src.Ellipsoid, X, Y, Z);
  ApplyHelmert(Src, 1, X, Y, Z);
  ApplyHelmert(Dst, -1, X, Y, Z);
  CartesianToGeo(X, Y, Z, Dst.Ellipsoid, DestLatitude, DestLongitude, DestHeight);
  return Status;
}

} // namespace zef
