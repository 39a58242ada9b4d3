#include "controls/dialogforms.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/application.h"
#include "controls/dialogs.h"
#include "controls/menus.h"
#include "graphics/colors.h"
#include "host/host.h"
#include "rtl/files.h"
#include "rtl/strings.h"

namespace zef {

namespace {

constexpr int32_t kPad = 10;
constexpr int32_t kButtonWidth = 84;
constexpr int32_t kButtonHeight = 26;

void DrawRaisedBox(TCanvas& C, const TRect& R, bool Pressed) {
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(clBtnFace);
  C.FillRect(R);
  C.Pen().SetColor(Pressed ? clBtnShadow : clBtnHighlight);
  C.MoveTo(R.Left, R.Bottom - 1);
  C.LineTo(R.Left, R.Top);
  C.LineTo(R.Right - 1, R.Top);
  C.Pen().SetColor(Pressed ? clBtnHighlight : cl3DDkShadow);
  C.LineTo(R.Right - 1, R.Bottom - 1);
  C.LineTo(R.Left, R.Bottom - 1);
}

void DrawSunkenBox(TCanvas& C, const TRect& R, TColor Fill) {
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(Fill);
  C.FillRect(R);
  C.Pen().SetColor(clBtnShadow);
  C.MoveTo(R.Left, R.Bottom - 1);
  C.LineTo(R.Left, R.Top);
  C.LineTo(R.Right - 1, R.Top);
  C.Pen().SetColor(clBtnHighlight);
  C.LineTo(R.Right - 1, R.Bottom - 1);
  C.LineTo(R.Left, R.Bottom - 1);
}

// The base of the dialog forms: Return clicks the default button, Escape cancels.
class TDialogForm : public TForm {
public:
  explicit TDialogForm(const std::string& Caption) : TForm(nullptr) {
    SetCaption(Caption);
    SetBorderStyle(bsDialog);
    SetKeyPreview(true);
  }
  std::function<void()> OnDefault;

  void KeyDown(uint16_t& Key, TShiftState Shift) override {
    if (Key == VK_ESCAPE) {
      Key = 0;
      SetModalResult(mrCancel);
    } else if (Key == VK_RETURN && OnDefault) {
      Key = 0;
      OnDefault();
    }
    TForm::KeyDown(Key, Shift);
  }
};

// A push button: a raised box with its caption centred. A click (or Space while it has the
// focus) runs OnClick, or ends the form's modal run with Result.
class TPushButton : public TCustomControl {
public:
  TPushButton(TForm& Form, const std::string& Caption, int Result) : TCustomControl(&Form), FResult(Result) {
    FCaption = Caption;
    SetParent(&Form);
  }
  void SetCaption(const std::string& Value) {
    FCaption = Value;
    Invalidate();
  }
  void Click() override {
    if (OnClick)
      OnClick(this);
    else if (FResult != mrNone)
      ParentForm()->SetModalResult(FResult);
  }
  void KeyPress(char32_t& Key) override {
    if (Key == U' ') {
      Key = 0;
      Click();
    }
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    FPressed = Button == mbLeft;
    Invalidate();
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    FPressed = false;
    Invalidate();
    TCustomControl::MouseUp(Button, Shift, X, Y);
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    DrawRaisedBox(C, ClientRect(), FPressed);
    C.Font().Assign(Font());
    C.Brush().SetStyle(bsClear);
    const TSize T = C.TextExtent(FCaption);
    C.TextOut((Width() - T.cx) / 2, (Height() - T.cy) / 2, FCaption);
    if (Focused()) {
      C.Brush().SetStyle(bsClear);
      C.Pen().SetColor(clHighlight);
      C.Rectangle(3, 3, Width() - 3, Height() - 3);
    }
  }

private:
  std::string FCaption;
  int FResult;
  bool FPressed = false;
};

// A one-line text field: typed characters go to its end, Backspace removes the last one.
class TLineEdit : public TCustomControl {
public:
  explicit TLineEdit(TForm& Form) : TCustomControl(&Form) { SetParent(&Form); }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) {
    FText = Value;
    Invalidate();
  }
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_GETDLGCODE) M.Result = DLGC_WANTCHARS;
  }
  void KeyPress(char32_t& Key) override {
    if (Key == U'\b') {
      if (!FText.empty()) {
        std::size_t Cut = FText.size() - 1;
        while (Cut > 0 && (static_cast<unsigned char>(FText[Cut]) & 0xC0) == 0x80) --Cut;
        FText.erase(Cut);
      }
    } else if (Key >= U' ' && Key != 127) {
      AppendUtf8(FText, Key);
    }
    Invalidate();
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    DrawSunkenBox(C, ClientRect(), clWindow);
    C.Font().Assign(Font());
    C.Brush().SetStyle(bsClear);
    const int32_t Y = (Height() - C.TextHeight("Ag")) / 2;
    // Long texts show their end, where the caret is.
    const int32_t Room = Width() - 8;
    std::string Shown = FText;
    while (!Shown.empty() && C.TextWidth(Shown) > Room) {
      std::size_t I = 0;
      NextCodePoint(Shown, I);
      Shown.erase(0, I);
    }
    C.TextOut(4, Y, Shown);
    if (Focused()) {
      const int32_t X = 4 + C.TextWidth(Shown) + 1;
      C.Pen().SetColor(clWindowText);
      C.MoveTo(X, Y);
      C.LineTo(X, Y + C.TextHeight("Ag"));
    }
  }

