#include "graphics/svgcanvas.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "graphics/fonts.h"
#include "graphics/image_codecs.h"
#include "rtl/streams.h"
#include "rtl/strings.h"

namespace zef {

namespace {

using i128 = __int128;

// The raster canvas's dash patterns of one-pixel pens (on/off run lengths in pixels).
const char* DashArray(TPenStyle Style) {
  switch (Style) {
  case psDash: return "18 6";
  case psDot: return "3 3";
  case psDashDot: return "9 6 3 6";
  case psDashDotDot: return "9 3 3 3 3 3";
  default: return nullptr;
  }
}

// The cells of the 8 x 8 hatches, by surface position (as the raster canvas paints them).
bool HatchCell(TBrushStyle H, int X, int Y) {
  switch (H) {
  case bsHorizontal: return Y == 0;
  case bsVertical: return X == 0;
  case bsFDiagonal: return ((X - Y) & 7) == 0;
  case bsBDiagonal: return ((X + Y) & 7) == 0;
  case bsCross: return X == 0 || Y == 0;
  case bsDiagCross: return ((X - Y) & 7) == 0 || ((X + Y) & 7) == 0;
  default: return true;
  }
}

// A coordinate: fixed point with at most three decimals, never an exponent.
std::string Num(double V) {
  if (!std::isfinite(V)) return "0";
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, V, std::chars_format::fixed, 3);
  std::string S(Buf, R.ptr);
  while (S.back() == '0') S.pop_back();
  if (S.back() == '.') S.pop_back();
  if (S == "-0") S = "0";
  return S;
}

std::string Attr(const char* Name, double V) {
  return std::string(" ") + Name + "=\"" + Num(V) + "\"";
}

std::string ColorText(TColor C) {
  static const char Hex[] = "0123456789abcdef";
  const TColor Rgb = ColorToRGB(C);
  std::string S = "#";
  for (const uint8_t B : {GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb)}) {
    S += Hex[B >> 4];
    S += Hex[B & 15];
  }
  return S;
}

// Text for XML content and attribute values: the five markup characters as entities,
// malformed UTF-8 and U+FFFE/U+FFFF as U+FFFD, and the control characters (which draw
// nothing and which XML 1.0 does not allow) left out.
std::string XmlEscape(std::string_view S) {
  std::string R;
  R.reserve(S.size());
  for (std::size_t I = 0; I < S.size();) {
    char32_t C = NextCodePoint(S, I);
    if (C < 0x20 || (C >= 0x7F && C <= 0x9F)) continue;
    switch (C) {
    case '&': R += "&amp;"; break;
    case '<': R += "&lt;"; break;
    case '>': R += "&gt;"; break;
    case '"': R += "&quot;"; break;
    case '\'': R += "&apos;"; break;
    default:
      if (C == 0xFFFE || C == 0xFFFF) C = 0xFFFD;
      AppendUtf8(R, C);
    }
  }
  return R;
}

std::string Base64(const std::string& Bytes) {
  static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string R;
  R.reserve((Bytes.size() + 2) / 3 * 4);
  std::size_t I = 0;
  for (; I + 2 < Bytes.size(); I += 3) {
    const uint32_t V = (uint32_t(uint8_t(Bytes[I])) << 16) |
                       (uint32_t(uint8_t(Bytes[I + 1])) << 8) | uint8_t(Bytes[I + 2]);
    for (int Shift = 18; Shift >= 0; Shift -= 6) R += Alphabet[(V >> Shift) & 63];
  }
  if (I < Bytes.size()) {
    const bool Two = I + 1 < Bytes.size();
    const uint32_t V =
        (uint32_t(uint8_t(Bytes[I])) << 16) | (Two ? uint32_t(uint8_t(Bytes[I + 1])) << 8 : 0);
    R += Alphabet[(V >> 18) & 63];
    R += Alphabet[(V >> 12) & 63];
    R += Two ? Alphabet[(V >> 6) & 63] : '=';
    R += '=';
  }
  return R;
}

std::string PngDataUri(const std::vector<uint32_t>& Pixels, int32_t Width, int32_t Height,
                       TPixelFormat Format) {
  TStringStream S;
  imaging::WritePNG(S, Pixels.data(), Width, Height, Format);
  return "data:image/png;base64," + Base64(S.DataString());
}

// A generic family to fall back on when the viewer lacks the named one.
const char* GenericFamily(const std::string& Name) {
  for (const char* Mono : {"Courier", "Mono", "Consol", "Fixed", "Terminal"})
    if (Pos(LowerCase(Mono), LowerCase(Name)) > 0) return "monospace";
  const std::string L = LowerCase(Name);
  if (Pos("sans", L) == 0 &&
      (Pos("times", L) > 0 || Pos("serif", L) > 0 || Pos("georgia", L) > 0 || Pos("roman", L) > 0))
    return "serif";
  return "sans-serif";
}

} // namespace

