#include "graphics/fonts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <numbers>

#include "rtl/strings.h"

namespace zef {

namespace {

// One lock serialises the current-engine slot, the engines and their faces: engines and
// faces cache freely and need no locks of their own.
std::recursive_mutex& TextLock() {
  static std::recursive_mutex M;
  return M;
}

// A face's glyph cache is emptied when it would exceed either bound (huge sizes make huge
// images, so the bytes count too).
constexpr std::size_t kMaxCachedGlyphs = 4096;
constexpr std::size_t kMaxCachedGlyphBytes = std::size_t(32) << 20;
constexpr std::size_t kMaxCachedFaces = 64;

bool IsControl(char32_t C) { return C < 0x20 || (C >= 0x7F && C < 0xA0); }

int32_t NormalAngle(int32_t Angle) {
  const int32_t A = Angle % 3600;
  return A < 0 ? A + 3600 : A;
}

bool ImageIsSound(const TGlyphImage& G) {
  return G.Width >= 0 && G.Height >= 0 &&
         G.Coverage.size() == static_cast<std::size_t>(G.Width) * static_cast<std::size_t>(G.Height);
}

// The upright image turned by Quarters * 90 degrees counter-clockwise. A pixel (a, b) from
// the pen position goes to (b, -a - 1), (-a - 1, -b - 1) or (-b - 1, a).
TGlyphImage QuarterTurn(const TGlyphImage& S, int32_t Quarters) {
  TGlyphImage R;
  const int32_t W = S.Width, H = S.Height;
  const bool Swap = Quarters % 2 == 1;
  R.Width = Swap ? H : W;
  R.Height = Swap ? W : H;
  R.Coverage.resize(S.Coverage.size());
  switch (Quarters) {
    case 1: R.Left = S.Top; R.Top = -S.Left - W; break;
    case 2: R.Left = -S.Left - W; R.Top = -S.Top - H; break;
    default: R.Left = -S.Top - H; R.Top = S.Left; break;
  }
  for (int32_t GY = 0; GY < H; ++GY)
    for (int32_t GX = 0; GX < W; ++GX) {
      int32_t DX, DY;
      switch (Quarters) {
        case 1: DX = GY; DY = W - 1 - GX; break;
        case 2: DX = W - 1 - GX; DY = H - 1 - GY; break;
        default: DX = H - 1 - GY; DY = GX; break;
      }
      R.Coverage[static_cast<std::size_t>(DY) * R.Width + DX] =
          S.Coverage[static_cast<std::size_t>(GY) * W + GX];
    }
  return R;
}

// The rotation of the text: a point (u, v) of the upright cell (u along the text, v down)
// lies at (X + u Cos + v Sin, Y - u Sin + v Cos). Multiples of 90 degrees are exact.
struct TRotation {
  double Cos = 1;
  double Sin = 0;
  int32_t Quarters = 0;  // 0..3 for multiples of 90 degrees, -1 otherwise

  explicit TRotation(int32_t Angle) {
    if (Angle % 900 == 0) {
      Quarters = Angle / 900;
      static constexpr int kCos[4] = {1, 0, -1, 0};
      static constexpr int kSin[4] = {0, 1, 0, -1};
      Cos = kCos[Quarters];
      Sin = kSin[Quarters];
    } else {
      Quarters = -1;
      const double T = Angle * std::numbers::pi / 1800.0;
      Cos = std::cos(T);
      Sin = std::sin(T);
    }
  }
};

int64_t Clamp64(int64_t V, int64_t Lo, int64_t Hi) { return std::min(std::max(V, Lo), Hi); }

// Drawing into one bitmap inside one clip (already within the bitmap).
class TTextPainter {
public:
  TTextPainter(TBitmap& Target, const TRect& Clip)
      : FTarget(Target), FClip(Clip), FFormat(Target.PixelFormat()),
        FQuantize(FormatQuantizes(Target.PixelFormat())) {}