private:
  std::string FText;
};

// A list of lines with one selected: click selects, double click (or Return) activates,
// the arrow keys and the wheel move.
class TLineList : public TCustomControl {
public:
  explicit TLineList(TForm& Form) : TCustomControl(&Form) { SetParent(&Form); }
  std::vector<std::string> Items;
  std::function<void(int Index)> OnSelect;
  std::function<void(int Index)> OnActivate;

  int ItemIndex() const { return FIndex; }
  void SetItems(std::vector<std::string> Value) {
    Items = std::move(Value);
    FIndex = -1;
    FTop = 0;
    Invalidate();
  }
  void Select(int Index) {
    if (Items.empty()) return;
    FIndex = std::clamp(Index, 0, static_cast<int>(Items.size()) - 1);
    const int Rows = VisibleRows();
    if (FIndex < FTop) FTop = FIndex;
    if (FIndex >= FTop + Rows) FTop = FIndex - Rows + 1;
    Invalidate();
    if (OnSelect) OnSelect(FIndex);
  }
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_GETDLGCODE) M.Result = DLGC_WANTARROWS;
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    const int Row = FTop + (Y - 2) / RowHeight();
    if (Row >= 0 && Row < static_cast<int>(Items.size())) Select(Row);
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void DblClick() override {
    if (FIndex >= 0 && OnActivate) OnActivate(FIndex);
  }
  bool DoMouseWheel(TShiftState, int32_t WheelDelta, TPoint) override {
    const int MaxTop = std::max(0, static_cast<int>(Items.size()) - VisibleRows());
    FTop = std::clamp(FTop - WheelDelta / 40, 0, MaxTop);
    Invalidate();
    return true;
  }
  void KeyDown(uint16_t& Key, TShiftState Shift) override {
    const int Page = std::max(1, VisibleRows() - 1);
    switch (Key) {
      case VK_UP: Select(FIndex - 1); break;
      case VK_DOWN: Select(FIndex + 1); break;
      case VK_PRIOR: Select(FIndex - Page); break;
      case VK_NEXT: Select(FIndex + Page); break;
      case VK_HOME: Select(0); break;
      case VK_END: Select(static_cast<int>(Items.size()) - 1); break;
      default: TCustomControl::KeyDown(Key, Shift); return;
    }
    Key = 0;
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    DrawSunkenBox(C, ClientRect(), clWindow);
    C.Font().Assign(Font());
    const int32_t H = RowHeight();
    for (int Row = FTop; Row < static_cast<int>(Items.size()) && (Row - FTop) * H < Height() - 4; ++Row) {
      const TRect R{2, 2 + (Row - FTop) * H, Width() - 2, 2 + (Row - FTop + 1) * H};
      C.Brush().SetStyle(bsSolid);
      C.Brush().SetColor(Row == FIndex ? clHighlight : clWindow);
      C.Font().SetColor(Row == FIndex ? clHighlightText : clWindowText);
      C.TextRect(R, R.Left + 3, R.Top + 1, Items[static_cast<std::size_t>(Row)]);
    }
  }

