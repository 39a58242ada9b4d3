// Mark symbols, frames and canvas utilities of ZEF_zefbase.
#include <algorithm>
#include <array>

#include "ZEF_zefbase.h"
#include "graphics/canvas.h"
#include "graphics/fonts.h"
#include "graphics/printer.h"
#include "rtl/strings.h"

namespace zef {

namespace {

struct TCell {
  int8_t Dx, Dy;
};

// Pixels of a pattern mark in the 7 x 7 grid around the centre.
template <class F>
void ForPatternCells(uint8_t Mark, F&& Cell) {
  switch (Mark) {
    case 1: case 2: case 3: {
      const int Arm = Mark;
      for (int D = -Arm; D <= Arm; ++D) Cell(D, 0);
      for (int D = -Arm; D <= Arm; ++D)
        if (D != 0) Cell(0, D);
      break;
    }
    case 4: case 5: case 6: {
      const int Arm = Mark - 3;
      Cell(0, 0);
      for (int D = 1; D <= Arm; ++D) {
        Cell(-D, -D); Cell(D, -D); Cell(-D, D); Cell(D, D);
      }
      break;
    }
    case 18:
      for (int Dy = -3; Dy <= 3; ++Dy)
        for (int Dx = -3; Dx <= 3; ++Dx)
          if ((Dx + Dy) % 2 == 0) Cell(Dx, Dy);
      break;
    default: break;
  }
}

class TMarkPainter {
public:
  TMarkPainter(TCanvas& C, int32_t X, int32_t Y) : FC(C), FX(X), FY(Y) {}

  void Line(int X1, int Y1, int X2, int Y2) {
    FC.MoveTo(FX + X1, FY + Y1);
    FC.LineTo(FX + X2, FY + Y2);
  }
  void Path(std::initializer_list<TCell> Points) {
    const TCell* P = Points.begin();
    FC.MoveTo(FX + P->Dx, FY + P->Dy);
    for (++P; P != Points.end(); ++P) FC.LineTo(FX + P->Dx, FY + P->Dy);
  }
  void Square(int N) { Path({{int8_t(-N), int8_t(-N)}, {int8_t(-N), int8_t(N)}, {int8_t(N), int8_t(N)}, {int8_t(N), int8_t(-N)}, {int8_t(-N), int8_t(-N)}}); }
  void Pixel(int Dx, int Dy) { FC.SetPixels(FX + Dx, FY + Dy, FC.Pen().Color()); }
  void Polygon(std::initializer_list<TCell> Points) {
    std::vector<TPoint> P;
    for (const TCell& C : Points) P.push_back({FX + C.Dx, FY + C.Dy});
    FC.Polygon(P);
  }
  void Rect(int X1, int Y1, int X2, int Y2) { FC.Rectangle(FX + X1, FY + Y1, FX + X2, FY + Y2); }
  void Ellipse(int X1, int Y1, int X2, int Y2) { FC.Ellipse(FX + X1, FY + Y1, FX + X2, FY + Y2); }

