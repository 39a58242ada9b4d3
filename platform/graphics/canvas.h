// TCanvas: the drawing state (pen, brush, font, pen position, copy mode, clip rectangle,
// origin) and the drawing operations, rasterised exactly onto a TBitmap.
//
// Pixel rules (every primitive touches each pixel at most once, so xor drawing twice
// restores the picture):
//   - LineTo draws from the pen position up to but not including the end point and moves
//     the pen there; Polyline is MoveTo + LineTo to each following point.
//   - Rectangle, Ellipse, RoundRect, Pie and Chord cover x1..x2-1 by y1..y2-1: the outline in
//     the pen, the inside in the brush. FillRect covers the same pixels with the brush only.
//   - Polygon closes itself and fills by the alternate (even-odd) rule.
//   - Lines and fills are aliased. A pen wider than one pixel draws solid whatever its style.
//   - Coordinates are logical: the origin is added to give surface pixels. Everything is
//     clipped to the clip rectangle and the surface; nothing is drawn outside.
// A derived canvas (the vector recorder) overrides the virtual operations.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/drawtools.h"
#include "rtl/types.h"

namespace zef {

namespace raster { struct TRowSet; }

// Raster operations of CopyRect and Draw (ternary raster-operation codes).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// FloodFill: fsSurface fills the area of the given colour, fsBorder fills up to a border of it.
enum TFillStyle : uint8_t { fsSurface, fsBorder };

// StretchDraw: nearest pixel, or the average over each destination pixel's source area
// (when shrinking; enlarging always takes the nearest pixel).
enum TStretchMode : uint8_t { smNearest, smAreaAverage };

// Text alignment flags of TextRect.
enum TTextFormatFlag : uint32_t {
  tfLeft = 0, tfCenter = 1, tfRight = 2, tfTop = 0, tfVerticalCenter = 4, tfBottom = 8,
  tfSingleLine = 0x20, tfEndEllipsis = 0x8000
};

class TCanvas : public TPersistent {
public:
  // A canvas on Target (not owned; the bitmap owns its canvas). A canvas without a target
  // draws nothing and measures text with its font.
  explicit TCanvas(TBitmap* Target = nullptr);
  ~TCanvas() override;

  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }
  TFont& Font() { return FFont; }
  const TPen& Pen() const { return FPen; }
  const TBrush& Brush() const { return FBrush; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value) { FFont.Assign(Value); }
  void SetPen(const TPen& Value) { FPen.Assign(Value); }
  void SetBrush(const TBrush& Value) { FBrush.Assign(Value); }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint P) { FPenPos = P; }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TStretchMode StretchMode() const { return FStretchMode; }
  void SetStretchMode(TStretchMode Value) { FStretchMode = Value; }

  // The origin is added to every logical coordinate. The clip rectangle is in logical
  // coordinates; ClipRect() reports the effective one (clip rectangle and surface).
  TPoint Origin() const { return FOrigin; }
  void SetOrigin(TPoint P) { FOrigin = P; }
  virtual TRect ClipRect() const;
  virtual void SetClipRect(const TRect& R);
  virtual void ResetClipRect();
  bool HasClipRect() const { return FHasClip; }

  TBitmap* Target() const { return FTarget; }
  void SetTarget(TBitmap* Target) { FTarget = Target; }
  // Whether this canvas draws printer pages (marks and frames draw their printer forms).
  virtual bool IsPrinterCanvas() const { return FIsPrinter; }
  void SetPrinterCanvas(bool Value) { FIsPrinter = Value; }

  // ---- Lines and shapes ----
  virtual void MoveTo(int32_t X, int32_t Y);
  virtual void LineTo(int32_t X, int32_t Y);
  virtual void Polyline(const TPoint* Points, std::size_t Count);
  void Polyline(const std::vector<TPoint>& Points) { Polyline(Points.data(), Points.size()); }
  virtual void Polygon(const TPoint* Points, std::size_t Count);
  void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), Points.size()); }
  virtual void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  virtual void RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3);
  virtual void FillRect(const TRect& R);
  // A one-pixel frame of the rectangle in the brush colour.
  virtual void FrameRect(const TRect& R);
  virtual void Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  // Arcs of the ellipse in the bounding box (X1, Y1)-(X2, Y2), counter-clockwise from the
  // ray towards (X3, Y3) to the ray towards (X4, Y4); the radial points may lie far away.
  virtual void Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                   int32_t X4, int32_t Y4);
  virtual void Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                   int32_t X4, int32_t Y4);
  virtual void Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                     int32_t X4, int32_t Y4);
  virtual void FloodFill(int32_t X, int32_t Y, TColor Color, TFillStyle FillStyle);

  // ---- Pixels ----
  // clNone outside the surface or the clip rectangle.
  virtual TColor Pixels(int32_t X, int32_t Y) const;
  virtual void SetPixels(int32_t X, int32_t Y, TColor Color);

  // ---- Text ----
  // The top-left corner of the text cell goes to (X, Y); line feeds are not interpreted. With
  // a solid brush the cell is filled with the brush colour first. The font's Orientation
  // rotates the text about (X, Y). The pen position moves to the end of the text.
  virtual void TextOut(int32_t X, int32_t Y, std::string_view Text);
  // TextOut clipped to R.
  virtual void TextRect(const TRect& R, int32_t X, int32_t Y, std::string_view Text);
  // Text laid out in R by the tfXxx flags (one line).
  virtual void TextRect(const TRect& R, std::string_view Text, uint32_t Flags);
  TSize TextExtent(std::string_view Text) const;
  int32_t TextWidth(std::string_view Text) const { return TextExtent(Text).cx; }
  int32_t TextHeight(std::string_view Text) const { return TextExtent(Text).cy; }

  // ---- Pictures ----
  // Draws the bitmap with its top-left corner at (X, Y); a transparent bitmap leaves the
  // pixels of its transparent colour out.
  virtual void Draw(int32_t X, int32_t Y, const TBitmap& Picture);
  // Scales the bitmap into R by the stretch mode.
  virtual void StretchDraw(const TRect& R, const TBitmap& Picture);
  // Copies Source's SourceRect onto Dest by the copy mode, scaling when the sizes differ.
  virtual void CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect);

  void Assign(const TPersistent& Source) override;

protected:
  // Surface coordinates of the effective clip (empty when there is no target).
  TRect DeviceClip() const;

private:
  enum TShapeKind : uint8_t { skBox, skEllipse, skRoundRect };
  enum TArcKind : uint8_t { akArc, akPie, akChord };
  void PaintShape(raster::TRowSet& Outline, raster::TRowSet& Fill, bool DashedOutline);
  void DrawClosedShape(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, TShapeKind Kind, int64_t EW, int64_t EH);
  void DrawArcShape(TArcKind Kind, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                    int32_t X4, int32_t Y4);
  void Blit(const TBitmap& Src, int64_t SL, int64_t ST, int64_t SW, int64_t SH, int64_t DL, int64_t DT,
            int64_t DW, int64_t DH, TCopyMode Rop, bool Average, bool UseTransparency);

  int64_t FDashPhase = 0;  // position in the pen's dash pattern, carried from LineTo to LineTo
  TBitmap* FTarget;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
  TPoint FOrigin;
  TRect FClip;
  bool FHasClip = false;
  bool FIsPrinter = false;
  TCopyMode FCopyMode = cmSrcCopy;
  TStretchMode FStretchMode = smNearest;
};

} // namespace zef
