// Colours: TColor values ($00BBGGRR), the system colours ($FF0000nn) with their RGB values,
// and the named colours with their text forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/gtypes.h"

namespace zef {

constexpr TColor RGB(uint8_t R, uint8_t G, uint8_t B) {
  return static_cast<TColor>(R) | (static_cast<TColor>(G) << 8) | (static_cast<TColor>(B) << 16);
}
constexpr uint8_t GetRValue(TColor C) { return static_cast<uint8_t>(C); }
constexpr uint8_t GetGValue(TColor C) { return static_cast<uint8_t>(C >> 8); }
constexpr uint8_t GetBValue(TColor C) { return static_cast<uint8_t>(C >> 16); }

// ---- System colours: $FF000000 + the index of the system colour ------------------------------

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// ---- Named colours ---------------------------------------------------------------------------

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour: system colours ($FF high byte) are looked up in the system
// colour table (an unknown index gives black); any other high byte is masked off.
TColor ColorToRGB(TColor Color);
// Whether C is a system colour.
constexpr bool IsSystemColor(TColor C) { return (C >> 24) == 0xFF; }

// "clBlack" ... "clMoneyGreen", "clSkyBlue", "clCream", "clMedGray", the system colour names
// ("clBtnFace" ...), "clNone", "clDefault"; any other value as "$" + eight hexadecimal digits.
std::string ColorToString(TColor Color);
// The inverse of ColorToString; also accepts "$" + hexadecimal digits and decimal integers.
// Names ignore case. Raises EConvertError for other texts.
TColor StringToColor(std::string_view S);
bool IdentToColor(std::string_view Ident, TColor& Color);
bool ColorToIdent(TColor Color, std::string& Ident);

} // namespace zef
