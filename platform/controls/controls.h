// The control tree: TControl (a rectangle on a parent with mouse events and painting),
// TWinControl (a control with children, focus and keys), TGraphicControl (paints on its
// parent's pixels) and TCustomControl (a focusable control that paints itself).
//
// Rendering is windowless: the top-level form owns one surface; every control paints into it
// through a canvas whose origin is the control's position in the form and whose clip
// rectangle is the control's bounds cut down to its parents' client areas. Coordinates of
// mouse events are client coordinates of the control that receives them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/object.h"
#include "classes/tset.h"
#include "graphics/canvas.h"
#include "graphics/drawtools.h"
#include "rtl/types.h"

namespace zef {

class TWinControl;
class TForm;
class TPopupMenu;

// A control could not do what was asked (focusing an invisible or disabled control).
ZEF_DECLARE_EXCEPTION(EInvalidOperation, Exception);

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftStateFlag : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag, ssDouble + 1>;

// How a control places itself in its parent's client area.
enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Virtual-key codes; letters and digits are their upper-case ASCII codes ('A', '0').
constexpr uint16_t VK_BACK = 8;
constexpr uint16_t VK_TAB = 9;
constexpr uint16_t VK_RETURN = 13;
constexpr uint16_t VK_SHIFT = 16;
constexpr uint16_t VK_CONTROL = 17;
constexpr uint16_t VK_MENU = 18;
constexpr uint16_t VK_ESCAPE = 27;
constexpr uint16_t VK_SPACE = 32;
constexpr uint16_t VK_PRIOR = 33;
constexpr uint16_t VK_NEXT = 34;
constexpr uint16_t VK_END = 35;
constexpr uint16_t VK_HOME = 36;
constexpr uint16_t VK_LEFT = 37;
constexpr uint16_t VK_UP = 38;
constexpr uint16_t VK_RIGHT = 39;
constexpr uint16_t VK_DOWN = 40;
constexpr uint16_t VK_INSERT = 45;
constexpr uint16_t VK_DELETE = 46;
constexpr uint16_t VK_F1 = 112;
constexpr uint16_t VK_F2 = 113;
constexpr uint16_t VK_F3 = 114;
constexpr uint16_t VK_F4 = 115;
constexpr uint16_t VK_F5 = 116;
constexpr uint16_t VK_F6 = 117;
constexpr uint16_t VK_F7 = 118;
constexpr uint16_t VK_F8 = 119;
constexpr uint16_t VK_F9 = 120;
constexpr uint16_t VK_F10 = 121;
constexpr uint16_t VK_F11 = 122;
constexpr uint16_t VK_F12 = 123;

// Messages every control receives through Perform (WndProc), after the change they name.
constexpr uint32_t WM_GETDLGCODE = 0x0087;
constexpr uint32_t CM_BASE = 0xB000;
constexpr uint32_t CM_VISIBLECHANGED = CM_BASE + 11;
constexpr uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr uint32_t CM_COLORCHANGED = CM_BASE + 13;
constexpr uint32_t CM_FONTCHANGED = CM_BASE + 14;
constexpr uint32_t CM_CURSORCHANGED = CM_BASE + 15;
constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;
constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;
// Answers to WM_GETDLGCODE: the keys a focused control wants for itself instead of the form's
// navigation (Tab moves the focus unless the control wants tabs or all keys).
constexpr intptr_t DLGC_WANTARROWS = 0x0001;
constexpr intptr_t DLGC_WANTTAB = 0x0002;
constexpr intptr_t DLGC_WANTALLKEYS = 0x0004;
constexpr intptr_t DLGC_WANTCHARS = 0x0080;

// A message for Perform and Broadcast; a handler that takes it sets Result.
struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int32_t X, int32_t Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int32_t WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // ---- Placement ----
  TWinControl* Parent() const { return FParent; }
  // Moves the control to the top of NewParent's children (null detaches it).
  virtual void SetParent(TWinControl* NewParent);

  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  // Negative sizes count as 0. An unchanged rectangle does nothing; a changed one
  // invalidates the old and new areas, realigns and calls Resize when the size changed.
  virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
  // The bounds in the parent's client coordinates.
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // The client area in the control's own coordinates (the whole control: no borders).
  virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
  int32_t ClientWidth() const { return ClientRect().Width(); }
  int32_t ClientHeight() const { return ClientRect().Height(); }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);

  // Client coordinates of this control to screen coordinates and back (the top-level form's
  // Left and Top are its screen position).
  TPoint ClientToScreen(TPoint P) const;
  TPoint ScreenToClient(TPoint P) const;
  // The form this control lies on (itself for a form), or null.
  TForm* ParentForm() const;

  // ---- State and looks ----
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  // Visible (or enabled) here and in every parent.
  bool IsShowing() const;
  bool IsEnabledChain() const;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // Changing the font clears ParentFont; with ParentFont the control takes its parent's font.
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  // The cursor shape over the control (a TCursor number of controls/screen.h).
  int32_t Cursor() const { return FCursor; }
  void SetCursor(int32_t Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  // The menu a right click on the control opens (not owned; cleared when it is destroyed).
  // A control without one uses its parent's.
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  // Whether the mouse is over the control (between mouse enter and mouse leave).
  bool MouseInClient() const { return FMouseInClient; }

  // ---- Painting ----
  // Marks the control's area for repainting on the next loop turn.
  virtual void Invalidate();
  // Repaints the invalid areas of the control's form now.
  void Update();
  // Invalidate + Update.
  void Repaint();
  void Refresh() { Repaint(); }
  // The canvas drawing onto the form's surface at this control's place, clipped to its
  // visible area; usable inside and outside a paint cycle (it draws nothing without a form;
  // what it draws outside a paint cycle is shown on the next loop turn).
  TCanvas& Canvas();

  // ---- Messages ----
  // Sends a message to the control's WndProc and returns its Result.
  intptr_t Perform(uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);
  virtual void WndProc(TMessage& Message);

  // ---- Input entry points (called by the form's input dispatch) ----
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseMove(TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  // Returns whether the wheel was handled (by OnMouseWheel or an override).
  virtual bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos);
  virtual void MouseEnter();
  virtual void MouseLeave();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

protected:
  // Called after the size changed; fires OnResize.
  virtual void Resize();
  // Draws the control; Canvas() is set up for it.
  virtual void Paint() {}
  // Paints this control (and, for a TWinControl, its children) onto Surface. Offset is this
  // control's position in the form; Clip is the area (in form coordinates) it may touch.
  virtual void PaintControl(TBitmap& Surface, TPoint Offset, const TRect& Clip);
  // Called when the parent's font changed.
  virtual void ParentFontChanged();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The area of the control in form coordinates, cut to its parents' client areas.
  TRect VisibleRectInForm() const;
  // The position of this control's client origin in form coordinates.
  TPoint OriginInForm() const;
  void InvalidateRectInForm(const TRect& R) const;
  bool InPaint() const { return FInPaint; }

private:
  friend class TWinControl;
  friend class TForm;
  void FontChanged();
  void PrepareCanvas(TBitmap* Surface, TPoint Offset, const TRect& Clip);

  TWinControl* FParent = nullptr;
  int32_t FLeft = 0;
  int32_t FTop = 0;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  TAlign FAlign = alNone;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentFont = true;
  bool FShowHint = false;
  bool FMouseInClient = false;
  bool FInPaint = false;
  bool FSettingFont = false;
  TColor FColor = clBtnFace;
  TFont FFont;
  int32_t FCursor = 0;
  TPopupMenu* FPopupMenu = nullptr;
  std::string FHint;
  std::unique_ptr<TCanvas> FCanvas;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // ---- Children, bottom first ----
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // A bad index raises EListError.
  TControl* Controls(int Index) const;
  // Inserts the child on top (called by SetParent).
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  // Moves a child to the top or the bottom of the z-order.
  void BringToFront(TControl* AControl);
  void SendToBack(TControl* AControl);
  // The topmost visible, enabled child (searched recursively) at P in client coordinates,
  // or null when P hits no child.
  TControl* ControlAtPos(TPoint P) const;
  // Sends the message to every child until one sets a non-zero Result.
  void Broadcast(TMessage& Message);
  // Places the aligned children (alTop and alBottom first, then alLeft, alRight, alClient).
  void Realign();

  // ---- Focus and keys ----
  // Visible and enabled up to the form.
  virtual bool CanFocus() const;
  bool Focused() const;
  // Makes this the form's active control; raises EInvalidOperation when it cannot take focus.
  virtual void SetFocus();
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  // The place among the parent's focusable children (0-based); setting it moves the control
  // and renumbers the others.
  int TabOrder() const;
  void SetTabOrder(int Value);
  // The focusable controls under this one in Tab order (depth first).
  std::vector<TWinControl*> TabOrderList() const;
  // The control after (or before) Current in Tab order, cycling; with CheckTabStop only
  // controls with TabStop count. Null when none can take focus.
  TWinControl* FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop) const;
  void SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop);

  virtual void KeyDown(uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);
  virtual void DoEnter();
  virtual void DoExit();

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  // Fills the client area with Color, then paints itself and the children.
  void PaintControl(TBitmap& Surface, TPoint Offset, const TRect& Clip) override;

private:
  friend class TControl;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
  bool FAligning = false;
};

// A control without children or focus that draws on its parent's pixels (nothing is filled
// before its Paint).
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
};

// A focusable control that paints itself with Paint on its own canvas.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
};

} // namespace zef
