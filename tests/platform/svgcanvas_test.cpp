#include "graphics/svgcanvas.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <vector>

#include "graphics/fonts.h"
#include "rtl/streams.h"

namespace zef {
namespace {

using TAttrs = std::map<std::string, std::string>;

// The start tags named Name in document order, with their attributes (values unescaped
// only as far as the tests need: not at all).
std::vector<TAttrs> Elements(const std::string& Svg, const std::string& Name) {
  std::vector<TAttrs> R;
  const std::string Open = "<" + Name;
  for (std::size_t I = Svg.find(Open); I != std::string::npos; I = Svg.find(Open, I + 1)) {
    std::size_t P = I + Open.size();
    if (P < Svg.size() && Svg[P] != ' ' && Svg[P] != '>' && Svg[P] != '/') continue;
    TAttrs A;
    while (P < Svg.size() && Svg[P] != '>') {
      while (P < Svg.size() && Svg[P] == ' ') ++P;
      const std::size_t Eq = Svg.find('=', P);
      if (Eq == std::string::npos || Svg.find_first_of("/>", P) < Eq) break;
      const std::size_t Q = Svg.find('"', Eq + 2);
      A[Svg.substr(P, Eq - P)] = Svg.substr(Eq + 2, Q - Eq - 2);
      P = Q + 1;
    }
    R.push_back(A);
  }
  return R;
}

// Whether the document is one <svg> element whose tags all nest and close properly.
bool WellFormed(const std::string& S, std::string& Why) {
  std::vector<std::string> Stack;
  bool SeenRoot = false;
  for (std::size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '>') {
      Why = "stray > at " + std::to_string(I);
      return false;
    }
    if (S[I] != '<') {
      if (Stack.empty() && S[I] != '\n') {
        Why = "text outside the root";
        return false;
      }
      if (S[I] == '&') {
        const std::size_t E = S.find(';', I);
        const std::string Ent = S.substr(I, E - I + 1);
        if (Ent != "&amp;" && Ent != "&lt;" && Ent != "&gt;" && Ent != "&quot;" &&
            Ent != "&apos;") {
          Why = "entity " + Ent;
          return false;
        }
      }
      continue;
    }
    std::size_t E = I + 1;
    bool Quoted = false;
    while (E < S.size() && (Quoted || S[E] != '>')) {
      if (S[E] == '"') Quoted = !Quoted;
      if (!Quoted && S[E] == '<') {
        Why = "< inside a tag at " + std::to_string(E);
        return false;
      }
      ++E;
    }
    if (E >= S.size()) {
      Why = "unterminated tag";
      return false;
    }
    const std::string Tag = S.substr(I + 1, E - I - 1);
    I = E;
    if (Tag.front() == '?') continue;
    if (Tag.front() == '/') {
      if (Stack.empty() || Stack.back() != Tag.substr(1)) {
        Why = "unmatched </" + Tag.substr(1) + ">";
        return false;
      }
      Stack.pop_back();
      continue;
    }
    const std::string Name = Tag.substr(0, Tag.find_first_of(" /"));
    if (Stack.empty()) {
      if (SeenRoot || Name != "svg") {
        Why = "second root " + Name;
        return false;
      }
      SeenRoot = true;
    }
    if (Tag.back() != '/') Stack.push_back(Name);
  }
  if (!Stack.empty()) {
    Why = "unclosed <" + Stack.back() + ">";
    return false;
  }
  return SeenRoot;
}

// "#rrggbb" of a colour.
std::string Css(TColor C) {
  char Buf[8];
  const TColor Rgb = ColorToRGB(C);
  std::snprintf(Buf, sizeof Buf, "#%02x%02x%02x", GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
  return Buf;
}

std::vector<uint8_t> DecodeBase64(const std::string& S) {
  static const std::string Alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::vector<uint8_t> R;
  uint32_t Acc = 0;
  int Bits = 0;
  for (char C : S) {
    if (C == '=') break;
    Acc = (Acc << 6) | static_cast<uint32_t>(Alphabet.find(C));
    Bits += 6;
    if (Bits >= 8) {
      Bits -= 8;
      R.push_back(static_cast<uint8_t>(Acc >> Bits));
    }
  }
  return R;
}

// A bitmap decoded from an <image> data URI.
void LoadDataUri(const std::string& Uri, TBitmap& B) {
  const std::string Prefix = "data:image/png;base64,";
  ASSERT_EQ(Uri.substr(0, Prefix.size()), Prefix);
  const std::vector<uint8_t> Png = DecodeBase64(Uri.substr(Prefix.size()));
  TStringStream S(std::string(Png.begin(), Png.end()));
  B.LoadFromStream(S);
}

TEST(SvgCanvas, LineToRunsBetweenPixelEdgesAndJoinsConsecutiveSegments) {
  TSvgCanvas C(100, 50);
  C.Pen().SetColor(clRed);
  C.MoveTo(2, 3);
  C.LineTo(6, 3);
  C.LineTo(6, 8); // continues the same path
  C.MoveTo(1, 10);
  C.LineTo(4, 13);
  C.Pen().SetWidth(3); // wide pens: centres, round ends
  C.MoveTo(20, 20);
  C.LineTo(30, 20);
  C.Pen().SetWidth(2); // even widths sit half a pixel right and down
  C.MoveTo(20, 30);
  C.LineTo(30, 30);
  const auto Paths = Elements(C.SvgText(), "path");
  ASSERT_EQ(Paths.size(), 4u);
  EXPECT_EQ(Paths[0].at("d"), "M2 3.5 L6.5 3.5 L6.5 8");
  EXPECT_EQ(Paths[0].at("stroke"), "#ff0000");
  EXPECT_EQ(Paths[0].at("stroke-width"), "1");
  EXPECT_EQ(Paths[0].at("fill"), "none");
  EXPECT_EQ(Paths[1].at("d"), "M1 10 L4 13");
  EXPECT_EQ(Paths[2].at("d"), "M20.5 20.5 L30.5 20.5");
  EXPECT_EQ(Paths[2].at("stroke-linecap"), "round");
  EXPECT_EQ(Paths[3].at("d"), "M21 31 L31 31");
  EXPECT_EQ(C.PenPos(), (TPoint{30, 30}));
}

TEST(SvgCanvas, DashesContinueFromLineToLineToAndShowTheBrushInTheGaps) {
  TSvgCanvas C(100, 100);
  C.Pen().SetStyle(psDash);
  C.Brush().SetStyle(bsClear);
  C.MoveTo(0, 0);
  C.LineTo(30, 0);
  C.Pen().SetColor(clBlue); // a new path, which must start 30 pixels into the pattern
  C.LineTo(30, 40);
  auto Paths = Elements(C.SvgText(), "path");
  ASSERT_EQ(Paths.size(), 2u);
  EXPECT_EQ(Paths[0].at("stroke-dasharray"), "18 6");
  EXPECT_EQ(Paths[0].count("stroke-dashoffset"), 0u);
  EXPECT_EQ(Paths[1].at("stroke-dashoffset"), "30");

  TSvgCanvas G(100, 100);
  G.Pen().SetStyle(psDot);
  G.Brush().SetColor(clYellow);
  G.MoveTo(0, 0);
  G.LineTo(30, 0);
  Paths = Elements(G.SvgText(), "path");
  ASSERT_EQ(Paths.size(), 2u); // the gap colour under the dots
  EXPECT_EQ(Paths[0].at("stroke"), "#ffff00");
  EXPECT_EQ(Paths[0].count("stroke-dasharray"), 0u);
  EXPECT_EQ(Paths[1].at("stroke-dasharray"), "3 3");

  TSvgCanvas W(100, 100); // a styled wide pen draws solid
  W.Pen().SetStyle(psDash);
  W.Pen().SetWidth(2);
  W.MoveTo(0, 0);
  W.LineTo(30, 0);
  Paths = Elements(W.SvgText(), "path");
  ASSERT_EQ(Paths.size(), 1u);
  EXPECT_EQ(Paths[0].count("stroke-dasharray"), 0u);
}

TEST(SvgCanvas, RectanglesKeepThePixelBoxOfTheRasterCanvas) {
  struct Case {
    int Width;
    TPenStyle Style;
    const char *X, *Y, *W, *H;
    bool Stroked;
  };
  const Case Cases[] = {
      {1, psSolid, "10.5", "20.5", "19", "9", true},       // outline pixels 10..29 x 20..29
      {3, psSolid, "10.5", "20.5", "19", "9", true},       // centred on them
      {2, psSolid, "11", "21", "19", "9", true},           // one pixel out right and down
      {3, psInsideFrame, "11.5", "21.5", "17", "7", true}, // kept inside the box
      {1, psClear, "10", "20", "20", "10", false},         // the brush alone fills the box
  };
  for (const Case& K : Cases) {
    TSvgCanvas C(100, 100);
    C.Pen().SetWidth(K.Width);
    C.Pen().SetStyle(K.Style);
    C.Brush().SetColor(clLime);
    C.Rectangle(10, 20, 30, 30);
    const auto R = Elements(C.SvgText(), "rect");
    ASSERT_EQ(R.size(), 1u) << K.Width;
    EXPECT_EQ(R[0].at("x"), K.X) << K.Width << " " << int(K.Style);
    EXPECT_EQ(R[0].at("y"), K.Y) << K.Width;
    EXPECT_EQ(R[0].at("width"), K.W) << K.Width;
    EXPECT_EQ(R[0].at("height"), K.H) << K.Width;
    EXPECT_EQ(R[0].at("fill"), "#00ff00");
    EXPECT_EQ(R[0].count("stroke") == 1, K.Stroked);
  }
}

TEST(SvgCanvas, ShapesColoursAndPaints) {
  TSvgCanvas C(200, 200);
  C.Pen().SetColor(clBtnShadow); // system colours resolve to RGB
  C.Brush().SetColor(RGB(1, 2, 3));
  C.Ellipse(0, 0, 20, 10);
  const TPoint Tri[] = {{0, 0}, {10, 0}, {0, 10}};
  C.Polygon(Tri, 3);
  C.Pen().SetStyle(psClear);
  C.Polygon(Tri, 3);
  C.Brush().SetStyle(bsCross);
  C.FillRect(TRect{0, 0, 16, 16});
  C.Brush().SetStyle(bsSolid);
  C.FrameRect(TRect{40, 40, 50, 45});
  C.SetPixels(7, 8, clRed);
  C.RoundRect(60, 60, 100, 80, 10, 8);
  C.Pen().SetStyle(psSolid);
  C.Pen().SetMode(pmNop); // draws nothing
  C.Rectangle(0, 0, 50, 50);
  C.FloodFill(1, 1, clBlack, fsSurface); // not representable: nothing

  const std::string S = C.SvgText();
  const auto E = Elements(S, "ellipse");
  ASSERT_EQ(E.size(), 1u);
  EXPECT_EQ(E[0].at("cx"), "10");
  EXPECT_EQ(E[0].at("cy"), "5");
  EXPECT_EQ(E[0].at("rx"), "9.5");
  EXPECT_EQ(E[0].at("ry"), "4.5");
  EXPECT_EQ(E[0].at("stroke"), Css(clBtnShadow));
  EXPECT_EQ(E[0].at("fill"), "#010203");
  const auto P = Elements(S, "polygon");
  ASSERT_EQ(P.size(), 2u);
  EXPECT_EQ(P[0].at("points"), "0.5,0.5 10.5,0.5 0.5,10.5"); // the vertices are pixel centres
  EXPECT_EQ(P[0].at("fill-rule"), "evenodd");
  EXPECT_EQ(P[1].at("points"), "0.5,0.5 10.5,0.5 0.5,10.5"); // with or without a pen
  EXPECT_EQ(P[1].count("stroke"), 0u);

  const auto R = Elements(S, "rect");
  ASSERT_EQ(R.size(), 4u);
  EXPECT_EQ(R[0].at("fill"), "url(#h6_010203)");
  const auto Pat = Elements(S, "pattern");
  ASSERT_EQ(Pat.size(), 1u);
  EXPECT_EQ(Pat[0].at("id"), "h6_010203");
  EXPECT_EQ(Pat[0].at("patternUnits"), "userSpaceOnUse");
  EXPECT_EQ(Pat[0].at("width"), "8");
  EXPECT_EQ(R[1].at("x"), "40.5"); // FrameRect: one pixel inside the box, in the brush colour
  EXPECT_EQ(R[1].at("stroke"), "#010203");
  EXPECT_EQ(R[1].at("fill"), "none");
  EXPECT_EQ(R[2].at("x"), "7");
  EXPECT_EQ(R[2].at("width"), "1");
  EXPECT_EQ(R[2].at("fill"), "#ff0000");
  EXPECT_EQ(R[3].at("rx"), "5");
  EXPECT_EQ(R[3].at("ry"), "4");
  EXPECT_EQ(C.Pixels(7, 8), clNone);
}

TEST(SvgCanvas, ArcEndPointsFromFarRadialPointsCounterClockwise) {
  TSvgCanvas C(200, 200);
  C.Brush().SetStyle(bsClear);
  // From the ray towards the east to the ray towards the north: the top-right quarter.
  C.Arc(0, 0, 100, 100, 100000000, 50, 50, -100000000);
  // From north to east counter-clockwise: three quarters, the large arc.
  C.Arc(0, 0, 100, 100, 50, -100000000, 100000000, 50);
  // The same ray twice (through the centre row of an odd box): the whole ellipse.
  C.Arc(0, 0, 101, 101, 200, 50, 300, 50);
  C.Brush().SetStyle(bsSolid);
  C.Pie(0, 0, 100, 100, 100000000, 50, 50, -100000000);
  C.Chord(0, 0, 100, 100, -100000000, 50, 100000000, 50); // west to east: the lower half
  const auto P = Elements(C.SvgText(), "path");
  ASSERT_EQ(P.size(), 5u);
  EXPECT_EQ(P[0].at("d"), "M99.5 50 A49.5 49.5 0 0 0 50 0.5");
  EXPECT_EQ(P[0].at("fill"), "none");
  EXPECT_EQ(P[1].at("d"), "M50 0.5 A49.5 49.5 0 1 0 99.5 50");
  EXPECT_EQ(P[2].at("d"), "M100.5 50.5 A50 50 0 1 0 0.5 50.5 A50 50 0 1 0 100.5 50.5");
  EXPECT_EQ(P[3].at("d"), "M50 50 L99.5 50 A49.5 49.5 0 0 0 50 0.5 Z");
  EXPECT_EQ(P[4].at("d"), "M0.5 50 A49.5 49.5 0 0 0 99.5 50 Z");
  EXPECT_EQ(P[4].at("fill"), "#ffffff");
}

class SvgText : public ::testing::Test {
protected:
  void SetUp() override { SetFontEngine(BuiltinFontEngine()); }
  void TearDown() override { SetFontEngine(nullptr); }
};

TEST_F(SvgText, TextOutPlacesTheBaselineAtTheAscentAndEscapes) {
  TSvgCanvas C(200, 100);
  C.Font().SetHeight(-11); // built-in font: ascent 11, cell 14
  C.Font().SetColor(clNavy);
  C.Brush().SetColor(clYellow);
  C.TextOut(10, 20, "a<b & \"c\"");
  const std::string S = C.SvgText();
  const auto T = Elements(S, "text");
  ASSERT_EQ(T.size(), 1u);
  EXPECT_EQ(T[0].at("x"), "10");
  EXPECT_EQ(T[0].at("y"), "31");
  EXPECT_EQ(T[0].at("font-size"), "11");
  EXPECT_EQ(T[0].at("font-family"), "Tahoma, sans-serif");
  EXPECT_EQ(T[0].at("fill"), "#000080");
  EXPECT_EQ(T[0].at("textLength"), std::to_string(C.TextWidth("a<b & \"c\"")));
  EXPECT_EQ(T[0].count("font-weight"), 0u);
  EXPECT_NE(S.find(">a&lt;b &amp; &quot;c&quot;</text>"), std::string::npos);
  const auto R = Elements(S, "rect"); // the solid brush fills the cell first
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].at("height"), "14");
  EXPECT_EQ(R[0].at("fill"), "#ffff00");
  EXPECT_EQ(C.PenPos(), (TPoint{10 + C.TextWidth("a<b & \"c\""), 20}));
}

