// The built-in bitmap font: one design at character height 11 (cell 14 rows, ascent 11,
// descent 3), scaled to the requested height by the rules stated in fonts.h.
#include <algorithm>
#include <array>

#include "graphics/fonts.h"

namespace zef {

namespace {

struct TDesignGlyph {
  char32_t Code;      // 0 for the box drawn for missing characters
  uint8_t Advance;    // pixels at the design size
  std::array<uint16_t, 14> Rows;  // bit 0 = leftmost column
};

constexpr TDesignGlyph kGlyphs[] = {
#include "graphics/font_builtin_glyphs.inc"
};

constexpr int32_t kDesignEm = 11;       // character height = ascent
constexpr int32_t kDesignDescent = 3;
constexpr int32_t kDesignCell = kDesignEm + kDesignDescent;
constexpr std::size_t kAsciiGlyphs = 0x7F - 0x20;
constexpr std::size_t kBoxGlyph = kAsciiGlyphs + 0x60;

static_assert(std::size(kGlyphs) == kBoxGlyph + 1, "glyph table: U+0020..U+007E, U+00A0..U+00FF, box");

const TDesignGlyph& DesignGlyph(char32_t C) {
  if (C >= 0x20 && C < 0x7F) return kGlyphs[C - 0x20];
  if (C >= 0xA0 && C <= 0xFF) return kGlyphs[kAsciiGlyphs + (C - 0xA0)];
  return kGlyphs[kBoxGlyph];
}

int32_t FloorDiv(int32_t A, int32_t B) { return A / B - ((A % B != 0) && ((A < 0) != (B < 0))); }

class TBuiltinFace final : public TFontFace {
public:
  TBuiltinFace(int32_t Height, bool Bold, bool Italic) : FItalic(Italic) {
    if (Height < 0) {
      FAscent = -Height;
      FDescent = MulDiv(kDesignDescent, FAscent, kDesignEm);
    } else {
      FAscent = MulDiv(Height, kDesignEm, kDesignCell);
      FDescent = Height - FAscent;
    }
    FBold = Bold ? std::max(1, MulDiv(1, FAscent, kDesignEm)) : 0;
    const int32_t Cell = FAscent + FDescent;

    FMetrics.Height = Cell;
    FMetrics.Ascent = FAscent;
    FMetrics.Descent = FDescent;
    FMetrics.InternalLeading = FDescent;
    FMetrics.ExternalLeading = 0;
    FMetrics.AveCharWidth = MeasureAdvance(U'x');
    for (const TDesignGlyph& G : kGlyphs)
      FMetrics.MaxCharWidth = std::max(FMetrics.MaxCharWidth, ScaledAdvance(G) + FBold);
    FMetrics.Scalable = false;
    FMetrics.IsTrueType = false;

    const int32_t Line = std::max(1, MulDiv(1, FAscent, kDesignEm));
    FDecorations.UnderlineThickness = std::min(Line, std::max(Cell, 1));
    FDecorations.UnderlineTop =
        std::clamp(FAscent + MulDiv(1, FAscent, kDesignEm), 0, std::max(0, Cell - Line));
    FDecorations.StrikeOutThickness = FDecorations.UnderlineThickness;
    FDecorations.StrikeOutTop =
        std::clamp(FAscent - MulDiv(4, FAscent, kDesignEm), 0, std::max(0, Cell - Line));
  }

protected:
  int32_t MeasureAdvance(char32_t C) override { return ScaledAdvance(DesignGlyph(C)) + FBold; }

  TGlyphImage RenderGlyph(char32_t C, int32_t Angle, int32_t Phase) override {
    if (Angle != 0) return RotateGlyphImage(Glyph(C, 0, 0), Angle, Phase);
    TGlyphImage G = Scaled(DesignGlyph(C));
    if (FBold) G = Emboldened(G);
    if (FItalic) G = Slanted(G);
    return G;
  }

private:
  int32_t ScaledAdvance(const TDesignGlyph& G) const { return MulDiv(G.Advance, FAscent, kDesignEm); }

