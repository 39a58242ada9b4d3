// The chart engine: a two-layer display list of fixed-size item records, drawn through
// world-to-pixel transforms with scales, grid, annotations, text labels and cross-hairs.
//
// The application draws into a chart with pen-plotter commands (MoveTo, DrawTo, MarkAt,
// Line, Text ...); each appends one 104-byte TrcChartItem to the data container (or, in
// AnnoMode, to the annotation container). ShowGraf replays the containers through each
// item's layer transform onto an off-screen data-area bitmap and copies it to the control.
//
// Contents
//   1. Enumerations and the item record (TrcChartItem, its byte form)
//   2. Settings objects: TScaleProps, TBakGndImg, TJointLayers, TTextLabel
//   3. TCustomRIrove: items, container, layers and sharing, scales and transforms,
//      rendering and outputs
//   4. TRIrove
//
// Coordinates: world coordinates are the scale units of a layer; pixel coordinates of R2M
// and M2R are control pixels (top left of the control is (0, 0)); pixel values stored in
// annotation items count from the top left corner of the data area. Every drawn coordinate
// is clamped into -30000..30000, so huge zoom factors never overflow the canvas.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ZEF_Scale.h"
#include "ZEF_zefbase.h"
#include "classes/tset.h"
#include "controls/controls.h"
#include "graphics/bitmap.h"
#include "graphics/canvas.h"

namespace zef {

class TCustomRIrove;

ZEF_DECLARE_EXCEPTION(EZEFRIroveError, EZEFError);

// ---- 1. Enumerations and the item record --------------------------------------------------

// Item kinds; tkEverything and tkNotMoveTo are never stored, they select in queries.
enum TrcItem : uint8_t {
  tkNone, tkMarkAt, tkLine, tkLineto, tkRect, tkRectFrame, tk3DBar, tkText, tkMoveTo,
  tkEllipse, tkEverything, tkNotMoveTo, tkMoveRelPix, tkLineRelPix, tkArrow, tkDoubleArrow,
  tkTextOfs, tkRectRelPix, tkMarkEBar, tkLineOffs, tkArc, tkLineRelPixOrig, tkCursorVert,
  tkCursorHoriz
};
constexpr int kNumItemKinds = tkCursorHoriz + 1;

// Which values of an annotation item are world coordinates and which are data-area pixels.
enum TCoordMode : uint8_t {
  cmAllWorld, cmAllScreen, cmWorldMainScreenSec, cmScreenMainWorldSec, cmXScreenYWorld,
  cmXWorldYScreen
};

enum TTextBkg : uint8_t { tbClear, tbSolid };
enum GridStyleType : uint8_t {
  gsNone, gsPoints, gsVertLines, gsHorizLines, gsLines, gsHorizDotLines, gsVertDotLines,
  gsDotLines
};
enum TBGAreaMode : uint8_t {
  bamNone, bamLeft, bamRight, bamTop, bamBottom, bamVStripe, bamHStripe, bamRect, bamRectInv,
  bamVStripeInv, bamHStripeInv
};
enum TCaptionAnchorHoriz : uint8_t {
  cahControlLeft, cahChartLeft, cahChartCenter, cahChartRight, cahControlRight
};
enum TCaptionAnchorVert : uint8_t {
  cavControlTop, cavChartTop, cavChartCenter, cavChartBottom, cavControlBottom
};
// The five standard arrangements of margins, caption and scales.
enum TrcLayout : uint8_t {
  rcl_X1Bottom_Y1Left, rcl_X1Bottom_Y2Left, rcl_X1Bottom_Y2Both, rcl_X2Bottom_Y2Left,
  rcl_X2Both_Y2Both
};
enum TScaleLocationHoriz : uint8_t { slTop, slBottom };
enum TScaleLocationVert : uint8_t { slLeft, slRight };

// A set of layer numbers: TLayerSet{liLayer1, liLayer2}.
enum TLayerIndex : uint8_t { liNone, liLayer1, liLayer2 };
using TLayerSet = TSet<TLayerIndex, 3>;

// One chart item: exactly 104 bytes, the record of the chart files. The explicit padding
// members are kept zero; ChartItemToBytes and ChartItemFromBytes give the byte form.
struct TrcChartItem {
  double x = 0;
  double y = 0;
  double x2 = 0;
  double y2 = 0;
  TColor Color = 0;
  TColor FillColor = 0;
  TColor ShadowColor = 0;
  TColor HiLightColor = 0;
  TPenStyle PenStyle = psSolid;
  uint8_t Pad49[3] = {0, 0, 0};
  int32_t Tag = 0;
  int32_t LWid = 0;  // line width; long-text slot (0 = none) for text kinds
  uint8_t ItemClass = 0;
  TrcItem ItemKind = tkNone;
  uint8_t Pad62[2] = {0, 0};
  int32_t Layer = 1;
  bool Transp = false;
  TFrameStyle FrameStyle = fsNone;
  // Short string: length byte, then up to 17 single-byte (Windows-1252) characters.
  std::array<uint8_t, 18> Text{};
  int32_t Param1 = 0;
  int32_t Param2 = 0;
  int32_t Param3 = 0;
  TCoordMode CoordMode = cmAllWorld;
  uint8_t Pad101[3] = {0, 0, 0};
};
static_assert(sizeof(TrcChartItem) == 104, "TrcChartItem must be 104 bytes");

constexpr std::size_t kChartItemSize = 104;
// Writes the record little-endian with zero padding into Out (104 bytes).
void ChartItemToBytes(const TrcChartItem& Item, uint8_t* Out);
// Reads a record written by ChartItemToBytes. Out-of-range enumeration bytes become tkNone
// (kind), psSolid, fsNone and cmAllWorld; a length byte above 17 is cut to 17.
TrcChartItem ChartItemFromBytes(const uint8_t* In);
// The Text field as UTF-8.
std::string ChartItemText(const TrcChartItem& Item);
// Stores at most MaxChars characters of Text (UTF-8) into the Text field as Windows-1252;
// characters the code page cannot hold are lost.
void SetChartItemText(TrcChartItem& Item, const std::string& Text, int MaxChars = 15);

// ---- 2. Settings objects -----------------------------------------------------------------

// The settings of one chart axis. Every setter fires OnChange; the chart re-applies them
// to its painter, re-forces both layers' ranges and repaints.
class TScaleProps : public TPersistent {
public:
  TScaleProps();
  ~TScaleProps() override;

  double RangeLow() const { return FRangeLow; }
  double RangeHigh() const { return FRangeHigh; }
  // Setting one end closer than MinRange to the other moves the other end to exactly
  // MinRange away; otherwise a value below 1e-100 is ignored on a logarithmic axis.
  void SetRangeLow(double Value);
  void SetRangeHigh(double Value);
  double MinRange() const { return FMinRange; }
  // Values <= 1e-100 are ignored; a narrower current span is widened about its midpoint.
  void SetMinRange(double Value);
  bool Logarithmic() const { return FLogarithmic; }
  // Switching on (after loading) needs both ends >= 1e-100 and a label type other than
  // ftDateTime; otherwise it is refused.
  void SetLogarithmic(bool Value);
  TFigType LabelType() const { return FLabelType; }
  // ftDateTime switches Logarithmic off; ftTime sets DecPlaces to 4.
  void SetLabelType(TFigType Value);
  int32_t DecPlaces() const { return FDecPlaces; }
  void SetDecPlaces(int32_t Value);  // clamped into -3..12
  TDTLabel& DateFormat() { return FDateFormat; }
  const TDTLabel& DateFormat() const { return FDateFormat; }
  void SetDateFormat(const TDTLabel& Value);
  int32_t MinTicks() const { return FMinTicks; }
  void SetMinTicks(int32_t Value);
  bool ShortTicks() const { return FShortTicks; }
  void SetShortTicks(bool Value);
  const std::string& ScaleInscript() const { return FScaleInscript; }
  void SetScaleInscript(const std::string& Value);
  const std::string& UserTickText() const { return FUserTickText; }
  void SetUserTickText(const std::string& Value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  int32_t CaptionPosX() const { return FCaptionPosX; }
  int32_t CaptionPosY() const { return FCaptionPosY; }
  void SetCaptionPosX(int32_t Value);
  void SetCaptionPosY(int32_t Value);
  TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment Value);
  TScaleUnitAnchor CaptionAnchor() const { return FCaptionAnchor; }
  void SetCaptionAnchor(TScaleUnitAnchor Value);
  TColor ColorScale() const { return FColorScale; }
  void SetColorScale(TColor Value);
  // A change of the font fires OnChange.
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value);
  int32_t ScalePos() const { return FScalePos; }
  void SetScalePos(int32_t Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode Value);
  TScaleType ScaleType() const { return FScaleType; }
  void SetScaleType(TScaleType Value);
  double Center() const { return (FRangeLow + FRangeHigh) / 2; }

