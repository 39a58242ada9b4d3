#include "controls/controls.h"

#include <algorithm>

#include "controls/application.h"
#include "controls/forms.h"
#include "controls/menus.h"

namespace zef {

namespace {

TRect Intersect(const TRect& A, const TRect& B) {
  TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
          std::min(A.Bottom, B.Bottom)};
  if (R.Right <= R.Left || R.Bottom <= R.Top) return TRect{};
  return R;
}

TRect Offset(const TRect& R, TPoint P) { return {R.Left + P.X, R.Top + P.Y, R.Right + P.X, R.Bottom + P.Y}; }

} // namespace

// ---------------------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FCanvas(std::make_unique<TCanvas>()) {
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  FFont.OnChange = nullptr;
  SetParent(nullptr);
}

void TControl::SetParent(TWinControl* NewParent) {
  if (NewParent == FParent) return;
  for (TWinControl* P = NewParent; P; P = P->Parent())
    if (P == this) throw EInvalidOperation("A control cannot have itself as a parent");
  if (FParent) {
    Invalidate();
    FParent->RemoveControl(this);
  }
  if (NewParent) {
    NewParent->InsertControl(this);
    if (FParentFont) ParentFontChanged();
    Invalidate();
  }
}

void TControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool Resized = AWidth != FWidth || AHeight != FHeight;
  Invalidate();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  if (FParent && FAlign != alNone) FParent->Realign();
  if (Resized) {
    // Children are in place before OnResize sees them.
    if (auto* W = dynamic_cast<TWinControl*>(this)) W->Realign();
    Resize();
  }
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  FAlign = Value;
  if (FParent) FParent->Realign();
}

TPoint TControl::OriginInForm() const {
  TPoint P{0, 0};
  for (const TControl* C = this; C && !dynamic_cast<const TForm*>(C); C = C->FParent) {
    P.X += C->FLeft;
    P.Y += C->FTop;
  }
  return P;
}

TPoint TControl::ClientToScreen(TPoint P) const {
  TPoint O = OriginInForm();
  if (const TForm* F = ParentForm()) {
    O.X += F->Left();
    O.Y += F->Top();
  }
  return {P.X + O.X, P.Y + O.Y};
}

TPoint TControl::ScreenToClient(TPoint P) const {
  const TPoint O = ClientToScreen({0, 0});
  return {P.X - O.X, P.Y - O.Y};
}

TForm* TControl::ParentForm() const {
  for (const TControl* C = this; C; C = C->FParent)
    if (auto* F = dynamic_cast<const TForm*>(C)) return const_cast<TForm*>(F);
  return nullptr;
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  if (!Value) Invalidate();
  FVisible = Value;
  if (Value) Invalidate();
  if (TForm* F = ParentForm(); F && !Value && F != this) F->ControlRemoved(this);
  if (FParent && FAlign != alNone) FParent->Realign();
  Perform(CM_VISIBLECHANGED, Value);
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (TForm* F = ParentForm(); F && !Value && F != this) F->ControlRemoved(this);
  Invalidate();
  Perform(CM_ENABLEDCHANGED, Value);
}

void TControl::SetCursor(int32_t Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED);
  if (TForm* F = ParentForm()) F->UpdateCursor();
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

bool TControl::IsShowing() const {
  for (const TControl* C = this; C; C = C->FParent)
    if (!C->FVisible) return false;
  return true;
}

bool TControl::IsEnabledChain() const {
  for (const TControl* C = this; C; C = C->FParent)
    if (!C->FEnabled) return false;
  return true;
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Invalidate();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentFont(bool Value) {
  FParentFont = Value;
  if (Value) ParentFontChanged();
}

void TControl::FontChanged() {
  if (!FSettingFont) FParentFont = false;
  Invalidate();
  Perform(CM_FONTCHANGED);
  if (auto* W = dynamic_cast<TWinControl*>(this))
    for (TControl* C : W->FControls)
      if (C->FParentFont) C->ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParent || !FParentFont) return;
  FSettingFont = true;
  FFont.Assign(FParent->Font());
  FSettingFont = false;
}

