// Text: font engines, and the functions that measure and draw one line of UTF-8 text on a
// bitmap (the canvas calls them from TextOut, TextRect and TextExtent).
//
// An engine turns a TFont (name, height, bold, italic) into a TFontFace: metrics, advances
// and glyph coverage images, all cached. Two engines exist: FreeType with fontconfig (the
// default; antialiased outline fonts, names the system lacks mapped to DejaVu or Liberation
// faces) and a built-in bitmap font whose metrics are exact and the same on every machine
// (for tests). The process-wide current engine serves every text call; setting the
// environment variable ZEF_FONT_ENGINE=builtin (or =freetype) picks the first one.
//
// Heights follow TFont: a negative Height is the character height (the em size in pixels),
// the cell being ascent + descent from the font's own metrics; a positive Height is the cell
// height. Height 0 counts as -11; heights beyond 2048 pixels are clamped. A text line's
// height is always the full cell height, whatever the characters.
//
// Layout: the advance of a string is the sum of its characters' advances (no kerning).
// Control characters (below U+0020 and U+007F..U+009F, so also line feeds) take no room and
// draw nothing. Malformed UTF-8 shows as U+FFFD.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/drawtools.h"
#include "rtl/types.h"

namespace zef {

// The family name of the built-in bitmap font.
inline constexpr std::string_view kBuiltinFontName = "Zef Builtin";
// Cell heights and character heights are clamped to this many pixels.
inline constexpr int32_t kMaxFontPixels = 2048;

// The metrics of a font at its pixel size, in pixels. Height = Ascent + Descent (the cell);
// InternalLeading = Height - character height; ExternalLeading is the extra gap the font
// asks for between lines.
struct TTextMetrics {
  int32_t Height = 0;
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t InternalLeading = 0;
  int32_t ExternalLeading = 0;
  int32_t AveCharWidth = 0;
  int32_t MaxCharWidth = 0;
  bool Scalable = false;   // an outline font
  bool IsTrueType = false; // an outline font in an sfnt (TrueType or OpenType) file
};

// Where a face draws underline and strike-out: the first row, counted from the top of the
// cell, and the thickness in rows.
struct TTextDecorations {
  int32_t UnderlineTop = 0;
  int32_t UnderlineThickness = 1;
  int32_t StrikeOutTop = 0;
  int32_t StrikeOutThickness = 1;
};

// A glyph's coverage: Width x Height bytes row by row, 0 = paper ... 255 = ink. Its
// top-left pixel lies at (Left, Top) from the pen position on the baseline, y downwards.
struct TGlyphImage {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Coverage;
};

// A font realised at one pixel size and style. Caches advances and glyph images (a few
// thousand glyphs or 32 MiB per face).
class TFontFace {
public:
  virtual ~TFontFace() = default;

  const TTextMetrics& Metrics() const { return FMetrics; }
  const TTextDecorations& Decorations() const { return FDecorations; }

  // The advance of code point C in whole pixels.
  int32_t Advance(char32_t C);
  // The image of C rotated by Angle tenths of a degree counter-clockwise (0..3599), drawn
  // with the pen offset by (Phase % 4, Phase / 4) quarter pixels right and down (used at
  // angles that are not multiples of 90 degrees; 0 otherwise). Multiples of 90 degrees are
  // exact rotations of the upright image. The reference stays valid until the next call.
  const TGlyphImage& Glyph(char32_t C, int32_t Angle, int32_t Phase);

protected:
  virtual int32_t MeasureAdvance(char32_t C) = 0;
  // The image at Angle 0 with Phase 0, or at an angle that is not a multiple of 90 degrees.
  virtual TGlyphImage RenderGlyph(char32_t C, int32_t Angle, int32_t Phase) = 0;
  // Upright image Source turned by Angle with the pen offset by Phase, resampled 4 x 4 per
  // pixel (for engines without outlines).
  static TGlyphImage RotateGlyphImage(const TGlyphImage& Source, int32_t Angle, int32_t Phase);

  TTextMetrics FMetrics;
  TTextDecorations FDecorations;

private:
  std::vector<int32_t> FLatin1Advances;  // -1 = not measured yet
  std::unordered_map<char32_t, int32_t> FOtherAdvances;
  std::unordered_map<uint64_t, TGlyphImage> FGlyphs;
  std::size_t FGlyphBytes = 0;
};

// A source of faces. Faces are cached by family name, height and bold/italic; underline
// and strike-out are drawn by the text functions, so they are not part of a face. The text
// functions hold one process-wide lock while they use an engine, so engines and faces need
// no locks of their own; code calling Face or a face directly must not race with them.
class TFontEngine {
public:
  virtual ~TFontEngine() = default;

  // "FreeType" or "Builtin" for the engines of this library.
  virtual std::string Name() const = 0;
  // The family names this engine finds on the system, sorted and unique.
  virtual std::vector<std::string> Families() = 0;
  // Whether text in this family draws with an outline font (after name substitution).
  virtual bool FamilyIsScalable(const std::string& Family) = 0;

