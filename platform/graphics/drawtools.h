// The drawing tools of a canvas: pen, brush and font. Each setter stores the value and fires
// OnChange when it changed; Assign copies every setting from a tool of the same class.
#pragma once

#include <cstdint>
#include <string>

#include "classes/object.h"
#include "classes/tset.h"
#include "graphics/colors.h"

namespace zef {

// How the pen combines its colour P with the pixel D: copy P, D xor P, not (D xor P), not D,
// black, white, D or P (merge), D and P (mask), and leave D (no operation).
enum TPenMode : uint8_t { pmCopy, pmXor, pmNotXor, pmNot, pmBlack, pmWhite, pmMerge, pmMask, pmNop };

enum TBrushStyle : uint8_t {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

using TFontStyles = TSet<TFontStyle, 4>;

// A pen: colour, width in pixels (at least 1), style and mode. A styled pen wider than one
// pixel draws solid.
class TPen : public TPersistent {
public:
  TColor Color() const { return FColor; }
  int32_t Width() const { return FWidth; }
  TPenStyle Style() const { return FStyle; }
  TPenMode Mode() const { return FMode; }
  void SetColor(TColor Value);
  void SetWidth(int32_t Value);  // values below 1 become 1
  void SetStyle(TPenStyle Value);
  void SetMode(TPenMode Value);
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  void Changed();
  TColor FColor = clBlack;
  int32_t FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBrush : public TPersistent {
public:
  TColor Color() const { return FColor; }
  TBrushStyle Style() const { return FStyle; }
  void SetColor(TColor Value);
  void SetStyle(TBrushStyle Value);
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  void Changed();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

// A font. Height is the primary value: negative is the character height in pixels (cell
// height less internal leading), positive the cell height. Size is in points at
// PixelsPerInch: Size = -Height * 72 / PixelsPerInch (rounded); setting Size sets Height, and
// changing PixelsPerInch keeps Height, so the pixel size stays. Orientation is in tenths of a
// degree, counter-clockwise.
class TFont : public TPersistent {
public:
  TFont() = default;
  const std::string& Name() const { return FName; }
  int32_t Height() const { return FHeight; }
  int32_t Size() const;
  TColor Color() const { return FColor; }
  TFontStyles Style() const { return FStyle; }
  int32_t Orientation() const { return FOrientation; }
  int32_t PixelsPerInch() const { return FPixelsPerInch; }

  void SetName(const std::string& Value);
  void SetHeight(int32_t Value);
  void SetSize(int32_t Value);
  void SetColor(TColor Value);
  void SetStyle(TFontStyles Value);
  void SetOrientation(int32_t Value);
  void SetPixelsPerInch(int32_t Value);  // values below 1 are ignored
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  void Changed();
  std::string FName = "Tahoma";
  int32_t FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  int32_t FOrientation = 0;
  int32_t FPixelsPerInch = 96;
};

// The screen's resolution in pixels per inch (96 unless the host reports another).
int32_t ScreenPixelsPerInch();
void SetScreenPixelsPerInch(int32_t Value);

// a * b / c rounded to the nearest integer (halves away from zero), with a 64-bit
// intermediate; c = 0 gives -1.
int32_t MulDiv(int32_t A, int32_t B, int32_t C);

} // namespace zef