TRect TControl::VisibleRectInForm() const {
  const TPoint O = OriginInForm();
  TRect R = Bounds(O.X, O.Y, FWidth, FHeight);
  for (const TControl* C = FParent; C; C = C->FParent) {
    const TPoint PO = C->OriginInForm();
    R = Intersect(R, Offset(C->ClientRect(), PO));
    if (dynamic_cast<const TForm*>(C)) break;
  }
  return R;
}

void TControl::InvalidateRectInForm(const TRect& R) const {
  if (TForm* F = ParentForm()) F->InvalidateFormRect(R);
}

void TControl::Invalidate() {
  if (!IsShowing() && !dynamic_cast<TForm*>(this)) return;
  InvalidateRectInForm(VisibleRectInForm());
}

void TControl::Update() {
  if (TForm* F = ParentForm()) F->UpdateSurface();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::PrepareCanvas(TBitmap* Surface, TPoint Offset, const TRect& Clip) {
  TCanvas& C = *FCanvas;
  C.SetTarget(Surface);
  C.SetOrigin(Offset);
  C.SetClipRect(::zef::Offset(Clip, {-Offset.X, -Offset.Y}));
  C.SetFont(FFont);
  C.Brush().SetColor(FColor);
}

TCanvas& TControl::Canvas() {
  if (!FInPaint) {
    TForm* F = ParentForm();
    if (F && IsShowing()) {
      const TPoint O = OriginInForm();
      FCanvas->SetTarget(&F->Surface());
      FCanvas->SetOrigin(O);
      FCanvas->SetClipRect(Offset(VisibleRectInForm(), {-O.X, -O.Y}));
      F->SurfaceDrawn();
    } else {
      FCanvas->SetTarget(nullptr);
    }
  }
  return *FCanvas;
}

void TControl::PaintControl(TBitmap& Surface, TPoint Offset, const TRect& Clip) {
  PrepareCanvas(&Surface, Offset, Clip);
  FInPaint = true;
  try {
    Paint();
  } catch (...) {
    FInPaint = false;
    throw;
  }
  FInPaint = false;
}

intptr_t TControl::Perform(uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  TMessage M{Msg, WParam, LParam, 0};
  WndProc(M);
  return M.Result;
}

void TControl::WndProc(TMessage&) {}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) {
  bool Handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
  return Handled;
}