  bool ClipEmpty() const { return FClip.Left >= FClip.Right || FClip.Top >= FClip.Bottom; }
  const TRect& Clip() const { return FClip; }

  // Fills the surface pixels [X0, X1) x [Y0, Y1).
  void FillBox(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, TColor Color) {
    const int64_t L = std::max<int64_t>(X0, FClip.Left), R = std::min<int64_t>(X1, FClip.Right);
    const int64_t T = std::max<int64_t>(Y0, FClip.Top), B = std::min<int64_t>(Y1, FClip.Bottom);
    if (L >= R || T >= B) return;
    const uint32_t P = FQuantize ? QuantizeColor(Color, FFormat) : Color;
    for (int64_t Y = T; Y < B; ++Y) {
      uint32_t* Row = FTarget.ScanLine(static_cast<int32_t>(Y));
      std::fill(Row + L, Row + R, P);
    }
  }

  // Fills the pixels whose centres lie in the upright rectangle [U0, U1) x [V0, V1) of the
  // cell turned by Rot about (X, Y).
  void FillCellRect(int64_t X, int64_t Y, const TRotation& Rot, int64_t U0, int64_t V0,
                    int64_t U1, int64_t V1, TColor Color) {
    if (U0 >= U1 || V0 >= V1) return;
    switch (Rot.Quarters) {
      case 0: FillBox(X + U0, Y + V0, X + U1, Y + V1, Color); return;
      case 1: FillBox(X + V0, Y - U1, X + V1, Y - U0, Color); return;
      case 2: FillBox(X - U1, Y - V1, X - U0, Y - V0, Color); return;
      case 3: FillBox(X - V1, Y + U0, X - V0, Y + U1, Color); return;
      default: break;
    }
    // Rows of the bounding box of the turned rectangle, each cut by the four edges: for
    // the pixel centre (px + 0.5, py + 0.5), u = dx Cos - dy Sin and v = dx Sin + dy Cos
    // with dx = px + 0.5 - X, dy = py + 0.5 - Y.
    const double C = Rot.Cos, S = Rot.Sin;
    double MinY = 1e300, MaxY = -1e300;
    for (const auto& [U, V] : {std::pair{U0, V0}, std::pair{U1, V0}, std::pair{U0, V1}, std::pair{U1, V1}}) {
      const double Py = static_cast<double>(Y) - static_cast<double>(U) * S + static_cast<double>(V) * C;
      MinY = std::min(MinY, Py);
      MaxY = std::max(MaxY, Py);
    }
    const int64_t T = std::max<int64_t>(static_cast<int64_t>(std::floor(MinY)), FClip.Top);
    const int64_t B = std::min<int64_t>(static_cast<int64_t>(std::ceil(MaxY)), FClip.Bottom);
    const uint32_t P = FQuantize ? QuantizeColor(Color, FFormat) : Color;
    for (int64_t Py = T; Py < B; ++Py) {
      const double Dy = static_cast<double>(Py) + 0.5 - static_cast<double>(Y);
      // Lo <= A * px + K < Hi for u and for v, px real; px integer from the intersection.
      double From = static_cast<double>(FClip.Left), To = static_cast<double>(FClip.Right);
      const auto Cut = [&](double A, double K, double Lo, double Hi) {
        if (std::abs(A) < 1e-12) {
          if (K < Lo || K >= Hi) To = From;
          return;
        }
        if (A > 0) {  // (Lo - K) / A <= px < (Hi - K) / A
          From = std::max(From, std::ceil((Lo - K) / A));
          To = std::min(To, std::ceil((Hi - K) / A));
        } else {      // (Hi - K) / A < px <= (Lo - K) / A
          From = std::max(From, std::floor((Hi - K) / A) + 1);
          To = std::min(To, std::floor((Lo - K) / A) + 1);
        }
      };
      const double X0 = 0.5 - static_cast<double>(X);
      Cut(C, X0 * C - Dy * S, static_cast<double>(U0), static_cast<double>(U1));
      Cut(S, X0 * S + Dy * C, static_cast<double>(V0), static_cast<double>(V1));
      if (From >= To) continue;
      uint32_t* Row = FTarget.ScanLine(static_cast<int32_t>(Py));
      std::fill(Row + static_cast<int64_t>(From), Row + static_cast<int64_t>(To), P);
    }
  }

