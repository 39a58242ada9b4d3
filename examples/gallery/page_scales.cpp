// The page of stand-alone scales: linear, reversed, logarithmic, time and date-time axes in
// both orientations; in the window they are live TScale controls that pan and zoom with the
// mouse (double click switches between the two).
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ZEF_Scale.h"
#include "gallery.h"
#include "graphics/canvas.h"
#include "graphics/colors.h"
#include "rtl/datetime.h"

using namespace zef;

namespace {

constexpr int kLeft = 24;
constexpr int kColW = 440;
constexpr int kGap = 24;
constexpr int kRowH = 88;
constexpr int kScaleH = 62;
constexpr int kVertW = 96;
constexpr int kVertH = 350;

struct TScaleSample {
  std::string Title;
  int X, Y, W, H;
  std::function<void(TScale&)> Setup;
};

// A horizontal axis with its labels below the line and the unit centred under them.
void Bottom(TScale& S, double Lo, double Hi, const std::string& Unit) {
  S.SetScaleType(sctXT);
  S.SetMarginTop(12);
  S.SetMarginLeft(44);
  S.SetMarginRight(44);
  S.SetRange(Lo, Hi);
  S.SetCaption(Unit);
  S.SetCaptionAnchor(uaSclCenter);
  S.SetCaptionPosX(0);
  S.SetCaptionPosY(30);
}

void Vertical(TScale& S, TScaleType Type, double Lo, double Hi, const std::string& Unit) {
  S.SetScaleType(Type);
  S.SetMarginTop(40);
  S.SetMarginBottom(16);
  S.SetMarginLeft(Type == sctYL ? 14 : 0);
  S.SetMarginRight(Type == sctYR ? 14 : 0);
  S.SetRange(Lo, Hi);
  S.SetCaption(Unit);
  S.SetCaptionAnchor(uaSclTopLft);
  S.SetCaptionAlignment(Type == sctYR ? taRightJustify : taLeftJustify);
  S.SetCaptionPosX(Type == sctYR ? 4 : -4);
  S.SetCaptionPosY(-32);
}

std::vector<TScaleSample> Samples() {
  const double Mar1 = EncodeDate(2024, 3, 1);
  const int C1 = kLeft, C2 = kLeft + kColW + kGap, V = C2 + kColW + kGap;
  const auto Row = [](int I) { return 24 + I * kRowH; };
  return {
      {"Linear, at least 5 labelled ticks", C1, Row(0), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, 0, 250, "Voltage [mV]");
         S.SetMinTicks(5);
       }},
      {"Reversed, with an inscription", C2, Row(0), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, 1.5, -1.5, "Offset");
         S.SetScaleInscript("& mm");
       }},
      {"Logarithmic: decades", C1, Row(1), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, 1, 1e5, "Frequency [Hz]");
         S.SetLogarithmic(true);
       }},
      {"Logarithmic: 1-2-5 labels", C2, Row(1), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, 0.1, 100, "Concentration [mg/l]");
         S.SetLogarithmic(true);
         S.SetMinTicks(8);
       }},
      {"Logarithmic: exponents", C1, Row(2), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, 1e-6, 1e2, "log10 of the pressure in bar");
         S.SetLogarithmic(true);
         S.SetDecPlaces(-3);
       }},
      {"Elapsed time", C2, Row(2), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, 0, 300, "Time since start [h:m:s]");
         S.SetLabelType(ftTime);
         S.SetMinTicks(5);
       }},
      {"Date and time: hours with the date", C1, Row(3), kColW, kScaleH,
       [Mar1](TScale& S) {
         Bottom(S, Mar1 + 0.75, Mar1 + 1.5, "");
         S.SetLabelType(ftDateTime);
         S.SetMinTicks(5);
       }},
      {"Date and time: days", C2, Row(3), kColW, kScaleH,
       [Mar1](TScale& S) {
         Bottom(S, Mar1, Mar1 + 21, "Sampling date");
         S.SetLabelType(ftDateTime);
       }},
      {"Date and time: months", C1, Row(4), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, EncodeDate(2023, 10, 1), EncodeDate(2024, 10, 1), "Season");
         S.SetLabelType(ftDateTime);
         S.SetMinTicks(4);
       }},
      {"Date and time: years", C2, Row(4), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, EncodeDate(1950, 1, 1), EncodeDate(2030, 1, 1), "Year of observation");
         S.SetLabelType(ftDateTime);
       }},
      {"Labels above the line", C1, Row(5), kColW, kScaleH,
       [](TScale& S) {
         S.SetScaleType(sctXB);
         S.SetMarginBottom(12);
         S.SetMarginLeft(44);
         S.SetMarginRight(44);
         S.SetRange(-40, 120);
         S.SetMinTicks(6);
         S.SetCaption("Temperature [\u00b0C]");
         S.SetCaptionAnchor(uaSclBotRgt);
         S.SetCaptionAlignment(taRightJustify);
         S.SetCaptionPosX(0);
         S.SetCaptionPosY(-42);
       }},
      {"Texts of the application", C2, Row(5), kColW, kScaleH,
       [](TScale& S) {
         Bottom(S, 0.5, 6.5, "Sample");
         S.SetLabelType(ftUserText);
         S.SetUserTickText("blank|A 1|A 2|B 1|B 2|control");
         S.SetMinTicks(6);
         S.SetShortTicks(false);
       }},
      {"Left", V, Row(0), kVertW, kVertH,
       [](TScale& S) { Vertical(S, sctYR, 0, 1, "Absorbance"); }},
      {"Right", V + kVertW + 16, Row(0), kVertW, kVertH,
       [](TScale& S) {
         Vertical(S, sctYL, 1e-3, 10, "Current [A]");
         S.SetLogarithmic(true);
         S.SetMinTicks(6);
       }},
  };
}

