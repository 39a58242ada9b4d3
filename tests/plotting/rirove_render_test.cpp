// The rendering pipeline and item drawing, checked at the pixels and canvas calls that
// matter, and the outputs.
#include <gtest/gtest.h>

#include <algorithm>

#include "ZEF_rirove.h"
#include "controls/clipboard.h"
#include "graphics/printer.h"
#include "host/headless.h"
#include "support/temp_dir.h"

using namespace zef;

namespace {

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kMagenta = 0xFF00FF;

// A raster canvas that also records the calls the item drawing makes.
class TRecCanvas : public TCanvas {
public:
  explicit TRecCanvas(TBitmap* B) : TCanvas(B) {}
  void Polyline(const TPoint* P, std::size_t N) override {
    Polys.emplace_back(P, P + N);
    TCanvas::Polyline(P, N);
  }
  void Polygon(const TPoint* P, std::size_t N) override {
    ++Polygons;
    TCanvas::Polygon(P, N);
  }
  void LineTo(int32_t X, int32_t Y) override {
    LineEnds.push_back({X, Y});
    TCanvas::LineTo(X, Y);
  }
  void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) override {
    Rects.push_back({X1, Y1, X2, Y2});
    TCanvas::Rectangle(X1, Y1, X2, Y2);
  }
  void TextOut(int32_t X, int32_t Y, std::string_view Text) override {
    Texts.emplace_back(Text);
    TCanvas::TextOut(X, Y, Text);
  }
  std::vector<std::vector<TPoint>> Polys;
  std::vector<TPoint> LineEnds;
  std::vector<TRect> Rects;
  std::vector<std::string> Texts;
  int Polygons = 0;
};

// A 280 x 200 chart, margins L50 R20 T20 B40: world (5, 50) is data-area pixel (105, 70).
class RIroveRender : public ::testing::Test {
protected:
  void SetUp() override {
    C.SetBounds(0, 0, 280, 200);
    C.SetRange(1, 0, 0, 10, 100);
    Bmp.SetSize(C.DataAreaWidth() + 1, C.DataAreaHeight() + 1);
  }
  // Replays the items onto the recording canvas (data-area coordinates).
  TRecCanvas& Replay() {
    C.InitGraf(Rec, 0, 0, Bmp.Width(), Bmp.Height());
    C.ConstructDataBmpCanvas(Rec, 0, 0, false, 0);
    return Rec;
  }
  // A blue data line through world y = 50 (pixel row 70) and a green annotation square of
  // data-area pixels x 100..110, y Top..Top + 10.
  void LineWithAnnotation(int32_t Top) {
    C.SetDataColor(kBlue);
    C.Line(0.0, 50.0, 10.0, 50.0);
    C.SetAnnoMode(true);
    C.SetFillColor(kGreen);
    C.SetDataColor(kGreen);
    C.Rectangle(int32_t{100}, Top, int32_t{110}, Top + 10);
    C.SetAnnoMode(false);
  }
  const TBitmap& Shown() {
    C.ShowGraf();
    return C.DataAreaBitmap();
  }
  TRIrove C{nullptr};
  TBitmap Bmp;
  TRecCanvas Rec{&Bmp};
};

TEST_F(RIroveRender, GridUnderItemsAnnotationsOverThemCrossHairOnTop) {
  C.SetGridStyle(gsVertLines);
  C.SetGridDx(5);
  C.SetGridColor(kRed);
  LineWithAnnotation(75);
  C.CrossHairSetup(1, kMagenta, chBoth, psSolid, 1);
  C.CrossHairSetPos(1, 5, 50);
  const TBitmap& D = Shown();
  EXPECT_EQ(D.GetPixel(105, 20), kRed);    // grid alone
  EXPECT_EQ(D.GetPixel(105, 70), kBlue);   // item over the grid
  EXPECT_EQ(D.GetPixel(105, 80), kGreen);  // annotation over the grid
  EXPECT_EQ(D.GetPixel(60, 20), clWhite);
  // The cross-hair is drawn over everything, in the chart bitmap only.
  EXPECT_EQ(C.ChartBitmap().GetPixel(50 + 105, 20 + 70), kMagenta);
  EXPECT_EQ(C.ChartBitmap().GetPixel(50 + 105, 20 + 80), kMagenta);
  EXPECT_EQ(C.ChartBitmap().GetPixel(50 + 60, 20 + 70), kMagenta);
  EXPECT_EQ(D.GetPixel(60, 70), kBlue);
}

