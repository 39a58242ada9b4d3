// Map calibration: the six models, both conversion directions, editing, corners and
// resolution.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ZEF_geomap.h"

namespace zef {
namespace {

constexpr double Pi = std::numbers::pi;

// A map with an image of W x H pixels and the given model.
std::unique_ptr<TGeoMap> MakeMap(TCalibModel Model, int32_t W = 1000, int32_t H = 1000) {
  auto Map = std::make_unique<TGeoMap>(nullptr);
  Map->SetName("Map1");
  TBitmap Image;
  Image.SetSize(W, H);
  Map->SetMapBitmap(Image);
  Map->SetCalibModel(Model);
  Map->ClearCalibData();
  return Map;
}

std::string ErrorOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const EZEFGeoMapError& E) {
    return E.Message();
  }
  return "no exception";
}

TEST(GeoMapCalib, EquiRectThreePoints) {
  auto Map = MakeMap(cmEquiRect);
  EXPECT_TRUE(Map->AddCalibPoint(10.0, 20.0, 0, 0));
  EXPECT_TRUE(Map->AddCalibPoint(10.0, 30.0, 1000, 0));
  EXPECT_TRUE(Map->AddCalibPoint(0.0, 20.0, 0, 1000));
  bool Valid = false;
  EXPECT_NEAR(Map->CalcLatitude(500, 500, Valid), 5, 1e-9);
  EXPECT_TRUE(Valid);
  EXPECT_NEAR(Map->CalcLongitude(TPoint{500, 500}, Valid), 25, 1e-9);
  EXPECT_TRUE(Valid);
  int32_t x = -1, y = -1;
  EXPECT_TRUE(Map->CalcPixelCoords(5, 25, x, y));
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 500);
  EXPECT_NEAR(Map->CalibData().Corners[gcoBottomRight].Latit, 0, 1e-9);
  EXPECT_NEAR(Map->CalibData().Corners[gcoBottomRight].Longit, 30, 1e-9);
  double QX = -1, QY = -1;
  Map->CalibQuality(QX, QY);
  EXPECT_EQ(QX, 0);
  EXPECT_EQ(QY, 0);
  EXPECT_TRUE(Map->IsPositionWithinMap(5, 25));
  EXPECT_FALSE(Map->IsPositionWithinMap(10, 25)); // on the top edge
  EXPECT_FALSE(Map->IsPositionWithinMap(5, 31));
}

TEST(GeoMapCalib, UndefinedModelConvertsNothing) {
  auto Map = MakeMap(cmUndefined);
  bool Valid = true;
  EXPECT_EQ(Map->CalcLatitude(10, 10, Valid), 0);
  EXPECT_FALSE(Valid);
  int32_t x = 7, y = 8;
  EXPECT_TRUE(Map->CalcPixelCoords(1, 2, x, y));
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 8);
  EXPECT_FALSE(Map->RemoveCalibPoint(1, 1));
  EXPECT_EQ(ErrorOf([&] { Map->AddCalibPoint(1.0, 2.0, 3, 4); }),
            "Component \"Map1\": current calibration model does not support this version of "
            "AddCalibPoint");
  EXPECT_EQ(ErrorOf([&] { Map->RemoveCalibPoint(gtlParallel, 1.0, 3, 4); }),
            "Component \"Map1\": current calibration model does not support this version of "
            "RemoveCalibPoint");
}

// A graticule of slightly curved lines: parallel at latitude 50 - y/100 through y(x), meridian
// at longitude 10 + x/100 through x(y).
void AddGraticule(TGeoMap& Map, bool WithThirdLines) {
  auto ParY = [](double Lat, int32_t x) {
    return static_cast<int32_t>(std::lround((50 - Lat) * 100 + 1e-5 * (x - 500) * (x - 500)));
  };
  auto MerX = [](double Lon, int32_t y) {
    return static_cast<int32_t>(std::lround((Lon - 10) * 100 + 2e-5 * (y - 500) * (y - 500)));
  };
  std::vector<double> Lats = {48, 45}, Lons = {12, 16};
  if (WithThirdLines) {
    Lats.push_back(42);
    Lons.push_back(19);
  }
  for (double Lat : Lats)
    for (int32_t x : {0, 250, 500, 750, 1000})
      Map.AddCalibPoint(gtlParallel, Lat, x, ParY(Lat, x));
  for (double Lon : Lons)
    for (int32_t y : {0, 300, 600, 900})
      Map.AddCalibPoint(gtlMeridian, Lon, MerX(Lon, y), y);
}

