// Colour models and colour arrays: conversions between TColor ($00BBGGRR) and HSL, HSV, HSI,
// CMY, CMYK, gray and visible wavelengths, colour interpolation and names, fixed colour
// tables, and TColorArray, the palette behind colour-coded plots.
//
// Functions that compute colours return values with a high byte of 0; they work on the three
// low bytes of their arguments (system colours are not resolved). "round" is to the nearest
// integer with halves to even.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ZEF_zefbase.h"
#include "classes/object.h"
#include "graphics/colors.h"
#include "rtl/textfile.h"

namespace zef {

// ---- Tables --------------------------------------------------------------------------------

// The sixteen basic colours, money green, sky blue, cream, medium gray and the system colour
// markers (active border ... window text, "default" and "none" among them).
extern const std::array<TColor, 47> PredefinedColors;
// The X11 base colours in alphabetical order of their names.
extern const std::array<TColor, 145> X11Colors;
// Parallel tables: the basic colours, MoneyGreen, Cream, MedGray, then the X11 names with
// their numbered variants (and Bronze, Carbon) in alphabetical order.
extern const std::array<TColor, 466> AllZEFColors;
extern const std::array<const char*, 466> AllZEFColorNames;
// Colour lists for palettes.
extern const std::array<TColor, 11> ColorArray_Rainbow;
extern const std::array<TColor, 11> ColorArray_Geo1;
extern const std::array<TColor, 11> ColorArray_Geo2;
extern const std::array<TColor, 11> ColorArray_Geo3;
extern const std::array<TColor, 7> ColorArray_Circle;
extern const std::array<TColor, 7> ColorArray_MorgenStemning;
extern const std::array<TColor, 16> ColorArray_Contrast;

// ---- TColorArray ---------------------------------------------------------------------------

// The most colours a TColorArray holds; larger sizes fail as if memory ran out.
inline constexpr int32_t MaxColorArraySize = 1 << 24;

// A palette of Size colours, indexed 1..Size, with a backup copy. Every method that changes
// colours ends by calling Changed.
//
// The colour-array text file: a first line with the first and last element index in decimal
// separated by one blank, then one line per element with the colour as eight upper-case
// hexadecimal digits.
class TColorArray : public TComponent {
public:
  // 1000 colours interpolated from ColorArray_Rainbow; the backup holds the same. Raises
  // EZEFColArrayError "Component \"<Name>\": not enough memory on heap" when memory runs out.
  explicit TColorArray(TComponent* AOwner);

  int32_t Size() const { return static_cast<int32_t>(FColors.size()); }
  // Ignores values below 1 and the current size; otherwise Resize.
  void SetSize(int32_t Value);
  // Element ix; an index below 1 reads element 1, above Size element Size.
  TColor ColorElem(int32_t Ix) const;
  // Ignored outside 1..Size; notifies.
  void SetColorElem(int32_t Ix, TColor Value);
  // The colours, element 1 first.
  const std::vector<TColor>& Colors() const { return FColors; }

  void Changed();
  // From another TColorArray: the size, the colours and the backup.
  void Assign(const TPersistent& Source) override;
  // Same size and same colours.
  bool IsEqual(const TColorArray& Other) const;
  // A size below 1 gives false and changes nothing; growing adds black colours, shrinking
  // drops the tail. Raises EZEFColArrayError "Component \"<Name>\": not enough memory" when
  // memory runs out (or NewSize exceeds MaxColorArraySize).
  bool Resize(int32_t NewSize);
  void Fill(TColor Color);
  // Spreads Colors over the array; element Size is exactly the last colour. With
  // DiscreteLevels > 0 the palette has that many flat steps. An empty list changes nothing,
  // a single colour fills the array.
  void FillByInterpolation(int32_t DiscreteLevels, std::span<const TColor> Colors);
  // Reverses the order of the colours.
  void MirrorColors();
  void InvertColors();
  void ReverseRGB();
  // Copies the colours to the backup (no notification), or back from it.
  void Backup();
  void Restore();
  // Stretches the low end of the palette logarithmically; Gamma (0..1) blends between the
  // logarithmic (1) and the unchanged (0) mapping. A one-element array stays unchanged.
  void LogTransform(double Gamma);
  // The 1-based index of the element nearest to Color (RGBColorDistance; the first on ties)
  // and that distance; 1 with distance 1 when none is nearer than 1.
  int32_t ColorToIndex(TColor Color, double& Distance) const;
  // Copies source elements SourceElemLo..SourceElemHi (clamped to the source, exchanged when
  // in the wrong order) to DestElem onwards, skipping destinations outside 1..Size.
  void CopyFrom(const TColorArray& Source, int32_t SourceElemLo, int32_t SourceElemHi,
                int32_t DestElem);

