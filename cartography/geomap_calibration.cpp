// TGeoMap: entering calibration data, fitting the six models and converting between pixels
// and geographic positions.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "ZEF_curvefit.h"
#include "ZEF_geomap.h"
#include "ZEF_math2.h"
#include "ZEF_vector.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double RadPerDeg = Pi / 180;
constexpr double NoDistance = 1E20; // start of the nearest-line searches

bool IsControlPointModel(TCalibModel M) { return M >= cmBiquadraticPn && M <= cmUTM; }

double Affine(const std::array<double, 3>& c, double u, double v) {
  return c[0] + c[1] * u + c[2] * v;
}

double Quadratic(const std::array<double, 6>& K, double u, double v) {
  return K[0] + K[1] * u + K[2] * v + K[3] * u * u + K[4] * u * v + K[5] * v * v;
}

// Least-squares solution of Design * c = Rhs, written into c (zeros when it fails).
template <std::size_t N>
void SolveInto(const TMatrix& Design, const TVector& Rhs, std::array<double, N>& c) {
  TVector Solution(static_cast<int32_t>(N));
  const bool OK = SolveLeastSquares(Design, Rhs, Solution);
  for (std::size_t i = 0; i < N; ++i)
    c[i] = OK ? Solution.GetVal(static_cast<int32_t>(i + 1)) : 0.0;
}

// The two nearest candidates by distance: the first strictly nearer than the nearest pushes
// it to second place, one not nearer than the nearest but nearer than the second replaces it.
struct TNearestTwo {
  int32_t First = -1, Second = -1;
  double DFirst = NoDistance, DSecond = NoDistance;
  void Offer(int32_t Index, double Distance) {
    if (Distance < DFirst) {
      Second = First;
      DSecond = DFirst;
      First = Index;
      DFirst = Distance;
    } else if (Distance < DSecond) {
      Second = Index;
      DSecond = Distance;
    }
  }
  bool Complete() const { return First >= 0 && Second >= 0; }
};

int64_t SquaredDistance(TPoint P, int32_t x, int32_t y) {
  const int64_t dx = static_cast<int64_t>(P.X) - x, dy = static_cast<int64_t>(P.Y) - y;
  return dx * dx + dy * dy;
}

} // namespace

const std::array<const char*, 7> CalibModelNames = {
    "parabolicip", "biquadraticpn", "conicconformal", "millercylindrical",
    "equirect",    "utm",           "undefined"};

// ---- Properties ---------------------------------------------------------------------------

void TGeoMap::Changed() { Invalidate(); }

void TGeoMap::Fail(const std::string& Text) const {
  throw EZEFGeoMapError(ComponentMessage(Name(), Text));
}

void TGeoMap::SetCalibModel(TCalibModel Value) {
  FCalibModel = Value > cmUndefined ? cmUndefined : Value;
  RecalcCalibration();
}

void TGeoMap::SetUTMZone(int32_t Value) {
  if (Value >= 1 && Value <= 60) FCalibData.UTMZone = Value;
}

void TGeoMap::SetUTMHemisphere(THemisphere Value) { FCalibData.UTMSouth = Value == hemiSouth; }

void TGeoMap::SetCalibData(const TCalibData& Value) {
  if (Value.Ellipsoid >= GeoEllipsoidCount) Fail("invalid ellipsoid");
  FCalibData = Value;
  FCalibData.NumCalLines = std::clamp(FCalibData.NumCalLines, 0, MaxCalLines);
  for (TCalibLine& L : FCalibData.CalLines)
    L.NumPoints = std::clamp(L.NumPoints, 0, MaxCalLinePoints);
  FCalibData.NumCalQuads = std::clamp(FCalibData.NumCalQuads, 0, MaxCalQuads);
}

// ---- Entering calibration data ------------------------------------------------------------