TEST(GeoMapCalib, ParabolicInterpolation) {
  auto Map = MakeMap(cmParabolicIp);
  Map->AddCalibPoint(gtlParallel, 48.0, 0, 200);
  Map->AddCalibPoint(gtlParallel, 48.0, 500, 200);
  Map->AddCalibPoint(gtlParallel, 48.0, 1000, 200);
  EXPECT_FALSE(Map->RecalcGratMat()); // a single parallel
  EXPECT_EQ(Map->GratMat().NrOfRows(), 1);
  bool Valid = true;
  Map->CalcLatitude(10, 10, Valid);
  EXPECT_FALSE(Valid);

  Map->ClearCalibData();
  AddGraticule(*Map, false);
  ASSERT_TRUE(Map->RecalcGratMat());
  EXPECT_EQ(Map->GratMat().NrOfRows(), 4);
  // On the parallel 45 at x = 500 (y = 500), on the meridian 12 at y = 500 (x = 200).
  EXPECT_NEAR(Map->CalcLatitude(500, 500, Valid), 45, 0.01);
  EXPECT_TRUE(Valid);
  EXPECT_NEAR(Map->CalcLongitude(200, 500, Valid), 12, 0.01);
  int32_t x = 0, y = 0;
  EXPECT_TRUE(Map->CalcPixelCoords(46.5, 14, x, y));
  EXPECT_NEAR(x, 400, 2);
  EXPECT_NEAR(y, 350, 2);
}

// Lines with one or two points are kept but must not act as the curve y = 0 in the
// interpolation.
TEST(GeoMapCalib, ShortGraticuleLinesStayOutOfTheInterpolation) {
  auto Map = MakeMap(cmParabolicIp);
  AddGraticule(*Map, true);
  bool Valid;
  const double Lat = Map->CalcLatitude(500, 20, Valid);
  const double Lon = Map->CalcLongitude(20, 500, Valid);
  Map->AddCalibPoint(gtlParallel, 30.0, 100, 2000);
  Map->AddCalibPoint(gtlMeridian, 5.0, 1500, 100);
  Map->AddCalibPoint(gtlMeridian, 5.0, 1500, 300);
  EXPECT_EQ(Map->CalibData().NumCalLines, 8);
  EXPECT_EQ(Map->GratMat().NrOfRows(), 6);
  EXPECT_DOUBLE_EQ(Map->CalcLatitude(500, 20, Valid), Lat);
  EXPECT_DOUBLE_EQ(Map->CalcLongitude(20, 500, Valid), Lon);
  EXPECT_NEAR(Lat, 49.8, 0.01);
}