private:
  int32_t RowHeight() { return Canvas().TextHeight("Ag") + 3; }
  int VisibleRows() { return std::max(1, (Height() - 4) / RowHeight()); }
  int FIndex = -1;
  int FTop = 0;
};

// Places OK/Cancel-style buttons at the bottom right of the form, last one rightmost.
void PlaceButtons(TForm& Form, const std::vector<TPushButton*>& Buttons) {
  int32_t X = Form.ClientWidth() - kPad;
  for (auto It = Buttons.rbegin(); It != Buttons.rend(); ++It) {
    X -= kButtonWidth;
    (*It)->SetBounds(X, Form.ClientHeight() - kPad - kButtonHeight, kButtonWidth, kButtonHeight);
    X -= 8;
  }
}

// ---------------------------------------------------------------------------- message box

class TMessageForm : public TDialogForm {
public:
  TMessageForm(const std::string& Caption, const std::string& Msg) : TDialogForm(Caption) {
    FLines = SplitString(StringReplace(Msg, "\r\n", "\n", {rfReplaceAll}), '\n');
  }
  // Sizes the form to the text; ButtonRow is the width the buttons need.
  void Fit(int32_t ButtonRow) {
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    int32_t W = ButtonRow;
    for (const std::string& L : FLines) W = std::max(W, C.TextWidth(L));
    FLineHeight = C.TextHeight("Ag") + 2;
    SetBounds(Left(), Top(), W + 2 * kPad + 2 * kPad,
              static_cast<int32_t>(FLines.size()) * FLineHeight + 3 * kPad + kButtonHeight + kPad);
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    C.Brush().SetStyle(bsClear);
    for (std::size_t I = 0; I < FLines.size(); ++I)
      C.TextOut(2 * kPad, kPad + static_cast<int32_t>(I) * FLineHeight, FLines[I]);
  }

private:
  std::vector<std::string> FLines;
  int32_t FLineHeight = 16;
};

// ---------------------------------------------------------------------------- file dialog

class TFileForm : public TDialogForm {
public:
  explicit TFileForm(TOpenDialog& Dialog)
      : TDialogForm(!Dialog.Title().empty() ? Dialog.Title() : Dialog.IsSaveDialog() ? "Save As" : "Open"),
        FDialog(Dialog), FFilters(Dialog.Filters()) {
    SetBounds(0, 0, 520, 400);
    FList = new TLineList(*this);
    FList->SetBounds(kPad, 36, ClientWidth() - 2 * kPad, 280);
    FFilterButton = new TPushButton(*this, "", mrNone);
    FFilterButton->SetBounds(kPad, 324, ClientWidth() - 2 * kPad, 24);
    FFilterButton->OnClick = [this](TObject*) { NextFilter(); };
    FName = new TLineEdit(*this);
    FName->SetBounds(kPad, ClientHeight() - kPad - kButtonHeight, ClientWidth() - 3 * kPad - 2 * (kButtonWidth + 8),
                     kButtonHeight);
    auto* Ok = new TPushButton(*this, Dialog.IsSaveDialog() ? "Save" : "Open", mrNone);
    auto* Cancel = new TPushButton(*this, "Cancel", mrCancel);
    PlaceButtons(*this, {Ok, Cancel});
    Ok->OnClick = [this](TObject*) { Confirm(); };
    OnDefault = [this] { Confirm(); };
    FList->OnSelect = [this](int I) {
      if (!FEntries[static_cast<std::size_t>(I)].IsDir) FName->SetText(FEntries[static_cast<std::size_t>(I)].Name);
    };
    FList->OnActivate = [this](int I) { Activate(I); };

    FFilterIndex = std::clamp(Dialog.FilterIndex(), 1, std::max<int>(1, static_cast<int>(FFilters.size())));
    const std::string Initial = Dialog.FileName();
    FFolder = !ExtractFileDir(Initial).empty() && DirectoryExists(ExtractFileDir(Initial)) ? ExtractFileDir(Initial)
              : !Dialog.InitialDir().empty() && DirectoryExists(Dialog.InitialDir())   ? Dialog.InitialDir()
                                                                                        : GetCurrentDir();
    FFolder = ExpandFileName(FFolder);
    FName->SetText(ExtractFileName(Initial));
    Fill();
    SetActiveControl(FName);
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    C.Brush().SetStyle(bsClear);
    C.TextRect(Rect(kPad, 8, ClientWidth() - kPad, 30), kPad, 12, "Folder: " + FFolder);
  }

private:
  struct TEntry {
    std::string Name;
    bool IsDir;
  };

