// A page of the controls layer: a demo control that follows the mouse and the keyboard, a
// row of controls that take the focus in Tab order, and a popup menu. In the PNG file the
// page shows the same controls painted once, with a few points put in by code.
#include <string>
#include <vector>

#include "ZEF_zefbase.h"
#include "controls/dialogs.h"
#include "controls/forms.h"
#include "controls/menus.h"
#include "controls/screen.h"
#include "gallery.h"
#include "graphics/canvas.h"
#include "graphics/colors.h"
#include "rtl/numconv.h"

using namespace zef;

namespace {

// Draws a cross-hair at the mouse, a mark at every click (left: circle, right: square), a
// box that the arrow keys move and the wheel resizes, and the last characters typed.
class TDemoControl : public TCustomControl {
public:
  explicit TDemoControl(TComponent* Owner) : TCustomControl(Owner) {
    SetColor(clWhite);
    SetCursor(crCross);
  }

  void AddPoint(int32_t X, int32_t Y, bool Square) {
    FPoints.push_back({X, Y, Square});
    Invalidate();
  }
  void ClearPoints() {
    FPoints.clear();
    Invalidate();
  }
  void Type(const std::string& Text) {
    FTyped += Text;
    if (FTyped.size() > 40) FTyped.erase(0, FTyped.size() - 40);
    Invalidate();
  }

  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    if (Button != mbMiddle) AddPoint(X, Y, Button == mbRight);
    if (CanFocus()) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override {
    FMouse = {X, Y};
    FDragging = Shift.Contains(ssLeft);
    if (FDragging) AddPoint(X, Y, false);
    Invalidate();
    TCustomControl::MouseMove(Shift, X, Y);
  }
  void MouseLeave() override {
    FMouse = {-1, -1};
    Invalidate();
    TCustomControl::MouseLeave();
  }
  bool DoMouseWheel(TShiftState, int32_t WheelDelta, TPoint) override {
    FBoxSize = std::clamp(FBoxSize + WheelDelta / 30, 8, 120);
    Invalidate();
    return true;
  }
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_GETDLGCODE) M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  }
  void KeyDown(uint16_t& Key, TShiftState Shift) override {
    const int32_t Step = Shift.Contains(ssShift) ? 20 : 5;
    switch (Key) {
      case VK_LEFT: FBox.X -= Step; break;
      case VK_RIGHT: FBox.X += Step; break;
      case VK_UP: FBox.Y -= Step; break;
      case VK_DOWN: FBox.Y += Step; break;
      case VK_DELETE: ClearPoints(); break;
      default: TCustomControl::KeyDown(Key, Shift); return;
    }
    FBox.X = std::clamp(FBox.X, 0, Width() - FBoxSize);
    FBox.Y = std::clamp(FBox.Y, 0, Height() - FBoxSize);
    Invalidate();
  }
  void KeyPress(char32_t& Key) override {
    if (Key >= U' ') {
      std::string S;
      AppendUtf8(S, Key);
      Type(S);
    }
  }
  void DoEnter() override { Invalidate(); }
  void DoExit() override { Invalidate(); }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Pen().SetColor(RGB(225, 228, 235));
    for (int32_t X = 0; X < Width(); X += 25) {
      C.MoveTo(X, 0);
      C.LineTo(X, Height());
    }
    for (int32_t Y = 0; Y < Height(); Y += 25) {
      C.MoveTo(0, Y);
      C.LineTo(Width(), Y);
    }
    C.Brush().SetColor(RGB(255, 200, 120));
    C.Pen().SetColor(RGB(20, 60, 160));
    for (const TDot& D : FPoints) DrawMarkOnCanvas(C, D.Square ? 9 : 24, D.X, D.Y);
    C.Brush().SetColor(Focused() ? RGB(90, 160, 90) : RGB(170, 190, 170));
    C.Pen().SetColor(RGB(30, 80, 30));
    C.Rectangle(FBox.X, FBox.Y, FBox.X + FBoxSize, FBox.Y + FBoxSize);
    C.Brush().SetStyle(bsClear);
    C.Font().SetColor(RGB(40, 45, 60));
    C.Font().SetHeight(-13);
    C.TextOut(8, Height() - 40, "Typed: " + FTyped);
    C.TextOut(8, Height() - 22, IntToStr(static_cast<int64_t>(FPoints.size())) + " points" +
                                   (Focused() ? "   (focused: arrows move the box, Del clears)" : "   (click to focus)"));
    if (FMouse.X >= 0) {
      C.Pen().SetColor(RGB(200, 40, 40));
      C.MoveTo(FMouse.X, 0);
      C.LineTo(FMouse.X, Height());
      C.MoveTo(0, FMouse.Y);
      C.LineTo(Width(), FMouse.Y);
      C.TextOut(FMouse.X + 6, FMouse.Y + 4, IntToStr(FMouse.X) + ", " + IntToStr(FMouse.Y));
    }
    C.Brush().SetStyle(bsSolid);
    C.Pen().SetColor(Focused() ? RGB(20, 60, 160) : RGB(160, 165, 175));
    C.Brush().SetStyle(bsClear);
    C.Rectangle(0, 0, Width(), Height());
    C.Brush().SetStyle(bsSolid);
  }