void TControl::MouseEnter() {
  FMouseInClient = true;
  Perform(CM_MOUSEENTER);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  FMouseInClient = false;
  Perform(CM_MOUSELEAVE);
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---------------------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Owned children still talk to this parent while they die.
  Destroying();
  DestroyComponents();
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FControls[static_cast<std::size_t>(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  FControls.push_back(AControl);
  AControl->FParent = this;
  if (auto* W = dynamic_cast<TWinControl*>(AControl)) FTabList.push_back(W);
  if (AControl->FAlign != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto It = std::find(FControls.begin(), FControls.end(), AControl);
  if (It == FControls.end()) return;
  if (TForm* F = ParentForm()) F->ControlRemoved(AControl);
  FControls.erase(It);
  std::erase(FTabList, AControl);
  AControl->FParent = nullptr;
  if (AControl->FAlign != alNone && !ComponentState().Contains(csDestroying)) Realign();
}

void TWinControl::BringToFront(TControl* AControl) {
  auto It = std::find(FControls.begin(), FControls.end(), AControl);
  if (It == FControls.end()) return;
  std::rotate(It, It + 1, FControls.end());
  AControl->Invalidate();
}

void TWinControl::SendToBack(TControl* AControl) {
  auto It = std::find(FControls.begin(), FControls.end(), AControl);
  if (It == FControls.end()) return;
  std::rotate(FControls.begin(), It, It + 1);
  AControl->Invalidate();
}

TControl* TWinControl::ControlAtPos(TPoint P) const {
  for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
    TControl* C = *It;
    if (!C->Visible() || !C->Enabled() || !PtInRect(C->BoundsRect(), P)) continue;
    if (auto* W = dynamic_cast<TWinControl*>(C)) {
      const TPoint Inner{P.X - C->Left(), P.Y - C->Top()};
      if (!PtInRect(W->ClientRect(), Inner)) return C;
      if (TControl* Deeper = W->ControlAtPos(Inner)) return Deeper;
    }
    return C;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (std::size_t I = 0; I < FControls.size(); ++I) {
    FControls[I]->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::Realign() {
  if (FAligning) return;
  FAligning = true;
  TRect R = ClientRect();
  auto Place = [&](TAlign Kind) {
    for (std::size_t I = 0; I < FControls.size(); ++I) {
      TControl* C = FControls[I];
      if (C->Align() != Kind || !C->Visible()) continue;
      const int32_t W = std::max(R.Width(), 0), H = std::max(R.Height(), 0);
      switch (Kind) {
        case alTop:
          C->SetBounds(R.Left, R.Top, W, std::min(C->Height(), H));
          R.Top += C->Height();
          break;
        case alBottom:
          C->SetBounds(R.Left, R.Bottom - std::min(C->Height(), H), W, std::min(C->Height(), H));
          R.Bottom -= C->Height();
          break;
        case alLeft:
          C->SetBounds(R.Left, R.Top, std::min(C->Width(), W), H);
          R.Left += C->Width();
          break;
        case alRight:
          C->SetBounds(R.Right - std::min(C->Width(), W), R.Top, std::min(C->Width(), W), H);
          R.Right -= C->Width();
          break;
        case alClient:
          C->SetBounds(R.Left, R.Top, W, H);
          break;
        case alNone:
          break;
      }
    }
  };
  for (TAlign Kind : {alTop, alBottom, alLeft, alRight, alClient}) Place(Kind);
  FAligning = false;
}

bool TWinControl::CanFocus() const {
  const TForm* F = ParentForm();
  if (!F) return false;
  for (const TControl* C = this; C; C = C->Parent())
    if (!C->Visible() || !C->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  const TForm* F = ParentForm();
  return F && F->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  TForm* F = ParentForm();
  if (F != this) F->SetActiveControl(this);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& L = Parent()->FTabList;
  return static_cast<int>(std::find(L.begin(), L.end(), this) - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!Parent()) return;
  auto& L = Parent()->FTabList;
  std::erase(L, this);
  const auto Pos = static_cast<std::size_t>(std::clamp(Value, 0, static_cast<int>(L.size())));
  L.insert(L.begin() + static_cast<std::ptrdiff_t>(Pos), this);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
  std::vector<TWinControl*> Result;
  for (TWinControl* W : FTabList) {
    Result.push_back(W);
    const auto Inner = W->TabOrderList();
    Result.insert(Result.end(), Inner.begin(), Inner.end());
  }
  return Result;
}

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop) const {
  const auto List = TabOrderList();
  const auto N = static_cast<std::ptrdiff_t>(List.size());
  if (N == 0) return nullptr;
  std::ptrdiff_t Start = std::find(List.begin(), List.end(), Current) - List.begin();
  if (Start == N) Start = GoForward ? N - 1 : 0;
  for (std::ptrdiff_t Step = 1; Step <= N; ++Step) {
    const std::ptrdiff_t I = ((GoForward ? Start + Step : Start - Step) % N + N) % N;
    TWinControl* W = List[static_cast<std::size_t>(I)];
    if (W->CanFocus() && (!CheckTabStop || W->TabStop())) return W;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop) {
  if (TWinControl* Next = FindNextControl(Current, GoForward, CheckTabStop)) Next->SetFocus();
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::PaintControl(TBitmap& Surface, TPoint Offset, const TRect& Clip) {
  PrepareCanvas(&Surface, Offset, Clip);
  TCanvas& C = *FCanvas;
  C.Brush().SetColor(Color());
  C.Brush().SetStyle(bsSolid);
  C.FillRect(ClientRect());
  TControl::PaintControl(Surface, Offset, Clip);
  for (std::size_t I = 0; I < FControls.size(); ++I) {
    TControl* Child = FControls[I];
    if (!Child->Visible()) continue;
    const TPoint ChildOffset{Offset.X + Child->Left(), Offset.Y + Child->Top()};
    const TRect ChildClip = Intersect(Intersect(Clip, ::zef::Offset(ClientRect(), Offset)),
                                      Bounds(ChildOffset.X, ChildOffset.Y, Child->Width(), Child->Height()));
    if (ChildClip.Width() <= 0) continue;
    Child->PaintControl(Surface, ChildOffset, ChildClip);
  }
}

// ---------------------------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }

} // namespace zef
