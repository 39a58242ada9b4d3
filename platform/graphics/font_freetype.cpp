// The FreeType + fontconfig font engine: fontconfig turns a family name (with our
// substitutes for names the system lacks) into a font file, FreeType renders its glyphs as
// 8-bit coverage with light (vertical-only) hinting.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include "graphics/fonts.h"
#include "rtl/strings.h"

namespace zef {

namespace {

// Families tried, in order, after a requested name that may be missing.
struct TSubstitute {
  std::string_view Name;
  std::vector<std::string_view> Families;
};

const std::vector<std::string_view> kSans = {"DejaVu Sans", "Liberation Sans"};
const std::vector<std::string_view> kSansMetric = {"Liberation Sans", "DejaVu Sans"};
const std::vector<std::string_view> kSerif = {"Liberation Serif", "DejaVu Serif"};
const std::vector<std::string_view> kMono = {"Liberation Mono", "DejaVu Sans Mono"};

const std::vector<TSubstitute>& Substitutes() {
  static const std::vector<TSubstitute> Table = {
      {"Arial", kSansMetric},          {"Helvetica", kSansMetric},
      {"Arial Narrow", kSansMetric},   {"Tahoma", kSans},
      {"Verdana", kSans},              {"MS Sans Serif", kSans},
      {"Microsoft Sans Serif", kSans}, {"MS Shell Dlg", kSans},
      {"MS Shell Dlg 2", kSans},       {"Segoe UI", kSans},
      {"Calibri", kSans},              {"Trebuchet MS", kSans},
      {"Lucida Sans", kSans},          {"Lucida Sans Unicode", kSans},
      {"Small Fonts", kSans},          {"System", kSans},
      {"Symbol", kSans},               {"Times New Roman", kSerif},
      {"Times", kSerif},               {"MS Serif", kSerif},
      {"Georgia", kSerif},             {"Cambria", kSerif},
      {"Book Antiqua", kSerif},        {"Garamond", kSerif},
      {"Courier New", kMono},          {"Courier", kMono},
      {"Consolas", kMono},             {"Lucida Console", kMono},
      {"Fixedsys", kMono},             {"Terminal", kMono},
  };
  return Table;
}

FT_Long Round26(double V) { return static_cast<FT_Long>(std::lround(V)); }

class TFreeTypeLibrary {
public:
  TFreeTypeLibrary() {
    if (FT_Init_FreeType(&FLibrary) != 0) FLibrary = nullptr;
  }
  ~TFreeTypeLibrary() {
    if (FLibrary) FT_Done_FreeType(FLibrary);
  }
  TFreeTypeLibrary(const TFreeTypeLibrary&) = delete;
  TFreeTypeLibrary& operator=(const TFreeTypeLibrary&) = delete;
  FT_Library Get() const { return FLibrary; }

private:
  FT_Library FLibrary = nullptr;
};

// One opened font file; its sizes (one per TFreeTypeFace) keep it alive.
class TFreeTypeFile {
public:
  TFreeTypeFile(std::shared_ptr<TFreeTypeLibrary> Library, FT_Face Face)
      : FLibrary(std::move(Library)), FFace(Face) {}
  ~TFreeTypeFile() { FT_Done_Face(FFace); }
  TFreeTypeFile(const TFreeTypeFile&) = delete;
  TFreeTypeFile& operator=(const TFreeTypeFile&) = delete;
  FT_Face Get() const { return FFace; }

private:
  std::shared_ptr<TFreeTypeLibrary> FLibrary;
  FT_Face FFace;
};

constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP;

class TFreeTypeFace final : public TFontFace {
public:
  // Null when FreeType cannot make a size for the file.
  static std::shared_ptr<TFreeTypeFace> Create(std::shared_ptr<TFreeTypeFile> File,
                                               int32_t Height, bool SynthBold, bool SynthItalic) {
    FT_Size Size = nullptr;
    if (FT_New_Size(File->Get(), &Size) != 0) return nullptr;
    auto Face = std::shared_ptr<TFreeTypeFace>(new TFreeTypeFace(std::move(File), Size));
    if (!Face->SetUp(Height, SynthBold, SynthItalic)) return nullptr;
    return Face;
  }
  ~TFreeTypeFace() override { FT_Done_Size(FSize); }

protected:
  int32_t MeasureAdvance(char32_t C) override {
    const FT_GlyphSlot Slot = Load(C);
    if (!Slot) return 0;
    return static_cast<int32_t>((Slot->advance.x + 32) >> 6) + FBoldPixels;
  }