TSvgCanvas::TSvgCanvas(int32_t Width, int32_t Height)
    : TCanvas(nullptr), FWidth(std::max(0, Width)), FHeight(std::max(0, Height)) {}

// ---- Clip --------------------------------------------------------------------------------------

void TSvgCanvas::SetClipRect(const TRect& R) {
  TCanvas::SetClipRect(R);
  FSvgHasClip = true;
  FSvgClip = R;
}

void TSvgCanvas::ResetClipRect() {
  TCanvas::ResetClipRect();
  FSvgHasClip = false;
}

TSvgCanvas::TClipState TSvgCanvas::WantedClip() const {
  TClipState C;
  C.L = 0;
  C.T = 0;
  C.R = FWidth;
  C.B = FHeight;
  if (!FSvgHasClip) return C;
  C.On = true;
  const TPoint O = Origin();
  C.L = std::clamp<int64_t>(int64_t(FSvgClip.Left) + O.X, 0, FWidth);
  C.T = std::clamp<int64_t>(int64_t(FSvgClip.Top) + O.Y, 0, FHeight);
  C.R = std::clamp<int64_t>(int64_t(FSvgClip.Right) + O.X, C.L, FWidth);
  C.B = std::clamp<int64_t>(int64_t(FSvgClip.Bottom) + O.Y, C.T, FHeight);
  return C;
}

TRect TSvgCanvas::ClipRect() const {
  const TClipState C = WantedClip();
  const TPoint O = Origin();
  return {static_cast<int32_t>(C.L - O.X), static_cast<int32_t>(C.T - O.Y),
          static_cast<int32_t>(C.R - O.X), static_cast<int32_t>(C.B - O.Y)};
}

std::string TSvgCanvas::NewId(char Prefix) { return Prefix + std::to_string(++FNextId); }

bool TSvgCanvas::GroupMatchesClip() const {
  const TClipState Want = WantedClip();
  return Want.On == FGroup.On && (!Want.On || Want == FGroup);
}

void TSvgCanvas::SyncClip() {
  if (GroupMatchesClip()) return;
  const TClipState Want = WantedClip();
  if (FGroup.On) FBody += "</g>\n";
  FGroup = Want;
  if (!Want.On) return;
  const std::string Id = NewId('c');
  FBody += "<clipPath id=\"" + Id + "\"><rect" + Attr("x", double(Want.L)) +
           Attr("y", double(Want.T)) + Attr("width", double(Want.R - Want.L)) +
           Attr("height", double(Want.B - Want.T)) + "/></clipPath>\n<g clip-path=\"url(#" + Id +
           ")\">\n";
}

void TSvgCanvas::Begin() {
  FlushRun();
  SyncClip();
}

// ---- Paint -------------------------------------------------------------------------------------

bool TSvgCanvas::PenVisible() const { return Pen().Style() != psClear && Pen().Mode() != pmNop; }

bool TSvgCanvas::BrushVisible() const {
  return Brush().Style() != bsClear && Pen().Mode() != pmNop;
}

std::string TSvgCanvas::PenColor() const {
  if (Pen().Mode() == pmBlack) return "#000000";
  if (Pen().Mode() == pmWhite) return "#ffffff";
  return ColorText(Pen().Color());
}

std::string TSvgCanvas::BrushFill(bool UsePenMode) {
  if (Brush().Style() == bsClear) return "none";
  std::string Color = ColorText(Brush().Color());
  if (UsePenMode && Pen().Mode() == pmBlack) Color = "#000000";
  if (UsePenMode && Pen().Mode() == pmWhite) Color = "#ffffff";
  if (Brush().Style() == bsSolid) return Color;
  const std::string Id = "h" + std::to_string(int(Brush().Style())) + "_" + Color.substr(1);
  if (FPatterns.insert(Id).second) {
    std::string D;
    for (int Y = 0; Y < 8; ++Y)
      for (int X = 0; X < 8; ++X) {
        if (!HatchCell(Brush().Style(), X, Y) || (X > 0 && HatchCell(Brush().Style(), X - 1, Y)))
          continue;
        int Run = 1;
        while (X + Run < 8 && HatchCell(Brush().Style(), X + Run, Y)) ++Run;
        D += "M" + std::to_string(X) + " " + std::to_string(Y) + "h" + std::to_string(Run) +
             "v1h-" + std::to_string(Run) + "z";
      }
    FBody +=
        "<defs><pattern id=\"" + Id +
        "\" patternUnits=\"userSpaceOnUse\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"><path d=\"" +
        D + "\" fill=\"" + Color + "\"/></pattern></defs>\n";
  }
  return "url(#" + Id + ")";
}

