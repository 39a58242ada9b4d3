// The chart engine as a scientist uses it: a measurement with a fitted curve, a spectrum on
// a logarithmic axis, a date-time series and an annotated chart with two layers.
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "ZEF_curvefit.h"
#include "ZEF_rirove.h"
#include "controls/dialogs.h"
#include "gallery.h"
#include "graphics/canvas.h"
#include "rtl/files.h"
#include "rtl/datetime.h"
#include "rtl/numconv.h"

using namespace zef;

namespace {

constexpr int kChartW = 560, kChartH = 380, kGap = 20, kLeft = 20;

// A small deterministic noise source, so every run draws the same pictures.
class TNoise {
public:
  double Gauss() {
    const double U1 = Next(), U2 = Next();
    return std::sqrt(-2 * std::log(U1)) * std::cos(2 * std::numbers::pi * U2);
  }

private:
  double Next() {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return (static_cast<double>(FState >> 11) + 0.5) / 9007199254740992.0;
  }
  uint64_t FState = 42;
};

void CommonLooks(TRIrove& C, const std::string& Caption) {
  C.SetWindColor(RGB(246, 247, 250));
  C.SetChartColor(clWhite);
  C.SetCaption(Caption);
  C.Font().SetName("DejaVu Sans");
  C.Font().SetHeight(-12);
  C.SetCaptionAlignment(taCenter);
  C.SetCaptionAnchorHoriz(cahChartCenter);
  C.SetGridStyle(gsDotLines);
  C.SetGridColor(RGB(190, 195, 205));
}

// A calibration measurement with standard errors and its least-squares parabola.
void BuildSignal(TRIrove& C) {
  CommonLooks(C, "Detector response: measurements and quadratic fit");
  C.Scale1X().SetCaption("concentration [mmol/l]");
  C.Scale1Y().SetCaption("signal [mV]");
  TNoise N;
  TCurveFit Fit;
  C.SetDataColor(RGB(30, 90, 180));
  for (int I = 0; I <= 20; ++I) {
    const double X = 0.5 * I;
    const double Y = 2 + 1.5 * X - 0.09 * X * X + 0.35 * N.Gauss();
    Fit.EnterStatValue(X, Y);
    C.MarkErrorBar(X, Y, 0.35, 0.35, orVert, 24);
  }
  double C0 = 0, C1 = 0, C2 = 0, Q = 0;
  Fit.CalcParabolFit(C0, C1, C2, Q);
  C.SetDataColor(RGB(200, 40, 40));
  C.SetLineWidth(2);
  for (int I = 0; I <= 200; ++I) {
    const double X = -0.25 + 10.5 * I / 200;
    const double Y = C0 + C1 * X + C2 * X * X;
    if (I == 0) C.MoveTo(X, Y);
    else C.DrawTo(X, Y);
  }
  C.SetLineWidth(1);
  C.AutoRange(1, 4);
  C.SetGridDx(2);
  C.SetGridDy(2);
  // The fitted formula as an annotation in pixels from the data area's top left corner.
  C.SetDataColor(RGB(200, 40, 40));
  C.SetAnnoMode(true);
  C.SetTextAlignment(taLeftJustify);
  C.SetTextBkStyle(tbSolid);
  C.SetFillColor(RGB(255, 245, 240));
  C.Text(int32_t{150}, int32_t{250}, 9,
         "fit: y = " + FloatToStrF(C0, ffFixed, 6, 2) + " + " + FloatToStrF(C1, ffFixed, 6, 3) +
             " x - " + FloatToStrF(-C2, ffFixed, 6, 3) + " x^2");
  C.SetAnnoMode(false);
}

// A power spectrum: a 1/f background with three lines, on a logarithmic intensity axis.
void BuildSpectrum(TRIrove& C) {
  CommonLooks(C, "Emission spectrum (logarithmic intensity)");
  C.Scale1X().SetCaption("wavelength [nm]");
  C.Scale1Y().SetCaption("counts");
  C.Scale1Y().SetRangeLow(1);
  C.Scale1Y().SetRangeHigh(1e5);
  C.Scale1Y().SetLogarithmic(true);
  C.SetGridDy(-1);
  C.SetGridDx(50);
  TNoise N;
  C.SetDataColor(RGB(20, 120, 60));
  const double Lines[][3] = {{486.1, 8000, 1.2}, {589.0, 60000, 0.8}, {656.3, 20000, 1.5}};
  for (int I = 0; I <= 1200; ++I) {
    const double L = 400 + 0.25 * I;
    double Y = 3e4 / (L - 380) * (1 + 0.15 * N.Gauss());
    for (const auto& Ln : Lines) Y += Ln[1] * std::exp(-0.5 * std::pow((L - Ln[0]) / Ln[2], 2));
    Y = std::max(Y, 2.0);
    if (I == 0) C.MoveTo(L, Y);
    else C.DrawTo(L, Y);
  }
  C.SetRange(1, 400, 1, 700, 1e5);
  C.SetAnnoMode(true);
  C.SetDataColor(RGB(60, 60, 60));
  C.Arrow(612.0, 3e4, 595.0, 4.5e4, 8);
  C.Text(614.0, 3e4, 9, "Na D line", 0, 0, taLeftJustify);
  C.Text(490.0, 1.2e4, 9, "H-beta", 0, 0, taLeftJustify);
  C.Text(660.0, 2.6e4, 9, "H-alpha", 0, 0, taLeftJustify);
  C.SetAnnoMode(false);
}

// Hourly temperatures over two weeks on a date-time axis, with the daily mean as bars.
void BuildSeries(TRIrove& C) {
  CommonLooks(C, "Station temperature, 1 to 14 March 2026");
  C.Scale1X().SetLabelType(ftDateTime);
  C.Scale1X().DateFormat().SetYearLength(ylYY);
  C.Scale1X().SetMinTicks(5);
  C.Scale1Y().SetCaption("deg C");
  C.SetGridStyle(gsHorizDotLines);
  C.SetGridDy(5);
  const double Start = EncodeDate(2026, 3, 1);
  TNoise N;
  double Drift = 0;
  C.SetDataColor(RGB(180, 200, 235));
  C.SetFillColor(RGB(205, 220, 245));
  for (int D = 0; D < 14; ++D) {
    const double Mean = 4 + 0.5 * D + 2 * std::sin(D * 0.7);
    C.Rectangle(Start + D + 0.1, 0.0, Start + D + 0.9, Mean);
  }
  C.SetDataColor(RGB(190, 60, 30));
  for (int H = 0; H < 14 * 24; ++H) {
    Drift += 0.15 * N.Gauss();
    const double T = Start + H / 24.0;
    const double D = H / 24;
    const double V = 4 + 0.5 * D + 2 * std::sin(D * 0.7) +
                     5 * std::sin(2 * std::numbers::pi * (H % 24 - 9) / 24.0) + Drift * 0.3;
    if (H == 0) C.MoveTo(T, V);
    else C.DrawTo(T, V);
  }
  C.SetRange(1, Start, -6, Start + 14, 20);
  C.SetDataColor(RGB(90, 90, 90));
  C.SetPenStyle(psDash);
  C.CursorHoriz(0.0);
  C.SetPenStyle(psSolid);
}

// Two layers with their own y axes, annotations, text labels and a cross-hair.
void BuildLayers(TRIrove& C) {
  CommonLooks(C, "Reactor run 17: pressure (left) and valve position (right)");
  C.SetStandardLayout(rcl_X1Bottom_Y2Both);
  C.SetGridStyle(gsDotLines);
  C.SetGridDx(10);
  C.SetGridDy(1);
  C.Scale1X().SetCaption("time [s]");
  C.Scale1Y().SetCaption("bar");
  C.Scale2Y().SetCaption("%");
  C.SetDataColor(RGB(30, 90, 180));
  C.SetLineWidth(2);
  for (int I = 0; I <= 300; ++I) {
    const double T = I * 0.2;
    const double P = 1 + 3 * (1 - std::exp(-T / 8)) + 0.4 * std::sin(T * 0.9) * std::exp(-T / 20);
    if (I == 0) C.MoveTo(T, P);
    else C.DrawTo(T, P);
  }
  C.SetLineWidth(1);
  C.SetRange(1, 0, 0, 60, 5);
  C.SetActiveLayer(2);
  C.SetDataColor(RGB(128, 0, 0));
  for (int I = 0; I <= 12; ++I) {
    const double T = I * 5.0, V = I < 3 ? 100 : I < 7 ? 60 : 35;
    C.MarkAt(T, V, 9);
  }
  C.SetRange(2, 0, 0, 60, 110);
  C.SetActiveLayer(1);
  C.SetAnnoMode(true);
  C.SetDataColor(RGB(60, 60, 60));
  C.SetPenStyle(psDot);
  C.CursorVert(15.0);
  C.SetPenStyle(psSolid);
  C.Arrow(25.0, 1.2, 15.5, 2.3, 9);
  C.Text(25.5, 1.1, 9, "valve step", 0, 0, taLeftJustify);
  C.SetAnnoMode(false);
  const int L1 = C.AddTextLabel(44, 4.6, RGB(20, 20, 20), "steady state\n4.0 bar", 0);
  C.TextLabels(L1).SetTxtLblMode(tlShadow);
  C.TextLabels(L1).SetTxtLblShadowDx(3);
  C.TextLabels(L1).SetTxtLblShadowDy(3);
  C.TextLabels(L1).SetTxtLblColorBkg(RGB(255, 250, 220));
  C.CrossHairSetup(1, RGB(0, 150, 0), chCrossBox, psSolid, 1);
  C.CrossHair(1).SetLayer(1);
  C.CrossHairSetPos(1, 30, 3.85);
}

using TBuilder = std::function<void(TRIrove&)>;
const TBuilder kBuilders[] = {BuildSignal, BuildSpectrum, BuildSeries, BuildLayers};

TPoint ChartPos(int I, int Top) {
  return {kLeft + (I % 2) * (kChartW + kGap), Top + (I / 2) * (kChartH + kGap)};
}

void DrawCharts(TBitmap& Bmp) {
  const int Top = gallery::DrawPageFrame(Bmp, "Charts: measurement and fit, spectrum, date-time series, two layers");
  for (int I = 0; I < 4; ++I) {
    TRIrove C(nullptr);
    C.SetBounds(0, 0, kChartW, kChartH);
    kBuilders[I](C);
    TBitmap Pic;
    C.CopyToBitmap(Pic, false, true);
    const TPoint P = ChartPos(I, Top);
    Bmp.Canvas().Draw(P.X, P.Y, Pic);
  }
}

// ---- The live page: the four charts with the mouse ----------------------------------------

constexpr int kToolH = 34, kStatusH = 24;

// A flat button of the page's tool bar; a mode button stays down while its mode is on.
class TToolButton : public TCustomControl {
public:
  TToolButton(TComponent* Owner, std::string Caption, std::function<void()> Action)
      : TCustomControl(Owner), FCaption(std::move(Caption)), FAction(std::move(Action)) {
    SetTabStop(false);
  }
  void SetDown(bool Value) {
    FDown = Value;
    Invalidate();
  }
  void Click() override {
    FAction();
    TCustomControl::Click();
  }
  void MouseEnter() override { FHot = true; Invalidate(); TCustomControl::MouseEnter(); }
  void MouseLeave() override { FHot = false; Invalidate(); TCustomControl::MouseLeave(); }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(FDown ? RGB(70, 110, 190) : FHot ? RGB(226, 232, 244) : RGB(240, 241, 245));
    C.Pen().SetColor(FDown ? RGB(50, 80, 150) : RGB(180, 185, 198));
    C.RoundRect(0, 0, Width(), Height(), 6, 6);
    C.Brush().SetStyle(bsClear);
    C.Font().SetName("DejaVu Sans");
    C.Font().SetHeight(-12);
    C.Font().SetColor(FDown ? clWhite : RGB(30, 35, 50));
    C.TextOut((Width() - C.TextWidth(FCaption)) / 2, (Height() - C.TextHeight(FCaption)) / 2, FCaption);
    C.Brush().SetStyle(bsSolid);
  }

private:
  std::string FCaption;
  std::function<void()> FAction;
  bool FDown = false, FHot = false;
};

