// TApplication: the message loop. It owns the queue of posted messages, the hidden message
// windows and their timers, repaints invalid forms, and catches the exceptions that escape
// event handlers. Timer ticks and posted messages run only inside ProcessMessages (or
// HandleMessage and Run, which call it). TTimer is a component on top of a timer.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "classes/object.h"
#include "controls/controls.h"

namespace zef {

class TForm;

// A hidden message window (0 is no window).
using HWND = uintptr_t;
using TWndMethod = std::function<void(TMessage& Message)>;

constexpr uint32_t WM_TIMER = 0x0113;
// The first message number free for application use.
constexpr uint32_t WM_USER = 0x0400;

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

// Raised when the host refuses a timer.
ZEF_DECLARE_EXCEPTION(EOutOfResources, Exception);

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  // ---- Messages ----
  // Queues Action to run on a later ProcessMessages.
  void Post(std::function<void()> Action);
  // Queues a message for a hidden window; it is dropped if the window is gone by then.
  void PostMessage(HWND Wnd, uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);
  // Dispatches the input the host has waiting, runs the timer ticks that are due (at most
  // one per timer) and the messages queued before the call, and repaints the invalid forms. A handler may call it again while it runs.
  void ProcessMessages();
  // ProcessMessages; when there was nothing to do, calls OnIdle and lets the host wait.
  void HandleMessage();
  // Handles messages until Terminate.
  void Run();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  // Clears the terminated flag so that Run can be called again.
  void ResetTerminated() { FTerminated = false; }
  // Whether anything is queued.
  bool HasPendingMessages() const { return !FQueue.empty(); }

  // Receives the exception being handled (call it from a catch block): OnException when
  // set, otherwise the host shows the message. The loop then goes on.
  void HandleException(TObject* Sender);
  // Runs Action and passes any exception it throws to HandleException.
  void Guarded(TObject* Sender, const std::function<void()>& Action);

  TExceptionEvent OnException;
  TIdleEvent OnIdle;

  // ---- Hidden windows and timers ----
  HWND AllocateHWnd(TWndMethod Method);
  // Removes the window with its timers; unknown windows are ignored.
  void DeallocateHWnd(HWND Wnd);
  // Starts (or, for an id already set, replaces) a timer that sends WM_TIMER with WParam = Id
  // to Wnd every Interval ms (at least 1). Returns false when the host refuses it or Wnd is
  // unknown.
  bool SetTimer(HWND Wnd, uintptr_t Id, uint32_t Interval);
  bool KillTimer(HWND Wnd, uintptr_t Id);
  // The time the next timer is due (the host's clock, ms), or false when no timer runs.
  bool NextTimerDue(uint64_t& Due) const;

  // ---- Forms ----
  // Every existing form, in creation order.
  const std::vector<TForm*>& Forms() const { return FForms; }
  void RegisterForm(TForm* Form);
  void UnregisterForm(TForm* Form);

private:
  struct TTimerRec {
    uint32_t Interval;
    uint64_t Due;
  };
  // Returns whether anything ran.
  bool DoProcessMessages();
  bool RunTimers();
  void RepaintForms();

  // Posted actions with their serial numbers, oldest first.
  std::deque<std::pair<uint64_t, std::function<void()>>> FQueue;
  uint64_t FNextSerial = 0;
  std::map<HWND, TWndMethod> FWindows;
  std::map<std::pair<HWND, uintptr_t>, TTimerRec> FTimers;
  std::vector<TForm*> FForms;
  HWND FNextWnd = 1;
  bool FTerminated = false;
};

// The application object of the process.
TApplication& Application();

// A component that fires OnTimer every Interval ms while Enabled (and Interval > 0 and
// OnTimer set). A refused timer raises EOutOfResources "Not enough timers available".
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t Value);
  void SetOnTimer(TNotifyEvent Value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }

private:
  void UpdateTimer();

  HWND FWnd;
  bool FEnabled = true;
  uint32_t FInterval = 1000;
  TNotifyEvent FOnTimer;
};

} // namespace zef
