// The windowed host on SDL2: one window per shown form, the form's surface blitted on every
// repaint, SDL input turned into the form's dispatch calls, the real clock, the clipboard,
// cursors, and dialog forms of ours for message boxes, file and colour dialogs and menus.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/application.h"
#include "controls/dialogforms.h"
#include "controls/dialogs.h"
#include "controls/screen.h"
#include "host/host.h"
#include "rtl/strings.h"

namespace zef {

namespace {

// Virtual-key codes by the physical key (scan codes follow the US layout).
uint16_t VirtualKey(SDL_Scancode S) {
  if (S >= SDL_SCANCODE_A && S <= SDL_SCANCODE_Z) return static_cast<uint16_t>('A' + (S - SDL_SCANCODE_A));
  if (S >= SDL_SCANCODE_1 && S <= SDL_SCANCODE_9) return static_cast<uint16_t>('1' + (S - SDL_SCANCODE_1));
  if (S >= SDL_SCANCODE_F1 && S <= SDL_SCANCODE_F12) return static_cast<uint16_t>(VK_F1 + (S - SDL_SCANCODE_F1));
  if (S >= SDL_SCANCODE_KP_1 && S <= SDL_SCANCODE_KP_9) return static_cast<uint16_t>(97 + (S - SDL_SCANCODE_KP_1));
  switch (S) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_KP_0: return 96;
    case SDL_SCANCODE_KP_MULTIPLY: return 106;
    case SDL_SCANCODE_KP_PLUS: return 107;
    case SDL_SCANCODE_KP_MINUS: return 109;
    case SDL_SCANCODE_KP_PERIOD: return 110;
    case SDL_SCANCODE_KP_DIVIDE: return 111;
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    case SDL_SCANCODE_GRAVE: return 192;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_BACKSLASH: return 220;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_APOSTROPHE: return 222;
    default: return 0;
  }
}

TShiftState ModifierShift(uint16_t Mod) {
  TShiftState S;
  if (Mod & KMOD_SHIFT) S.Include(ssShift);
  if (Mod & KMOD_CTRL) S.Include(ssCtrl);
  if (Mod & KMOD_ALT) S.Include(ssAlt);
  return S;
}

TShiftState ButtonShift(uint32_t Buttons) {
  TShiftState S = ModifierShift(static_cast<uint16_t>(SDL_GetModState()));
  if (Buttons & SDL_BUTTON_LMASK) S.Include(ssLeft);
  if (Buttons & SDL_BUTTON_RMASK) S.Include(ssRight);
  if (Buttons & SDL_BUTTON_MMASK) S.Include(ssMiddle);
  return S;
}

bool MouseButton(uint8_t SdlButton, TMouseButton& Button) {
  switch (SdlButton) {
    case SDL_BUTTON_LEFT: Button = mbLeft; return true;
    case SDL_BUTTON_RIGHT: Button = mbRight; return true;
    case SDL_BUTTON_MIDDLE: Button = mbMiddle; return true;
    default: return false;
  }
}

SDL_SystemCursor SystemCursor(int32_t Cursor) {
  switch (Cursor) {
    case crCross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case crIBeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case crSizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case crSizeNS: case crVSplit: return SDL_SYSTEM_CURSOR_SIZENS;
    case crSizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case crSizeWE: case crHSplit: return SDL_SYSTEM_CURSOR_SIZEWE;
    case crHourGlass: return SDL_SYSTEM_CURSOR_WAIT;
    case crAppStart: return SDL_SYSTEM_CURSOR_WAITARROW;
    case crNo: case crNoDrop: return SDL_SYSTEM_CURSOR_NO;
    case crHandPoint: return SDL_SYSTEM_CURSOR_HAND;
    case crSizeAll: case crDrag: case crMultiDrag: return SDL_SYSTEM_CURSOR_SIZEALL;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

class TSdlHost : public THost {
public:
  TSdlHost() {
    SDL_StartTextInput();
  }
  ~TSdlHost() override {
    for (auto& W : FWindows) DestroyWindow(W.second);
    for (auto& C : FSystemCursors) SDL_FreeCursor(C.second);
    for (auto& C : FCustomCursors) SDL_FreeCursor(C.second.Cursor);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  uint64_t TickCount() override { return SDL_GetTicks64(); }
  bool AcceptTimer() override { return true; }

  bool PollInput() override {
    bool Any = false;
    SDL_Event E;
    while (SDL_PollEvent(&E)) {
      Handle(E);
      Any = true;
    }
    return Any;
  }

  void WaitMessage() override {
    if (Application().HasPendingMessages()) return;
    int Timeout = 100;
    uint64_t Due = 0;
    if (Application().NextTimerDue(Due)) {
      const uint64_t Now = TickCount();
      Timeout = Due <= Now ? 0 : static_cast<int>(std::min<uint64_t>(Due - Now, 100));
    }
    SDL_Event E;
    if (SDL_WaitEventTimeout(&E, Timeout)) Handle(E);
  }

  // ---- Forms ----
  void ShowForm(TForm& Form) override {
    if (FWindows.contains(&Form)) return;
    uint32_t Flags = SDL_WINDOW_SHOWN;
    switch (Form.BorderStyle()) {
      case bsNone: Flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_POPUP_MENU; break;
      case bsSizeable: Flags |= SDL_WINDOW_RESIZABLE; break;
      case bsSingle: case bsDialog: break;
    }
    const bool Placed = Form.Left() != 0 || Form.Top() != 0;
    const int X = Placed ? Form.Left() : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int Y = Placed ? Form.Top() : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    TWindow W;
    W.Window = SDL_CreateWindow(Form.Caption().c_str(), X, Y, std::max(1, Form.Width()), std::max(1, Form.Height()), Flags);
    if (!W.Window) {
      std::fprintf(stderr, "zef: cannot open a window: %s\n", SDL_GetError());
      return;
    }
    W.Renderer = SDL_CreateRenderer(W.Window, -1, 0);
    if (!W.Renderer) W.Renderer = SDL_CreateRenderer(W.Window, -1, SDL_RENDERER_SOFTWARE);
    W.Caption = Form.Caption();
    FByID[SDL_GetWindowID(W.Window)] = &Form;
    FWindows[&Form] = W;
    int WX = 0, WY = 0;
    SDL_GetWindowPosition(W.Window, &WX, &WY);
    Form.SetBounds(WX, WY, Form.Width(), Form.Height());
    if (!FModal.empty() || Form.BorderStyle() == bsNone) Activate(W.Window);
  }

  void HideForm(TForm& Form) override {
    const auto It = FWindows.find(&Form);
    if (It == FWindows.end()) return;
    FByID.erase(SDL_GetWindowID(It->second.Window));
    DestroyWindow(It->second);
    FWindows.erase(It);
    // The keyboard goes back to the form below a closed dialog or menu.
    const bool Popup = Form.Modal() || Form.BorderStyle() == bsNone;
    TForm* Next = !FModal.empty() && FModal.back() != &Form ? FModal.back() : nullptr;
    if (Popup && !Next)
      for (TForm* F : Application().Forms())
        if (F != &Form && FWindows.contains(F)) Next = F;
    if (Popup && Next) Activate(FWindows[Next].Window);
  }

  int ShowModal(TForm& Form) override {
    FModal.push_back(&Form);
    while (Form.Visible() && Form.ModalResult() == mrNone && !Application().Terminated()) Application().HandleMessage();
    FModal.pop_back();
    return Form.ModalResult() != mrNone ? Form.ModalResult() : mrCancel;
  }

  int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) override {
    return RunMessageForm(Msg, DlgType, Buttons);
  }

  void ShowException(const std::string& Message) override {
    std::fprintf(stderr, "%s\n", Message.c_str());
    RunMessageForm(Message, mtError, {mbOK});
  }

  void SurfaceChanged(TForm& Form) override {
    const auto It = FWindows.find(&Form);
    if (It == FWindows.end()) return;
    TWindow& W = It->second;
    TBitmap& S = Form.Surface();
    if (S.Empty() || !W.Renderer) return;
    if (W.Caption != Form.Caption()) {
      W.Caption = Form.Caption();
      SDL_SetWindowTitle(W.Window, W.Caption.c_str());
    }
    int WW = 0, WH = 0;
    SDL_GetWindowSize(W.Window, &WW, &WH);
    if (WW != S.Width() || WH != S.Height()) SDL_SetWindowSize(W.Window, S.Width(), S.Height());
    if (!W.Texture || W.TextureWidth != S.Width() || W.TextureHeight != S.Height()) {
      if (W.Texture) SDL_DestroyTexture(W.Texture);
      // The surface's pixels are $00BBGGRR: red in the lowest byte.
      W.Texture = SDL_CreateTexture(W.Renderer, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING, S.Width(),
                                    S.Height());
      W.TextureWidth = S.Width();
      W.TextureHeight = S.Height();
    }
    if (!W.Texture) return;
    SDL_UpdateTexture(W.Texture, nullptr, S.Bits(), S.Width() * 4);
    Present(W);
  }

  void CursorChanged(TForm&, int32_t Cursor) override {
    if (Cursor == crNone) {
      SDL_ShowCursor(SDL_DISABLE);
      return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    if (SDL_Cursor* C = CustomCursor(Cursor)) {
      SDL_SetCursor(C);
      return;
    }
    const SDL_SystemCursor Id = SystemCursor(Cursor);
    auto It = FSystemCursors.find(Id);
    if (It == FSystemCursors.end()) It = FSystemCursors.emplace(Id, SDL_CreateSystemCursor(Id)).first;
    if (It->second) SDL_SetCursor(It->second);
  }

  bool ExecuteDialog(TCommonDialog& Dialog) override {
    if (auto* File = dynamic_cast<TOpenDialog*>(&Dialog)) return RunFileDialogForm(*File);
    if (auto* Color = dynamic_cast<TColorDialog*>(&Dialog)) return RunColorDialogForm(*Color);
    return false;
  }

  TMenuItem* TrackPopupMenu(TPopupMenu& Menu, TPoint ScreenPos) override { return RunPopupMenuForm(Menu, ScreenPos); }

  // No sound device is used: a beep has no effect.
  void Beep() override {}

  TSize ScreenSize() override {
    SDL_DisplayMode M;
    if (SDL_GetDesktopDisplayMode(0, &M) != 0) return {1024, 768};
    return {M.w, M.h};
  }

  // ---- Clipboard: text through SDL, pictures inside the process ----
  std::string ClipboardText() override {
    std::string Text;
    if (char* T = SDL_GetClipboardText()) {
      Text = T;
      SDL_free(T);
    }
    // Text copied by another program replaces our picture.
    if (!Text.empty()) FHasBitmap = false;
    return Text;
  }
  void SetClipboardText(const std::string& Text) override {
    FHasBitmap = false;
    SDL_SetClipboardText(Text.c_str());
  }
  bool ClipboardBitmap(TBitmap& Target) override {
    ClipboardText();
    if (!FHasBitmap) return false;
    Target.Assign(FBitmap);
    return true;
  }
  void SetClipboardBitmap(const TBitmap& Source) override {
    SDL_SetClipboardText("");
    FBitmap.Assign(Source);
    FHasBitmap = true;
  }

private:
  struct TWindow {
    SDL_Window* Window = nullptr;
    SDL_Renderer* Renderer = nullptr;
    SDL_Texture* Texture = nullptr;
    int TextureWidth = 0;
    int TextureHeight = 0;
    std::string Caption;
  };
  struct TCustomCursor {
    const TCursorImage* Image;
    SDL_Cursor* Cursor;
  };

  static void DestroyWindow(TWindow& W) {
    if (W.Texture) SDL_DestroyTexture(W.Texture);
    if (W.Renderer) SDL_DestroyRenderer(W.Renderer);
    if (W.Window) SDL_DestroyWindow(W.Window);
    W = TWindow{};
  }

  // Brings the window up with the keyboard (menus and dialogs take it at once, also where
  // no window manager hands it over).
  static void Activate(SDL_Window* W) {
    SDL_RaiseWindow(W);
    SDL_SetWindowInputFocus(W);
  }

  static void Present(TWindow& W) {
    SDL_RenderClear(W.Renderer);
    if (W.Texture) SDL_RenderCopy(W.Renderer, W.Texture, nullptr, nullptr);
    SDL_RenderPresent(W.Renderer);
  }

  // An SDL cursor made from a picture of the screen's cursor table (made once per picture).
  SDL_Cursor* CustomCursor(int32_t Cursor) {
    const TCursorImage* Image = Screen().CursorImage(Cursor);
    if (!Image || Image->Image.Empty()) return nullptr;
    auto It = FCustomCursors.find(Cursor);
    if (It != FCustomCursors.end() && It->second.Image == Image) return It->second.Cursor;
    const TBitmap& B = Image->Image;
    std::vector<uint32_t> Argb(static_cast<std::size_t>(B.Width()) * static_cast<std::size_t>(B.Height()));
    const uint32_t Transparent = Image->TransparentColor & 0xFFFFFF;
    for (std::size_t I = 0; I < Argb.size(); ++I) {
      const uint32_t P = B.Bits()[I] & 0xFFFFFF;
      const uint32_t Rgb = ((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF);
      Argb[I] = P == Transparent ? 0 : 0xFF000000u | Rgb;
    }
    SDL_Surface* S = SDL_CreateRGBSurfaceWithFormatFrom(Argb.data(), B.Width(), B.Height(), 32, B.Width() * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    SDL_Cursor* C = S ? SDL_CreateColorCursor(S, Image->HotSpot.X, Image->HotSpot.Y) : nullptr;
    if (S) SDL_FreeSurface(S);
    if (It != FCustomCursors.end()) {
      if (It->second.Cursor) SDL_FreeCursor(It->second.Cursor);
      FCustomCursors.erase(It);
    }
    FCustomCursors[Cursor] = {Image, C};
    return C;
  }

  TForm* FormOf(uint32_t WindowID) const {
    const auto It = FByID.find(WindowID);
    return It == FByID.end() ? nullptr : It->second;
  }

  // While a modal form runs, only it takes input.
  bool TakesInput(const TForm* Form) const { return Form && (FModal.empty() || FModal.back() == Form); }

  // A click outside an open menu closes every open menu.
  void DismissMenus() {
    for (TForm* F : FModal)
      if (F->BorderStyle() == bsNone && F->ModalResult() == mrNone) F->SetModalResult(mrCancel);
  }

  void Handle(const SDL_Event& E) {
    switch (E.type) {
      case SDL_QUIT: Application().Terminate(); break;
      case SDL_WINDOWEVENT: HandleWindow(E.window); break;
      case SDL_MOUSEMOTION: {
        TForm* F = FormOf(E.motion.windowID);
        if (TakesInput(F)) F->DispatchMouseMove(ButtonShift(E.motion.state), E.motion.x, E.motion.y);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        TForm* F = FormOf(E.button.windowID);
        TMouseButton Button;
        if (!F || !MouseButton(E.button.button, Button)) break;
        if (!TakesInput(F)) {
          if (E.type == SDL_MOUSEBUTTONDOWN && !FModal.empty() && FModal.back()->BorderStyle() == bsNone) DismissMenus();
          break;
        }
        TShiftState Shift = ModifierShift(static_cast<uint16_t>(SDL_GetModState()));
        if (E.type == SDL_MOUSEBUTTONDOWN) {
          if (Button == mbLeft && E.button.clicks == 2) Shift.Include(ssDouble);
          SDL_CaptureMouse(SDL_TRUE);
          F->DispatchMouseDown(Button, Shift, E.button.x, E.button.y);
        } else {
          F->DispatchMouseUp(Button, Shift, E.button.x, E.button.y);
          if (SDL_GetMouseState(nullptr, nullptr) == 0) SDL_CaptureMouse(SDL_FALSE);
        }
        break;
      }
      case SDL_MOUSEWHEEL: {
        TForm* F = FormOf(E.wheel.windowID);
        if (!TakesInput(F)) break;
        int X = 0, Y = 0;
        SDL_GetMouseState(&X, &Y);
        const int Delta = (E.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -E.wheel.y : E.wheel.y) * 120;
        if (Delta != 0) F->DispatchMouseWheel(ModifierShift(static_cast<uint16_t>(SDL_GetModState())), Delta, X, Y);
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        TForm* F = FormOf(E.key.windowID);
        const uint16_t Key = VirtualKey(E.key.keysym.scancode);
        if (!TakesInput(F) || Key == 0) break;
        const TShiftState Shift = ModifierShift(E.key.keysym.mod);
        if (E.type == SDL_KEYUP) {
          F->DispatchKeyUp(Key, Shift);
          break;
        }
        F->DispatchKeyDown(Key, Shift);
        // Keys that make no text still type a control character, as Return, Backspace, Tab,
        // Escape and Ctrl+letter do on every desktop.
        if (Key == VK_RETURN || Key == VK_BACK || Key == VK_TAB || Key == VK_ESCAPE)
          F->DispatchKeyPress(static_cast<char32_t>(Key));
        else if (Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) && Key >= 'A' && Key <= 'Z')
          F->DispatchKeyPress(static_cast<char32_t>(Key - 'A' + 1));
        break;
      }
      case SDL_TEXTINPUT: {
        TForm* F = FormOf(E.text.windowID);
        if (!TakesInput(F)) break;
        const std::string Text = E.text.text;
        for (std::size_t I = 0; I < Text.size();) F->DispatchKeyPress(NextCodePoint(Text, I));
        break;
      }
      default: break;
    }
  }

  void HandleWindow(const SDL_WindowEvent& E) {
    TForm* F = FormOf(E.windowID);
    if (!F) return;
    switch (E.event) {
      case SDL_WINDOWEVENT_EXPOSED: {
        const auto It = FWindows.find(F);
        if (It != FWindows.end() && It->second.Renderer) Present(It->second);
        break;
      }
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (E.data1 != F->Width() || E.data2 != F->Height()) F->SetBounds(F->Left(), F->Top(), E.data1, E.data2);
        break;
      case SDL_WINDOWEVENT_MOVED: F->SetBounds(E.data1, E.data2, F->Width(), F->Height()); break;
      case SDL_WINDOWEVENT_LEAVE:
        if (TakesInput(F)) F->DispatchMouseExit();
        break;
      case SDL_WINDOWEVENT_CLOSE:
        if (!FModal.empty() && FModal.back() != F) break;
        F->Close();
        // The application ends with its last window.
        if (std::none_of(Application().Forms().begin(), Application().Forms().end(),
                         [](TForm* Other) { return Other->Visible(); }))
          Application().Terminate();
        break;
      default: break;
    }
  }

  std::map<TForm*, TWindow> FWindows;
  std::map<uint32_t, TForm*> FByID;
  std::vector<TForm*> FModal;
  std::map<SDL_SystemCursor, SDL_Cursor*> FSystemCursors;
  std::map<int32_t, TCustomCursor> FCustomCursors;
  bool FHasBitmap = false;
  TBitmap FBitmap;
};

} // namespace

std::unique_ptr<THost> CreateSdlHost(std::string& Error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    Error = SDL_GetError();
    return nullptr;
  }
  return std::make_unique<TSdlHost>();
}

} // namespace zef