// One line of text: the mouse position and what the page did last.
class TStatusLine : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void SetText(std::string Value) {
    FText = std::move(Value);
    Invalidate();
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Brush().SetStyle(bsClear);
    C.Font().SetName("DejaVu Sans");
    C.Font().SetHeight(-12);
    C.Font().SetColor(RGB(60, 65, 80));
    C.TextOut(4, 4, FText);
    C.Brush().SetStyle(bsSolid);
  }

private:
  std::string FText;
};

// The state of the live page: the charts, the mode buttons and the chart being worked on
// (the one the mouse was last over).
struct TLivePage {
  std::array<TRIrove*, 4> Charts{};
  std::vector<std::pair<TToolButton*, TMouseActMode>> ModeButtons;
  std::array<int, 4> BackSteps{};
  TRIrove* Current = nullptr;
  TStatusLine* Status = nullptr;

  void SetMode(TMouseActMode Mode) {
    for (TRIrove* C : Charts) {
      C->SetMouseAction(Mode);
      C->SetMouseCursorFixed(false);
    }
    for (auto& [B, M] : ModeButtons) B->SetDown(M == Mode);
  }
  int IndexOf(const TRIrove* C) const {
    for (int I = 0; I < 4; ++I)
      if (Charts[static_cast<std::size_t>(I)] == C) return I;
    return 0;
  }
  // Each press goes one zoom or pan further back; a new zoom starts again from there.
  void Back() {
    int& Steps = BackSteps[static_cast<std::size_t>(IndexOf(Current))];
    if (Steps >= 15) return;
    ++Steps;
    Current->ZoomHistory(-Steps);
    Status->SetText(Current->Caption() + ": " + IntToStr(Steps) + " step(s) back");
  }
  void Save() {
    TSaveDialog D(nullptr);
    D.SetTitle("Save chart");
    D.SetFilter("Chart data (*.rcd)|*.rcd|All files (*)|*");
    D.SetDefaultExt("rcd");
    D.SetOptions({ofOverwritePrompt});
    if (!D.Execute()) return;
    try {
      Current->SaveData(D.FileName());
      Current->SaveAnno(ChangeFileExt(D.FileName(), ".rca"));
      Status->SetText("Saved " + IntToStr(Current->NumItems()) + " items and " +
                      IntToStr(Current->NumAnnos()) + " annotations to " + D.FileName());
    } catch (const Exception& E) {
      Status->SetText("Not saved: " + E.Message());
    }
  }
  void Load() {
    TOpenDialog D(nullptr);
    D.SetTitle("Load chart");
    D.SetFilter("Chart data (*.rcd)|*.rcd|All files (*)|*");
    D.SetOptions({ofFileMustExist});
    if (!D.Execute()) return;
    const int32_t N = Current->LoadData(D.FileName(), false);
    if (N < 0) {
      Status->SetText(D.FileName() + (N == -2 ? " is not a chart data file" : " cannot be read"));
      return;
    }
    const std::string Anno = ChangeFileExt(D.FileName(), ".rca");
    const int32_t A = FileExists(Anno) ? Current->LoadAnno(Anno, false) : 0;
    Current->ShowGraf();
    Status->SetText("Loaded " + IntToStr(N) + " items" +
                    (A > 0 ? " and " + IntToStr(A) + " annotations" : std::string()) + " from " +
                    D.FileName());
  }
};

