// The services around the control tree, driven through the headless host: common dialogs,
// the clipboard, the screen's cursors, popup menus, control messages and style services.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/application.h"
#include "controls/clipboard.h"
#include "controls/dialogs.h"
#include "controls/forms.h"
#include "controls/menus.h"
#include "controls/screen.h"
#include "graphics/colors.h"
#include "host/headless.h"

using namespace zef;

namespace {

class ServicesTest : public ::testing::Test {
protected:
  void SetUp() override { SetHost(&Host); }
  void TearDown() override {
    Screen().SetCursor(crDefault);
    SetHost(nullptr);
  }
  THeadlessHost Host;
};

TEST_F(ServicesTest, FileDialogTakesTheScriptedNameWithItsDefaultExtension) {
  TSaveDialog D(nullptr);
  D.SetTitle("Save chart");
  D.SetDefaultExt("dat");
  D.SetFileName("old.dat");
  std::vector<std::string> Events;
  D.OnShow = [&](TObject*) { Events.push_back("show"); };
  D.OnClose = [&](TObject*) { Events.push_back("close"); };

  Host.PushFileDialogAnswer("/tmp/run7");
  Host.PushDialogCancel();
  Host.PushFileDialogAnswer("/tmp/run8.txt");
  EXPECT_TRUE(D.Execute());
  EXPECT_EQ(D.FileName(), "/tmp/run7.dat");
  EXPECT_FALSE(D.Execute());
  EXPECT_EQ(D.FileName(), "/tmp/run7.dat");  // a cancelled dialog keeps the old choice
  EXPECT_TRUE(D.Execute());
  EXPECT_EQ(D.FileName(), "/tmp/run8.txt");
  EXPECT_FALSE(D.Execute());  // empty script: cancelled
  EXPECT_EQ(Events, (std::vector<std::string>{"show", "close", "show", "close", "show", "close", "show", "close"}));
  EXPECT_EQ(Host.DialogTitles().size(), 4u);
  EXPECT_EQ(Host.DialogTitles()[0], "Save chart");
  EXPECT_TRUE(D.IsSaveDialog());
}

TEST_F(ServicesTest, MultiSelectAndColourAnswersGoToTheirOwnDialogKind) {
  TOpenDialog Open(nullptr);
  Host.PushFileDialogAnswer(std::vector<std::string>{"a.txt", "", "b.txt"});
  ASSERT_TRUE(Open.Execute());
  EXPECT_EQ(Open.Files(), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(Open.FileName(), "a.txt");

  TColorDialog Colour(nullptr);
  Colour.SetColor(clRed);
  Host.PushFileDialogAnswer("c.txt");  // a file answer cancels a colour dialog
  EXPECT_FALSE(Colour.Execute());
  Host.PushColorDialogAnswer(clNavy);
  EXPECT_TRUE(Colour.Execute());
  EXPECT_EQ(Colour.Color(), clNavy);
  Host.PushColorDialogAnswer(clLime);  // and a colour answer cancels a file dialog
  EXPECT_FALSE(Open.Execute());
  EXPECT_EQ(Open.FileName(), "a.txt");
}

TEST_F(ServicesTest, FiltersAndPatterns) {
  TOpenDialog D(nullptr);
  D.SetFilter("Data files (*.dat;*.asc)|*.dat; *.asc|All files|*.*|Odd");
  const std::vector<TFileFilter> F = D.Filters();
  ASSERT_EQ(F.size(), 3u);
  EXPECT_EQ(F[0].Description, "Data files (*.dat;*.asc)");
  EXPECT_EQ(F[0].Patterns, (std::vector<std::string>{"*.dat", "*.asc"}));
  EXPECT_EQ(F[1].Patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(F[2].Patterns.empty());

  struct Case { const char* Name; const char* Pattern; bool Match; };
  const Case Cases[] = {
      {"/data/run.DAT", "*.dat", true},  {"run.dat.bak", "*.dat", false}, {"README", "*.*", true},
      {"data7.txt", "data?.*", true},    {"data77.txt", "data?.*", false}, {"x", "*", true},
      {"dir.dat/readme", "*.dat", false}, {"abc", "a*b*c", true},         {"abx", "a*b*c", false},
  };
  for (const Case& C : Cases) EXPECT_EQ(MatchesFilePattern(C.Name, C.Pattern), C.Match) << C.Name << " " << C.Pattern;
}

TEST_F(ServicesTest, ClipboardHoldsTextOrAPicture) {
  TBitmap B(3, 2);
  B.SetPixel(2, 1, clRed);
  Clipboard().Assign(B);
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
  TBitmap Out;
  ASSERT_TRUE(Clipboard().GetBitmap(Out));
  EXPECT_EQ(Out.Width(), 3);
  EXPECT_EQ(Out.GetPixel(2, 1), clRed);

  Clipboard().SetAsText("1.5\t2.5");
  EXPECT_EQ(Clipboard().AsText(), "1.5\t2.5");
  EXPECT_FALSE(Clipboard().HasFormat(CF_BITMAP));
  TBitmap Untouched(1, 1);
  EXPECT_FALSE(Clipboard().GetBitmap(Untouched));
  EXPECT_EQ(Untouched.Width(), 1);
  Clipboard().Clear();
  EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
}

TEST_F(ServicesTest, ScreenCursorOverridesControlsAndCustomCursorsComeFromResources) {
  TForm Form(nullptr);
  Form.SetBounds(0, 0, 100, 100);
  Form.Show();
  auto* Panel = new TCustomControl(&Form);
  Panel->SetParent(&Form);
  Panel->SetBounds(0, 0, 50, 50);
  Panel->SetCursor(crCross);
  auto* Inner = new TGraphicControl(&Form);
  Inner->SetParent(Panel);
  Inner->SetBounds(10, 10, 10, 10);

  Host.MouseMove(Form, 15, 15);  // Inner has the default cursor: its parent's shows
  EXPECT_EQ(Form.ShownCursor(), crCross);
  Host.MouseMove(Form, 80, 80);
  EXPECT_EQ(Form.ShownCursor(), crDefault);
  Screen().SetCursor(crHourGlass);
  EXPECT_EQ(Form.ShownCursor(), crHourGlass);
  Screen().SetCursor(crDefault);
  EXPECT_EQ(Form.ShownCursor(), crDefault);
  Host.MouseMove(Form, 5, 5);
  Panel->SetCursor(crIBeam);  // a change under the mouse shows at once
  EXPECT_EQ(Form.ShownCursor(), crIBeam);

  EXPECT_TRUE(Screen().LoadCursor(3, "TESTCURSOR"));
  const TCursorImage* C = Screen().CursorImage(3);
  ASSERT_NE(C, nullptr);
  EXPECT_GT(C->Image.Width(), 0);
  EXPECT_EQ(C->TransparentColor, clFuchsia);
  EXPECT_FALSE(Screen().LoadCursor(4, "TESTBMP"));  // a bitmap is no cursor
  EXPECT_FALSE(Screen().LoadCursor(4, "NOSUCHCURSOR"));
  EXPECT_EQ(Screen().CursorImage(4), nullptr);
  EXPECT_EQ(Screen().CursorImage(crCross), nullptr);
}

TEST_F(ServicesTest, ScreenGeometryFontsAndStyles) {
  Host.SetScreenSize({1280, 1024});
  EXPECT_EQ(Screen().Width(), 1280);
  EXPECT_EQ(Screen().Height(), 1024);
  EXPECT_EQ(Screen().PixelsPerInch(), 96);
  const std::vector<std::string>& Fonts = Screen().Fonts();
  EXPECT_FALSE(Fonts.empty());
  EXPECT_TRUE(std::is_sorted(Fonts.begin(), Fonts.end()));
  EXPECT_FALSE(StyleServices().Enabled());
  EXPECT_FALSE(StyleServices().Available());
  EXPECT_EQ(StyleServices().ButtonColor(), clBtnFace);
}

TEST_F(ServicesTest, RightClickOpensTheNearestPopupMenuAndClicksTheChoice) {
  TForm Form(nullptr);
  Form.SetBounds(100, 50, 200, 200);
  Form.Show();
  auto* Panel = new TCustomControl(&Form);
  Panel->SetParent(&Form);
  Panel->SetBounds(10, 10, 100, 100);
  auto* Child = new TGraphicControl(&Form);
  Child->SetParent(Panel);
  Child->SetBounds(10, 10, 20, 20);

  std::vector<std::string> Clicks;
  auto Log = [&](TObject* S) { Clicks.push_back(static_cast<TMenuItem*>(S)->Caption()); };
  TPopupMenu* Menu = NewPopupMenu(&Form, "ChartMenu",
      {NewItem("Copy", Log), NewLine(), NewItem("Locked", Log, false, false),
       NewSubMenu("Scale", {NewItem("Linear", Log), NewItem("Log", Log)})});
  int Popups = 0;
  Menu->OnPopup = [&](TObject*) { ++Popups; };
  Panel->SetPopupMenu(Menu);

  Host.PushMenuChoice("Log");
  Host.Click(Form, 25, 25, mbRight);  // on Child, which has no menu: the panel's opens
  EXPECT_EQ(Menu->PopupComponent(), Panel);
  EXPECT_EQ(Host.LastMenuPos(), (TPoint{125, 75}));
  Host.PushMenuChoice("Locked");  // disabled: dismissed
  Host.Click(Form, 25, 25, mbRight);
  Host.Click(Form, 25, 25, mbRight);  // nothing scripted: dismissed
  Host.Click(Form, 150, 150, mbRight);  // outside any control with a menu
  Host.Click(Form, 25, 25, mbLeft);
  EXPECT_EQ(Popups, 3);
  EXPECT_EQ(Host.MenusShown(), 3);
  EXPECT_EQ(Clicks, (std::vector<std::string>{"Log"}));

  delete Menu;  // the control forgets a menu that goes away
  EXPECT_EQ(Panel->PopupMenu(), nullptr);
  Host.Click(Form, 25, 25, mbRight);
  EXPECT_EQ(Host.MenusShown(), 3);
}

// A control that records the messages it is sent and can ask for Tab keys.
class TListener : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& M) override {
    Messages.push_back(M.Msg);
    if (M.Msg == WM_GETDLGCODE) M.Result = DlgCode;
  }
  void KeyDown(uint16_t& Key, TShiftState Shift) override {
    if (Key == VK_TAB) ++Tabs;
    TCustomControl::KeyDown(Key, Shift);
  }
  std::vector<uint32_t> Messages;
  intptr_t DlgCode = 0;
  int Tabs = 0;
};

TEST_F(ServicesTest, ChangesArriveAsMessagesAndDialogCodesKeepTheTabKey) {
  TForm Form(nullptr);
  Form.Show();
  auto* A = new TListener(&Form);
  A->SetParent(&Form);
  A->SetTabStop(true);
  auto* B = new TListener(&Form);
  B->SetParent(&Form);
  B->SetTabStop(true);

  A->Messages.clear();
  A->Font().SetSize(14);
  A->SetEnabled(false);
  A->SetEnabled(true);
  A->SetColor(clYellow);
  EXPECT_EQ(A->Messages, (std::vector<uint32_t>{CM_FONTCHANGED, CM_ENABLEDCHANGED, CM_ENABLEDCHANGED, CM_COLORCHANGED}));

  A->SetFocus();
  Host.PressKey(Form, VK_TAB);
  EXPECT_TRUE(B->Focused());
  B->DlgCode = DLGC_WANTTAB;
  Host.PressKey(Form, VK_TAB);
  EXPECT_TRUE(B->Focused());
  EXPECT_EQ(B->Tabs, 1);
  B->DlgCode = DLGC_WANTARROWS;
  Host.PressKey(Form, VK_TAB);
  EXPECT_TRUE(A->Focused());
}

} // namespace
