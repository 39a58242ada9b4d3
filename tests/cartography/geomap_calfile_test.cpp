// The calibration file: the exact document written, reading it back into a map and without
// one, identifiers, malformed and oversized content.
#include <gtest/gtest.h>

#include "ZEF_geomap.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

class GeoMapCalFile : public test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    Map = std::make_unique<TGeoMap>(nullptr);
    Map->SetName("Map1");
  }

  // A 1000 x 500 image named with mixed case, calibrated equirectangularly.
  void CalibrateEquiRect() {
    TBitmap Image;
    Image.SetSize(1000, 500);
    Image.SaveToFile(Path("Alps_Map.BMP"));
    Map->SetMapImgFile(Path("Alps_Map.BMP"));
    ASSERT_EQ(Map->MapImgWidth(), 1000);
    Map->SetCalibModel(cmEquiRect);
    Map->ClearCalibData();
    Map->AddCalibPoint(48.0, 6.0, 0, 0);
    Map->AddCalibPoint(48.0, 16.0, 1000, 0);
    Map->AddCalibPoint(45.5, 6.0, 0, 500);
  }

  TMemoryStream StreamOf(const std::string& Text) {
    TMemoryStream S;
    S.Write(Text.data(), static_cast<int64_t>(Text.size()));
    S.SetPosition(0);
    return S;
  }

  std::string Document(const std::string& Body, const std::string& Id = "cal",
                       const std::string& Model = "equirect") {
    return "<?xml version=\"1.0\"?>\r\n\r\n<geomap sig=\"ZEFCSuite\" vers=\"1.0\" id=\"" + Id +
           "\" model=\"" + Model + "\" map=\"\" caption=\"C\">\r\n" + Body + "</geomap>\r\n";
  }

  std::unique_ptr<TGeoMap> Map;
};

TEST_F(GeoMapCalFile, WritesTheDocument) {
  Map->SetCalibModel(cmUTM);
  Map->ClearCalibData();
  Map->SetUTMZone(60);
  Map->SetUTMHemisphere(hemiSouth);
  Map->AddCalibPoint(5100000.0, 300000.5, 60, hemiSouth, 10, 20);
  TCalibData D = Map->CalibData();
  D.Caption = "Test";
  D.Resolution = 12.5;
  D.NumCalLines = 1;
  D.CalLines[0] = TCalibLine{gtlParallel, 47.5, 2, {TPoint{1, 2}, TPoint{3, 4}}};
  D.Corners = {};
  D.Corners[gcoTopRight] = TCoords{-1.25, 2.5};
  TTextFile F;
  AssignFile(F, Path("out.xml"));
  Rewrite(F);
  WriteRawCalDataToOpenXMLFile(F, true, "Map1", D, cmUTM);
  CloseFile(F);
  EXPECT_EQ(Get("out.xml"),
            "<?xml version=\"1.0\"?>\r\n"
            "\r\n"
            "<!-- TGeoMap Calibration / ZEF Component Suite -->\r\n"
            "<geomap sig=\"ZEFCSuite\" vers=\"1.0\" id=\"Map1\" model=\"utm\" map=\"\" "
            "caption=\"Test\">\r\n"
            "<corners>\r\n"
            "[0.00000,0.00000] [0.00000,0.00000] [0.00000,0.00000] [-1.25000,2.50000] \r\n"
            "</corners>\r\n"
            "<resolution>12.500</resolution>\r\n"
            "<utmzone>60</utmzone>\r\n"
            "<utmsouth>TRUE</utmsouth>\r\n"
            "<ellipsoid>gelWGS84</ellipsoid>\r\n"
            "<calline type=\"parallel\" value=\"47.5\" npoints=\"2\">\r\n"
            "[1,2] \r\n"
            "[3,4] \r\n"
            "</calline>\r\n"
            "<calquads npoints=\"1\">\r\n"
            "[5100000.00000,300000.50000,10,20] \r\n"
            "</calquads>\r\n"
            "</geomap>\r\n");
  // Zone -1 leaves the UTM lines out; no points and no resolution leave their lines out.
  TCalibData Empty;
  Empty.UTMZone = -1;
  AssignFile(F, Path("empty.xml"));
  Rewrite(F);
  WriteRawCalDataToOpenXMLFile(F, false, "", Empty, cmUndefined);
  CloseFile(F);
  const std::string Text = Get("empty.xml");
  EXPECT_EQ(Text.find("utm"), std::string::npos);
  EXPECT_EQ(Text.find("resolution"), std::string::npos);
  EXPECT_EQ(Text.find("calquads"), std::string::npos);
  EXPECT_EQ(Text.rfind("\r\n<!--", 0), 0u);
}