bool TGeoMap::AddCalibPoint(TGratLineKind GratLineKind, double LineValue, int32_t PixPosX,
                            int32_t PixPosY) {
  if (FCalibModel != cmParabolicIp)
    Fail("current calibration model does not support this version of AddCalibPoint");
  TCalibData& D = FCalibData;
  auto Lines = std::span(D.CalLines.data(), static_cast<std::size_t>(D.NumCalLines));
  auto It = std::find_if(Lines.begin(), Lines.end(), [&](const TCalibLine& L) {
    return L.LineType == GratLineKind && L.LineValue == LineValue;
  });
  TCalibLine* Line = It != Lines.end() ? &*It : nullptr;
  if (Line == nullptr && D.NumCalLines < MaxCalLines) {
    Line = &D.CalLines[D.NumCalLines++];
    *Line = TCalibLine{GratLineKind, LineValue, 0, {}};
  }
  if (Line == nullptr || Line->NumPoints >= MaxCalLinePoints) return false;
  Line->CalPoints[Line->NumPoints++] = TPoint{PixPosX, PixPosY};
  RecalcCalibration();
  return true;
}

bool TGeoMap::AddCalibPoint(double Latit, double Longit, int32_t PixPosX, int32_t PixPosY) {
  if (FCalibModel < cmBiquadraticPn || FCalibModel > cmEquiRect)
    Fail("current calibration model does not support this version of AddCalibPoint");
  if (FCalibData.NumCalQuads >= MaxCalQuads) return false;
  FCalibData.CalQuads[FCalibData.NumCalQuads++] = TCalQuad{Latit, Longit, PixPosX, PixPosY};
  FitCurrentModel();
  CalcExtentsAndResolution();
  Changed();
  return true;
}

bool TGeoMap::AddCalibPoint(double Northing, double Easting, int32_t Zone, THemisphere Hemisphere,
                            int32_t PixPosX, int32_t PixPosY) {
  if (FCalibModel != cmUTM)
    Fail("current calibration model does not support this version of AddCalibPoint");
  if (Zone != FCalibData.UTMZone || (Hemisphere == hemiSouth) != FCalibData.UTMSouth)
    Fail("UTM zone parameter changed");
  if (FCalibData.NumCalQuads >= MaxCalQuads) return false;
  FCalibData.CalQuads[FCalibData.NumCalQuads++] = TCalQuad{Northing, Easting, PixPosX, PixPosY};
  FitCurrentModel();
  CalcExtentsAndResolution();
  Changed();
  return true;
}

// Replaces the point by the line's last one; a line left empty is replaced by the last line.
void TGeoMap::RemoveGraticulePoint(int32_t Line, int32_t Point) {
  TCalibData& D = FCalibData;
  TCalibLine& L = D.CalLines[Line];
  L.CalPoints[Point] = L.CalPoints[L.NumPoints - 1];
  --L.NumPoints;
  if (L.NumPoints == 0) {
    L = D.CalLines[D.NumCalLines - 1];
    D.CalLines[D.NumCalLines - 1].NumPoints = 0;
    --D.NumCalLines;
  }
}

bool TGeoMap::RemoveCalibPoint(TGratLineKind GratLineKind, double LineValue, int32_t PixPosX,
                               int32_t PixPosY) {
  if (FCalibModel != cmParabolicIp)
    Fail("current calibration model does not support this version of RemoveCalibPoint");
  bool Removed = false;
  for (int32_t i = 0; i < FCalibData.NumCalLines; ++i) {
    const TCalibLine& L = FCalibData.CalLines[i];
    if (L.LineType != GratLineKind || L.LineValue != LineValue) continue;
    for (int32_t j = 0; j < L.NumPoints; ++j) {
      if (L.CalPoints[j].X == PixPosX && L.CalPoints[j].Y == PixPosY) {
        RemoveGraticulePoint(i, j);
        Removed = true;
        break;
      }
    }
    break;
  }
  RecalcCalibration();
  return Removed;
}