// Titles in small grey text above each scale.
void DrawTitle(TCanvas& C, const TScaleSample& Sample, int Top) {
  C.Font().SetHeight(-11);
  C.Font().SetColor(RGB(90, 100, 115));
  C.Brush().SetStyle(bsClear);
  C.TextOut(Sample.X, Top + Sample.Y - 15, Sample.Title);
  C.Brush().SetStyle(bsSolid);
}

void Style(TScale& S) {
  S.SetColorBackGnd(RGB(255, 255, 255));
  S.SetColorScale(RGB(25, 35, 60));
  S.Font().SetName("DejaVu Sans");
  S.Font().SetHeight(-11);
}

void DrawScales(TBitmap& Bmp) {
  const int Top = gallery::DrawPageFrame(Bmp, "Scales: linear, logarithmic, time and date-time axes");
  for (const TScaleSample& Sample : Samples()) {
    DrawTitle(Bmp.Canvas(), Sample, Top);
    TScale S(nullptr);
    S.SetBounds(0, 0, Sample.W, Sample.H);
    Style(S);
    Sample.Setup(S);
    S.UseForeignCanvas(&Bmp.Canvas(), Sample.X, Top + Sample.Y);
    S.ForcePaint();
  }
  TCanvas& C = Bmp.Canvas();
  C.Font().SetColor(RGB(90, 100, 115));
  C.Brush().SetStyle(bsClear);
  C.TextOut(kLeft, Top + 24 + 6 * kRowH,
            "In the window every scale pans when dragged; a double click switches to zooming.");
  C.Brush().SetStyle(bsSolid);
}

// A title line above a live scale.
class TTitle : public TGraphicControl {
public:
  TTitle(TComponent* Owner, std::string Text) : TGraphicControl(Owner), FText(std::move(Text)) {}

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Font().SetHeight(-11);
    C.Font().SetColor(RGB(90, 100, 115));
    C.Brush().SetStyle(bsClear);
    C.TextOut(0, 0, FText);
  }

private:
  std::string FText;
};

// Live controls: the same scales as TScale controls on the page.
void LiveScales(TWinControl& Area) {
  for (const TScaleSample& Sample : Samples()) {
    auto* T = new TTitle(&Area, Sample.Title);
    T->SetBounds(Sample.X, Sample.Y - 15, Sample.W + 40, 15);
    T->SetParent(&Area);
    auto* S = new TScale(&Area);
    S->SetBounds(Sample.X, Sample.Y, Sample.W, Sample.H);
    Style(*S);
    Sample.Setup(*S);
    S->SetMouseAction(maPan);
    S->SetParent(&Area);
  }
}

const bool Registered = gallery::AddPage({"scales", "Scales", 2 * kLeft + 2 * kColW + 2 * kGap + 2 * kVertW + 16,
                                          50 + 24 + 6 * kRowH + 30, DrawScales, LiveScales});

} // namespace