TEST_F(GeoMapCalFile, StreamFormWritesEmptyBlocks) {
  Map->SetCalibModel(cmBiquadraticPn);
  Map->ClearCalibData();
  TMemoryStream S;
  Map->SaveCalDataAsXML(S, "x");
  const std::string Text(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
  EXPECT_NE(Text.find("<?xml version=\"1.0\"?>\r\n"), std::string::npos);
  EXPECT_NE(Text.find("<resolution>0.000</resolution>\r\n"), std::string::npos);
  EXPECT_NE(Text.find("<calquads npoints=\"0\">\r\n\r\n</calquads>\r\n"), std::string::npos);
}

TEST_F(GeoMapCalFile, RoundTripThroughFileAndStream) {
  CalibrateEquiRect();
  Map->SaveCalDataAsXML(Path("cal.xml"), "Map1");
  const TCalibData Saved = Map->CalibData();

  TGeoMap Loaded(nullptr);
  EXPECT_TRUE(Loaded.LoadCalDataFromXML(Path("cal.xml"), "MAP1"));
  EXPECT_EQ(Loaded.CalibModel(), cmEquiRect);
  EXPECT_EQ(Loaded.MapImgFile(), Path("Alps_Map.BMP")); // case kept, image loaded
  EXPECT_EQ(Loaded.MapImgWidth(), 1000);
  EXPECT_EQ(Loaded.CalibData().NumCalQuads, 3);
  EXPECT_NEAR(Loaded.CalibData().Resolution, Saved.Resolution, 1e-3);
  EXPECT_NEAR(Loaded.CalibData().Corners[gcoBottomRight].Longit, 16, 1e-5);
  bool Valid;
  EXPECT_NEAR(Loaded.CalcLongitude(500, 250, Valid), 11, 1e-6);

  TMemoryStream S;
  Map->SaveCalDataAsXML(S, "Map1");
  S.SetPosition(0);
  TCalibData Parsed;
  TCalibModel Model = cmUndefined;
  EXPECT_TRUE(ParseCalibData(&S, "", Parsed, Model));
  EXPECT_EQ(Model, cmEquiRect);
  EXPECT_EQ(Parsed.NumCalQuads, 3);
  EXPECT_EQ(Parsed.CalQuads[1].Longitude, 16);
  EXPECT_EQ(Parsed.MapFName, Path("Alps_Map.BMP"));
  EXPECT_FALSE(ParseCalibData(nullptr, "", Parsed, Model));
  EXPECT_FALSE(ParseCalibData(Path("missing.xml"), "", Parsed, Model));
  EXPECT_FALSE(Loaded.LoadCalDataFromXML(Path("missing.xml"), ""));
}

// A control-point calibration loads with the result true and its model fitted.
TEST_F(GeoMapCalFile, LoadingAControlPointCalibrationSucceeds) {
  auto S = StreamOf(Document("<calquads npoints=\"6\">\r\n[1,1,0,0] [1,2,100,0] [2,1,0,100] "
                             "[2,2,100,100] [1.5,1.5,50,50] [1,1.5,50,0] \r\n</calquads>\r\n",
                             "cal", "biquadraticpn"));
  EXPECT_TRUE(Map->LoadCalDataFromXML(S, ""));
  EXPECT_EQ(Map->CalibModel(), cmBiquadraticPn);
  bool Valid;
  EXPECT_NEAR(Map->CalcLongitude(25, 75, Valid), 1.25, 1e-9);
  EXPECT_NEAR(Map->CalcLatitude(25, 75, Valid), 1.75, 1e-9);
}

TEST_F(GeoMapCalFile, IdentifiersSelectTheBlock) {
  const std::string Text = Document("<utmzone>7</utmzone>\r\n", "First") +
                           Document("<utmzone>8</utmzone>\r\n", " Map1 ");
  TCalibData D;
  TCalibModel Model;
  auto S = StreamOf(Text);
  EXPECT_TRUE(ParseCalibData(&S, "MAP1", D, Model));
  EXPECT_EQ(D.UTMZone, 8);
  auto S2 = StreamOf(Text);
  EXPECT_TRUE(ParseCalibData(&S2, "", D, Model));
  EXPECT_EQ(D.UTMZone, 7);
  auto S3 = StreamOf(Text);
  EXPECT_FALSE(ParseCalibData(&S3, "other", D, Model));
  auto S4 = StreamOf(Text);
  EXPECT_FALSE(Map->LoadCalDataFromXML(S4, "other"));
}

TEST_F(GeoMapCalFile, ShortGraticuleLinesAreDroppedOnLoading) {
  Map->SetCalibModel(cmParabolicIp);
  Map->ClearCalibData();
  Map->AddCalibPoint(gtlParallel, 10.0, 5, 5);
  Map->AddCalibPoint(gtlMeridian, 20.0, 5, 5);
  Map->AddCalibPoint(gtlMeridian, 20.0, 6, 50);
  EXPECT_EQ(Map->CalibData().NumCalLines, 2);
  Map->SaveCalDataAsXML(Path("g.xml"), "g");
  TGeoMap Loaded(nullptr);
  EXPECT_FALSE(Loaded.LoadCalDataFromXML(Path("g.xml"), "g")); // graticule unusable
  EXPECT_EQ(Loaded.CalibModel(), cmParabolicIp);
  EXPECT_EQ(Loaded.CalibData().NumCalLines, 0);
  TCalibData D;
  TCalibModel Model;
  EXPECT_TRUE(ParseCalibData(Path("g.xml"), "g", D, Model));
  EXPECT_EQ(D.NumCalLines, 2); // kept without a map
  EXPECT_EQ(D.CalLines[1].NumPoints, 2);
}

TEST_F(GeoMapCalFile, MalformedContentRaises) {
  struct Case {
    std::string Body, MapMessage;
  };
  const Case Cases[] = {
      {"<calquads npoints=\"3\">[1,1,0,0] [2,2,5,5] </calquads>\r\n",
       "specified number of calibration points and actual number does not match"},
      {"<calline type=\"Diagonal\" value=\"1\" npoints=\"0\"></calline>\r\n",
       "invalid type of graticule line: type=\"diagonal\""},
      {"<calline type=\"parallel\" value=\"1\" npoints=\"4\">[1,1] [2,2] </calline>\r\n",
       "specified number of calibration points and actual number does not match"},
      {"<ellipsoid>gelMars</ellipsoid>\r\n", "unknown ellipsoid \"gelMars\""},
  };
  for (const Case& C : Cases) {
    auto S = StreamOf(Document(C.Body));
    EXPECT_EQ(
        [&] {
          try {
            Map->LoadCalDataFromXML(S, "");
          } catch (const EZEFGeoMapError& E) {
            return E.Message();
          }
          return std::string("no exception");
        }(),
        "Component \"Map1\": " + C.MapMessage);
    auto S2 = StreamOf(Document(C.Body));
    TCalibData D;
    TCalibModel Model;
    try {
      ParseCalibData(&S2, "", D, Model);
      ADD_FAILURE() << C.Body;
    } catch (const EZEFGeoMapError& E) {
      EXPECT_EQ(E.Message(), "ParseCalibData: " + C.MapMessage);
    }
  }
}

// More lines, points, corners and control points than the record holds: the first ones are
// kept, nothing is written beyond the capacities.
TEST_F(GeoMapCalFile, OversizedContentIsClamped) {
  std::string Body = "<corners>[1,2] [3,4] [5,6] [7,8] [9,10] [11,12] </corners>\r\n";
  // Meridians (x fixed) and parallels (y fixed) by turns.
  for (int32_t i = 0; i < 30; ++i) {
    const bool Parallel = i % 2 == 1;
    Body += std::string("<calline type=\"") + (Parallel ? "parallel" : "meridian") + "\" value=\"" +
            std::to_string(i) + "\" npoints=\"15\">";
    for (int32_t j = 0; j < 15; ++j) {
      const std::string A = std::to_string(100 * i), B = std::to_string(j);
      Body += "[" + (Parallel ? B + "," + A : A + "," + B) + "] ";
    }
    Body += "</calline>\r\n";
  }
  Body += "<calquads npoints=\"250\">";
  for (int32_t i = 0; i < 250; ++i)
    Body += "[1.5,2,3," + std::to_string(i) + "] ";
  Body += "</calquads>\r\n<ellipsoid>GELINT24</ellipsoid>\r\n";
  auto S = StreamOf(Document(Body, "x", "NoSuchModel"));
  TCalibData D;
  TCalibModel Model = cmUTM;
  ASSERT_TRUE(ParseCalibData(&S, "", D, Model));
  EXPECT_EQ(Model, cmUndefined);
  EXPECT_EQ(D.Corners[gcoTopRight].Longit, 8);
  EXPECT_EQ(D.NumCalLines, MaxCalLines);
  EXPECT_EQ(D.CalLines[24].NumPoints, MaxCalLinePoints);
  EXPECT_EQ(D.CalLines[24].CalPoints[9].Y, 9);
  EXPECT_EQ(D.NumCalQuads, MaxCalQuads);
  EXPECT_EQ(D.CalQuads[199].MapY, 199);
  EXPECT_EQ(D.Ellipsoid, gelInt24);
  auto S2 = StreamOf(Document(Body, "x", "parabolicip"));
  EXPECT_TRUE(Map->LoadCalDataFromXML(S2, ""));
  EXPECT_EQ(Map->CalibData().NumCalLines, MaxCalLines);
}

TEST_F(GeoMapCalFile, NumbersAcceptCommasAndExponents) {
  auto S = StreamOf(Document("<resolution> 1,5E2</resolution>\r\n<utmzone>33</utmzone>\r\n"
                             "<utmsouth>True</utmsouth>\r\n"
                             "<calline type=\"PARALLEL\" value=\"4,5\" npoints=\"3\">"
                             "[1,2] [3,4] [5,7] </calline>\r\n"));
  TCalibData D;
  TCalibModel Model;
  ASSERT_TRUE(ParseCalibData(&S, "", D, Model));
  EXPECT_EQ(D.Resolution, 150);
  EXPECT_EQ(D.UTMZone, 33);
  EXPECT_TRUE(D.UTMSouth);
  EXPECT_EQ(D.CalLines[0].LineType, gtlParallel);
  EXPECT_EQ(D.CalLines[0].LineValue, 4.5);
  EXPECT_EQ(D.CalLines[0].CalPoints[2].Y, 7);
}

TEST_F(GeoMapCalFile, CalibDataFileProperty) {
  CalibrateEquiRect();
  Map->SaveCalDataAsXML(Path("c.xml"), "");
  TGeoMap Other(nullptr);
  Other.SetCalibDataFile(Path("c.xml"));
  EXPECT_EQ(Other.CalibDataFile(), Path("c.xml"));
  EXPECT_EQ(Other.CalibModel(), cmEquiRect);
  EXPECT_EQ(Other.MapImgWidth(), 1000);
  Other.SetCalibDataFile(Path("none.xml"));
  EXPECT_EQ(Other.MapImgWidth(), 0);
  EXPECT_EQ(Other.MapImgFile(), "");
}

} // namespace
} // namespace zef
