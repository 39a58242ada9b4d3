// libFuzzer target for the calibration file reader: the input is read as a calibration
// document from a stream without a map (ParseCalibData), into a map from a stream and from a
// text file (LoadCalDataFromXML), with no id and with the id "cal". Whatever is read must stay
// within the record's capacities and tables, convert without crashing, and write and read back
// to the same counts.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "ZEF_geomap.h"

using namespace zef;

namespace {

void CheckRecord(const TCalibData& D, TCalibModel Model) {
  if (D.NumCalLines < 0 || D.NumCalLines > MaxCalLines || D.NumCalQuads < 0 ||
      D.NumCalQuads > MaxCalQuads || D.Ellipsoid >= GeoEllipsoidCount || Model > cmUndefined)
    std::abort();
  for (const TCalibLine& L : D.CalLines)
    if (L.NumPoints < 0 || L.NumPoints > MaxCalLinePoints) std::abort();
}

TMemoryStream StreamOf(const uint8_t* Data, size_t Size) {
  TMemoryStream S;
  S.Write(Data, static_cast<int64_t>(Size));
  S.SetPosition(0);
  return S;
}

void Exercise(TGeoMap& Map) {
  CheckRecord(Map.CalibData(), Map.CalibModel());
  bool Valid;
  int32_t x, y;
  for (int32_t p : {0, 7, 500}) {
    const double Lat = Map.CalcLatitude(p, p / 2, Valid);
    const double Lon = Map.CalcLongitude(p, p / 2, Valid);
    Map.CalcPixelCoords(Lat, Lon, x, y);
  }
  double QX, QY;
  Map.CalibQuality(QX, QY);
  TMemoryStream Out;
  Map.SaveCalDataAsXML(Out, "cal");
  Out.SetPosition(0);
  TCalibData Back;
  TCalibModel Model;
  if (!ParseCalibData(&Out, "cal", Back, Model)) std::abort();
  if (Back.NumCalQuads != Map.CalibData().NumCalQuads ||
      Back.NumCalLines != Map.CalibData().NumCalLines || Model != Map.CalibModel())
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  for (const char* Id : {"", "cal"}) {
    TMemoryStream S = StreamOf(Data, Size);
    TCalibData D;
    TCalibModel Model = cmUndefined;
    try {
      ParseCalibData(&S, Id, D, Model);
    } catch (const EZEFGeoMapError&) {
    }
    CheckRecord(D, Model);

    TGeoMap Map(nullptr);
    TMemoryStream S2 = StreamOf(Data, Size);
    try {
      Map.LoadCalDataFromXML(S2, Id);
    } catch (const Exception&) {
      // Malformed content, or a map image named in the input that cannot be used.
    }
    Exercise(Map);
  }
  const std::string Name = "/tmp/zef_fuzz_calib_" + std::to_string(getpid());
  std::ofstream(Name, std::ios::binary)
      .write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  TGeoMap Map(nullptr);
  try {
    Map.LoadCalDataFromXML(Name, "");
  } catch (const Exception&) {
  }
  Exercise(Map);
  std::remove(Name.c_str());
  return 0;
}