  const std::vector<std::string>* Patterns() const {
    if (FFilters.empty()) return nullptr;
    return &FFilters[static_cast<std::size_t>(FFilterIndex - 1)].Patterns;
  }
  bool Matches(const std::string& Name) const {
    const std::vector<std::string>* P = Patterns();
    if (!P || P->empty()) return true;
    return std::any_of(P->begin(), P->end(), [&](const std::string& Pat) { return MatchesFilePattern(Name, Pat); });
  }
  void Fill() {
    FEntries.clear();
    if (FFolder != "/") FEntries.push_back({"..", true});
    const std::vector<TSearchRec> Found = FindFiles(IncludeTrailingPathDelimiter(FFolder) + "*", faDirectory);
    for (const TSearchRec& R : Found)
      if ((R.Attr & faDirectory) && R.Name != "." && R.Name != "..") FEntries.push_back({R.Name, true});
    for (const TSearchRec& R : Found)
      if (!(R.Attr & faDirectory) && Matches(R.Name)) FEntries.push_back({R.Name, false});
    std::vector<std::string> Lines;
    for (const TEntry& E : FEntries) Lines.push_back(E.IsDir ? "[" + E.Name + "]" : E.Name);
    FList->SetItems(std::move(Lines));
    FFilterButton->SetCaption(FFilters.empty() ? "All files" : "Files of type: " + FFilters[static_cast<std::size_t>(FFilterIndex - 1)].Description);
    Invalidate();
  }
  void NextFilter() {
    if (FFilters.size() < 2) return;
    FFilterIndex = FFilterIndex % static_cast<int>(FFilters.size()) + 1;
    Fill();
  }
  void Enter(const std::string& Dir) {
    FFolder = Dir == ".." ? ExtractFileDir(ExcludeTrailingPathDelimiter(FFolder))
                          : IncludeTrailingPathDelimiter(FFolder) + Dir;
    if (FFolder.empty()) FFolder = "/";
    Fill();
  }
  void Activate(int I) {
    const TEntry& E = FEntries[static_cast<std::size_t>(I)];
    if (E.IsDir)
      Enter(E.Name);
    else
      Confirm();
  }
  void Confirm() {
    const std::string Name = Trim(FName->Text());
    if (Name.empty()) {
      if (FList->ItemIndex() >= 0 && FEntries[static_cast<std::size_t>(FList->ItemIndex())].IsDir)
        Activate(FList->ItemIndex());
      else
        Host().Beep();
      return;
    }
    const std::string Full = Name[0] == '/' ? Name : IncludeTrailingPathDelimiter(FFolder) + Name;
    if (DirectoryExists(Full)) {
      FFolder = ExpandFileName(Full);
      FName->SetText("");
      Fill();
      return;
    }
    const TOpenOptions O = FDialog.Options();
    if (!FDialog.IsSaveDialog() && O.Contains(ofFileMustExist) && !FileExists(Full)) {
      MessageDlg(Name + "\nFile not found.", mtWarning, {mbOK});
      return;
    }
    if (FDialog.IsSaveDialog() && O.Contains(ofOverwritePrompt) && FileExists(Full) &&
        MessageDlg(Name + " already exists.\nDo you want to replace it?", mtConfirmation, {mbYes, mbNo}) != mrYes)
      return;
    FDialog.SetFilterIndex(FFilterIndex);
    FDialog.Accept({Full});
    SetModalResult(mrOk);
  }

