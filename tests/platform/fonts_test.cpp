#include "graphics/fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "rtl/strings.h"

namespace zef {
namespace {

constexpr TColor kPaper = clWhite;

// Makes Engine the current engine for one test and restores the previous one.
class EngineScope {
public:
  explicit EngineScope(std::shared_ptr<TFontEngine> Engine) : FOld(CurrentFontEngine()) {
    SetFontEngine(std::move(Engine));
  }
  ~EngineScope() { SetFontEngine(FOld); }

private:
  std::shared_ptr<TFontEngine> FOld;
};

TFont MakeFont(const std::string& Name, int32_t Height, TFontStyles Style = {}, int32_t Orientation = 0,
               TColor Color = clBlack) {
  TFont F;
  F.SetName(Name);
  F.SetHeight(Height);
  F.SetStyle(Style);
  F.SetOrientation(Orientation);
  F.SetColor(Color);
  return F;
}

// The smallest rectangle holding every pixel that is not paper (empty rect when none).
TRect InkBox(const TBitmap& B) {
  TRect R{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t Y = 0; Y < B.Height(); ++Y)
    for (int32_t X = 0; X < B.Width(); ++X)
      if (B.GetPixel(X, Y) != kPaper) {
        R.Left = std::min(R.Left, X);
        R.Top = std::min(R.Top, Y);
        R.Right = std::max(R.Right, X + 1);
        R.Bottom = std::max(R.Bottom, Y + 1);
      }
  return R.Left == INT32_MAX ? TRect{} : R;
}

TRect Whole(const TBitmap& B) { return {0, 0, B.Width(), B.Height()}; }

// ---- Built-in font: exact metrics ----------------------------------------------------------

class FontBuiltin : public ::testing::Test {
protected:
  EngineScope Scope{BuiltinFontEngine()};
};

TEST_F(FontBuiltin, MetricsFollowTheHeight) {
  struct Case {
    int32_t Height, Cell, Ascent, Descent, AveCharWidth;
  };
  const Case Cases[] = {
      {-11, 14, 11, 3, 6},   // the design size
      {-22, 28, 22, 6, 12},  // twice the design size
      {-8, 10, 8, 2, 4},     // descent round(24 / 11) = 2, "x" round(48 / 11) = 4
      {-16, 20, 16, 4, 9},
      {0, 14, 11, 3, 6},     // 0 counts as -11
      {14, 14, 11, 3, 6},    // positive: the cell height
      {20, 20, 16, 4, 9},    // ascent round(220 / 14) = 16
      {1, 1, 1, 0, 1},
      {-5000, 2048 + 559, 2048, 559, 1117},  // clamped to -2048
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Height);
    const TFont F = MakeFont("Arial", C.Height);
    const TTextMetrics M = GetTextMetrics(F);
    EXPECT_EQ(M.Height, C.Cell);
    EXPECT_EQ(M.Ascent, C.Ascent);
    EXPECT_EQ(M.Descent, C.Descent);
    EXPECT_EQ(M.InternalLeading, C.Descent);
    EXPECT_EQ(M.ExternalLeading, 0);
    EXPECT_EQ(M.AveCharWidth, C.AveCharWidth);
    EXPECT_FALSE(M.Scalable);
    EXPECT_FALSE(M.IsTrueType);
    EXPECT_EQ(TextExtent(F, "Hg").cy, C.Cell);
    EXPECT_EQ(TextExtent(F, "").cy, C.Cell);
  }
  EXPECT_EQ(GetTextMetrics(MakeFont("Arial", -11)).MaxCharWidth, 10);  // "W"
  EXPECT_EQ(GetTextMetrics(MakeFont("Arial", -11, {fsBold})).MaxCharWidth, 11);
}

TEST_F(FontBuiltin, SizeAndHeight) {
  TFont F = MakeFont("Tahoma", -11);
  F.SetSize(8);  // 8 pt at 96 pixels per inch: character height 11
  EXPECT_EQ(F.Height(), -11);
  EXPECT_EQ(GetTextMetrics(F).Height, 14);
  F.SetPixelsPerInch(192);  // keeps the pixel height
  EXPECT_EQ(GetTextMetrics(F).Height, 14);
  F.SetSize(8);  // now 8 pt is 21 pixels
  EXPECT_EQ(F.Height(), -21);
  EXPECT_EQ(GetTextMetrics(F).Ascent, 21);
  EXPECT_EQ(GetTextMetrics(F).Descent, 6);
}

TEST_F(FontBuiltin, TextExtentIsTheSumOfAdvances) {
  struct Case {
    const char* Text;
    int32_t Height;
    TFontStyles Style;
    int32_t Width;
  };
  const Case Cases[] = {
      {"", -11, {}, 0},
      {"Hello", -11, {}, 23},          // H 7, e 6, l 2, l 2, o 6
      {"0123456789", -11, {}, 60},     // digits are all 6 wide
      {"1.5", -11, {}, 14},
      {"Hello", -22, {}, 46},          // exact double
      {"Hello", -12, {}, 26},          // each advance rounded: 8 + 7 + 2 + 2 + 7
      {"Hello", -11, {fsBold}, 28},    // + 1 per character
      {"Hello", -11, {fsItalic, fsUnderline, fsStrikeOut}, 23},
      {"A\nB\r\t", -11, {}, 14},       // control characters take no room
      {"Zo\u00EB \u00C5", -11, {}, 30}, // Z 7, o 6, e-diaeresis 6, space 3, A-ring 8
      {"\u4E2D\u20AC", -11, {}, 12},   // outside Latin-1: the box, 6 wide
      {"\xFF", -11, {}, 6},            // malformed UTF-8: U+FFFD, the box
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    const TSize E = TextExtent(MakeFont("Arial", C.Height, C.Style), C.Text);
    EXPECT_EQ(E.cx, C.Width);
  }
}

// ---- Drawing: placement, clipping, rotation ------------------------------------------------

class TextDrawBuiltin : public FontBuiltin {};

TEST_F(TextDrawBuiltin, InkLiesInTheCellAtXY) {
  TBitmap B(200, 60);
  const TFont F = MakeFont("Arial", -11);
  const std::string Text = "Hello, gypsy World|";
  const TSize E = TextExtent(F, Text);
  const TPoint Next = DrawText(B, Whole(B), 10, 20, Text, F, nullptr);
  EXPECT_EQ(Next, (TPoint{E.cx, 0}));
  const TRect Ink = InkBox(B);
  EXPECT_GE(Ink.Left, 10);
  EXPECT_GE(Ink.Top, 20);
  EXPECT_LE(Ink.Right, 10 + E.cx);
  EXPECT_LE(Ink.Bottom, 20 + E.cy);
  // "H" at the design size: its left stem covers cell rows 3..10 of column 0, crisply.
  for (int32_t Row = 0; Row < 14; ++Row)
    EXPECT_EQ(B.GetPixel(10, 20 + Row), Row >= 3 && Row <= 10 ? clBlack : kPaper) << Row;
  // "|" reaches from row 2 to row 12 (the design's full height).
  EXPECT_EQ(Ink.Top, 22);
  EXPECT_EQ(Ink.Bottom, 33);
}

TEST_F(TextDrawBuiltin, WritesOnlyInsideTheClipAndTheBitmap) {
  const TFont F = MakeFont("Arial", -16, {fsUnderline, fsItalic});
  struct Case {
    TRect Clip;
    int32_t X, Y;
  };
  const Case Cases[] = {
      {{15, 22, 40, 30}, 10, 20},
      {{-100, -100, 1000, 1000}, -7, -5},  // clip beyond the bitmap, text off its corner
      {{0, 0, 80, 50}, 60, 40},            // text runs off the bottom-right
      {{30, 30, 30, 40}, 10, 20},          // empty clip
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.X);
    TBitmap B(80, 50);
    TBitmap Full(80, 50);
    DrawText(B, C.Clip, C.X, C.Y, "Clipped text gyp", F, nullptr);
    DrawText(Full, Whole(Full), C.X, C.Y, "Clipped text gyp", F, nullptr);
    int32_t Inside = 0;
    for (int32_t Y = 0; Y < B.Height(); ++Y)
      for (int32_t X = 0; X < B.Width(); ++X) {
        const bool In = PtInRect(C.Clip, {X, Y});
        EXPECT_EQ(B.GetPixel(X, Y), In ? Full.GetPixel(X, Y) : kPaper) << X << "," << Y;
        Inside += In && B.GetPixel(X, Y) != kPaper;
      }
    if (C.Clip.Width() > 0) {
      EXPECT_GT(Inside, 0);
    }
  }
}