  // While loading, Logarithmic is taken as stored; EndLoading starts checking it.
  bool Loading() const { return FLoading; }
  void SetLoading(bool Value) { FLoading = Value; }
  // Stores both ends directly, without the setters' rules and without OnChange.
  void StoreRange(double Low, double High) { FRangeLow = Low; FRangeHigh = High; }

  void Changed();
  // Copies every field including the change handler.
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  double FRangeLow = 0;
  double FRangeHigh = 1;
  double FMinRange = 1e-10;
  bool FLogarithmic = false;
  TFigType FLabelType = ftNum;
  int32_t FDecPlaces = -2;
  TDTLabel FDateFormat;
  int32_t FMinTicks = 3;
  bool FShortTicks = true;
  std::string FScaleInscript;
  std::string FUserTickText;
  std::string FCaption;
  int32_t FCaptionPosX = 0;
  int32_t FCaptionPosY = 0;
  TAlignment FCaptionAlignment = taCenter;
  TScaleUnitAnchor FCaptionAnchor = uaSclTopLft;
  TColor FColorScale = clBlack;
  TFont FFont;
  int32_t FScalePos = 0;
  bool FVisible = false;
  TMouseActMode FMouseAction = maNone;
  TScaleType FScaleType = sctXT;
  bool FLoading = false;
};

// A horizontal axis: slTop puts the axis line at the painter's bottom edge (sctXB),
// slBottom at its top edge (sctXT).
class TScalePropsHoriz : public TScaleProps {
public:
  TScaleLocationHoriz ScaleLocation() const { return ScaleType() == sctXB ? slTop : slBottom; }
  void SetScaleLocation(TScaleLocationHoriz Value) { SetScaleType(Value == slTop ? sctXB : sctXT); }
};

// A vertical axis: slLeft is scale type sctYR, slRight sctYL.
class TScalePropsVert : public TScaleProps {
public:
  TScalePropsVert() { SetScaleType(sctYR); }
  TScaleLocationVert ScaleLocation() const { return ScaleType() == sctYL ? slRight : slLeft; }
  void SetScaleLocation(TScaleLocationVert Value) { SetScaleType(Value == slRight ? sctYL : sctYR); }
};

// The background of the data area: an image file, or a coloured area in world coordinates
// of the active layer. Every setter fires OnChange.
class TBakGndImg : public TPersistent {
public:
  const std::string& Name() const { return FName; }
  // Without IncludePath only the file-name part is stored.
  void SetName(const std::string& Value);
  bool IncludePath() const { return FIncludePath; }
  // Switching it off strips the directory from the stored Name.
  void SetIncludePath(bool Value);
  TBkgFill FillMode() const { return FFillMode; }
  void SetFillMode(TBkgFill Value);
  TBGAreaMode AreaMode() const { return FAreaMode; }
  void SetAreaMode(TBGAreaMode Value);
  TColor AreaColor() const { return FAreaColor; }
  void SetAreaColor(TColor Value);
  double AreaLeft() const { return FAreaLeft; }
  double AreaRight() const { return FAreaRight; }
  double AreaTop() const { return FAreaTop; }
  double AreaBottom() const { return FAreaBottom; }
  void SetAreaLeft(double Value);
  void SetAreaRight(double Value);
  void SetAreaTop(double Value);
  void SetAreaBottom(double Value);

  void Changed();
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  std::string FName;
  bool FIncludePath = false;
  TBkgFill FFillMode = bfStretch;
  TBGAreaMode FAreaMode = bamNone;
  TColor FAreaColor = 0xDDDDDD;
  double FAreaLeft = -1;
  double FAreaRight = 1;
  double FAreaTop = 1;
  double FAreaBottom = -1;
};

// Couples the scales of the two layers: per layer and axis, the layer whose range it
// follows (initially itself). The setters raise EZEFRIroveError for an invalid coupling.
class TJointLayers : public TPersistent {
public:
  // Chart may be null (a free-standing object that forces no ranges).
  explicit TJointLayers(TCustomRIrove* Chart = nullptr) : FChart(Chart) {}

  int32_t L01xControlledBy() const { return FBy[0][0]; }
  int32_t L01yControlledBy() const { return FBy[0][1]; }
  int32_t L02xControlledBy() const { return FBy[1][0]; }
  int32_t L02yControlledBy() const { return FBy[1][1]; }
  void SetL01xControlledBy(int32_t Value) { SetControlledBy(1, 0, Value); }
  void SetL01yControlledBy(int32_t Value) { SetControlledBy(1, 1, Value); }
  void SetL02xControlledBy(int32_t Value) { SetControlledBy(2, 0, Value); }
  void SetL02yControlledBy(int32_t Value) { SetControlledBy(2, 1, Value); }
  // The layer controlling Layer's axis (0 = x, 1 = y); Layer is clamped into 1..2.
  int32_t ControlledBy(int32_t Layer, int Axis) const;
  // Every layer controls itself again (no range change, no event).
  void Reset();

  void Changed();
  // Copies the four values (not the chart link).
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  void SetControlledBy(int32_t Layer, int Axis, int32_t Value);

  TCustomRIrove* FChart;
  int32_t FBy[2][2] = {{1, 1}, {2, 2}};
};

// A chart's text label: its position is in world coordinates of its layer or in control
// pixels, by AttachToData.
class TTextLabel : public TCustomTextLabel {};

// ---- Events ----

// Top and Left: what a handler subtracts from R2M results to draw on Canvas.
using TRenderEvent =
    std::function<void(TObject* Sender, TCanvas& Canvas, int32_t Top, int32_t Left)>;
// A copy of the item about to be drawn; changes affect this drawing only.
using TBeforeRenderCItemEvent = std::function<void(TObject* Sender, TrcChartItem& ChartItem,
                                                   int32_t Index, bool IsAnnotation)>;
// The text of a text item about to be drawn; the handler may replace it.
using TBeforeRenderTextEvent = std::function<void(TObject* Sender, std::string& Text,
                                                  int32_t Index, bool IsAnnotation)>;

// The mouse moved: whether it is inside the data area and its world position (active layer).
using TMouseMoveInChartEvent = std::function<void(TObject* Sender, bool InChart, TShiftState Shift,
                                                  double rMousePosX, double rMousePosY)>;
// A cross-hair drag is about to start dx, dy pixels from the cross-hair; clearing
// AllowMove refuses it.
using TBeforeCrossHMoveEvent = std::function<void(TObject* Sender, TCrossHair& WhichCrossHair,
                                                  int32_t dx, int32_t dy, bool& AllowMove)>;
using TCrossHairMoveEvent = std::function<void(TObject* Sender, TCrossHair& WhichCrossHair)>;
using TTextLabelMoveEvent = std::function<void(TObject* Sender, TTextLabel& WhichTextLabel)>;

// ---- 3. TCustomRIrove --------------------------------------------------------------------

class TCustomRIrove : public TCustomControl {
public:
  explicit TCustomRIrove(TComponent* AOwner);
  ~TCustomRIrove() override;
  TCustomRIrove(const TCustomRIrove&) = delete;
  TCustomRIrove& operator=(const TCustomRIrove&) = delete;

  // Restores every default (containers emptied, layout rcl_X1Bottom_Y1Left applied).
  void ResetComp();
  // From another TCustomRIrove: the complete state (settings, containers, labels, scales,
  // zoom history, handlers); the chart does not join the other's data sharing.
  void Assign(const TPersistent& Source) override;

