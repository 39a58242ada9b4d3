// Draws the resources the platform tests look up by name.
#include <cstdio>

#include "graphics/canvas.h"
#include "graphics/resgen.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  using namespace zef;
  TResourceWriter W;
  TBitmap B(5, 3);
  B.Canvas().Brush().SetColor(clRed);
  B.Canvas().FillRect({0, 0, 5, 3});
  B.Canvas().SetPixels(4, 2, clBlue);
  W.AddBitmap("TESTBMP", B);
  TBitmap C(8, 8);
  C.Canvas().Brush().SetColor(clFuchsia);
  C.Canvas().FillRect({0, 0, 8, 8});
  C.Canvas().Pen().SetColor(clBlack);
  C.Canvas().MoveTo(0, 0);
  C.Canvas().LineTo(8, 8);
  W.AddCursor("TestCursor", C, 0, 0, clFuchsia);
  W.Write(argv[1]);
  return 0;
}
