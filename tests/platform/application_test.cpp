// The message loop and timers through the headless host's virtual clock.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "controls/application.h"
#include "host/headless.h"

using namespace zef;

namespace {

class LoopTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetHost(&Host);
    Application().ResetTerminated();
  }
  void TearDown() override {
    Application().OnException = nullptr;
    Application().OnIdle = nullptr;
    SetHost(nullptr);
  }
  // Advances the clock in steps, letting the loop run after each.
  void Run(uint64_t Ms, uint64_t Step) {
    for (uint64_t T = 0; T < Ms; T += Step) {
      Host.AdvanceTime(Step);
      Application().ProcessMessages();
    }
  }
  THeadlessHost Host;
};

TEST_F(LoopTest, TimerTicksOnlyInsideProcessMessages) {
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.SetInterval(500);
  Timer.SetOnTimer([&](TObject* Sender) {
    EXPECT_EQ(Sender, &Timer);
    ++Ticks;
  });
  Run(1000, 100);
  EXPECT_EQ(Ticks, 2);

  // Time passing alone delivers nothing; a late loop gets one tick, not a burst.
  Host.AdvanceTime(2000);
  EXPECT_EQ(Ticks, 2);
  Application().ProcessMessages();
  EXPECT_EQ(Ticks, 3);
  Application().ProcessMessages();
  EXPECT_EQ(Ticks, 3);

  Timer.SetEnabled(false);
  Run(1000, 100);
  EXPECT_EQ(Ticks, 3);
}

TEST_F(LoopTest, SetTimerReplacesAndKillTimerStops) {
  std::string Seen;
  const HWND Wnd = Application().AllocateHWnd([&](TMessage& M) {
    if (M.Msg == WM_TIMER) Seen += std::to_string(M.WParam) + " ";
  });
  ASSERT_TRUE(Application().SetTimer(Wnd, 7, 100));
  ASSERT_TRUE(Application().SetTimer(Wnd, 7, 300));  // replaces the 100 ms timer
  ASSERT_TRUE(Application().SetTimer(Wnd, 8, 250));
  Run(600, 50);
  EXPECT_EQ(Seen, "8 7 8 7 ");
  EXPECT_TRUE(Application().KillTimer(Wnd, 7));
  EXPECT_FALSE(Application().KillTimer(Wnd, 7));
  Seen.clear();
  Run(500, 50);
  EXPECT_EQ(Seen, "8 8 ");
  Application().DeallocateHWnd(Wnd);
  Run(500, 50);
  EXPECT_EQ(Seen, "8 8 ");
  EXPECT_FALSE(Application().SetTimer(Wnd, 1, 100));  // the window is gone
}

TEST_F(LoopTest, RefusedTimerIsReported) {
  const HWND Wnd = Application().AllocateHWnd([](TMessage&) {});
  Host.FailNextTimer();
  EXPECT_FALSE(Application().SetTimer(Wnd, 1, 100));
  EXPECT_TRUE(Application().SetTimer(Wnd, 1, 100));
  Application().DeallocateHWnd(Wnd);

  TTimer Timer(nullptr);
  Host.FailNextTimer();
  EXPECT_THROW(Timer.SetOnTimer([](TObject*) {}), EOutOfResources);
}

TEST_F(LoopTest, ExceptionInTickReachesHandleExceptionAndLoopGoesOn) {
  std::vector<std::string> Caught;
  Application().OnException = [&](TObject*, const Exception& E) { Caught.push_back(E.Message()); };
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.SetInterval(100);
  Timer.SetOnTimer([&](TObject*) {
    ++Ticks;
    throw EConvertError("bad tick " + std::to_string(Ticks));
  });
  bool PostedRan = false;
  Application().Post([&] { PostedRan = true; });
  Run(200, 100);
  EXPECT_EQ(Ticks, 2);
  EXPECT_TRUE(PostedRan);
  EXPECT_EQ(Caught, (std::vector<std::string>{"bad tick 1", "bad tick 2"}));

  // Without OnException the host reports it; other exception types are wrapped.
  Application().OnException = nullptr;
  Application().Post([] { throw std::runtime_error("plain"); });
  Application().ProcessMessages();
  EXPECT_EQ(Host.Exceptions(), std::vector<std::string>{"plain"});
}

TEST_F(LoopTest, ProcessMessagesIsReentrant) {
  std::string Order;
  Application().Post([&] {
    Order += "a(";
    Application().ProcessMessages();  // runs b, queued behind a
    Order += ")";
  });
  Application().Post([&] { Order += "b"; });
  Application().Post([&] {
    Order += "c";
    Application().Post([&] { Order += "d"; });  // waits for the next pass
  });
  Application().ProcessMessages();
  EXPECT_EQ(Order, "a(bc)");
  Application().ProcessMessages();
  EXPECT_EQ(Order, "a(bc)d");
}

TEST_F(LoopTest, RunHandlesMessagesUntilTerminate) {
  TTimer Timer(nullptr);
  int Ticks = 0;
  int Idles = 0;
  Application().OnIdle = [&](TObject*, bool& Done) {
    ++Idles;
    Done = true;
  };
  Timer.SetInterval(250);
  Timer.SetOnTimer([&](TObject*) {
    if (++Ticks == 3) Application().Terminate();
  });
  Application().Run();
  EXPECT_EQ(Ticks, 3);
  EXPECT_EQ(Host.TickCount(), 750u);  // the headless host waits by moving its clock
  EXPECT_GE(Idles, 3);
  EXPECT_TRUE(Application().Terminated());

  // With nothing that could ever happen, Run returns at once.
  Timer.SetEnabled(false);
  Application().ResetTerminated();
  Application().Run();
  EXPECT_TRUE(Application().Terminated());
}

} // namespace