TSvgCanvas::TStroke TSvgCanvas::MakeStroke(bool Dashed) const {
  TStroke S;
  const int32_t W = Pen().Width();
  const std::string Color = PenColor();
  const char* Dash = (Dashed && W <= 1) ? DashArray(Pen().Style()) : nullptr;
  const std::string Joins =
      W <= 1 ? " stroke-miterlimit=\"4\"" : " stroke-linecap=\"round\" stroke-linejoin=\"round\"";
  S.Attributes = " stroke=\"" + Color + "\" stroke-width=\"" + std::to_string(W) + "\"" + Joins;
  if (Dash != nullptr) {
    S.Dashed = true;
    S.Attributes += std::string(" stroke-dasharray=\"") + Dash + "\"";
    if (Brush().Style() == bsSolid) {
      S.Gap = ColorText(Brush().Color());
      S.GapAttributes = " stroke=\"" + S.Gap + "\" stroke-width=\"1\"" + Joins;
    }
  }
  return S;
}

std::string TSvgCanvas::ElementText(const std::string& Geometry, const std::string& Fill,
                                    const TStroke* Stroke, const std::string& Extra) {
  if (Stroke == nullptr)
    return Fill == "none" ? std::string()
                          : "<" + Geometry + " fill=\"" + Fill + "\"" + Extra + "/>\n";
  if (Stroke->Gap.empty())
    return "<" + Geometry + " fill=\"" + Fill + "\"" + Stroke->Attributes + Extra + "/>\n";
  return "<" + Geometry + " fill=\"" + Fill + "\"" + Stroke->GapAttributes + "/>\n<" + Geometry +
         " fill=\"none\"" + Stroke->Attributes + Extra + "/>\n";
}

// A box filled in the pen colour: the outline of a shape too small to have an inside.
void TSvgCanvas::PenBox(int64_t L, int64_t T, int64_t R, int64_t B) {
  FBody += ElementText("rect" + Attr("x", double(L)) + Attr("y", double(T)) +
                           Attr("width", double(R - L)) + Attr("height", double(B - T)),
                       PenColor(), nullptr, "");
}

// ---- Lines -------------------------------------------------------------------------------------

std::string TSvgCanvas::RunText(const TRun& Run, double Phase) const {
  const auto& P = Run.Points;
  if (P.size() < 2) return {};
  std::string D;
  const auto Add = [&](double X, double Y) {
    D += (D.empty() ? "M" : " L") + Num(X) + " " + Num(Y);
  };
  if (Run.Thin) {
    // Half a pixel step back along a segment: the path starts at the edge of the first pixel
    // and stops at the edge of the left-out end pixel.
    const auto Half = [](const TPt& A, const TPt& B) {
      const double Steps = double(std::max(std::llabs(B.X - A.X), std::llabs(B.Y - A.Y)));
      return std::pair<double, double>{0.5 * double(B.X - A.X) / Steps,
                                       0.5 * double(B.Y - A.Y) / Steps};
    };
    const auto H0 = Half(P[0], P[1]);
    Add(double(P[0].X) + 0.5 - H0.first, double(P[0].Y) + 0.5 - H0.second);
    for (std::size_t I = 1; I + 1 < P.size(); ++I) Add(double(P[I].X) + 0.5, double(P[I].Y) + 0.5);
    const auto Hn = Half(P[P.size() - 2], P.back());
    Add(double(P.back().X) + 0.5 - Hn.first, double(P.back().Y) + 0.5 - Hn.second);
  } else {
    const double S = Run.Width % 2 == 0 ? 1.0 : 0.5;
    for (const TPt& Q : P) Add(double(Q.X) + S, double(Q.Y) + S);
  }
  const std::string Extra =
      (Run.Stroke.Dashed && Phase > 0) ? Attr("stroke-dashoffset", Phase) : std::string();
  return ElementText("path d=\"" + D + "\"", "none", &Run.Stroke, Extra);
}

void TSvgCanvas::FlushRun() {
  FBody += RunText(FRun, FRunPhase);
  FRun.Points.clear();
}

void TSvgCanvas::MoveTo(int32_t X, int32_t Y) {
  TCanvas::MoveTo(X, Y);
  FPhase = 0;
}

void TSvgCanvas::LineTo(int32_t X, int32_t Y) {
  const TPoint From = PenPos();
  SetPenPos({X, Y});
  if (!PenVisible()) return;
  const TPoint O = Origin();
  const TPt A{int64_t(From.X) + O.X, int64_t(From.Y) + O.Y}, B{int64_t(X) + O.X, int64_t(Y) + O.Y};
  if (A == B) return; // nothing to draw: the end point is left out
  const TStroke S = MakeStroke(true);
  const std::string Key = S.Attributes + "|" + S.Gap;
  if (!FRun.Points.empty() && FRun.Points.back() == A && FRun.Key == Key && GroupMatchesClip()) {
    FRun.Points.push_back(B);
  } else {
    Begin();
    FRun.Points = {A, B};
    FRun.Key = Key;
    FRun.Thin = Pen().Width() <= 1;
    FRun.Width = Pen().Width();
    FRun.Stroke = S;
    FRunPhase = FPhase;
  }
  FPhase += std::hypot(double(B.X - A.X), double(B.Y - A.Y));
}