TEST_F(TextDrawBuiltin, OpaqueBackgroundFillsTheCell) {
  TBitmap B(100, 40);
  const TFont F = MakeFont("Arial", -11);
  const TColor Back = clYellow;
  DrawText(B, Whole(B), 5, 7, "Fill me", F, &Back);
  const TSize E = TextExtent(F, "Fill me");
  for (int32_t Y = 0; Y < B.Height(); ++Y)
    for (int32_t X = 0; X < B.Width(); ++X) {
      const TColor P = B.GetPixel(X, Y);
      if (PtInRect(Bounds(5, 7, E.cx, E.cy), {X, Y}))
        EXPECT_TRUE(P == Back || P == clBlack) << X << "," << Y;
      else
        EXPECT_EQ(P, kPaper) << X << "," << Y;
    }
  // A system colour is resolved.
  const TColor Sys = clBtnFace;
  DrawText(B, Whole(B), 5, 7, "Fill me", F, &Sys);
  EXPECT_EQ(B.GetPixel(5, 7), ColorToRGB(clBtnFace));
}

TEST_F(TextDrawBuiltin, UnderlineAndStrikeOutRows) {
  TBitmap B(60, 20);
  const TFont F = MakeFont("Arial", -11, {fsUnderline, fsStrikeOut}, 0, clRed);
  const int32_t W = DrawText(B, Whole(B), 0, 0, "a a", F, nullptr).X;
  for (int32_t X = 0; X < 60; ++X) {
    EXPECT_EQ(B.GetPixel(X, 12), X < W ? clRed : kPaper) << X;  // underline row
    EXPECT_EQ(B.GetPixel(X, 7), X < W ? clRed : kPaper) << X;   // strike-out row
  }
}

