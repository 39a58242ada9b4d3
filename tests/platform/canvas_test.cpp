#include "graphics/canvas.h"

#include <gtest/gtest.h>

#include <set>

#include "graphics/fonts.h"
#include "rtl/strings.h"

namespace zef {
namespace {

constexpr TColor kBack = 0x102030;

// A bitmap filled with kBack and helpers to see which pixels a drawing changed.
struct Picture {
  TBitmap Bmp;
  explicit Picture(int W = 40, int H = 30) : Bmp(W, H) {
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) Bmp.SetPixel(X, Y, kBack);
  }
  TCanvas& C() { return Bmp.Canvas(); }
  std::set<std::pair<int, int>> Changed() const {
    std::set<std::pair<int, int>> R;
    for (int Y = 0; Y < Bmp.Height(); ++Y)
      for (int X = 0; X < Bmp.Width(); ++X)
        if (Bmp.GetPixel(X, Y) != kBack) R.insert({X, Y});
    return R;
  }
  TRect Box() const {
    TRect R{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (auto [X, Y] : Changed()) {
      R.Left = std::min(R.Left, X);
      R.Top = std::min(R.Top, Y);
      R.Right = std::max(R.Right, X + 1);
      R.Bottom = std::max(R.Bottom, Y + 1);
    }
    return R;
  }
  std::vector<uint32_t> Snapshot() const { return {Bmp.Bits(), Bmp.Bits() + Bmp.Width() * Bmp.Height()}; }
};

using Cells = std::set<std::pair<int, int>>;

TEST(CanvasLines, LineToLeavesOutTheEndPointAndMovesThePen) {
  Picture P;
  P.C().Pen().SetColor(clRed);
  P.C().MoveTo(2, 3);
  P.C().LineTo(6, 3);
  EXPECT_EQ(P.Changed(), (Cells{{2, 3}, {3, 3}, {4, 3}, {5, 3}}));
  EXPECT_EQ(P.C().PenPos(), (TPoint{6, 3}));
  EXPECT_EQ(P.Bmp.GetPixel(2, 3), clRed);

  Picture D;
  D.C().MoveTo(1, 1);
  D.C().LineTo(4, 4);
  EXPECT_EQ(D.Changed(), (Cells{{1, 1}, {2, 2}, {3, 3}}));

  Picture Steep;  // steep lines step one row per pixel
  Steep.C().MoveTo(5, 10);
  Steep.C().LineTo(6, 4);
  EXPECT_EQ(Steep.Changed().size(), 6u);
  EXPECT_EQ(Steep.Box(), (TRect{5, 5, 7, 11}));

  Picture Zero;  // a zero-length line draws nothing
  Zero.C().MoveTo(3, 3);
  Zero.C().LineTo(3, 3);
  EXPECT_TRUE(Zero.Changed().empty());
}

TEST(CanvasLines, ClippedLinesKeepTheirPixels) {
  // The part of a long line inside the picture is the same as when drawn whole.
  Picture Whole(200, 200);
  Whole.C().MoveTo(-37, 11);
  Whole.C().LineTo(251, 173);
  Picture Clipped(200, 200);
  Clipped.C().SetClipRect({50, 40, 120, 150});
  Clipped.C().MoveTo(-37, 11);
  Clipped.C().LineTo(251, 173);
  Cells Expected;
  for (auto [X, Y] : Whole.Changed())
    if (X >= 50 && X < 120 && Y >= 40 && Y < 150) Expected.insert({X, Y});
  EXPECT_FALSE(Expected.empty());
  EXPECT_EQ(Clipped.Changed(), Expected);

  Picture Far;  // lines far outside, with coordinates near the 32-bit limits
  Far.C().MoveTo(-2000000000, -5);
  Far.C().LineTo(2000000000, 7);
  Far.C().MoveTo(INT32_MIN, INT32_MIN);
  Far.C().LineTo(INT32_MAX, INT32_MAX);
  EXPECT_FALSE(Far.Changed().empty());
}

TEST(CanvasLines, OriginOffsetsAndClipLimits) {
  Picture P;
  P.C().SetOrigin({10, 5});
  P.C().MoveTo(0, 0);
  P.C().LineTo(3, 0);
  EXPECT_EQ(P.Changed(), (Cells{{10, 5}, {11, 5}, {12, 5}}));
  P.C().SetClipRect({1, -5, 2, 5});  // logical coordinates
  EXPECT_EQ(P.C().ClipRect(), (TRect{1, -5, 2, 5}));
  P.C().Pen().SetColor(clWhite);
  P.C().MoveTo(0, 1);
  P.C().LineTo(3, 1);
  EXPECT_EQ(P.Bmp.GetPixel(11, 6), clWhite);
  EXPECT_EQ(P.Bmp.GetPixel(10, 6), kBack);
  EXPECT_EQ(P.C().Pixels(0, 0), clNone);  // outside the clip
}

TEST(CanvasLines, WidePensAndStyles) {
  Picture W3;
  W3.C().Pen().SetWidth(3);
  W3.C().MoveTo(5, 10);
  W3.C().LineTo(15, 10);
  EXPECT_EQ(W3.Box().Top, 9);
  EXPECT_EQ(W3.Box().Bottom, 12);  // three rows
  Picture W2;
  W2.C().Pen().SetWidth(2);
  W2.C().MoveTo(5, 10);
  W2.C().LineTo(15, 10);
  EXPECT_EQ(W2.Box().Bottom - W2.Box().Top, 2);

  Picture Dash(60, 5);
  Dash.C().Pen().SetStyle(psDash);
  Dash.C().Brush().SetStyle(bsClear);
  Dash.C().MoveTo(0, 2);
  Dash.C().LineTo(50, 2);
  for (int X = 0; X < 50; ++X) EXPECT_EQ(Dash.Bmp.GetPixel(X, 2) != kBack, (X % 24) < 18) << X;

  Picture Gaps(60, 5);  // with a solid brush the gaps take the brush colour
  Gaps.C().Pen().SetStyle(psDot);
  Gaps.C().Pen().SetColor(clRed);
  Gaps.C().Brush().SetColor(clYellow);
  Gaps.C().MoveTo(0, 2);
  Gaps.C().LineTo(12, 2);
  EXPECT_EQ(Gaps.Bmp.GetPixel(0, 2), clRed);
  EXPECT_EQ(Gaps.Bmp.GetPixel(3, 2), clYellow);

  Picture WideDash;  // a styled pen wider than one pixel draws solid
  WideDash.C().Pen().SetStyle(psDash);
  WideDash.C().Pen().SetWidth(2);
  WideDash.C().MoveTo(0, 5);
  WideDash.C().LineTo(30, 5);
  for (int X = 0; X < 30; ++X) EXPECT_NE(WideDash.Bmp.GetPixel(X, 5), kBack) << X;
}

TEST(CanvasShapes, RectangleAndEllipseCoverTheirBoxExactly) {
  for (auto [W, H] : {std::pair{1, 1}, {2, 2}, {3, 5}, {4, 4}, {7, 3}, {12, 9}, {25, 17}}) {
    Picture R;
    R.C().Pen().SetColor(clRed);
    R.C().Brush().SetColor(clBlue);
    R.C().Rectangle(3, 4, 3 + W, 4 + H);
    EXPECT_EQ(R.Box(), (TRect{3, 4, 3 + W, 4 + H})) << W << "x" << H;
    if (W > 2 && H > 2) {
      EXPECT_EQ(R.Bmp.GetPixel(3, 4), clRed);
      EXPECT_EQ(R.Bmp.GetPixel(4, 5), clBlue);
    }
    Picture E;
    E.C().Ellipse(3, 4, 3 + W, 4 + H);
    EXPECT_EQ(E.Box(), (TRect{3, 4, 3 + W, 4 + H})) << W << "x" << H;
  }
  Picture Round;
  Round.C().RoundRect(2, 2, 20, 14, 6, 6);
  EXPECT_EQ(Round.Box(), (TRect{2, 2, 20, 14}));
  EXPECT_EQ(Round.Bmp.GetPixel(2, 2), kBack);  // the corner is rounded off

  Picture Reversed;  // corners given in any order
  Reversed.C().Rectangle(10, 10, 4, 6);
  EXPECT_EQ(Reversed.Box(), (TRect{4, 6, 10, 10}));
}

TEST(CanvasShapes, PolygonFillsByTheAlternateRule) {
  Picture P(60, 60);
  P.C().Pen().SetStyle(psClear);
  P.C().Brush().SetColor(clRed);
  // A pentagram: its centre lies inside twice and stays unfilled.
  const std::vector<TPoint> Star = {{30, 2}, {47, 55}, {2, 20}, {58, 20}, {13, 55}};
  P.C().Polygon(Star);
  EXPECT_EQ(P.Bmp.GetPixel(30, 30), kBack);
  EXPECT_EQ(P.Bmp.GetPixel(30, 10), clRed);
  EXPECT_EQ(P.Bmp.GetPixel(10, 21), clRed);

  Picture Sq;  // outline plus fill of a square: vertices are covered, nothing outside
  Sq.C().Pen().SetColor(clRed);
  Sq.C().Brush().SetColor(clBlue);
  Sq.C().Polygon({{5, 5}, {15, 5}, {15, 12}, {5, 12}});
  EXPECT_EQ(Sq.Box(), (TRect{5, 5, 16, 13}));
  EXPECT_EQ(Sq.Bmp.GetPixel(15, 12), clRed);
  EXPECT_EQ(Sq.Bmp.GetPixel(10, 8), clBlue);
}

TEST(CanvasShapes, XorDrawingTwiceRestoresThePicture) {
  const std::vector<std::function<void(TCanvas&)>> Figures = {
      [](TCanvas& C) { C.MoveTo(1, 1); C.LineTo(37, 23); C.LineTo(3, 28); },
      [](TCanvas& C) { C.Polyline({{0, 0}, {10, 20}, {30, 5}, {39, 29}}); },
      [](TCanvas& C) { C.Rectangle(4, 4, 30, 20); },
      [](TCanvas& C) { C.Ellipse(3, 2, 35, 27); },
      [](TCanvas& C) { C.RoundRect(2, 2, 36, 26, 10, 8); },
      [](TCanvas& C) { C.Polygon({{2, 2}, {35, 6}, {20, 28}, {5, 20}}); },
      [](TCanvas& C) { C.Pie(2, 2, 36, 28, 36, 2, 2, 2); },
      [](TCanvas& C) { C.Chord(2, 2, 36, 28, 36, 15, 2, 2); },
      [](TCanvas& C) { C.Arc(2, 2, 36, 28, 36, 15, 2, 28); },
      [](TCanvas& C) { C.Pen().SetWidth(5); C.Polyline({{3, 3}, {30, 10}, {10, 25}}); },
      [](TCanvas& C) { C.Pen().SetWidth(4); C.Rectangle(5, 5, 30, 25); },
      [](TCanvas& C) { C.Pen().SetWidth(3); C.Ellipse(5, 5, 30, 25); },
      [](TCanvas& C) { C.Pen().SetStyle(psDashDot); C.Rectangle(3, 3, 33, 25); },
      [](TCanvas& C) { C.Brush().SetStyle(bsDiagCross); C.Rectangle(3, 3, 33, 25); },
  };
  for (std::size_t I = 0; I < Figures.size(); ++I) {
    Picture P;
    // A background with structure, so that a pixel drawn twice would show.
    for (int Y = 0; Y < 30; ++Y)
      for (int X = 0; X < 40; ++X) P.Bmp.SetPixel(X, Y, RGB(uint8_t(X * 6), uint8_t(Y * 8), 77));
    const auto Before = P.Snapshot();
    TCanvas& C = P.C();
    C.Pen().SetMode(pmXor);
    C.Pen().SetColor(0x5A3CF0);
    C.Brush().SetColor(0x0FF00F);
    Figures[I](C);
    EXPECT_NE(P.Snapshot(), Before) << "figure " << I;
    C.Pen().SetWidth(1);
    Figures[I](C);
    EXPECT_EQ(P.Snapshot(), Before) << "figure " << I;
  }
}

TEST(CanvasShapes, ArcsTakeFarRadialPoints) {
  Picture P(50, 50);
  P.C().Brush().SetColor(clRed);
  // A quarter pie (upper right) with radial points 10^8 pixels away.
  P.C().Pie(5, 5, 45, 45, 100000000, 25, 25, -100000000);
  EXPECT_EQ(P.Bmp.GetPixel(35, 15), clRed);   // inside the upper-right quarter
  EXPECT_EQ(P.Bmp.GetPixel(15, 35), kBack);   // the opposite quarter stays
  EXPECT_EQ(P.Bmp.GetPixel(15, 15), kBack);
  const TRect B = P.Box();
  EXPECT_GE(B.Left, 24);
  EXPECT_LE(B.Bottom, 26);
  Picture Full(50, 50);  // equal rays sweep the full ellipse
  Full.C().Arc(5, 5, 45, 45, 45, 25, 45, 25);
  EXPECT_EQ(Full.Box(), (TRect{5, 5, 45, 45}));
}

TEST(CanvasFill, FloodFillSurfaceAndBorder) {
  Picture P;
  P.C().Brush().SetStyle(bsClear);
  P.C().Pen().SetColor(clWhite);
  P.C().Rectangle(5, 5, 20, 15);
  P.C().Brush().SetStyle(bsSolid);
  P.C().Brush().SetColor(clRed);
  P.C().FloodFill(10, 10, kBack, fsSurface);
  EXPECT_EQ(P.Bmp.GetPixel(10, 10), clRed);
  EXPECT_EQ(P.Bmp.GetPixel(6, 6), clRed);
  EXPECT_EQ(P.Bmp.GetPixel(2, 2), kBack);  // outside the white frame
  P.C().Brush().SetColor(clBlue);
  P.C().FloodFill(1, 1, clWhite, fsBorder);  // everything up to the white border
  EXPECT_EQ(P.Bmp.GetPixel(30, 25), clBlue);
  EXPECT_EQ(P.Bmp.GetPixel(10, 10), clRed);
  P.C().Brush().SetColor(clBlue);
  P.C().FloodFill(30, 25, clBlue, fsSurface);  // filling with the area's own colour ends
  EXPECT_EQ(P.Bmp.GetPixel(30, 25), clBlue);
}

TEST(CanvasPictures, CopyModesAndStretching) {
  TBitmap Src(2, 1);
  Src.SetPixel(0, 0, 0x00F0F0);
  Src.SetPixel(1, 0, 0xFF0000);
  struct Case { TCopyMode Mode; uint32_t Expect0; };
  const Case Cases[] = {
      {cmSrcCopy, 0x00F0F0},
      {cmSrcAnd, 0x00F0F0 & kBack},
      {cmSrcPaint, 0x00F0F0 | kBack},
      {cmSrcInvert, 0x00F0F0 ^ kBack},
      {cmNotSrcCopy, ~0x00F0F0u & 0xFFFFFF},
      {cmDstInvert, ~kBack & 0xFFFFFF},
      {cmBlackness, 0},
      {cmWhiteness, 0xFFFFFF},
  };
  for (const auto& C : Cases) {
    Picture P;
    P.C().SetCopyMode(C.Mode);
    P.C().Draw(3, 4, Src);
    EXPECT_EQ(P.Bmp.GetPixel(3, 4), C.Expect0) << std::hex << C.Mode;
    EXPECT_EQ(P.Bmp.GetPixel(5, 4), kBack);
  }
  Picture S;
  S.C().StretchDraw({0, 0, 8, 2}, Src);
  EXPECT_EQ(S.Bmp.GetPixel(3, 1), 0x00F0F0u);
  EXPECT_EQ(S.Bmp.GetPixel(4, 0), 0xFF0000u);
  Picture Avg;  // shrinking two pixels into one averages them
  Avg.C().SetStretchMode(smAreaAverage);
  Avg.C().StretchDraw({0, 0, 1, 1}, Src);
  EXPECT_EQ(Avg.Bmp.GetPixel(0, 0), RGB(0xF0 / 2, 0xF0 / 2, 0xFF / 2 + 1));
  Picture Mirror;  // a destination of negative width mirrors
  Mirror.C().CopyRect({2, 0, 0, 1}, Src.Canvas(), {0, 0, 2, 1});
  EXPECT_EQ(Mirror.Bmp.GetPixel(0, 0), 0xFF0000u);
  EXPECT_EQ(Mirror.Bmp.GetPixel(1, 0), 0x00F0F0u);

  Picture Self(6, 1);  // overlapping copies within one picture read the picture as it was
  for (int X = 0; X < 6; ++X) Self.Bmp.SetPixel(X, 0, RGB(uint8_t(X), 0, 0));
  Self.C().CopyRect({1, 0, 6, 1}, Self.C(), {0, 0, 5, 1});
  for (int X = 1; X < 6; ++X) EXPECT_EQ(Self.Bmp.GetPixel(X, 0), RGB(uint8_t(X - 1), 0, 0));
  Picture Part;  // a source rectangle reaching outside the source copies only what exists
  Part.C().CopyRect({10, 10, 14, 11}, Src.Canvas(), {-1, 0, 3, 1});
  EXPECT_EQ(Part.Changed(), (Cells{{11, 10}, {12, 10}}));

  TBitmap T(2, 2);
  T.SetPixel(0, 0, clLime);
  T.SetPixel(1, 0, clRed);
  T.SetPixel(0, 1, clRed);  // bottom-left: the automatic transparent colour
  T.SetPixel(1, 1, clRed);
  T.SetTransparent(true);
  Picture Tr;
  Tr.C().Draw(0, 0, T);
  EXPECT_EQ(Tr.Changed(), (Cells{{0, 0}}));
}

TEST(CanvasPixels, OutsideReadsClNoneAndWritesAreIgnored) {
  Picture P(4, 4);
  EXPECT_EQ(P.C().Pixels(-1, 0), clNone);
  EXPECT_EQ(P.C().Pixels(4, 0), clNone);
  P.C().SetPixels(10, 10, clRed);
  P.C().SetPixels(-1, 2, clRed);
  EXPECT_TRUE(P.Changed().empty());
  P.C().SetPixels(1, 2, clBtnFace);  // system colours resolve
  EXPECT_EQ(P.C().Pixels(1, 2), ColorToRGB(clBtnFace));
  P.C().SetOrigin({10, 10});  // positions near the 32-bit limits stay defined
  P.C().TextOut(INT32_MAX - 1, INT32_MAX - 1, "far");
  P.C().TextRect({INT32_MIN + 1, 0, INT32_MAX - 1, 4}, INT32_MIN + 2, 0, "far");
  P.C().FillRect({INT32_MIN + 1, INT32_MIN + 1, INT32_MAX - 1, INT32_MAX - 1});
  TCanvas NoTarget;  // a canvas without a bitmap draws nothing
  NoTarget.Rectangle(0, 0, 10, 10);
  NoTarget.LineTo(5, 5);
  EXPECT_EQ(NoTarget.Pixels(0, 0), clNone);
}

} // namespace
} // namespace zef