void TSvgCanvas::Polyline(const TPoint* Points, std::size_t Count) {
  if (Count < 2 || !PenVisible()) return;
  Begin();
  TRun Run;
  const TPoint O = Origin();
  for (std::size_t I = 0; I < Count; ++I) {
    const TPt P{int64_t(Points[I].X) + O.X, int64_t(Points[I].Y) + O.Y};
    if (Run.Points.empty() || !(Run.Points.back() == P)) Run.Points.push_back(P);
  }
  Run.Thin = Pen().Width() <= 1;
  Run.Width = Pen().Width();
  Run.Stroke = MakeStroke(true);
  FBody += RunText(Run, 0);
}

void TSvgCanvas::Polygon(const TPoint* Points, std::size_t Count) {
  if (Count < 2) return;
  const bool HasPen = PenVisible();
  if (!HasPen && !BrushVisible()) return;
  Begin();
  const std::string Fill = BrushVisible() ? BrushFill(true) : "none";
  // The vertices are pixel centres, for the outline and the fill alike.
  const double S = HasPen && Pen().Width() > 1 && Pen().Width() % 2 == 0 ? 1.0 : 0.5;
  const TPoint O = Origin();
  std::string Pts;
  for (std::size_t I = 0; I < Count; ++I)
    Pts += (I ? " " : "") + Num(double(int64_t(Points[I].X) + O.X) + S) + "," +
           Num(double(int64_t(Points[I].Y) + O.Y) + S);
  const TStroke St = MakeStroke(true);
  FBody += ElementText("polygon points=\"" + Pts + "\" fill-rule=\"evenodd\"", Fill,
                       HasPen ? &St : nullptr, "");
}

// ---- Boxes and ellipses -----------------------------------------------------------------------

// Rectangle (EW = EH = 0), RoundRect or Ellipse with the device pixel box X1..X2-1, Y1..Y2-1.
void TSvgCanvas::DrawBox(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t EW, int64_t EH,
                         bool IsEllipse) {
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
  if (X1 >= X2 || Y1 >= Y2) return;
  const bool HasPen = PenVisible();
  if (!HasPen && !BrushVisible()) return;
  Begin();
  const std::string Fill = BrushVisible() ? BrushFill(true) : "none";
  EW = std::clamp<int64_t>(EW, 0, X2 - X1);
  EH = std::clamp<int64_t>(EH, 0, Y2 - Y1);
  const bool Round = !IsEllipse && EW >= 2 && EH >= 2;
  double L = double(X1), T = double(Y1), R = double(X2), B = double(Y2), Rx = EW / 2.0,
         Ry = EH / 2.0;
  TStroke St;
  if (HasPen) {
    // The stroke's centre line: the pen covers the outline pixels and, when wide, lies
    // centred on them (inside the box for psInsideFrame).
    const int64_t W = Pen().Width();
    const bool Inside = Pen().Style() == psInsideFrame;
    const int64_t Before = Inside ? 0 : (W - 1) / 2, After = Inside ? 0 : W / 2;
    L = double(X1 - Before) + W / 2.0;
    T = double(Y1 - Before) + W / 2.0;
    R = double(X2 + After) - W / 2.0;
    B = double(Y2 + After) - W / 2.0;
    if (R <= L || B <= T) {
      PenBox(X1 - Before, Y1 - Before, X2 + After, Y2 + After);
      return;
    }
    Rx = std::max(0.0, (EW - W) / 2.0);
    Ry = std::max(0.0, (EH - W) / 2.0);
    St = MakeStroke(true);
  }
  std::string G;
  if (IsEllipse) {
    G = "ellipse" + Attr("cx", (L + R) / 2) + Attr("cy", (T + B) / 2) + Attr("rx", (R - L) / 2) +
        Attr("ry", (B - T) / 2);
  } else {
    G = "rect" + Attr("x", L) + Attr("y", T) + Attr("width", R - L) + Attr("height", B - T);
    if (Round && Rx > 0 && Ry > 0) G += Attr("rx", Rx) + Attr("ry", Ry);
  }
  FBody += ElementText(G, Fill, HasPen ? &St : nullptr, "");
}

void TSvgCanvas::Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  const TPoint O = Origin();
  DrawBox(int64_t(X1) + O.X, int64_t(Y1) + O.Y, int64_t(X2) + O.X, int64_t(Y2) + O.Y, 0, 0, false);
}

void TSvgCanvas::RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3) {
  const TPoint O = Origin();
  DrawBox(int64_t(X1) + O.X, int64_t(Y1) + O.Y, int64_t(X2) + O.X, int64_t(Y2) + O.Y,
          std::llabs(X3), std::llabs(Y3), false);
}

