// TScreen: the display the application runs on: its size and pixels per inch, the installed
// fonts, the application-wide cursor and the cursor table. Visual style services describe the
// themed drawing of standard controls; the suite draws its own, so they report "not active".
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "rtl/types.h"

namespace zef {

class TControl;

// Cursor numbers: the standard shapes are 0 and below; positive numbers are the
// application's own, loaded into the cursor table.
using TCursor = int32_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// A cursor picture: the image with its transparent colour, and the hot spot.
struct TCursorImage {
  TBitmap Image;
  TColor TransparentColor = 0;
  TPoint HotSpot;
};

class TScreen {
public:
  TScreen();
  ~TScreen();

  int32_t Width() const;
  int32_t Height() const;
  int32_t PixelsPerInch() const;
  // The installed font families, sorted.
  const std::vector<std::string>& Fonts();

  // The application-wide cursor: anything but crDefault overrides every control's cursor.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor that shows over Control: Cursor when set, else the control's own.
  TCursor EffectiveCursor(const TControl* Control) const;

  // The cursor table: custom cursor Index (positive) gets a picture. LoadCursor takes it
  // from the named cursor resource and returns false (table unchanged) when there is none.
  bool LoadCursor(TCursor Index, const std::string& ResourceName);
  void SetCursorImage(TCursor Index, const TCursorImage& Image);
  // The picture of a custom cursor, or null (standard shapes have none).
  const TCursorImage* CursorImage(TCursor Index) const;

private:
  TCursor FCursor = crDefault;
  std::map<TCursor, std::unique_ptr<TCursorImage>> FCursors;
  std::vector<std::string> FFonts;
  bool FFontsRead = false;
};

// The screen of the process.
TScreen& Screen();

// Themed drawing of standard controls. Not active here: components fall back to their own
// colours and frames.
class TStyleServices {
public:
  bool Available() const { return false; }
  bool Enabled() const { return false; }
  // With no active style these are the standard system colours.
  TColor PanelTextColor() const;
  TColor ButtonColor() const;
};

TStyleServices& StyleServices();

} // namespace zef