bool TGeoMap::RemoveCalibPoint(int32_t PixPosX, int32_t PixPosY) {
  TCalibData& D = FCalibData;
  bool Removed = false;
  if (FCalibModel == cmParabolicIp) {
    int32_t BestLine = -1, BestPoint = -1;
    int64_t Best = 0;
    for (int32_t i = 0; i < D.NumCalLines; ++i)
      for (int32_t j = 0; j < D.CalLines[i].NumPoints; ++j) {
        const int64_t d = SquaredDistance(D.CalLines[i].CalPoints[j], PixPosX, PixPosY);
        if (BestLine < 0 || d < Best) {
          BestLine = i;
          BestPoint = j;
          Best = d;
        }
      }
    if (BestLine >= 0) {
      const TCalibLine& L = D.CalLines[BestLine];
      FParaIpOops = TCalibLine{L.LineType, L.LineValue, 1, {}};
      FParaIpOops.CalPoints[0] = L.CalPoints[BestPoint];
      FRestoreParaIpOK = true;
      RemoveGraticulePoint(BestLine, BestPoint);
      Removed = true;
    }
  } else if (IsControlPointModel(FCalibModel)) {
    int32_t BestIx = -1;
    int64_t Best = 0;
    for (int32_t i = 0; i < D.NumCalQuads; ++i) {
      const TCalQuad& Q = D.CalQuads[i];
      const int64_t d = SquaredDistance(TPoint{Q.MapX, Q.MapY}, PixPosX, PixPosY);
      if (BestIx < 0 || d < Best) {
        BestIx = i;
        Best = d;
      }
    }
    if (BestIx >= 0) {
      FBiQuadOops = D.CalQuads[BestIx];
      FRestoreBiQuadOK = true;
      D.CalQuads[BestIx] = D.CalQuads[D.NumCalQuads - 1];
      D.CalQuads[D.NumCalQuads - 1] = TCalQuad{};
      --D.NumCalQuads;
      Removed = true;
    }
  }
  if (FCalibModel != cmUndefined) RecalcCalibration();
  return Removed;
}

void TGeoMap::RestoreLastDeletedCalPoint() {
  if (FCalibModel == cmParabolicIp && FRestoreParaIpOK) {
    FRestoreParaIpOK = false;
    AddCalibPoint(FParaIpOops.LineType, FParaIpOops.LineValue, FParaIpOops.CalPoints[0].X,
                  FParaIpOops.CalPoints[0].Y);
  } else if (FCalibModel >= cmBiquadraticPn && FCalibModel <= cmEquiRect && FRestoreBiQuadOK) {
    FRestoreBiQuadOK = false;
    AddCalibPoint(FBiQuadOops.Latitude, FBiQuadOops.Longitude, FBiQuadOops.MapX, FBiQuadOops.MapY);
  } else if (FCalibModel == cmUTM && FRestoreBiQuadOK) {
    // A UTM point goes back through the UTM form, in the map's own zone and hemisphere.
    FRestoreBiQuadOK = false;
    AddCalibPoint(FBiQuadOops.Latitude, FBiQuadOops.Longitude, FCalibData.UTMZone, UTMHemisphere(),
                  FBiQuadOops.MapX, FBiQuadOops.MapY);
  }
}

void TGeoMap::ZeroFittedParameters() {
  FGratMat->Resize(5, 1);
  FGratMat->Fill(0);
  FEquRectPLSP = {};
  FEquRectSPPL = {};
  FCalParsPLSP = {};
  FCalParsSPPL = {};
  FMillercylPar = {};
  FConicPars = {};
}

void TGeoMap::ClearCalibData() {
  TCalibData& D = FCalibData;
  D.NumCalLines = 0;
  for (TCalibLine& L : D.CalLines)
    L.NumPoints = 0;
  D.Corners = {};
  D.Resolution = 0;
  D.UTMZone = -1;
  D.UTMSouth = false;
  D.Ellipsoid = gelWGS84;
  D.NumCalQuads = 0;
  D.CalQuads.fill(TCalQuad{});
  // The Miller and conic parameters go too: a cleared calibration must not convert.
  ZeroFittedParameters();
  Changed();
}

void TGeoMap::Clear() {
  ClearCalibData();
  FCalibModel = cmUndefined;
  FCalibData.MapFName.clear();
  FCalibData.Caption.clear();
  TakeMapImage(std::make_unique<TBitmap>(), std::string());
}

// ---- Fitting ------------------------------------------------------------------------------

void TGeoMap::RecalcCalibration() {
  RecalcGratMat();
  FitCurrentModel();
  CalcExtentsAndResolution();
  Changed();
}

void TGeoMap::FitCurrentModel() {
  switch (FCalibModel) {
  case cmBiquadraticPn: CalcBiquadraticCalibration(); break;
  case cmConicConformal: CalcConicCalibration(); break;
  case cmMillerCylindrical: CalcMillerCylCalibration(); break;
  case cmEquiRect:
  case cmUTM: CalcEquiRectCalibration(); break;
  default: break;
  }
}

