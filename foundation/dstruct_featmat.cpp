// TFeatMatProps and TFeatureMatrix: typed feature values, name generation and the
// feature-matrix text file.
#include "ZEF_dstruct.h"

#include <algorithm>
#include <cfloat>
#include <new>

#include "ZEF_stringl.h"
#include "rtl/datetime.h"
#include "rtl/files.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

const std::array<const char*, 5> FeatKindNames = {"fkUndefined", "fkInteger", "fkDouble",
                                                  "fkString", "fkTriState"};

namespace {

// The most cells (features x objects) a file may ask for.
constexpr int64_t MaxFileCells = int64_t{1} << 22;
constexpr int32_t MaxFileFeatures = 1 << 16;
// The widest field a name placeholder may ask for.
constexpr int32_t MaxPlaceholderWidth = 255;

bool IsDigitChar(char C) { return C >= '0' && C <= '9'; }

// The length of the floating-point number at the start of S (0 when there is none): blanks,
// sign, digits with one optional point, and an exponent whose magnitude is at most 4200.
// ExpTooLarge tells a number rejected only for its exponent.
std::size_t FloatPrefix(std::string_view S, bool& ExpTooLarge) {
  ExpTooLarge = false;
  std::size_t i = 0;
  while (i < S.size() && S[i] == ' ') ++i;
  if (i < S.size() && (S[i] == '+' || S[i] == '-')) ++i;
  std::size_t Digits = 0;
  while (i < S.size() && IsDigitChar(S[i])) ++i, ++Digits;
  if (i < S.size() && S[i] == '.') {
    ++i;
    while (i < S.size() && IsDigitChar(S[i])) ++i, ++Digits;
  }
  if (Digits == 0) return 0;
  if (i < S.size() && (S[i] == 'e' || S[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < S.size() && (S[j] == '+' || S[j] == '-')) ++j;
    int32_t Exp = 0;
    std::size_t ExpDigits = 0;
    while (j < S.size() && IsDigitChar(S[j])) {
      Exp = std::min(Exp * 10 + (S[j] - '0'), 100000);
      ++j, ++ExpDigits;
    }
    if (ExpDigits > 0) {
      if (Exp > 4200) {
        ExpTooLarge = true;
        return 0;
      }
      i = j;
    }
  }
  return i;
}

// Reads a decimal integer (blanks, sign, at least one digit) from Pos (1-based).
bool ReadInt(std::string_view S, std::size_t& Pos, int32_t& Value) {
  std::size_t i = Pos - 1;
  while (i < S.size() && (S[i] == ' ' || S[i] == '\t')) ++i;
  std::size_t j = i;
  if (j < S.size() && (S[j] == '+' || S[j] == '-')) ++j;
  if (j >= S.size() || !IsDigitChar(S[j])) return false;
  Value = ScanDecimal(S, Pos);
  return true;
}

// The text after the word that starts at the first non-blank from index I (0-based), with
// the word itself in Word.
std::string_view NextWord(std::string_view S, std::size_t& I) {
  while (I < S.size() && (S[I] == ' ' || S[I] == '\t')) ++I;
  const std::size_t Start = I;
  while (I < S.size() && S[I] != ' ' && S[I] != '\t') ++I;
  return S.substr(Start, I - Start);
}

std::string FormatRunning(int64_t n, int32_t p) {
  p = std::clamp(p, -MaxPlaceholderWidth, MaxPlaceholderWidth);
  if (p < 0) {
    std::string Digits = std::to_string(n < 0 ? -n : n);
    const std::size_t W = static_cast<std::size_t>(-p);
    if (Digits.size() > W)
      Digits.erase(0, Digits.size() - W);
    else
      Digits.insert(0, W - Digits.size(), '0');
    return (n < 0 ? "-" : "") + Digits;
  }
  std::string S = std::to_string(n);
  const std::size_t W = static_cast<std::size_t>(p);
  if (p == 0) return S;
  if (S.size() > W) return S.substr(S.size() - W);
  return std::string(W - S.size(), ' ') + S;
}

} // namespace

bool IsValidFeatIntText(std::string_view S) {
  if (S.empty()) return false;
  if (S.size() == 1) return IsDigitChar(S[0]);
  if (!IsDigitChar(S[0]) && S[0] != '+' && S[0] != '-') return false;
  return std::all_of(S.begin() + 1, S.end(), IsDigitChar);
}

bool IsValidFeatFloatText(std::string_view S) {
  bool TooLarge;
  return FloatPrefix(S, TooLarge) > 0;
}

// ---- TFeatMatProps --------------------------------------------------------------------------

TFeatMatProps::TFeatMatProps(TComponent* AOwner) : TComponent(AOwner) {}

void TFeatMatProps::Clear() {
  FeatNum = 0;
  FeatName = "undefined";
  FeatKind = fkUndefined;
  Comment.clear();
  PresetValues.clear();
  Sorted = false;
  GUIElem = nullptr;
}

void TFeatMatProps::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TFeatMatProps*>(&Source);
  if (S == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  FeatNum = S->FeatNum;
  FeatName = S->FeatName;
  FeatKind = S->FeatKind;
  Comment = S->Comment;
  PresetValues = S->PresetValues;
  Sorted = S->Sorted;
  GUIElem = S->GUIElem;
}

// ---- TFeatureMatrix -------------------------------------------------------------------------

TFeatureMatrix::TFeatureMatrix(TComponent* AOwner) : TComponent(AOwner) {}

TFeatureMatrix::~TFeatureMatrix() = default;

void TFeatureMatrix::Changed() {
  if (OnChange) OnChange(this);
}

void TFeatureMatrix::Fail(const std::string& Text) const {
  throw EZEFDStructError(ComponentMessage(Name(), Text));
}

void TFeatureMatrix::Clear() {
  FProps.clear();
  FValues.clear();
  FNObjects = 0;
  Changed();
}

void TFeatureMatrix::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TFeatureMatrix*>(&Source);
  if (S == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  if (S == this) return;
  std::vector<std::unique_ptr<TFeatMatProps>> Props;
  for (const auto& P : S->FProps) {
    Props.push_back(std::make_unique<TFeatMatProps>(nullptr));
    Props.back()->Assign(*P);
  }
  FProps = std::move(Props);
  FValues = S->FValues;
  FNObjects = S->FNObjects;
  OnChange = S->OnChange;
}

void TFeatureMatrix::ResizeValues(int32_t NFeats, int32_t NObjs) {
  const std::size_t OldF = FValues.size();
  const std::size_t OldO = static_cast<std::size_t>(FNObjects);
  const std::size_t Fs = static_cast<std::size_t>(NFeats);
  const std::size_t Os = static_cast<std::size_t>(NObjs);
  // Growing comes first: a failure there is undone by shrinking back, which cannot fail.
  try {
    FValues.resize(std::max(Fs, OldF), std::vector<std::string>(OldO));
    for (auto& Column : FValues) Column.resize(std::max(Os, OldO));
    while (FProps.size() < Fs) FProps.push_back(std::make_unique<TFeatMatProps>(nullptr));
  } catch (...) {
    FValues.resize(OldF);
    for (auto& Column : FValues) Column.resize(OldO);
    FProps.resize(OldF);
    throw;
  }
  FValues.resize(Fs);
  for (auto& Column : FValues) Column.resize(Os);
  FProps.resize(Fs);
  FNObjects = NObjs;
}

bool TFeatureMatrix::Resize(int32_t NFeats, int32_t NObjs) {
  try {
    ResizeValues(std::max(NFeats, 0), std::max(NObjs, 0));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  Changed();
  return true;
}

void TFeatureMatrix::SetNFeatures(int32_t Value) {
  if (!Resize(Value, FNObjects)) Fail("not enough memory on heap");
}

void TFeatureMatrix::SetNObjects(int32_t Value) {
  if (!Resize(NFeatures(), Value)) Fail("not enough memory on heap");
}

std::string TFeatureMatrix::KindDefault(int32_t fix) const {
  const TFeatKind K = FProps[fix - 1]->FeatKind;
  return K == fkInteger || K == fkDouble ? "0" : "";
}

void TFeatureMatrix::ResetToDefault() {
  for (int32_t o = 1; o <= FNObjects; ++o) {
    for (int32_t f = 1; f <= NFeatures(); ++f) Cell(f, o) = KindDefault(f);
    Changed();
  }
}

TFeatMatProps* TFeatureMatrix::GetFeatProps(int32_t fix) {
  if (InFeat(fix)) return FProps[fix - 1].get();
  return new TFeatMatProps(nullptr);
}

void TFeatureMatrix::SetFeatProps(int32_t fix, std::unique_ptr<TFeatMatProps> Props) {
  if (!InFeat(fix) || !Props) return;
  FProps[fix - 1] = std::move(Props);
  Changed();
}

int64_t TFeatureMatrix::GetFeatValInt(int32_t fix, int32_t obj) const {
  if (!InCell(fix, obj)) return 0;
  int64_t V = 0;
  if (!IsValidFeatIntText(Cell(fix, obj)) || !TryStrToInt64(Cell(fix, obj), V))
    Fail("feature is not an integer");
  return V;
}

void TFeatureMatrix::SetFeatValint(int32_t fix, int32_t obj, int64_t FeatVal) {
  if (!InCell(fix, obj)) return;
  const TFeatKind K = FProps[fix - 1]->FeatKind;
  if (K == fkUndefined || K == fkTriState) Fail("feature is not of numeric or string type");
  Cell(fix, obj) = std::to_string(FeatVal);
  Changed();
}

double TFeatureMatrix::GetFeatValDouble(int32_t fix, int32_t obj) const {
  if (!InCell(fix, obj)) return 0;
  const std::string& S = Cell(fix, obj);
  bool TooLarge;
  const std::size_t L = FloatPrefix(S, TooLarge);
  long double V = 0;
  if (L == 0 || !TryStrToFloat(std::string_view(S).substr(0, L), V))
    Fail("feature is not a floating point number");
  return static_cast<double>(std::clamp<long double>(V, -DBL_MAX, DBL_MAX));
}

void TFeatureMatrix::SetFeatValDouble(int32_t fix, int32_t obj, double FeatVal) {
  if (!InCell(fix, obj)) return;
  const TFeatKind K = FProps[fix - 1]->FeatKind;
  if (K != fkDouble && K != fkString) Fail("feature is not a floating point or string type");
  Cell(fix, obj) = FloatToStr(FeatVal);
  Changed();
}

TTriState TFeatureMatrix::GetFeatValTriState(int32_t fix, int32_t obj) const {
  if (!InCell(fix, obj)) return tsUndefined;
  const std::string L = LowerCase(Cell(fix, obj));
  if (!L.empty() && L != "true" && L != "false") Fail("feature is not a tri-state value");
  return StrToTriState(L);
}

void TFeatureMatrix::SetFeatValTriState(int32_t fix, int32_t obj, TTriState FeatVal) {
  if (!InCell(fix, obj)) return;
  const TFeatKind K = FProps[fix - 1]->FeatKind;
  if (K != fkTriState && K != fkString) Fail("feature is not a tri-state or string type");
  Cell(fix, obj) = TriStateToStr(FeatVal, 0);
  Changed();
}

std::string TFeatureMatrix::GetFeatValStr(int32_t fix, int32_t obj) const {
  if (!InCell(fix, obj)) return {};
  if (FProps[fix - 1]->FeatKind == fkUndefined)
    Fail("feature " + std::to_string(fix) + " is undefined");
  return Cell(fix, obj);
}

void TFeatureMatrix::CheckText(int32_t fix, const std::string& FeatVal,
                               bool AllowEmptyNumber) const {
  const bool EmptyOk = FeatVal.empty() && AllowEmptyNumber;
  switch (FProps[fix - 1]->FeatKind) {
  case fkUndefined: Fail("feature " + std::to_string(fix) + " is undefined");
  case fkInteger:
    if (!EmptyOk && !IsValidFeatIntText(FeatVal))
      Fail("feature value \"" + FeatVal + "\" is not a valid integer number");
    break;
  case fkDouble:
    if (!EmptyOk && !IsValidFeatFloatText(FeatVal))
      Fail("feature value \"" + FeatVal + "\" is not a valid floating point number");
    break;
  case fkTriState: {
    const std::string L = LowerCase(FeatVal);
    if (!L.empty() && L != "true" && L != "false")
      Fail("feature value \"" + FeatVal + "\" is not a valid tri-state value");
    break;
  }
  case fkString: break;
  }
}

void TFeatureMatrix::SetFeatValStr(int32_t fix, int32_t obj, const std::string& FeatVal) {
  if (!InCell(fix, obj)) return;
  CheckText(fix, FeatVal, true);
  Cell(fix, obj) = FeatVal;
  Changed();
}

bool TFeatureMatrix::Fill(int32_t fix, const std::string& FeatVal) {
  if (!InFeat(fix)) return false;
  CheckText(fix, FeatVal, false);
  std::fill(FValues[fix - 1].begin(), FValues[fix - 1].end(), FeatVal);
  Changed();
  return true;
}

bool TFeatureMatrix::Fill(int32_t fix, int64_t FeatVal) {
  if (!InFeat(fix)) return false;
  if (FProps[fix - 1]->FeatKind != fkInteger)
    Fail("feature " + std::to_string(fix) + " is not an integer number");
  std::fill(FValues[fix - 1].begin(), FValues[fix - 1].end(), std::to_string(FeatVal));
  Changed();
  return true;
}

bool TFeatureMatrix::Fill(int32_t fix, double FeatVal) {
  if (!InFeat(fix)) return false;
  if (FProps[fix - 1]->FeatKind != fkDouble)
    Fail("feature " + std::to_string(fix) + " is not floating point number");
  std::fill(FValues[fix - 1].begin(), FValues[fix - 1].end(), FloatToStr(FeatVal));
  Changed();
  return true;
}

bool TFeatureMatrix::Fill(int32_t fix, TTriState FeatVal) {
  if (!InFeat(fix)) return false;
  if (FProps[fix - 1]->FeatKind != fkTriState)
    Fail("feature " + std::to_string(fix) + " is not a tri-state value");
  std::fill(FValues[fix - 1].begin(), FValues[fix - 1].end(), TriStateToStr(FeatVal, 0));
  Changed();
  return true;
}

void TFeatureMatrix::InsertObject(int32_t obj) {
  if (obj < 1 || obj > FNObjects) return;
  for (int32_t f = 1; f <= NFeatures(); ++f)
    FValues[f - 1].insert(FValues[f - 1].begin() + (obj - 1), KindDefault(f));
  ++FNObjects;
  Changed();
}

void TFeatureMatrix::RemoveObject(int32_t obj) {
  if (obj < 1 || obj > FNObjects) return;
  for (auto& Column : FValues) Column.erase(Column.begin() + (obj - 1));
  --FNObjects;
  Changed();
}

void TFeatureMatrix::InsertFeature(int32_t feat) {
  if (feat < 1 || feat > NFeatures() + 1) return;
  FProps.insert(FProps.begin() + (feat - 1), std::make_unique<TFeatMatProps>(nullptr));
  FValues.insert(FValues.begin() + (feat - 1),
                 std::vector<std::string>(static_cast<std::size_t>(FNObjects)));
  Changed();
}

void TFeatureMatrix::RemoveFeature(int32_t feat) {
  if (!InFeat(feat)) return;
  FProps.erase(FProps.begin() + (feat - 1));
  FValues.erase(FValues.begin() + (feat - 1));
  Changed();
}

void TFeatureMatrix::ClearObject(int32_t obj) {
  if (obj < 1 || obj > FNObjects) return;
  for (int32_t f = 1; f <= NFeatures(); ++f) Cell(f, obj) = KindDefault(f);
  Changed();
}

void TFeatureMatrix::ClearFeature(int32_t feat) {
  if (!InFeat(feat)) return;
  std::fill(FValues[feat - 1].begin(), FValues[feat - 1].end(), KindDefault(feat));
  Changed();
}

void TFeatureMatrix::CopyObject(int32_t Source, int32_t Target) {
  if (Source < 1 || Source > FNObjects || Target < 1 || Target > FNObjects) return;
  for (auto& Column : FValues) Column[Target - 1] = Column[Source - 1];
  Changed();
}

bool TFeatureMatrix::ClampRange(int32_t& IxFrom, int32_t& IxTo) const {
  const int32_t N = NFeatures();
  if (N == 0) return false;
  if (IxFrom == 0 && IxTo == 0) IxTo = N;
  IxFrom = std::clamp(IxFrom, 1, N);
  IxTo = std::clamp(IxTo, 1, N);
  if (IxFrom > IxTo) std::swap(IxFrom, IxTo);
  return true;
}

void TFeatureMatrix::SetFeatType(int32_t IxFrom, int32_t IxTo, TFeatKind FeatKind) {
  if (!ClampRange(IxFrom, IxTo)) return;
  for (int32_t i = IxFrom; i <= IxTo; ++i) FProps[i - 1]->FeatKind = FeatKind;
}

void TFeatureMatrix::RenumberFeatures(int32_t IxFrom, int32_t IxTo, int32_t FirstNum,
                                      int32_t Delta) {
  if (!ClampRange(IxFrom, IxTo)) return;
  for (int32_t i = IxFrom; i <= IxTo; ++i)
    FProps[i - 1]->FeatNum = static_cast<int32_t>(FirstNum + int64_t{i - IxFrom} * Delta);
}

int32_t TFeatureMatrix::GenerateFeatNames(const std::string& Template, int32_t IxFrom, int32_t IxTo,
                                          int32_t FirstNum, int32_t Delta) {
  const int32_t N = NFeatures();
  if (IxFrom == 0 && IxTo == 0) {
    IxFrom = 1;
    IxTo = N;
  }
  if (IxFrom < 1 || IxFrom > N || IxTo < 1 || IxTo > N) return -1;
  if (IxFrom > IxTo) std::swap(IxFrom, IxTo);
  const TDateTime Stamp = Now();
  // The template holds at most one placeholder "<%" letter parameter "%>".
  const std::size_t Open = Template.find("<%");
  const std::size_t Close = Template.find("%>");
  const bool HasPlaceholder = Open != std::string::npos && Close != std::string::npos;
  char Letter = 0;
  std::string Param;
  if (HasPlaceholder) {
    if (Close < Open + 2 || Template.find("<%", Close + 2) != std::string::npos) return -2;
    Param = Template.substr(Open + 3, Close > Open + 2 ? Close - Open - 3 : 0);
    Letter = Close > Open + 2 ? static_cast<char>(UpCase(Template[Open + 2])) : 0;
    if (Letter != 'D' && Letter != 'I' && Letter != 'H' && Letter != 'T') return -2;
  }
  std::size_t P = 1;
  const int32_t p = ScanDecimal(Param, P);
  for (int32_t i = IxFrom; i <= IxTo; ++i) {
    const int64_t n = FirstNum + int64_t{i - IxFrom} * Delta;
    if (!HasPlaceholder) {
      FProps[i - 1]->FeatName = Template;
      continue;
    }
    std::string Rep;
    switch (Letter) {
    case 'D': Rep = FormatRunning(n, p); break;
    case 'I': Rep = FormatRunning(i, p); break;
    case 'H': {
      const int Digits = std::clamp(p, 1, 8);
      Rep = IntToHex(static_cast<uint32_t>(n), Digits);
      Rep.erase(0, Rep.size() - static_cast<std::size_t>(Digits));
      break;
    }
    default: Rep = FormatDateTime(Param, Stamp); break;
    }
    FProps[i - 1]->FeatName = Template.substr(0, Open) + Rep + Template.substr(Close + 2);
  }
  return 0;
}

int32_t TFeatureMatrix::FindFeatName(std::string_view Name) const {
  for (int32_t i = 1; i <= NFeatures(); ++i)
    if (SameText(FProps[i - 1]->FeatName, Name)) return i;
  return -1;
}

int32_t TFeatureMatrix::FindFeatNum(int32_t Num) const {
  for (int32_t i = 1; i <= NFeatures(); ++i)
    if (FProps[i - 1]->FeatNum == Num) return i;
  return -1;
}

// ---- File -----------------------------------------------------------------------------------

void TFeatureMatrix::SaveToOpenFile(TTextFile& F) const {
  const int32_t N = NFeatures();
  WriteLn(F, "#featdef " + std::to_string(N) + " 1");
  for (int32_t i = 1; i <= N; ++i) {
    const TFeatMatProps& P = *FProps[i - 1];
    const std::string Ix = std::to_string(i) + " ";
    WriteLn(F, Ix + "fplFeatNum " + std::to_string(P.FeatNum));
    WriteLn(F, Ix + "fplFeatName " + P.FeatName);
    WriteLn(F, Ix + "fplFeatKind " + FeatKindNames[P.FeatKind]);
    WriteLn(F, Ix + "fplComment " + P.Comment);
    WriteLn(F, Ix + "fplPresets " + P.PresetValues);
    WriteLn(F, Ix + "fplSorted " + BoolToStr(P.Sorted, 0));
  }
  WriteLn(F, "#featvals " + std::to_string(N) + " " + std::to_string(FNObjects));
  for (int32_t o = 1; o <= FNObjects; ++o)
    for (int32_t f = 1; f <= N; ++f)
      if (!Cell(f, o).empty())
        WriteLn(F, std::to_string(f) + " " + std::to_string(o) + " " + Cell(f, o));
  WriteLn(F, "#featend");
}

void TFeatureMatrix::Save(const std::string& FName) const {
  TTextFile F;
  AssignFile(F, FName);
  Rewrite(F);
  SaveToOpenFile(F);
  CloseFile(F);
}

// Reads the blocks: 0 when one was met, -1 none, -2 a number or size that cannot be read.
int32_t TFeatureMatrix::ReadBlocks(TTextFile& F) {
  bool Found = false;
  std::string Line;
  while (!Eof(F)) {
    ReadLn(F, Line);
    if (Line.empty() || Line[0] != '#') continue;
    const std::size_t Blank = Line.find(' ');
    const std::string Key =
        LowerCase(Line.substr(1, Blank == std::string::npos ? std::string::npos : Blank - 1));
    const std::string Rest =
        Blank == std::string::npos ? std::string() : StripLTBlanks(Line.substr(Blank));
    std::size_t P = 1;
    int32_t A = 0;
    int32_t B = 0;
    if (Key == "featdef") {
      Found = true;
      if (!ReadInt(Rest, P, A) || !ReadInt(Rest, P, B)) return -2;
      if (B != 1) continue;
      // The property lines are collected first and the features created once, up to the
      // highest index the lines name: a count larger than the file holds asks for no memory.
      const int64_t Count = std::max(A, 0);
      struct TPropLine {
        int32_t Ix;
        std::string Key;
        std::string Value;
      };
      std::vector<TPropLine> Lines;
      int32_t Highest = 0;
      int32_t Result = 0;
      for (int64_t k = 0; k < 6 * Count; ++k) {
        if (Eof(F)) {
          Result = -2;
          break;
        }
        ReadLn(F, Line);
        std::size_t Q = 1;
        int32_t Ix = 0;
        if (!ReadInt(Line, Q, Ix)) {
          Result = -2;
          break;
        }
        std::size_t I = Q - 1;
        std::string PropKey = LowerCase(NextWord(Line, I));
        if (Ix < 1 || Ix > Count) continue;
        if (Ix > MaxFileFeatures) {
          Result = -2;
          break;
        }
        Highest = std::max(Highest, Ix);
        Lines.push_back(
            {Ix, std::move(PropKey), I < Line.size() ? Line.substr(I + 1) : std::string()});
      }
      if (Result == 0 && Count > MaxFileFeatures) Result = -2;
      const int32_t Wanted = Result == 0 ? static_cast<int32_t>(Count) : Highest;
      if (Wanted > NFeatures() && !Resize(Wanted, FNObjects)) return -2;
      for (const TPropLine& L : Lines) {
        TFeatMatProps& Pr = *FProps[L.Ix - 1];
        if (L.Key == "fplfeatnum") {
          std::size_t V = 1;
          if (!ReadInt(L.Value, V, Pr.FeatNum)) return -2;
        } else if (L.Key == "fplfeatname") {
          Pr.FeatName = L.Value;
        } else if (L.Key == "fplfeatkind") {
          const std::string Kind = StripLTBlanks(L.Value);
          Pr.FeatKind = fkUndefined;
          for (std::size_t K = 0; K < FeatKindNames.size(); ++K)
            if (SameText(Kind, FeatKindNames[K])) Pr.FeatKind = static_cast<TFeatKind>(K);
        } else if (L.Key == "fplcomment") {
          Pr.Comment = L.Value;
        } else if (L.Key == "fplpresets") {
          Pr.PresetValues = L.Value;
        } else if (L.Key == "fplsorted") {
          Pr.Sorted = LowerCase(StripLTBlanks(L.Value)) == "true";
        }
      }
      if (Result != 0) return Result;
    } else if (Key == "featvals") {
      Found = true;
      if (!ReadInt(Rest, P, A) || !ReadInt(Rest, P, B)) return -2;
      A = std::max(A, 0);
      B = std::max(B, 0);
      if (A > MaxFileFeatures || int64_t{A} * B > MaxFileCells || B > MaxFileCells || !Resize(A, B))
        return -2;
      while (!Eof(F)) {
        ReadLn(F, Line);
        if (Line.empty() || Line[0] == '#') break;
        std::size_t Q = 1;
        int32_t Fi = 0;
        int32_t Oi = 0;
        if (!ReadInt(Line, Q, Fi) || !ReadInt(Line, Q, Oi)) return -2;
        if (InCell(Fi, Oi)) Cell(Fi, Oi) = StripLTBlanks(std::string_view(Line).substr(Q - 1));
      }
      return 0;
    }
  }
  return Found ? 0 : -1;
}

int32_t TFeatureMatrix::LoadFromOpenFile(TTextFile& F) {
  const TNotifyEvent Handler = std::move(OnChange);
  OnChange = nullptr;
  FProps.clear();
  FValues.clear();
  FNObjects = 0;
  int32_t Result;
  try {
    Result = ReadBlocks(F);
  } catch (const EInOutError&) {
    Result = -2;
  }
  OnChange = Handler;
  Changed();
  return Result;
}

int32_t TFeatureMatrix::Load(const std::string& FName) {
  if (!FileExists(FName)) return -1;
  TTextFile F;
  AssignFile(F, FName);
  try {
    Reset(F);
  } catch (const EInOutError&) {
    Changed();
    return -3;
  }
  const int32_t R = LoadFromOpenFile(F);
  return R == 0 ? 0 : R - 1;
}

} // namespace zef