TEST_F(SvgText, StylesRotationAndUnwritableCharacters) {
  TSvgCanvas C(200, 100);
  C.Brush().SetStyle(bsClear);
  C.Font().SetName("Courier & Co");
  C.Font().SetStyle(TFontStyles{fsBold, fsItalic, fsUnderline, fsStrikeOut});
  C.Font().SetOrientation(900);
  C.TextOut(30, 40, "x\x01y\xFF");
  const std::string S = C.SvgText();
  const auto T = Elements(S, "text");
  ASSERT_EQ(T.size(), 1u);
  EXPECT_EQ(T[0].at("font-family"), "Courier &amp; Co, monospace");
  EXPECT_EQ(T[0].at("font-weight"), "bold");
  EXPECT_EQ(T[0].at("font-style"), "italic");
  EXPECT_EQ(T[0].at("text-decoration"), "underline line-through");
  EXPECT_EQ(T[0].at("transform"), "rotate(-90 30 40)"); // counter-clockwise on the screen
  EXPECT_NE(S.find(">xy\xEF\xBF\xBD</text>"),
            std::string::npos); // control left out, bad byte U+FFFD
  EXPECT_TRUE(Elements(S, "rect").empty());
}

TEST_F(SvgText, TextRectClipsToTheRectangle) {
  TSvgCanvas C(200, 100);
  C.SetOrigin({5, 0});
  C.TextRect(TRect{10, 10, 60, 30}, 12, 12, "Hello");
  const std::string S = C.SvgText();
  const auto Clip = Elements(S, "clipPath");
  ASSERT_EQ(Clip.size(), 1u);
  const auto R = Elements(S, "rect");
  ASSERT_EQ(R.size(), 2u); // the clip and the brush
  EXPECT_EQ(R[0].at("x"), "15");
  EXPECT_EQ(R[0].at("width"), "50");
  const auto G = Elements(S, "g");
  ASSERT_EQ(G.size(), 1u);
  EXPECT_EQ(G[0].at("clip-path"), "url(#" + Clip[0].at("id") + ")");
  EXPECT_EQ(Elements(S, "text")[0].at("x"), "17");
}