bool TGeoMap::RecalcGratMat() {
  // Only lines whose parabola could be fitted get a row: a line of one or two points (or of
  // points in one column) would otherwise enter the interpolation as the curve 0.
  struct TRow {
    double Kind, Value, c0, c1, c2;
  };
  std::array<TRow, MaxCalLines> Rows{};
  int32_t NRows = 0, NParallels = 0, NMeridians = 0;
  TCurveFit Fit;
  for (int32_t i = 0; i < FCalibData.NumCalLines; ++i) {
    const TCalibLine& L = FCalibData.CalLines[i];
    if (L.NumPoints < 3) continue;
    const bool Parallel = L.LineType == gtlParallel;
    Fit.Init();
    for (int32_t j = 0; j < L.NumPoints; ++j) {
      const TPoint P = L.CalPoints[j];
      if (Parallel)
        Fit.EnterStatValue(P.X, P.Y);
      else
        Fit.EnterStatValue(P.Y, P.X);
    }
    double c0, c1, c2, Quality;
    if (!Fit.CalcParabolFit(c0, c1, c2, Quality)) continue;
    Rows[NRows++] = TRow{Parallel ? 1.0 : 0.0, L.LineValue, c0, c1, c2};
    ++(Parallel ? NParallels : NMeridians);
  }
  if (NParallels < 2 || NMeridians < 2) {
    FGratMat->Resize(5, 1);
    FGratMat->Fill(0);
    return false;
  }
  FGratMat->Resize(5, NRows);
  for (int32_t r = 0; r < NRows; ++r) {
    const TRow& R = Rows[r];
    const double Values[5] = {R.Kind, R.Value, R.c0, R.c1, R.c2};
    for (int32_t c = 0; c < 5; ++c)
      FGratMat->SetVal(c + 1, r + 1, Values[c]);
  }
  return true;
}

void TGeoMap::CalcBiquadraticCalibration() {
  FCalParsPLSP = {};
  FCalParsSPPL = {};
  const int32_t n = FCalibData.NumCalQuads;
  if (n == 0) return;
  TMatrix Design(6, n);
  TVector Lat(n), Lon(n), X(n), Y(n);
  for (int32_t i = 0; i < n; ++i) {
    const TCalQuad& Q = FCalibData.CalQuads[i];
    const double x = Q.MapX, y = Q.MapY;
    const double Row[6] = {1, x, y, x * x, x * y, y * y};
    for (int32_t c = 0; c < 6; ++c)
      Design.SetVal(c + 1, i + 1, Row[c]);
    Lat.SetVal(i + 1, Q.Latitude);
    Lon.SetVal(i + 1, Q.Longitude);
    X.SetVal(i + 1, x);
    Y.SetVal(i + 1, y);
  }
  SolveInto(Design, Lat, FCalParsPLSP[0]);
  SolveInto(Design, Lon, FCalParsPLSP[1]);
  for (int32_t i = 0; i < n; ++i) {
    const TCalQuad& Q = FCalibData.CalQuads[i];
    const double p = Q.Latitude, l = Q.Longitude;
    const double Row[6] = {1, p, l, p * p, p * l, l * l};
    for (int32_t c = 0; c < 6; ++c)
      Design.SetVal(c + 1, i + 1, Row[c]);
  }
  SolveInto(Design, X, FCalParsSPPL[0]);
  SolveInto(Design, Y, FCalParsSPPL[1]);
}

void TGeoMap::CalcEquiRectCalibration() {
  FEquRectPLSP = {};
  FEquRectSPPL = {};
  const int32_t n = FCalibData.NumCalQuads;
  if (n == 0) return;
  TMatrix Design(3, n);
  TVector Lat(n), Lon(n), X(n), Y(n);
  for (int32_t i = 0; i < n; ++i) {
    const TCalQuad& Q = FCalibData.CalQuads[i];
    Design.SetVal(1, i + 1, 1);
    Design.SetVal(2, i + 1, Q.MapX);
    Design.SetVal(3, i + 1, Q.MapY);
    Lat.SetVal(i + 1, Q.Latitude);
    Lon.SetVal(i + 1, Q.Longitude);
    X.SetVal(i + 1, Q.MapX);
    Y.SetVal(i + 1, Q.MapY);
  }
  SolveInto(Design, Lat, FEquRectPLSP[0]);
  SolveInto(Design, Lon, FEquRectPLSP[1]);
  for (int32_t i = 0; i < n; ++i) {
    Design.SetVal(2, i + 1, FCalibData.CalQuads[i].Latitude);
    Design.SetVal(3, i + 1, FCalibData.CalQuads[i].Longitude);
  }
  SolveInto(Design, X, FEquRectSPPL[0]);
  SolveInto(Design, Y, FEquRectSPPL[1]);
}

