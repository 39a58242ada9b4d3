// The calibration file: writing and reading the geomap document, for TGeoMap and for callers
// without a map.
#include <algorithm>
#include <functional>
#include <span>
#include <string_view>

#include "ZEF_geomap.h"
#include "ZEF_streams.h"
#include "ZEF_stringl.h"
#include "rtl/files.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

namespace {

// ---- Writing ------------------------------------------------------------------------------

using TLineSink = std::function<void(const std::string&)>;

// What the stream form writes beyond the file form.
struct TWriteOptions {
  bool Header;
  bool AlwaysResolution; // also a resolution of 0
  bool AlwaysQuads;      // also an empty control point block
};

std::string Fixed(double Value, int32_t Decimals) { return strff(Value, 1, Decimals); }

void WriteDocument(const TLineSink& Out, const TWriteOptions& Options, const std::string& DataID,
                   const TCalibData& D, TCalibModel Model) {
  if (Options.Header) Out(std::string(XMLHeaderLine));
  Out("");
  Out("<!-- TGeoMap Calibration / ZEF Component Suite -->");
  Out("<geomap sig=\"ZEFCSuite\" vers=\"1.0\" id=\"" + DataID + "\" model=\"" +
      CalibModelNames[std::min(Model, cmUndefined)] + "\" map=\"" + D.MapFName + "\" caption=\"" +
      D.Caption + "\">");
  Out("<corners>");
  std::string Items;
  for (const TCoords& C : D.Corners)
    Items += "[" + Fixed(C.Latit, 5) + "," + Fixed(C.Longit, 5) + "] ";
  Out(Items);
  Out("</corners>");
  if (D.Resolution > 0 || Options.AlwaysResolution)
    Out("<resolution>" + Fixed(D.Resolution, 3) + "</resolution>");
  if (D.UTMZone >= 1 && D.UTMZone <= 60) {
    Out("<utmzone>" + std::to_string(D.UTMZone) + "</utmzone>");
    Out(std::string("<utmsouth>") + (D.UTMSouth ? "TRUE" : "FALSE") + "</utmsouth>");
  }
  const TGeoEllipsoid Ell = D.Ellipsoid < GeoEllipsoidCount ? D.Ellipsoid : gelWGS84;
  Out(std::string("<ellipsoid>") + GeoEllipsoidId[Ell] + "</ellipsoid>");
  const int32_t NLines = std::clamp(D.NumCalLines, 0, MaxCalLines);
  for (int32_t i = 0; i < NLines; ++i) {
    const TCalibLine& L = D.CalLines[i];
    const int32_t NPoints = std::clamp(L.NumPoints, 0, MaxCalLinePoints);
    Out(std::string("<calline type=\"") + (L.LineType == gtlParallel ? "parallel" : "meridian") +
        "\" value=\"" + FloatToStr(L.LineValue) + "\" npoints=\"" + std::to_string(NPoints) +
        "\">");
    for (int32_t j = 0; j < NPoints; ++j)
      Out("[" + std::to_string(L.CalPoints[j].X) + "," + std::to_string(L.CalPoints[j].Y) + "] ");
    Out("</calline>");
  }
  const int32_t NQuads = std::clamp(D.NumCalQuads, 0, MaxCalQuads);
  if (NQuads > 0 || Options.AlwaysQuads) {
    Out("<calquads npoints=\"" + std::to_string(NQuads) + "\">");
    for (int32_t i = 0; i < NQuads; ++i) {
      const TCalQuad& Q = D.CalQuads[i];
      Out("[" + Fixed(Q.Latitude, 5) + "," + Fixed(Q.Longitude, 5) + "," + std::to_string(Q.MapX) +
          "," + std::to_string(Q.MapY) + "] ");
    }
    if (NQuads == 0) Out("");
    Out("</calquads>");
  }
  Out("</geomap>");
}

// ---- Reading ------------------------------------------------------------------------------

// Lines first (to find the geomap element), then elements, from a text file or a stream.
class TCalSource {
public:
  virtual ~TCalSource() = default;
  // The next line without its line end; false at the end of the input.
  virtual bool ReadLine(std::string& Line) = 0;
  virtual int32_t NextTag(std::span<const std::string_view> Tags, std::string& Attributes,
                          std::string& Content) = 0;
};

class TFileCalSource : public TCalSource {
public:
  explicit TFileCalSource(TTextFile& F) : FFile(F) {}
  bool ReadLine(std::string& Line) override {
    if (Eof(FFile)) return false;
    ReadLn(FFile, Line);
    return true;
  }
  int32_t NextTag(std::span<const std::string_view> Tags, std::string& Attributes,
                  std::string& Content) override {
    return ReadNextTagInTextFile(FFile, Tags, Attributes, Content);
  }

private:
  TTextFile& FFile;
};

class TStreamCalSource : public TCalSource {
public:
  explicit TStreamCalSource(TStream& S) : FStream(S) {}
  bool ReadLine(std::string& Line) override {
    bool EndOfStream = false;
    Line = ReadLnStream(FStream, EndOfStream, 0);
    return !(EndOfStream && Line.empty());
  }
  int32_t NextTag(std::span<const std::string_view> Tags, std::string& Attributes,
                  std::string& Content) override {
    return ReadNextTagInStream(FStream, Tags, Attributes, Content);
  }

private:
  TStream& FStream;
};

// The differences between the map's reader and ParseCalibData.
struct TReadRules {
  bool ForMap; // drop lines of fewer than 3 points
  std::function<void(const std::string&)> Fail;
};

// The text between the first two double quotes after Name (searched in the lower-cased line,
// taken from Line), trimmed; empty when there is none.
std::string QuotedValueAfter(const std::string& Line, const std::string& Lower,
                             std::string_view Name) {
  const std::size_t At = Lower.find(Name);
  if (At == std::string::npos) return {};
  const std::size_t Open = Line.find('"', At + Name.size());
  if (Open == std::string::npos) return {};
  const std::size_t Close = Line.find('"', Open + 1);
  if (Close == std::string::npos) return {};
  return Trim(std::string_view(Line).substr(Open + 1, Close - Open - 1));
}

template <std::size_t N>
int32_t IndexOfName(std::string_view Name, const std::array<const char*, N>& Names) {
  for (std::size_t i = 0; i < N; ++i)
    if (SameText(Name, Names[i])) return static_cast<int32_t>(i);
  return -1;
}

// Reads lines up to the geomap line with the wanted id. Every qualifying line sets the model
// (unknown names give cmUndefined), the map name and the caption, both with their case.
bool FindGeomapLine(TCalSource& In, const std::string& DataID, TCalibData& D, TCalibModel& Model) {
  const std::string WantedID = LowerCase(DataID);
  std::string Line;
  while (In.ReadLine(Line)) {
    const std::string Lower = LowerCase(Line);
    if (Lower.find("<geomap") == std::string::npos || Lower.find("zefcsuite") == std::string::npos)
      continue;
    const std::string ID = LowerCase(QuotedValueAfter(Line, Lower, " id="));
    const int32_t Ix = IndexOfName(QuotedValueAfter(Line, Lower, " model="), CalibModelNames);
    Model = Ix >= 0 ? static_cast<TCalibModel>(Ix) : cmUndefined;
    D.MapFName = QuotedValueAfter(Line, Lower, " map=");
    D.Caption = QuotedValueAfter(Line, Lower, " caption=");
    if (WantedID.empty() || ID == WantedID) return true;
  }
  return false;
}

// Calls Item with the text inside each "[...]" of Content, in order.
template <typename F> void ForEachItem(std::string_view Content, F Item) {
  std::size_t Pos = 0;
  while ((Pos = Content.find('[', Pos)) != std::string_view::npos) {
    const std::size_t End = Content.find(']', Pos + 1);
    if (End == std::string_view::npos) return;
    Item(Content.substr(Pos + 1, End - Pos - 1));
    Pos = End + 1;
  }
}

// The comma-separated fields of an item; missing ones are empty.
template <std::size_t N> std::array<std::string_view, N> Fields(std::string_view Item) {
  std::array<std::string_view, N> Result{};
  for (std::size_t k = 0; k < N; ++k) {
    const std::size_t Comma = Item.find(',');
    Result[k] = Item.substr(0, Comma);
    if (Comma == std::string_view::npos) break;
    Item.remove_prefix(Comma + 1);
  }
  return Result;
}

double Number(std::string_view S, bool AllowExp, TDecSeparators Separators) {
  std::size_t Pos = 1;
  return ScanFPNum(S, Pos, AllowExp, Separators);
}

int32_t Integer(std::string_view S) {
  std::size_t Pos = 1;
  return ScanDecimal(S, Pos);
}

constexpr std::string_view CalTags[] = {"geomap",     "/geomap",     "calline",      "corners",
                                        "resolution", "gmlandmarks", "/gmlandmarks", "landmark",
                                        "calquads",   "lmsymbols",   "/lmsymbols",   "symbol",
                                        "utmzone",    "utmsouth",    "ellipsoid",    "invalidtag"};
enum TCalTag : int32_t {
  ctGeomap,
  ctGeomapEnd,
  ctCalLine,
  ctCorners,
  ctResolution,
  ctLandmarks,
  ctLandmarksEnd,
  ctLandmark,
  ctCalQuads,
  ctSymbols,
  ctSymbolsEnd,
  ctSymbol,
  ctUTMZone,
  ctUTMSouth,
  ctEllipsoid,
  ctInvalid
};

const std::string CountMismatch =
    "specified number of calibration points and actual number does not match";

void ReadCalLine(const std::string& Attributes, const std::string& Content, TCalibData& D,
                 const TReadRules& Rules) {
  // A line beyond the capacity is read and checked like the others but not kept.
  TCalibLine Spare;
  const bool Kept = D.NumCalLines < MaxCalLines;
  TCalibLine& L = Kept ? D.CalLines[D.NumCalLines++] : Spare;
  L = TCalibLine{};
  const std::string Type = LowerCase(XMLAttribute(Attributes, "type"));
  if (Type != "parallel" && Type != "meridian")
    Rules.Fail("invalid type of graticule line: type=\"" + Type + "\"");
  L.LineType = Type == "parallel" ? gtlParallel : gtlMeridian;
  L.LineValue = XMLAttribAsFloat(Attributes, "value", true, dsepBoth);
  const int32_t Announced = XMLAttribAsInt(Attributes, "npoints");
  int64_t Count = 0;
  ForEachItem(Content, [&](std::string_view Item) {
    if (Count < MaxCalLinePoints) {
      const auto F = Fields<2>(Item);
      L.CalPoints[Count] = TPoint{Integer(F[0]), Integer(F[1])};
      L.NumPoints = static_cast<int32_t>(Count + 1);
    }
    ++Count;
  });
  if (Count != Announced) Rules.Fail(CountMismatch);
  if (Rules.ForMap && Announced < 3 && Kept) {
    L = TCalibLine{};
    --D.NumCalLines;
  }
}

void ReadCalQuads(const std::string& Attributes, const std::string& Content, TCalibData& D,
                  const TReadRules& Rules) {
  const int32_t Announced = XMLAttribAsInt(Attributes, "npoints");
  D.NumCalQuads = 0;
  int64_t Count = 0;
  ForEachItem(Content, [&](std::string_view Item) {
    if (Count < MaxCalQuads) {
      const auto F = Fields<4>(Item);
      D.CalQuads[Count] = TCalQuad{Number(F[0], false, dsepPoint), Number(F[1], false, dsepPoint),
                                   Integer(F[2]), Integer(F[3])};
      D.NumCalQuads = static_cast<int32_t>(Count + 1);
    }
    ++Count;
  });
  if (Count != Announced) Rules.Fail(CountMismatch);
}

// Reads the elements of the geomap document up to its end.
void ReadElements(TCalSource& In, TCalibData& D, const TReadRules& Rules) {
  std::string Attributes, Content;
  for (;;) {
    const int32_t Tag = In.NextTag(CalTags, Attributes, Content);
    switch (Tag) {
    case ctGeomapEnd:
    case ctInvalid: return;
    case ctCalLine: ReadCalLine(Attributes, Content, D, Rules); break;
    case ctCorners: {
      std::size_t Corner = 0;
      ForEachItem(Content, [&](std::string_view Item) {
        if (Corner >= D.Corners.size()) return;
        const auto F = Fields<2>(Item);
        D.Corners[Corner++] = TCoords{Number(F[0], true, dsepBoth), Number(F[1], true, dsepBoth)};
      });
      break;
    }
    case ctResolution: D.Resolution = Number(Content, true, dsepBoth); break;
    case ctCalQuads: ReadCalQuads(Attributes, Content, D, Rules); break;
    case ctUTMZone: D.UTMZone = Integer(Content); break;
    case ctUTMSouth: D.UTMSouth = SameText(Trim(Content), "true"); break;
    case ctEllipsoid: {
      const std::string Id = Trim(Content);
      const int32_t Ix = IndexOfName(Id, GeoEllipsoidId);
      if (Ix < 0) Rules.Fail("unknown ellipsoid \"" + Id + "\"");
      D.Ellipsoid = static_cast<TGeoEllipsoid>(Ix);
      break;
    }
    default: break; // landmark and symbol blocks belong to other readers
    }
  }
}

// Opens an existing file for reading; false when it is missing or cannot be opened.
bool OpenForReading(TTextFile& F, const std::string& FName) {
  if (!FileExists(FName)) return false;
  AssignFile(F, FName);
  try {
    Reset(F);
  } catch (const EInOutError&) {
    return false;
  }
  return true;
}

bool ParseFrom(TCalSource& In, const std::string& DataID, TCalibData& CalibData,
               TCalibModel& CalibModel) {
  if (!FindGeomapLine(In, DataID, CalibData, CalibModel)) return false;
  CalibData.NumCalLines = 0;
  const TReadRules Rules{
      false, [](const std::string& Text) { throw EZEFGeoMapError("ParseCalibData: " + Text); }};
  ReadElements(In, CalibData, Rules);
  return true;
}

} // namespace