TEST_F(RIroveRender, AnnotationsBelowTheDataWhenAsked) {
  LineWithAnnotation(65);
  EXPECT_EQ(Shown().GetPixel(105, 70), kGreen);
  C.SetAnnoBelowChart(true);
  EXPECT_EQ(Shown().GetPixel(105, 70), kBlue);
  C.SetAnnosVisible(false);
  EXPECT_EQ(Shown().GetPixel(105, 66), clWhite);
}

TEST_F(RIroveRender, PolylinesOf200PointsJoinUp) {
  C.MoveTo(0.0, 0.0);
  for (int I = 1; I <= 450; ++I) C.DrawTo(I / 45.0, 50.0 + (I % 2));
  const auto& P = Replay().Polys;
  ASSERT_GE(P.size(), 3u);
  EXPECT_EQ(P[0].size(), 200u);
  EXPECT_EQ(P[1].size(), 200u);
  EXPECT_EQ(P[2].size(), 53u);
  EXPECT_EQ(P[0].front(), (TPoint{0, 140}));
  EXPECT_EQ(P[1].front(), P[0].back());
  EXPECT_EQ(P[2].front(), P[1].back());
}

TEST_F(RIroveRender, PenPositionRules) {
  C.SetAnnoMode(true);
  C.MoveTo(int32_t{10}, int32_t{10});
  C.DrawToRelPix(int32_t{5}, int32_t{0});
  C.DrawToRelPix(int32_t{5}, int32_t{0});
  C.SetAnnoMode(false);
  C.MoveTo(0.0, 0.0);
  C.Line(5.0, 5.0, 8.0, 8.0);
  C.DrawTo(10.0, 0.0);
  const auto& P = Replay().Polys;
  ASSERT_GE(P.size(), 2u);
  // Data first: the line-to continues from the move, not from the end of the line.
  EXPECT_EQ(P[0], (std::vector<TPoint>{{0, 140}, {210, 140}}));
  EXPECT_EQ(P[1], (std::vector<TPoint>{{10, 10}, {15, 10}, {20, 10}}));
}

TEST_F(RIroveRender, ArrowHeads) {
  C.Arrow(1.0, 10.0, 9.0, 10.0, 0);
  EXPECT_EQ(Replay().Polygons, 0);
  C.Arrow(1.0, 10.0, 9.0, 10.0, 8);
  C.DoubleArrow(1.0, 20.0, 9.0, 20.0, 8);
  EXPECT_EQ(Replay().Polygons, 3);
  // A rightward head of size 8: wings 20 degrees either side behind the tip.
  C.ClearGraf();
  C.SetTransparentItems(true);
  C.Arrow(1.0, 50.0, 9.0, 50.0, 8);
  Rec.LineEnds.clear();
  Replay();
  const std::vector<TPoint> Expected = {{189, 70}, {181, 67}, {181, 73}};
  ASSERT_GE(Rec.LineEnds.size(), 3u);
  EXPECT_EQ(std::vector<TPoint>(Rec.LineEnds.begin(), Rec.LineEnds.begin() + 3), Expected);
}

TEST_F(RIroveRender, DuplicateMarksAreSuppressed) {
  C.SetAvoidDuplicateMarks(true);
  C.SetAnnoMode(true);
  C.SetDataColor(kRed);
  C.MarkAt(int32_t{50}, int32_t{50}, 0);
  C.MarkAt(int32_t{80}, int32_t{50}, 0);
  C.SetDataColor(kBlue);
  C.MarkAt(int32_t{51}, int32_t{50}, 0);  // same type, 1 pixel away: not drawn
  C.MarkAt(int32_t{60}, int32_t{50}, 0);
  C.SetDataColor(kGreen);
  C.MarkAt(int32_t{80}, int32_t{50}, 9);  // another type at the same place: drawn
  const TBitmap& D = Shown();
  EXPECT_EQ(D.GetPixel(51, 50), clWhite);
  EXPECT_EQ(D.GetPixel(60, 50), kBlue);
  EXPECT_EQ(D.GetPixel(80, 50), kGreen);
  C.SetAvoidDuplicateMarks(false);
  EXPECT_EQ(Shown().GetPixel(51, 50), kBlue);
}

