// TScale: one axis — a base line with ticks, tick labels and a unit caption along one edge of
// a rectangle — as a stand-alone control with a background, a 3-D frame and rescaling with
// the mouse, and as the axis painter that charts, colour scales and gauges own and let draw
// onto their own off-screen canvas. Also Rescale, the axis-drag arithmetic shared with the
// chart's axes.
//
// Contents
//   1. Types                   3. TScale: drawing and painting
//   2. TScale: settings        4. Free functions
//
// Coordinates. The scale maps values to pixels of its own rectangle (Width x Height): the
// axis runs between the margins, from RangeLow at the left (horizontal) or bottom (vertical)
// end to RangeHigh at the other end; RangeLow > RangeHigh reverses the axis. ScaleType names
// the edge of the rectangle the base line lies on and so the side of the labels:
//   sctXB  line near the bottom edge, ticks and labels above it (the top axis of a chart)
//   sctXT  line near the top edge, ticks and labels below it (the bottom axis of a chart)
//   sctYL  line near the left edge, labels right of it (the right axis of a chart)
//   sctYR  line near the right edge, labels left of it (the left axis of a chart)
//
// Ticks. Linear axes take their steps from CalcScalePars (1-2-5 series, at least MinTicks
// labelled ticks); logarithmic axes tick the decades (and 2 to 9 times them, 2 and 5
// labelled, when MinTicks asks for more ticks than there are decades); time axes (seconds) use steps of 1 ms to
// 12 h; date-time axes (days since 1899-12-30) tick seconds, minutes, hours, days, months or
// years. Every drawn tick is reported by OnScaleTickDrawn and every label passes
// OnBeforeTickLabel. The first 250 recorded ticks can be read back with TickPos.
//
// Use as a painter (inside another component): create the scale with the component as owner,
// SetIsHelperComponent(true), SetTransparent(true), give it the owner's size with SetBounds,
// UseForeignCanvas(&Bitmap.Canvas(), 0, 0), and leave SuppressPaint on (it stays on because
// the painter never gets a window). Set the axis settings through the setters, then call
// ForcePaint() to draw once onto the foreign canvas; no setter paints while SuppressPaint is
// on. DrawHorizScale and DrawVertScale draw the ticks, labels and caption alone onto any canvas.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ZEF_zefbase.h"
#include "controls/controls.h"
#include "graphics/canvas.h"

namespace zef {

// ---- 1. Types -----------------------------------------------------------------------------

// Where the unit caption is anchored along the axis: at its low-coordinate end (left or top),
// its centre, or its high-coordinate end (right or bottom).
enum TScaleUnitAnchor : uint8_t { uaSclTopLft, uaSclCenter, uaSclBotRgt };

// After each drawn tick line: its value and the pixel of its foot on the base line.
using TScaleTickDrawnEvent =
    std::function<void(TObject* Sender, TCanvas& Canvas, TScaleType ScaleType,
                       double CurrentTickPos, int32_t ChartX, int32_t ChartY)>;
// Before each tick label (and each date line under a time label) is drawn; the handler may
// replace TickLabel.
using TBeforeTickLabelEvent = std::function<void(TObject* Sender, TScaleType ScaleType,
                                                 double CurrentTickPos, std::string& TickLabel)>;
// Before and after the scale is drawn, with the canvas it is drawn on.
using TScaleRenderedEvent = std::function<void(TObject* Sender, TCanvas& Canvas)>;

// At most this many tick positions are recorded; later ticks are drawn but not recorded.
inline constexpr int32_t MaxRecordedTicks = 250;

// ---- 2. TScale: settings ------------------------------------------------------------------

class TScale : public TCustomControl {
public:
  // A 400 x 400 scale with the defaults listed at each setter, painting suppressed.
  explicit TScale(TComponent* AOwner);
  ~TScale() override;