private:
  struct TDot {
    int32_t X, Y;
    bool Square;
  };
  std::vector<TDot> FPoints;
  TPoint FMouse{-1, -1};
  TPoint FBox{20, 20};
  int32_t FBoxSize = 40;
  bool FDragging = false;
  std::string FTyped;
};

// A swatch that takes the focus (Tab moves along the row) and shows it.
class TSwatch : public TCustomControl {
public:
  TSwatch(TComponent* Owner, TColor C) : TCustomControl(Owner) { SetColor(C); }
  void DoEnter() override { Invalidate(); }
  void DoExit() override { Invalidate(); }
  void MouseDown(TMouseButton B, TShiftState S, int32_t X, int32_t Y) override {
    SetFocus();
    TCustomControl::MouseDown(B, S, X, Y);
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Brush().SetStyle(bsClear);
    C.Pen().SetColor(Focused() ? clBlack : RGB(150, 150, 150));
    C.Pen().SetWidth(Focused() ? 3 : 1);
    C.Rectangle(1, 1, Width(), Height());
    C.Pen().SetWidth(1);
  }
};

void BuildControls(TWinControl& Area) {
  auto* Demo = new TDemoControl(&Area);
  Demo->SetParent(&Area);
  Demo->SetBounds(20, 10, Area.Width() - 40, Area.Height() - 90);
  Demo->SetTabOrder(0);
  const TColor Colors[] = {RGB(230, 90, 70), RGB(240, 190, 60), RGB(90, 180, 100), RGB(70, 130, 220)};
  for (int I = 0; I < 4; ++I) {
    auto* S = new TSwatch(&Area, Colors[I]);
    S->SetParent(&Area);
    S->SetBounds(20 + I * 70, Area.Height() - 66, 56, 48);
  }
  TPopupMenu* Menu = NewPopupMenu(&Area, "DemoMenu",
      {NewItem("Clear points", [Demo](TObject*) { Demo->ClearPoints(); }),
       NewLine(),
       NewSubMenu("Add a point", {NewItem("At the centre", [Demo](TObject*) {
                                    Demo->AddPoint(Demo->Width() / 2, Demo->Height() / 2, true);
                                  })}),
       NewLine(),
       NewItem("Open a file...", [Demo](TObject*) {
         TOpenDialog D(nullptr);
         D.SetFilter("Pictures (*.png;*.bmp)|*.png;*.bmp|All files|*.*");
         if (D.Execute()) Demo->Type(" [" + D.FileName() + "]");
       }),
       NewItem("Choose a colour...", [Demo](TObject*) {
         TColorDialog D(nullptr);
         D.SetColor(Demo->Color());
         if (D.Execute()) Demo->SetColor(D.Color());
       }),
       NewItem("Ask a question...", [Demo](TObject*) {
         const int R = MessageDlg("Keep the points?\nNo clears them.", mtConfirmation, {mbYes, mbNo});
         Demo->Type(R == mrYes ? " [kept]" : " [no]");
       })});
  Demo->SetPopupMenu(Menu);
}

void DrawControls(TBitmap& Bmp) {
  const int Top = gallery::DrawPageFrame(Bmp, "Controls: mouse, keys, focus and Tab order (live in the window)");
  TForm Form(nullptr);
  Form.SetBounds(0, 0, Bmp.Width(), Bmp.Height() - Top);
  Form.SetColor(RGB(250, 250, 248));
  BuildControls(Form);
  auto* Demo = static_cast<TDemoControl*>(Form.Controls(0));
  for (int I = 0; I < 12; ++I) Demo->AddPoint(60 + I * 40, 120 + (I % 3) * 30, I % 2 == 1);
  Demo->Type("Hello");
  TBitmap Page;
  Form.PaintTo(Page);
  Bmp.Canvas().Draw(0, Top, Page);
}

const bool Registered = gallery::AddPage({"controls", "Controls", 900, 560, DrawControls, BuildControls});

} // namespace