TEST_F(TextDrawBuiltin, LowPixelFormatsQuantise) {
  TBitmap B(80, 20);
  B.SetPixelFormat(pf1bit);
  DrawText(B, Whole(B), 0, 0, "grey edges", MakeFont("Arial", -13), nullptr);
  int32_t Ink = 0;
  for (int32_t Y = 0; Y < B.Height(); ++Y)
    for (int32_t X = 0; X < B.Width(); ++X) {
      const TColor P = B.GetPixel(X, Y);
      EXPECT_TRUE(P == clBlack || P == clWhite) << X << "," << Y;
      Ink += P == clBlack;
    }
  EXPECT_GT(Ink, 0);
}

// Right-angle rotations: the picture is the upright one turned about (X, Y), pixel for pixel,
// for both engines.
class TextRotation : public ::testing::TestWithParam<std::string> {};

TEST_P(TextRotation, QuarterTurnsAreExactRotations) {
  auto Engine = GetParam() == "Builtin" ? BuiltinFontEngine() : FreeTypeFontEngine();
  if (GetParam() == "FreeType" && Engine->Families().empty()) GTEST_SKIP() << "no fonts";
  EngineScope Scope(Engine);
  const std::string Text = "Rotate gyp";
  const TFont Upright = MakeFont("DejaVu Sans", -13, {fsUnderline});
  TBitmap Ref(120, 40);
  const TColor Back = clAqua;
  DrawText(Ref, Whole(Ref), 20, 10, Text, Upright, &Back);
  const TSize E = TextExtent(Upright, Text);

  struct Turn {
    int32_t Orientation;
    TPoint Advance;
    // Where the upright pixel (u, v) of the cell goes, relative to (X, Y).
    TPoint (*Map)(int32_t U, int32_t V);
  };
  const Turn Turns[] = {
      {900, {0, -E.cx}, [](int32_t U, int32_t V) { return TPoint{V, -U - 1}; }},
      {1800, {-E.cx, 0}, [](int32_t U, int32_t V) { return TPoint{-U - 1, -V - 1}; }},
      {-900, {0, E.cx}, [](int32_t U, int32_t V) { return TPoint{-V - 1, U}; }},  // = 270
  };
  for (const Turn& T : Turns) {
    SCOPED_TRACE(T.Orientation);
    TBitmap B(200, 200);
    const int32_t X = 100, Y = 100;
    TFont F = Upright;
    F.SetOrientation(T.Orientation);
    EXPECT_EQ(DrawText(B, Whole(B), X, Y, Text, F, &Back), T.Advance);
    TBitmap Expected(200, 200);
    for (int32_t V = -10; V < 30; ++V)
      for (int32_t U = -20; U < 100; ++U) {
        const TPoint P = T.Map(U, V);
        Expected.SetPixel(X + P.X, Y + P.Y, Ref.GetPixel(20 + U, 10 + V));
      }
    int32_t Differences = 0;
    for (int32_t PY = 0; PY < 200; ++PY)
      for (int32_t PX = 0; PX < 200; ++PX) Differences += B.GetPixel(PX, PY) != Expected.GetPixel(PX, PY);
    EXPECT_EQ(Differences, 0);
    // The background covers exactly the turned cell.
    const TRect Box = InkBox(B);
    const bool Swap = T.Orientation % 1800 != 0;
    EXPECT_EQ(Box.Width(), Swap ? E.cy : E.cx);
    EXPECT_EQ(Box.Height(), Swap ? E.cx : E.cy);
  }
}

