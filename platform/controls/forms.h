// TForm: a top-level window. It owns the surface its controls paint into, keeps the invalid
// area, the focused control, the mouse capture and the control under the mouse, and turns
// the input its host delivers into control events. MessageDlg asks the host.
#pragma once

#include <cstdint>
#include <string>

#include "classes/tset.h"
#include "controls/controls.h"
#include "graphics/bitmap.h"

namespace zef {

// Modal results (0 while a modal form is open).
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : uint8_t { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };
using TMsgDlgButtons = TSet<TMsgDlgBtn, mbIgnore + 1>;

// How a windowed host frames the form: bsNone has no frame or title (menus, splash
// windows), bsDialog and bsSingle cannot be resized.
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };

class TForm : public TWinControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  // With KeyPreview the form sees key events before its focused control.
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }

  // Forms start hidden. Show makes the form visible and hands it to the host.
  void SetVisible(bool Value) override;
  // Shows the form modally through the host and returns the modal result.
  int ShowModal();
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Hides the form (a modal form without a result gets mrCancel).
  void Close();
  bool Modal() const { return FModal; }

  // The focused control (null when the form itself has the focus).
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value);
  // The control holding the mouse while a button is pressed, and the one under the mouse.
  TControl* MouseCapture() const { return FCapture; }
  TControl* MouseControl() const { return FMouseControl; }
  // The cursor shown over the form: the screen's cursor or that of the control under the
  // mouse (or holding it). UpdateCursor recomputes it and tells the host of a change.
  int32_t ShownCursor() const { return FShownCursor; }
  void UpdateCursor();

  // ---- Surface and painting ----
  // The form's pixels as last painted (client size).
  TBitmap& Surface() { return FSurface; }
  // The invalid area in client coordinates (empty when everything is painted).
  const TRect& InvalidRect() const { return FInvalid; }
  void InvalidateFormRect(const TRect& R);
  // Repaints the invalid area into the surface and shows it, and shows drawing done on the
  // surface outside a paint cycle (through a control's Canvas).
  void UpdateSurface();
  // Drawing outside a paint cycle happened on the surface: the next loop turn shows it.
  void SurfaceDrawn() { FSurfaceDrawn = true; }
  bool SurfaceDrawnPending() const { return FSurfaceDrawn; }
  // Paints the whole form into Target, resized to the client size.
  void PaintTo(TBitmap& Target);

  // ---- Input, in the form's client coordinates ----
  // The control that receives the mouse at P: the topmost visible, enabled control there
  // (the form when none).
  TControl* HitTest(TPoint P);
  void DispatchMouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  void DispatchMouseMove(TShiftState Shift, int32_t X, int32_t Y);
  void DispatchMouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  void DispatchMouseWheel(TShiftState Shift, int32_t WheelDelta, int32_t X, int32_t Y);
  // The mouse left the form.
  void DispatchMouseExit();
  // Tab and Shift+Tab move the focus unless a KeyDown handler set the key to 0.
  void DispatchKeyDown(uint16_t Key, TShiftState Shift);
  void DispatchKeyUp(uint16_t Key, TShiftState Shift);
  void DispatchKeyPress(char32_t Key);

  // A control of this form is going away: forget every pointer to it and its children.
  void ControlRemoved(TControl* AControl);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

private:
  TWinControl* KeyTarget() const;
  void SetMouseControl(TControl* AControl);
  TPoint ToControl(TControl* AControl, int32_t X, int32_t Y) const;

  std::string FCaption;
  TFormBorderStyle FBorderStyle = bsSizeable;
  bool FKeyPreview = false;
  bool FModal = false;
  int FModalResult = mrNone;
  TWinControl* FActiveControl = nullptr;
  TControl* FCapture = nullptr;
  TControl* FMouseControl = nullptr;
  TSet<TMouseButton, mbMiddle + 1> FButtonsDown;
  // Whether the current press started with a double click (its release does not click).
  bool FDoublePress = false;
  int32_t FShownCursor = 0;
  TBitmap FSurface;
  TRect FInvalid;
  bool FSurfaceDrawn = false;
};

// Shows a message box through the host and returns the modal result of the chosen button.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

} // namespace zef