  TGlyphImage RenderGlyph(char32_t C, int32_t Angle, int32_t Phase) override {
    TGlyphImage G;
    const FT_GlyphSlot Slot = Load(C);
    if (!Slot) return G;
    FT_Outline* Outline = &Slot->outline;
    if (FBoldPixels) {
      // The outline grows by the strength in width, half on each side; keep the left edge.
      FT_Outline_EmboldenXY(Outline, FBoldPixels * 64, 0);
      FT_Outline_Translate(Outline, FBoldPixels * 32, 0);
    }
    if (FSynthItalic) {
      FT_Matrix Shear{0x10000, 0x0366A, 0, 0x10000};  // x += 0.2126 y: a 12-degree slant
      FT_Outline_Transform(Outline, &Shear);
    }
    if (Angle != 0) {
      const double T = Angle * std::numbers::pi / 1800.0;
      const FT_Fixed Cos = Round26(std::cos(T) * 0x10000), Sin = Round26(std::sin(T) * 0x10000);
      FT_Matrix Turn{Cos, -Sin, Sin, Cos};
      FT_Outline_Transform(Outline, &Turn);
    }
    if (Phase != 0) FT_Outline_Translate(Outline, (Phase & 3) * 16, -((Phase >> 2) & 3) * 16);
    if (FT_Render_Glyph(Slot, FT_RENDER_MODE_NORMAL) != 0) return G;

    const FT_Bitmap& B = Slot->bitmap;
    G.Left = Slot->bitmap_left;
    G.Top = -Slot->bitmap_top;
    G.Width = static_cast<int32_t>(B.width);
    G.Height = static_cast<int32_t>(B.rows);
    G.Coverage.assign(static_cast<std::size_t>(G.Width) * G.Height, 0);
    if (G.Width == 0 || G.Height == 0 || !B.buffer) return G;
    for (int32_t Y = 0; Y < G.Height; ++Y) {
      const unsigned char* Row = B.buffer + static_cast<std::ptrdiff_t>(Y) * B.pitch;
      uint8_t* Out = G.Coverage.data() + static_cast<std::size_t>(Y) * G.Width;
      if (B.pixel_mode == FT_PIXEL_MODE_GRAY && B.num_grays == 256)
        std::copy_n(Row, G.Width, Out);
      else if (B.pixel_mode == FT_PIXEL_MODE_MONO)
        for (int32_t X = 0; X < G.Width; ++X) Out[X] = (Row[X / 8] >> (7 - X % 8)) & 1 ? 255 : 0;
    }
    return G;
  }

private:
  TFreeTypeFace(std::shared_ptr<TFreeTypeFile> File, FT_Size Size)
      : FFile(std::move(File)), FSize(Size) {}

  bool SetUp(int32_t Height, bool SynthBold, bool SynthItalic) {
    const FT_Face F = FFile->Get();
    const double UnitsPerEm = F->units_per_EM > 0 ? F->units_per_EM : 1000;
    const auto* OS2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(F, FT_SFNT_OS2));
    if (OS2 && OS2->version == 0xFFFF) OS2 = nullptr;
    double WinAscent = OS2 ? OS2->usWinAscent : 0, WinDescent = OS2 ? OS2->usWinDescent : 0;
    if (WinAscent + WinDescent <= 0) {
      WinAscent = F->ascender;
      WinDescent = -F->descender;
    }
    if (WinAscent + WinDescent <= 0) {
      WinAscent = 0.8 * UnitsPerEm;
      WinDescent = 0.2 * UnitsPerEm;
    }

    // The em size in pixels and the cell: for a negative Height the em is -Height; for a
    // positive one the em is chosen so that ascent + descent fill Height.
    double Em;
    int32_t Ascent, Descent;
    if (Height < 0) {
      Em = -Height;
      Ascent = static_cast<int32_t>(std::floor(WinAscent * Em / UnitsPerEm + 0.5));
      Descent = static_cast<int32_t>(std::floor(WinDescent * Em / UnitsPerEm + 0.5));
    } else {
      Em = Height * UnitsPerEm / (WinAscent + WinDescent);
      Ascent = static_cast<int32_t>(std::floor(Height * WinAscent / (WinAscent + WinDescent) + 0.5));
      Descent = Height - Ascent;
    }
    const FT_F26Dot6 Em64 = std::max<FT_F26Dot6>(1, Round26(Em * 64));
    if (FT_Activate_Size(FSize) != 0 || FT_Set_Char_Size(F, 0, Em64, 72, 72) != 0) return false;
    const double Scale = Em / UnitsPerEm;  // pixels per font unit
    const auto Px = [&](double Units) { return static_cast<int32_t>(std::floor(Units * Scale + 0.5)); };

    FSynthItalic = SynthItalic;
    FBoldPixels = SynthBold ? std::max(1, static_cast<int32_t>(std::floor(Em / 24 + 0.5))) : 0;