void TSvgCanvas::Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  const TPoint O = Origin();
  DrawBox(int64_t(X1) + O.X, int64_t(Y1) + O.Y, int64_t(X2) + O.X, int64_t(Y2) + O.Y, 0, 0, true);
}

void TSvgCanvas::FillRect(const TRect& R) {
  if (Brush().Style() == bsClear) return;
  const TPoint O = Origin();
  const int64_t L = int64_t(std::min(R.Left, R.Right)) + O.X,
                Rt = int64_t(std::max(R.Left, R.Right)) + O.X;
  const int64_t T = int64_t(std::min(R.Top, R.Bottom)) + O.Y,
                B = int64_t(std::max(R.Top, R.Bottom)) + O.Y;
  if (L >= Rt || T >= B) return;
  Begin();
  FBody += ElementText("rect" + Attr("x", double(L)) + Attr("y", double(T)) +
                           Attr("width", double(Rt - L)) + Attr("height", double(B - T)),
                       BrushFill(false), nullptr, "");
}

void TSvgCanvas::FrameRect(const TRect& R) {
  if (Brush().Style() == bsClear) return;
  const TPoint O = Origin();
  const int64_t L = int64_t(std::min(R.Left, R.Right)) + O.X,
                Rt = int64_t(std::max(R.Left, R.Right)) + O.X;
  const int64_t T = int64_t(std::min(R.Top, R.Bottom)) + O.Y,
                B = int64_t(std::max(R.Top, R.Bottom)) + O.Y;
  if (L >= Rt || T >= B) return;
  Begin();
  const std::string Color = ColorText(Brush().Color());
  std::string G = "rect" + Attr("x", double(L)) + Attr("y", double(T)) +
                  Attr("width", double(Rt - L)) + Attr("height", double(B - T));
  if (Rt - L <= 1 || B - T <= 1) { // all frame
    FBody += ElementText(G, Color, nullptr, "");
    return;
  }
  G = "rect" + Attr("x", L + 0.5) + Attr("y", T + 0.5) + Attr("width", double(Rt - L - 1)) +
      Attr("height", double(B - T - 1));
  TStroke St;
  St.Attributes = " stroke=\"" + Color + "\" stroke-width=\"1\"";
  FBody += ElementText(G, "none", &St, "");
}

// ---- Arcs, pies and chords ----------------------------------------------------------------------

void TSvgCanvas::DrawArc(int Kind, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3,
                         int32_t Y3, int32_t X4, int32_t Y4) {
  enum { kArc, kPie, kChord };
  const TPoint O = Origin();
  const int64_t L = int64_t(std::min(X1, X2)) + O.X, R = int64_t(std::max(X1, X2)) + O.X;
  const int64_t T = int64_t(std::min(Y1, Y2)) + O.Y, B = int64_t(std::max(Y1, Y2)) + O.Y;
  if (L >= R || T >= B) return;
  const bool HasPen = PenVisible();
  const bool HasFill = Kind != kArc && BrushVisible();
  if (!HasPen && !HasFill) return;
  Begin();
  // The ellipse the stroke runs on (see DrawBox), or the pixel box's own without a pen.
  long double El = L, Et = T, Er = R, Eb = B;
  if (HasPen) {
    const int64_t W = Pen().Width();
    const bool Inside = Pen().Style() == psInsideFrame;
    const int64_t Before = Inside ? 0 : (W - 1) / 2, After = Inside ? 0 : W / 2;
    El = (L - Before) + W / 2.0L;
    Et = (T - Before) + W / 2.0L;
    Er = (R + After) - W / 2.0L;
    Eb = (B + After) - W / 2.0L;
    if (Er <= El || Eb <= Et) {
      PenBox(L - Before, T - Before, R + After, B + After);
      return;
    }
  }
  const long double Cx = (El + Er) / 2, Cy = (Et + Eb) / 2, Rx = (Er - El) / 2, Ry = (Eb - Et) / 2;
  // Directions from the centre to the radial points' pixel centres, doubled to stay integral
  // (y down); the raster canvas decides the sweep from the same vectors.
  const i128 Sx = i128(2) * (int64_t(X3) + O.X) + 1 - L - R,
             Sy = i128(2) * (int64_t(Y3) + O.Y) + 1 - T - B;
  const i128 Ex = i128(2) * (int64_t(X4) + O.X) + 1 - L - R,
             Ey = i128(2) * (int64_t(Y4) + O.Y) + 1 - T - B;
  const bool ZeroS = Sx == 0 && Sy == 0, ZeroE = Ex == 0 && Ey == 0;
  const bool Full = ZeroS || ZeroE || (Sx * Ey - Sy * Ex == 0 && Sx * Ex + Sy * Ey > 0);
  const auto OnEllipse = [&](i128 Dx, i128 Dy) {
    const long double Vx = static_cast<long double>(Dx), Vy = static_cast<long double>(Dy);
    const long double N = std::sqrt((Vx / Rx) * (Vx / Rx) + (Vy / Ry) * (Vy / Ry));
    if (N == 0) return std::pair<long double, long double>{Cx + Rx, Cy};
    return std::pair<long double, long double>{Cx + Vx / N, Cy + Vy / N};
  };
  const auto P3 = OnEllipse(Sx, Sy);
  const auto P4 = Full ? P3 : OnEllipse(Ex, Ey);
  const auto Pt = [](std::pair<long double, long double> P) {
    return Num(double(P.first)) + " " + Num(double(P.second));
  };
  const std::string Radii = " A" + Num(double(Rx)) + " " + Num(double(Ry)) + " 0 ";
  std::string D;
  if (Kind == kPie)
    D = "M" + Num(double(Cx)) + " " + Num(double(Cy)) + " L" + Pt(P3);
  else
    D = "M" + Pt(P3);
  if (Full) {
    // An arc cannot end where it starts: go round through the opposite point.
    const std::pair<long double, long double> Q{2 * Cx - P3.first, 2 * Cy - P3.second};
    D += Radii + "1 0 " + Pt(Q) + Radii + "1 0 " + Pt(P3);
  } else {
    // Counter-clockwise on the screen is SVG's negative sweep; the span decides the large arc.
    long double Span =
        std::atan2(-static_cast<long double>(Ey) / Ry, static_cast<long double>(Ex) / Rx) -
        std::atan2(-static_cast<long double>(Sy) / Ry, static_cast<long double>(Sx) / Rx);
    while (Span <= 0) Span += 2 * std::numbers::pi_v<long double>;
    D += Radii + (Span > std::numbers::pi_v<long double> ? "1" : "0") + " 0 " + Pt(P4);
  }
  if (Kind != kArc) D += " Z";
  const TStroke St = MakeStroke(true);
  FBody += ElementText("path d=\"" + D + "\"", HasFill ? BrushFill(true) : "none",
                       HasPen ? &St : nullptr, "");
}

