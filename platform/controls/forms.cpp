#include "controls/forms.h"

#include <algorithm>

#include "controls/application.h"
#include "controls/menus.h"
#include "controls/screen.h"
#include "host/host.h"

namespace zef {

namespace {

// Whether C is Ancestor or lies inside it.
bool IsWithin(const TControl* C, const TControl* Ancestor) {
  for (; C; C = C->Parent())
    if (C == Ancestor) return true;
  return false;
}

TShiftStateFlag ButtonFlag(TMouseButton Button) {
  switch (Button) {
    case mbRight: return ssRight;
    case mbMiddle: return ssMiddle;
    case mbLeft: break;
  }
  return ssLeft;
}

} // namespace

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  SetBounds(0, 0, 320, 240);
  Application().RegisterForm(this);
}

TForm::~TForm() {
  Destroying();
  DestroyComponents();
  Application().UnregisterForm(this);
  if (FVisible) Host().HideForm(*this);
}

void TForm::SetVisible(bool Value) {
  if (Value == Visible()) return;
  TWinControl::SetVisible(Value);
  if (Value) {
    FInvalid = ClientRect();
    Host().ShowForm(*this);
    if (OnShow) OnShow(this);
  } else {
    Host().HideForm(*this);
    if (OnHide) OnHide(this);
  }
}

int TForm::ShowModal() {
  if (FModal) throw EInvalidOperation("Cannot make a visible window modal");
  FModal = true;
  FModalResult = mrNone;
  int Result = mrCancel;
  try {
    Show();
    Result = Host().ShowModal(*this);
  } catch (...) {
    FModal = false;
    Hide();
    throw;
  }
  FModal = false;
  FModalResult = Result;
  Hide();
  return Result;
}

void TForm::Close() {
  if (FModal && FModalResult == mrNone) FModalResult = mrCancel;
  Hide();
}

void TForm::SetActiveControl(TWinControl* Value) {
  if (Value == FActiveControl) return;
  if (Value && (Value == this || Value->ParentForm() != this)) Value = nullptr;
  TWinControl* Old = FActiveControl;
  FActiveControl = Value;
  if (Old) Old->DoExit();
  if (Value && FActiveControl == Value) Value->DoEnter();
}

void TForm::InvalidateFormRect(const TRect& R) {
  const TRect C = ClientRect();
  const TRect A{std::max(R.Left, C.Left), std::max(R.Top, C.Top), std::min(R.Right, C.Right),
                std::min(R.Bottom, C.Bottom)};
  if (A.Right <= A.Left || A.Bottom <= A.Top) return;
  if (FInvalid.Width() <= 0 || FInvalid.Height() <= 0) {
    FInvalid = A;
    return;
  }
  FInvalid = {std::min(FInvalid.Left, A.Left), std::min(FInvalid.Top, A.Top), std::max(FInvalid.Right, A.Right),
              std::max(FInvalid.Bottom, A.Bottom)};
}

void TForm::UpdateSurface() {
  if (FSurface.Width() != ClientWidth() || FSurface.Height() != ClientHeight()) {
    FSurface.SetSize(ClientWidth(), ClientHeight());
    FInvalid = ClientRect();
  }
  const bool Drawn = FSurfaceDrawn;
  FSurfaceDrawn = false;
  if (FInvalid.Width() <= 0 || FInvalid.Height() <= 0) {
    if (Drawn) Host().SurfaceChanged(*this);
    return;
  }
  const TRect Area = FInvalid;
  FInvalid = TRect{};
  PaintControl(FSurface, {0, 0}, Area);
  Host().SurfaceChanged(*this);
}

void TForm::PaintTo(TBitmap& Target) {
  Target.SetSize(ClientWidth(), ClientHeight());
  PaintControl(Target, {0, 0}, ClientRect());
}

TControl* TForm::HitTest(TPoint P) {
  TControl* C = ControlAtPos(P);
  return C ? C : this;
}

TPoint TForm::ToControl(TControl* AControl, int32_t X, int32_t Y) const {
  const TPoint O = AControl->OriginInForm();
  return {X - O.X, Y - O.Y};
}

void TForm::SetMouseControl(TControl* AControl) {
  if (AControl == FMouseControl) return;
  TControl* Old = FMouseControl;
  FMouseControl = AControl;
  if (Old) Old->MouseLeave();
  if (AControl && FMouseControl == AControl) AControl->MouseEnter();
  UpdateCursor();
}

void TForm::UpdateCursor() {
  const int32_t C = Screen().EffectiveCursor(FCapture ? FCapture : FMouseControl);
  if (C == FShownCursor) return;
  FShownCursor = C;
  if (Visible()) Host().CursorChanged(*this, C);
}