    const int32_t Cell = Ascent + Descent;
    FMetrics.Height = Cell;
    FMetrics.Ascent = Ascent;
    FMetrics.Descent = Descent;
    FMetrics.InternalLeading = std::max(0, Cell - static_cast<int32_t>(std::floor(Em + 0.5)));
    FMetrics.ExternalLeading = std::max(0, Px(F->height - (WinAscent + WinDescent)));
    FMetrics.AveCharWidth = OS2 && OS2->xAvgCharWidth > 0 ? Px(OS2->xAvgCharWidth) + FBoldPixels
                                                          : MeasureAdvance(U'x');
    FMetrics.MaxCharWidth = Px(F->max_advance_width) + FBoldPixels;
    FMetrics.Scalable = FT_IS_SCALABLE(F);
    FMetrics.IsTrueType = FT_IS_SFNT(F) && FT_IS_SCALABLE(F);

    // Underline: FreeType gives the centre of the stroke below the baseline; strike-out:
    // OS/2 gives the top of the stroke above the baseline.
    const auto Place = [&](int32_t Top, int32_t Thickness, int32_t& OutTop, int32_t& OutThickness) {
      OutThickness = std::clamp(Thickness, 1, std::max(1, Cell));
      OutTop = std::clamp(Top, 0, std::max(0, Cell - OutThickness));
    };
    const int32_t UThick = F->underline_thickness > 0 ? std::max(1, Px(F->underline_thickness))
                                                      : std::max(1, static_cast<int32_t>(Em / 14));
    const double UCentre = F->underline_thickness > 0 ? -F->underline_position * Scale : Em / 10;
    Place(Ascent + static_cast<int32_t>(std::floor(UCentre - UThick / 2.0 + 0.5)), UThick,
          FDecorations.UnderlineTop, FDecorations.UnderlineThickness);
    const int32_t SThick = OS2 && OS2->yStrikeoutSize > 0 ? std::max(1, Px(OS2->yStrikeoutSize)) : UThick;
    const int32_t STop = OS2 && OS2->yStrikeoutSize > 0 ? Px(OS2->yStrikeoutPosition)
                                                        : static_cast<int32_t>(Em * 0.3);
    Place(Ascent - STop, SThick, FDecorations.StrikeOutTop, FDecorations.StrikeOutThickness);
    return true;
  }

  // The outline of C at this size, or null (errors, glyphs without outline).
  FT_GlyphSlot Load(char32_t C) {
    const FT_Face F = FFile->Get();
    if (FT_Activate_Size(FSize) != 0) return nullptr;
    FT_Set_Transform(F, nullptr, nullptr);
    if (FT_Load_Glyph(F, FT_Get_Char_Index(F, C), kLoadFlags) != 0) return nullptr;
    if (F->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return nullptr;
    return F->glyph;
  }

  std::shared_ptr<TFreeTypeFile> FFile;
  FT_Size FSize;
  int32_t FBoldPixels = 0;
  bool FSynthItalic = false;
};

class TFreeTypeEngine final : public TFontEngine {
public:
  TFreeTypeEngine() : FLibrary(std::make_shared<TFreeTypeLibrary>()) {
    if (FLibrary->Get()) FConfig = FcInitLoadConfigAndFonts();
  }
  ~TFreeTypeEngine() override {
    FFiles.clear();
    if (FConfig) FcConfigDestroy(FConfig);
  }
  TFreeTypeEngine(const TFreeTypeEngine&) = delete;
  TFreeTypeEngine& operator=(const TFreeTypeEngine&) = delete;

  std::string Name() const override { return "FreeType"; }

  std::vector<std::string> Families() override {
    if (FFamiliesListed || !FConfig) return FFamilies;
    FFamiliesListed = true;
    FcPattern* Pattern = FcPatternCreate();
    FcObjectSet* Objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* Set = Pattern && Objects ? FcFontList(FConfig, Pattern, Objects) : nullptr) {
      for (int I = 0; I < Set->nfont; ++I) {
        FcChar8* Family = nullptr;
        for (int N = 0; FcPatternGetString(Set->fonts[I], FC_FAMILY, N, &Family) == FcResultMatch; ++N)
          FFamilies.emplace_back(reinterpret_cast<const char*>(Family));
      }
      FcFontSetDestroy(Set);
    }
    if (Objects) FcObjectSetDestroy(Objects);
    if (Pattern) FcPatternDestroy(Pattern);
    std::sort(FFamilies.begin(), FFamilies.end());
    FFamilies.erase(std::unique(FFamilies.begin(), FFamilies.end()), FFamilies.end());
    return FFamilies;
  }