  // ==== Drawing commands: each appends one item to the container chosen by AnnoMode ====
  // Integer arguments are data-area pixels in annotation items and plain world values in
  // data items.
  void MoveTo(double x, double y);
  void MoveTo(int32_t x, int32_t y);
  void MoveTo(int32_t x, double y);
  void MoveTo(double x, int32_t y);
  void DrawTo(double x, double y);
  void DrawTo(int32_t x, int32_t y);
  void DrawTo(int32_t x, double y);
  void DrawTo(double x, int32_t y);
  void MoveToRelPix(int32_t dx, int32_t dy);
  void DrawToRelPix(int32_t dx, int32_t dy);
  // A line from world point (x, y) to dx, dy pixels from it.
  void DrawToRelPix(double x, double y, int32_t dx, int32_t dy);
  void MarkAt(double x, double y, uint8_t mk);
  void MarkAt(int32_t x, int32_t y, uint8_t mk);
  // A mark with an error bar from position - dlower to position + dupper.
  void MarkErrorBar(double x, double y, double dlower, double dupper, TOrientation Dir,
                    uint8_t mk);
  void Line(double x1, double y1, double x2, double y2);
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Line(double x1, double y1, int32_t x2, int32_t y2);
  void Line(int32_t x1, int32_t y1, double x2, double y2);
  // A line between two world points, both shifted by dx, dy pixels.
  void LineOffset(double x1, double y1, double x2, double y2, int32_t dx, int32_t dy);
  void Rectangle(double x1, double y1, double x2, double y2);
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Rectangle(int32_t x1, int32_t y1, double x2, double y2);
  void Rectangle(double x1, double y1, int32_t x2, int32_t y2);
  // A rectangle of half width dx and half height dy pixels around a world point.
  void RectangleRelPix(double centx, double centy, int32_t dx, int32_t dy);
  void RectFrame(double x1, double y1, double x2, double y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  void RectFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  void RectFrame(int32_t x1, int32_t y1, double x2, double y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  void RectFrame(double x1, double y1, int32_t x2, int32_t y2, TFrameStyle FrameStyle,
                 TColor ShadowColor, TColor HiLightColor);
  void Arrow(double x1, double y1, double x2, double y2, int32_t HeadSize);
  void Arrow(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t HeadSize);
  void Arrow(int32_t x1, int32_t y1, double x2, double y2, int32_t HeadSize);
  void Arrow(double x1, double y1, int32_t x2, int32_t y2, int32_t HeadSize);
  void Arrow(int32_t x1, double y1, int32_t x2, double y2, int32_t HeadSize);
  void Arrow(double x1, int32_t y1, double x2, int32_t y2, int32_t HeadSize);
  void DoubleArrow(double x1, double y1, double x2, double y2, int32_t HeadSize);
  void DoubleArrow(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t HeadSize);
  void DoubleArrow(int32_t x1, int32_t y1, double x2, double y2, int32_t HeadSize);
  void DoubleArrow(double x1, double y1, int32_t x2, int32_t y2, int32_t HeadSize);
  void DoubleArrow(int32_t x1, double y1, int32_t x2, double y2, int32_t HeadSize);
  void DoubleArrow(double x1, int32_t y1, double x2, int32_t y2, int32_t HeadSize);
  // A bar with a top and side face of Depth pixels at Angle degrees (clamped into 0..180).
  void Bar3D(double llx, double lly, double urx, double ury, int32_t Depth, int32_t Angle);
  void Ellipse(double cx, double cy, double HorizAxLeng, double VertAxLeng);
  // Angles in radians, clamped into [-pi, pi], counter-clockwise from Angle1 to Angle2.
  void Arc(double cx, double cy, double HorizAxLeng, double VertAxLeng, double Angle1,
           double Angle2);
  void Text(double x, double y, int32_t size, const std::string& txt);
  void Text(int32_t x, int32_t y, int32_t size, const std::string& txt);
  void Text(int32_t x, double y, int32_t size, const std::string& txt);
  void Text(double x, int32_t y, int32_t size, const std::string& txt);
  // tkTextOfs, or tkText when dx and dy are both 0.
  void Text(double x, double y, int32_t size, const std::string& txt, int32_t dx, int32_t dy,
            TAlignment Alignment);
  void CursorVert(double x);
  void CursorVert(int32_t x);
  void CursorHoriz(double y);
  void CursorHoriz(int32_t y);

  // ==== Attributes stamped into new items ====
  TColor DataColor() const { return FDataColor; }
  void SetDataColor(TColor Value) { FDataColor = Value; }
  TPenStyle PenStyle() const { return FPenStyle; }
  void SetPenStyle(TPenStyle Value) { FPenStyle = Value; }
  uint8_t LineWidth() const { return FLineWidth; }
  void SetLineWidth(uint8_t Value) { FLineWidth = Value; }
  TColor FillColor() const { return FFillColor; }
  void SetFillColor(TColor Value) { FFillColor = Value; }
  TColor TextBkColor() const { return FFillColor; }
  void SetTextBkColor(TColor Value) { FFillColor = Value; }
  bool TransparentItems() const { return FTransparentItems; }
  void SetTransparentItems(bool Value) { FTransparentItems = Value; }
  int32_t DataTag() const { return FDataTag; }
  void SetDataTag(int32_t Value) { FDataTag = Value; }
  uint8_t ClassDefault() const { return FClassDefault; }
  void SetClassDefault(uint8_t Value);  // 255 is ignored
  TTextBkg TextBkStyle() const { return FTextBkStyle; }
  void SetTextBkStyle(TTextBkg Value) { FTextBkStyle = Value; }
  TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(TAlignment Value) { FTextAlignment = Value; }
  bool AnnoMode() const { return FAnnoMode; }
  void SetAnnoMode(bool Value);
  int32_t AllocSize() const { return FAllocSize; }
  void SetAllocSize(int32_t Value);  // 1..1,000,000; other values are ignored

  // ==== Containers ====
  int32_t NumItems() const;
  int32_t NumAnnos() const { return FAnnos.Count(); }
  // Reading outside 0..count-1 gives a tkNone record; writing outside is ignored. Writing
  // copies all fields and leaves the per-kind counters alone.
  TrcChartItem DataContainer(int32_t Idx) const;
  void SetDataContainer(int32_t Idx, const TrcChartItem& Item);
  TrcChartItem AnnoContainer(int32_t Idx) const;
  void SetAnnoContainer(int32_t Idx, const TrcChartItem& Item);
  // The allocated lengths (they grow by AllocSize records).
  int32_t DataAllocated() const;
  int32_t AnnoAllocated() const { return FAnnos.Alloc; }
  // Data item Item (a tkNone record outside the container).
  TrcChartItem GetItemParams(int32_t Item) const { return DataContainer(Item); }
  // Ignores kinds tkNone and tkEverything and indices outside the container; otherwise
  // replaces the item and moves one count from the old kind to the new.
  void SetItemParams(int32_t Item, const TrcChartItem& ItParams);
  int32_t ItemCount(TrcItem Kind) const;
  TrcItem TypeOfFirstItem() const;
  TrcItem TypeOfLastItem() const;
  // The full text of a text item; empty outside the container or for other kinds.
  std::string DataLongText(int32_t Idx) const;
  std::string AnnoLongText(int32_t Idx) const { return LongTextOf(FAnnos, Idx); }
  void SetDataLongText(int32_t Idx, const std::string& Value);
  void SetAnnoLongText(int32_t Idx, const std::string& Value);

  void RemoveItem(int32_t Index);
  void RemoveFirstItem() { RemoveItem(0); }
  // Does nothing on an empty container.
  void RemoveLastItem();
  void RemoveAnnoItem(int32_t Index);
  // Both return the number of items removed.
  int32_t RemoveItemsByClass(uint8_t ClassNumber);
  int32_t RemoveItemsByLayer(int32_t Layer);
  // Drops all data items, their long texts and the mouse trace.
  void ClearGraf();
  // Drops all annotation items and their long texts, then repaints.
  void ClearAnnotations();

  // The first item at or after StartIx passing the tag, kind and class tests, or -1.
  // TagMask 0 passes every tag; tkEverything every kind; class 255 every class.
  int32_t SearchDataItem(int32_t StartIx, int32_t Tag, uint32_t TagMask, int32_t ItemClass,
                         TrcItem ItemKind) const;
  int32_t SearchAnnoItem(int32_t StartIx, int32_t Tag, uint32_t TagMask, int32_t ItemClass,
                         TrcItem ItemKind) const;
  int32_t CountAnnos(int32_t Tag, uint32_t TagMask, int32_t ItemClass, TrcItem ItemKind) const;
  // The sum over the listed classes of their annotation counts (listed twice counts twice).
  int32_t CountAnnoByClass(const std::vector<uint8_t>& ClList) const;
  // Extremes of the data points of Layer (0 = all) lying strictly inside the window; the
  // outputs start at the largest double (minima) and its negative (maxima).
  void FindMinMax(int32_t Layer, double RangeLoX, double RangeLoY, double RangeHiX,
                  double RangeHiY, double& MinX, double& MinY, double& MaxX, double& MaxY) const;
  // The layers that hold at least one data item.
  TLayerSet FindUsedLayers() const;

  void MarkAllItems(TrcItem ItemID, uint8_t ClassNumber);
  int32_t MarkItemsInWindow(double xLo, double YLo, double XHi, double YHi, TrcItem ItemID,
                            uint8_t ClassNumber);
  // Class 255 recolours every data item.
  void NewColorOfClassItems(TColor Newcol, uint8_t ClassNumber);
  // x := dx + kx x, y := dy + ky y (and the second pair of two-point kinds); an index
  // outside the container is ignored.
  void ScaleItem(int32_t Item, double kx, double dx, double ky, double dy);
  void ScaleAllItems(double kx, double dx, double ky, double dy);
  void ScaleSelectedItems(double kx, double dx, double ky, double dy, uint8_t ClassNumber);

  // ==== Nearest items ====
  // The data item nearest to (mx, my) (world units of the active layer) passing the kind
  // and class tests (tkEverything every kind, tkNotMoveTo all but tkMoveTo, class 255 every
  // class), skipping hidden layers when VisLayersOnly; the first of equals wins. The result
  // is its index or -1; Dist the distance (sqrt of the largest double when none is found).
  // Real measures in world units; Screen and AlongAxis in pixels, each item mapped with
  // its own layer's transform and the mouse point with the active layer's.
  int32_t FindNearestItemReal(double mx, double my, TrcItem ItemID, uint8_t ClassNumber,
                              bool VisLayersOnly, double& Dist) const;
  int32_t FindNearestItemScreen(double mx, double my, TrcItem ItemID, uint8_t ClassNumber,
                                bool VisLayersOnly, double& Dist) const;
  // atXAxis compares pixel x only, atYAxis pixel y only; atZAxis finds nothing.
  int32_t FindNearestItemAlongAxis(double pos, TAxis Axis, TrcItem ItemID, uint8_t ClassNumber,
                                   bool VisLayersOnly, double& Dist) const;
  // The forms without VisLayersOnly search every layer.
  int32_t FindNearestItemReal(double mx, double my, TrcItem ItemID, uint8_t ClassNumber,
                              double& Dist) const {
    return FindNearestItemReal(mx, my, ItemID, ClassNumber, false, Dist);
  }
  int32_t FindNearestItemScreen(double mx, double my, TrcItem ItemID, uint8_t ClassNumber,
                                double& Dist) const {
    return FindNearestItemScreen(mx, my, ItemID, ClassNumber, false, Dist);
  }
  int32_t FindNearestItemAlongAxis(double pos, TAxis Axis, TrcItem ItemID, uint8_t ClassNumber,
                                   double& dist) const {
    return FindNearestItemAlongAxis(pos, Axis, ItemID, ClassNumber, false, dist);
  }
  // The annotation item nearest to (mx, my) (world units of the active layer), measured in
  // control pixels after mapping each item by its coordinate mode; tkNotMoveTo also skips
  // tkMoveRelPix, and tkMoveTo, tkMoveRelPix and tkLineRelPix never match. Text boxes are
  // measured with the data-area bitmap's canvas (OnBeforeRenderText is raised). Result and
  // Dist as for the data items.
  int32_t FindNearestAnnoElem(double mx, double my, TrcItem ItemID, uint8_t ClassNumber,
                              bool VisLayersOnly, double& Dist);

  // ==== Mouse interaction ====
  // A drag in the data area does what MouseAction says (pan, zoom, rubber band, selection,
  // dragging cross-hairs or text labels, drawing a mouse trace) for the layers the mouse
  // affects; a drag in the band outside an axis rescales that axis by the axis's own
  // MouseAction, and a double click there toggles it between maPan and maZoom. Transient
  // figures are drawn straight onto the control in exclusive-or mode.
  //
  // maPanGrid snaps the lower ends to multiples of PanGridDx/Dy plus the offsets (a step
  // <= 0 switches snapping off for that axis); it works on linear axes only.
  double PanGridDx() const { return FMouseOpts.PanGridDx; }
  double PanGridDy() const { return FMouseOpts.PanGridDy; }
  double PanGridOffsX() const { return FMouseOpts.PanGridOffsX; }
  double PanGridOffsY() const { return FMouseOpts.PanGridOffsY; }
  void SetPanGridDx(double Value) { FMouseOpts.PanGridDx = Value; }
  void SetPanGridDy(double Value) { FMouseOpts.PanGridDy = Value; }
  void SetPanGridOffsX(double Value) { FMouseOpts.PanGridOffsX = Value; }
  void SetPanGridOffsY(double Value) { FMouseOpts.PanGridOffsY = Value; }
  // New mouse-trace points get this colour, drawn in exclusive-or mode when Invert is set.
  TColor MouseTraceColor() const { return FMouseOpts.MouseTraceColor; }
  void SetMouseTraceColor(TColor Value) { FMouseOpts.MouseTraceColor = Value; }
  bool MouseTraceInvert() const { return FMouseOpts.MouseTraceInvert; }
  void SetMouseTraceInvert(bool Value) { FMouseOpts.MouseTraceInvert = Value; }
  // The recorded trace (at most kMaxMouseTracePoints): points from 1, in world coordinates
  // of the active layer; Flag bit 0 = pen lifted after the point, bit 1 = exclusive-or. An
  // index outside 1..NumMTracePoints gives a point with Flag $FFFF.
  static constexpr int32_t kMaxMouseTracePoints = 5000;
  int32_t NumMTracePoints() const { return static_cast<int32_t>(FMTrace.size()); }
  TColoredPoint MouseTrace(int32_t Idx) const;
  void ClearMouseTrace();
  // World position (active layer) of the last mouse move inside the data area.
  double MousePosX() const { return FMousePosX; }
  double MousePosY() const { return FMousePosY; }
  // When true the chart always shows the default cursor; otherwise the cursor tells the
  // mouse mode (cursors 1-4 are the chart's hand and zoom cursors).
  bool MouseCursorFixed() const { return FMouseOpts.MouseCursorFixed; }
  void SetMouseCursorFixed(bool Value) { FMouseOpts.MouseCursorFixed = Value; }
  // zsDrawWin while a rubber band, zoom window or selection rectangle is being dragged.
  TZoomState ZoomState() const { return FZoomState; }
  TMouseBoxState MouseBoxState() const { return FMBoxState; }
  // Lets the user drag a rectangle (the right button aborts) while the application's
  // messages are processed. True with the box in world units of the active layer, ends in
  // ascending order; false when it was aborted (or the application terminated, or the
  // chart was destroyed meanwhile: then the arguments are not touched).
  bool MouseBox(double& xLo, double& yLo, double& xHi, double& yHi);
  void MouseBoxAbort();
  // The axis whose mouse band holds the control pixel: a layer number (1, 2) for its y
  // axis, minus the layer number for its x axis, 0 for none. Hidden axes are not hit.
  int32_t DetectScale(int32_t CoordX, int32_t CoordY) const;

  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void DblClick() override;
  void MouseLeave() override;

  // After every mouse move, after everything else the move did.
  TMouseMoveInChartEvent OnMouseMoveInChart;
  // After a pan, drag zoom, axis drag or window zoom changed ranges.
  TZoomPanEvent OnZoomPan;
  // On release of a rubber band or selection rectangle, once per affected layer, with the
  // two corners in world units (rubber band: start and end as dragged).
  TSelectRectEvent OnRubberBand;
  TSelectRectEvent OnSelectRect;
  TBeforeCrossHMoveEvent OnBeforeCrossHairMove;
  // After each move of a dragged cross-hair or text label.
  TCrossHairMoveEvent OnCrossHairMove;
  TTextLabelMoveEvent OnTextLabelMove;

  // ==== Chart files ====
  // Write the data (annotation) container as a chart data (annotation) file: a header
  // record, the 104-byte item records and the long texts as CR LF lines. File errors
  // propagate as exceptions.
  void SaveData(const std::string& FName);
  void SaveAnno(const std::string& FName);
  // Read such a file, replacing the container or appending to it. The result is the number
  // of items read, -2 for an unrecognised header and -1 when the file cannot be opened or
  // is shorter than its header announces; on -2 and -1 the chart is unchanged.
  int32_t LoadData(const std::string& FName, bool AppendIt);
  int32_t LoadAnno(const std::string& FName, bool AppendIt);
  // The text listing of the data items (ItemDescription with all flags); I/O errors are
  // ignored.
  void SaveDataASC(const std::string& FName);
  // Copies the annotation items of SrcChart whose class is listed (all when ClassFilter is
  // empty), with their long texts.
  void CopyAnnoFrom(const TCustomRIrove& SrcChart, const std::vector<uint8_t>& ClassFilter,
                    bool AppendIt);

  // ==== Classes, layers and sharing ====
  bool ClassVisible(uint8_t Cnum) const { return FClassVisible[Cnum]; }
  void SetClassVisible(uint8_t Cnum, bool Value);
  bool AnnoClassVisible(uint8_t Cnum) const { return FAnnoClassVisible[Cnum]; }
  void SetAnnoClassVisible(uint8_t Cnum, bool Value);
  // Layers outside 1..2 read false and are ignored.
  bool LayerVisible(int32_t Layer) const;
  void SetLayerVisible(int32_t Layer, bool Value);
  bool MouseAffectsLayer(int32_t Layer) const;
  void SetMouseAffectsLayer(int32_t Layer, bool Value);
  int32_t ActiveLayer() const { return FActiveLayer; }
  void SetActiveLayer(int32_t Value);  // values other than 1 and 2 are ignored

  // The chart whose data container this chart shows (null for its own). Refusals are
  // reported in information message boxes. When the data owner is destroyed, its users
  // fall back to their own containers.
  TCustomRIrove* UseDataOf() const { return FDataOwner; }
  void SetUseDataOf(TCustomRIrove* Value);
  int32_t NumDataUsers() const { return static_cast<int32_t>(FDataUsers.size()); }

  TJointLayers& JointLayers() { return *FJointLayers; }
  void SetJointLayers(const TJointLayers& Value) { FJointLayers->Assign(Value); }

  // Labels 1..30; another index raises EZEFRIroveError. Writing copies the settings.
  TTextLabel& TextLabels(int32_t Ix);
  void SetTextLabels(int32_t Ix, const TTextLabel& Value);
  // Takes the first free label (Mode tlOff) and returns its index, 0 when none is free.
  // PropertyTemplate 1..30 copies that label's looks; any other value takes the defaults.
  int32_t AddTextLabel(double PosX, double PosY, TColor TxtColor, const std::string& Txt,
                       int32_t PropertyTemplate);
  void SetTextLabel(int32_t Idx, double PosX, double PosY, TColor TxtColor,
                    const std::string& Txt, int32_t PropertyTemplate);
  void HideAllTextLabels();
  void ClearAllTextLabels();

  // ==== Scales, ranges and transforms ====
  // Index 1 or 2; other indices read scale 1 and are ignored for writing.
  TScalePropsHoriz& ScalePropsX(int32_t Ix);
  TScalePropsVert& ScalePropsY(int32_t Ix);
  void SetScalePropsX(int32_t Ix, const TScalePropsHoriz& Value);
  void SetScalePropsY(int32_t Ix, const TScalePropsVert& Value);
  TScalePropsHoriz& Scale1X() { return *FScaleX[0]; }
  TScalePropsHoriz& Scale2X() { return *FScaleX[1]; }
  TScalePropsVert& Scale1Y() { return *FScaleY[0]; }
  TScalePropsVert& Scale2Y() { return *FScaleY[1]; }
  // The axis painters (helper scales drawing onto the chart bitmap).
  TScale& PainterX(int32_t Ix) { return *FPainterX[Ix == 2 ? 1 : 0]; }
  TScale& PainterY(int32_t Ix) { return *FPainterY[Ix == 2 ? 1 : 0]; }

  // World to control pixels (Layer clamped into 1..2), and back.
  void R2M(int32_t Layer, double xin, double yin, int32_t& xout, int32_t& yout) const;
  void M2R(int32_t Layer, int32_t xin, int32_t yin, double& xout, double& yout) const;
  void GetTransformParams(int32_t Layer, double& kx, double& dx, double& ky, double& dy) const;
  // Recomputes the transform of both layers; raises EZEFRIroveError "Logarithmic axis must
  // not be negative." for a logarithmic axis with an end <= 0.
  virtual void AdjustScaling();
  // Layer 0 sets both layers; equal ends are moved apart; records the zoom history.
  void SetRange(int32_t Layer, long double xLo, long double yLo, long double xHi,
                long double yHi);
  // Margin and MinRange are percentages.
  void AutoRange(int32_t Layer, double Margin) { AutoRange(Layer, Margin, 0); }
  void AutoRange(int32_t Layer, double Margin, double MinRange);
  void AutoRangeXOnly(int32_t Layer, double Margin) { AutoRangeXOnly(Layer, Margin, 0); }
  void AutoRangeXOnly(int32_t Layer, double Margin, double MinRange);
  void AutoRangeYOnly(int32_t Layer, double Margin) { AutoRangeYOnly(Layer, Margin, 0); }
  void AutoRangeYOnly(int32_t Layer, double Margin, double MinRange);
  void SetEqualRange(TLayerSet Layers);
  void SetEqualRangeXOnly(TLayerSet Layers);
  void SetEqualRangeYOnly(TLayerSet Layers);
  // All zero switches the confinement off.
  void ConfineZoomRange(double xLo, double yLo, double xHi, double yHi);
  // The central forcing routine: applies a range to Layer (and to layers it controls).
  void ForceRange(int32_t Layer, double xLo, double yLo, double xHi, double yHi, bool Record,
                  bool Confine);
  // Restores recorded state Index (0 = latest .. -15); other values do nothing.
  void ZoomHistory(int32_t Index);
  void ClearZoomHistory();
  TRectDouble GetZoomStackEntry(int32_t Layer, int32_t StackIx) const;
  TRectDouble ZoomStack(int32_t Layer, int32_t StackIx) const { return GetZoomStackEntry(Layer, StackIx); }
  bool Isometric() const { return FIsometric; }
  void SetIsometric(bool Value);
  TrcLayout StandardLayout() const { return FLayout; }
  void SetStandardLayout(TrcLayout Value);
  // The chart's mouse mode (used by zoom confinement: pan modes shift instead of clip).
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode Value) { FMouseAction = Value; }

  int32_t MarginLeft() const { return FLRim; }
  int32_t MarginRight() const { return FRRim; }
  int32_t MarginTop() const { return FTRim; }
  int32_t MarginBottom() const { return FBRim; }
  void SetMarginLeft(int32_t Value) { SetMargin(FLRim, Value); }
  void SetMarginRight(int32_t Value) { SetMargin(FRRim, Value); }
  void SetMarginTop(int32_t Value) { SetMargin(FTRim, Value); }
  void SetMarginBottom(int32_t Value) { SetMargin(FBRim, Value); }
  int32_t LRim() const { return FLRim; }
  int32_t RRim() const { return FRRim; }
  int32_t TRim() const { return FTRim; }
  int32_t BRim() const { return FBRim; }
  int32_t ShadowWidth() const { return FShadowWidth; }
  void SetShadowWidth(int32_t Value);  // clamped into 0..32
  // Enforces the minimum size (data area at least 80 x 20 pixels).
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;

  // Tick positions of the active layer's painters, from 1; reversed axes read backwards.
  double TickPosX(int32_t Ix) const;
  double TickPosY(int32_t Ix) const;
  int32_t TickNumX() const;
  int32_t TickNumY() const;

  // ==== Rendering ====
  TColor WindColor() const { return FWindColor; }
  void SetWindColor(TColor Value) { SetAndRepaint(FWindColor, Value); }
  TColor ChartColor() const { return FChartColor; }
  void SetChartColor(TColor Value) { SetAndRepaint(FChartColor, Value); }
  TColor ChartFrameColor() const { return FChartFrameColor; }
  void SetChartFrameColor(TColor Value) { SetAndRepaint(FChartFrameColor, Value); }
  GridStyleType GridStyle() const { return FGridStyle; }
  void SetGridStyle(GridStyleType Value) { SetAndRepaint(FGridStyle, Value); }
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor Value) { SetAndRepaint(FGridColor, Value); }
  double GridDx() const { return FGridDx; }
  double GridDy() const { return FGridDy; }
  void SetGridDx(double Value);  // values below -3 are ignored
  void SetGridDy(double Value);
  TShadowStyle ShadowStyle() const { return FShadowStyle; }
  void SetShadowStyle(TShadowStyle Value) { SetAndRepaint(FShadowStyle, Value); }
  TColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor Value) { SetAndRepaint(FShadowColor, Value); }
  TColor ShadowBakColor() const { return FShadowBakColor; }
  void SetShadowBakColor(TColor Value) { SetAndRepaint(FShadowBakColor, Value); }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { SetAndRepaint(FCaption, Value); }
  int32_t CaptionPosX() const { return FCaptionPosX; }
  int32_t CaptionPosY() const { return FCaptionPosY; }
  void SetCaptionPosX(int32_t Value) { SetAndRepaint(FCaptionPosX, Value); }
  void SetCaptionPosY(int32_t Value) { SetAndRepaint(FCaptionPosY, Value); }
  TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment Value) { SetAndRepaint(FCaptionAlignment, Value); }
  TCaptionAnchorHoriz CaptionAnchorHoriz() const { return FCaptionAnchorHoriz; }
  void SetCaptionAnchorHoriz(TCaptionAnchorHoriz Value) { SetAndRepaint(FCaptionAnchorHoriz, Value); }
  TCaptionAnchorVert CaptionAnchorVert() const { return FCaptionAnchorVert; }
  void SetCaptionAnchorVert(TCaptionAnchorVert Value) { SetAndRepaint(FCaptionAnchorVert, Value); }
  int32_t CaptionTrim() const { return FCaptionTrim; }
  void SetCaptionTrim(int32_t Value);  // 0 = never shorten, else clamped into 5..100
  TBakGndImg& BackGroundImg() { return *FBackGroundImg; }
  void SetBackGroundImg(const TBakGndImg& Value) { FBackGroundImg->Assign(Value); }
  bool AnnoBelowChart() const { return FAnnoBelowChart; }
  void SetAnnoBelowChart(bool Value);
  bool AnnoTextOnTop() const { return FAnnoTextOnTop; }
  void SetAnnoTextOnTop(bool Value);
  bool AnnosVisible() const { return FAnnosVisible; }
  void SetAnnosVisible(bool Value);
  bool AutoRedraw() const { return FAutoRedraw; }
  void SetAutoRedraw(bool Value) { FAutoRedraw = Value; }
  // While true nothing paints; it is cleared when the chart is placed on a parent.
  bool SuppressPaint() const { return FSuppressPaint; }
  void SetSuppressPaint(bool Value);
  bool AvoidDuplicateMarks() const { return FAvoidDuplicateMarks; }
  void SetAvoidDuplicateMarks(bool Value) { SetAndRepaint(FAvoidDuplicateMarks, Value); }
  int32_t MinDupMarkDist() const { return FMinDupMarkDist; }
  void SetMinDupMarkDist(int32_t Value);  // clamped into 1..3
  TFont& TextFont() { return FTextFont; }
  void SetTextFont(const TFont& Value) { FTextFont.Assign(Value); }
  TFontStyles TextFontStyle() const { return FTextFont.Style(); }
  void SetTextFontStyle(TFontStyles Value) { FTextFont.SetStyle(Value); }

  // Cross-hairs 1..4.
  TCrossHair& CrossHair(int32_t Ix) { return *FCrossHair[std::clamp(Ix, 1, 4) - 1]; }
  void SetCrossHair(int32_t Ix, const TCrossHair& Value);
  // Moves / restyles cross-hair chnum (1..4, others ignored) and redraws it over the
  // retained data-area picture without replaying any item.
  void CrossHairSetPos(int32_t chnum, double x, double y);
  void CrossHairSetup(int32_t ch, TColor chColor, TCrossHMode Mode, TPenStyle LineType,
                      int32_t LineWidth);

  // Full redraw into the bitmaps and onto the control.
  void Paint() override;
  // Rebuilds the data area after items changed and shows it.
  void ShowGraf();
  // Draws over the existing data area (no background, no grid once items were shown).
  void ShowGrafNewOnly();
  // The repaint rule of settings objects: repaints when AutoRedraw is set or in design mode.
  void StyleChanged(TObject* Sender);
  // The retained bitmaps: the whole control, and the data area (W+1) x (H+1).
  const TBitmap& ChartBitmap() const { return FChartBmp; }
  const TBitmap& DataAreaBitmap() const { return FDataBmp; }
  // Data-area width and height (W, H): the data area has W+1 by H+1 pixels.
  int32_t DataAreaWidth() const;
  int32_t DataAreaHeight() const;
  int32_t LastShownIndex() const;

  // ==== Outputs ====
  // The whole chart (or only its data area) into ABitmap, sized to fit.
  void CopyToBitmap(TBitmap& ABitmap, bool BlkWhite, bool IncludeCrossHairs = false);
  void CopyToBitmapDAOnly(TBitmap& ABitmap, bool BlkWhite, bool IncludeCrossHairs = false);
  // A BMP, PNG or JPEG file by the name's extension.
  void CopyToBMP(const std::string& FName, bool BlkWhite);
  void CopyToClipboard(bool BlkWhite, bool IncludeCrossHairs = false);
  void CopyToClipboardDAOnly(bool BlkWhite, bool IncludeCrossHairs = false);
  // The chart as vector drawing (SVG); the clipboard receives the SVG text.
  void CopyToClipboardWMF(bool BlkWhite);
  void CopyToWMF(const std::string& FName, bool BlkWhite);
  // The SVG text of the chart.
  std::string ChartAsSVG(bool BlkWhite);
  // Draws the chart onto the printer's open page with its top left corner at (x, y), in
  // printer pixels, ScaleF times its size on paper at screen resolution; returns the
  // bottom right corner in x and y. Raises EPrinter when no document is open.
  void CopyToOpenPrinter(int32_t& x, int32_t& y, double ScaleF, bool BlkWhite);
  // Prints a one-page document with the chart at the top left of the page.
  void PrintIt(double ScaleF, bool BlkWhite);

  // ==== Events ====
  TRenderEvent OnBeforeRenderData;
  TRenderEvent OnDataRendered;
  TRenderEvent OnScalesRendered;
  TBeforeRenderCItemEvent OnBeforeRenderIroveItem;
  TBeforeRenderTextEvent OnBeforeRenderText;

  // ==== Rendering steps (overridable by derived charts) ====
  // Data-area background (image or colour with background area).
  virtual void InitGraf(TCanvas& Canvas, int32_t XOffs, int32_t YOffs, int32_t AWidth,
                        int32_t AHeight);
  virtual void ConstructDataBmp(TBitmap& Bmp, int32_t XOffs, int32_t YOffs, bool BlkWhite,
                                int32_t FirstElem);
  // Grid, items, annotations, text labels and frame.
  virtual void ConstructDataBmpCanvas(TCanvas& Canvas, int32_t XOffs, int32_t YOffs,
                                      bool BlkWhite, int32_t FirstElem);
  // Draws one item (Index in its container) with the renderer state of the replay.
  virtual void DrawContainerItemOnCanvas(TCanvas& Canvas, const TrcChartItem& Item,
                                         int32_t Index, bool IsAnnotation, int32_t XOffs,
                                         int32_t YOffs, bool BlkWhite);
  // Window background, shadow, caption and the four scales.
  virtual void ConstructChartBmp(TCanvas& Canvas);
  // Splits at line feeds; returns the number of lines with the line height (text height
  // + 1), the total height and the widest line (the whole text when all lines measure 0).
  int32_t CalcTextExtents(const std::string& Text, TCanvas& Canvas, int32_t& LineHeight,
                          int32_t& TotalHeight, int32_t& MaxWidth) const;
  void BackupColorsAndMakeBW();
  void ReloadBackupColors();

  // Placing the chart on a parent ends the initial paint suppression (without painting).
  void SetParent(TWinControl* NewParent) override;

