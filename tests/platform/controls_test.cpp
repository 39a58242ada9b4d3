// The control tree driven through the headless host: hit-testing, capture, enter/leave,
// clicks, focus and Tab order, keys, layout and windowless painting.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/application.h"
#include "controls/forms.h"
#include "host/headless.h"

using namespace zef;

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x00FF00;
constexpr TColor Blue = 0xFF0000;
constexpr TColor White = 0xFFFFFF;

class HostTest : public ::testing::Test {
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
  THeadlessHost Host;
};

// A control that logs its mouse events as "<name>:<event>".
template <class Base>
class TLogged : public Base {
public:
  TLogged(TComponent* Owner, TWinControl* Parent, const std::string& Name, TRect R, std::string& Log)
      : Base(Owner), FLog(Log) {
    this->SetName(Name);
    this->SetBoundsRect(R);
    this->SetParent(Parent);
  }
  void MouseDown(TMouseButton, TShiftState Shift, int32_t X, int32_t Y) override {
    Add(std::string(Shift.Contains(ssDouble) ? "down2@" : "down@") + Pos(X, Y));
  }
  void MouseMove(TShiftState, int32_t X, int32_t Y) override { Add("move@" + Pos(X, Y)); }
  void MouseUp(TMouseButton, TShiftState, int32_t X, int32_t Y) override { Add("up@" + Pos(X, Y)); }
  void Click() override { Add("click"); }
  void DblClick() override { Add("dblclick"); }
  void MouseEnter() override { Base::MouseEnter(); Add("enter"); }
  void MouseLeave() override { Base::MouseLeave(); Add("leave"); }

protected:
  void Add(const std::string& S) { FLog += this->Name() + ":" + S + " "; }

private:
  static std::string Pos(int32_t X, int32_t Y) { return std::to_string(X) + "," + std::to_string(Y); }
  std::string& FLog;
};

class TLoggedWin : public TLogged<TCustomControl> {
public:
  using TLogged::TLogged;
  void DoEnter() override { Add("focus"); }
  void DoExit() override { Add("blur"); }
};
using TLoggedGraphic = TLogged<TGraphicControl>;

// Form 200x200; Panel (10,10)-(110,110) with Dot (10,10)-(40,40) inside it; Top (50,50)-(150,150)
// above Panel.
class MouseTest : public HostTest {
protected:
  void SetUp() override {
    HostTest::SetUp();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 200, 200);
    Form->Show();
    Panel = new TLoggedWin(Form.get(), Form.get(), "Panel", Rect(10, 10, 110, 110), Log);
    Dot = new TLoggedGraphic(Form.get(), Panel, "Dot", Rect(10, 10, 40, 40), Log);
    Top = new TLoggedWin(Form.get(), Form.get(), "Top", Rect(50, 50, 150, 150), Log);
  }
  std::string Log;
  std::unique_ptr<TForm> Form;
  TLoggedWin* Panel = nullptr;
  TLoggedGraphic* Dot = nullptr;
  TLoggedWin* Top = nullptr;
};

TEST_F(MouseTest, HitTestPicksTopmostVisibleEnabledControl) {
  struct Case { TPoint P; const char* Expected; };
  const Case Cases[] = {{{5, 5}, "Form"},   {{15, 15}, "Panel"}, {{25, 25}, "Dot"},
                        {{60, 60}, "Top"},  {{149, 149}, "Top"}, {{150, 150}, "Form"}};
  Form->SetName("Form");
  for (const Case& C : Cases) EXPECT_EQ(Form->HitTest(C.P)->Name(), C.Expected) << C.P.X << "," << C.P.Y;

  Top->SetEnabled(false);
  EXPECT_EQ(Form->HitTest({60, 60}), Panel);
  Top->SetEnabled(true);
  Top->Hide();
  EXPECT_EQ(Form->HitTest({60, 60}), Panel);
  Panel->Hide();
  EXPECT_EQ(Form->HitTest({25, 25}), Form.get());
}