  // ---- Range and transform ----
  double RangeLow() const { return FRangeLow; }
  double RangeHigh() const { return FRangeHigh; }
  // Default 0 and 100. Setting one end to the value of the other moves the other end to the
  // new value + 1 (so RangeHigh := RangeLow reverses the axis).
  void SetRangeLow(double Value);
  void SetRangeHigh(double Value);
  // Both ends; equal ends give LowVal .. LowVal + 1.
  void SetRange(double LowVal, double HighVal);
  // (RangeLow + RangeHigh) / 2.
  double Center() const { return (FRangeLow + FRangeHigh) / 2; }
  bool Logarithmic() const { return FLogarithmic; }
  // Default false. Switching on is accepted while loading; afterwards only when both range
  // ends are >= 1e-100 and LabelType is not ftDateTime. Switching off always works.
  void SetLogarithmic(bool Value);
  TScaleType ScaleType() const { return FScaleType; }
  void SetScaleType(TScaleType Value);  // default sctXB

  // The value at pixel p along the axis (x for horizontal, y for vertical types) and back:
  // pixel = round(k * v + d) (k * ln v + d on a logarithmic axis), clamped into
  // +-2147483647. On a logarithmic axis values <= 1e-100 go to the low end's side of the
  // rectangle (pixel 0 or Width for horizontal, Height or 0 for vertical types). An axis
  // without extent (margins filling the rectangle) maps every value to the middle and every
  // pixel to Center().
  int32_t ConvertToPixelCoords(double Value) const;
  double ConvertPixelToScale(int32_t PixelCoord) const;
  // Recomputes k and d from range, margins, size and scale type (the setters do this).
  void CalcTransform();

  // ---- Ticks and labels ----
  TFigType LabelType() const { return FLabelType; }
  // Default ftNum. ftDateTime switches Logarithmic off; ftTime sets DecPlaces to 4.
  void SetLabelType(TFigType Value);
  int32_t DecPlaces() const { return FDecPlaces; }
  // Decimals of number labels, clamped into -3..12: -1 scientific, -2 automatic, -3 automatic
  // with exponent-only labels on logarithmic axes. Default -2.
  void SetDecPlaces(int32_t Value);
  int32_t MinTicks() const { return FMinTicks; }
  // The desired minimum number of labelled ticks: 0, or clamped into 2..10. Default 3.
  void SetMinTicks(int32_t Value);
  bool ShortTicks() const { return FShortTicks; }
  void SetShortTicks(bool Value);  // default true
  bool ShowBaseLine() const { return FShowBaseLine; }
  void SetShowBaseLine(bool Value);  // default true
  // Applied to each non-empty number label: its first "&" is replaced by the label, or,
  // without "&", the inscription goes in front of it ("x=" gives "x=5", "& V" gives "5 V").
  const std::string& ScaleInscript() const { return FScaleInscript; }
  void SetScaleInscript(const std::string& Value);
  // The labels of LabelType ftUserText, separated by "|": the n-th labelled tick shows the
  // n-th field (nothing when there are fewer fields).
  const std::string& UserTickText() const { return FUserTickText; }
  void SetUserTickText(const std::string& Value);
  // Date and time label settings; defaults tfHHMMSS, date separator '-', time separator ':',
  // ylYYYY, month names on, dtOnePerDay, doDDMMYY. Setting copies; a change repaints.
  TDTLabel& DateFormat() { return FDateFormat; }
  const TDTLabel& DateFormat() const { return FDateFormat; }
  void SetDateFormat(const TDTLabel& Value);

  // The recorded tick positions, 1-based, in drawing order from RangeLow towards RangeHigh
  // (the short ticks when ShortTicks is on, else the labelled ticks); 0 outside 1..NumTicks.
  double TickPos(int32_t ix) const;
  double GetTickPos(int32_t ix) const { return TickPos(ix); }
  int32_t NumTicks() const { return static_cast<int32_t>(FTickPos.size()); }