  // Reads a colour-array text block from the current position. With AdjustSize the array
  // takes the last index as its size; without it, Size must be at least the last index.
  // Elements outside 1..Size are read but not stored; a line without a hexadecimal number
  // leaves its element as it was. False (and the array unchanged) for a bad header, a file
  // that ends before the last element, or an array too small; never raises.
  bool ReadFromOpenTextFile(TTextFile& F, bool AdjustSize);
  bool LoadFromFile(const std::string& FileName, bool AdjustSize);
  // Writes elements FirstElem..LastElem (clamped to 1..Size, exchanged when in the wrong
  // order); false when writing fails.
  bool WriteToOpenTextFile(TTextFile& F, int32_t FirstElem, int32_t LastElem) const;
  bool StoreOnFile(int32_t FirstElem, int32_t LastElem, const std::string& FileName) const;

  TNotifyEvent OnChange;

private:
  std::vector<TColor> FColors;
  std::vector<TColor> FBackup;
};

// ---- Interpolation, names, gray ------------------------------------------------------------

// Per channel trunc(c1 + (c2 - c1) f), f = Frac clamped to 0..1.
TColor InterpolateColor(TColor C1, TColor C2, double Frac);
// C1 to C2 for Frac up to 0.5, then C2 to C3.
TColor Interpolate3Colors(TColor C1, TColor C2, TColor C3, double Frac);
TColor MeanColor(TColor C1, TColor C2);
// Red and blue exchanged.
TColor ReverseRGBColor(TColor Col);
TColor InvertColor(TColor Col);
// Eight upper-case hexadecimal digits of the whole value, no prefix.
std::string ColorToHexStr(TColor Col);
// Trimmed of blanks, an optional "$", then hexadecimal digits up to the first other
// character; empty gives 0.
TColor HexStrToColor(std::string_view Text);
// round(0.3 R + 0.59 G + 0.11 B).
uint8_t RGBtoGray(uint8_t R, uint8_t G, uint8_t B);
TColor RGBtoGrayColor(uint8_t R, uint8_t G, uint8_t B);
uint8_t ColorToGray(TColor Col);
TColor ColorToGrayColor(TColor Col);
// sqrt((dr^2 + dg^2 + db^2) / (3 * 255^2)), from 0 to 1.
double RGBColorDistance(TColor C1, TColor C2);
// Every channel uniform in 0..255, or in Lo..Hi.
TColor RandomColor();
TColor RandomColor(uint8_t RLo, uint8_t RHi, uint8_t GLo, uint8_t GHi, uint8_t BLo, uint8_t BHi);
// The name of the first row of AllZEFColors equal to Col, else ColorToHexStr(Col).
std::string ObtainColorName(TColor Col);
// The colour of visible light of Wavelength nanometres (380..779; black outside), dimmed
// towards both ends of the spectrum, each channel raised to Gamma.
TColor WavelengthToColor(int32_t Wavelength, double Gamma);

// ---- Colour models -------------------------------------------------------------------------
// Hue in degrees (0..360), the other components 0..1. RGBtoHSV and RGBtoHSI give H = -1 for
// grays. Hues outside 0..360 are brought into range by whole turns.

void RGBtoHSL(int32_t R, int32_t G, int32_t B, double& H, double& S, double& L);
void RGBtoHSV(int32_t R, int32_t G, int32_t B, double& H, double& S, double& V);
void RGBtoHSI(int32_t R, int32_t G, int32_t B, double& H, double& S, double& I);
void ColorToHSL(TColor Col, double& H, double& S, double& L);
void ColorToHSV(TColor Col, double& H, double& S, double& V);
void ColorToHSI(TColor Col, double& H, double& S, double& I);
void HSLtoRGB(double H, double S, double L, int32_t& R, int32_t& G, int32_t& B);
// H below 0 or of 360 and more counts as 0.
void HSVtoRGB(double H, double S, double V, int32_t& R, int32_t& G, int32_t& B);
void HSItoRGB(double H, double S, double I, int32_t& R, int32_t& G, int32_t& B);
TColor HSLtoColor(double H, double S, double L);
TColor HSVtoColor(double H, double S, double V);
TColor HSItoColor(double H, double S, double I);
// C = 1 - R/255 and so on.
void RGBtoCMY(uint8_t R, uint8_t G, uint8_t B, double& C, double& M, double& Y);
// Inputs clamped to 0..1; R = round((1 - C) 255) and so on.
void CMYtoRGB(double C, double M, double Y, uint8_t& R, uint8_t& G, uint8_t& B);
// C, M, Y clamped to 0..1; K = min(C, M, Y), taken off each.
void CMYtoCMYK(double& C, double& M, double& Y, double& K);
// K added to each of C, M, Y, each then clamped to 0..1.
void CMYKtoCMY(double& C, double& M, double& Y, double K);

} // namespace zef