INSTANTIATE_TEST_SUITE_P(FontEngines, TextRotation, ::testing::Values("Builtin", "FreeType"));

TEST_F(TextDrawBuiltin, Rotation90OccupiesTheTransposedBox) {
  TBitmap B(60, 80);
  const TFont F = MakeFont("Arial", -11, {}, 900);
  const TColor Back = clLime;
  DrawText(B, Whole(B), 10, 70, "Upwards", F, &Back);
  const TSize E = TextExtent(F, "Upwards");
  EXPECT_EQ(InkBox(B), (TRect{10, 70 - E.cx, 10 + E.cy, 70}));
}

TEST_F(TextDrawBuiltin, AnyAngleStaysNearTheTurnedCell) {
  TBitmap B(200, 200);
  const TFont F = MakeFont("Arial", -16, {}, 450);
  const TColor Back = clSilver;
  const TPoint Next = DrawText(B, Whole(B), 60, 140, "Forty-five", F, &Back);
  const TSize E = TextExtent(F, "Forty-five");
  const double R = std::sqrt(0.5);
  EXPECT_EQ(Next, (TPoint{static_cast<int32_t>(std::lround(E.cx * R)),
                          static_cast<int32_t>(std::lround(-E.cx * R))}));
  // Every written pixel's centre lies within a pixel of the turned cell, and the fill covers
  // about its area.
  int32_t Written = 0;
  for (int32_t Y = 0; Y < 200; ++Y)
    for (int32_t X = 0; X < 200; ++X) {
      if (B.GetPixel(X, Y) == kPaper) continue;
      ++Written;
      const double DX = X + 0.5 - 60, DY = Y + 0.5 - 140;
      const double U = DX * R - DY * R, V = DX * R + DY * R;
      EXPECT_TRUE(U > -1.5 && U < E.cx + 1.5 && V > -1.5 && V < E.cy + 1.5) << X << "," << Y;
    }
  EXPECT_NEAR(Written, E.cx * E.cy, E.cx + E.cy);
}

// ---- FreeType ------------------------------------------------------------------------------

class FontFreeType : public ::testing::Test {
protected:
  void SetUp() override {
    const auto Names = FreeTypeFontEngine()->Families();
    if (std::find(Names.begin(), Names.end(), "DejaVu Sans") == Names.end())
      GTEST_SKIP() << "DejaVu Sans is not installed";
  }
  EngineScope Scope{FreeTypeFontEngine()};
};

TEST_F(FontFreeType, MetricsOfAKnownFace) {
  const TTextMetrics M = GetTextMetrics(MakeFont("DejaVu Sans", -11));
  EXPECT_EQ(M.Ascent + M.Descent, M.Height);
  EXPECT_EQ(M.InternalLeading, M.Height - 11);
  EXPECT_GE(M.Height, 12);
  EXPECT_LE(M.Height, 14);
  EXPECT_GE(M.Descent, 2);
  EXPECT_LE(M.Descent, 4);
  EXPECT_TRUE(M.Scalable);
  EXPECT_TRUE(M.IsTrueType);
  EXPECT_GT(M.AveCharWidth, 4);
  EXPECT_GT(M.MaxCharWidth, M.AveCharWidth);
  EXPECT_EQ(TextExtent(MakeFont("DejaVu Sans", -11), "").cy, M.Height);
  EXPECT_EQ(TextExtent(MakeFont("DejaVu Sans", -11), ",").cy, M.Height);

  for (int32_t Cell : {9, 20, 37}) {  // a positive Height is the cell
    const TTextMetrics P = GetTextMetrics(MakeFont("DejaVu Sans", Cell));
    EXPECT_EQ(P.Height, Cell);
    EXPECT_EQ(P.Ascent + P.Descent, Cell);
  }
  // Twice the size, about twice the width.
  const int32_t W11 = TextExtent(MakeFont("DejaVu Sans", -11), "Hamburgefonstiv").cx;
  const int32_t W22 = TextExtent(MakeFont("DejaVu Sans", -22), "Hamburgefonstiv").cx;
  EXPECT_NEAR(W22, 2 * W11, W11 / 8);
}