TEST(SvgCanvas, ClipRectangleGroupsTheElementsDrawnUnderIt) {
  TSvgCanvas C(100, 80);
  C.SetOrigin({10, 0});
  C.SetClipRect(TRect{5, 5, 200, 40});
  EXPECT_EQ(C.ClipRect(), (TRect{5, 5, 90, 40})); // within the picture
  C.Rectangle(0, 0, 20, 20);
  C.MoveTo(0, 0);
  C.LineTo(50, 50);
  C.ResetClipRect();
  C.Rectangle(30, 30, 40, 40);
  const std::string S = C.SvgText();
  const auto Clip = Elements(S, "clipPath");
  ASSERT_EQ(Clip.size(), 1u);
  const std::size_t ClipAt = S.find("<clipPath"), GroupEnd = S.find("</g>");
  const auto R = Elements(S.substr(ClipAt), "rect");
  ASSERT_EQ(R.size(), 3u);
  EXPECT_EQ(R[0].at("x"), "15"); // the clip in picture coordinates
  EXPECT_EQ(R[0].at("y"), "5");
  EXPECT_EQ(R[0].at("width"), "85");
  EXPECT_EQ(R[0].at("height"), "35");
  EXPECT_EQ(R[1].at("x"), "10.5");           // origin applied
  EXPECT_LT(S.find("<path"), GroupEnd);      // the line is inside the group
  EXPECT_GT(S.find("x=\"40.5\""), GroupEnd); // the last rectangle is not
  EXPECT_EQ(C.ClipRect(), (TRect{-10, 0, 90, 80}));
}