TEST_F(MouseTest, ZOrderDecidesOverlaps) {
  Form->BringToFront(Panel);
  EXPECT_EQ(Form->HitTest({60, 60}), Panel);
  EXPECT_EQ(Form->Controls(1), Panel);
  Form->SendToBack(Panel);
  EXPECT_EQ(Form->HitTest({60, 60}), Top);
  EXPECT_THROW(Form->Controls(2), EListError);
}

// Answers message 1 with its own Tag.
class TAnswering : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& M) override {
    if (M.Msg == 1) M.Result = Tag();
  }
};

TEST_F(HostTest, BroadcastStopsAtTheFirstAnswer) {
  TForm Form(nullptr);
  for (int Tag : {0, 5, 9}) {
    auto* C = new TAnswering(&Form);
    C->SetTag(Tag);
    C->SetParent(&Form);
  }
  TMessage M{1, 0, 0, 0};
  Form.Broadcast(M);
  EXPECT_EQ(M.Result, 5);
  EXPECT_EQ(Form.Controls(2)->Perform(1), 9);
  EXPECT_EQ(Form.Controls(2)->Perform(2), 0);
}

TEST_F(MouseTest, CaptureKeepsMovesWithThePressedControl) {
  Host.MouseDown(*Form, 15, 15);
  Host.MouseMove(*Form, 120, 120);  // over Top, but Panel holds the mouse
  Host.MouseUp(*Form, 120, 120);
  Host.MouseMove(*Form, 121, 121);
  EXPECT_EQ(Log,
            "Panel:enter Panel:focus Panel:down@5,5 Panel:move@110,110 Panel:up@110,110 "
            "Panel:leave Top:enter Top:move@71,71 ");
  EXPECT_EQ(Form->MouseCapture(), nullptr);
}

TEST_F(MouseTest, EnterAndLeaveFireOnceEach) {
  for (int X : {15, 16, 17}) Host.MouseMove(*Form, X, 15);
  Host.MouseMove(*Form, 25, 25);
  Host.MouseMove(*Form, 26, 26);
  Host.MouseExit(*Form);
  Host.MouseExit(*Form);
  EXPECT_EQ(Log,
            "Panel:enter Panel:move@5,5 Panel:move@6,5 Panel:move@7,5 Panel:leave Dot:enter "
            "Dot:move@5,5 Dot:move@6,6 Dot:leave ");
  EXPECT_FALSE(Dot->MouseInClient());
}

TEST_F(MouseTest, ClickAndDoubleClickSequence) {
  Host.MouseMove(*Form, 25, 25);
  Log.clear();
  Host.DoubleClick(*Form, 25, 25);
  EXPECT_EQ(Log, "Dot:down@5,5 Dot:click Dot:up@5,5 Dot:dblclick Dot:down2@5,5 Dot:up@5,5 ");

  // Released outside the control: no click.
  Log.clear();
  Host.MouseDown(*Form, 25, 25);
  Host.MouseUp(*Form, 5, 5);
  EXPECT_EQ(Log, "Dot:down@5,5 Dot:up@-15,-15 Dot:leave ");
}

TEST_F(MouseTest, WheelBubblesToParentsUntilHandled) {
  std::string Seen;
  Dot->OnMouseWheel = [&](TObject*, TShiftState, int32_t Delta, TPoint, bool&) {
    Seen += "dot" + std::to_string(Delta) + " ";
  };
  Panel->OnMouseWheel = [&](TObject*, TShiftState, int32_t, TPoint, bool& Handled) {
    Seen += "panel ";
    Handled = true;
  };
  Form->OnMouseWheel = [&](TObject*, TShiftState, int32_t, TPoint, bool&) { Seen += "form "; };
  Host.MouseWheel(*Form, 25, 25, -120);
  EXPECT_EQ(Seen, "dot-120 panel ");
}

