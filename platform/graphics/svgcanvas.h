// TSvgCanvas: a canvas that records its drawing as an SVG 1.1 document instead of pixels.
// Components draw on it exactly as on a bitmap's canvas; SvgText() gives the picture as
// vector graphics of Width x Height user units (one unit per pixel).
//
// Coordinates follow the raster canvas: pixel (x, y) is the unit square [x, x+1) x [y, y+1),
// so a one-pixel line through pixel centres lies at x + 0.5. A LineTo ends half a pixel
// before its end point's centre, which leaves the end pixel out as on a bitmap; wide pens
// have round caps and joins and, for even widths, sit half a pixel right and down. Shapes
// keep their pixel boxes: Rectangle and Ellipse cover x1..x2-1 by y1..y2-1, the pen centred
// on the outline as the raster canvas centres it. Styled one-pixel pens become dash arrays
// of the raster dash lengths (the pattern continues from LineTo to LineTo until MoveTo);
// with a solid brush the gaps show in the brush colour. Hatched brushes are 8 x 8 patterns
// aligned to the surface, like the raster hatches.
//
// What SVG cannot record: FloodFill draws nothing (the picture under it is unknown);
// Pixels reads clNone; the pen modes draw as pmCopy, except pmBlack and pmWhite (black and
// white) and pmNop (nothing); copy modes draw as cmSrcCopy, except cmNotSrcCopy (inverted
// picture), cmBlackness and cmWhiteness (black and white boxes). Text is recorded as
// <text> in the font's family, pixel size and styles with the width measured by the font
// engine (textLength), so a viewer with other fonts keeps the layout.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/canvas.h"

namespace zef {

class TStream;

class TSvgCanvas : public TCanvas {
public:
  // A picture of Width x Height pixels (negative sizes count as 0).
  TSvgCanvas(int32_t Width, int32_t Height);

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }

  // The clip rectangle in logical coordinates, as on TCanvas; ClipRect() is the effective
  // clip (the clip rectangle within the picture).
  void SetClipRect(const TRect& R) override;
  void ResetClipRect() override;
  TRect ClipRect() const override;

  void MoveTo(int32_t X, int32_t Y) override;
  void LineTo(int32_t X, int32_t Y) override;
  void Polyline(const TPoint* Points, std::size_t Count) override;
  using TCanvas::Polyline;
  void Polygon(const TPoint* Points, std::size_t Count) override;
  using TCanvas::Polygon;
  void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) override;
  using TCanvas::Rectangle;
  void RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3) override;
  void FillRect(const TRect& R) override;
  void FrameRect(const TRect& R) override;
  void Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) override;
  using TCanvas::Ellipse;
  void Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
           int32_t Y4) override;
  void Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
           int32_t Y4) override;
  void Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
             int32_t Y4) override;
  // Not representable: draws nothing.
  void FloodFill(int32_t X, int32_t Y, TColor Color, TFillStyle FillStyle) override;
  TColor Pixels(int32_t X, int32_t Y) const override;
  // A 1 x 1 square in the colour.
  void SetPixels(int32_t X, int32_t Y, TColor Color) override;
  void TextOut(int32_t X, int32_t Y, std::string_view Text) override;
  void TextRect(const TRect& R, int32_t X, int32_t Y, std::string_view Text) override;
  using TCanvas::TextRect;
  // Pictures are embedded as PNG data; a transparent bitmap gets a mask of its
  // transparent colour.
  void Draw(int32_t X, int32_t Y, const TBitmap& Picture) override;
  void StretchDraw(const TRect& R, const TBitmap& Picture) override;
  // Copies from a canvas with a target bitmap; other sources draw nothing.
  void CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect) override;

  // The complete standalone SVG 1.1 document of everything drawn so far (UTF-8).
  std::string SvgText() const;
  void SaveToFile(const std::string& FileName) const;
  void SaveToStream(TStream& Stream) const;

private:
  struct TPt {
    int64_t X, Y;
    friend bool operator==(const TPt&, const TPt&) = default;
  };
  // A stroke as SVG attributes; Gap is the colour under the dash gaps (empty for none).
  struct TStroke {
    std::string Attributes;
    std::string Gap;
    std::string GapAttributes;
    bool Dashed = false;
  };
  // Consecutive LineTo segments, collected into one path.
  struct TRun {
    std::vector<TPt> Points; // device coordinates
    std::string Key;         // the stroke and clip it was started with
    bool Thin = true;
    int32_t Width = 1;
    TStroke Stroke;
  };
  struct TClipState {
    bool On = false;
    int64_t L = 0, T = 0, R = 0, B = 0; // device coordinates
    friend bool operator==(const TClipState&, const TClipState&) = default;
  };

  // The clip the next element needs: On with the device rectangle, or the whole picture.
  TClipState WantedClip() const;
  bool GroupMatchesClip() const;
  void SyncClip(); // opens the clip group the current clip needs
  void Begin();    // before an element: ends the LineTo run, syncs the clip
  void FlushRun();
  std::string RunText(const TRun& Run, double Phase) const;
  bool PenVisible() const;
  bool BrushVisible() const;
  std::string PenColor() const;
  std::string BrushFill(bool UsePenMode);
  TStroke MakeStroke(bool Dashed) const;
  // One element, or two for a dashed stroke over its gap colour; Extra goes on the stroke.
  static std::string ElementText(const std::string& Geometry, const std::string& Fill,
                                 const TStroke* Stroke, const std::string& Extra);
  void PenBox(int64_t L, int64_t T, int64_t R, int64_t B);
  void DrawBox(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t EW, int64_t EH,
               bool IsEllipse);
  void DrawArc(int Kind, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
               int32_t X4, int32_t Y4);
  void EmitText(int64_t X, int64_t Y, std::string_view Text, bool Background);
  void EmitImage(const TBitmap& Picture, int64_t SL, int64_t ST, int64_t SR, int64_t SB, double X0,
                 double Y0, double X1, double Y1, bool UseTransparency, bool Smooth);
  std::string NewId(char Prefix);

  int32_t FWidth;
  int32_t FHeight;
  std::string FBody;
  bool FSvgHasClip = false;
  TRect FSvgClip;
  TClipState FGroup; // the clip of the open <g>, if any
  TRun FRun;
  double FRunPhase = 0; // dash position where the run starts
  double FPhase = 0;    // dash position after the last LineTo, in pixels
  std::set<std::string> FPatterns;
  int32_t FNextId = 0;
};

} // namespace zef
