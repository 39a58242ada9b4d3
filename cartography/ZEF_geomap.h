// The calibrated map control TGeoMap: a raster map image whose pixel positions are tied to
// geographic coordinates by one of six calibration models, with the conversions in both
// directions, the derived corners and resolution, a quality measure and the calibration file.
//
// Pixel coordinates are those of the map image (x to the right, y downwards, origin at the
// top left corner); latitudes and longitudes are decimal degrees, north and east positive.
//
// Contents
//   1. Calibration types            4. TGeoMap: calibration data and models
//   2. Errors                       5. TGeoMap: conversions
//   3. TGeoMap: map image           6. Calibration files (free functions)
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "ZEF_geobasics.h"
#include "ZEF_matrix.h"
#include "ZEF_zefbase.h"
#include "controls/controls.h"
#include "graphics/bitmap.h"
#include "rtl/streams.h"
#include "rtl/textfile.h"

namespace zef {

// ---- 1. Calibration types -----------------------------------------------------------------

// How pixel positions relate to geographic positions:
//   cmParabolicIp        meridians and parallels drawn on the map, each fitted by a parabola
//                        through points on it; positions interpolated between the two
//                        nearest lines of each kind
//   cmBiquadraticPn      second-order polynomials in both directions (control points)
//   cmConicConformal     a conic projection about an apex pixel found by grid search (>= 3
//                        control points)
//   cmMillerCylindrical  Miller's cylindrical projection, scaled and shifted (>= 3 points)
//   cmEquiRect           latitude and longitude affine in x and y (control points)
//   cmUTM                northing and easting affine in x and y (control points given in UTM
//                        metres), then the UTM conversion in the map's zone and hemisphere
//   cmUndefined          no conversion
enum TCalibModel : uint8_t {
  cmParabolicIp,
  cmBiquadraticPn,
  cmConicConformal,
  cmMillerCylindrical,
  cmEquiRect,
  cmUTM,
  cmUndefined
};
enum TGratLineKind : uint8_t { gtlMeridian, gtlParallel };
enum TCorners : uint8_t { gcoTopLeft, gcoBottomLeft, gcoBottomRight, gcoTopRight };

struct TCoords {
  double Latit = 0;
  double Longit = 0;
};
// One TCoords per TCorners value, in that order.
using TCornerArray = std::array<TCoords, 4>;

inline constexpr int32_t MaxCalLines = 25;      // graticule lines of a calibration
inline constexpr int32_t MaxCalLinePoints = 10; // points on one graticule line
inline constexpr int32_t MaxCalQuads = 200;     // control points of a calibration

// One graticule line: a meridian (LineValue = its longitude) or a parallel (its latitude)
// with NumPoints (0..10) pixel positions on it, used from the first.
struct TCalibLine {
  TGratLineKind LineType = gtlMeridian;
  double LineValue = 0;
  int32_t NumPoints = 0;
  std::array<TPoint, MaxCalLinePoints> CalPoints{};
};

// One control point: latitude and longitude in degrees (under cmUTM the northing and the
// easting in metres) at pixel (MapX, MapY).
struct TCalQuad {
  double Latitude = 0;
  double Longitude = 0;
  int32_t MapX = 0;
  int32_t MapY = 0;
};

// A calibration as stored and exchanged. Corners and Resolution (metres per pixel) are
// derived; UTMZone is -1 when cleared; Ellipsoid is that of the UTM coordinates.
struct TCalibData {
  std::string MapFName;
  std::string Caption;
  TCornerArray Corners{};
  double Resolution = 0;
  int32_t NumCalLines = 0;
  std::array<TCalibLine, MaxCalLines> CalLines{};
  int32_t NumCalQuads = 0;
  std::array<TCalQuad, MaxCalQuads> CalQuads{};
  int32_t UTMZone = 0;
  bool UTMSouth = false;
  TGeoEllipsoid Ellipsoid = gelWGS84;
};

// The model names of the calibration file, indexed by TCalibModel ("parabolicip", ...).
extern const std::array<const char*, 7> CalibModelNames;

// Two sets of coefficients (first latitude or northing, or x; then longitude or easting, or y).
using TAffineSets = std::array<std::array<double, 3>, 2>;
using TQuadraticSets = std::array<std::array<double, 6>, 2>;

// ---- 2. Errors ----------------------------------------------------------------------------

ZEF_DECLARE_EXCEPTION(EZEFGeoMapError, EZEFError);

// ---- 3.-5. TGeoMap ------------------------------------------------------------------------

class TGeoMap : public TCustomControl {
public:
  explicit TGeoMap(TComponent* AOwner);
  ~TGeoMap() override;

  // -- 3. Map image --
  // Setting the name of an existing file loads it (an image of more than 3000000 pixels
  // raises EZEFGeoMapError); a name of no existing file empties the name and the size.
  const std::string& MapImgFile() const { return FMapImgFile; }
  void SetMapImgFile(const std::string& Value);
  int32_t MapImgWidth() const { return FMapImgWidth; }
  int32_t MapImgHeight() const { return FMapImgHeight; }
  const TBitmap& MapBitmap() const { return *FMapBitmap; }
  // Copies Bitmap as the map image under the name "$unknown$" (same size limit).
  void SetMapBitmap(const TBitmap& Bitmap);