TEST_F(RIroveRender, StampedMarksMatchDrawnMarks) {
  // Raster canvases get stamped marks; the recording canvas draws each mark itself.
  C.SetDataColor(kBlue);
  C.SetFillColor(kGreen);
  for (uint8_t M : {1, 9, 16, 24, 34, 51}) C.MarkAt(1.0 + M / 10.0, 50.0, M);
  C.MarkAt(9.0, 50.0, 65);  // a character mark
  const TBitmap& D = Shown();
  Replay();
  for (int32_t Y = 0; Y < Bmp.Height(); ++Y)
    for (int32_t X = 0; X < Bmp.Width(); ++X)
      ASSERT_EQ(D.GetPixel(X, Y), Bmp.GetPixel(X, Y)) << X << "," << Y;
}

TEST_F(RIroveRender, DenseLinesKeepTheirExactPixels) {
  // Many points per pixel column and row: the raster target draws reduced runs, the
  // recording canvas every segment; the pictures must agree pixel for pixel.
  uint64_t S = 7;
  const auto Next = [&S] {
    S = S * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(S >> 40) / 16777216.0;
  };
  C.SetDataColor(kBlue);
  C.MoveTo(0.0, 50.0);
  double Y = 50;
  for (int I = 1; I < 20000; ++I) {
    Y = std::clamp(Y + (Next() - 0.5) * 3, 0.0, 100.0);
    C.DrawTo(10.0 * I / 20000, I > 15000 && I < 17000 ? 80.0 : Y);  // with a flat stretch
  }
  C.SetDataColor(kRed);
  C.MoveTo(5.0, 0.0);
  for (int I = 0; I < 300; ++I) C.DrawTo(5.0 + (I % 3) * 0.001, Next() * 100);
  const TBitmap& D = Shown();
  Replay();
  int Drawn = 0;
  for (int32_t Yp = 0; Yp < Bmp.Height(); ++Yp)
    for (int32_t X = 0; X < Bmp.Width(); ++X) {
      ASSERT_EQ(D.GetPixel(X, Yp), Bmp.GetPixel(X, Yp)) << X << "," << Yp;
      Drawn += D.GetPixel(X, Yp) != clWhite;
    }
  EXPECT_GT(Drawn, 2000);
}

TEST_F(RIroveRender, MarksOutsideTheRangeAreSkipped) {
  C.SetDataColor(kRed);
  C.MarkAt(-0.5, 50.0, 9);
  C.Line(-1.0, 10.0, -0.2, 10.0);  // lines are simply clipped
  const TBitmap& D = Shown();
  EXPECT_EQ(D.GetPixel(1, 70), clWhite);
}

TEST_F(RIroveRender, LogarithmicGridSteps) {
  C.SetRange(1, 1, 0, 1000, 100);
  C.ScalePropsX(1).SetLogarithmic(true);
  C.SetGridStyle(gsVertLines);
  C.SetGridDx(-2);
  Replay();
  std::vector<int32_t> Xs;
  for (const TPoint& P : Rec.LineEnds) Xs.push_back(P.X);
  std::vector<int32_t> Expected;
  for (double V : {2, 5, 10, 20, 50, 100, 200, 500}) {
    int32_t X, Y;
    C.R2M(1, V, 0, X, Y);
    Expected.push_back(X - 50);
  }
  // The data-area frame adds its four sides after the grid lines.
  ASSERT_EQ(Xs.size(), Expected.size() + 4);
  Xs.resize(Expected.size());
  EXPECT_EQ(Xs, Expected);
  Rec.LineEnds.clear();
  C.SetGridDx(-1);
  Replay();
  EXPECT_EQ(Rec.LineEnds.size(), 3u + 4);  // 1, 10, 100
}