void TGeoMap::CalcMillerCylCalibration() {
  const int32_t n = FCalibData.NumCalQuads;
  if (n < 3) return;
  TCurveFit FitX, FitY;
  for (int32_t i = 0; i < n; ++i) {
    const TCalQuad& Q = FCalibData.CalQuads[i];
    FitX.EnterStatValue(Q.Longitude * RadPerDeg, Q.MapX);
    FitY.EnterStatValue(std::log(std::tan(0.4 * Q.Latitude * RadPerDeg + Pi / 4)), Q.MapY);
  }
  double sX, x0, sY, y0, Quality;
  FitX.CalcLinFit(sX, x0, Quality);
  FitY.CalcLinFit(sY, y0, Quality);
  FMillercylPar = {sY, y0, sX, x0};
}

void TGeoMap::CalcConicCalibration() {
  const int32_t n = FCalibData.NumCalQuads;
  if (n < 3) return;
  const auto Quads = std::span(FCalibData.CalQuads.data(), static_cast<std::size_t>(n));
  int32_t MinX = FMapImgWidth, MaxX = 0, MinY = FMapImgHeight, MaxY = 0;
  for (const TCalQuad& Q : Quads) {
    MinX = std::min(MinX, Q.MapX);
    MaxX = std::max(MaxX, Q.MapX);
    MinY = std::min(MinY, Q.MapY);
    MaxY = std::max(MaxY, Q.MapY);
  }
  int64_t cx = (static_cast<int64_t>(MinX) + MaxX) / 2,
          cy = (static_cast<int64_t>(MinY) + MaxY) / 2;
  double BestScore = 1E10;
  std::array<double, 6> Best = FConicPars;
  TCurveFit FitR, FitT;
  for (int64_t Step = 1000000; Step > 0; Step /= 2) {
    int64_t BestX = cx, BestY = cy;
    for (int32_t i = -2; i <= 2; ++i)
      for (int32_t j = -2; j <= 2; ++j) {
        const double x0 = static_cast<double>(cx + i * Step);
        const double y0 = static_cast<double>(cy + j * Step);
        // Latitude linear in the distance from the apex.
        FitR.Init();
        for (const TCalQuad& Q : Quads)
          FitR.EnterStatValue(std::hypot(Q.MapX - x0, Q.MapY - y0), Q.Latitude);
        double kR, cR, Quality;
        FitR.CalcLinFit(kR, cR, Quality);
        double SumLat = 0;
        for (const TCalQuad& Q : Quads) {
          const double e = Q.Latitude - (kR * std::hypot(Q.MapX - x0, Q.MapY - y0) + cR);
          SumLat += e * e;
        }
        // Longitude linear in the angle about the apex (points on the apex row left out).
        FitT.Init();
        for (const TCalQuad& Q : Quads)
          if (Q.MapY != y0)
            FitT.EnterStatValue(std::atan((Q.MapX - x0) / (Q.MapY - y0)), Q.Longitude);
        double kT, cT;
        FitT.CalcLinFit(kT, cT, Quality);
        double SumLong = 0;
        for (const TCalQuad& Q : Quads)
          if (Q.MapY != y0) {
            const double e = Q.Longitude - (kT * std::atan((Q.MapX - x0) / (Q.MapY - y0)) + cT);
            SumLong += e * e;
          }
        const double Score = SumLat / n + SumLong / n;
        if (Score < BestScore) {
          BestScore = Score;
          Best = {x0, y0, kR, cR, kT, cT};
          BestX = cx + i * Step;
          BestY = cy + j * Step;
        }
      }
    cx = BestX;
    cy = BestY;
  }
  FConicPars = Best;
}

// ---- Pixel to geographic ------------------------------------------------------------------