  // The cached face for Font's name, height and bold/italic styles.
  std::shared_ptr<TFontFace> Face(const TFont& Font);

protected:
  // A new face; Height is already normalised (non-zero, within kMaxFontPixels).
  virtual std::shared_ptr<TFontFace> CreateFace(const std::string& Family, int32_t Height,
                                                bool Bold, bool Italic) = 0;

private:
  struct TFaceKey {
    std::string Family;
    int32_t Height;
    bool Bold;
    bool Italic;
    friend bool operator==(const TFaceKey&, const TFaceKey&) = default;
  };
  struct TFaceKeyHash {
    std::size_t operator()(const TFaceKey& K) const;
  };
  std::unordered_map<TFaceKey, std::shared_ptr<TFontFace>, TFaceKeyHash> FFaces;
  TFaceKey FLastKey{"", 0, false, false};
  std::shared_ptr<TFontFace> FLastFace;
};

// ---- Engines -------------------------------------------------------------------------------

// The FreeType + fontconfig engine (one per process). Family names are matched by
// fontconfig; names the system lacks map to DejaVu or Liberation faces ("Arial",
// "Helvetica", "Tahoma", "Verdana", "MS Sans Serif", "Segoe UI" to the sans faces, "Times New
// Roman" to the serif faces, "Courier New" to the monospaced faces). Bold and italic are
// synthesised (outline widened by max(1, round(em / 24)) pixels, which the advance gains too;
// 12-degree slant) when the matched face is not bold or italic itself. Ascent
// and descent are the font's OS/2 winAscent/winDescent (else hhea) scaled to the pixel size.
// A name fontconfig cannot resolve to a loadable file, and kBuiltinFontName, give the
// built-in font.
std::shared_ptr<TFontEngine> FreeTypeFontEngine();

// The built-in bitmap font "Zef Builtin" (one per process): Latin-1 (U+0020..U+007E and
// U+00A0..U+00FF); other code points draw as a box. Every name gives this font. Its metrics,
// for the character height h (= -Height; for a positive Height H, h = round(11 H / 14)):
//   Ascent = h, Descent = round(3 h / 11) (for a positive Height: H - h), cell = Ascent +
//   Descent, InternalLeading = Descent, ExternalLeading = 0;
//   advance of a character = round(a h / 11), a being its advance at the design size 11
//   (space 3, digits 6, "a" 6, "i" 2, "m" 8, "A" 8, "W" 10); bold adds max(1, round(h / 11))
//   to every advance; AveCharWidth is the advance of "x", MaxCharWidth the largest advance.
//   ("round" is to the nearest integer, halves up.) At h = 11 and its multiples the glyphs
//   are the design pixels (repeated h / 11 times); at other sizes they are resampled, with
//   grey edges. Italic shifts each row right by a quarter of its height above the baseline
//   (rounded to whole pixels).
std::shared_ptr<TFontEngine> BuiltinFontEngine();

// The engine the text functions use. Until SetFontEngine is called it is the built-in one
// when ZEF_FONT_ENGINE=builtin, or when FreeType finds no font; otherwise FreeType.
std::shared_ptr<TFontEngine> CurrentFontEngine();
// Replaces the current engine; a null engine restores the default choice.
void SetFontEngine(std::shared_ptr<TFontEngine> Engine);

// ---- Text ----------------------------------------------------------------------------------

TTextMetrics GetTextMetrics(const TFont& Font);

// Width = the sum of the advances, height = the cell height.
TSize TextExtent(const TFont& Font, std::string_view Utf8Text);

// Draws one line of text into Target with the top-left corner of its cell at (X, Y) in
// surface pixels, in ColorToRGB(Font.Color()) blended by glyph coverage. With
// OpaqueBackground the text cell (width = the advance) is first filled with that colour.
// Font.Orientation() turns the text counter-clockwise about (X, Y); multiples of 90 degrees
// are pixel-exact rotations of the upright text. Underline and strike-out run the length of
// the advance. Only pixels inside DeviceClip and the bitmap are written; pixels of bitmaps
// whose format quantises are quantised. Returns the point where the next text would start,
// relative to (X, Y).
TPoint DrawText(TBitmap& Target, const TRect& DeviceClip, int32_t X, int32_t Y,
                std::string_view Utf8Text, const TFont& Font, const TColor* OpaqueBackground);

// ---- Installed fonts -----------------------------------------------------------------------

// The current engine's families and kBuiltinFontName, sorted ignoring case, unique.
std::vector<std::string> InstalledFonts();
// Whether Name (ignoring case) is one of InstalledFonts().
bool FontIsInstalled(const std::string& Name);
// Whether text in font Name draws with an outline font in the current engine (substitutes
// count: with FreeType "Arial" is scalable when a Liberation or DejaVu face stands in).
bool FontIsScalable(const std::string& Name);

} // namespace zef
