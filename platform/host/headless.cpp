#include "host/headless.h"

#include "controls/application.h"
#include "controls/dialogs.h"
#include "controls/menus.h"
#include "rtl/strings.h"

namespace zef {

bool THeadlessHost::AcceptTimer() {
  if (!FFailNextTimer) return true;
  FFailNextTimer = false;
  return false;
}

void THeadlessHost::WaitMessage() {
  uint64_t Due = 0;
  if (Application().NextTimerDue(Due)) {
    if (Due > FNow) FNow = Due;
  } else if (!Application().HasPendingMessages()) {
    Application().Terminate();
  }
}

void THeadlessHost::ShowForm(TForm&) {}

void THeadlessHost::HideForm(TForm&) {}

int THeadlessHost::ShowModal(TForm& Form) {
  if (FModalAnswers.empty()) return mrCancel;
  const std::function<int(TForm&)> Answer = std::move(FModalAnswers.front());
  FModalAnswers.pop_front();
  return Answer ? Answer(Form) : mrCancel;
}

void THeadlessHost::PushModalResult(int Result) {
  FModalAnswers.push_back([Result](TForm&) { return Result; });
}

int THeadlessHost::MessageDlg(const std::string& Msg, TMsgDlgType, TMsgDlgButtons) {
  FMessageTexts.push_back(Msg);
  if (FDlgAnswers.empty()) return mrOk;
  const int Result = FDlgAnswers.front();
  FDlgAnswers.pop_front();
  return Result;
}

bool THeadlessHost::ExecuteDialog(TCommonDialog& Dialog) {
  FDialogTitles.push_back(Dialog.Title());
  if (FDialogAnswers.empty()) return false;
  const std::function<bool(TCommonDialog&)> Answer = std::move(FDialogAnswers.front());
  FDialogAnswers.pop_front();
  return Answer && Answer(Dialog);
}

void THeadlessHost::PushFileDialogAnswer(const std::string& FileName) {
  PushFileDialogAnswer(std::vector<std::string>{FileName});
}

void THeadlessHost::PushFileDialogAnswer(const std::vector<std::string>& FileNames) {
  PushDialogAnswer([FileNames](TCommonDialog& Dialog) {
    auto* File = dynamic_cast<TOpenDialog*>(&Dialog);
    if (!File) return false;
    File->Accept(FileNames);
    return true;
  });
}

void THeadlessHost::PushColorDialogAnswer(TColor Color) {
  PushDialogAnswer([Color](TCommonDialog& Dialog) {
    auto* ColorDialog = dynamic_cast<TColorDialog*>(&Dialog);
    if (!ColorDialog) return false;
    ColorDialog->SetColor(Color);
    return true;
  });
}

void THeadlessHost::PushDialogCancel() {
  PushDialogAnswer([](TCommonDialog&) { return false; });
}

namespace {

TMenuItem* FindMenuItem(TMenuItem& Parent, const std::string& Caption) {
  for (int I = 0; I < Parent.Count(); ++I) {
    TMenuItem* Item = Parent.Items(I);
    if (!Item->Visible() || !Item->Enabled() || Item->IsLine()) continue;
    if (Item->Count() == 0 && Item->Caption() == Caption) return Item;
    if (TMenuItem* Found = FindMenuItem(*Item, Caption)) return Found;
  }
  return nullptr;
}

} // namespace

TMenuItem* THeadlessHost::TrackPopupMenu(TPopupMenu& Menu, TPoint ScreenPos) {
  FLastMenuPos = ScreenPos;
  ++FMenusShown;
  if (FMenuChoices.empty()) return nullptr;
  const std::string Caption = std::move(FMenuChoices.front());
  FMenuChoices.pop_front();
  return FindMenuItem(Menu.Items(), Caption);
}

void THeadlessHost::SetClipboardText(const std::string& Text) {
  FClipboard = Text;
  FClipboardHasBitmap = false;
  FClipboardBitmap.SetSize(0, 0);
}

bool THeadlessHost::ClipboardBitmap(TBitmap& Target) {
  if (!FClipboardHasBitmap) return false;
  Target.Assign(FClipboardBitmap);
  return true;
}

void THeadlessHost::SetClipboardBitmap(const TBitmap& Source) {
  FClipboard.clear();
  FClipboardBitmap.Assign(Source);
  FClipboardHasBitmap = true;
}

void THeadlessHost::MouseDown(TForm& Form, int32_t X, int32_t Y, TMouseButton Button, TShiftState Shift) {
  Form.DispatchMouseDown(Button, Shift, X, Y);
}

void THeadlessHost::MouseMove(TForm& Form, int32_t X, int32_t Y, TShiftState Shift) {
  Form.DispatchMouseMove(Shift, X, Y);
}

void THeadlessHost::MouseUp(TForm& Form, int32_t X, int32_t Y, TMouseButton Button, TShiftState Shift) {
  Form.DispatchMouseUp(Button, Shift, X, Y);
}

void THeadlessHost::Click(TForm& Form, int32_t X, int32_t Y, TMouseButton Button, TShiftState Shift) {
  MouseDown(Form, X, Y, Button, Shift);
  MouseUp(Form, X, Y, Button, Shift);
}

void THeadlessHost::DoubleClick(TForm& Form, int32_t X, int32_t Y, TShiftState Shift) {
  Click(Form, X, Y, mbLeft, Shift);
  TShiftState Second = Shift;
  Second.Include(ssDouble);
  MouseDown(Form, X, Y, mbLeft, Second);
  MouseUp(Form, X, Y, mbLeft, Shift);
}

void THeadlessHost::MouseWheel(TForm& Form, int32_t X, int32_t Y, int32_t WheelDelta, TShiftState Shift) {
  Form.DispatchMouseWheel(Shift, WheelDelta, X, Y);
}

void THeadlessHost::PressKey(TForm& Form, uint16_t Key, TShiftState Shift) {
  KeyDown(Form, Key, Shift);
  KeyUp(Form, Key, Shift);
}

void THeadlessHost::TypeText(TForm& Form, const std::string& Text) {
  for (std::size_t I = 0; I < Text.size();) Form.DispatchKeyPress(NextCodePoint(Text, I));
}

} // namespace zef
