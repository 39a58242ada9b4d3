// The item record's byte form and the drawing commands that append items.
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>

#include "ZEF_rirove.h"
#include "rtl/mathfn.h"
#include "rtl/strings.h"

namespace zef {

namespace {

void PutLE(uint8_t* Out, uint64_t V, int Bytes) {
  for (int I = 0; I < Bytes; ++I) Out[I] = static_cast<uint8_t>(V >> (8 * I));
}

uint64_t GetLE(const uint8_t* In, int Bytes) {
  uint64_t V = 0;
  for (int I = 0; I < Bytes; ++I) V |= static_cast<uint64_t>(In[I]) << (8 * I);
  return V;
}

void PutDouble(uint8_t* Out, double D) {
  uint64_t Bits;
  std::memcpy(&Bits, &D, 8);
  PutLE(Out, Bits, 8);
}

double GetDouble(const uint8_t* In) {
  const uint64_t Bits = GetLE(In, 8);
  double D;
  std::memcpy(&D, &Bits, 8);
  return D;
}

int32_t GetInt(const uint8_t* In) { return static_cast<int32_t>(static_cast<uint32_t>(GetLE(In, 4))); }

// Kinds whose FillColor and Transp are stamped from the chart.
bool TakesFill(TrcItem K) {
  return K != tkMarkAt && K != tkMoveTo && K != tkMoveRelPix && K != tkMarkEBar;
}
bool TakesTransp(TrcItem K) {
  return K == tkRect || K == tkEllipse || K == tkArrow || K == tkDoubleArrow ||
         K == tkRectRelPix || K == tkArc;
}

} // namespace

void ChartItemToBytes(const TrcChartItem& It, uint8_t* Out) {
  std::memset(Out, 0, kChartItemSize);
  PutDouble(Out + 0, It.x);
  PutDouble(Out + 8, It.y);
  PutDouble(Out + 16, It.x2);
  PutDouble(Out + 24, It.y2);
  PutLE(Out + 32, It.Color, 4);
  PutLE(Out + 36, It.FillColor, 4);
  PutLE(Out + 40, It.ShadowColor, 4);
  PutLE(Out + 44, It.HiLightColor, 4);
  Out[48] = It.PenStyle;
  PutLE(Out + 52, static_cast<uint32_t>(It.Tag), 4);
  PutLE(Out + 56, static_cast<uint32_t>(It.LWid), 4);
  Out[60] = It.ItemClass;
  Out[61] = It.ItemKind;
  PutLE(Out + 64, static_cast<uint32_t>(It.Layer), 4);
  Out[68] = It.Transp ? 1 : 0;
  Out[69] = It.FrameStyle;
  std::memcpy(Out + 70, It.Text.data(), 18);
  PutLE(Out + 88, static_cast<uint32_t>(It.Param1), 4);
  PutLE(Out + 92, static_cast<uint32_t>(It.Param2), 4);
  PutLE(Out + 96, static_cast<uint32_t>(It.Param3), 4);
  Out[100] = It.CoordMode;
}

TrcChartItem ChartItemFromBytes(const uint8_t* In) {
  TrcChartItem It;
  It.x = GetDouble(In + 0);
  It.y = GetDouble(In + 8);
  It.x2 = GetDouble(In + 16);
  It.y2 = GetDouble(In + 24);
  It.Color = static_cast<TColor>(GetLE(In + 32, 4));
  It.FillColor = static_cast<TColor>(GetLE(In + 36, 4));
  It.ShadowColor = static_cast<TColor>(GetLE(In + 40, 4));
  It.HiLightColor = static_cast<TColor>(GetLE(In + 44, 4));
  It.PenStyle = In[48] <= psInsideFrame ? static_cast<TPenStyle>(In[48]) : psSolid;
  It.Tag = GetInt(In + 52);
  It.LWid = GetInt(In + 56);
  It.ItemClass = In[60];
  It.ItemKind = In[61] < kNumItemKinds ? static_cast<TrcItem>(In[61]) : tkNone;
  It.Layer = GetInt(In + 64);
  It.Transp = In[68] != 0;
  It.FrameStyle = In[69] <= fsEngraved ? static_cast<TFrameStyle>(In[69]) : fsNone;
  std::memcpy(It.Text.data(), In + 70, 18);
  It.Text[0] = std::min<uint8_t>(It.Text[0], 17);
  It.Param1 = GetInt(In + 88);
  It.Param2 = GetInt(In + 92);
  It.Param3 = GetInt(In + 96);
  It.CoordMode = In[100] <= cmXWorldYScreen ? static_cast<TCoordMode>(In[100]) : cmAllWorld;
  return It;
}

std::string ChartItemText(const TrcChartItem& Item) {
  const std::size_t N = std::min<std::size_t>(Item.Text[0], 17);
  return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(Item.Text.data() + 1), N));
}

