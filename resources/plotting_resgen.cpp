// Draws the cursors of the plotting library: a hand for panning and three magnifiers for
// the zoom modes (window, drag, positive window). 32 x 32 pixels, white outline around black
// strokes so that they show on dark and light charts; the fuchsia background is transparent.
#include <vector>

#include "graphics/canvas.h"
#include "graphics/colors.h"
#include "graphics/resgen.h"

using namespace zef;

namespace {

constexpr int kSize = 32;

TBitmap& Blank(TBitmap& B) {
  B.SetSize(kSize, kSize);
  B.Canvas().Brush().SetStyle(bsSolid);
  B.Canvas().Brush().SetColor(clFuchsia);
  B.Canvas().FillRect({0, 0, kSize, kSize});
  return B;
}

// Draws Shape twice: wide in white as the outline, then narrow in black.
template <class F>
void Outlined(TCanvas& C, F Shape) {
  C.Pen().SetColor(clWhite);
  C.Pen().SetWidth(4);
  Shape(C);
  C.Pen().SetColor(clBlack);
  C.Pen().SetWidth(2);
  Shape(C);
  C.Pen().SetWidth(1);
}

// A magnifier with its lens centred at (12, 12); Inside draws the lens's sign.
template <class F>
void Magnifier(TBitmap& B, F Inside) {
  TCanvas& C = Blank(B).Canvas();
  C.Brush().SetStyle(bsClear);
  Outlined(C, [](TCanvas& K) {
    K.Ellipse(3, 3, 22, 22);
    K.MoveTo(19, 19);
    K.LineTo(29, 29);
  });
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(clWhite);
  C.Pen().SetColor(clWhite);
  C.Ellipse(6, 6, 19, 19);
  C.Pen().SetColor(clBlack);
  Inside(C);
}

void Hand(TBitmap& B) {
  TCanvas& C = Blank(B).Canvas();
  // Palm and four fingers of an open hand, filled white with a black outline.
  const std::vector<TPoint> Outline = {
      {9, 30},  {5, 21},  {3, 16},  {5, 14},  {8, 16},  {9, 18},  {9, 6},   {11, 4},
      {13, 6},  {13, 14}, {13, 3},  {15, 1},  {17, 3},  {17, 14}, {17, 4},  {19, 2},
      {21, 4},  {21, 15}, {21, 7},  {23, 5},  {25, 7},  {25, 20}, {23, 26}, {22, 30}};
  C.Brush().SetColor(clWhite);
  C.Pen().SetColor(clBlack);
  C.Polygon(Outline);
  for (int X : {13, 17, 21}) {
    C.MoveTo(X, 10);
    C.LineTo(X, 16);
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  TResourceWriter W;
  TBitmap B;
  Hand(B);
  W.AddCursor("CURHAND", B, 14, 14, clFuchsia);
  // Zoom window: a small frame in the lens.
  Magnifier(B, [](TCanvas& C) {
    C.Brush().SetStyle(bsClear);
    C.Rectangle(8, 9, 17, 16);
  });
  W.AddCursor("CURZOOMW", B, 12, 12, clFuchsia);
  // Drag zoom: a double arrow in the lens.
  Magnifier(B, [](TCanvas& C) {
    C.MoveTo(8, 12);
    C.LineTo(17, 12);
    for (int D = 1; D <= 2; ++D) {
      C.MoveTo(8 + D, 12 - D);
      C.LineTo(8 + D, 12 + D + 1);
      C.MoveTo(16 - D, 12 - D);
      C.LineTo(16 - D, 12 + D + 1);
    }
  });
  W.AddCursor("CURZOOMD", B, 12, 12, clFuchsia);
  // Positive zoom window: a plus in the lens.
  Magnifier(B, [](TCanvas& C) {
    C.Pen().SetWidth(2);
    C.MoveTo(8, 12);
    C.LineTo(17, 12);
    C.MoveTo(12, 8);
    C.LineTo(12, 17);
    C.Pen().SetWidth(1);
  });
  W.AddCursor("CURZOOMP", B, 12, 12, clFuchsia);
  W.Write(argv[1]);
  return 0;
}