protected:
  void Loaded() override;
  // The recorded mouse trace (points in world coordinates of the active layer), drawn by
  // Paint; mouse interaction fills it.
  std::vector<TColoredPoint> FMTrace;

private:
  // One item container with its allocated length and long-text table.
  struct TStore {
    std::vector<TrcChartItem> Items;
    int32_t Alloc = 0;
    std::array<int32_t, kNumItemKinds> KindCount{};
    int32_t LastShown = 0;
    std::array<std::string, 50> LongTexts;
    int32_t NumLongTexts = 0;
    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
    void Clear();
  };
  struct TLayerTransform {
    long double kx = 1, dx = 0, ky = 1, dy = 0;
  };
  // One axis of a layer transform: pixel = round(k v + d), or round(k ln v + d) on a
  // logarithmic axis where values <= 1e-100 give the pixel Below.
  // The factors are the transform's extended-precision values rounded to double, which
  // keeps the replay's hot path in SSE arithmetic.
  struct TAxisMap {
    double k = 1, d = 0;
    bool Log = false;
    int32_t Below = 0;
    int32_t Map(double v) const {
      if (!Log) return ToPixel(k * v + d);
      if (v <= 1e-100) return Below;
      return ToPixel(k * std::log(v) + d);
    }
    // Nearest pixel, ties to even, saturating at +-2147483647 (NaN gives 0). Adding and
    // subtracting 1.5 * 2^52 rounds in the FPU's nearest-even mode, far faster than a
    // library call on the replay's hot path.
    static int32_t ToPixel(double P) {
      if (!(P >= -2147483647.0)) return P != P ? 0 : -2147483647;
      if (P > 2147483647.0) return 2147483647;
      constexpr double kMagic = 6755399441055744.0;
      const double Sum = P + kMagic;
      return static_cast<int32_t>(Sum - kMagic);
    }
  };
  TAxisMap AxisMapX(std::size_t L) const;
  TAxisMap AxisMapY(std::size_t L) const;
  // World to control pixel along one axis of layer index L (0 or 1), as R2M.
  int32_t WorldToPixX(std::size_t L, double x) const { return AxisMapX(L).Map(x); }
  int32_t WorldToPixY(std::size_t L, double y) const { return AxisMapY(L).Map(y); }
  // A pre-drawn mark: the pixels (offsets from the centre, raw surface values) that
  // DrawMarkOnCanvas sets for one mark with one pen and brush.
  struct TMarkStamp {
    uint8_t Mark;
    TColor PenColor, BrushColor;
    TBrushStyle BrushStyle;
    int32_t PenWidth;
    std::vector<int32_t> DX, DY;
    std::vector<uint32_t> Value;
  };
  // What one replay of the items remembers; reset by every ConstructDataBmpCanvas.
  struct TRenderState {
    TColor PenColor = 0, BrushColor = 0, FontColor = 0;
    TPenStyle PenStyle = psSolid;
    int32_t LineWidth = 1;
    TPoint PenPos;
    std::vector<TPoint> Poly, PolyOut;
    std::vector<int16_t> DupMap;
    int32_t DupW = 0, DupH = 0, DupD = 1;
    bool DupOn = false;
    int32_t XOffs = 0, YOffs = 0;
    bool BlkWhite = false;
    // A plain raster target: marks may be stamped straight into its pixels, and runs of
    // polyline points within one pixel column or row may be reduced to their extremes.
    bool Stamping = false;
    std::array<TAxisMap, 2> MapX, MapY;  // the layers' transforms, fixed for the replay
    std::vector<TMarkStamp> Stamps;
  };
  struct TSavedColors {
    TColor Wind, Frame, Chart, FontColor, Shadow, ShadowBak;
    std::array<TColor, 4> Scale, ScaleFont;
  };
  TPoint MapPoint(const TrcChartItem& It, bool Second, bool IsAnno) const;
  void DrawMark(TCanvas& Canvas, uint8_t Mark, int32_t X, int32_t Y);
  void SetPenCached(TCanvas& Canvas, TColor C, TPenStyle S);
  void SetBrushCached(TCanvas& Canvas, TColor C);

  // ---- items ----
  TrcChartItem NewItem(TrcItem Kind, double x, double y, double x2, double y2) const;
  void Append(TrcChartItem Item, TCoordMode Mode);
  void AppendText(double x, double y, int32_t Size, const std::string& Txt, int32_t dx,
                  int32_t dy, TAlignment Align, TCoordMode Mode);
  void RectFrameItem(double x1, double y1, double x2, double y2, TFrameStyle FrameStyle,
                     TColor ShadowColor, TColor HiLightColor, TCoordMode Mode);
  void ArrowItem(TrcItem Kind, double x1, double y1, double x2, double y2, int32_t HeadSize,
                 TCoordMode Mode);
  void TwoPoint(TrcItem Kind, double x1, double y1, double x2, double y2, TCoordMode Mode);
  TStore& Target() { return FAnnoMode ? FAnnos : *FData; }
  static std::string LongTextOf(const TStore& S, int32_t Idx);
  static void SetLongTextOf(TStore& S, int32_t Idx, const std::string& Value);
  static void RemoveFrom(TStore& S, int32_t Index, bool Counted);
  template <class TPred> int32_t RemoveWhere(TPred Pred);
  static int32_t Search(const TStore& S, int32_t StartIx, int32_t Tag, uint32_t TagMask,
                        int32_t ItemClass, TrcItem ItemKind);
  void DetachFromOwner(bool KeepCopy);
  // ---- nearest items ----
  template <class TMeasure>
  int32_t FindNearest(TrcItem ItemID, uint8_t ClassNumber, bool VisLayersOnly, double& Dist,
                      TMeasure Measure) const;
  // ---- mouse ----
  static void LoadChartCursors();
  bool InDataArea(int32_t X, int32_t Y) const;
  TPoint ClampToDataArea(int32_t X, int32_t Y) const;
  void StoreDragAnchors(int32_t X, int32_t Y);
  bool DragAxes(int32_t X, int32_t Y);
  void PanLayers(int32_t X, int32_t Y);
  void DragCrossHair(TShiftState Shift, int32_t X, int32_t Y);
  void DragTextLabel(TShiftState Shift, int32_t X, int32_t Y);
  void AddTracePoint(int32_t X, int32_t Y);
  void FinishWindow(TMouseButton Button);
  void EraseWindow();
  void EraseMouseBox();
  void XorRect(TPoint A, TPoint B);
  void XorLine(TPoint A, TPoint B);
  void ShowModeCursor(int32_t X, int32_t Y);
  // Whether the control pixel lies in the mouse band of an axis: Band pixels outside its
  // line, within the data area's extent along it.
  bool InScaleBand(const TScaleProps& S, int32_t X, int32_t Y, int32_t Band) const;
  // A layer's current ranges in the zoom history's form (left, top, right, bottom).
  TRectDouble CurrentRanges(std::size_t L) const;
  // The label's anchor in control pixels: its position, mapped where it is attached to data.
  TPoint TextLabelAnchor(const TTextLabel& Lb) const;
  // ---- files ----
  static void SaveStore(const TStore& S, const std::string& FName, const char* FormatTag);
  int32_t LoadStore(TStore& S, const std::string& FName, const char* FormatTag, bool AppendIt,
                    bool Counted);
  static void AddLongTextSlot(TStore& S, TrcChartItem& It);
  void OwnerGone();

  // ---- scales ----
  void ScalePropsChanged(TObject* Sender);
  void ApplyScaleSettings();
  void ApplyToPainter(TScale& Painter, const TScaleProps& Props, bool Horizontal);
  void ApplyOneLayer(int32_t Layer, double xLo, double yLo, double xHi, double yHi, bool Record,
                     bool Confine);
  void RecordZoomState();
  void SetMargin(int32_t& Field, int32_t Value);
  void MakeIsometric();
  void LayerExtents(int32_t Layer, double& MinX, double& MinY, double& MaxX, double& MaxY) const;
  void AutoRangeAxes(int32_t Layer, double Margin, double MinRange, bool DoX, bool DoY);
  void SetEqualRangeAxes(TLayerSet Layers, bool DoX, bool DoY);
  double IsoSpanY(double SpanX) const;

  // ---- rendering ----
  void RepaintNow();
  template <class T> void SetAndRepaint(T& Field, const T& Value) {
    Field = Value;
    StyleChanged(this);
  }
  void PaintBitmaps();
  void ShowDataArea();
  void DrawGrid(TCanvas& Canvas, int32_t XOffs, int32_t YOffs);
  void DrawTextLabels(TCanvas& Canvas, int32_t XOffs, int32_t YOffs);
  void DrawCrossHairs(TCanvas& Canvas, int32_t XOffs, int32_t YOffs);
  void DrawMouseTrace(TCanvas& Canvas, int32_t XOffs, int32_t YOffs);
  void DrawTraceSegment(TCanvas& Canvas, const TColoredPoint& A, const TColoredPoint& B,
                        int32_t XOffs, int32_t YOffs);
  void ReplayStore(TCanvas& Canvas, const TStore& S, bool IsAnno, int32_t XOffs, int32_t YOffs,
                   bool BlkWhite, bool TextsOnly, bool SkipTexts);
  void FlushPolyline(TCanvas& Canvas);
  void AddPolylinePoint(TCanvas& Canvas, TPoint P);
  void DrawTextItem(TCanvas& Canvas, const TrcChartItem& It, int32_t Index, bool IsAnno,
                    TPoint P, TColor TextColor, TColor Background);
  void RenderWhole(TCanvas& Canvas, bool BlkWhite, bool IncludeCrossHairs);
  void RenderDataAreaOnly(TCanvas& Canvas, bool BlkWhite, bool IncludeCrossHairs);
  void SetPrinterFont(TCanvas& Canvas, TFont& Font) const;
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool LoadingNow() const { return ComponentState().Contains(csLoading); }

  // Containers: FData points at FOwnData or at the data owner's container.
  std::shared_ptr<TStore> FOwnData;
  std::shared_ptr<TStore> FData;
  TStore FAnnos;
  int32_t FAllocSize = 1000;
  TCustomRIrove* FDataOwner = nullptr;
  std::vector<TCustomRIrove*> FDataUsers;

  // Stamped attributes.
  TColor FDataColor = clBlack;
  TPenStyle FPenStyle = psSolid;
  uint8_t FLineWidth = 1;
  TColor FFillColor = 0xC0C0C0;
  bool FTransparentItems = false;
  int32_t FDataTag = 0;
  uint8_t FClassDefault = 0;
  TTextBkg FTextBkStyle = tbClear;
  TAlignment FTextAlignment = taCenter;
  bool FAnnoMode = false;
  int32_t FActiveLayer = 1;

  std::array<bool, 256> FClassVisible;
  std::array<bool, 256> FAnnoClassVisible;
  std::array<bool, 2> FLayerVisible{true, true};
  std::array<bool, 2> FMouseAffectsLayer{true, false};
  std::unique_ptr<TJointLayers> FJointLayers;
  std::array<std::unique_ptr<TTextLabel>, 30> FTextLabels;

  // Scales and transforms.
  std::array<std::unique_ptr<TScalePropsHoriz>, 2> FScaleX;
  std::array<std::unique_ptr<TScalePropsVert>, 2> FScaleY;
  std::array<std::unique_ptr<TScale>, 2> FPainterX;
  std::array<std::unique_ptr<TScale>, 2> FPainterY;
  std::array<TLayerTransform, 2> FTrans;
  std::array<std::array<TRectDouble, 16>, 2> FZoomRing;
  int32_t FZoomPos = 1;
  TRectDouble FConfine;
  bool FIsometric = false;
  TrcLayout FLayout = rcl_X1Bottom_Y1Left;
  TMouseActMode FMouseAction = maNone;
  int32_t FLRim = 50, FRRim = 10, FTRim = 16, FBRim = 32;
  int32_t FShadowWidth = 0;
  bool FApplyingScales = false;

  // Rendering.
  TColor FWindColor = clBtnFace;
  TColor FChartColor = 0xFFFFFF;
  TColor FChartFrameColor = 0x000000;
  GridStyleType FGridStyle = gsNone;
  TColor FGridColor = 0x000000;
  double FGridDx = 0, FGridDy = 0;
  TShadowStyle FShadowStyle = ssFlying;
  TColor FShadowColor = clGrayText;
  TColor FShadowBakColor = clBtnFace;
  std::string FCaption;
  int32_t FCaptionPosX = 0, FCaptionPosY = -15;
  TAlignment FCaptionAlignment = taRightJustify;
  TCaptionAnchorHoriz FCaptionAnchorHoriz = cahChartRight;
  TCaptionAnchorVert FCaptionAnchorVert = cavChartTop;
  int32_t FCaptionTrim = 100;
  std::unique_ptr<TBakGndImg> FBackGroundImg;
  bool FAnnoBelowChart = false, FAnnoTextOnTop = true, FAnnosVisible = true;
  bool FAutoRedraw = true;
  bool FSuppressPaint = true;
  bool FWindowCreated = false;
  bool FAvoidDuplicateMarks = false;
  int32_t FMinDupMarkDist = 1;
  TFont FTextFont;
  std::array<std::unique_ptr<TCrossHair>, 4> FCrossHair;
  // Mouse interaction: the settings (reset and copied as a whole) and the drag state.
  struct TMouseOptions {
    double PanGridDx = 1, PanGridDy = 1, PanGridOffsX = 0, PanGridOffsY = 0;
    TColor MouseTraceColor = 0xFFFFFF;
    bool MouseTraceInvert = true;
    bool MouseCursorFixed = true;
  };
  // A layer's drag anchor: the pixel where the drag began and the ranges at that moment.
  struct TDragAnchor {
    int32_t X = 0, Y = 0;
    double xLo = 0, yLo = 0, xHi = 0, yHi = 0;
  };
  TMouseOptions FMouseOpts;
  std::array<TDragAnchor, 2> FAnchor;
  TPoint FLastMouse{0, 0};
  bool FLeftDown = false;
  bool FDoubleClicked = false;
  bool FInMouseMove = false;
  bool FCursorShown = false;
  TZoomState FZoomState = zsNormal;
  // The figures of a window and of the mouse box, and whether they are on the screen (so
  // that exclusive-or drawing takes off only what it put there).
  TPoint FWinAnchor{0, 0}, FWinOld{0, 0};
  bool FWinShown = false;
  TMouseBoxState FMBoxState = msNormal;
  TPoint FMBoxFirst{0, 0}, FMBoxOld{0, 0}, FMBoxSecond{0, 0};
  bool FMBoxShown = false;
  int32_t FDragCrossH = 1;
  int32_t FDragLabel = 1;
  double FMousePosX = 0, FMousePosY = 0;
  // Cleared by the destructor: a nested MouseBox loop notices that the chart went away.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

  TBitmap FChartBmp, FDataBmp, FImageBmp;
  TRenderState FRS;
  TSavedColors FSaved{};
};

// ---- 4. TRIrove --------------------------------------------------------------------------

// The general chart: the engine with every property public.
class TRIrove : public TCustomRIrove {
public:
  explicit TRIrove(TComponent* AOwner) : TCustomRIrove(AOwner) {}
};

// The item as text: bit 0 of Flags the kind, bit 1 the points, bit 3 the tag, bit 2 the
// colour and pen style, bit 4 the class, Flags -1 everything including the kind's details.
// Parts are joined by CR LF; without bit 0 the text starts with CR LF.
std::string ItemDescription(const TrcChartItem& Item, int32_t Flags);

} // namespace zef