TEST_F(MouseTest, DeletingAControlDetachesItAndDropsTheCapture) {
  Host.MouseDown(*Form, 60, 60);
  ASSERT_EQ(Form->MouseCapture(), Top);
  EXPECT_EQ(Form->ControlCount(), 2);
  delete Top;
  Top = nullptr;
  EXPECT_EQ(Form->ControlCount(), 1);
  EXPECT_EQ(Form->MouseCapture(), nullptr);
  EXPECT_EQ(Form->ActiveControl(), nullptr);
  Host.MouseMove(*Form, 60, 60);
  Host.MouseUp(*Form, 60, 60);
  EXPECT_EQ(Form->MouseControl(), Panel);
}

TEST_F(MouseTest, ClientToScreenAddsParentsAndFormPosition) {
  Form->SetBounds(300, 400, 200, 200);
  EXPECT_EQ(Dot->ClientToScreen({1, 2}), Point(321, 422));
  EXPECT_EQ(Dot->ScreenToClient({321, 422}), Point(1, 2));
}

// ---- Focus and keys ----

class FocusTest : public HostTest {
protected:
  void SetUp() override {
    HostTest::SetUp();
    Form = std::make_unique<TForm>(nullptr);
    Form->Show();
    for (int I = 0; I < 4; ++I) {
      auto* C = new TLoggedWin(Form.get(), Form.get(), "E" + std::to_string(I), Bounds(0, I * 20, 50, 20), Log);
      E[I] = C;
    }
  }
  std::string Focused() const {
    return Form->ActiveControl() ? Form->ActiveControl()->Name() : std::string("none");
  }
  std::string Log;
  std::unique_ptr<TForm> Form;
  TWinControl* E[4] = {};
};

TEST_F(FocusTest, TabCyclesInTabOrderSkippingUnfocusableControls) {
  E[3]->SetTabOrder(0);   // order: E3 E0 E1 E2
  E[1]->SetTabStop(false);
  EXPECT_EQ(E[3]->TabOrder(), 0);
  EXPECT_EQ(E[2]->TabOrder(), 3);
  std::string Seen;
  for (int I = 0; I < 4; ++I) {
    Host.PressKey(*Form, VK_TAB);
    Seen += Focused() + " ";
  }
  EXPECT_EQ(Seen, "E3 E0 E2 E3 ");
  Seen.clear();
  E[0]->SetEnabled(false);
  for (int I = 0; I < 3; ++I) {
    Host.PressKey(*Form, VK_TAB, {ssShift});
    Seen += Focused() + " ";
  }
  EXPECT_EQ(Seen, "E2 E3 E2 ");
}

TEST_F(FocusTest, SetFocusCallsExitThenEnter) {
  E[0]->SetFocus();
  E[1]->SetFocus();
  EXPECT_TRUE(E[1]->Focused());
  EXPECT_FALSE(E[0]->Focused());
  EXPECT_EQ(Log, "E0:focus E0:blur E1:focus ");
  E[2]->Hide();
  EXPECT_FALSE(E[2]->CanFocus());
  EXPECT_THROW(E[2]->SetFocus(), EInvalidOperation);
  TCustomControl Orphan(nullptr);
  EXPECT_FALSE(Orphan.CanFocus());
}

TEST_F(FocusTest, KeysGoToTheFocusedControlAndZeroSwallows) {
  std::string Seen;
  E[0]->OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) {
    Seen += "down" + std::to_string(Key) + " ";
    if (Key == VK_TAB) Key = 0;  // keeps the focus here
  };
  E[0]->OnKeyPress = [&](TObject*, char32_t& Key) { Seen += "press" + std::to_string(uint32_t(Key)) + " "; };
  E[0]->SetFocus();
  Host.PressKey(*Form, 'A');
  Host.PressKey(*Form, VK_TAB);
  EXPECT_EQ(Focused(), "E0");
  Host.TypeText(*Form, "a\xC3\xA9");
  EXPECT_EQ(Seen, "down65 down9 press97 press233 ");

  // With KeyPreview the form sees keys first and can swallow them.
  Seen.clear();
  Form->SetKeyPreview(true);
  Form->OnKeyPress = [&](TObject*, char32_t& Key) {
    if (Key == 'x') Key = 0;
    if (Key == 'u') Key = 'U';
  };
  Host.TypeText(*Form, "xu");
  EXPECT_EQ(Seen, "press85 ");
}