  // -- 4. Calibration data and models --
  TCalibModel CalibModel() const { return FCalibModel; }
  // Stores the model and runs RecalcCalibration.
  void SetCalibModel(TCalibModel Value);
  int32_t UTMZone() const { return FCalibData.UTMZone; }
  // Stores only zones 1..60.
  void SetUTMZone(int32_t Value);
  THemisphere UTMHemisphere() const { return FCalibData.UTMSouth ? hemiSouth : hemiNorth; }
  void SetUTMHemisphere(THemisphere Value);
  const TCalibData& CalibData() const { return FCalibData; }
  // Replaces the whole record without recalculating. Counts are clamped to the capacities.
  void SetCalibData(const TCalibData& Value);
  const std::string& CalibDataFile() const { return FCalibDataFile; }
  // An existing file is stored and loaded (LoadCalDataFromXML with an empty identifier);
  // otherwise the map image name is emptied and its size set to 0. Repaints.
  void SetCalibDataFile(const std::string& Value);

  // The fitted parameters (inspectors): graticule matrix (5 columns, one row per fitted line:
  // 1 for a parallel or 0, line value, c0, c1, c2), affine sets pixel -> map and map -> pixel,
  // biquadratic sets, Miller (sY, y0, sX, x0) and conic (x0, y0, kR, cR, kT, cT) parameters.
  const TMatrix& GratMat() const { return *FGratMat; }
  const TAffineSets& EquRectPLSP() const { return FEquRectPLSP; }
  const TAffineSets& EquRectSPPL() const { return FEquRectSPPL; }
  const TQuadraticSets& CalParsPLSP() const { return FCalParsPLSP; }
  const TQuadraticSets& CalParsSPPL() const { return FCalParsSPPL; }
  const std::array<double, 4>& MillerCylPar() const { return FMillercylPar; }
  const std::array<double, 6>& ConicPars() const { return FConicPars; }

  // Adds a graticule point (cmParabolicIp only): to the first line of that kind and value, or
  // to a new line. False when the 26th line or the 11th point of a line would be needed.
  bool AddCalibPoint(TGratLineKind GratLineKind, double LineValue, int32_t PixPosX,
                     int32_t PixPosY);
  // Adds a control point (cmBiquadraticPn, cmConicConformal, cmMillerCylindrical,
  // cmEquiRect). False when 200 points exist.
  bool AddCalibPoint(double Latit, double Longit, int32_t PixPosX, int32_t PixPosY);
  // Adds a UTM control point (cmUTM only); Zone and Hemisphere must be the map's.
  bool AddCalibPoint(double Northing, double Easting, int32_t Zone, THemisphere Hemisphere,
                     int32_t PixPosX, int32_t PixPosY);
  // Removes the point (x, y) from the first line of that kind and value (cmParabolicIp only);
  // no undo information is kept.
  bool RemoveCalibPoint(TGratLineKind GratLineKind, double LineValue, int32_t PixPosX,
                        int32_t PixPosY);
  // Removes the graticule or control point nearest to (x, y) and remembers it for
  // RestoreLastDeletedCalPoint. False under cmUndefined or without points.
  bool RemoveCalibPoint(int32_t PixPosX, int32_t PixPosY);
  // Adds the point last removed by RemoveCalibPoint(x, y) again, once.
  void RestoreLastDeletedCalPoint();
  // Empties lines, control points, corners and resolution, sets the zone to -1, the
  // hemisphere to north and the ellipsoid to WGS 84, zeroes all fitted parameters; the model
  // stays. Repaints.
  void ClearCalibData();
  // Refits the graticule, then the current model, then the corners and resolution. Repaints.
  void RecalcCalibration();
  // Fits a parabola to every graticule line with at least 3 points. True when more than one
  // parallel and more than one meridian were fitted; otherwise the matrix is one row of zeros.
  bool RecalcGratMat();
  void CalcBiquadraticCalibration();
  void CalcConicCalibration();
  void CalcMillerCylCalibration();
  void CalcEquiRectCalibration();
  // Corners from the image's corner pixels, resolution (m per pixel) along the middle row.
  void CalcExtentsAndResolution();
  // The RMS deviation in x and in y of the pixel positions the calibration predicts for the
  // control points from their stored positions (0 under cmParabolicIp and cmUndefined).
  void CalibQuality(double& QualX, double& QualY) const;
  // Clears the calibration and the map image; the model becomes cmUndefined.
  void Clear();