// Interpolates between the two graticule lines of one kind nearest to the pixel: Along is
// the pixel coordinate the curves are functions of, Across the other one.
double TGeoMap::InterpolateGraticule(double Along, double Across, bool Parallels,
                                     bool& valid) const {
  const TMatrix& G = *FGratMat;
  const double Kind = Parallels ? 1 : 0;
  int32_t NParallels = 0, NMeridians = 0;
  TNearestTwo Near;
  auto Curve = [&](int32_t r) {
    return G.GetVal(3, r) + G.GetVal(4, r) * Along + G.GetVal(5, r) * Along * Along;
  };
  for (int32_t r = 1; r <= G.NrOfRows(); ++r) {
    const double RowKind = std::nearbyint(G.GetVal(1, r));
    ++(RowKind == 1 ? NParallels : NMeridians);
    if (RowKind == Kind) Near.Offer(r, std::fabs(Across - Curve(r)));
  }
  if (NParallels < 2 || NMeridians < 2 || !Near.Complete()) return 0;
  const double s = Curve(Near.First), q = Curve(Near.Second);
  const double Result =
      (G.GetVal(2, Near.First) - G.GetVal(2, Near.Second)) * (Across - q) / (s - q) +
      G.GetVal(2, Near.Second);
  if (!std::isfinite(Result)) return 0; // the two curves meet at this pixel
  valid = true;
  return Result;
}

// Northing and easting from the affine sets, then UTM in the map's zone; false without a
// valid zone.
bool TGeoMap::UTMPixelToGeo(int32_t x, int32_t y, double& Lat, double& Lon) const {
  if (FCalibData.UTMZone < 1 || FCalibData.UTMZone > 60) return false;
  UTMToLatLong(Affine(FEquRectPLSP[1], x, y), Affine(FEquRectPLSP[0], x, y), FCalibData.UTMZone,
               FCalibData.UTMSouth, FCalibData.Ellipsoid, Lat, Lon);
  return true;
}

double TGeoMap::CalcLatitude(int32_t x, int32_t y, bool& valid) const {
  valid = false;
  switch (FCalibModel) {
  case cmParabolicIp: return InterpolateGraticule(x, y, true, valid);
  case cmBiquadraticPn: valid = true; return Quadratic(FCalParsPLSP[0], x, y);
  case cmConicConformal: {
    const auto& C = FConicPars;
    valid = true;
    return C[2] * std::hypot(x - C[0], y - C[1]) + C[3];
  }
  case cmMillerCylindrical: {
    const double sY = FMillercylPar[0], y0 = FMillercylPar[1];
    if (sY == 0) return 0;
    valid = true;
    return (std::atan(std::exp((y - y0) / sY)) - Pi / 4) * 450 / Pi;
  }
  case cmEquiRect: valid = true; return Affine(FEquRectPLSP[0], x, y);
  case cmUTM: {
    double Lat, Lon;
    valid = UTMPixelToGeo(x, y, Lat, Lon);
    return valid ? Lat : 0;
  }
  default: return 0;
  }
}

double TGeoMap::CalcLongitude(int32_t x, int32_t y, bool& valid) const {
  valid = false;
  switch (FCalibModel) {
  case cmParabolicIp: return InterpolateGraticule(y, x, false, valid);
  case cmBiquadraticPn: valid = true; return Quadratic(FCalParsPLSP[1], x, y);
  case cmConicConformal: {
    const auto& C = FConicPars;
    valid = true;
    return C[4] * std::atan((x - C[0]) / (y - C[1])) + C[5];
  }
  case cmMillerCylindrical: {
    const double sX = FMillercylPar[2], x0 = FMillercylPar[3];
    if (sX == 0) return 0;
    valid = true;
    return (x - x0) / sX * 180 / Pi;
  }
  case cmEquiRect: valid = true; return Affine(FEquRectPLSP[1], x, y);
  case cmUTM: {
    double Lat, Lon;
    valid = UTMPixelToGeo(x, y, Lat, Lon);
    return valid ? Lon : 0;
  }
  default: return 0;
  }
}

// ---- Geographic to pixel ------------------------------------------------------------------

