// THost: what the controls layer asks of the platform it runs on (the clock, showing forms,
// modal forms, message boxes, dialogs and menus, cursors, the clipboard, timers, waiting for
// input). One host is
// current for the whole process; the headless host is the default.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/forms.h"
#include "rtl/types.h"

namespace zef {

class TCommonDialog;
class TMenuItem;
class TPopupMenu;

class THost {
public:
  virtual ~THost() = default;

  // Milliseconds since some fixed start.
  virtual uint64_t TickCount() = 0;
  // Whether a timer may be started (a host with limited timers may refuse).
  virtual bool AcceptTimer() = 0;
  // Called when the loop has nothing to do; a host waits for input or time here.
  virtual void WaitMessage() = 0;
  // Dispatches the input that is waiting, without waiting; returns whether there was any.
  virtual bool PollInput() { return false; }

  virtual void ShowForm(TForm& Form) = 0;
  virtual void HideForm(TForm& Form) = 0;
  // Runs Form modally and returns its modal result.
  virtual int ShowModal(TForm& Form) = 0;
  virtual int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) = 0;
  // Reports an exception that no handler took.
  virtual void ShowException(const std::string& Message) = 0;
  // The form's surface was repainted.
  virtual void SurfaceChanged(TForm& Form) = 0;
  // The cursor over a shown form changed (a TCursor number of controls/screen.h).
  virtual void CursorChanged(TForm& Form, int32_t Cursor) = 0;
  // Runs a common dialog (file or colour): true when the user confirmed; the host stores
  // the choice in the dialog (TOpenDialog::Accept, TColorDialog::SetColor).
  virtual bool ExecuteDialog(TCommonDialog& Dialog) = 0;
  // Presents the menu's items at the screen point; returns the chosen item (a leaf, enabled)
  // or null when the menu was dismissed.
  virtual TMenuItem* TrackPopupMenu(TPopupMenu& Menu, TPoint ScreenPos) = 0;
  virtual void Beep() = 0;

  // The display's size in pixels.
  virtual TSize ScreenSize() = 0;

  // The clipboard holds text or a picture; setting one replaces the other.
  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(const std::string& Text) = 0;
  // Copies the clipboard's picture into Target; false when it holds none.
  virtual bool ClipboardBitmap(TBitmap& Target) = 0;
  virtual void SetClipboardBitmap(const TBitmap& Source) = 0;
};

// The current host: the one SetHost installed, else the default. The default is the windowed
// host when this build has one, a display is there and the environment variable ZEF_HOST is
// not "headless"; otherwise the headless host.
THost& Host();
// Installs a host (not owned); null restores the default.
void SetHost(THost* AHost);
// A new host that shows forms in real windows, or null (with the reason in Error) when this
// build has none or no display can be opened.
std::unique_ptr<THost> CreateWindowedHost(std::string& Error);

} // namespace zef
