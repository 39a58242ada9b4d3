// THeadlessHost: a host without a display, for tests and batch runs. It has a virtual clock,
// an in-memory clipboard, scripted answers for modal forms and message boxes, and injects
// mouse and keyboard input into forms (coordinates are the form's client coordinates).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "host/host.h"

namespace zef {

class THeadlessHost : public THost {
public:
  // ---- Clock and timers ----
  uint64_t TickCount() override { return FNow; }
  // Moves the virtual clock forward; nothing runs until the loop processes messages.
  void AdvanceTime(uint64_t Ms) { FNow += Ms; }
  // The next timer request is refused.
  void FailNextTimer() { FFailNextTimer = true; }
  bool AcceptTimer() override;
  // Moves the clock to the next timer due; with no timer running, terminates the application
  // (nothing could ever happen).
  void WaitMessage() override;

  // ---- Forms and dialogs ----
  void ShowForm(TForm& Form) override;
  void HideForm(TForm& Form) override;
  // Answers from the script: the next queued answer runs with the shown form and returns the
  // modal result; with an empty script the result is mrCancel.
  int ShowModal(TForm& Form) override;
  void PushModalAnswer(std::function<int(TForm& Form)> Answer) { FModalAnswers.push_back(std::move(Answer)); }
  void PushModalResult(int Result);
  // Records the text and returns the next scripted result (mrOk when none is queued).
  int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) override;
  void PushMessageDlgResult(int Result) { FDlgAnswers.push_back(Result); }
  const std::vector<std::string>& MessageTexts() const { return FMessageTexts; }
  // Unhandled exceptions are recorded here.
  void ShowException(const std::string& Message) override { FExceptions.push_back(Message); }
  const std::vector<std::string>& Exceptions() const { return FExceptions; }
  void SurfaceChanged(TForm&) override { ++FSurfaceUpdates; }
  // How often a form's surface was shown (SurfaceChanged calls).
  int SurfaceUpdates() const { return FSurfaceUpdates; }
  void CursorChanged(TForm&, int32_t) override {}

  // Common dialogs answer from the script: the next queued answer runs with the dialog and
  // returns whether it was confirmed; with an empty script the dialog is cancelled. The
  // titles of the dialogs run are recorded.
  bool ExecuteDialog(TCommonDialog& Dialog) override;
  void PushDialogAnswer(std::function<bool(TCommonDialog& Dialog)> Answer) { FDialogAnswers.push_back(std::move(Answer)); }
  // A file dialog confirmed with these names (a colour dialog given one is cancelled).
  void PushFileDialogAnswer(const std::string& FileName);
  void PushFileDialogAnswer(const std::vector<std::string>& FileNames);
  // A colour dialog confirmed with the colour (a file dialog given one is cancelled).
  void PushColorDialogAnswer(TColor Color);
  void PushDialogCancel();
  const std::vector<std::string>& DialogTitles() const { return FDialogTitles; }

  // Popup menus answer from the script: the item with that caption (searched depth first
  // among the visible, enabled items) is chosen; an empty script or an unknown caption
  // dismisses the menu. The screen position of the last menu is kept.
  TMenuItem* TrackPopupMenu(TPopupMenu& Menu, TPoint ScreenPos) override;
  void PushMenuChoice(const std::string& Caption) { FMenuChoices.push_back(Caption); }
  TPoint LastMenuPos() const { return FLastMenuPos; }
  int MenusShown() const { return FMenusShown; }

  void Beep() override { ++FBeeps; }
  int BeepCount() const { return FBeeps; }

  TSize ScreenSize() override { return FScreenSize; }
  void SetScreenSize(TSize Value) { FScreenSize = Value; }

  // ---- Clipboard ----
  std::string ClipboardText() override { return FClipboard; }
  void SetClipboardText(const std::string& Text) override;
  bool ClipboardBitmap(TBitmap& Target) override;
  void SetClipboardBitmap(const TBitmap& Source) override;

  // ---- Input ----
  void MouseDown(TForm& Form, int32_t X, int32_t Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
  void MouseMove(TForm& Form, int32_t X, int32_t Y, TShiftState Shift = {});
  void MouseUp(TForm& Form, int32_t X, int32_t Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
  // Down and up.
  void Click(TForm& Form, int32_t X, int32_t Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
  // Down, up, then the second down (with ssDouble, which fires DblClick first) and up.
  void DoubleClick(TForm& Form, int32_t X, int32_t Y, TShiftState Shift = {});
  void MouseWheel(TForm& Form, int32_t X, int32_t Y, int32_t WheelDelta, TShiftState Shift = {});
  void MouseExit(TForm& Form) { Form.DispatchMouseExit(); }
  void KeyDown(TForm& Form, uint16_t Key, TShiftState Shift = {}) { Form.DispatchKeyDown(Key, Shift); }
  void KeyUp(TForm& Form, uint16_t Key, TShiftState Shift = {}) { Form.DispatchKeyUp(Key, Shift); }
  // KeyDown and KeyUp.
  void PressKey(TForm& Form, uint16_t Key, TShiftState Shift = {});
  // Key presses of each character of the UTF-8 text.
  void TypeText(TForm& Form, const std::string& Text);
  // Paints the form into Target (its client size).
  void PaintTo(TForm& Form, TBitmap& Target) { Form.PaintTo(Target); }

private:
  int FSurfaceUpdates = 0;
  uint64_t FNow = 0;
  bool FFailNextTimer = false;
  std::deque<std::function<int(TForm&)>> FModalAnswers;
  std::deque<int> FDlgAnswers;
  std::vector<std::string> FMessageTexts;
  std::vector<std::string> FExceptions;
  std::deque<std::function<bool(TCommonDialog&)>> FDialogAnswers;
  std::vector<std::string> FDialogTitles;
  std::deque<std::string> FMenuChoices;
  TPoint FLastMenuPos;
  int FMenusShown = 0;
  int FBeeps = 0;
  TSize FScreenSize{1920, 1080};
  std::string FClipboard;
  bool FClipboardHasBitmap = false;
  TBitmap FClipboardBitmap;
};

} // namespace zef