  TOpenDialog& FDialog;
  std::vector<TFileFilter> FFilters;
  int FFilterIndex = 1;
  std::string FFolder;
  std::vector<TEntry> FEntries;
  TLineList* FList = nullptr;
  TPushButton* FFilterButton = nullptr;
  TLineEdit* FName = nullptr;
};

// ---------------------------------------------------------------------------- colour dialog

// The standard colours offered, eight to a row.
constexpr TColor kStandardColors[] = {
    0x8080FF, 0x80FFFF, 0x80FF80, 0x80FF00, 0xFFFF80, 0xFF8000, 0xC080FF, 0xFF80FF,
    0x0000FF, 0x00FFFF, 0x00FF80, 0x40FF00, 0xFFFF00, 0xC08000, 0xC08080, 0xFF00FF,
    0x404080, 0x4080FF, 0x00FF00, 0x808000, 0x804000, 0xFF8080, 0x400080, 0x8000FF,
    0x000080, 0x0080FF, 0x008000, 0x408000, 0xFF0000, 0xA00000, 0x800080, 0xFF0080,
    0x000040, 0x004080, 0x004000, 0x404000, 0x800000, 0x400000, 0x400040, 0x800040,
    0x000000, 0x008080, 0x408080, 0x808080, 0x808040, 0xC0C0C0, 0x400040, 0xFFFFFF,
};