void SetChartItemText(TrcChartItem& Item, const std::string& Text, int MaxChars) {
  // Cut to whole code points first, so a multi-byte character is never split.
  std::size_t I = 0;
  for (int N = 0; N < MaxChars && I < Text.size(); ++N) NextCodePoint(Text, I);
  const std::string Bytes = Utf8ToCp1252(std::string_view(Text).substr(0, I));
  const std::size_t Len = std::min<std::size_t>(Bytes.size(), 17);
  Item.Text.fill(0);
  Item.Text[0] = static_cast<uint8_t>(Len);
  std::memcpy(Item.Text.data() + 1, Bytes.data(), Len);
}

// ---- Appending ----------------------------------------------------------------------------

TrcChartItem TCustomRIrove::NewItem(TrcItem Kind, double x, double y, double x2,
                                    double y2) const {
  TrcChartItem It;
  It.ItemKind = Kind;
  It.Layer = FActiveLayer;
  It.ItemClass = FClassDefault;
  It.x = x;
  It.y = y;
  It.x2 = x2;
  It.y2 = y2;
  It.Color = FDataColor;
  It.PenStyle = FPenStyle;
  It.Tag = FDataTag;
  It.LWid = FLineWidth;
  if (TakesFill(Kind)) It.FillColor = FFillColor;
  if (TakesTransp(Kind)) It.Transp = FTransparentItems;
  return It;
}

void TCustomRIrove::Append(TrcChartItem Item, TCoordMode Mode) {
  TStore& S = Target();
  Item.CoordMode = FAnnoMode ? Mode : cmAllWorld;
  if (S.Count() == S.Alloc) {
    const int64_t NewAlloc = static_cast<int64_t>(S.Alloc) + FAllocSize;
    if (NewAlloc > INT32_MAX) throw std::bad_alloc();
    S.Items.reserve(static_cast<std::size_t>(NewAlloc));
    S.Alloc = static_cast<int32_t>(NewAlloc);
  }
  S.Items.push_back(Item);
  if (!FAnnoMode) ++S.KindCount[Item.ItemKind];
}

void TCustomRIrove::TwoPoint(TrcItem Kind, double x1, double y1, double x2, double y2,
                             TCoordMode Mode) {
  Append(NewItem(Kind, x1, y1, x2, y2), Mode);
}

void TCustomRIrove::MoveTo(double x, double y) { TwoPoint(tkMoveTo, x, y, 0, 0, cmAllWorld); }
void TCustomRIrove::MoveTo(int32_t x, int32_t y) { TwoPoint(tkMoveTo, x, y, 0, 0, cmAllScreen); }
void TCustomRIrove::MoveTo(int32_t x, double y) { TwoPoint(tkMoveTo, x, y, 0, 0, cmXScreenYWorld); }
void TCustomRIrove::MoveTo(double x, int32_t y) { TwoPoint(tkMoveTo, x, y, 0, 0, cmXWorldYScreen); }
void TCustomRIrove::DrawTo(double x, double y) { TwoPoint(tkLineto, x, y, 0, 0, cmAllWorld); }
void TCustomRIrove::DrawTo(int32_t x, int32_t y) { TwoPoint(tkLineto, x, y, 0, 0, cmAllScreen); }
void TCustomRIrove::DrawTo(int32_t x, double y) { TwoPoint(tkLineto, x, y, 0, 0, cmXScreenYWorld); }
void TCustomRIrove::DrawTo(double x, int32_t y) { TwoPoint(tkLineto, x, y, 0, 0, cmXWorldYScreen); }

void TCustomRIrove::MoveToRelPix(int32_t dx, int32_t dy) {
  TwoPoint(tkMoveRelPix, dx, dy, 0, 0, cmAllWorld);
}
void TCustomRIrove::DrawToRelPix(int32_t dx, int32_t dy) {
  TwoPoint(tkLineRelPix, dx, dy, 0, 0, cmAllWorld);
}
void TCustomRIrove::DrawToRelPix(double x, double y, int32_t dx, int32_t dy) {
  TwoPoint(tkLineRelPixOrig, x, y, dx, dy, cmAllWorld);
}

void TCustomRIrove::MarkAt(double x, double y, uint8_t mk) {
  TrcChartItem It = NewItem(tkMarkAt, x, y, 0, 0);
  It.Param3 = mk;
  Append(It, cmAllWorld);
}
void TCustomRIrove::MarkAt(int32_t x, int32_t y, uint8_t mk) {
  TrcChartItem It = NewItem(tkMarkAt, x, y, 0, 0);
  It.Param3 = mk;
  Append(It, cmAllScreen);
}