  // Blends Color into the pixels under G, whose top-left pixel is at (X0, Y0).
  void BlendGlyph(int64_t X0, int64_t Y0, const TGlyphImage& G, TColor Color) {
    const int64_t L = std::max<int64_t>(X0, FClip.Left);
    const int64_t R = std::min<int64_t>(X0 + G.Width, FClip.Right);
    const int64_t T = std::max<int64_t>(Y0, FClip.Top);
    const int64_t B = std::min<int64_t>(Y0 + G.Height, FClip.Bottom);
    if (L >= R || T >= B) return;
    const uint32_t Solid = FQuantize ? QuantizeColor(Color, FFormat) : Color;
    for (int64_t Y = T; Y < B; ++Y) {
      uint32_t* Row = FTarget.ScanLine(static_cast<int32_t>(Y));
      const uint8_t* Cov =
          G.Coverage.data() + static_cast<std::size_t>(Y - Y0) * G.Width + static_cast<std::size_t>(L - X0);
      for (int64_t X = L; X < R; ++X) {
        const uint32_t A = Cov[X - L];
        if (A == 0) continue;
        if (A == 255) {
          Row[X] = Solid;
          continue;
        }
        const uint32_t Mixed = Blend(Row[X], Color, A);
        Row[X] = FQuantize ? QuantizeColor(Mixed, FFormat) : Mixed;
      }
    }
  }

private:
  // (D (255 - A) + S A) / 255 per channel, rounded; red and blue share one multiply, each
  // in its own 16-bit lane (at most 255 * 255 + 128 + 254 < 65536, so no carries cross).
  static uint32_t Blend(uint32_t D, uint32_t S, uint32_t A) {
    const uint32_t InvA = 255 - A;
    uint32_t RB = (D & 0xFF00FF) * InvA + (S & 0xFF00FF) * A + 0x800080;
    RB = ((RB + ((RB >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    uint32_t G = ((D >> 8) & 255) * InvA + ((S >> 8) & 255) * A + 128;
    G = (G + (G >> 8)) >> 8;
    return RB | (G << 8);
  }

  TBitmap& FTarget;
  TRect FClip;
  TPixelFormat FFormat;
  bool FQuantize;
};

// The sum of the advances of the printable characters of Text.
int64_t TextAdvance(TFontFace& Face, std::string_view Text) {
  int64_t W = 0;
  for (std::size_t I = 0; I < Text.size();) {
    const char32_t C = NextCodePoint(Text, I);
    if (!IsControl(C)) W += Face.Advance(C);
  }
  return W;
}

int32_t SaturatedInt(int64_t V) {
  return static_cast<int32_t>(Clamp64(V, INT32_MIN, INT32_MAX));
}

} // namespace

// ---- TFontFace -----------------------------------------------------------------------------

int32_t TFontFace::Advance(char32_t C) {
  if (C < 256) {
    if (FLatin1Advances.empty()) FLatin1Advances.assign(256, -1);
    int32_t& A = FLatin1Advances[C];
    if (A < 0) A = std::max(0, MeasureAdvance(C));
    return A;
  }
  if (auto It = FOtherAdvances.find(C); It != FOtherAdvances.end()) return It->second;
  if (FOtherAdvances.size() >= kMaxCachedGlyphs) FOtherAdvances.clear();
  return FOtherAdvances[C] = std::max(0, MeasureAdvance(C));
}

const TGlyphImage& TFontFace::Glyph(char32_t C, int32_t Angle, int32_t Phase) {
  Angle = NormalAngle(Angle);
  Phase = Angle % 900 == 0 ? 0 : (Phase & 15);
  const uint64_t Key = static_cast<uint64_t>(C & 0x1FFFFF) | (static_cast<uint64_t>(Angle) << 21) |
                       (static_cast<uint64_t>(Phase) << 33);
  if (auto It = FGlyphs.find(Key); It != FGlyphs.end()) return It->second;
  TGlyphImage Image;
  if (Angle == 0)
    Image = RenderGlyph(C, 0, 0);
  else if (Angle % 900 == 0)
    Image = QuarterTurn(Glyph(C, 0, 0), Angle / 900);
  else
    Image = RenderGlyph(C, Angle, Phase);
  if (!ImageIsSound(Image)) Image = TGlyphImage{};
  if (FGlyphs.size() >= kMaxCachedGlyphs || FGlyphBytes + Image.Coverage.size() > kMaxCachedGlyphBytes) {
    FGlyphs.clear();
    FGlyphBytes = 0;
  }
  FGlyphBytes += Image.Coverage.size();
  return FGlyphs.emplace(Key, std::move(Image)).first->second;
}

TGlyphImage TFontFace::RotateGlyphImage(const TGlyphImage& S, int32_t Angle, int32_t Phase) {
  const TRotation Rot(NormalAngle(Angle));
  const double C = Rot.Cos, Sn = Rot.Sin;
  const double PX = (Phase & 3) / 4.0, PY = ((Phase >> 2) & 3) / 4.0;
  TGlyphImage R;
  if (S.Width <= 0 || S.Height <= 0 || !ImageIsSound(S)) return R;
  // Bounding box of the turned source rectangle.
  double MinX = 1e300, MinY = 1e300, MaxX = -1e300, MaxY = -1e300;
  for (const double U : {double(S.Left), double(S.Left + S.Width)})
    for (const double V : {double(S.Top), double(S.Top + S.Height)}) {
      const double X = U * C + V * Sn + PX, Y = -U * Sn + V * C + PY;
      MinX = std::min(MinX, X);
      MaxX = std::max(MaxX, X);
      MinY = std::min(MinY, Y);
      MaxY = std::max(MaxY, Y);
    }
  R.Left = static_cast<int32_t>(std::floor(MinX));
  R.Top = static_cast<int32_t>(std::floor(MinY));
  R.Width = static_cast<int32_t>(std::ceil(MaxX)) - R.Left;
  R.Height = static_cast<int32_t>(std::ceil(MaxY)) - R.Top;
  R.Coverage.assign(static_cast<std::size_t>(R.Width) * R.Height, 0);
  for (int32_t Y = 0; Y < R.Height; ++Y)
    for (int32_t X = 0; X < R.Width; ++X) {
      uint32_t Sum = 0;
      for (int J = 0; J < 4; ++J)
        for (int I = 0; I < 4; ++I) {
          const double Px = R.Left + X + (I + 0.5) / 4 - PX;
          const double Py = R.Top + Y + (J + 0.5) / 4 - PY;
          const int32_t SX = static_cast<int32_t>(std::floor(Px * C - Py * Sn)) - S.Left;
          const int32_t SY = static_cast<int32_t>(std::floor(Px * Sn + Py * C)) - S.Top;
          if (SX >= 0 && SX < S.Width && SY >= 0 && SY < S.Height)
            Sum += S.Coverage[static_cast<std::size_t>(SY) * S.Width + SX];
        }
      R.Coverage[static_cast<std::size_t>(Y) * R.Width + X] = static_cast<uint8_t>((Sum + 8) / 16);
    }
  return R;
}

// ---- TFontEngine ---------------------------------------------------------------------------

std::size_t TFontEngine::TFaceKeyHash::operator()(const TFaceKey& K) const {
  std::size_t H = std::hash<std::string>{}(K.Family);
  H ^= std::hash<int32_t>{}(K.Height) + 0x9E3779B97F4A7C15ULL + (H << 6) + (H >> 2);
  return H ^ (static_cast<std::size_t>(K.Bold) << 1) ^ (static_cast<std::size_t>(K.Italic) << 2);
}

std::shared_ptr<TFontFace> TFontEngine::Face(const TFont& Font) {
  int32_t Height = Font.Height();
  if (Height == 0) Height = -11;
  Height = std::clamp(Height, -kMaxFontPixels, kMaxFontPixels);
  const bool Bold = Font.Style().Contains(fsBold);
  const bool Italic = Font.Style().Contains(fsItalic);
  if (FLastFace && FLastKey.Height == Height && FLastKey.Bold == Bold &&
      FLastKey.Italic == Italic && FLastKey.Family == Font.Name())
    return FLastFace;
  TFaceKey Key{Font.Name(), Height, Bold, Italic};
  auto It = FFaces.find(Key);
  if (It == FFaces.end()) {
    if (FFaces.size() >= kMaxCachedFaces) FFaces.clear();
    It = FFaces.emplace(Key, CreateFace(Font.Name(), Height, Bold, Italic)).first;
  }
  FLastKey = std::move(Key);
  FLastFace = It->second;
  return FLastFace;
}

// ---- Engine selection ----------------------------------------------------------------------

namespace {

std::shared_ptr<TFontEngine>& EngineSlot() {
  static std::shared_ptr<TFontEngine> Engine;
  return Engine;
}

std::shared_ptr<TFontEngine> DefaultEngine() {
  if (const char* Choice = std::getenv("ZEF_FONT_ENGINE"); Choice && SameText(Choice, "builtin"))
    return BuiltinFontEngine();
  auto FreeType = FreeTypeFontEngine();
  if (FreeType->Families().empty()) return BuiltinFontEngine();
  return FreeType;
}

} // namespace

std::shared_ptr<TFontEngine> CurrentFontEngine() {
  std::lock_guard Lock(TextLock());
  auto& Slot = EngineSlot();
  if (!Slot) Slot = DefaultEngine();
  return Slot;
}

void SetFontEngine(std::shared_ptr<TFontEngine> Engine) {
  std::lock_guard Lock(TextLock());
  EngineSlot() = std::move(Engine);
}

// ---- Text ----------------------------------------------------------------------------------

TTextMetrics GetTextMetrics(const TFont& Font) {
  std::lock_guard Lock(TextLock());
  return CurrentFontEngine()->Face(Font)->Metrics();
}

TSize TextExtent(const TFont& Font, std::string_view Utf8Text) {
  std::lock_guard Lock(TextLock());
  auto Face = CurrentFontEngine()->Face(Font);
  return {SaturatedInt(TextAdvance(*Face, Utf8Text)), Face->Metrics().Height};
}

TPoint DrawText(TBitmap& Target, const TRect& DeviceClip, int32_t X, int32_t Y,
                std::string_view Utf8Text, const TFont& Font, const TColor* OpaqueBackground) {
  std::lock_guard Lock(TextLock());
  auto Face = CurrentFontEngine()->Face(Font);
  const TTextMetrics& M = Face->Metrics();
  const TRotation Rot(NormalAngle(Font.Orientation()));
  const int64_t Width = TextAdvance(*Face, Utf8Text);
  const TPoint Advance{SaturatedInt(std::llround(static_cast<double>(Width) * Rot.Cos)),
                       SaturatedInt(std::llround(-static_cast<double>(Width) * Rot.Sin))};

  const TRect Clip{std::max(DeviceClip.Left, 0), std::max(DeviceClip.Top, 0),
                   std::min(DeviceClip.Right, Target.Width()),
                   std::min(DeviceClip.Bottom, Target.Height())};
  TTextPainter Painter(Target, Clip);
  if (Painter.ClipEmpty()) return Advance;
  // Skip texts far outside the clip. Glyphs may overhang their cell (slants, accents), so
  // the cell is widened by its height on every side.
  {
    const double Reach = static_cast<double>(Width) + 2.0 * M.Height;
    const double Margin = M.Height + Reach;
    if (X + Margin < Clip.Left || X - Margin > Clip.Right || Y + Margin < Clip.Top ||
        Y - Margin > Clip.Bottom)
      return Advance;
  }

  if (OpaqueBackground)
    Painter.FillCellRect(X, Y, Rot, 0, 0, Width, M.Height, ColorToRGB(*OpaqueBackground));

  const TColor Color = ColorToRGB(Font.Color());
  int64_t U = 0;
  for (std::size_t I = 0; I < Utf8Text.size();) {
    const char32_t C = NextCodePoint(Utf8Text, I);
    if (IsControl(C)) continue;
    if (Rot.Quarters >= 0) {
      const int64_t C0 = static_cast<int64_t>(Rot.Cos), S0 = static_cast<int64_t>(Rot.Sin);
      const int64_t OX = X + U * C0 + M.Ascent * S0;
      const int64_t OY = Y - U * S0 + M.Ascent * C0;
      const TGlyphImage& G = Face->Glyph(C, Rot.Quarters * 900, 0);
      Painter.BlendGlyph(OX + G.Left, OY + G.Top, G, Color);
    } else {
      // The pen position to a quarter pixel: whole pixels place the image, the quarters
      // pick the image drawn with that offset.
      const double FX = X + U * Rot.Cos + M.Ascent * Rot.Sin;
      const double FY = Y - U * Rot.Sin + M.Ascent * Rot.Cos;
      const int64_t QX = std::llround(FX * 4), QY = std::llround(FY * 4);
      const int64_t OX = QX >> 2, OY = QY >> 2;  // arithmetic shifts: floor division
      const TGlyphImage& G = Face->Glyph(C, NormalAngle(Font.Orientation()),
                                         static_cast<int32_t>((QX & 3) + 4 * (QY & 3)));
      Painter.BlendGlyph(OX + G.Left, OY + G.Top, G, Color);
    }
    U += Face->Advance(C);
  }

  const TTextDecorations& D = Face->Decorations();
  if (Font.Style().Contains(fsUnderline))
    Painter.FillCellRect(X, Y, Rot, 0, D.UnderlineTop, Width,
                         D.UnderlineTop + D.UnderlineThickness, Color);
  if (Font.Style().Contains(fsStrikeOut))
    Painter.FillCellRect(X, Y, Rot, 0, D.StrikeOutTop, Width,
                         D.StrikeOutTop + D.StrikeOutThickness, Color);
  return Advance;
}

// ---- Installed fonts -----------------------------------------------------------------------

std::vector<std::string> InstalledFonts() {
  std::lock_guard Lock(TextLock());
  std::vector<std::string> Names = CurrentFontEngine()->Families();
  Names.emplace_back(kBuiltinFontName);
  std::sort(Names.begin(), Names.end(), [](const std::string& A, const std::string& B) {
    const int R = CompareText(A, B);
    return R != 0 ? R < 0 : A < B;
  });
  Names.erase(std::unique(Names.begin(), Names.end(),
                          [](const std::string& A, const std::string& B) { return SameText(A, B); }),
              Names.end());
  return Names;
}

bool FontIsInstalled(const std::string& Name) {
  const auto Names = InstalledFonts();
  return std::any_of(Names.begin(), Names.end(), [&](const std::string& N) { return SameText(N, Name); });
}

bool FontIsScalable(const std::string& Name) {
  std::lock_guard Lock(TextLock());
  return CurrentFontEngine()->FamilyIsScalable(Name);
}

} // namespace zef