void TSvgCanvas::Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                     int32_t X4, int32_t Y4) {
  DrawArc(0, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}
void TSvgCanvas::Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                     int32_t X4, int32_t Y4) {
  DrawArc(1, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}
void TSvgCanvas::Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                       int32_t X4, int32_t Y4) {
  DrawArc(2, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

// ---- Flood fill and pixels --------------------------------------------------------------------

void TSvgCanvas::FloodFill(int32_t, int32_t, TColor, TFillStyle) {}

TColor TSvgCanvas::Pixels(int32_t, int32_t) const { return clNone; }

void TSvgCanvas::SetPixels(int32_t X, int32_t Y, TColor Color) {
  Begin();
  const TPoint O = Origin();
  FBody += ElementText("rect" + Attr("x", double(int64_t(X) + O.X)) +
                           Attr("y", double(int64_t(Y) + O.Y)) + " width=\"1\" height=\"1\"",
                       ColorText(Color), nullptr, "");
}

// ---- Text --------------------------------------------------------------------------------------

// The text with its cell's top-left corner at device (X, Y), rotated about that point.
void TSvgCanvas::EmitText(int64_t X, int64_t Y, std::string_view Text, bool Background) {
  const TTextMetrics M = GetTextMetrics(Font());
  const int32_t Width = TextWidth(Text);
  const double Angle = Font().Orientation() / 10.0;
  const std::string Turn = Angle == 0 ? std::string()
                                      : " transform=\"rotate(" + Num(-Angle) + " " +
                                            Num(double(X)) + " " + Num(double(Y)) + ")\"";
  if (Background && Width > 0)
    FBody += ElementText("rect" + Attr("x", double(X)) + Attr("y", double(Y)) +
                             Attr("width", Width) + Attr("height", M.Height),
                         ColorText(Brush().Color()), nullptr, Turn);
  const std::string Shown = XmlEscape(Text);
  if (Shown.empty()) return;
  const int32_t EmSize = M.Height - M.InternalLeading > 0 ? M.Height - M.InternalLeading : M.Height;
  const TFontStyles St = Font().Style();
  std::string Deco;
  if (St.Contains(fsUnderline)) Deco = "underline";
  if (St.Contains(fsStrikeOut)) Deco += Deco.empty() ? "line-through" : " line-through";
  FBody += "<text" + Attr("x", double(X)) + Attr("y", double(Y + M.Ascent)) + " font-family=\"" +
           XmlEscape(Font().Name()) + ", " + GenericFamily(Font().Name()) + "\"" +
           Attr("font-size", EmSize) + (St.Contains(fsBold) ? " font-weight=\"bold\"" : "") +
           (St.Contains(fsItalic) ? " font-style=\"italic\"" : "") +
           (Deco.empty() ? "" : " text-decoration=\"" + Deco + "\"") + " fill=\"" +
           ColorText(Font().Color()) + "\"" +
           (Width > 0 ? Attr("textLength", Width) : std::string()) + " xml:space=\"preserve\"" +
           Turn + ">" + Shown + "</text>\n";
}

void TSvgCanvas::TextOut(int32_t X, int32_t Y, std::string_view Text) {
  Begin();
  const TPoint O = Origin();
  EmitText(int64_t(X) + O.X, int64_t(Y) + O.Y, Text, Brush().Style() == bsSolid);
  SetPenPos({X + TextWidth(Text), Y});
}

void TSvgCanvas::TextRect(const TRect& R, int32_t X, int32_t Y, std::string_view Text) {
  const TPoint O = Origin();
  const TClipState C = WantedClip();
  const int64_t L = std::max<int64_t>(C.L, int64_t(R.Left) + O.X),
                T = std::max<int64_t>(C.T, int64_t(R.Top) + O.Y);
  const int64_t Rt = std::min<int64_t>(C.R, int64_t(R.Right) + O.X),
                B = std::min<int64_t>(C.B, int64_t(R.Bottom) + O.Y);
  if (L >= Rt || T >= B) return;
  Begin();
  const std::string Box = "rect" + Attr("x", double(L)) + Attr("y", double(T)) +
                          Attr("width", double(Rt - L)) + Attr("height", double(B - T));
  const std::string Id = NewId('c');
  FBody +=
      "<clipPath id=\"" + Id + "\"><" + Box + "/></clipPath>\n<g clip-path=\"url(#" + Id + ")\">\n";
  if (Brush().Style() == bsSolid)
    FBody += ElementText(Box, ColorText(Brush().Color()), nullptr, "");
  EmitText(int64_t(X) + O.X, int64_t(Y) + O.Y, Text, false);
  FBody += "</g>\n";
}

// ---- Pictures ----------------------------------------------------------------------------------

// Source pixels SL..SR-1 by ST..SB-1 of Picture (within it) stretched from (X0, Y0) to
// (X1, Y1); a far corner left of or above the near one mirrors the picture.
void TSvgCanvas::EmitImage(const TBitmap& Picture, int64_t SL, int64_t ST, int64_t SR, int64_t SB,
                           double X0, double Y0, double X1, double Y1, bool UseTransparency,
                           bool Smooth) {
  if (SL >= SR || ST >= SB || X0 == X1 || Y0 == Y1) return;
  Begin();
  const double L = std::min(X0, X1), T = std::min(Y0, Y1), W = std::fabs(X1 - X0),
               H = std::fabs(Y1 - Y0);
  const std::string Box = Attr("x", L) + Attr("y", T) + Attr("width", W) + Attr("height", H);
  const TCopyMode Mode = CopyMode();
  if (Mode == cmBlackness || Mode == cmWhiteness) {
    FBody += ElementText("rect" + Box, Mode == cmBlackness ? "#000000" : "#ffffff", nullptr, "");
    return;
  }
  const int32_t Cw = static_cast<int32_t>(SR - SL), Ch = static_cast<int32_t>(SB - ST);
  std::vector<uint32_t> Pixels(static_cast<std::size_t>(Cw) * static_cast<std::size_t>(Ch));
  for (int32_t Y = 0; Y < Ch; ++Y) {
    const uint32_t* Row = Picture.ScanLine(static_cast<int32_t>(ST + Y)) + SL;
    std::copy(Row, Row + Cw, Pixels.begin() + static_cast<std::ptrdiff_t>(Y) * Cw);
  }
  TPixelFormat Format = Picture.PixelFormat();
  if (Mode == cmNotSrcCopy) {
    for (uint32_t& P : Pixels) P ^= 0x00FFFFFF;
    Format = pf24bit;
  }
  const std::string Rendering =
      Smooth ? "" : " image-rendering=\"optimizeSpeed\" style=\"image-rendering:pixelated\"";
  const bool Mirror = (X1 < X0) || (Y1 < Y0);
  if (Mirror)
    FBody += "<g transform=\"matrix(" + std::string(X1 < X0 ? "-1" : "1") + " 0 0 " +
             (Y1 < Y0 ? "-1" : "1") + " " + Num(X1 < X0 ? X0 + X1 : 0) + " " +
             Num(Y1 < Y0 ? Y0 + Y1 : 0) + ")\">\n";
  std::string MaskRef;
  if (UseTransparency) {
    const TColor Clear = Picture.TransparentColor();
    std::vector<uint32_t> Mask(Pixels.size());
    for (int32_t Y = 0; Y < Ch; ++Y) {
      const uint32_t* Row = Picture.ScanLine(static_cast<int32_t>(ST + Y)) + SL;
      for (int32_t X = 0; X < Cw; ++X)
        Mask[static_cast<std::size_t>(Y) * Cw + X] = Row[X] == Clear ? clBlack : clWhite;
    }
    const std::string Id = NewId('m');
    FBody += "<mask id=\"" + Id + "\"><image" + Box + " preserveAspectRatio=\"none\"" + Rendering +
             " xlink:href=\"" + PngDataUri(Mask, Cw, Ch, pf1bit) + "\"/></mask>\n";
    MaskRef = " mask=\"url(#" + Id + ")\"";
  }
  FBody += "<image" + Box + " preserveAspectRatio=\"none\"" + Rendering + MaskRef +
           " xlink:href=\"" + PngDataUri(Pixels, Cw, Ch, Format) + "\"/>\n";
  if (Mirror) FBody += "</g>\n";
}

void TSvgCanvas::Draw(int32_t X, int32_t Y, const TBitmap& Picture) {
  if (Picture.Empty()) return;
  const TPoint O = Origin();
  const double L = double(int64_t(X) + O.X), T = double(int64_t(Y) + O.Y);
  EmitImage(Picture, 0, 0, Picture.Width(), Picture.Height(), L, T, L + Picture.Width(),
            T + Picture.Height(), Picture.Transparent(), false);
}

void TSvgCanvas::StretchDraw(const TRect& R, const TBitmap& Picture) {
  if (Picture.Empty()) return;
  const TPoint O = Origin();
  const double W = double(int64_t(R.Right) - R.Left), H = double(int64_t(R.Bottom) - R.Top);
  // The raster canvas averages only when it shrinks; enlarging keeps the pixels sharp.
  const bool Smooth = StretchMode() == smAreaAverage &&
                      (std::fabs(W) < Picture.Width() || std::fabs(H) < Picture.Height());
  EmitImage(Picture, 0, 0, Picture.Width(), Picture.Height(), double(int64_t(R.Left) + O.X),
            double(int64_t(R.Top) + O.Y), double(int64_t(R.Right) + O.X),
            double(int64_t(R.Bottom) + O.Y), Picture.Transparent(), Smooth);
}

void TSvgCanvas::CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect) {
  const TBitmap* Src = Source.Target();
  if (Src == nullptr || Src->Empty()) return;
  const TPoint SO = Source.Origin(), O = Origin();
  const double Sx0 = double(int64_t(SourceRect.Left) + SO.X),
               Sx1 = double(int64_t(SourceRect.Right) + SO.X);
  const double Sy0 = double(int64_t(SourceRect.Top) + SO.Y),
               Sy1 = double(int64_t(SourceRect.Bottom) + SO.Y);
  const double Dx0 = double(int64_t(Dest.Left) + O.X), Dx1 = double(int64_t(Dest.Right) + O.X);
  const double Dy0 = double(int64_t(Dest.Top) + O.Y), Dy1 = double(int64_t(Dest.Bottom) + O.Y);
  if (Sx0 == Sx1 || Sy0 == Sy1) return;
  // Only the part of the source rectangle on the source picture is copied, to where the
  // linear map from source to destination puts it.
  const int64_t L = std::clamp<int64_t>(int64_t(std::min(Sx0, Sx1)), 0, Src->Width());
  const int64_t R = std::clamp<int64_t>(int64_t(std::max(Sx0, Sx1)), 0, Src->Width());
  const int64_t T = std::clamp<int64_t>(int64_t(std::min(Sy0, Sy1)), 0, Src->Height());
  const int64_t B = std::clamp<int64_t>(int64_t(std::max(Sy0, Sy1)), 0, Src->Height());
  const auto MapX = [&](double S) { return Dx0 + (S - Sx0) * (Dx1 - Dx0) / (Sx1 - Sx0); };
  const auto MapY = [&](double S) { return Dy0 + (S - Sy0) * (Dy1 - Dy0) / (Sy1 - Sy0); };
  const bool Smooth =
      StretchMode() == smAreaAverage &&
      (std::fabs(Dx1 - Dx0) < std::fabs(Sx1 - Sx0) || std::fabs(Dy1 - Dy0) < std::fabs(Sy1 - Sy0));
  EmitImage(*Src, L, T, R, B, MapX(double(L)), MapY(double(T)), MapX(double(R)), MapY(double(B)),
            false, Smooth);
}

// ---- The document ------------------------------------------------------------------------------

std::string TSvgCanvas::SvgText() const {
  std::string S = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\"" +
                  Attr("width", FWidth) + Attr("height", FHeight) + " viewBox=\"0 0 " +
                  std::to_string(FWidth) + " " + std::to_string(FHeight) + "\">\n";
  S += FBody;
  S += RunText(FRun, FRunPhase);
  if (FGroup.On) S += "</g>\n";
  S += "</svg>\n";
  return S;
}

void TSvgCanvas::SaveToStream(TStream& Stream) const {
  const std::string S = SvgText();
  Stream.WriteBuffer(S.data(), static_cast<int64_t>(S.size()));
}

void TSvgCanvas::SaveToFile(const std::string& FileName) const {
  TFileStream F(FileName, fmCreate);
  SaveToStream(F);
}

} // namespace zef