  // ---- Unit caption ----
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);  // default empty: no caption
  // Offset of the caption from its anchor on the base line; default (4, 4).
  int32_t CaptionPosX() const { return FCaptionPosX; }
  int32_t CaptionPosY() const { return FCaptionPosY; }
  void SetCaptionPosX(int32_t Value);
  void SetCaptionPosY(int32_t Value);
  TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment Value);  // default taCenter
  TScaleUnitAnchor CaptionAnchor() const { return FCaptionAnchor; }
  void SetCaptionAnchor(TScaleUnitAnchor Value);  // default uaSclTopLft

  // ---- Margins (pixels from the edges of the rectangle; default 20, negative becomes 0) ----
  int32_t MarginTop() const { return FMarginTop; }
  int32_t MarginBottom() const { return FMarginBottom; }
  int32_t MarginLeft() const { return FMarginLeft; }
  int32_t MarginRight() const { return FMarginRight; }
  void SetMarginTop(int32_t Value);
  void SetMarginBottom(int32_t Value);
  void SetMarginLeft(int32_t Value);
  void SetMarginRight(int32_t Value);

  // ---- Looks ----
  // Colour of base line, ticks and label texts; default black.
  TColor ColorScale() const { return FColorScale; }
  void SetColorScale(TColor Value);
  TColor ColorBackGnd() const { return FColorBackGnd; }
  void SetColorBackGnd(TColor Value);  // default clBtnFace
  // The frame's light and grey lines: csBWG white and $808080, csSystem the system button
  // highlight and shadow colours; the dark line is black. Default csBWG.
  TColorScheme ColorScheme() const { return FColorScheme; }
  void SetColorScheme(TColorScheme Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value);  // default fsLowered
  // A transparent scale draws straight onto its target, without background and frame.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);  // default false

  // ---- Mouse ----
  // maPan, maZoom and maZoomDrag let a drag with the left button rescale the axis; a double
  // click toggles between maPan and maZoom. Default maNone.
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode Value) { FMouseAction = Value; }

  // ---- Painter mode ----
  // A helper component belongs to another component and paints only onto its foreign canvas
  // (not even in design mode while invisible).
  bool IsHelperComponent() const { return FIsHelperComponent; }
  void SetIsHelperComponent(bool Value);
  int32_t ForeignCanvasPosX() const { return FForeignCanvasPosX; }
  int32_t ForeignCanvasPosY() const { return FForeignCanvasPosY; }
  void SetForeignCanvasPosX(int32_t Value) { FForeignCanvasPosX = Value; }
  void SetForeignCanvasPosY(int32_t Value) { FForeignCanvasPosY = Value; }
  // From now on the scale paints onto ForeignCv (not owned; it must outlive this use) with
  // its top-left corner at (x, y) instead of onto its own window; null returns to normal
  // painting.
  void UseForeignCanvas(TCanvas* ForeignCv, int32_t x, int32_t y);
  TCanvas* ForeignCanvas() const { return FForeignCanvas; }
  // While set, nothing paints. Set on creation, cleared (without painting) when the scale
  // is put on a parent.
  bool SuppressPaint() const { return FSuppressPaint; }
  void SetSuppressPaint(bool Value) { FSuppressPaint = Value; }
  // The first parent ends the paint suppression of creation (the window now exists).
  void SetParent(TWinControl* NewParent) override;

  // Restores every setting above to its default and repaints.
  void ResetComp();
  // The change handler of DateFormat: repaints.
  void Changed(TObject* Sender);
  // From another TScale: every setting above (also the events, the transform, the recorded
  // ticks, the foreign canvas position and SuppressPaint; not the foreign canvas itself nor
  // the size), then repaints. Another class raises EConvertError.
  void Assign(const TPersistent& Source) override;

  // ---- 3. Drawing and painting ----
  // Paints once even while SuppressPaint is set (onto the foreign canvas when one is set).
  void ForcePaint();
  // Draws the ticks, labels and unit caption of a horizontal (sctXB, sctXT) scale with its
  // base line at y0, or of a vertical (sctYL, sctYR) scale with its base line at x0, onto
  // Canvas, and records the tick positions. Ticks use the canvas's pen, texts its font in
  // ColorScale with a clear brush (brush style and font colour are restored afterwards). A
  // call that does not fit ScaleType draws nothing. The base line is the painting frame's.
  void DrawHorizScale(TCanvas& Canvas, int32_t y0);
  void DrawVertScale(TCanvas& Canvas, int32_t x0);

  TScaleTickDrawnEvent OnScaleTickDrawn;
  TBeforeTickLabelEvent OnBeforeTickLabel;
  TScaleRenderedEvent OnBeforeScaleRendered;
  TScaleRenderedEvent OnAfterScaleRendered;
  TZoomPanEvent OnZoomPan;

