#include "graphics/colors.h"

#include <array>
#include <cstdio>

#include "rtl/exceptions.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

namespace {

// A light desktop theme; index = low byte of the system colour.
constexpr std::array<TColor, 31> kSystemRGB = {
    RGB(200, 200, 200),  // scroll bar
    RGB(0, 78, 152),     // background
    RGB(153, 180, 209),  // active caption
    RGB(191, 205, 219),  // inactive caption
    RGB(240, 240, 240),  // menu
    RGB(255, 255, 255),  // window
    RGB(100, 100, 100),  // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(0, 0, 0),        // caption text
    RGB(180, 180, 180),  // active border
    RGB(244, 247, 252),  // inactive border
    RGB(171, 171, 171),  // application workspace
    RGB(0, 120, 215),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(240, 240, 240),  // button face
    RGB(160, 160, 160),  // button shadow
    RGB(109, 109, 109),  // gray text
    RGB(0, 0, 0),        // button text
    RGB(0, 0, 0),        // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(105, 105, 105),  // 3D dark shadow
    RGB(227, 227, 227),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(0, 0, 0),        // (unused)
    RGB(0, 102, 204),    // hot light
    RGB(185, 209, 234),  // gradient active caption
    RGB(215, 228, 242),  // gradient inactive caption
    RGB(0, 120, 215),    // menu highlight
    RGB(240, 240, 240),  // menu bar
};

struct TColorName {
  TColor Color;
  const char* Name;
};

constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
};

} // namespace

TColor ColorToRGB(TColor Color) {
  if (IsSystemColor(Color)) {
    const TColor Index = Color & 0xFF;
    return Index < kSystemRGB.size() ? kSystemRGB[Index] : clBlack;
  }
  return Color & 0x00FFFFFF;
}

bool ColorToIdent(TColor Color, std::string& Ident) {
  for (const auto& N : kColorNames)
    if (N.Color == Color) {
      Ident = N.Name;
      return true;
    }
  return false;
}

bool IdentToColor(std::string_view Ident, TColor& Color) {
  for (const auto& N : kColorNames)
    if (SameText(Ident, N.Name)) {
      Color = N.Color;
      return true;
    }
  return false;
}

std::string ColorToString(TColor Color) {
  std::string Ident;
  if (ColorToIdent(Color, Ident)) return Ident;
  return "$" + IntToHex(Color, 8);
}

TColor StringToColor(std::string_view S) {
  TColor C;
  if (IdentToColor(S, C)) return C;
  const std::string T = Trim(S);
  if (T.size() > 1 && T.size() <= 9 && T[0] == '$') {
    uint32_t V = 0;
    for (std::size_t I = 1; I < T.size(); ++I) {
      const char H = T[I];
      int D;
      if (H >= '0' && H <= '9') D = H - '0';
      else if (H >= 'a' && H <= 'f') D = H - 'a' + 10;
      else if (H >= 'A' && H <= 'F') D = H - 'A' + 10;
      else throw EConvertError("'" + std::string(S) + "' is not a valid colour");
      V = V * 16 + static_cast<uint32_t>(D);
    }
    return V;
  }
  int64_t V;
  if (TryStrToInt64(T, V) && V >= INT32_MIN && V <= UINT32_MAX) return static_cast<TColor>(V);
  throw EConvertError("'" + std::string(S) + "' is not a valid colour");
}

} // namespace zef
