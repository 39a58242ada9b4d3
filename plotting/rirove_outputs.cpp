// The chart's outputs: bitmaps and image files, the clipboard, vector drawings (SVG) and
// the printer. Each renders with the same steps as the screen, onto its own target.
#include "ZEF_rirove.h"
#include "controls/clipboard.h"
#include "graphics/printer.h"
#include "graphics/svgcanvas.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {
// Runs BackupColorsAndMakeBW for the guard's lifetime when BlkWhite is set.
class TBWScope {
public:
  TBWScope(TCustomRIrove& Chart, bool BlkWhite) : FChart(Chart), FOn(BlkWhite) {
    if (FOn) FChart.BackupColorsAndMakeBW();
  }
  ~TBWScope() {
    if (FOn) FChart.ReloadBackupColors();
  }
  TBWScope(const TBWScope&) = delete;
  TBWScope& operator=(const TBWScope&) = delete;

private:
  TCustomRIrove& FChart;
  bool FOn;
};
} // namespace

void TCustomRIrove::RenderWhole(TCanvas& Canvas, bool BlkWhite, bool IncludeCrossHairs) {
  const TBWScope BW(*this, BlkWhite);
  ConstructChartBmp(Canvas);
  const int32_t W = DataAreaWidth() + 1, H = DataAreaHeight() + 1;
  // The data-area steps draw with offsets, clipped to the data area as on its own bitmap.
  Canvas.SetClipRect({FLRim, FTRim, FLRim + W, FTRim + H});
  InitGraf(Canvas, FLRim, FTRim, W, H);
  ConstructDataBmpCanvas(Canvas, FLRim, FTRim, BlkWhite, 0);
  DrawMouseTrace(Canvas, FLRim, FTRim);
  Canvas.ResetClipRect();
  if (IncludeCrossHairs) DrawCrossHairs(Canvas, 0, 0);
}

void TCustomRIrove::RenderDataAreaOnly(TCanvas& Canvas, bool BlkWhite, bool IncludeCrossHairs) {
  const TBWScope BW(*this, BlkWhite);
  AdjustScaling();
  InitGraf(Canvas, 0, 0, DataAreaWidth() + 1, DataAreaHeight() + 1);
  ConstructDataBmpCanvas(Canvas, 0, 0, BlkWhite, 0);
  DrawMouseTrace(Canvas, 0, 0);
  if (IncludeCrossHairs) DrawCrossHairs(Canvas, FLRim, FTRim);
}

void TCustomRIrove::CopyToBitmap(TBitmap& ABitmap, bool BlkWhite, bool IncludeCrossHairs) {
  ABitmap.SetSize(Width(), Height());
  RenderWhole(ABitmap.Canvas(), BlkWhite, IncludeCrossHairs);
}

void TCustomRIrove::CopyToBitmapDAOnly(TBitmap& ABitmap, bool BlkWhite, bool IncludeCrossHairs) {
  ABitmap.SetSize(DataAreaWidth() + 1, DataAreaHeight() + 1);
  RenderDataAreaOnly(ABitmap.Canvas(), BlkWhite, IncludeCrossHairs);
}

void TCustomRIrove::CopyToBMP(const std::string& FName, bool BlkWhite) {
  TBitmap B;
  CopyToBitmap(B, BlkWhite);
  B.SaveToFile(FName);
}

void TCustomRIrove::CopyToClipboard(bool BlkWhite, bool IncludeCrossHairs) {
  TBitmap B;
  CopyToBitmap(B, BlkWhite, IncludeCrossHairs);
  Clipboard().Assign(B);
}

void TCustomRIrove::CopyToClipboardDAOnly(bool BlkWhite, bool IncludeCrossHairs) {
  TBitmap B;
  CopyToBitmapDAOnly(B, BlkWhite, IncludeCrossHairs);
  Clipboard().Assign(B);
}

std::string TCustomRIrove::ChartAsSVG(bool BlkWhite) {
  TSvgCanvas C(Width(), Height());
  RenderWhole(C, BlkWhite, false);
  return C.SvgText();
}

void TCustomRIrove::CopyToClipboardWMF(bool BlkWhite) { Clipboard().SetAsText(ChartAsSVG(BlkWhite)); }

void TCustomRIrove::CopyToWMF(const std::string& FName, bool BlkWhite) {
  TSvgCanvas C(Width(), Height());
  RenderWhole(C, BlkWhite, false);
  C.SaveToFile(FName);
}

void TCustomRIrove::CopyToOpenPrinter(int32_t& x, int32_t& y, double ScaleF, bool BlkWhite) {
  TPrinter& P = Printer();
  if (!P.Printing()) throw EPrinter("Printing not in progress");
  if (!(ScaleF > 0) || ScaleF > 100) ScaleF = 1;
  TBitmap B;
  CopyToBitmap(B, BlkWhite);
  // Screen pixels to printer pixels: the same size on paper as on a 96 dpi screen.
  const double F = ScaleF * P.Resolution() / ScreenPixelsPerInch();
  const int32_t W = RoundInt(Width() * F), H = RoundInt(Height() * F);
  TCanvas& C = P.Canvas();
  const TStretchMode Mode = C.StretchMode();
  C.SetStretchMode(smAreaAverage);
  C.StretchDraw({x, y, x + W, y + H}, B);
  C.SetStretchMode(Mode);
  x += W;
  y += H;
}

void TCustomRIrove::PrintIt(double ScaleF, bool BlkWhite) {
  TPrinter& P = Printer();
  P.BeginDoc();
  try {
    // Half an inch from the paper's top left corner.
    int32_t X = P.Resolution() / 2, Y = P.Resolution() / 2;
    CopyToOpenPrinter(X, Y, ScaleF, BlkWhite);
    P.EndDoc();
  } catch (...) {
    if (P.Printing()) P.Abort();
    throw;
  }
}

} // namespace zef