  // The design pixels resampled to the scaled advance and cell, 4 x 4 samples per pixel;
  // the ascent and descent parts scale separately, so the baseline stays on a pixel edge.
  // At whole multiples of the design size all samples of a pixel hit one design pixel.
  TGlyphImage Scaled(const TDesignGlyph& D) const {
    TGlyphImage G;
    G.Width = ScaledAdvance(D);
    G.Height = FAscent + FDescent;
    G.Left = 0;
    G.Top = -FAscent;
    G.Coverage.assign(static_cast<std::size_t>(G.Width) * G.Height, 0);
    if (G.Width == 0 || G.Height == 0) return G;
    std::array<int32_t, 4> Columns{};
    for (int32_t Y = 0; Y < G.Height; ++Y) {
      std::array<int32_t, 4> SourceRows{};
      for (int32_t J = 0; J < 4; ++J) {
        const int64_t S8 = 8 * Y + 2 * J + 1;  // the sample's y in eighths of a pixel
        SourceRows[J] = S8 < 8 * FAscent
                            ? static_cast<int32_t>(S8 * kDesignEm / (8 * FAscent))
                            : kDesignEm + static_cast<int32_t>((S8 - 8 * FAscent) * kDesignDescent /
                                                               (8 * FDescent));
      }
      for (int32_t X = 0; X < G.Width; ++X) {
        for (int32_t I = 0; I < 4; ++I)
          Columns[I] = static_cast<int32_t>((8 * int64_t(X) + 2 * I + 1) * D.Advance / (8 * int64_t(G.Width)));
        int32_t Hits = 0;
        for (int32_t J = 0; J < 4; ++J)
          for (int32_t I = 0; I < 4; ++I) Hits += (D.Rows[SourceRows[J]] >> Columns[I]) & 1;
        G.Coverage[static_cast<std::size_t>(Y) * G.Width + X] = static_cast<uint8_t>((Hits * 255 + 8) / 16);
      }
    }
    return G;
  }

  // Each pixel also inked FBold columns to its right.
  TGlyphImage Emboldened(const TGlyphImage& S) const {
    TGlyphImage G = S;
    G.Width = S.Width + FBold;
    G.Coverage.assign(static_cast<std::size_t>(G.Width) * G.Height, 0);
    for (int32_t Y = 0; Y < S.Height; ++Y)
      for (int32_t X = 0; X < S.Width; ++X) {
        const uint8_t V = S.Coverage[static_cast<std::size_t>(Y) * S.Width + X];
        for (int32_t K = 0; K <= FBold; ++K) {
          uint8_t& P = G.Coverage[static_cast<std::size_t>(Y) * G.Width + X + K];
          P = std::max(P, V);
        }
      }
    return G;
  }

  // Row y moves right by its height above the baseline / 4, rounded: the rows next to the
  // baseline stay, descenders move left.
  int32_t SlantShift(int32_t Row) const { return FloorDiv(2 * FAscent - 2 * Row + 3, 8); }

  TGlyphImage Slanted(const TGlyphImage& S) const {
    if (S.Height == 0) return S;
    const int32_t MaxShift = SlantShift(0), MinShift = SlantShift(S.Height - 1);
    TGlyphImage G;
    G.Left = S.Left + MinShift;
    G.Top = S.Top;
    G.Width = S.Width + MaxShift - MinShift;
    G.Height = S.Height;
    G.Coverage.assign(static_cast<std::size_t>(G.Width) * G.Height, 0);
    for (int32_t Y = 0; Y < S.Height; ++Y) {
      const int32_t Offset = SlantShift(Y) - MinShift;
      std::copy_n(S.Coverage.begin() + static_cast<std::ptrdiff_t>(Y) * S.Width, S.Width,
                  G.Coverage.begin() + static_cast<std::ptrdiff_t>(Y) * G.Width + Offset);
    }
    return G;
  }

  int32_t FAscent = 0;
  int32_t FDescent = 0;
  int32_t FBold = 0;
  bool FItalic = false;
};

class TBuiltinEngine final : public TFontEngine {
public:
  std::string Name() const override { return "Builtin"; }
  std::vector<std::string> Families() override { return {std::string(kBuiltinFontName)}; }
  bool FamilyIsScalable(const std::string&) override { return false; }

protected:
  std::shared_ptr<TFontFace> CreateFace(const std::string&, int32_t Height, bool Bold,
                                        bool Italic) override {
    return std::make_shared<TBuiltinFace>(Height, Bold, Italic);
  }
};

} // namespace

std::shared_ptr<TFontEngine> BuiltinFontEngine() {
  static const std::shared_ptr<TFontEngine> Engine = std::make_shared<TBuiltinEngine>();
  return Engine;
}

} // namespace zef