TEST_F(RIroveRender, CaptionIsTrimmed) {
  TCanvas M;
  M.SetFont(C.Font());
  const std::string Cap(40, 'x');
  const int32_t W = M.TextWidth(Cap);
  C.SetBounds(0, 0, W + 70, 200);  // data-area width = caption width
  C.SetCaptionTrim(50);
  C.SetCaption(Cap);
  C.Scale1X().SetVisible(false);
  C.Scale1Y().SetVisible(false);
  TBitmap Out(C.Width(), C.Height());
  TRecCanvas R(&Out);
  C.ConstructChartBmp(R);
  ASSERT_FALSE(R.Texts.empty());
  EXPECT_EQ(R.Texts[0], std::string(18, 'x') + "...");
}

TEST_F(RIroveRender, TextLabelBoxAndOrder) {
  TTextLabel& L = C.TextLabels(1);
  L.SetTxtLblScreenPos(tlamNone);
  L.SetTxtLblMode(tlBox);
  L.SetTxtLblVertAlignment(vaBottom);
  L.SetTxtLblAlignment(taLeftJustify);
  L.SetTxtLblPosX(100);
  L.SetTxtLblPosY(100);
  L.SetTxtLblCaption("Label");
  L.SetTxtLblVisible(true);
  TCanvas M;
  M.SetFont(L.Font());
  const int32_t W = M.TextWidth("Label"), H = M.TextHeight("Label");
  Replay();
  ASSERT_FALSE(Rec.Rects.empty());
  EXPECT_EQ(Rec.Rects.back(), (TRect{96 - 50, 98 - H - 20, 104 + W - 50, 102 - 20}));
  // Label 1 is drawn last, over label 2 at the same place.
  TTextLabel& L2 = C.TextLabels(2);
  L2.Assign(L);
  L2.OnChange = L.OnChange;
  L.SetTxtLblColorBkg(kGreen);
  L2.SetTxtLblColorBkg(kRed);
  EXPECT_EQ(Shown().GetPixel(100 - 50 + 2, 100 - 20 - 2), kGreen);
}

TEST_F(RIroveRender, ShowGrafNewOnlyDrawsTheGridOnlyAtTheStart) {
  C.SetGridStyle(gsVertLines);
  C.SetGridDx(5);
  C.SetGridColor(kRed);
  C.SetSuppressPaint(false);
  C.SetAutoRedraw(false);
  C.MarkAt(1.0, 1.0, 0);
  C.MarkAt(2.0, 1.0, 0);
  C.ShowGraf();
  EXPECT_EQ(C.LastShownIndex(), 1);
  C.SetGridColor(kBlue);
  C.SetAutoRedraw(true);
  C.MarkAt(3.0, 1.0, 0);
  C.ShowGrafNewOnly();
  EXPECT_EQ(C.DataAreaBitmap().GetPixel(105, 20), kRed);  // old grid kept
  EXPECT_EQ(C.LastShownIndex(), 2);
  TRIrove Fresh(nullptr);
  Fresh.SetBounds(0, 0, 280, 200);
  Fresh.SetRange(1, 0, 0, 10, 100);
  Fresh.SetGridStyle(gsVertLines);
  Fresh.SetGridDx(5);
  Fresh.SetGridColor(kBlue);
  Fresh.ShowGrafNewOnly();
  EXPECT_EQ(Fresh.DataAreaBitmap().GetPixel(105, 20), kBlue);
}

TEST_F(RIroveRender, CrossHairOnTheDataAreaEdgeIsNotDrawn) {
  C.CrossHairSetup(1, kMagenta, chVert, psSolid, 1);
  C.CrossHairSetPos(1, 0, 50);  // maps to x = LRim, the edge
  C.ShowGraf();
  EXPECT_NE(C.ChartBitmap().GetPixel(50, 60), kMagenta);
  C.CrossHairSetPos(1, 0.1, 50);
  EXPECT_EQ(C.ChartBitmap().GetPixel(52, 60), kMagenta);
  // A cross-hair move never touches the retained data area.
  EXPECT_NE(C.DataAreaBitmap().GetPixel(2, 40), kMagenta);
  C.CrossHairSetPos(9, 1, 1);  // ignored
}