void TCustomRIrove::MarkErrorBar(double x, double y, double dlower, double dupper,
                                 TOrientation Dir, uint8_t mk) {
  TrcChartItem It = NewItem(tkMarkEBar, x, y, dlower, dupper);
  It.Param1 = Dir;
  It.Param3 = mk;
  Append(It, cmAllWorld);
}

void TCustomRIrove::Line(double x1, double y1, double x2, double y2) {
  TwoPoint(tkLine, x1, y1, x2, y2, cmAllWorld);
}
void TCustomRIrove::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  TwoPoint(tkLine, x1, y1, x2, y2, cmAllScreen);
}
void TCustomRIrove::Line(double x1, double y1, int32_t x2, int32_t y2) {
  TwoPoint(tkLine, x1, y1, x2, y2, cmWorldMainScreenSec);
}
void TCustomRIrove::Line(int32_t x1, int32_t y1, double x2, double y2) {
  TwoPoint(tkLine, x1, y1, x2, y2, cmScreenMainWorldSec);
}

void TCustomRIrove::LineOffset(double x1, double y1, double x2, double y2, int32_t dx,
                               int32_t dy) {
  TrcChartItem It = NewItem(tkLineOffs, x1, y1, x2, y2);
  It.Param1 = dx;
  It.Param2 = dy;
  Append(It, cmAllWorld);
}

void TCustomRIrove::Rectangle(double x1, double y1, double x2, double y2) {
  TwoPoint(tkRect, x1, y1, x2, y2, cmAllWorld);
}
void TCustomRIrove::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  TwoPoint(tkRect, x1, y1, x2, y2, cmAllScreen);
}
void TCustomRIrove::Rectangle(int32_t x1, int32_t y1, double x2, double y2) {
  TwoPoint(tkRect, x1, y1, x2, y2, cmScreenMainWorldSec);
}
void TCustomRIrove::Rectangle(double x1, double y1, int32_t x2, int32_t y2) {
  TwoPoint(tkRect, x1, y1, x2, y2, cmWorldMainScreenSec);
}

void TCustomRIrove::RectangleRelPix(double centx, double centy, int32_t dx, int32_t dy) {
  TrcChartItem It = NewItem(tkRectRelPix, centx, centy, 0, 0);
  It.Param1 = dx;
  It.Param2 = dy;
  Append(It, cmAllWorld);
}

void TCustomRIrove::RectFrameItem(double x1, double y1, double x2, double y2,
                                  TFrameStyle FrameStyle, TColor ShadowColor,
                                  TColor HiLightColor, TCoordMode Mode) {
  TrcChartItem It = NewItem(tkRectFrame, x1, y1, x2, y2);
  It.FrameStyle = FrameStyle;
  It.ShadowColor = ShadowColor;
  It.HiLightColor = HiLightColor;
  It.LWid = 1;
  Append(It, Mode);
}

void TCustomRIrove::RectFrame(double x1, double y1, double x2, double y2, TFrameStyle FrameStyle,
                              TColor ShadowColor, TColor HiLightColor) {
  RectFrameItem(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmAllWorld);
}
void TCustomRIrove::RectFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                              TFrameStyle FrameStyle, TColor ShadowColor, TColor HiLightColor) {
  RectFrameItem(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmAllScreen);
}
void TCustomRIrove::RectFrame(int32_t x1, int32_t y1, double x2, double y2,
                              TFrameStyle FrameStyle, TColor ShadowColor, TColor HiLightColor) {
  RectFrameItem(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmScreenMainWorldSec);
}
void TCustomRIrove::RectFrame(double x1, double y1, int32_t x2, int32_t y2,
                              TFrameStyle FrameStyle, TColor ShadowColor, TColor HiLightColor) {
  RectFrameItem(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmWorldMainScreenSec);
}

#define ZEF_ARROW_OVERLOADS(Method, Kind)                                                   \
  void TCustomRIrove::Method(double x1, double y1, double x2, double y2, int32_t HeadSize) { \
    ArrowItem(Kind, x1, y1, x2, y2, HeadSize, cmAllWorld);                                   \
  }                                                                                         \
  void TCustomRIrove::Method(int32_t x1, int32_t y1, int32_t x2, int32_t y2,                \
                             int32_t HeadSize) {                                            \
    ArrowItem(Kind, x1, y1, x2, y2, HeadSize, cmAllScreen);                                  \
  }                                                                                         \
  void TCustomRIrove::Method(int32_t x1, int32_t y1, double x2, double y2, int32_t HeadSize) { \
    ArrowItem(Kind, x1, y1, x2, y2, HeadSize, cmScreenMainWorldSec);                         \
  }                                                                                         \
  void TCustomRIrove::Method(double x1, double y1, int32_t x2, int32_t y2, int32_t HeadSize) { \
    ArrowItem(Kind, x1, y1, x2, y2, HeadSize, cmWorldMainScreenSec);                         \
  }                                                                                         \
  void TCustomRIrove::Method(int32_t x1, double y1, int32_t x2, double y2, int32_t HeadSize) { \
    ArrowItem(Kind, x1, y1, x2, y2, HeadSize, cmXScreenYWorld);                              \
  }                                                                                         \
  void TCustomRIrove::Method(double x1, int32_t y1, double x2, int32_t y2, int32_t HeadSize) { \
    ArrowItem(Kind, x1, y1, x2, y2, HeadSize, cmXWorldYScreen);                              \
  }