// ---- TGeoMap ------------------------------------------------------------------------------

void TGeoMap::WriteCalDataToOpenXMLFile(TTextFile& F, bool WriteHeader, const std::string& DataID) {
  CalcExtentsAndResolution();
  FCalibData.MapFName = FMapImgFile;
  WriteRawCalDataToOpenXMLFile(F, WriteHeader, DataID, FCalibData, FCalibModel);
}

void TGeoMap::SaveCalDataAsXML(const std::string& FileName, const std::string& DataID) {
  TTextFile F;
  AssignFile(F, FileName);
  Rewrite(F);
  WriteCalDataToOpenXMLFile(F, true, DataID);
  CloseFile(F);
}

void TGeoMap::SaveCalDataAsXML(TStream& OutStream, const std::string& DataID) {
  CalcExtentsAndResolution();
  FCalibData.MapFName = FMapImgFile;
  WriteDocument([&](const std::string& Line) { WriteLnStream(OutStream, Line); },
                TWriteOptions{true, true, true}, DataID, FCalibData, FCalibModel);
}

bool TGeoMap::LoadCalDataFromXML(const std::string& FName, const std::string& DataID) {
  TTextFile F;
  if (!OpenForReading(F, FName)) return false;
  const bool Result = ReadCalDataIntern(true, &F, nullptr, DataID);
  CloseFile(F);
  return Result;
}