TEST_F(RIroveRender, BeforeRenderEventChangesOnlyTheDrawing) {
  C.SetDataColor(kRed);
  C.Line(0.0, 50.0, 10.0, 50.0);
  C.OnBeforeRenderIroveItem = [](TObject*, TrcChartItem& It, int32_t, bool) { It.Color = kGreen; };
  EXPECT_EQ(Shown().GetPixel(105, 70), kGreen);
  EXPECT_EQ(C.DataContainer(0).Color, kRed);
  std::string Seen;
  C.OnBeforeRenderIroveItem = nullptr;
  C.OnBeforeRenderText = [&](TObject*, std::string& T, int32_t, bool) { Seen = T; T = "changed"; };
  C.Text(5.0, 50.0, 10, "original text of some length");
  C.ShowGraf();
  EXPECT_EQ(Seen, "original text of some length");
}

TEST_F(RIroveRender, HugeCoordinatesAreClamped) {
  C.SetRange(1, 0, 0, 1e-9, 1e-9);
  C.SetDataColor(kRed);
  C.Line(-1e6, 0.5e-9, 1e6, 0.5e-9);
  C.SetTransparentItems(true);
  C.Rectangle(-1e300, -1e300, 1e300, 1e300);
  const TBitmap& D = Shown();
  EXPECT_EQ(D.GetPixel(100, 70), kRed);
}

TEST_F(RIroveRender, BackgroundImageThatCannotLoadIsForgotten) {
  C.BackGroundImg().SetName("/no/such/image.png");
  EXPECT_EQ(Shown().GetPixel(100, 70), clWhite);
  EXPECT_EQ(C.BackGroundImg().Name(), "");
}

TEST_F(RIroveRender, BackgroundArea) {
  C.SetRange(1, -2, -2, 2, 2);
  C.BackGroundImg().SetAreaColor(kGreen);
  C.BackGroundImg().SetAreaMode(bamRect);  // -1..1 in both directions
  const TBitmap& D = Shown();
  EXPECT_EQ(D.GetPixel(105, 70), kGreen);
  EXPECT_EQ(D.GetPixel(20, 70), clWhite);
}

TEST_F(RIroveRender, BlackAndWhiteOutput) {
  C.SetDataColor(kRed);
  C.SetChartColor(0xE0E0FF);
  C.Line(0.0, 50.0, 10.0, 50.0);
  TBitmap Out;
  C.CopyToBitmapDAOnly(Out, true);
  EXPECT_EQ(Out.GetPixel(105, 70), clBlack);
  EXPECT_EQ(Out.GetPixel(105, 20), clWhite);
  EXPECT_EQ(C.ChartColor(), 0xE0E0FFu);
  EXPECT_EQ(C.Scale2X().ColorScale(), 0x000080u);
}

