// Pages of the foundation's drawing helpers: every mark symbol and every frame style.
#include <string>

#include "ZEF_zefbase.h"
#include "gallery.h"
#include "graphics/canvas.h"
#include "rtl/numconv.h"

using namespace zef;

namespace {

void DrawMarks(TBitmap& Bmp) {
  const int Top = gallery::DrawPageFrame(Bmp, "Mark symbols 0 to 255 (screen form, then printer form of 0 to 51)");
  TCanvas& C = Bmp.Canvas();
  constexpr int Cols = 16, CellW = 58, CellH = 34, Left = 20;
  C.Font().SetHeight(-10);
  for (int M = 0; M < 256; ++M) {
    const int X = Left + (M % Cols) * CellW, Y = Top + (M / Cols) * CellH;
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(clWhite);
    C.Pen().SetColor(RGB(215, 218, 224));
    C.Rectangle(X, Y, X + CellW - 4, Y + CellH - 4);
    C.Font().SetColor(RGB(120, 125, 135));
    C.Brush().SetStyle(bsClear);
    C.TextOut(X + 3, Y + 2, IntToStr(M));
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(RGB(255, 200, 120));
    C.Pen().SetColor(RGB(20, 60, 160));
    C.Font().SetHeight(-12);
    DrawMarkOnCanvas(C, static_cast<uint8_t>(M), X + 38, Y + 16);
    C.Font().SetHeight(-10);
  }
  // The printer forms differ for the pattern marks and mark 25.
  const int PY = Top + 16 * CellH + 10;
  C.Font().SetColor(RGB(30, 40, 60));
  C.Brush().SetStyle(bsClear);
  C.TextOut(Left, PY, "Printer forms of 0 to 51:");
  TBitmap Paper(Cols * CellW, 4 * CellH);
  Paper.Canvas().Brush().SetColor(clWhite);
  Paper.Canvas().FillRect({0, 0, Paper.Width(), Paper.Height()});
  Paper.Canvas().SetPrinterCanvas(true);
  for (int M = 0; M < 52; ++M) {
    const int X = (M % Cols) * CellW, Y = (M / Cols) * CellH;
    Paper.Canvas().Pen().SetColor(RGB(160, 30, 30));
    DrawMarkOnCanvas(Paper.Canvas(), static_cast<uint8_t>(M), X + 38, Y + 16);
    Paper.Canvas().Font().SetColor(RGB(120, 125, 135));
    Paper.Canvas().Brush().SetStyle(bsClear);
    Paper.Canvas().Font().SetHeight(-10);
    Paper.Canvas().TextOut(X + 3, Y + 2, IntToStr(M));
  }
  C.Draw(Left, PY + 20, Paper);
}

void DrawFrames(TBitmap& Bmp) {
  const int Top = gallery::DrawPageFrame(Bmp, "Frame styles and canvas primitives");
  TCanvas& C = Bmp.Canvas();
  const TFrameStyle Styles[] = {fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved};
  for (int I = 0; I < 6; ++I) {
    const int X = 30 + I * 150, Y = Top + 20;
    C.Brush().SetColor(ColorToRGB(clBtnFace));
    C.Pen().SetColor(ColorToRGB(clBtnFace));
    C.Rectangle(X - 10, Y - 10, X + 130, Y + 90);
    DrawFrame(C, Styles[I], X, Y, X + 120, Y + 60, clWhite, clSilver, clGray, clBlack, clNavy);
    C.Brush().SetStyle(bsClear);
    C.Font().SetColor(clBlack);
    C.TextOut(X, Y + 66, xmlFrameStyle[Styles[I]]);
    C.Brush().SetStyle(bsSolid);
  }
  // The primitives of the canvas, as a test sheet of its pixel rules.
  const int Y = Top + 140;
  C.Pen().SetColor(RGB(20, 60, 160));
  C.Brush().SetColor(RGB(160, 200, 255));
  C.Rectangle(30, Y, 130, Y + 70);
  C.Ellipse(150, Y, 250, Y + 70);
  C.RoundRect(270, Y, 370, Y + 70, 24, 24);
  C.Pie(390, Y, 490, Y + 70, 490, Y, 390, Y);
  C.Chord(510, Y, 610, Y + 70, 610, Y + 35, 510, Y);
  C.Brush().SetColor(RGB(255, 230, 140));
  C.Polygon({{690, Y}, {720, Y + 70}, {640, Y + 25}, {740, Y + 25}, {660, Y + 70}});
  C.Brush().SetStyle(bsCross);
  C.Brush().SetColor(RGB(0, 140, 70));
  C.Rectangle(770, Y, 880, Y + 70);
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(clWhite);
  const TPenStyle PenStyles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
  for (int I = 0; I < 5; ++I) {
    C.Pen().SetStyle(PenStyles[I]);
    C.MoveTo(30, Y + 100 + I * 12);
    C.LineTo(430, Y + 100 + I * 12);
  }
  C.Pen().SetStyle(psSolid);
  for (int W = 1; W <= 6; ++W) {
    C.Pen().SetWidth(W);
    C.Pen().SetColor(RGB(160, 40, 40));
    C.MoveTo(470, Y + 90 + W * 12);
    C.LineTo(880, Y + 90 + W * 12 - 20);
  }
  C.Pen().SetWidth(1);
  C.Font().SetColor(RGB(30, 40, 60));
  C.Brush().SetStyle(bsClear);
  for (int A = 0; A < 360; A += 45) {
    C.Font().SetOrientation(A * 10);
    C.TextOut(120, Y + 260, "  rotated " + IntToStr(A));
  }
  C.Font().SetOrientation(0);
  C.Font().SetHeight(-16);
  C.TextOut(300, Y + 200, "Latin-1: J\u00e4nner, F\u00e9vrier, \u00a9 \u00b1 \u00b5 \u00df");
  C.Font().SetStyle({fsBold});
  C.TextOut(300, Y + 230, "Bold text");
  C.Font().SetStyle({fsItalic, fsUnderline});
  C.TextOut(420, Y + 230, "Italic underlined");
  C.Font().SetStyle({});
}

const bool Registered = gallery::AddPage({"marks", "Marks", 980, 820, DrawMarks}) &&
                        gallery::AddPage({"frames", "Frames", 920, 640, DrawFrames});

} // namespace
