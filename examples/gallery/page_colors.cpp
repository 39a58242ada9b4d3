// Colour arrays and colour-model ramps.
#include <span>
#include <string>

#include "ZEF_zefcolors.h"
#include "gallery.h"
#include "graphics/canvas.h"
#include "rtl/numconv.h"

using namespace zef;

namespace {

void Bar(TCanvas& C, int X, int Y, int W, int H, const TColorArray& A) {
  for (int I = 0; I < W; ++I) {
    C.Pen().SetColor(A.ColorElem(1 + I * A.Size() / W));
    C.MoveTo(X + I, Y);
    C.LineTo(X + I, Y + H);
  }
  C.Pen().SetColor(RGB(120, 125, 135));
  C.Brush().SetStyle(bsClear);
  C.Rectangle(X - 1, Y - 1, X + W + 1, Y + H + 1);
  C.Brush().SetStyle(bsSolid);
}

void Label(TCanvas& C, int X, int Y, const std::string& Text) {
  C.Brush().SetStyle(bsClear);
  C.Font().SetColor(RGB(30, 40, 60));
  C.TextOut(X, Y, Text);
  C.Brush().SetStyle(bsSolid);
}

void DrawColors(TBitmap& Bmp) {
  int Y = gallery::DrawPageFrame(Bmp, "Colour arrays and colour models");
  TCanvas& C = Bmp.Canvas();
  TColorArray A(nullptr);
  A.SetSize(512);
  struct TPalette {
    const char* Name;
    std::span<const TColor> Colors;
  };
  const TPalette Palettes[] = {
      {"Rainbow", ColorArray_Rainbow}, {"Geo1", ColorArray_Geo1}, {"Geo2", ColorArray_Geo2},
      {"Geo3", ColorArray_Geo3},       {"Circle", ColorArray_Circle}, {"MorgenStemning", ColorArray_MorgenStemning},
  };
  for (const auto& P : Palettes) {
    A.FillByInterpolation(0, P.Colors);
    Label(C, 20, Y + 4, P.Name);
    Bar(C, 150, Y, 512, 22, A);
    A.FillByInterpolation(8, P.Colors);
    Bar(C, 680, Y, 200, 22, A);
    Y += 32;
  }
  Label(C, 680, Y - 4, "8 discrete levels");
  A.FillByInterpolation(0, ColorArray_Rainbow);
  A.LogTransform(1.0);
  Label(C, 20, Y + 20, "Rainbow, log");
  Bar(C, 150, Y + 16, 512, 22, A);
  Y += 60;

  // Hue ramps in three colour models, and a wavelength spectrum.
  const int W = 512;
  const char* Models[] = {"HSV hue", "HSL hue", "HSI hue", "Wavelength"};
  for (int M = 0; M < 4; ++M) {
    Label(C, 20, Y + 4, Models[M]);
    for (int I = 0; I < W; ++I) {
      const double H = 360.0 * I / W;
      TColor Col;
      switch (M) {
        case 0: Col = HSVtoColor(H, 1, 1); break;
        case 1: Col = HSLtoColor(H, 1, 0.5); break;
        case 2: Col = HSItoColor(H, 1, 0.5); break;
        default: Col = WavelengthToColor(380 + I * 400 / W, 0.8); break;
      }
      C.Pen().SetColor(Col);
      C.MoveTo(150 + I, Y);
      C.LineTo(150 + I, Y + 22);
    }
    Y += 32;
  }
  // Lightness and saturation of one hue.
  Label(C, 20, Y + 30, "HSL of hue 210");
  for (int Row = 0; Row < 8; ++Row)
    for (int Col = 0; Col < 16; ++Col) {
      C.Brush().SetColor(HSLtoColor(210, Col / 15.0, (Row + 1) / 9.0));
      C.Pen().SetColor(C.Brush().Color());
      C.Rectangle(150 + Col * 32, Y + Row * 12, 150 + Col * 32 + 30, Y + Row * 12 + 10);
    }
  Y += 110;
  // The first named colours.
  C.Font().SetHeight(-10);
  for (int I = 0; I < 40; ++I) {
    const int X = 20 + (I % 8) * 110, Yy = Y + (I / 8) * 26;
    C.Brush().SetColor(AllZEFColors[static_cast<std::size_t>(I) * 11]);
    C.Pen().SetColor(RGB(120, 125, 135));
    C.Rectangle(X, Yy, X + 20, Yy + 20);
    Label(C, X + 24, Yy + 4, AllZEFColorNames[static_cast<std::size_t>(I) * 11]);
  }
}

const bool Registered = gallery::AddPage({"colors", "Colours", 920, 760, DrawColors});

} // namespace