TEST_F(FontFreeType, MissingNamesMapToInstalledFaces) {
  const char* Names[] = {"Arial", "Helvetica", "Tahoma", "Verdana", "MS Sans Serif", "Segoe UI",
                         "Times New Roman", "Courier New", "No Such Font 123"};
  for (const char* Name : Names) {
    SCOPED_TRACE(Name);
    const TTextMetrics M = GetTextMetrics(MakeFont(Name, -12));
    EXPECT_TRUE(M.Scalable);
    EXPECT_EQ(M.Ascent + M.Descent, M.Height);
    EXPECT_TRUE(FontIsScalable(Name));
    const int32_t W = TextExtent(MakeFont(Name, -12), "Hello").cx;
    EXPECT_GT(W, 15);
    EXPECT_LT(W, 50);
  }
  // The monospaced substitute keeps every advance equal.
  const TFont Mono = MakeFont("Courier New", -12);
  EXPECT_EQ(TextExtent(Mono, "iiii").cx, TextExtent(Mono, "MMMM").cx);
  EXPECT_NE(TextExtent(MakeFont("Arial", -12), "iiii").cx, TextExtent(MakeFont("Arial", -12), "MMMM").cx);
  // The built-in font stays reachable by name.
  EXPECT_FALSE(GetTextMetrics(MakeFont(std::string(kBuiltinFontName), -11)).Scalable);
  EXPECT_FALSE(FontIsScalable(std::string(kBuiltinFontName)));
}

TEST_F(FontFreeType, BoldIsWiderAndSynthesisedWhenMissing) {
  const std::string Text = "The quick brown fox";
  for (const char* Name : {"DejaVu Sans", "Arial", "DejaVu Math TeX Gyre"}) {
    SCOPED_TRACE(Name);
    const int32_t Regular = TextExtent(MakeFont(Name, -13), Text).cx;
    const int32_t Bold = TextExtent(MakeFont(Name, -13, {fsBold}), Text).cx;
    EXPECT_GT(Bold, Regular);
  }
  // A family without a slanted face gets a slanted copy: the ink of "l" leans right. (This
  // maths face has a very tall cell: ascent and descent cover its large operators.)
  TBitmap Up(40, 120), Slant(40, 120);
  DrawText(Up, Whole(Up), 10, 5, "l", MakeFont("DejaVu Math TeX Gyre", -20), nullptr);
  DrawText(Slant, Whole(Slant), 10, 5, "l", MakeFont("DejaVu Math TeX Gyre", -20, {fsItalic}), nullptr);
  EXPECT_GT(InkBox(Slant).Width(), InkBox(Up).Width());
}

TEST_F(FontFreeType, GlyphsBlendInTheFontColour) {
  TBitmap B(200, 40);
  const TFont F = MakeFont("DejaVu Sans", -15, {}, 0, clRed);
  const TSize E = TextExtent(F, "Hamburgefonstiv");
  DrawText(B, Whole(B), 10, 8, "Hamburgefonstiv", F, nullptr);
  int32_t Partial = 0, Full = 0;
  for (int32_t Y = 0; Y < B.Height(); ++Y)
    for (int32_t X = 0; X < B.Width(); ++X) {
      const TColor P = B.GetPixel(X, Y);
      if (P == kPaper) continue;
      // Between red and white: full red, the other channels equal and in between.
      EXPECT_EQ(GetRValue(P), 255);
      EXPECT_EQ(GetGValue(P), GetBValue(P));
      Partial += GetGValue(P) > 0 && GetGValue(P) < 255;
      Full += P == clRed;
      // Inside the cell (a pixel of slack for antialiased edges left and right).
      EXPECT_TRUE(X >= 9 && X <= 10 + E.cx && Y >= 8 && Y < 8 + E.cy) << X << "," << Y;
    }
  EXPECT_GT(Partial, 20);
  EXPECT_GT(Full, 20);
}

