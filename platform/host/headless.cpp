#include "host/headless.h"

#include "controls/application.h"
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