void TCustomRIrove::ArrowItem(TrcItem Kind, double x1, double y1, double x2, double y2,
                              int32_t HeadSize, TCoordMode Mode) {
  TrcChartItem It = NewItem(Kind, x1, y1, x2, y2);
  It.Param1 = HeadSize;
  Append(It, Mode);
}

ZEF_ARROW_OVERLOADS(Arrow, tkArrow)
ZEF_ARROW_OVERLOADS(DoubleArrow, tkDoubleArrow)
#undef ZEF_ARROW_OVERLOADS

void TCustomRIrove::Bar3D(double llx, double lly, double urx, double ury, int32_t Depth,
                          int32_t Angle) {
  TrcChartItem It = NewItem(tk3DBar, llx, lly, urx, ury);
  It.Param1 = std::clamp(Angle, 0, 180);
  It.Param2 = Depth;
  Append(It, cmAllWorld);
}

void TCustomRIrove::Ellipse(double cx, double cy, double HorizAxLeng, double VertAxLeng) {
  TwoPoint(tkEllipse, cx, cy, HorizAxLeng, VertAxLeng, cmAllWorld);
}

void TCustomRIrove::Arc(double cx, double cy, double HorizAxLeng, double VertAxLeng,
                        double Angle1, double Angle2) {
  TrcChartItem It = NewItem(tkArc, cx, cy, HorizAxLeng, VertAxLeng);
  const auto Store = [](double A) {
    // NaN is taken as 0 so the stored parameter is always defined.
    const double C = std::isnan(A) ? 0.0 : std::clamp(A, -std::numbers::pi, std::numbers::pi);
    return static_cast<int32_t>(Round(C * 1e8));
  };
  It.Param1 = Store(Angle1);
  It.Param2 = Store(Angle2);
  Append(It, cmAllWorld);
}

void TCustomRIrove::AppendText(double x, double y, int32_t Size, const std::string& Txt,
                               int32_t dx, int32_t dy, TAlignment Align, TCoordMode Mode) {
  const bool Offset = dx != 0 || dy != 0;
  TrcChartItem It = NewItem(Offset ? tkTextOfs : tkText, x, y, Offset ? dx : 0, Offset ? dy : 0);
  It.Param1 = Size;
  It.Param2 = FTextBkStyle;
  It.Param3 = Align;
  It.LWid = 0;
  SetChartItemText(It, Txt);
  TStore& S = Target();
  if (Utf8Length(Txt) > 15 && S.NumLongTexts < 50) {
    S.LongTexts[S.NumLongTexts] = Txt;
    It.LWid = ++S.NumLongTexts;
  }
  Append(It, Mode);
}

void TCustomRIrove::Text(double x, double y, int32_t size, const std::string& txt) {
  AppendText(x, y, size, txt, 0, 0, FTextAlignment, cmAllWorld);
}
void TCustomRIrove::Text(int32_t x, int32_t y, int32_t size, const std::string& txt) {
  AppendText(x, y, size, txt, 0, 0, FTextAlignment, cmAllScreen);
}
void TCustomRIrove::Text(int32_t x, double y, int32_t size, const std::string& txt) {
  AppendText(x, y, size, txt, 0, 0, FTextAlignment, cmXScreenYWorld);
}
void TCustomRIrove::Text(double x, int32_t y, int32_t size, const std::string& txt) {
  AppendText(x, y, size, txt, 0, 0, FTextAlignment, cmXWorldYScreen);
}
void TCustomRIrove::Text(double x, double y, int32_t size, const std::string& txt, int32_t dx,
                         int32_t dy, TAlignment Alignment) {
  AppendText(x, y, size, txt, dx, dy, Alignment, cmAllWorld);
}

void TCustomRIrove::CursorVert(double x) { TwoPoint(tkCursorVert, x, 0, 0, 0, cmAllWorld); }
void TCustomRIrove::CursorVert(int32_t x) { TwoPoint(tkCursorVert, x, 0, 0, 0, cmAllScreen); }
void TCustomRIrove::CursorHoriz(double y) { TwoPoint(tkCursorHoriz, 0, y, 0, 0, cmAllWorld); }
void TCustomRIrove::CursorHoriz(int32_t y) { TwoPoint(tkCursorHoriz, 0, y, 0, 0, cmAllScreen); }

} // namespace zef