bool TGeoMap::LoadCalDataFromXML(TMemoryStream& InStream, const std::string& DataID) {
  return ReadCalDataIntern(false, nullptr, &InStream, DataID);
}

bool TGeoMap::ReadCalDataFromOpenXMLFile(TTextFile& F, const std::string& DataID) {
  return ReadCalDataIntern(true, &F, nullptr, DataID);
}

bool TGeoMap::ReadCalDataIntern(bool FromFile, TTextFile* F, TStream* Stream,
                                const std::string& DataID) {
  if (FromFile ? F == nullptr : Stream == nullptr) return false;
  std::unique_ptr<TCalSource> In;
  if (FromFile)
    In = std::make_unique<TFileCalSource>(*F);
  else
    In = std::make_unique<TStreamCalSource>(*Stream);
  if (!FindGeomapLine(*In, DataID, FCalibData, FCalibModel)) return false;
  ClearCalibData();
  const TReadRules Rules{true, [this](const std::string& Text) { Fail(Text); }};
  ReadElements(*In, FCalibData, Rules);
  const bool GraticuleUsable = RecalcGratMat();
  if (!FCalibData.MapFName.empty()) SetMapImgFile(FCalibData.MapFName);
  FitCurrentModel();
  Changed();
  // A control-point calibration is usable as soon as it is read; a graticule one only when
  // enough of its lines could be fitted.
  return FCalibModel != cmParabolicIp || GraticuleUsable;
}

// ---- Free functions -----------------------------------------------------------------------

void WriteRawCalDataToOpenXMLFile(TTextFile& F, bool WriteHeader, const std::string& DataID,
                                  const TCalibData& CalibData, TCalibModel CalibModel) {
  WriteDocument([&](const std::string& Line) { WriteLn(F, Line); },
                TWriteOptions{WriteHeader, false, false}, DataID, CalibData, CalibModel);
}

bool ParseCalibData(const std::string& FName, const std::string& DataID, TCalibData& CalibData,
                    TCalibModel& CalibModel) {
  TTextFile F;
  if (!OpenForReading(F, FName)) return false;
  TFileCalSource In(F);
  const bool Result = ParseFrom(In, DataID, CalibData, CalibModel);
  CloseFile(F);
  return Result;
}

bool ParseCalibData(TMemoryStream* InStream, const std::string& DataID, TCalibData& CalibData,
                    TCalibModel& CalibModel) {
  if (InStream == nullptr) return false;
  TStreamCalSource In(*InStream);
  return ParseFrom(In, DataID, CalibData, CalibModel);
}

} // namespace zef
