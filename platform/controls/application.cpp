#include "controls/application.h"

#include <algorithm>

#include "controls/forms.h"
#include "host/host.h"

namespace zef {

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() = default;

void TApplication::Post(std::function<void()> Action) {
  if (Action) FQueue.push_back({FNextSerial++, std::move(Action)});
}

void TApplication::PostMessage(HWND Wnd, uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  Post([this, Wnd, Msg, WParam, LParam] {
    auto It = FWindows.find(Wnd);
    if (It == FWindows.end()) return;
    // A copy: the window may be deallocated while its method runs.
    const TWndMethod Method = It->second;
    TMessage M{Msg, WParam, LParam, 0};
    Method(M);
  });
}

bool TApplication::DoProcessMessages() {
  // Input the host has waiting is dispatched first, then the timers that are due.
  bool Worked = Host().PollInput();
  if (RunTimers()) Worked = true;
  // Only the messages queued before this pass run now; what they post (even through a nested
  // pass) waits for the next one.
  const uint64_t Limit = FNextSerial;
  while (!FQueue.empty() && FQueue.front().first < Limit) {
    std::function<void()> Action = std::move(FQueue.front().second);
    FQueue.pop_front();
    Guarded(this, Action);
    Worked = true;
  }
  RepaintForms();
  return Worked;
}

void TApplication::ProcessMessages() { DoProcessMessages(); }

void TApplication::HandleMessage() {
  if (DoProcessMessages()) return;
  bool Done = true;
  if (OnIdle) Guarded(this, [&] { OnIdle(this, Done); });
  if (Done && !FTerminated) Host().WaitMessage();
}

void TApplication::Run() {
  while (!FTerminated) HandleMessage();
}

void TApplication::HandleException(TObject* Sender) {
  auto Report = [&](const Exception& E) {
    if (OnException)
      OnException(Sender, E);
    else
      Host().ShowException(E.Message());
  };
  try {
    throw;
  } catch (const Exception& E) {
    Report(E);
  } catch (const std::exception& E) {
    Report(Exception(E.what()));
  } catch (...) {
    Report(Exception("Unknown exception"));
  }
}

void TApplication::Guarded(TObject* Sender, const std::function<void()>& Action) {
  try {
    Action();
  } catch (...) {
    HandleException(Sender);
  }
}

HWND TApplication::AllocateHWnd(TWndMethod Method) {
  const HWND Wnd = FNextWnd++;
  FWindows[Wnd] = std::move(Method);
  return Wnd;
}

void TApplication::DeallocateHWnd(HWND Wnd) {
  FWindows.erase(Wnd);
  std::erase_if(FTimers, [Wnd](const auto& T) { return T.first.first == Wnd; });
}

bool TApplication::SetTimer(HWND Wnd, uintptr_t Id, uint32_t Interval) {
  if (!FWindows.contains(Wnd) || !Host().AcceptTimer()) return false;
  Interval = std::max<uint32_t>(Interval, 1);
  FTimers[{Wnd, Id}] = TTimerRec{Interval, Host().TickCount() + Interval};
  return true;
}

bool TApplication::KillTimer(HWND Wnd, uintptr_t Id) { return FTimers.erase({Wnd, Id}) > 0; }

bool TApplication::NextTimerDue(uint64_t& Due) const {
  if (FTimers.empty()) return false;
  Due = UINT64_MAX;
  for (const auto& T : FTimers) Due = std::min(Due, T.second.Due);
  return true;
}

bool TApplication::RunTimers() {
  const uint64_t Now = Host().TickCount();
  std::vector<std::pair<HWND, uintptr_t>> Keys;
  for (const auto& T : FTimers)
    if (T.second.Due <= Now) Keys.push_back(T.first);
  for (const auto& Key : Keys) {
    // A handler may have killed or replaced this timer meanwhile.
    auto It = FTimers.find(Key);
    if (It == FTimers.end() || It->second.Due > Now) continue;
    // Ticks missed while the loop was busy collapse into this one.
    It->second.Due += It->second.Interval;
    if (It->second.Due <= Now) It->second.Due = Now + It->second.Interval;
    auto W = FWindows.find(Key.first);
    if (W == FWindows.end()) continue;
    const TWndMethod Method = W->second;
    Guarded(this, [&] {
      TMessage M{WM_TIMER, static_cast<intptr_t>(Key.second), 0, 0};
      Method(M);
    });
  }
  return !Keys.empty();
}

void TApplication::RepaintForms() {
  const std::vector<TForm*> Forms = FForms;
  for (TForm* F : Forms) {
    if (std::find(FForms.begin(), FForms.end(), F) == FForms.end()) continue;
    if (F->Visible() && (F->InvalidRect().Width() > 0 || F->SurfaceDrawnPending())) Guarded(F, [F] { F->UpdateSurface(); });
  }
}

void TApplication::RegisterForm(TForm* Form) {
  if (Form && std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TApplication::UnregisterForm(TForm* Form) { std::erase(FForms, Form); }

TApplication& Application() {
  static TApplication App;
  return App;
}

// ---------------------------------------------------------------------------- TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWnd = Application().AllocateHWnd([this](TMessage& M) {
    if (M.Msg != WM_TIMER || !FEnabled || !FOnTimer) return;
    const TNotifyEvent Handler = FOnTimer;
    Handler(this);
  });
}

TTimer::~TTimer() { Application().DeallocateHWnd(FWnd); }

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  Application().KillTimer(FWnd, 1);
  if (FEnabled && FInterval > 0 && FOnTimer && !Application().SetTimer(FWnd, 1, FInterval))
    throw EOutOfResources("Not enough timers available");
}

} // namespace zef