TEST_F(RIroveRender, EveryKindDrawsWithoutFault) {
  C.SetMinDupMarkDist(3);
  C.SetAvoidDuplicateMarks(true);
  C.Scale1X().SetMinTicks(0);
  C.ScalePropsY(1).SetShortTicks(false);
  C.SetGridStyle(gsPoints);
  C.MoveTo(1.0, 1.0);
  C.DrawTo(2.0, 2.0);
  C.MoveToRelPix(3, 3);
  C.DrawToRelPix(4, 4);
  C.DrawToRelPix(2.0, 2.0, 5, 5);
  C.MarkAt(3.0, 3.0, 1);
  C.MarkErrorBar(4, 40, 5, 5, orVert, 2);
  C.MarkErrorBar(4, 40, 1, 1, orHoriz, 2);
  C.Line(0.0, 0.0, 0.0, 0.0);
  C.LineOffset(1, 1, 2, 2, 3, 3);
  C.Rectangle(1.0, 10.0, 2.0, 20.0);
  C.RectangleRelPix(5, 50, 4, 4);
  for (TFrameStyle F : {fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved})
    C.RectFrame(6.0, 60.0, 7.0, 70.0, F, 1, 2);
  C.Bar3D(1, 1, 2, 30, 8, 45);
  C.Bar3D(3, 1, 4, 30, 8, 135);
  C.Ellipse(5, 50, 1, 10);
  C.Arc(5, 50, 2, 20, -1, 2);
  C.Text(5.0, 50.0, 10, "two\nlines");
  C.SetTextBkStyle(tbSolid);
  C.Text(5.0, 50.0, 10, "three\nlines\nhere", 3, 4, taRightJustify);
  C.CursorVert(5.0);
  C.CursorHoriz(50.0);
  C.SetAnnoMode(true);
  C.Text(int32_t{5}, int32_t{5}, 8, "anno");
  C.CursorVert(int32_t{7});
  const TBitmap& D = Shown();
  EXPECT_EQ(D.Width(), 211);
  TBitmap Whole;
  C.CopyToBitmap(Whole, false, true);
  EXPECT_EQ(Whole.Width(), 280);
  EXPECT_NE(C.ChartAsSVG(true).find("<svg"), std::string::npos);
}

TEST_F(RIroveRender, ArbitraryRecordsDrawWithoutFault) {
  // Records as a chart file could hold them: every byte random, in both containers.
  uint64_t S = 99;
  const auto Byte = [&S] {
    S = S * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint8_t>(S >> 56);
  };
  for (int I = 0; I < 400; ++I) {
    C.MoveTo(0.0, 0.0);
    C.SetAnnoMode(true);
    C.MoveTo(0.0, 0.0);
    C.SetAnnoMode(false);
  }
  for (int I = 0; I < 400; ++I) {
    uint8_t B[104];
    for (uint8_t& X : B) X = Byte();
    B[61] %= kNumItemKinds;  // every kind, not mostly invalid ones
    B[64] = static_cast<uint8_t>(1 + I % 2);
    TrcChartItem It = ChartItemFromBytes(B);
    if (I % 3 == 0) It.x = It.y = It.x2 = It.y2 = 1e308 * (I % 2 ? 1 : -1);
    C.SetDataContainer(I, It);
    C.SetAnnoContainer(I, It);
  }
  C.SetAvoidDuplicateMarks(true);
  C.SetGridStyle(gsDotLines);
  EXPECT_EQ(Shown().Width(), 211);
  EXPECT_LE(C.DataLongText(0).size(), 17u * 2);
}

class RIroveOutputs : public test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    SetHost(&Host);
    C.SetBounds(0, 0, 300, 220);
    C.Line(0.0, 0.0, 1.0, 1.0);
  }
  void TearDown() override {
    SetHost(nullptr);
    TempDirTest::TearDown();
  }
  THeadlessHost Host;
  TRIrove C{nullptr};
};

TEST_F(RIroveOutputs, FilesClipboardAndPrinter) {
  C.CopyToBMP(Path("chart.png"), false);
  TBitmap Back;
  Back.LoadFromFile(Path("chart.png"));
  EXPECT_EQ(Back.Width(), 300);
  EXPECT_EQ(Back.Height(), 220);
  C.CopyToWMF(Path("chart.svg"), false);
  EXPECT_NE(Get("chart.svg").find("<svg"), std::string::npos);
  C.CopyToClipboardDAOnly(false);
  TBitmap Clip;
  ASSERT_TRUE(Clipboard().GetBitmap(Clip));
  EXPECT_EQ(Clip.Width(), C.DataAreaWidth() + 1);
  C.CopyToClipboardWMF(true);
  EXPECT_NE(Clipboard().AsText().find("<svg"), std::string::npos);
  Printer().SetFileName(Path("chart.pdf"));
  C.PrintIt(1.0, true);
  EXPECT_EQ(Get("chart.pdf").substr(0, 5), "%PDF-");
  int32_t X = 0, Y = 0;
  EXPECT_THROW(C.CopyToOpenPrinter(X, Y, 1, false), EPrinter);
}

} // namespace
