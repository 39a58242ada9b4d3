// THost: what the controls layer asks of the platform it runs on (the clock, showing forms,
// modal forms and message boxes, the clipboard, timers, waiting for input). One host is
// current for the whole process; the headless host is the default.
#pragma once

#include <cstdint>
#include <string>

#include "controls/forms.h"

namespace zef {

class THost {
public:
  virtual ~THost() = default;

  // Milliseconds since some fixed start.
  virtual uint64_t TickCount() = 0;
  // Whether a timer may be started (a host with limited timers may refuse).
  virtual bool AcceptTimer() = 0;
  // Called when the loop has nothing to do; a host waits for input or time here.
  virtual void WaitMessage() = 0;

  virtual void ShowForm(TForm& Form) = 0;
  virtual void HideForm(TForm& Form) = 0;
  // Runs Form modally and returns its modal result.
  virtual int ShowModal(TForm& Form) = 0;
  virtual int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) = 0;
  // Reports an exception that no handler took.
  virtual void ShowException(const std::string& Message) = 0;
  // The form's surface was repainted.
  virtual void SurfaceChanged(TForm& Form) = 0;

  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(const std::string& Text) = 0;
};

// The current host (the default headless host unless SetHost installed another).
THost& Host();
// Installs a host (not owned); null restores the default headless host.
void SetHost(THost* AHost);

} // namespace zef