bool TGeoMap::GraticulePixel(double Lat, double Long, int32_t& x, int32_t& y) const {
  const TMatrix& G = *FGratMat;
  if (G.NrOfRows() < 4) return true;
  TNearestTwo Par, Mer;
  for (int32_t r = 1; r <= G.NrOfRows(); ++r) {
    if (std::nearbyint(G.GetVal(1, r)) == 1)
      Par.Offer(r, std::fabs(G.GetVal(2, r) - Lat));
    else
      Mer.Offer(r, std::fabs(G.GetVal(2, r) - Long));
  }
  if (!Par.Complete() || !Mer.Complete()) return true;
  // Virtual lines at Lat and Long, their coefficients interpolated one by one.
  auto Virtual = [&](const TNearestTwo& N, double Value, std::array<double, 3>& c) {
    const double v1 = G.GetVal(2, N.First), v2 = G.GetVal(2, N.Second);
    for (int32_t k = 0; k < 3; ++k) {
      const double c1 = G.GetVal(3 + k, N.First), c2 = G.GetVal(3 + k, N.Second);
      c[k] = (c1 - c2) * (Value - v2) / (v1 - v2) + c2;
    }
  };
  std::array<double, 3> P, M;
  Virtual(Par, Lat, P);
  Virtual(Mer, Long, M);
  double px = 500, py = 0;
  bool Diverged = false;
  for (int32_t Round = 0; Round < 15 && !Diverged; ++Round) {
    py = P[0] + P[1] * px + P[2] * px * px;
    px = M[0] + M[1] * py + M[2] * py * py;
    Diverged = std::fabs(px) > 50000 && std::fabs(py) > 50000;
  }
  if (!std::isfinite(px) || !std::isfinite(py)) return false;
  x = RoundInt(px);
  y = RoundInt(py);
  return !Diverged;
}

bool TGeoMap::CalcPixelCoords(double Lat, double Long, int32_t& x, int32_t& y) const {
  switch (FCalibModel) {
  case cmParabolicIp: return GraticulePixel(Lat, Long, x, y);
  case cmBiquadraticPn:
    x = RoundInt(Quadratic(FCalParsSPPL[0], Lat, Long));
    y = RoundInt(Quadratic(FCalParsSPPL[1], Lat, Long));
    return true;
  case cmConicConformal: {
    const auto& C = FConicPars;
    const double x0 = C[0], y0 = C[1], kR = C[2], cR = C[3], kT = C[4], cT = C[5];
    if (kR == 0 || kT == 0) {
      x = y = 0;
      return true;
    }
    const double t = std::tan((Long - cT) / kT);
    const double s = std::sqrt(t * t + 1);
    const double Rho = (Lat - cR) / kR;
    y = RoundInt(Lat < 0 ? y0 - Rho / s : y0 + Rho / s);
    x = RoundInt(t * (y - y0) + x0);
    return true;
  }
  case cmMillerCylindrical: {
    const auto& M = FMillercylPar;
    x = RoundInt(Long * RadPerDeg * M[2] + M[3]);
    y = RoundInt(std::log(std::tan(Lat * RadPerDeg * 0.4 + Pi / 4)) * M[0] + M[1]);
    return true;
  }
  case cmEquiRect:
    x = RoundInt(Affine(FEquRectSPPL[0], Lat, Long));
    y = RoundInt(Affine(FEquRectSPPL[1], Lat, Long));
    return true;
  case cmUTM: {
    // In the map's own zone and hemisphere, as the other direction, so that a map over a
    // zone boundary converts both ways alike.
    if (FCalibData.UTMZone < 1 || FCalibData.UTMZone > 60) return false;
    double Easting, Northing;
    LatLongToUTMInZone(Lat, Long, FCalibData.UTMZone, FCalibData.UTMSouth, FCalibData.Ellipsoid,
                       Easting, Northing);
    x = RoundInt(Affine(FEquRectSPPL[0], Northing, Easting));
    y = RoundInt(Affine(FEquRectSPPL[1], Northing, Easting));
    return true;
  }
  default: return true;
  }
}

bool TGeoMap::CalcPixelCoordsUTM(double Northing, double Easting, int32_t& x, int32_t& y) const {
  if (FCalibModel != cmUTM) {
    x = y = 0;
    return false;
  }
  x = RoundInt(Affine(FEquRectSPPL[0], Northing, Easting));
  y = RoundInt(Affine(FEquRectSPPL[1], Northing, Easting));
  return true;
}