  // Filled: the brush takes the pen colour; open: a clear brush, left solid afterwards.
  template <class F>
  void Filled(F&& Draw) {
    FC.Brush().SetColor(FC.Pen().Color());
    Draw();
  }
  template <class F>
  void Open(F&& Draw) {
    FC.Brush().SetStyle(bsClear);
    Draw();
    FC.Brush().SetStyle(bsSolid);
  }

private:
  TCanvas& FC;
  int32_t FX, FY;
};

void DrawCharacterMark(TCanvas& Canvas, uint8_t Mark, int32_t X, int32_t Y) {
  const char32_t Code = (Mark >= 200 && Mark <= 209) ? char32_t('0' + (Mark - 200)) : char32_t(Mark);
  const std::string Text = Utf8Encode(Code);
  Canvas.Font().SetColor(Canvas.Pen().Color());
  Canvas.Brush().SetStyle(bsClear);
  const int32_t W = Canvas.TextWidth(Text);
  const int32_t H = Canvas.TextHeight(Text);
  Canvas.TextOut(X - W / 2, Y - H / 2, Text);
}

} // namespace

void DrawMarkOnCanvas(TCanvas& Canvas, uint8_t Mark, int32_t X, int32_t Y) {
  if (Mark > 51) {
    DrawCharacterMark(Canvas, Mark, X, Y);
    return;
  }
  const TColor SavedBrush = Canvas.Brush().Color();
  const bool Printer = Canvas.IsPrinterCanvas();
  TMarkPainter M(Canvas, X, Y);
  switch (Mark) {
    case 0: M.Pixel(0, 0); break;
    case 1: case 2: case 3:
      if (Printer) {
        const int A = Mark + 1;
        M.Line(-A, 0, A, 0);
        M.Line(0, -A, 0, A);
      } else {
        ForPatternCells(Mark, [&](int Dx, int Dy) { M.Pixel(Dx, Dy); });
      }
      break;
    case 4: case 5: case 6:
      if (Printer) {
        const int A = Mark - 2;
        M.Line(-A, -A, A, A);
        M.Line(-A, A, A, -A);
      } else {
        ForPatternCells(Mark, [&](int Dx, int Dy) { M.Pixel(Dx, Dy); });
      }
      break;
    case 7: M.Filled([&] { M.Rect(-1, -1, 2, 2); }); break;
    case 8: M.Filled([&] { M.Rect(-2, -2, 3, 3); }); break;
    case 9: M.Filled([&] { M.Rect(-3, -3, 4, 4); }); break;
    case 10: M.Square(1); break;
    case 11: M.Square(2); break;
    case 12: M.Square(3); break;
    case 13: M.Path({{-3, 0}, {0, 3}, {3, 0}, {0, -3}, {-3, 0}}); M.Pixel(0, 0); break;
    case 14: M.Filled([&] { M.Polygon({{-2, 0}, {0, 2}, {2, 0}, {0, -2}}); }); break;
    case 15: M.Filled([&] { M.Polygon({{-3, 0}, {0, 3}, {3, 0}, {0, -3}}); }); break;
    case 16: M.Open([&] { M.Ellipse(-2, -2, 3, 3); }); break;
    case 17: M.Open([&] { M.Ellipse(-3, -3, 4, 4); }); break;
    case 18:
      // A zero-length line shows as a dot only with a wide printer pen; with a one-pixel pen
      // it would draw nothing, so the cell is set directly.
      ForPatternCells(18, [&](int Dx, int Dy) {
        if (Printer && Canvas.Pen().Width() > 1) M.Line(Dx, Dy, Dx, Dy);
        else M.Pixel(Dx, Dy);
      });
      break;
    case 19: M.Path({{-3, 0}, {0, 3}, {3, 0}, {0, -3}, {-3, 0}}); break;
    case 20: M.Line(0, 0, -3, 3); M.Line(0, 0, 3, 3); break;
    case 21: M.Line(0, 0, -4, 4); M.Line(0, 0, 4, 4); break;
    case 22: M.Line(0, 0, -3, -3); M.Line(0, 0, 3, -3); break;
    case 23: M.Line(0, 0, -4, -4); M.Line(0, 0, 4, -4); break;
    case 24: M.Filled([&] { M.Ellipse(-3, -3, 4, 4); }); break;
    case 25:
      if (Printer) {
        M.Line(-3, -3, 3, 3); M.Line(-3, -2, 2, 3); M.Line(-2, -3, 3, 2);
        M.Line(-3, 3, 3, -3); M.Line(-3, 2, 2, -3); M.Line(-2, 3, 3, -2);
      } else {
        M.Line(-3, -3, 4, 4); M.Line(-3, -2, 3, 4); M.Line(-2, -3, 4, 3);
        M.Line(-3, 3, 4, -4); M.Line(-3, 2, 3, -4); M.Line(-2, 3, 4, -3);
      }
      break;
    case 26: M.Filled([&] { M.Ellipse(-2, -2, 3, 3); }); break;
    case 27: M.Open([&] { M.Ellipse(-2, -2, 2, 2); }); break;
    case 28: M.Filled([&] { M.Ellipse(-2, -2, 2, 2); }); break;
    case 29: M.Filled([&] { M.Polygon({{-2, 0}, {0, 2}, {2, 0}}); }); break;
    case 30: M.Filled([&] { M.Polygon({{-3, 0}, {0, 3}, {3, 0}}); }); break;
    case 31: M.Open([&] { M.Polygon({{-2, 0}, {0, 2}, {2, 0}}); }); break;
    case 32: M.Open([&] { M.Polygon({{-3, 0}, {0, 3}, {3, 0}}); }); break;
    case 33: M.Open([&] { M.Polygon({{-4, -3}, {0, 4}, {4, -3}}); }); break;
    case 34: M.Filled([&] { M.Polygon({{-4, -3}, {0, 4}, {4, -3}}); }); break;
    case 35: M.Open([&] { M.Polygon({{-4, 3}, {0, -4}, {4, 3}}); }); break;
    case 36: M.Filled([&] { M.Polygon({{-4, 3}, {0, -4}, {4, 3}}); }); break;
    case 37: M.Line(-3, 0, 4, 0); M.Line(0, 0, 0, -8); break;
    case 38: M.Line(-3, -2, 4, -2); M.Line(-3, 2, 4, 2); M.Line(0, -2, 0, 2); break;
    case 39: M.Open([&] { M.Ellipse(-3, -3, 4, 4); }); M.Line(-3, 0, 4, 0); M.Line(0, -3, 0, 4); break;
    case 40: M.Open([&] { M.Polygon({{3, -2}, {-2, 0}, {3, 2}}); }); break;
    case 41: M.Filled([&] { M.Polygon({{3, -2}, {-2, 0}, {3, 2}}); }); break;
    case 42: M.Open([&] { M.Polygon({{4, -3}, {-3, 0}, {4, 3}}); }); break;
    case 43: M.Filled([&] { M.Polygon({{4, -3}, {-3, 0}, {4, 3}}); }); break;
    case 44: M.Open([&] { M.Polygon({{-3, -2}, {2, 0}, {-3, 2}}); }); break;
    case 45: M.Filled([&] { M.Polygon({{-3, -2}, {2, 0}, {-3, 2}}); }); break;
    case 46: M.Open([&] { M.Polygon({{-4, -3}, {3, 0}, {-4, 3}}); }); break;
    case 47: M.Filled([&] { M.Polygon({{-4, -3}, {3, 0}, {-4, 3}}); }); break;
    case 48: M.Open([&] { M.Rect(-3, -3, 4, 4); }); M.Line(-3, 0, 4, 0); M.Line(0, -3, 0, 4); break;
    case 49: M.Open([&] { M.Rect(-2, -2, 3, 3); }); M.Line(-4, 0, 5, 0); M.Line(0, -4, 0, 5); break;
    case 50:
      Canvas.Brush().SetStyle(bsSolid);
      M.Line(-4, 0, 5, 0); M.Line(0, -4, 0, 5); M.Line(-3, -3, 4, 4); M.Line(-3, 3, 4, -4);
      break;
    case 51:
      Canvas.Brush().SetStyle(bsSolid);
      M.Line(-4, 0, 5, 0); M.Line(0, -4, 0, 5); M.Line(-1, -3, 2, -3);
      M.Line(-1, 3, 2, 3); M.Line(-3, -1, -3, 2); M.Line(3, -1, 3, 2);
      break;
    default: break;
  }
  Canvas.Brush().SetColor(SavedBrush);
}

std::unique_ptr<TBitmap> CreateMarkAsBitmap(uint8_t Mark, TColor MarkColor, TColor BackgroundColor,
                                            int32_t Margin) {
  Margin = std::clamp(Margin, 0, 255);
  const int32_t Size = 2 * Margin + 7;
  auto Bmp = std::make_unique<TBitmap>(Size, Size);
  TCanvas& C = Bmp->Canvas();
  C.Pen().SetColor(BackgroundColor);
  C.Brush().SetColor(BackgroundColor);
  C.Brush().SetStyle(bsSolid);
  C.Rectangle(0, 0, Size, Size);
  C.Pen().SetColor(MarkColor);
  DrawMarkOnCanvas(C, Mark, Margin + 3, Margin + 3);
  return Bmp;
}

void DrawRectangle(TCanvas& Canvas, int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  Canvas.MoveTo(Left, Top);
  Canvas.LineTo(Left, Bottom);
  Canvas.LineTo(Right, Bottom);
  Canvas.LineTo(Right, Top);
  Canvas.LineTo(Left, Top);
}

void DrawFrame(TCanvas& Canvas, TFrameStyle Style, int32_t Left, int32_t Top, int32_t Right,
               int32_t Bottom, TColor Highlight, TColor Light, TColor Shadow, TColor DarkShadow,
               TColor SimpleColor) {
  if (Style == fsNone) return;
  if (Style == fsSimple) {
    Canvas.Pen().SetColor(SimpleColor);
    DrawRectangle(Canvas, Left, Top, Right, Bottom);
    return;
  }
  // Outer top-left, outer bottom-right, inner top-left, inner bottom-right.
  std::array<TColor, 4> C;
  switch (Style) {
    case fsRaised: C = {Highlight, DarkShadow, Light, Shadow}; break;
    case fsLowered: C = {Shadow, Highlight, DarkShadow, Light}; break;
    case fsEmbossed: C = {Highlight, Shadow, Shadow, Highlight}; break;
    default: C = {Shadow, Highlight, Highlight, Shadow}; break;  // fsEngraved
  }
  const int32_t L = Left, T = Top, R = Right, B = Bottom;
  Canvas.Pen().SetColor(C[0]);
  Canvas.MoveTo(L, B);
  Canvas.LineTo(L, T);
  Canvas.LineTo(R + 1, T);
  Canvas.MoveTo(R, T + 1);
  Canvas.Pen().SetColor(C[1]);
  Canvas.LineTo(R, B);
  Canvas.LineTo(L - 1, B);
  Canvas.Pen().SetColor(C[2]);
  Canvas.MoveTo(L + 1, B - 1);
  Canvas.LineTo(L + 1, T + 1);
  Canvas.LineTo(R, T + 1);
  Canvas.MoveTo(R - 1, T + 2);
  Canvas.Pen().SetColor(C[3]);
  Canvas.LineTo(R - 1, B - 1);
  Canvas.LineTo(L, B - 1);
}

void PrintBitmap(const TBitmap& Bitmap, int32_t X, int32_t Y) {
  TCanvas& C = Printer().Canvas();
  const TCopyMode Saved = C.CopyMode();
  C.SetCopyMode(cmSrcCopy);
  C.StretchDraw(Bounds(X, Y, Bitmap.Width(), Bitmap.Height()), Bitmap);
  C.SetCopyMode(Saved);
}

bool FontIsTrueType(const std::string& FontName) {
  if (!FontIsInstalled(FontName)) throw EZEFError("Font \"" + FontName + "\" is not installed");
  TFont F;
  F.SetName(FontName);
  return GetTextMetrics(F).IsTrueType;
}

void SetCanvasFontSizeScaled(TCanvas& Canvas, int32_t Size) {
  TFont& F = Canvas.Font();
  const int32_t Screen = ScreenPixelsPerInch();
  if (F.PixelsPerInch() == Screen) {
    F.SetSize(Size);
    return;
  }
  const int32_t Own = F.PixelsPerInch();
  F.SetPixelsPerInch(Screen);
  F.SetSize(Size);
  F.SetPixelsPerInch(Own);
}

} // namespace zef