// ---- Layout, fonts, invalidation ----

TEST_F(HostTest, AlignedChildrenShareTheClientArea) {
  TForm Form(nullptr);
  Form.SetBounds(0, 0, 200, 100);
  auto* Top = new TCustomControl(&Form);
  Top->SetHeight(20);
  Top->SetAlign(alTop);
  Top->SetParent(&Form);
  auto* Left = new TCustomControl(&Form);
  Left->SetWidth(30);
  Left->SetAlign(alLeft);
  Left->SetParent(&Form);
  auto* Client = new TCustomControl(&Form);
  Client->SetAlign(alClient);
  Client->SetParent(&Form);
  EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(Left->BoundsRect(), Rect(0, 20, 30, 100));
  EXPECT_EQ(Client->BoundsRect(), Rect(30, 20, 200, 100));
  int Resized = 0;
  Client->OnResize = [&](TObject*) { ++Resized; };
  int32_t SeenByForm = 0;
  Form.OnResize = [&](TObject*) { SeenByForm = Client->Width(); };
  Form.SetWidth(300);
  EXPECT_EQ(SeenByForm, 270);
  EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 300, 20));
  EXPECT_EQ(Client->BoundsRect(), Rect(30, 20, 300, 100));
  EXPECT_EQ(Resized, 1);
}

TEST_F(HostTest, ParentFontFollowsUntilTheChildSetsItsOwn) {
  TForm Form(nullptr);
  auto* Child = new TCustomControl(&Form);
  Child->SetParent(&Form);
  Form.Font().SetSize(20);
  EXPECT_EQ(Child->Font().Size(), 20);
  EXPECT_TRUE(Child->ParentFont());
  Child->Font().SetSize(8);
  EXPECT_FALSE(Child->ParentFont());
  Form.Font().SetSize(30);
  EXPECT_EQ(Child->Font().Size(), 8);
  Child->SetParentFont(true);
  EXPECT_EQ(Child->Font().Size(), 30);
}

TEST_F(HostTest, UnchangedBoundsInvalidateNothing) {
  TForm Form(nullptr);
  Form.SetBounds(0, 0, 100, 100);
  Form.Show();
  auto* C = new TCustomControl(&Form);
  C->SetBounds(10, 10, 20, 20);
  C->SetParent(&Form);
  Application().ProcessMessages();
  EXPECT_EQ(Form.InvalidRect().Width(), 0);
  C->SetBounds(10, 10, 20, 20);
  EXPECT_EQ(Form.InvalidRect().Width(), 0);
  C->SetBounds(15, 10, 20, 20);
  EXPECT_EQ(Form.InvalidRect(), Rect(10, 10, 35, 30));
  Application().ProcessMessages();
  EXPECT_EQ(Form.InvalidRect().Width(), 0);
}

// ---- Painting ----

// Fills far more than its bounds, so the clip shows.
class TFloodControl : public TCustomControl {
public:
  TFloodControl(TComponent* Owner, TColor C) : TCustomControl(Owner), FColor(C) {}
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    Canvas().Brush().SetColor(FColor);
    Canvas().FillRect(Rect(-1000, -1000, 1000, 1000));
  }

private:
  TColor FColor;
};

// Marks its top-left pixel only, leaving its parent's pixels elsewhere.
class TMarkControl : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;

protected:
  void Paint() override { Canvas().SetPixels(0, 0, Green); }
};

