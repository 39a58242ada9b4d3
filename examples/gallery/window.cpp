// The gallery in a window: the list of pages on the left, the chosen page on the right.
// Pages with live controls show them; the others show their picture. Up and Down (or a
// click in the list) change the page.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "controls/application.h"
#include "controls/forms.h"
#include "gallery.h"
#include "graphics/canvas.h"
#include "graphics/colors.h"
#include "host/host.h"

using namespace zef;

namespace gallery {

namespace {

constexpr int32_t kListWidth = 180;
constexpr int32_t kRowHeight = 28;

// Shows one page: its picture, or its title with the live controls below.
class TPageView : public TCustomControl {
public:
  explicit TPageView(TComponent* Owner) : TCustomControl(Owner) {
    SetColor(RGB(250, 250, 248));
    SetTabStop(false);
  }

  void ShowPage(const TPage& Page) {
    while (ControlCount() > 0) delete Controls(0);
    for (int I = ComponentCount() - 1; I >= 0; --I) delete Components(I);
    FPicture.SetSize(Page.Width, Page.Height);
    if (Page.Live) {
      FPicture.SetSize(Page.Width, 50);
      const int32_t Top = DrawPageFrame(FPicture, Page.Title);
      auto* Area = new TCustomControl(this);
      Area->SetTabStop(false);
      Area->SetColor(RGB(250, 250, 248));
      Area->SetParent(this);
      Area->SetBounds(0, Top, Page.Width, Page.Height - Top);
      Page.Live(*Area);
    } else {
      Page.Draw(FPicture);
    }
    Invalidate();
  }

protected:
  void Paint() override { Canvas().Draw(0, 0, FPicture); }

private:
  TBitmap FPicture;
};

// The list of pages.
class TPageList : public TCustomControl {
public:
  TPageList(TComponent* Owner, std::function<void(int)> OnChoose) : TCustomControl(Owner), FOnChoose(std::move(OnChoose)) {
    SetColor(RGB(38, 44, 58));
  }
  void Choose(int Index) {
    const int N = static_cast<int>(Pages().size());
    if (N == 0) return;
    FIndex = std::clamp(Index, 0, N - 1);
    Invalidate();
    FOnChoose(FIndex);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override {
    const int Row = (Y - 12) / kRowHeight;
    if (Row >= 0 && Row < static_cast<int>(Pages().size())) Choose(Row);
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }

protected:
  void Paint() override {
    TCanvas& C = Canvas();
    C.Font().SetName("DejaVu Sans");
    C.Font().SetHeight(-14);
    for (std::size_t I = 0; I < Pages().size(); ++I) {
      const int32_t Y = 12 + static_cast<int32_t>(I) * kRowHeight;
      const bool Current = static_cast<int>(I) == FIndex;
      C.Brush().SetStyle(bsSolid);
      C.Brush().SetColor(Current ? RGB(70, 110, 190) : Color());
      C.FillRect(Rect(6, Y, Width() - 6, Y + kRowHeight - 4));
      C.Brush().SetStyle(bsClear);
      C.Font().SetColor(Current ? clWhite : RGB(200, 205, 215));
      C.TextOut(16, Y + 4, Pages()[I].Title);
    }
  }

private:
  std::function<void(int)> FOnChoose;
  int FIndex = -1;
};

class TGalleryForm : public TForm {
public:
  TGalleryForm() : TForm(nullptr) {
    SetCaption("ZEF gallery");
    SetKeyPreview(true);
    int32_t W = 640, H = 400;
    for (const TPage& P : Pages()) {
      W = std::max(W, P.Width);
      H = std::max(H, P.Height);
    }
    SetBounds(0, 0, kListWidth + W, H);
    FView = new TPageView(this);
    FView->SetParent(this);
    FView->SetAlign(alClient);
    FList = new TPageList(this, [this](int I) {
      SetCaption("ZEF gallery: " + Pages()[static_cast<std::size_t>(I)].Title);
      FView->ShowPage(Pages()[static_cast<std::size_t>(I)]);
    });
    FList->SetParent(this);
    FList->SetWidth(kListWidth);
    FList->SetAlign(alLeft);
    FList->SetTabStop(false);
  }
  void ShowPageNamed(const std::string& Name) {
    int Index = 0;
    for (std::size_t I = 0; I < Pages().size(); ++I)
      if (Pages()[I].Name == Name) Index = static_cast<int>(I);
    FCurrent = Index;
    FList->Choose(Index);
  }
  void KeyDown(uint16_t& Key, TShiftState Shift) override {
    // Page Up / Page Down turn the pages whatever has the focus.
    if (Key == VK_PRIOR || Key == VK_NEXT) {
      FCurrent = std::clamp(FCurrent + (Key == VK_NEXT ? 1 : -1), 0, static_cast<int>(Pages().size()) - 1);
      FList->Choose(FCurrent);
      Key = 0;
    }
    TForm::KeyDown(Key, Shift);
  }

private:
  TPageView* FView;
  TPageList* FList;
  int FCurrent = 0;
};

} // namespace

int RunWindow(const std::string& StartPage) {
  std::string Error;
  std::unique_ptr<THost> Windowed = CreateWindowedHost(Error);
  if (!Windowed) {
    std::fprintf(stderr, "zef-gallery: no window: %s\n", Error.c_str());
    return kNoWindow;
  }
  SetHost(Windowed.get());
  {
    TGalleryForm Form;
    Form.ShowPageNamed(StartPage);
    Form.Show();
    Application().Run();
  }
  SetHost(nullptr);
  return 0;
}

} // namespace gallery