TEST(GeoMapCalib, GraticuleEditingAndCapacities) {
  auto Map = MakeMap(cmParabolicIp);
  for (int32_t i = 0; i < MaxCalLinePoints; ++i)
    EXPECT_TRUE(Map->AddCalibPoint(gtlParallel, 1.0, i, 0));
  EXPECT_FALSE(Map->AddCalibPoint(gtlParallel, 1.0, 99, 0)); // 11th point
  for (int32_t i = 1; i < MaxCalLines; ++i)
    EXPECT_TRUE(Map->AddCalibPoint(gtlMeridian, i, 0, i));
  EXPECT_FALSE(Map->AddCalibPoint(gtlMeridian, 99.0, 0, 0)); // 26th line
  EXPECT_EQ(Map->CalibData().NumCalLines, MaxCalLines);

  EXPECT_FALSE(Map->RemoveCalibPoint(gtlParallel, 1.0, 55, 55));
  EXPECT_TRUE(Map->RemoveCalibPoint(gtlParallel, 1.0, 3, 0));
  EXPECT_EQ(Map->CalibData().CalLines[0].NumPoints, 9);
  EXPECT_EQ(Map->CalibData().CalLines[0].CalPoints[3].X, 9); // the last point moved in
  // Removing the only point of a line removes the line; the last line takes its place.
  EXPECT_TRUE(Map->RemoveCalibPoint(gtlMeridian, 1.0, 0, 1));
  EXPECT_EQ(Map->CalibData().NumCalLines, MaxCalLines - 1);
  EXPECT_EQ(Map->CalibData().CalLines[1].LineValue, 24);

  // The nearest point is removed and can be restored once.
  EXPECT_TRUE(Map->RemoveCalibPoint(7, 1));
  EXPECT_EQ(Map->CalibData().CalLines[0].NumPoints, 8);
  Map->RestoreLastDeletedCalPoint();
  EXPECT_EQ(Map->CalibData().CalLines[0].NumPoints, 9);
  Map->RestoreLastDeletedCalPoint();
  EXPECT_EQ(Map->CalibData().CalLines[0].NumPoints, 9);
}

TEST(GeoMapCalib, ControlPointEditing) {
  auto Map = MakeMap(cmEquiRect);
  for (int32_t i = 0; i < MaxCalQuads; ++i)
    EXPECT_TRUE(Map->AddCalibPoint(i * 0.01, i * 0.02, i, 2 * i));
  EXPECT_FALSE(Map->AddCalibPoint(5.0, 5.0, 1, 1));
  EXPECT_TRUE(Map->RemoveCalibPoint(10, 21)); // nearest is point 10 at (10, 20)
  EXPECT_EQ(Map->CalibData().NumCalQuads, MaxCalQuads - 1);
  EXPECT_EQ(Map->CalibData().CalQuads[10].MapX, 199);
  Map->RestoreLastDeletedCalPoint();
  EXPECT_EQ(Map->CalibData().NumCalQuads, MaxCalQuads);
  EXPECT_EQ(Map->CalibData().CalQuads[199].MapX, 10);
  Map->RestoreLastDeletedCalPoint();
  EXPECT_EQ(Map->CalibData().NumCalQuads, MaxCalQuads);
  EXPECT_EQ(ErrorOf([&] { Map->AddCalibPoint(gtlParallel, 1.0, 3, 4); }),
            "Component \"Map1\": current calibration model does not support this version of "
            "AddCalibPoint");
}

TEST(GeoMapCalib, BiquadraticRecoversAQuadraticMapping) {
  auto Map = MakeMap(cmBiquadraticPn);
  auto Lat = [](double x, double y) { return 47 - 0.001 * y + 1e-8 * x * y; };
  auto Lon = [](double x, double y) { return 8 + 0.0015 * x + 2e-8 * y * y; };
  for (int32_t x = 0; x <= 1000; x += 250)
    for (int32_t y = 0; y <= 1000; y += 250)
      Map->AddCalibPoint(Lat(x, y), Lon(x, y), x, y);
  bool Valid;
  EXPECT_NEAR(Map->CalcLatitude(333, 777, Valid), Lat(333, 777), 1e-9);
  EXPECT_NEAR(Map->CalcLongitude(333, 777, Valid), Lon(333, 777), 1e-9);
  int32_t x, y;
  Map->CalcPixelCoords(Lat(600, 400), Lon(600, 400), x, y);
  EXPECT_NEAR(x, 600, 1);
  EXPECT_NEAR(y, 400, 1);
  double QX, QY;
  Map->CalibQuality(QX, QY);
  EXPECT_LT(QX, 1.5);
  EXPECT_LT(QY, 1.5);
}