TEST(SvgCanvas, PicturesAreEmbeddedAsPngData) {
  TBitmap B(3, 2);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 3; ++X) B.SetPixel(X, Y, RGB(uint8_t(40 * X), uint8_t(100 * Y), 7));
  TSvgCanvas C(100, 100);
  C.Draw(5, 6, B);
  C.StretchDraw(TRect{40, 10, 10, 30}, B); // mirrored left-right
  B.SetTransparent(true);
  C.Draw(50, 50, B);
  const std::string S = C.SvgText();
  const auto I = Elements(S, "image");
  ASSERT_EQ(I.size(), 4u); // the last picture has a mask image
  EXPECT_EQ(I[0].at("x"), "5");
  EXPECT_EQ(I[0].at("y"), "6");
  EXPECT_EQ(I[0].at("width"), "3");
  EXPECT_EQ(I[0].at("height"), "2");
  EXPECT_EQ(I[0].at("preserveAspectRatio"), "none");
  TBitmap Back;
  LoadDataUri(I[0].at("xlink:href"), Back);
  ASSERT_EQ(Back.Width(), 3);
  ASSERT_EQ(Back.Height(), 2);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 3; ++X) EXPECT_EQ(Back.GetPixel(X, Y), B.GetPixel(X, Y)) << X << "," << Y;
  EXPECT_EQ(I[1].at("x"), "10");
  EXPECT_EQ(I[1].at("width"), "30");
  EXPECT_NE(S.find("<g transform=\"matrix(-1 0 0 1 50 0)\">"), std::string::npos);
  const auto M = Elements(S, "mask");
  ASSERT_EQ(M.size(), 1u);
  EXPECT_EQ(I[3].at("mask"), "url(#" + M[0].at("id") + ")");
  TBitmap Mask;
  LoadDataUri(I[2].at("xlink:href"), Mask);
  EXPECT_EQ(Mask.GetPixel(0, 1), clBlack); // the bottom-left colour is transparent
  EXPECT_EQ(Mask.GetPixel(1, 1), clWhite);
}