class TColorGrid : public TCustomControl {
public:
  TColorGrid(TForm& Form, std::vector<TColor> Colors) : TCustomControl(&Form), FColors(std::move(Colors)) {
    SetParent(&Form);
  }
  static constexpr int32_t kCell = 28;
  static constexpr int kColumns = 8;
  TColor Selected = 0;
  std::function<void()> OnActivate;

  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    const int I = (Y / kCell) * kColumns + X / kCell;
    if (X >= 0 && X < kColumns * kCell && I >= 0 && I < static_cast<int>(FColors.size())) {
      Selected = FColors[static_cast<std::size_t>(I)];
      ParentForm()->Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void DblClick() override {
    if (OnActivate) OnActivate();
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    for (std::size_t I = 0; I < FColors.size(); ++I) {
      const int32_t X = static_cast<int32_t>(I % kColumns) * kCell;
      const int32_t Y = static_cast<int32_t>(I / kColumns) * kCell;
      DrawSunkenBox(C, Rect(X + 2, Y + 2, X + kCell - 2, Y + kCell - 2), FColors[I]);
      if (FColors[I] == Selected) {
        C.Brush().SetStyle(bsClear);
        C.Pen().SetColor(clBlack);
        C.Rectangle(X, Y, X + kCell, Y + kCell);
      }
    }
  }

private:
  std::vector<TColor> FColors;
};

class TColorForm : public TDialogForm {
public:
  explicit TColorForm(TColorDialog& Dialog) : TDialogForm(!Dialog.Title().empty() ? Dialog.Title() : "Color") {
    std::vector<TColor> Colors(std::begin(kStandardColors), std::end(kStandardColors));
    for (TColor C : Dialog.CustomColors()) Colors.push_back(ColorToRGB(C));
    const int Rows = (static_cast<int>(Colors.size()) + TColorGrid::kColumns - 1) / TColorGrid::kColumns;
    FGrid = new TColorGrid(*this, std::move(Colors));
    FGrid->Selected = ColorToRGB(Dialog.Color());
    FGrid->SetBounds(kPad, kPad, TColorGrid::kColumns * TColorGrid::kCell, Rows * TColorGrid::kCell);
    SetBounds(0, 0, TColorGrid::kColumns * TColorGrid::kCell + 2 * kPad,
              Rows * TColorGrid::kCell + 3 * kPad + 30 + kButtonHeight + kPad);
    auto* Ok = new TPushButton(*this, "OK", mrOk);
    auto* Cancel = new TPushButton(*this, "Cancel", mrCancel);
    PlaceButtons(*this, {Ok, Cancel});
    OnDefault = [this] { SetModalResult(mrOk); };
    FGrid->OnActivate = OnDefault;
    SetActiveControl(FGrid);
  }
  TColor Selected() const { return FGrid->Selected; }

protected:
  void Paint() override {
    // The chosen colour as a swatch above the buttons.
    const int32_t Y = FGrid->Top() + FGrid->Height() + kPad;
    DrawSunkenBox(Canvas(), Rect(kPad, Y, ClientWidth() - kPad, Y + 30), FGrid->Selected);
  }

private:
  TColorGrid* FGrid;
};

// ---------------------------------------------------------------------------- popup menu

class TMenuForm : public TForm {
public:
  TMenuForm(TMenuItem& Items, TPoint ScreenPos, TMenuItem*& Chosen) : TForm(nullptr), FChosen(Chosen) {
    SetBorderStyle(bsNone);
    SetColor(clMenu);
    for (int I = 0; I < Items.Count(); ++I)
      if (Items.Items(I)->Visible()) FItems.push_back(Items.Items(I));
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    FRow = C.TextHeight("Ag") + 8;
    int32_t W = 120;
    int32_t H = 4;
    for (TMenuItem* Item : FItems) {
      W = std::max(W, C.TextWidth(Item->Caption()) + 60);
      H += Item->IsLine() ? 8 : FRow;
    }
    SetBounds(ScreenPos.X, ScreenPos.Y, W, H);
  }
  // Highlights the first item (a sub-menu opened from the keyboard starts there).
  void HotFirst() {
    for (std::size_t I = 0; I < FItems.size() && FHot < 0; ++I)
      if (!FItems[I]->IsLine()) FHot = static_cast<int>(I);
  }
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override {
    const int I = ItemAt(Y);
    if (I != FHot) {
      FHot = I;
      Invalidate();
    }
    TForm::MouseMove(Shift, X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    TForm::MouseUp(Button, Shift, X, Y);
    const int I = ItemAt(Y);
    if (I >= 0 && PtInRect(ClientRect(), {X, Y})) Choose(I);
  }
  void KeyDown(uint16_t& Key, TShiftState Shift) override {
    if (Key == VK_ESCAPE) SetModalResult(mrCancel);
    if (Key == VK_DOWN || Key == VK_UP) {
      const int N = static_cast<int>(FItems.size());
      for (int Step = 0; Step < N; ++Step) {
        FHot = (FHot + (Key == VK_DOWN ? 1 : N - 1) + (FHot < 0 && Key == VK_UP ? 1 : 0)) % N;
        if (!FItems[static_cast<std::size_t>(FHot)]->IsLine()) break;
      }
      Invalidate();
    }
    if ((Key == VK_RETURN || Key == VK_RIGHT) && FHot >= 0) Choose(FHot);
    TForm::KeyDown(Key, Shift);
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    C.Brush().SetStyle(bsClear);
    C.Pen().SetColor(clBtnShadow);
    C.Rectangle(0, 0, Width(), Height());
    int32_t Y = 2;
    for (std::size_t I = 0; I < FItems.size(); ++I) {
      TMenuItem* Item = FItems[I];
      if (Item->IsLine()) {
        C.Pen().SetColor(clBtnShadow);
        C.MoveTo(4, Y + 4);
        C.LineTo(Width() - 4, Y + 4);
        Y += 8;
        continue;
      }
      const bool Hot = static_cast<int>(I) == FHot && Item->Enabled();
      if (Hot) {
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(clHighlight);
        C.FillRect(Rect(2, Y, Width() - 2, Y + FRow));
        C.Brush().SetStyle(bsClear);
      }
      C.Font().SetColor(!Item->Enabled() ? clGrayText : Hot ? clHighlightText : clMenuText);
      const int32_t TY = Y + (FRow - C.TextHeight("Ag")) / 2;
      if (Item->Checked()) C.TextOut(8, TY, "\u2713");
      if (!Item->Bitmap().Empty()) C.Draw(4, Y + (FRow - Item->Bitmap().Height()) / 2, Item->Bitmap());
      C.TextOut(26, TY, Item->Caption());
      if (Item->Count() > 0) C.TextOut(Width() - 16, TY, "\u25B8");
      Y += FRow;
    }
  }

private:
  int ItemAt(int32_t Y) const {
    int32_t Top = 2;
    for (std::size_t I = 0; I < FItems.size(); ++I) {
      const int32_t H = FItems[I]->IsLine() ? 8 : FRow;
      if (Y >= Top && Y < Top + H) return FItems[I]->IsLine() ? -1 : static_cast<int>(I);
      Top += H;
    }
    return -1;
  }
  int32_t ItemTop(int Index) const {
    int32_t Top = 2;
    for (int I = 0; I < Index; ++I) Top += FItems[static_cast<std::size_t>(I)]->IsLine() ? 8 : FRow;
    return Top;
  }
  void Choose(int I) {
    TMenuItem* Item = FItems[static_cast<std::size_t>(I)];
    if (!Item->Enabled()) return;
    if (Item->Count() > 0) {
      // A sub-menu opens beside its item; a choice there ends this menu too.
      TMenuItem* Sub = nullptr;
      const TPoint P = ClientToScreen({Width() - 4, ItemTop(I)});
      TMenuForm SubForm(*Item, P, Sub);
      SubForm.HotFirst();
      SubForm.ShowModal();
      if (!Sub) return;
      FChosen = Sub;
    } else {
      FChosen = Item;
    }
    SetModalResult(mrOk);
  }

  std::vector<TMenuItem*> FItems;
  TMenuItem*& FChosen;
  int32_t FRow = 20;
  int FHot = -1;
};

} // namespace

int RunMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  static const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
  struct TButtonDef {
    TMsgDlgBtn Btn;
    const char* Caption;
    int Result;
  };
  static const TButtonDef Defs[] = {{mbYes, "Yes", mrYes},       {mbNo, "No", mrNo},          {mbOK, "OK", mrOk},
                                    {mbCancel, "Cancel", mrCancel}, {mbAbort, "Abort", mrAbort}, {mbRetry, "Retry", mrRetry},
                                    {mbIgnore, "Ignore", mrIgnore}};
  if (Buttons.Empty()) Buttons.Include(mbOK);
  TMessageForm Form(Captions[DlgType <= mtCustom ? DlgType : mtCustom], Msg);
  std::vector<TPushButton*> Made;
  std::vector<int> Results;
  for (const TButtonDef& D : Defs)
    if (Buttons.Contains(D.Btn)) {
      Made.push_back(new TPushButton(Form, D.Caption, D.Result));
      Results.push_back(D.Result);
    }
  // Escape (or closing the window) means Cancel, No, or the only button there is.
  const int Escape = Buttons.Contains(mbCancel) ? mrCancel
                     : Buttons.Contains(mbNo)   ? mrNo
                     : Results.size() == 1      ? Results.front()
                                                : mrCancel;
  Form.Fit(static_cast<int32_t>(Made.size()) * (kButtonWidth + 8));
  PlaceButtons(Form, Made);
  Form.SetActiveControl(Made.front());
  TPushButton* First = Made.front();
  Form.OnDefault = [First] { First->Click(); };
  const int Result = Form.ShowModal();
  return Result == mrCancel && !Buttons.Contains(mbCancel) ? Escape : Result;
}

bool RunFileDialogForm(TOpenDialog& Dialog) {
  TFileForm Form(Dialog);
  return Form.ShowModal() == mrOk;
}

bool RunColorDialogForm(TColorDialog& Dialog) {
  TColorForm Form(Dialog);
  if (Form.ShowModal() != mrOk) return false;
  Dialog.SetColor(Form.Selected());
  return true;
}

TMenuItem* RunPopupMenuForm(TPopupMenu& Menu, TPoint ScreenPos) {
  TMenuItem* Chosen = nullptr;
  TMenuForm Form(Menu.Items(), ScreenPos, Chosen);
  Form.ShowModal();
  return Chosen;
}

} // namespace zef
