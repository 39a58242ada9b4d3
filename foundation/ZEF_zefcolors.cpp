#include "ZEF_zefcolors.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "ZEF_stringl.h"
#include "rtl/mathfn.h"
#include "rtl/numconv.h"

namespace zef {

namespace {

uint8_t Channel(double V) { return static_cast<uint8_t>(std::clamp<int64_t>(Round(V), 0, 255)); }

double Clamp01(double V) { return V >= 0 ? (V <= 1 ? V : 1) : 0; }  // NaN gives 0

// Hue brought into 0..360 by whole turns (NaN and infinities give 0).
double NormalHue(double H) {
  if (!std::isfinite(H)) return 0;
  H = std::fmod(H, 360.0);
  return H < 0 ? H + 360 : H;
}

// The hue of a colour from its channels, with Max the largest and Delta = Max - Min > 0.
double HueOf(double R, double G, double B, double Max, double Delta) {
  double H;
  if (R == Max)
    H = (G - B) / Delta;
  else if (G == Max)
    H = (B - R) / Delta + 2;
  else
    H = (R - G) / Delta + 4;
  H *= 60;
  return H < 0 ? H + 360 : H;
}

// (r1, g1, b1) of the HSL and HSI sectors 0..5.
void SectorRGB(int Sector, double C, double X, double& R, double& G, double& B) {
  switch (Sector) {
    case 0: R = C, G = X, B = 0; break;
    case 1: R = X, G = C, B = 0; break;
    case 2: R = 0, G = C, B = X; break;
    case 3: R = 0, G = X, B = C; break;
    case 4: R = X, G = 0, B = C; break;
    default: R = C, G = 0, B = X; break;
  }
}

TColor RGBModulo(int32_t R, int32_t G, int32_t B) {
  return RGB(static_cast<uint8_t>(R & 255), static_cast<uint8_t>(G & 255), static_cast<uint8_t>(B & 255));
}

// Reads an integer of the colour-array header; false when there are no digits.
bool ReadHeaderNumber(std::string_view S, std::size_t& Pos, int32_t& Value) {
  while (Pos <= S.size() && S[Pos - 1] == ' ') ++Pos;
  std::size_t P = Pos;
  if (P <= S.size() && (S[P - 1] == '+' || S[P - 1] == '-')) ++P;
  if (P > S.size() || !IsDigit(static_cast<unsigned char>(S[P - 1]))) return false;
  Value = ScanDecimal(S, Pos);
  return true;
}

// A colour line: blanks, an optional "$" and hexadecimal digits; false when there are none.
bool ReadColorLine(std::string_view S, TColor& Color) {
  std::size_t I = S.find_first_not_of(' ');
  if (I == std::string_view::npos) return false;
  if (S[I] == '$') ++I;
  if (I >= S.size() || !IsHexChar(static_cast<unsigned char>(S[I]))) return false;
  Color = HexStrToColor(S.substr(I));
  return true;
}

} // namespace

// ---- TColorArray ---------------------------------------------------------------------------

TColorArray::TColorArray(TComponent* AOwner) : TComponent(AOwner) {
  try {
    FColors.resize(1000);
    FillByInterpolation(0, ColorArray_Rainbow);
    FBackup = FColors;
  } catch (const std::bad_alloc&) {
    throw EZEFColArrayError(ComponentMessage(Name(), "not enough memory on heap"));
  }
}

void TColorArray::SetSize(int32_t Value) {
  if (Value >= 1 && Value != Size()) Resize(Value);
}

TColor TColorArray::ColorElem(int32_t Ix) const {
  return FColors[static_cast<std::size_t>(std::clamp(Ix, 1, Size()) - 1)];
}

void TColorArray::SetColorElem(int32_t Ix, TColor Value) {
  if (Ix < 1 || Ix > Size()) return;
  FColors[static_cast<std::size_t>(Ix - 1)] = Value;
  Changed();
}

void TColorArray::Changed() {
  if (OnChange) OnChange(this);
}

void TColorArray::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TColorArray*>(&Source)) {
    if (S == this) return;
    FColors = S->FColors;
    FBackup = S->FBackup;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

bool TColorArray::IsEqual(const TColorArray& Other) const { return FColors == Other.FColors; }

bool TColorArray::Resize(int32_t NewSize) {
  if (NewSize < 1) return false;
  if (NewSize == Size()) return true;
  try {
    if (NewSize > MaxColorArraySize) throw std::bad_alloc();
    std::vector<TColor> Colors = FColors;
    std::vector<TColor> Backup = FBackup;
    Colors.resize(static_cast<std::size_t>(NewSize), clBlack);
    Backup.resize(static_cast<std::size_t>(NewSize), clBlack);
    FColors.swap(Colors);
    FBackup.swap(Backup);
  } catch (const std::bad_alloc&) {
    throw EZEFColArrayError(ComponentMessage(Name(), "not enough memory"));
  }
  Changed();
  return true;
}

void TColorArray::Fill(TColor Color) {
  std::fill(FColors.begin(), FColors.end(), Color);
  Changed();
}

void TColorArray::FillByInterpolation(int32_t DiscreteLevels, std::span<const TColor> Colors) {
  if (Colors.empty()) return;
  if (Colors.size() == 1) {
    Fill(Colors[0]);
    return;
  }
  const int64_t N = Size();
  const int64_t H = static_cast<int64_t>(Colors.size()) - 1;
  const int64_t Levels = DiscreteLevels;
  for (int64_t I = 1; I <= N; ++I) {
    int64_t B = I;
    if (Levels > 0) {
      // Level 1..Levels of element I; the elements before the middle of the first step
      // belong to level 1 as well, so that there are exactly Levels steps and the last one
      // ends on the last colour.
      const int64_t Level =
          std::clamp<int64_t>(Round(static_cast<long double>(I) / N * Levels), 1, Levels);
      B = std::clamp<int64_t>(Round(static_cast<long double>(Level) * N / Levels), 1, N);
    }
    // Position B/N along the list; the pair of colours is taken around that position, so
    // that the fraction stays within 0..1 also when the list is longer than the array.
    const double X = static_cast<double>(H) * static_cast<double>(B) / static_cast<double>(N);
    const int64_t K = std::clamp<int64_t>(Trunc(X), 0, H - 1);
    const double F = X - static_cast<double>(K);
    FColors[static_cast<std::size_t>(I - 1)] =
        InterpolateColor(Colors[static_cast<std::size_t>(K)], Colors[static_cast<std::size_t>(K + 1)], F);
  }
  Changed();
}

void TColorArray::MirrorColors() {
  std::reverse(FColors.begin(), FColors.end());
  Changed();
}

void TColorArray::InvertColors() {
  for (TColor& C : FColors) C = InvertColor(C);
  Changed();
}

void TColorArray::ReverseRGB() {
  for (TColor& C : FColors) C = ReverseRGBColor(C);
  Changed();
}

void TColorArray::Backup() { FBackup = FColors; }

void TColorArray::Restore() {
  FColors = FBackup;
  Changed();
}

void TColorArray::LogTransform(double Gamma) {
  const int64_t N = Size();
  if (N <= 1) return;
  Gamma = Clamp01(Gamma);
  const double LnN = std::log(static_cast<double>(N));
  // Element i takes the colour of element j >= i, so the sources are still unchanged.
  for (int64_t I = 1; I <= N; ++I) {
    const double X = std::log(static_cast<double>(I)) * Gamma * static_cast<double>(N) / LnN +
                     (1 - Gamma) * static_cast<double>(I - 1);
    const int64_t J = std::clamp<int64_t>(Round(X) + 1, 1, N);
    FColors[static_cast<std::size_t>(I - 1)] = FColors[static_cast<std::size_t>(J - 1)];
  }
  Changed();
}

int32_t TColorArray::ColorToIndex(TColor Color, double& Distance) const {
  int32_t Best = 1;
  Distance = 1;
  for (std::size_t I = 0; I < FColors.size(); ++I) {
    const double D = RGBColorDistance(FColors[I], Color);
    if (D < Distance) {
      Distance = D;
      Best = static_cast<int32_t>(I) + 1;
    }
  }
  return Best;
}

void TColorArray::CopyFrom(const TColorArray& Source, int32_t SourceElemLo, int32_t SourceElemHi,
                           int32_t DestElem) {
  int32_t Lo = std::clamp(SourceElemLo, 1, Source.Size());
  int32_t Hi = std::clamp(SourceElemHi, 1, Source.Size());
  if (Lo > Hi) std::swap(Lo, Hi);
  // Read from a copy: the source may be this array.
  const std::vector<TColor> From(Source.FColors.begin() + (Lo - 1), Source.FColors.begin() + Hi);
  for (int64_t Ix = Lo; Ix <= Hi; ++Ix) {
    const int64_t D = int64_t{DestElem} + (Ix - Lo);
    if (D >= 1 && D <= Size())
      FColors[static_cast<std::size_t>(D - 1)] = From[static_cast<std::size_t>(Ix - Lo)];
  }
  Changed();
}

bool TColorArray::ReadFromOpenTextFile(TTextFile& F, bool AdjustSize) {
  try {
    if (Eof(F)) return false;
    std::string Line;
    ReadLn(F, Line);
    std::size_t Pos = 1;
    int32_t First = 0, Last = 0;
    if (!ReadHeaderNumber(Line, Pos, First) || !ReadHeaderNumber(Line, Pos, Last)) return false;
    const int32_t NewSize = AdjustSize && Last >= 1 ? Last : Size();
    if (NewSize < Last) return false;
    if (NewSize > MaxColorArraySize) return false;
    // The lines are read before anything changes, so that a file cut short leaves the
    // array as it was; only as many lines as the file holds are kept.
    const int64_t Count = int64_t{Last} - First + 1;
    std::vector<std::pair<int64_t, TColor>> Values;
    for (int64_t K = 0; K < Count; ++K) {
      if (Eof(F)) return false;
      ReadLn(F, Line);
      TColor C = 0;
      const int64_t Ix = First + K;
      if (Ix >= 1 && Ix <= NewSize && ReadColorLine(Line, C)) Values.emplace_back(Ix, C);
    }
    if (NewSize != Size()) Resize(NewSize);
    for (const auto& [Ix, C] : Values) FColors[static_cast<std::size_t>(Ix - 1)] = C;
    Changed();
    return true;
  } catch (const Exception&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool TColorArray::LoadFromFile(const std::string& FileName, bool AdjustSize) {
  try {
    TTextFile F;
    AssignFile(F, FileName);
    Reset(F);
    const bool Ok = ReadFromOpenTextFile(F, AdjustSize);
    CloseFile(F);
    return Ok;
  } catch (const Exception&) {
    return false;
  }
}

bool TColorArray::WriteToOpenTextFile(TTextFile& F, int32_t FirstElem, int32_t LastElem) const {
  FirstElem = std::max(FirstElem, 1);
  LastElem = std::min(LastElem, Size());
  if (FirstElem > LastElem) std::swap(FirstElem, LastElem);
  try {
    WriteLn(F, std::to_string(FirstElem) + " " + std::to_string(LastElem));
    for (int32_t Ix = FirstElem; Ix <= LastElem; ++Ix) WriteLn(F, ColorToHexStr(ColorElem(Ix)));
    return true;
  } catch (const Exception&) {
    return false;
  }
}

bool TColorArray::StoreOnFile(int32_t FirstElem, int32_t LastElem, const std::string& FileName) const {
  try {
    TTextFile F;
    AssignFile(F, FileName);
    Rewrite(F);
    const bool Ok = WriteToOpenTextFile(F, FirstElem, LastElem);
    CloseFile(F);
    return Ok;
  } catch (const Exception&) {
    return false;
  }
}

// ---- Interpolation, names, gray ------------------------------------------------------------

TColor InterpolateColor(TColor C1, TColor C2, double Frac) {
  const double F = Clamp01(Frac);
  auto Mix = [F](uint8_t A, uint8_t B) {
    return static_cast<uint8_t>(std::clamp<int64_t>(Trunc(A + (B - A) * F), 0, 255));
  };
  return RGB(Mix(GetRValue(C1), GetRValue(C2)), Mix(GetGValue(C1), GetGValue(C2)),
             Mix(GetBValue(C1), GetBValue(C2)));
}

TColor Interpolate3Colors(TColor C1, TColor C2, TColor C3, double Frac) {
  const double F = Clamp01(Frac);
  return F <= 0.5 ? InterpolateColor(C1, C2, 2 * F) : InterpolateColor(C2, C3, 2 * (F - 0.5));
}

TColor MeanColor(TColor C1, TColor C2) { return InterpolateColor(C1, C2, 0.5); }

TColor ReverseRGBColor(TColor Col) { return RGB(GetBValue(Col), GetGValue(Col), GetRValue(Col)); }

TColor InvertColor(TColor Col) {
  return RGB(255 - GetRValue(Col), 255 - GetGValue(Col), 255 - GetBValue(Col));
}

std::string ColorToHexStr(TColor Col) { return IntToHex(Col, 8); }

TColor HexStrToColor(std::string_view Text) {
  const std::string T = StripLTBlanks(Text);
  std::size_t Pos = 1;
  return ScanHexadecimal(T, Pos);
}

uint8_t RGBtoGray(uint8_t R, uint8_t G, uint8_t B) { return Channel(0.3 * R + 0.59 * G + 0.11 * B); }

TColor RGBtoGrayColor(uint8_t R, uint8_t G, uint8_t B) {
  const uint8_t Gray = RGBtoGray(R, G, B);
  return RGB(Gray, Gray, Gray);
}

uint8_t ColorToGray(TColor Col) { return RGBtoGray(GetRValue(Col), GetGValue(Col), GetBValue(Col)); }

TColor ColorToGrayColor(TColor Col) {
  return RGBtoGrayColor(GetRValue(Col), GetGValue(Col), GetBValue(Col));
}

double RGBColorDistance(TColor C1, TColor C2) {
  const double DR = GetRValue(C1) - GetRValue(C2);
  const double DG = GetGValue(C1) - GetGValue(C2);
  const double DB = GetBValue(C1) - GetBValue(C2);
  return std::sqrt((DR * DR + DG * DG + DB * DB) / 195075.0);
}

TColor RandomColor() { return RandomColor(0, 255, 0, 255, 0, 255); }

TColor RandomColor(uint8_t RLo, uint8_t RHi, uint8_t GLo, uint8_t GHi, uint8_t BLo, uint8_t BHi) {
  auto Pick = [](uint8_t Lo, uint8_t Hi) {
    if (Lo > Hi) std::swap(Lo, Hi);
    return static_cast<uint8_t>(Lo + Random(Hi - Lo + 1));
  };
  const uint8_t R = Pick(RLo, RHi);
  const uint8_t G = Pick(GLo, GHi);
  return RGB(R, G, Pick(BLo, BHi));
}

std::string ObtainColorName(TColor Col) {
  const auto It = std::find(AllZEFColors.begin(), AllZEFColors.end(), Col);
  if (It == AllZEFColors.end()) return ColorToHexStr(Col);
  return AllZEFColorNames[static_cast<std::size_t>(It - AllZEFColors.begin())];
}

TColor WavelengthToColor(int32_t Wavelength, double Gamma) {
  const double W = Wavelength;
  double R = 0, G = 0, B = 0;
  if (W >= 380 && W < 440) {
    R = (440 - W) / 60, B = 1;
  } else if (W >= 440 && W < 490) {
    G = (W - 440) / 50, B = 1;
  } else if (W >= 490 && W < 510) {
    G = 1, B = (510 - W) / 20;
  } else if (W >= 510 && W < 580) {
    R = (W - 510) / 70, G = 1;
  } else if (W >= 580 && W < 645) {
    R = 1, G = (645 - W) / 65;
  } else if (W >= 645 && W < 780) {
    R = 1;
  }
  double Factor = 1;
  if (W > 700)
    Factor = 0.3 + 0.7 * (780 - W) / 80;
  else if (W < 420)
    Factor = 0.3 + 0.7 * (W - 380) / 40;
  Factor = std::max(Factor, 0.0);
  auto Out = [Factor, Gamma](double V) {
    if (V == 0 || Factor == 0) return uint8_t{0};
    return Channel(std::pow(V * Factor, Gamma) * 255);
  };
  return RGB(Out(R), Out(G), Out(B));
}

// ---- Colour models -------------------------------------------------------------------------

void RGBtoHSL(int32_t R, int32_t G, int32_t B, double& H, double& S, double& L) {
  const double Rf = Clamp01(R / 255.0), Gf = Clamp01(G / 255.0), Bf = Clamp01(B / 255.0);
  const double Max = std::max({Rf, Gf, Bf});
  const double Min = std::min({Rf, Gf, Bf});
  const double D = Max - Min;
  L = (Max + Min) / 2;
  H = D == 0 ? 0 : HueOf(Rf, Gf, Bf, Max, D);
  S = D == 0 ? 0 : D / (1 - std::fabs(2 * L - 1));
}

void RGBtoHSV(int32_t R, int32_t G, int32_t B, double& H, double& S, double& V) {
  const double Rf = R, Gf = G, Bf = B;
  const double Max = std::max({Rf, Gf, Bf});
  const double Min = std::min({Rf, Gf, Bf});
  V = Max / 255;
  if (Max == 0) {
    S = 0, H = 0;
    return;
  }
  S = (Max - Min) / Max;
  H = S == 0 ? -1 : HueOf(Rf, Gf, Bf, Max, Max - Min);
}

void RGBtoHSI(int32_t R, int32_t G, int32_t B, double& H, double& S, double& I) {
  const double Rf = R, Gf = G, Bf = B;
  const double Max = std::max({Rf, Gf, Bf});
  const double Min = std::min({Rf, Gf, Bf});
  I = (Rf + Gf + Bf) / 3 / 255;
  if (Max == 0 || !(I > 0)) {
    S = 0, H = 0;
    return;
  }
  S = 1 - (Min / 255) / I;
  H = S == 0 ? -1 : HueOf(Rf, Gf, Bf, Max, Max - Min);
}

void ColorToHSL(TColor Col, double& H, double& S, double& L) {
  RGBtoHSL(GetRValue(Col), GetGValue(Col), GetBValue(Col), H, S, L);
}
void ColorToHSV(TColor Col, double& H, double& S, double& V) {
  RGBtoHSV(GetRValue(Col), GetGValue(Col), GetBValue(Col), H, S, V);
}
void ColorToHSI(TColor Col, double& H, double& S, double& I) {
  RGBtoHSI(GetRValue(Col), GetGValue(Col), GetBValue(Col), H, S, I);
}

void HSLtoRGB(double H, double S, double L, int32_t& R, int32_t& G, int32_t& B) {
  H = NormalHue(H);
  S = Clamp01(S);
  L = Clamp01(L);
  const double C = (1 - std::fabs(2 * L - 1)) * S;
  const double Hp = H / 60;
  const double X = C * (1 - std::fabs(2 * (Hp / 2 - std::trunc(Hp / 2)) - 1));
  double R1, G1, B1;
  SectorRGB(static_cast<int>(std::trunc(Hp)), C, X, R1, G1, B1);
  const double M = L - C / 2;
  R = Channel((R1 + M) * 255), G = Channel((G1 + M) * 255), B = Channel((B1 + M) * 255);
}

void HSVtoRGB(double H, double S, double V, int32_t& R, int32_t& G, int32_t& B) {
  if (!(H >= 0 && H < 360)) H = 0;
  S = Clamp01(S);
  V = Clamp01(V);
  if (S == 0) {
    R = G = B = Channel(V * 255);
    return;
  }
  const double Hp = H / 60;
  const int I = static_cast<int>(std::trunc(Hp));
  const double F = Hp - I;
  const double Vv = 255 * V, P = 255 * V * (1 - S), Q = 255 * V * (1 - F * S),
               T = 255 * V * (1 - (1 - F) * S);
  double Rf, Gf, Bf;
  switch (I) {
    case 0: Rf = Vv, Gf = T, Bf = P; break;
    case 1: Rf = Q, Gf = Vv, Bf = P; break;
    case 2: Rf = P, Gf = Vv, Bf = T; break;
    case 3: Rf = P, Gf = Q, Bf = Vv; break;
    case 4: Rf = T, Gf = P, Bf = Vv; break;
    default: Rf = Vv, Gf = P, Bf = Q; break;
  }
  R = Channel(Rf), G = Channel(Gf), B = Channel(Bf);
}

void HSItoRGB(double H, double S, double I, int32_t& R, int32_t& G, int32_t& B) {
  H = NormalHue(H);
  S = Clamp01(S);
  I = Clamp01(I);
  const double Hp = H / 60;
  const double Z = 1 - std::fabs(2 * (Hp / 2 - std::trunc(Hp / 2)) - 1);
  const double C = 3 * I * S / (1 + Z);
  const double X = Z * C;
  double R1, G1, B1;
  SectorRGB(static_cast<int>(std::trunc(Hp)), C, X, R1, G1, B1);
  const double M = I * (1 - S);
  R = Channel(std::min(R1 + M, 1.0) * 255);
  G = Channel(std::min(G1 + M, 1.0) * 255);
  B = Channel(std::min(B1 + M, 1.0) * 255);
}

TColor HSLtoColor(double H, double S, double L) {
  int32_t R, G, B;
  HSLtoRGB(H, S, L, R, G, B);
  return RGBModulo(R, G, B);
}
TColor HSVtoColor(double H, double S, double V) {
  int32_t R, G, B;
  HSVtoRGB(H, S, V, R, G, B);
  return RGBModulo(R, G, B);
}
TColor HSItoColor(double H, double S, double I) {
  int32_t R, G, B;
  HSItoRGB(H, S, I, R, G, B);
  return RGBModulo(R, G, B);
}

void RGBtoCMY(uint8_t R, uint8_t G, uint8_t B, double& C, double& M, double& Y) {
  C = 1 - R / 255.0, M = 1 - G / 255.0, Y = 1 - B / 255.0;
}

void CMYtoRGB(double C, double M, double Y, uint8_t& R, uint8_t& G, uint8_t& B) {
  R = Channel((1 - Clamp01(C)) * 255);
  G = Channel((1 - Clamp01(M)) * 255);
  B = Channel((1 - Clamp01(Y)) * 255);
}

void CMYtoCMYK(double& C, double& M, double& Y, double& K) {
  C = Clamp01(C), M = Clamp01(M), Y = Clamp01(Y);
  K = std::min({C, M, Y});
  C -= K, M -= K, Y -= K;
}

void CMYKtoCMY(double& C, double& M, double& Y, double K) {
  C = Clamp01(C + K), M = Clamp01(M + K), Y = Clamp01(Y + K);
}

} // namespace zef