  // -- 5. Conversions --
  // Latitude and longitude of pixel (x, y); valid is false (and the result 0) when the model
  // cannot convert.
  double CalcLatitude(int32_t x, int32_t y, bool& valid) const;
  double CalcLatitude(TPoint APoint, bool& valid) const {
    return CalcLatitude(APoint.X, APoint.Y, valid);
  }
  double CalcLongitude(int32_t x, int32_t y, bool& valid) const;
  double CalcLongitude(TPoint APoint, bool& valid) const {
    return CalcLongitude(APoint.X, APoint.Y, valid);
  }
  // Pixel of a geographic position, rounded. Under cmUndefined, and under cmParabolicIp with
  // an unusable graticule, x and y are not written and the result is true; false when the
  // graticule iteration diverges.
  bool CalcPixelCoords(double Lat, double Long, int32_t& x, int32_t& y) const;
  // Pixel of a UTM position (cmUTM only; otherwise x = y = 0 and false).
  bool CalcPixelCoordsUTM(double Northing, double Easting, int32_t& x, int32_t& y) const;
  // The pixel row where the northing line crosses column x, and the pixel column where the
  // easting line crosses row y (cmUTM affine sets; a degenerate set gives 0).
  int32_t CalcUTMyFromNorthingX(double Northing, int32_t x) const;
  int32_t CalcUTMxFromEastingY(double Easting, int32_t y) const;
  // Strictly inside the quadrilateral of the corners.
  bool IsPositionWithinMap(double Latit, double Longit) const;

  // -- 6. Calibration files --
  // Writes the calibration file with the header line (runs CalcExtentsAndResolution and takes
  // the map image name first). A file that cannot be created raises EInOutError.
  void SaveCalDataAsXML(const std::string& FileName, const std::string& DataID);
  // The same document on a stream; here the resolution line and the control point block are
  // written also when they are empty.
  void SaveCalDataAsXML(TStream& OutStream, const std::string& DataID);
  void WriteCalDataToOpenXMLFile(TTextFile& F, bool WriteHeader, const std::string& DataID);
  // Reads the calibration whose geomap element has the id DataID (case ignored; the first
  // one when DataID is empty), loads the map image it names and fits the model. True when a
  // calibration was found and read and, for cmParabolicIp, its graticule is usable. False
  // when the file cannot be opened or holds no such calibration. Malformed content raises
  // EZEFGeoMapError and leaves what was read so far.
  bool LoadCalDataFromXML(const std::string& FName, const std::string& DataID);
  // From the stream's current position.
  bool LoadCalDataFromXML(TMemoryStream& InStream, const std::string& DataID);
  bool ReadCalDataFromOpenXMLFile(TTextFile& F, const std::string& DataID);
  // The common reader: from F when FromFile, otherwise from Stream.
  bool ReadCalDataIntern(bool FromFile, TTextFile* F, TStream* Stream, const std::string& DataID);

private:
  void Changed();
  [[noreturn]] void Fail(const std::string& Text) const;
  void ZeroFittedParameters();
  void FitCurrentModel();
  void RemoveGraticulePoint(int32_t Line, int32_t Point);
  double InterpolateGraticule(double Along, double Across, bool Parallels, bool& valid) const;
  bool UTMPixelToGeo(int32_t x, int32_t y, double& Lat, double& Lon) const;
  bool GraticulePixel(double Lat, double Long, int32_t& x, int32_t& y) const;
  void TakeMapImage(std::unique_ptr<TBitmap> Bitmap, const std::string& Name);

  TCalibData FCalibData;
  TCalibModel FCalibModel = cmUndefined;
  std::unique_ptr<TMatrix> FGratMat;
  TAffineSets FEquRectPLSP{};
  TAffineSets FEquRectSPPL{};
  TQuadraticSets FCalParsPLSP{};
  TQuadraticSets FCalParsSPPL{};
  std::array<double, 4> FMillercylPar{};
  std::array<double, 6> FConicPars{};
  TCalQuad FBiQuadOops;
  bool FRestoreBiQuadOK = false;
  TCalibLine FParaIpOops;
  bool FRestoreParaIpOK = false;
  std::string FCalibDataFile;

  std::unique_ptr<TBitmap> FMapBitmap;
  std::string FMapImgFile;
  int32_t FMapImgWidth = 0;
  int32_t FMapImgHeight = 0;
};

// ---- 6. Calibration files (free functions) ------------------------------------------------

// Whether (Latit, Longit) lies strictly inside the quadrilateral top-left -> top-right ->
// bottom-right -> bottom-left, taken in the (longitude, latitude) plane.
bool PositionInMap(double Latit, double Longit, const TCornerArray& Corners);
// Writes a calibration document to a text file open for writing.
void WriteRawCalDataToOpenXMLFile(TTextFile& F, bool WriteHeader, const std::string& DataID,
                                  const TCalibData& CalibData, TCalibModel CalibModel);
// Reads a calibration document into CalibData and CalibModel without a map: lines with fewer
// than 3 points are kept and nothing is fitted; the record is not cleared apart from its
// line count. False when the file cannot be opened or no matching calibration is found.
// Malformed content raises EZEFGeoMapError ("ParseCalibData: ...").
bool ParseCalibData(const std::string& FName, const std::string& DataID, TCalibData& CalibData,
                    TCalibModel& CalibModel);
// From the stream's current position; false for no stream.
bool ParseCalibData(TMemoryStream* InStream, const std::string& DataID, TCalibData& CalibData,
                    TCalibModel& CalibModel);

} // namespace zef