TEST_F(FontFreeType, OpaqueBackgroundFillsTheCell) {
  TBitmap B(150, 40);
  const TFont F = MakeFont("Arial", -12);
  const TColor Back = clNavy;
  DrawText(B, Whole(B), 3, 4, "Opaque", F, &Back);
  const TSize E = TextExtent(F, "Opaque");
  EXPECT_EQ(InkBox(B), Bounds(3, 4, E.cx, E.cy));
  EXPECT_EQ(B.GetPixel(3, 4), clNavy);
  EXPECT_EQ(B.GetPixel(3 + E.cx - 1, 4 + E.cy - 1), clNavy);
}

// ---- Engines and the font list -------------------------------------------------------------

// A minimal engine: every character 5 pixels wide, drawn as a solid block.
class BlockFace final : public TFontFace {
public:
  BlockFace() {
    FMetrics.Height = 10;
    FMetrics.Ascent = 8;
    FMetrics.Descent = 2;
  }

protected:
  int32_t MeasureAdvance(char32_t) override { return 5; }
  TGlyphImage RenderGlyph(char32_t, int32_t Angle, int32_t Phase) override {
    TGlyphImage G{0, -8, 4, 10, std::vector<uint8_t>(40, 255)};
    return Angle == 0 ? G : RotateGlyphImage(G, Angle, Phase);
  }
};

class BlockEngine final : public TFontEngine {
public:
  std::string Name() const override { return "Blocks"; }
  std::vector<std::string> Families() override { return {"Blocks"}; }
  bool FamilyIsScalable(const std::string&) override { return false; }

protected:
  std::shared_ptr<TFontFace> CreateFace(const std::string&, int32_t, bool, bool) override {
    return std::make_shared<BlockFace>();
  }
};

TEST(FontEngine, CustomEngineServesTheTextFunctions) {
  EngineScope Scope(std::make_shared<BlockEngine>());
  const TFont F = MakeFont("Anything", -30);
  EXPECT_EQ(TextExtent(F, "abc"), (TSize{15, 10}));
  TBitmap B(30, 20);
  DrawText(B, Whole(B), 2, 3, "ab", F, nullptr);
  EXPECT_EQ(InkBox(B), (TRect{2, 3, 11, 13}));
  EXPECT_EQ(B.GetPixel(6, 5), kPaper);  // the gap between the blocks
  EXPECT_EQ(InstalledFonts(), (std::vector<std::string>{"Blocks", std::string(kBuiltinFontName)}));
}

TEST(FontEngine, SelectionAndEnvironment) {
  const auto Old = CurrentFontEngine();
  SetFontEngine(BuiltinFontEngine());
  EXPECT_EQ(CurrentFontEngine()->Name(), "Builtin");

  const char* Saved = std::getenv("ZEF_FONT_ENGINE");
  const std::string SavedValue = Saved ? Saved : "";
  ::setenv("ZEF_FONT_ENGINE", "builtin", 1);
  SetFontEngine(nullptr);
  EXPECT_EQ(CurrentFontEngine()->Name(), "Builtin");
  ::unsetenv("ZEF_FONT_ENGINE");
  SetFontEngine(nullptr);
  EXPECT_EQ(CurrentFontEngine()->Name(),
            FreeTypeFontEngine()->Families().empty() ? "Builtin" : "FreeType");
  if (Saved) ::setenv("ZEF_FONT_ENGINE", SavedValue.c_str(), 1);
  SetFontEngine(Old);
}

TEST(FontEngine, InstalledFontsAreSortedAndUnique) {
  for (auto Engine : {BuiltinFontEngine(), FreeTypeFontEngine()}) {
    SCOPED_TRACE(Engine->Name());
    EngineScope Scope(Engine);
    const auto Names = InstalledFonts();
    ASSERT_FALSE(Names.empty());
    for (std::size_t I = 1; I < Names.size(); ++I) EXPECT_LT(CompareText(Names[I - 1], Names[I]), 0);
    EXPECT_TRUE(FontIsInstalled("zef builtin"));
    EXPECT_FALSE(FontIsScalable(std::string(kBuiltinFontName)));
    EXPECT_FALSE(FontIsInstalled("No Such Font 123"));
    if (Engine == FreeTypeFontEngine() && !Engine->Families().empty()) {
      EXPECT_TRUE(FontIsInstalled("DejaVu Sans"));
      EXPECT_TRUE(FontIsScalable("DejaVu Sans"));
    }
  }
}

} // namespace
} // namespace zef