TEST_F(HostTest, ChildPixelsLandAtTheirOffsetClippedToBounds) {
  TForm Form(nullptr);
  Form.SetBounds(0, 0, 60, 40);
  Form.SetColor(White);
  auto* Child = new TFloodControl(&Form, Red);
  Child->SetBounds(10, 5, 20, 10);
  Child->SetParent(&Form);
  // A grandchild reaching past its parent is cut to the parent's client area.
  auto* Grand = new TFloodControl(&Form, Blue);
  Grand->SetBounds(15, 5, 20, 20);
  Grand->SetParent(Child);
  auto* Mark = new TMarkControl(&Form);
  Mark->SetBounds(2, 1, 5, 5);
  Mark->SetParent(Child);

  TBitmap B;
  Host.PaintTo(Form, B);
  ASSERT_EQ(B.Width(), 60);
  ASSERT_EQ(B.Height(), 40);
  struct Case { int X, Y; TColor Expected; };
  // Child covers (10,5)-(30,15); Grand (25,10)-(45,30) is cut to (25,10)-(30,15).
  const Case Cases[] = {{9, 5, White},  {10, 5, Red},   {24, 14, Red},  {24, 9, Red},
                        {10, 4, White}, {10, 15, White}, {25, 10, Blue}, {29, 14, Blue},
                        {30, 12, White}, {27, 15, White}, {12, 6, Green}, {13, 6, Red}};
  for (const Case& C : Cases) EXPECT_EQ(B.GetPixel(C.X, C.Y), C.Expected) << C.X << "," << C.Y;
}

TEST_F(HostTest, InvalidAreasRepaintOnTheNextLoopTurn) {
  TForm Form(nullptr);
  Form.SetBounds(0, 0, 50, 50);
  auto* A = new TFloodControl(&Form, Red);
  A->SetBounds(0, 0, 10, 10);
  A->SetParent(&Form);
  auto* B = new TFloodControl(&Form, Blue);
  B->SetBounds(30, 30, 10, 10);
  B->SetParent(&Form);
  Form.Show();
  Application().ProcessMessages();
  EXPECT_EQ(Form.Surface().GetPixel(35, 35), Blue);
  EXPECT_EQ(A->Paints, 1);
  EXPECT_EQ(B->Paints, 1);

  B->Invalidate();
  EXPECT_EQ(B->Paints, 1);  // nothing paints outside the loop
  Application().ProcessMessages();
  EXPECT_EQ(A->Paints, 1);  // outside the invalid area
  EXPECT_EQ(B->Paints, 2);

  // The canvas draws onto the form's surface outside a paint cycle too, and the next loop
  // turn shows the surface once, without repainting anything.
  const int Shown = Host.SurfaceUpdates();
  A->Canvas().SetPixels(100, 100, Green);
  A->Canvas().SetPixels(1, 2, Green);
  EXPECT_EQ(Form.Surface().GetPixel(1, 2), Green);
  EXPECT_EQ(Form.Surface().GetPixel(45, 45), Form.Surface().GetPixel(44, 44));
  EXPECT_EQ(Host.SurfaceUpdates(), Shown);
  Application().ProcessMessages();
  EXPECT_EQ(Host.SurfaceUpdates(), Shown + 1);
  EXPECT_EQ(A->Paints, 1);
  Application().ProcessMessages();
  EXPECT_EQ(Host.SurfaceUpdates(), Shown + 1);
}

// ---- Modal forms, message boxes, clipboard ----

TEST_F(HostTest, ModalFormsAndMessageBoxesAnswerFromTheScript) {
  TForm Dialog(nullptr);
  Host.PushModalAnswer([](TForm& F) {
    EXPECT_TRUE(F.Visible());
    EXPECT_TRUE(F.Modal());
    return mrOk;
  });
  EXPECT_EQ(Dialog.ShowModal(), mrOk);
  EXPECT_FALSE(Dialog.Visible());
  EXPECT_EQ(Dialog.ModalResult(), mrOk);
  EXPECT_EQ(Dialog.ShowModal(), mrCancel);  // empty script

  Host.PushMessageDlgResult(mrNo);
  EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, {mbYes, mbNo}), mrNo);
  EXPECT_EQ(MessageDlg("Done", mtInformation, {mbOK}), mrOk);
  EXPECT_EQ(Host.MessageTexts(), (std::vector<std::string>{"Save changes?", "Done"}));

  zef::Host().SetClipboardText("copied");
  EXPECT_EQ(Host.ClipboardText(), "copied");
}

} // namespace