protected:
  void Paint() override;
  void PaintControl(TBitmap& Surface, TPoint Offset, const TRect& Clip) override;
  void Resize() override;
  void Loaded() override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void DblClick() override;

private:
  friend class TTickDrawer;
  bool IsHoriz() const { return FScaleType == sctXB || FScaleType == sctXT; }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  // Repaints at once (opaque or helper scales) or invalidates (transparent ones).
  void UpdateScale();
  // The painting frame: background, ticks, base line, frame, events.
  void PaintScale();
  void SetDefaults();
  void RecordTick(double Pos);

  double FRangeLow = 0;
  double FRangeHigh = 100;
  bool FLogarithmic = false;
  TScaleType FScaleType = sctXB;
  TFigType FLabelType = ftNum;
  int32_t FDecPlaces = -2;
  int32_t FMinTicks = 3;
  bool FShortTicks = true;
  bool FShowBaseLine = true;
  std::string FScaleInscript;
  std::string FUserTickText;
  TDTLabel FDateFormat;
  std::string FCaption;
  int32_t FCaptionPosX = 4;
  int32_t FCaptionPosY = 4;
  TAlignment FCaptionAlignment = taCenter;
  TScaleUnitAnchor FCaptionAnchor = uaSclTopLft;
  int32_t FMarginTop = 20;
  int32_t FMarginBottom = 20;
  int32_t FMarginLeft = 20;
  int32_t FMarginRight = 20;
  TColor FColorScale = clBlack;
  TColor FColorBackGnd = clBtnFace;
  TColorScheme FColorScheme = csBWG;
  TColor FFrameColorLight = clWhite;
  TColor FFrameColorGray = clGray;
  TColor FFrameColorDark = clBlack;
  TFrameStyle FFrameStyle = fsLowered;
  bool FTransparent = false;
  TMouseActMode FMouseAction = maNone;
  bool FIsHelperComponent = false;
  int32_t FForeignCanvasPosX = 0;
  int32_t FForeignCanvasPosY = 0;
  TCanvas* FForeignCanvas = nullptr;
  bool FSuppressPaint = true;
  bool FHadParent = false;
  // The transform: pixel = FK * v + FD (v = ln value on a logarithmic axis).
  double FK = 1;
  double FD = 0;
  std::vector<double> FTickPos;
  // The drag anchor: mouse position and range at the first move with the button held.
  int32_t FAnchorX = 0;
  int32_t FAnchorY = 0;
  double FAnchorLow = 0;
  double FAnchorHigh = 0;
  bool FLeftButtonDown = false;
};

// ---- 4. Free functions --------------------------------------------------------------------

// The new range of an axis dragged with the mouse from the anchor pixel AnchorPos (x for a
// horizontal, y for a vertical ScaleType) to (X, Y). RangeHigh and RangeLow are the axis's
// current ends (used by the logarithmic pan), Lo and Hi its ends when the drag began; the
// margins and size are the caller's (a chart's rims and size, or a stand-alone scale's
// margins and size). MouseAction:
//   maPan       the range moves with the mouse;
//   maZoom      the end farther from the anchor stays, the value under the anchor follows
//               the mouse;
//   maZoomDrag  the range shrinks or grows symmetrically about its centre.
// Returns true with the new ends in NewLo and NewHi; false (no change, NewLo and NewHi
// untouched) for any other MouseAction, an axis without extent, a drag onto the fixed end
// or a result that is not finite or collapses the range.
bool Rescale(int32_t X, int32_t Y, int32_t AnchorPos, double RangeHigh, double RangeLow,
             bool Logarithmic, TScaleType ScaleType, TMouseActMode MouseAction, double Lo,
             double Hi, int32_t LRim, int32_t RRim, int32_t TRim, int32_t BRim, int32_t Width,
             int32_t Height, double& NewLo, double& NewHi);

} // namespace zef