TEST(GeoMapCalib, MillerCylindrical) {
  auto Map = MakeMap(cmMillerCylindrical);
  Map->AddCalibPoint(40.0, 0.0, 0, 0);
  Map->AddCalibPoint(30.0, 10.0, 100, 100);
  EXPECT_EQ(Map->MillerCylPar(), (std::array<double, 4>{}));
  bool Valid = true;
  Map->CalcLatitude(5, 5, Valid);
  EXPECT_FALSE(Valid);
  // Points of an exact Miller map: x = 2000 lambda + 300, y = -2000 m(phi) + 900.
  Map->ClearCalibData();
  auto MX = [](double Lon) { return 2000 * Lon * Pi / 180 + 300; };
  auto MY = [](double Lat) {
    return -2000 * std::log(std::tan(0.4 * Lat * Pi / 180 + Pi / 4)) + 900;
  };
  for (double Lat : {10.0, 30.0, 50.0})
    for (double Lon : {-5.0, 5.0, 15.0})
      Map->AddCalibPoint(Lat, Lon, static_cast<int32_t>(std::lround(MX(Lon))),
                         static_cast<int32_t>(std::lround(MY(Lat))));
  EXPECT_NEAR(Map->MillerCylPar()[2], 2000, 5); // pixel rounding
  EXPECT_NEAR(Map->CalcLatitude(0, static_cast<int32_t>(std::lround(MY(40))), Valid), 40, 0.02);
  EXPECT_TRUE(Valid);
  EXPECT_NEAR(Map->CalcLongitude(static_cast<int32_t>(std::lround(MX(7))), 0, Valid), 7, 0.02);
  int32_t x, y;
  Map->CalcPixelCoords(40, 7, x, y);
  EXPECT_NEAR(x, MX(7), 1);
  EXPECT_NEAR(y, MY(40), 1);
}

TEST(GeoMapCalib, ConicFindsTheApex) {
  auto Map = MakeMap(cmConicConformal);
  // A conic map with its apex at pixel (500, -3000): latitude falls 0.01 degree per pixel of
  // distance, longitude grows 20 degrees per radian clockwise.
  const double x0 = 500, y0 = -3000;
  for (double Lat : {45.0, 40.0, 35.0})
    for (double Lon : {-10.0, 0.0, 10.0}) {
      const double r = (60 - Lat) / 0.01 + 1000, Theta = (Lon - 0) / -20;
      Map->AddCalibPoint(Lat, Lon, static_cast<int32_t>(std::lround(x0 + r * std::sin(Theta))),
                         static_cast<int32_t>(std::lround(y0 + r * std::cos(Theta))));
    }
  const auto& C = Map->ConicPars();
  EXPECT_NEAR(C[0], x0, 30);
  EXPECT_NEAR(C[1], y0, 100);
  bool Valid;
  const double r = (60 - 38.0) / 0.01 + 1000, Theta = 4 / -20.0;
  const int32_t px = static_cast<int32_t>(std::lround(x0 + r * std::sin(Theta)));
  const int32_t py = static_cast<int32_t>(std::lround(y0 + r * std::cos(Theta)));
  EXPECT_NEAR(Map->CalcLatitude(px, py, Valid), 38, 0.05);
  EXPECT_NEAR(Map->CalcLongitude(px, py, Valid), 4, 0.05);
  int32_t x, y;
  Map->CalcPixelCoords(38, 4, x, y);
  EXPECT_NEAR(x, px, 5);
  EXPECT_NEAR(y, py, 5);
}