TEST(SvgCanvas, CopyRectTakesThePartOnTheSourcePicture) {
  TBitmap Src(10, 10);
  TSvgCanvas C(100, 100);
  C.CopyRect(TRect{0, 0, 40, 40}, Src.Canvas(), TRect{-5, -5, 15, 15}); // twice the size
  const auto I = Elements(C.SvgText(), "image");
  ASSERT_EQ(I.size(), 1u);
  EXPECT_EQ(I[0].at("x"), "10");
  EXPECT_EQ(I[0].at("width"), "20");
  TSvgCanvas Other(10, 10); // a source without pixels copies nothing
  C.CopyRect(TRect{0, 0, 10, 10}, Other, TRect{0, 0, 10, 10});
  EXPECT_EQ(Elements(C.SvgText(), "image").size(), 1u);
}

TEST(SvgCanvas, DocumentIsWellFormedSvg) {
  SetFontEngine(BuiltinFontEngine());
  TSvgCanvas C(300, 200);
  TBitmap B(4, 4);
  C.SetClipRect(TRect{0, 0, 250, 150});
  C.MoveTo(1, 1);
  C.LineTo(100, 1);
  C.Pen().SetStyle(psDashDot);
  C.LineTo(100, 100);
  C.Brush().SetStyle(bsDiagCross);
  C.Rectangle(10, 10, 50, 50);
  C.Pie(0, 0, 80, 60, 5, 5, 70, 5);
  C.TextOut(5, 5, "<&>");
  C.ResetClipRect();
  C.Draw(0, 0, B);
  C.SetClipRect(TRect{10, 10, 20, 20});
  C.Ellipse(0, 0, 30, 30);
  C.MoveTo(0, 0);
  C.LineTo(5, 5); // left open as a run with the clip group open
  const std::string S = C.SvgText();
  std::string Why;
  EXPECT_TRUE(WellFormed(S, Why)) << Why << "\n" << S;
  EXPECT_EQ(S.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
  const auto Root = Elements(S, "svg");
  ASSERT_EQ(Root.size(), 1u);
  EXPECT_EQ(Root[0].at("xmlns"), "http://www.w3.org/2000/svg");
  EXPECT_EQ(Root[0].at("version"), "1.1");
  EXPECT_EQ(Root[0].at("viewBox"), "0 0 300 200");
  EXPECT_EQ(S, C.SvgText()); // reading the text changes nothing
  TStringStream Out;
  C.SaveToStream(Out);
  EXPECT_EQ(Out.DataString(), S);
  SetFontEngine(nullptr);
}

} // namespace
} // namespace zef
