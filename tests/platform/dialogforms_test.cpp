// The dialog forms that windowed hosts show, driven through the headless host: the scripted
// modal answer plays the user's part with injected input.
#include <gtest/gtest.h>

#include <string>

#include "controls/application.h"
#include "controls/dialogforms.h"
#include "controls/dialogs.h"
#include "controls/menus.h"
#include "graphics/colors.h"
#include "host/headless.h"
#include "rtl/files.h"
#include "support/temp_dir.h"

using namespace zef;

namespace {

class DialogFormTest : public test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    SetHost(&Host);
  }
  void TearDown() override {
    SetHost(nullptr);
    TempDirTest::TearDown();
  }
  // The modal answer: runs Script with the form, then returns its modal result.
  void Play(std::function<void(TForm&)> Script) {
    Host.PushModalAnswer([this, Script](TForm& F) {
      Script(F);
      Application().ProcessMessages();
      return F.ModalResult();
    });
  }
  THeadlessHost Host;
};

TEST_F(DialogFormTest, MessageFormButtonsAndKeys) {
  // Buttons sit at the bottom right in Yes, No, Cancel order; a click picks one.
  Play([this](TForm& F) {
    const TRect B = F.Controls(1)->BoundsRect();  // the second button: No
    Host.Click(F, B.Left + 5, B.Top + 5);
  });
  EXPECT_EQ(RunMessageForm("Save changes?", mtConfirmation, {mbYes, mbNo, mbCancel}), mrNo);
  // Return clicks the first button, Escape gives Cancel, or No when there is no Cancel.
  Play([this](TForm& F) { Host.PressKey(F, VK_RETURN); });
  EXPECT_EQ(RunMessageForm("Go on?", mtConfirmation, {mbYes, mbNo}), mrYes);
  Play([this](TForm& F) { Host.PressKey(F, VK_ESCAPE); });
  EXPECT_EQ(RunMessageForm("Go on?", mtConfirmation, {mbYes, mbNo}), mrNo);
  Play([this](TForm& F) { Host.PressKey(F, VK_ESCAPE); });
  EXPECT_EQ(RunMessageForm("Done.", mtInformation, {}), mrOk);
}

TEST_F(DialogFormTest, FileFormListsTheFolderAndChecksTheChoice) {
  Put("run1.dat", "1");
  Put("notes.txt", "2");
  ForceDirectories(Path("sub"));
  TSaveDialog D(nullptr);
  D.SetInitialDir(Dir.string());
  D.SetFilter("Data|*.dat|All|*.*");
  D.SetDefaultExt("dat");
  D.SetOptions({ofOverwritePrompt});

  // Typing a name that exists asks before replacing; "No" keeps the dialog open.
  Host.PushMessageDlgResult(mrNo);
  Host.PushMessageDlgResult(mrYes);
  Play([this](TForm& F) {
    Host.TypeText(F, "run1.dat");
    Host.PressKey(F, VK_RETURN);
    EXPECT_EQ(F.ModalResult(), mrNone);
    Host.PressKey(F, VK_RETURN);
  });
  ASSERT_TRUE(RunFileDialogForm(D));
  EXPECT_EQ(D.FileName(), Path("run1.dat"));
  ASSERT_EQ(Host.MessageTexts().size(), 2u);
  EXPECT_EQ(Host.MessageTexts()[0], "run1.dat already exists.\nDo you want to replace it?");

  // A new name gets the default extension; Escape cancels.
  Play([this](TForm& F) {
    Host.TypeText(F, "fresh\u00e9\b\b");  // Backspace removes whole characters
    Host.TypeText(F, "h");
    Host.PressKey(F, VK_RETURN);
  });
  D.SetFileName("");
  ASSERT_TRUE(RunFileDialogForm(D));
  EXPECT_EQ(D.FileName(), Path("fresh.dat"));  // "fres" + "h"
  Play([this](TForm& F) { Host.PressKey(F, VK_ESCAPE); });
  EXPECT_FALSE(RunFileDialogForm(D));

  // An open dialog that needs an existing file refuses a missing one.
  TOpenDialog O(nullptr);
  O.SetInitialDir(Dir.string());
  O.SetOptions({ofFileMustExist});
  Play([this](TForm& F) {
    Host.TypeText(F, "missing.dat");
    Host.PressKey(F, VK_RETURN);
    EXPECT_EQ(F.ModalResult(), mrNone);
    Host.PressKey(F, VK_ESCAPE);
  });
  EXPECT_FALSE(RunFileDialogForm(O));
  EXPECT_EQ(Host.MessageTexts().back(), "missing.dat\nFile not found.");
}

TEST_F(DialogFormTest, ColorFormPicksAClickedColour) {
  TColorDialog D(nullptr);
  D.SetColor(clRed);
  D.SetCustomColors({RGB(1, 2, 3)});
  Play([this](TForm& F) {
    // The grid is the first control: 8 columns of 28-pixel cells; the custom colour comes
    // after the 48 standard ones (row 6, column 0).
    const TRect G = F.Controls(0)->BoundsRect();
    Host.Click(F, G.Left + 14, G.Top + 6 * 28 + 14);
    Host.PressKey(F, VK_RETURN);
  });
  ASSERT_TRUE(RunColorDialogForm(D));
  EXPECT_EQ(D.Color(), RGB(1, 2, 3));
  Play([this](TForm& F) { Host.PressKey(F, VK_ESCAPE); });
  EXPECT_FALSE(RunColorDialogForm(D));
  EXPECT_EQ(D.Color(), RGB(1, 2, 3));
}

TEST_F(DialogFormTest, MenuFormChoosesByKeysAndSubMenus) {
  TPopupMenu Menu(nullptr);
  TMenuItem* Copy = NewItem("Copy", nullptr);
  TMenuItem* Log = NewItem("Log", nullptr);
  Menu.Items().Add(Copy);
  Menu.Items().Add(NewLine());
  Menu.Items().Add(NewSubMenu("Scale", {NewItem("Linear", nullptr), Log}));

  Play([this](TForm& F) {
    Host.PressKey(F, VK_DOWN);
    EXPECT_EQ(F.ModalResult(), mrNone);
    Host.PressKey(F, VK_RETURN);
  });
  EXPECT_EQ(RunPopupMenuForm(Menu, {10, 10}), Copy);

  // Down skips the separator; Right opens the sub-menu, whose form plays the next answer.
  Play([this](TForm& F) {
    Host.PressKey(F, VK_DOWN);
    Host.PressKey(F, VK_DOWN);
    Host.PressKey(F, VK_RIGHT);
  });
  Play([this](TForm& F) {
    Host.PressKey(F, VK_DOWN);
    Host.PressKey(F, VK_RETURN);
  });
  EXPECT_EQ(RunPopupMenuForm(Menu, {10, 10}), Log);

  Play([this](TForm& F) { Host.PressKey(F, VK_ESCAPE); });
  EXPECT_EQ(RunPopupMenuForm(Menu, {10, 10}), nullptr);
}

} // namespace