int32_t TGeoMap::CalcUTMyFromNorthingX(double Northing, int32_t x) const {
  const auto& d = FEquRectSPPL[0];
  const auto& e = FEquRectSPPL[1];
  if (d[2] == 0) return 0;
  const double Easting = (x - d[0] - d[1] * Northing) / d[2];
  return RoundInt(e[0] + e[1] * Northing + e[2] * Easting);
}

int32_t TGeoMap::CalcUTMxFromEastingY(double Easting, int32_t y) const {
  const auto& d = FEquRectSPPL[0];
  const auto& e = FEquRectSPPL[1];
  if (e[1] == 0) return 0;
  const double Northing = (y - e[0] - e[2] * Easting) / e[1];
  return RoundInt(d[0] + d[1] * Northing + d[2] * Easting);
}

// ---- Derived values -----------------------------------------------------------------------

void TGeoMap::CalcExtentsAndResolution() {
  const int32_t W = FMapImgWidth, H = FMapImgHeight;
  bool Valid;
  auto At = [&](int32_t x, int32_t y) {
    return TCoords{CalcLatitude(x, y, Valid), CalcLongitude(x, y, Valid)};
  };
  FCalibData.Corners[gcoTopLeft] = At(0, 0);
  FCalibData.Corners[gcoBottomLeft] = At(0, H);
  FCalibData.Corners[gcoBottomRight] = At(W, H);
  FCalibData.Corners[gcoTopRight] = At(W, 0);
  if (W < 1) {
    FCalibData.Resolution = 0;
    return;
  }
  // Along the middle row. A great circle between the two ends takes the short way round,
  // so a row spanning more than 180 degrees of longitude is measured in pieces of about 90.
  const TCoords Left = At(0, H / 2), Right = At(W, H / 2);
  const double Span = std::fabs(Right.Longit - Left.Longit);
  const int32_t Pieces =
      Span > 180 ? static_cast<int32_t>(std::min(std::ceil(Span / 90), 64.0)) : 1;
  double Dist = 0;
  TCoords From = Left;
  for (int32_t k = 1; k <= Pieces; ++k) {
    const TCoords To =
        k == Pieces ? Right : At(static_cast<int32_t>(int64_t{W} * k / Pieces), H / 2);
    Dist += SphereGreatCircleDist(6378000, From.Latit, From.Longit, To.Latit, To.Longit);
    From = To;
  }
  FCalibData.Resolution = Dist / W;
}

void TGeoMap::CalibQuality(double& QualX, double& QualY) const {
  TCurveFit FitX, FitY;
  if (IsControlPointModel(FCalibModel)) {
    for (int32_t i = 0; i < FCalibData.NumCalQuads; ++i) {
      const TCalQuad& Q = FCalibData.CalQuads[i];
      int32_t x = 0, y = 0;
      if (FCalibModel == cmUTM)
        CalcPixelCoordsUTM(Q.Latitude, Q.Longitude, x, y);
      else
        CalcPixelCoords(Q.Latitude, Q.Longitude, x, y);
      FitX.EnterStatValue(Q.MapX, x);
      FitY.EnterStatValue(Q.MapY, y);
    }
  }
  int32_t N;
  double MeanX, MeanY, SdX, SdY, Corr, MaxDiff;
  FitX.CalcStatistics(N, MeanX, MeanY, SdX, SdY, Corr, QualX, MaxDiff);
  FitY.CalcStatistics(N, MeanX, MeanY, SdX, SdY, Corr, QualY, MaxDiff);
}

bool TGeoMap::IsPositionWithinMap(double Latit, double Longit) const {
  return PositionInMap(Latit, Longit, FCalibData.Corners);
}

bool PositionInMap(double Latit, double Longit, const TCornerArray& Corners) {
  const TCorners Order[5] = {gcoTopLeft, gcoTopRight, gcoBottomRight, gcoBottomLeft, gcoTopLeft};
  int32_t Positive = 0, Negative = 0;
  for (int32_t k = 0; k < 4; ++k) {
    const TCoords& A = Corners[Order[k]];
    const TCoords& B = Corners[Order[k + 1]];
    const double Cross =
        (B.Longit - A.Longit) * (Latit - A.Latit) - (B.Latit - A.Latit) * (Longit - A.Longit);
    if (Cross > 0)
      ++Positive;
    else if (Cross < 0)
      ++Negative;
  }
  return Positive == 4 || Negative == 4;
}

} // namespace zef