void LiveCharts(TWinControl& Area) {
  auto Page = std::make_shared<TLivePage>();
  for (int I = 0; I < 4; ++I) {
    auto* C = new TRIrove(&Area);
    C->SetParent(&Area);
    const TPoint P = ChartPos(I, kToolH);
    C->SetBounds(P.X, P.Y, kChartW, kChartH);
    kBuilders[I](*C);
    C->ClearZoomHistory();
    C->OnMouseMoveInChart = [Page, C](TObject*, bool InChart, TShiftState Shift, double X, double Y) {
      Page->Current = C;
      // While a cross-hair is dragged the line tells where the cross-hair is.
      const bool DraggingCrossHair = C->MouseAction() == maDragCrossH && Shift.Contains(ssLeft);
      if (InChart && !DraggingCrossHair)
        Page->Status->SetText(C->Caption() + "    x = " + FloatToStrF(X, ffGeneral, 6, 0) +
                              "    y = " + FloatToStrF(Y, ffGeneral, 6, 0));
    };
    C->OnZoomPan = [Page, C](TObject*) { Page->BackSteps[static_cast<std::size_t>(Page->IndexOf(C))] = 0; };
    Page->Charts[static_cast<std::size_t>(I)] = C;
  }
  Page->Current = Page->Charts[0];
  // The two-layer chart pans and zooms both layers on one time axis; its cross-hair
  // reports where it was dragged.
  TRIrove* Layers = Page->Charts[3];
  Layers->JointLayers().SetL02xControlledBy(1);
  Layers->SetMouseAffectsLayer(2, true);
  Layers->OnCrossHairMove = [Page, Layers](TObject*, TCrossHair& H) {
    Page->Status->SetText("cross-hair at t = " + FloatToStrF(H.PosX(), ffFixed, 8, 2) +
                          " s, p = " + FloatToStrF(H.PosY(), ffFixed, 8, 3) + " bar");
  };

  struct TTool {
    const char* Caption;
    int Width;
    TMouseActMode Mode;
    std::function<void()> Action;  // none: the button chooses Mode
  };
  const TTool Tools[] = {
      {"Zoom window", 104, maZoomWindPos, nullptr},
      {"Zoom, flip by drag", 140, maZoomWind, nullptr},
      {"Drag zoom", 90, maZoomDrag, nullptr},
      {"Pan", 56, maPan, nullptr},
      {"Cross-hair", 92, maDragCrossH, nullptr},
      {"Move labels", 100, maDragLabel, nullptr},
      {"Draw", 60, maDrawMTrace, nullptr},
      {"Back", 60, maNone, [Page] { Page->Back(); }},
      {"Save...", 70, maNone, [Page] { Page->Save(); }},
      {"Load...", 70, maNone, [Page] { Page->Load(); }},
  };
  int32_t X = kLeft;
  for (const TTool& T : Tools) {
    const TMouseActMode Mode = T.Mode;
    const bool ModeButton = !T.Action;
    std::function<void()> Action = T.Action;
    if (ModeButton) Action = [Page, Mode] { Page->SetMode(Mode); };
    auto* B = new TToolButton(&Area, T.Caption, Action);
    B->SetParent(&Area);
    B->SetBounds(X, 2, T.Width, kToolH - 8);
    X += T.Width + (Mode == maDrawMTrace ? 18 : 6);
    if (ModeButton) Page->ModeButtons.emplace_back(B, Mode);
  }
  Page->Status = new TStatusLine(&Area);
  Page->Status->SetColor(RGB(250, 250, 248));
  Page->Status->SetParent(&Area);
  Page->Status->SetBounds(kLeft, kToolH + 2 * kChartH + kGap + 2, 2 * kChartW + kGap, kStatusH);
  Page->Status->SetText("Drag in a chart to zoom; the buttons choose what the mouse does. "
                        "Back, Save and Load act on the chart the mouse was last over.");
  Page->SetMode(maZoomWindPos);
}

const bool Registered = gallery::AddPage({"charts", "Charts", 2 * kLeft + 2 * kChartW + kGap,
                                          60 + kToolH + 2 * kChartH + kGap + kStatusH + 8,
                                          DrawCharts, LiveCharts});

} // namespace