void TForm::DispatchMouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  Application().Guarded(this, [&] {
    TControl* Target = FCapture ? FCapture : HitTest({X, Y});
    if (!FCapture) SetMouseControl(Target);
    FCapture = Target;
    FButtonsDown.Include(Button);
    Shift.Include(ButtonFlag(Button));
    if (Button == mbLeft) FDoublePress = Shift.Contains(ssDouble);
    if (auto* W = dynamic_cast<TWinControl*>(Target); W && W != this && W->CanFocus()) W->SetFocus();
    if (FCapture != Target) return;
    if (Button == mbLeft && Shift.Contains(ssDouble)) {
      Target->DblClick();
      if (FCapture != Target) return;
    }
    const TPoint P = ToControl(Target, X, Y);
    Target->MouseDown(Button, Shift, P.X, P.Y);
  });
}

void TForm::DispatchMouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  Application().Guarded(this, [&] {
    TControl* Target = FCapture;
    if (!Target) {
      Target = HitTest({X, Y});
      SetMouseControl(Target);
      if (FMouseControl != Target) return;
    }
    for (TMouseButton B : {mbLeft, mbRight, mbMiddle})
      if (FButtonsDown.Contains(B)) Shift.Include(ButtonFlag(B));
    const TPoint P = ToControl(Target, X, Y);
    Target->MouseMove(Shift, P.X, P.Y);
  });
}

void TForm::DispatchMouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  Application().Guarded(this, [&] {
    // The capture is held through the handlers so that a control deleted by them is noticed.
    TControl* Target = FCapture ? FCapture : HitTest({X, Y});
    FCapture = Target;
    FButtonsDown.Exclude(Button);
    const TPoint P = ToControl(Target, X, Y);
    const bool Clicks = Button == mbLeft && !FDoublePress && PtInRect(Target->ClientRect(), P);
    if (Button == mbLeft) FDoublePress = false;
    if (Clicks) Target->Click();
    if (FCapture == Target) Target->MouseUp(Button, Shift, P.X, P.Y);
    // A right click over the control opens its popup menu (or the nearest parent's).
    TControl* MenuOwner = nullptr;
    if (Button == mbRight && FCapture == Target && PtInRect(Target->ClientRect(), P))
      for (TControl* C = Target; C && !MenuOwner; C = C->Parent())
        if (C->PopupMenu()) MenuOwner = C;
    if (FButtonsDown.Empty()) FCapture = nullptr;
    if (!FCapture) SetMouseControl(HitTest({X, Y}));
    if (MenuOwner) {
      TPopupMenu* Menu = MenuOwner->PopupMenu();
      Menu->SetPopupComponent(MenuOwner);
      const TPoint S = ClientToScreen({X, Y});
      Menu->Popup(S.X, S.Y);
    }
  });
}

void TForm::DispatchMouseWheel(TShiftState Shift, int32_t WheelDelta, int32_t X, int32_t Y) {
  Application().Guarded(this, [&] {
    const TPoint Screen = ClientToScreen({X, Y});
    for (TControl* C = FCapture ? FCapture : HitTest({X, Y}); C; C = C->Parent()) {
      if (C->DoMouseWheel(Shift, WheelDelta, Screen)) return;
      if (C == this) return;
    }
  });
}

void TForm::DispatchMouseExit() {
  if (!FCapture) Application().Guarded(this, [&] { SetMouseControl(nullptr); });
}

TWinControl* TForm::KeyTarget() const {
  return FActiveControl ? FActiveControl : const_cast<TForm*>(this);
}

void TForm::DispatchKeyDown(uint16_t Key, TShiftState Shift) {
  Application().Guarded(this, [&] {
    TWinControl* Target = KeyTarget();
    if (FKeyPreview && Target != this) {
      KeyDown(Key, Shift);
      if (Key == 0) return;
      Target = KeyTarget();
    }
    const bool WantsTab = Target != this && (Target->Perform(WM_GETDLGCODE) & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
    Target->KeyDown(Key, Shift);
    if (Key == VK_TAB && !WantsTab && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt))
      SelectNext(FActiveControl, !Shift.Contains(ssShift), true);
  });
}

void TForm::DispatchKeyUp(uint16_t Key, TShiftState Shift) {
  Application().Guarded(this, [&] {
    TWinControl* Target = KeyTarget();
    if (FKeyPreview && Target != this) {
      KeyUp(Key, Shift);
      if (Key == 0) return;
      Target = KeyTarget();
    }
    Target->KeyUp(Key, Shift);
  });
}

void TForm::DispatchKeyPress(char32_t Key) {
  Application().Guarded(this, [&] {
    TWinControl* Target = KeyTarget();
    if (FKeyPreview && Target != this) {
      KeyPress(Key);
      if (Key == 0) return;
      Target = KeyTarget();
    }
    Target->KeyPress(Key);
  });
}

void TForm::ControlRemoved(TControl* AControl) {
  if (IsWithin(FActiveControl, AControl)) FActiveControl = nullptr;
  if (IsWithin(FCapture, AControl)) {
    FCapture = nullptr;
    FButtonsDown = {};
  }
  if (IsWithin(FMouseControl, AControl)) FMouseControl = nullptr;
  if (AControl != this) UpdateCursor();
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  return Host().MessageDlg(Msg, DlgType, Buttons);
}

} // namespace zef