namespace zef {
namespace {

// Records the text the laid-out TextRect finally draws.
struct RecordingCanvas : TCanvas {
  std::string Drawn;
  TPoint At;
  void TextRect(const TRect&, int32_t X, int32_t Y, std::string_view Text) override {
    Drawn = Text;
    At = {X, Y};
  }
  using TCanvas::TextRect;
};

TEST(CanvasText, LayoutFlagsAndEndEllipsis) {
  SetFontEngine(BuiltinFontEngine());
  RecordingCanvas C;
  const int32_t W = C.TextWidth("J\u00e4nner 2024");
  C.TextRect({0, 0, W, 20}, "J\u00e4nner 2024", tfEndEllipsis);
  EXPECT_EQ(C.Drawn, "J\u00e4nner 2024");  // fits: unchanged
  C.TextRect({0, 0, W - 1, 20}, "J\u00e4nner 2024", tfEndEllipsis);
  EXPECT_LE(C.TextWidth(C.Drawn), W - 1);
  EXPECT_EQ(C.Drawn.substr(C.Drawn.size() - 3), "...");
  // The longest prefix that fits: one more code point would not.
  const std::u32string Full = Utf8ToUtf32("J\u00e4nner 2024");
  const std::size_t Kept = Utf8ToUtf32(C.Drawn).size() - 3;
  EXPECT_GT(C.TextWidth(Utf32ToUtf8(Full.substr(0, Kept + 1)) + "..."), W - 1);
  C.TextRect({0, 0, 2, 20}, "abc", tfEndEllipsis);
  EXPECT_EQ(C.Drawn, "...");
  C.TextRect({0, 0, 100, 40}, "ab", tfRight | tfBottom);
  EXPECT_EQ(C.At, (TPoint{100 - C.TextWidth("ab"), 40 - C.TextHeight("ab")}));
  SetFontEngine(nullptr);
}

} // namespace
} // namespace zef