  bool FamilyIsScalable(const std::string& Family) override {
    if (SameText(Family, kBuiltinFontName)) return false;
    const TMatch& M = Match(Family, false, false);
    const auto File = M.Found ? OpenFile(M.File, M.Index) : nullptr;
    return File && FT_IS_SCALABLE(File->Get());
  }

protected:
  std::shared_ptr<TFontFace> CreateFace(const std::string& Family, int32_t Height, bool Bold,
                                        bool Italic) override {
    if (!SameText(Family, kBuiltinFontName)) {
      const TMatch& M = Match(Family, Bold, Italic);
      if (auto File = M.Found ? OpenFile(M.File, M.Index) : nullptr)
        if (auto Face = TFreeTypeFace::Create(File, Height, Bold && !IsBold(File->Get()),
                                              Italic && !IsItalic(File->Get())))
          return Face;
    }
    TFont Font;
    Font.SetName(std::string(kBuiltinFontName));
    Font.SetHeight(Height);
    TFontStyles Style;
    if (Bold) Style.Include(fsBold);
    if (Italic) Style.Include(fsItalic);
    Font.SetStyle(Style);
    return BuiltinFontEngine()->Face(Font);
  }

private:
  struct TMatch {
    bool Found = false;
    std::string File;
    int Index = 0;
  };

  // The face's own style decides about synthesis (fontconfig reports the requested weight
  // and slant for faces it would embolden or slant itself).
  static bool IsBold(FT_Face F) {
    if (F->style_flags & FT_STYLE_FLAG_BOLD) return true;
    const auto* OS2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(F, FT_SFNT_OS2));
    return OS2 && OS2->version != 0xFFFF && OS2->usWeightClass >= 600;
  }
  static bool IsItalic(FT_Face F) { return (F->style_flags & FT_STYLE_FLAG_ITALIC) != 0; }

  // The font file fontconfig picks for the family (then its substitutes), weight and slant.
  const TMatch& Match(const std::string& Family, bool Bold, bool Italic) {
    auto Key = std::make_tuple(LowerCase(Family), Bold, Italic);
    if (auto It = FMatches.find(Key); It != FMatches.end()) return It->second;
    TMatch M;
    if (FConfig) {
      FcPattern* Pattern = FcPatternCreate();
      const auto AddFamily = [&](std::string_view Name) {
        const std::string Text(Name);
        FcPatternAddString(Pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Text.c_str()));
      };
      AddFamily(Family.empty() ? "DejaVu Sans" : Family);
      for (const TSubstitute& S : Substitutes())
        if (SameText(S.Name, Family))
          for (std::string_view F : S.Families) AddFamily(F);
      FcPatternAddInteger(Pattern, FC_WEIGHT, Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
      FcPatternAddInteger(Pattern, FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
      FcPatternAddBool(Pattern, FC_SCALABLE, FcTrue);
      FcConfigSubstitute(FConfig, Pattern, FcMatchPattern);
      FcDefaultSubstitute(Pattern);
      FcResult Result = FcResultNoMatch;
      if (FcPattern* Found = FcFontMatch(FConfig, Pattern, &Result)) {
        FcChar8* File = nullptr;
        int Index = 0;
        if (FcPatternGetString(Found, FC_FILE, 0, &File) == FcResultMatch && File) {
          M.Found = true;
          M.File = reinterpret_cast<const char*>(File);
          if (FcPatternGetInteger(Found, FC_INDEX, 0, &Index) == FcResultMatch) M.Index = Index;
        }
        FcPatternDestroy(Found);
      }
      FcPatternDestroy(Pattern);
    }
    return FMatches.emplace(std::move(Key), std::move(M)).first->second;
  }

  // The opened file (cached), or null when FreeType cannot open it.
  std::shared_ptr<TFreeTypeFile> OpenFile(const std::string& Path, int Index) {
    const std::string Key = Path + '\n' + std::to_string(Index);
    if (auto It = FFiles.find(Key); It != FFiles.end()) return It->second;
    std::shared_ptr<TFreeTypeFile> File;
    FT_Face Face = nullptr;
    if (FLibrary->Get() && FT_New_Face(FLibrary->Get(), Path.c_str(), Index, &Face) == 0) {
      if (FT_IS_SCALABLE(Face))
        File = std::make_shared<TFreeTypeFile>(FLibrary, Face);
      else
        FT_Done_Face(Face);
    }
    return FFiles[Key] = File;
  }

  std::shared_ptr<TFreeTypeLibrary> FLibrary;
  FcConfig* FConfig = nullptr;
  std::map<std::tuple<std::string, bool, bool>, TMatch> FMatches;
  std::map<std::string, std::shared_ptr<TFreeTypeFile>> FFiles;
  std::vector<std::string> FFamilies;
  bool FFamiliesListed = false;
};

} // namespace

std::shared_ptr<TFontEngine> FreeTypeFontEngine() {
  static const std::shared_ptr<TFontEngine> Engine = std::make_shared<TFreeTypeEngine>();
  return Engine;
}

} // namespace zef