// A UTM calibration of zone 32 north whose image reaches past 12 E into zone 33: both
// directions must use zone 32.
TEST(GeoMapCalib, UTMUsesTheMapZoneBothWays) {
  auto Map = MakeMap(cmUTM);
  EXPECT_EQ(ErrorOf([&] { Map->AddCalibPoint(5300000.0, 500000.0, 32, hemiNorth, 0, 0); }),
            "Component \"Map1\": UTM zone parameter changed");
  Map->SetUTMZone(32);
  EXPECT_EQ(Map->UTMZone(), 32);
  Map->SetUTMZone(61);
  EXPECT_EQ(Map->UTMZone(), 32);
  EXPECT_EQ(ErrorOf([&] { Map->AddCalibPoint(5300000.0, 500000.0, 32, hemiSouth, 0, 0); }),
            "Component \"Map1\": UTM zone parameter changed");
  // 200 m per pixel, pixel (0, 0) at easting 600000, northing 5400000.
  for (int32_t x : {0, 1000})
    for (int32_t y : {0, 1000})
      EXPECT_TRUE(
          Map->AddCalibPoint(5400000.0 - 200.0 * y, 600000.0 + 200.0 * x, 32, hemiNorth, x, y));
  bool Valid;
  for (TPoint P : {TPoint{100, 100}, TPoint{900, 800}}) { // 12.8 E lies in zone 33
    const double Lat = Map->CalcLatitude(P, Valid);
    const double Lon = Map->CalcLongitude(P, Valid);
    ASSERT_TRUE(Valid);
    int32_t x, y;
    EXPECT_TRUE(Map->CalcPixelCoords(Lat, Lon, x, y));
    EXPECT_EQ(x, P.X) << Lon;
    EXPECT_EQ(y, P.Y) << Lon;
  }
  EXPECT_GT(Map->CalcLongitude(900, 800, Valid), 12);
  int32_t x, y;
  EXPECT_TRUE(Map->CalcPixelCoordsUTM(5350000, 650000, x, y));
  EXPECT_EQ(x, 250);
  EXPECT_EQ(y, 250);
  EXPECT_EQ(Map->CalcUTMyFromNorthingX(5350000, 123), 250);
  EXPECT_EQ(Map->CalcUTMxFromEastingY(650000, 321), 250);
  double QX, QY;
  Map->CalibQuality(QX, QY);
  EXPECT_LT(QX, 1e-9);
  // Removed and restored through the UTM form.
  EXPECT_TRUE(Map->RemoveCalibPoint(0, 0));
  Map->RestoreLastDeletedCalPoint();
  EXPECT_EQ(Map->CalibData().NumCalQuads, 4);
  auto Other = MakeMap(cmEquiRect);
  EXPECT_FALSE(Other->CalcPixelCoordsUTM(1, 1, x, y));
}

TEST(GeoMapCalib, ResolutionOverWideSpans) {
  // Equirectangular maps of the equatorial band, 1000 pixels wide, spanning Span degrees.
  for (double Span : {10.0, 179.0, 200.0, 270.0, 359.0, 360.0}) {
    auto Map = MakeMap(cmEquiRect, 1000, 100);
    Map->AddCalibPoint(10.0, -Span / 2, 0, 0);
    Map->AddCalibPoint(10.0, Span / 2, 1000, 0);
    Map->AddCalibPoint(-10.0, -Span / 2, 0, 100);
    const double Expected = 6378000 * Span * Pi / 180 / 1000;
    EXPECT_NEAR(Map->CalibData().Resolution, Expected, Expected * 1e-6) << Span;
  }
  auto Empty = MakeMap(cmEquiRect, 0, 0);
  EXPECT_EQ(Empty->CalibData().Resolution, 0);
}

TEST(GeoMapCalib, ClearAndSetCalibData) {
  auto Map = MakeMap(cmEquiRect);
  Map->AddCalibPoint(1.0, 2.0, 3, 4);
  Map->ClearCalibData();
  EXPECT_EQ(Map->CalibModel(), cmEquiRect);
  EXPECT_EQ(Map->UTMZone(), -1);
  EXPECT_EQ(Map->CalibData().NumCalQuads, 0);
  EXPECT_EQ(Map->EquRectPLSP(), TAffineSets{});
  TCalibData D;
  D.NumCalLines = 99;
  D.NumCalQuads = -3;
  D.CalLines[0].NumPoints = 50;
  Map->SetCalibData(D);
  EXPECT_EQ(Map->CalibData().NumCalLines, MaxCalLines);
  EXPECT_EQ(Map->CalibData().NumCalQuads, 0);
  EXPECT_EQ(Map->CalibData().CalLines[0].NumPoints, MaxCalLinePoints);
  Map->Clear();
  EXPECT_EQ(Map->CalibModel(), cmUndefined);
  EXPECT_EQ(Map->MapImgWidth(), 0);
  EXPECT_EQ(Map->MapImgFile(), "");
}

} // namespace
} // namespace zef
