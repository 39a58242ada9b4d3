// TMolForm::Paint: the formula drawn into an off-screen strip with superscript mass numbers
// and subscript counts, then placed by the alignment and copied onto the control.
#include <algorithm>
#include <string>
#include <vector>

#include "ZEF_cform.h"
#include "graphics/bitmap.h"
#include "rtl/mathfn.h"

namespace zef {

void TMolForm::Paint() {
  if (!Visible() && !ComponentState().Contains(csDesigning)) return;
  const int32_t NormalSize = Font().Size();
  const int32_t SmallSize = RoundInt(0.8 * NormalSize) + 1;

  // Lay the texts out first, so that the strip can hold the whole formula.
  struct TPiece {
    int32_t X, Y, Size;
    std::string Text;
  };
  std::vector<TPiece> Pieces;
  TCanvas Measure;
  Measure.SetFont(Font());
  Measure.Font().SetSize(SmallSize);
  SetHeight(2 * Measure.TextHeight("M"));
  const int32_t H = Height();
  int32_t X = 1;
  auto Put = [&](int32_t Y, int32_t Size, std::string S) {
    Measure.Font().SetSize(Size);
    const int32_t Advance = Measure.TextWidth(S);
    Pieces.push_back({X, Y, Size, std::move(S)});
    X += Advance;
  };
  if (FShowAsText) {
    Put(H / 5, NormalSize, FFormulaText);
  } else {
    for (int32_t K = 1; K <= FParts.FLeng; ++K) {
      const int32_t Z = FParts.AtNum[K];
      const int32_t Mass = FParts.AtWgt[K];
      const int32_t Count = FParts.AtCnt[K];
      if (Count == 0) continue;
      const bool Deuterium = FUseDeuterium && Z == 1 && Mass == 2;
      if (!Deuterium && (FIsotopeVis == ivAlways ||
                         (FIsotopeVis == ivSpecial && Mass != IntAtWeight(Z))))
        Put(0, SmallSize, std::to_string(Mass));
      Put(H / 5, NormalSize, Deuterium ? "D" : CElemSymb(Z));
      if (Count > 1) Put(H / 4 + SmallSize, SmallSize, std::to_string(Count));
    }
  }

  // Text goes on the strip in the text colour and on the mask in black, always at the same
  // place, so that the mask can cut the text's shape out of the pixels beneath.
  const TColor Background = FTransparent ? clBlack : FColorBkg;
  auto Fill = [](TBitmap& B, TColor Color) {
    TCanvas& C = B.Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(Rect(0, 0, B.Width(), B.Height()));
    C.Brush().SetStyle(bsClear);
  };
  TBitmap Strip(std::max(2 * Width(), X + 1), H);
  TBitmap StripMask(Strip.Width(), H);
  Fill(Strip, Background);
  Fill(StripMask, clWhite);
  TCanvas& Text = Strip.Canvas();
  TCanvas& Mask = StripMask.Canvas();
  Text.SetFont(Font());
  Mask.SetFont(Font());
  Text.Font().SetColor(FColorTxt);
  Mask.Font().SetColor(clBlack);
  for (const TPiece& P : Pieces) {
    Text.Font().SetSize(P.Size);
    Mask.Font().SetSize(P.Size);
    Text.TextOut(P.X, P.Y, P.Text);
    Mask.TextOut(P.X, P.Y, P.Text);
  }

  // Place the used part of the strip, (1, 1)-(X, H), by the alignment; a formula wider than
  // the control shows its right or middle part.
  const int32_t W = Width();
  const int32_t Used = X - 1;
  TRect Source = Rect(1, 1, X, H);
  TRect Dest = Source;
  if (FAlignment == taRightJustify) {
    Dest = Rect(W - Used, 1, W, H);
    if (X > W) {
      Source = Rect(X - W, 1, X, H);
      Dest = Rect(0, 1, W, H);
    }
  } else if (FAlignment == taCenter) {
    Dest = Rect((W - X) / 2, 1, (W - X) / 2 + Used, H);
    if (X > W) {
      const int32_t L = (X - W) / 2;
      Source = Rect(L, 1, L + W, H);
      Dest = Rect(0, 1, W, H);
    }
  }
  TBitmap Picture(W, H);
  Fill(Picture, Background);
  Picture.Canvas().CopyRect(Dest, Text, Source);

  TCanvas& Target = Canvas();
  if (!FTransparent) {
    Target.Draw(0, 0, Picture);
    return;
  }
  TBitmap PictureMask(W, H);
  Fill(PictureMask, clWhite);
  PictureMask.Canvas().CopyRect(Dest, Mask, Source);
  const TRect All = Rect(0, 0, W, H);
  Target.SetCopyMode(cmSrcAnd);
  Target.CopyRect(All, PictureMask.Canvas(), All);
  Target.SetCopyMode(cmSrcPaint);
  Target.CopyRect(All, Picture.Canvas(), All);
  Target.SetCopyMode(cmSrcCopy);
}

} // namespace zef
