// The tagged-text file helpers of ZEF_zefbase: frame lines, number readers, attribute
// lookup and the element reader.
#include "zefbase_xml.h"

#include <algorithm>
#include <limits>

#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

namespace {

constexpr long double kFloatLimit = 1.7e308L;

bool IsAsciiDigit(char32_t C) { return C >= '0' && C <= '9'; }

int HexValue(char32_t C) {
  if (C >= '0' && C <= '9') return static_cast<int>(C - '0');
  if (C >= 'A' && C <= 'F') return static_cast<int>(C - 'A' + 10);
  if (C >= 'a' && C <= 'f') return static_cast<int>(C - 'a' + 10);
  return -1;
}

// S without leading and trailing blanks (code 32).
std::string_view TrimBlanks(std::string_view S) {
  while (!S.empty() && S.front() == ' ') S.remove_prefix(1);
  while (!S.empty() && S.back() == ' ') S.remove_suffix(1);
  return S;
}

// Whether Text ends with Tail when Text is lower-cased (Tail is lower case).
bool EndsWithLowered(const std::string& Text, std::string_view Tail) {
  if (Text.size() < Tail.size()) return false;
  const std::string_view End = std::string_view(Text).substr(Text.size() - Tail.size());
  if (End.front() != Tail.front()) return false;  // Tail starts with "<", never case-mapped
  return AnsiLowerCase(End) == Tail;
}

} // namespace

// ---- Frame ---------------------------------------------------------------------------------

std::string XMLIndentation(int32_t Indent) {
  return std::string(static_cast<std::size_t>(std::clamp(Indent, 1, 255)), ' ');
}

std::string XMLFloatStr(long double X) { return SciStr(X, 12); }

std::string XMLColorStr(TColor C) { return "$" + IntToHex(C & 0xFFFFFF, 6); }

std::string XMLBoolStr(bool B) { return B ? "1" : "0"; }

void WriteXMLBlockStart(TTextFile& F, bool CreateHeader, std::string_view ClassName,
                        std::string_view RootTag, std::string_view DataID, int32_t Indent) {
  const std::string Ind = XMLIndentation(Indent);
  if (CreateHeader) WriteLn(F, Ind + std::string(XMLHeaderLine));
  WriteLn(F);
  WriteLn(F, Ind + "<!-- " + std::string(ClassName) + " / ZEF Component Suite -->");
  WriteLn(F, Ind + "<" + std::string(RootTag) + " sig=\"" + std::string(XMLSignature) +
                 "\" vers=\"1.0\" id=\"" + std::string(DataID) + "\">");
}

bool IsXMLBlockStart(std::string_view Line, std::string_view RootTag, std::string_view DataID) {
  const std::string Lower = AnsiLowerCase(Line);
  if (Lower.find("<" + AnsiLowerCase(RootTag)) == std::string::npos) return false;
  if (Lower.find(AnsiLowerCase(XMLSignature)) == std::string::npos) return false;
  if (DataID.empty()) return true;
  const std::size_t P = Lower.find("id=\"");
  if (P == std::string::npos) return false;
  const std::size_t Start = P + 4;
  const std::size_t Quote = Lower.find('"', Start);
  const std::string_view Id = std::string_view(Lower).substr(
      Start, Quote == std::string::npos ? std::string::npos : Quote - Start);
  return TrimBlanks(Id) == AnsiLowerCase(DataID);
}

bool FindXMLBlockStart(TTextFile& F, std::string_view RootTag, std::string_view DataID) {
  std::string Line;
  while (!Eof(F)) {
    ReadLn(F, Line);
    if (IsXMLBlockStart(Line, RootTag, DataID)) return true;
  }
  return false;
}

// ---- Number readers ------------------------------------------------------------------------

int32_t ScanDecimal(std::string_view S, std::size_t& Pos) {
  if (Pos < 1) Pos = 1;
  while (Pos <= S.size() && S[Pos - 1] == ' ') ++Pos;
  bool Negative = false;
  if (Pos <= S.size() && (S[Pos - 1] == '+' || S[Pos - 1] == '-')) {
    Negative = S[Pos - 1] == '-';
    ++Pos;
  }
  constexpr int64_t Limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t V = 0;
  while (Pos <= S.size() && IsAsciiDigit(static_cast<unsigned char>(S[Pos - 1]))) {
    V = std::min(V * 10 + (S[Pos - 1] - '0'), Limit);
    ++Pos;
  }
  if (Negative) return static_cast<int32_t>(-V);
  return static_cast<int32_t>(std::min(V, Limit - 1));
}

uint32_t ScanHexadecimal(std::string_view S, std::size_t& Pos) {
  if (Pos < 1) Pos = 1;
  while (Pos <= S.size() && S[Pos - 1] == ' ') ++Pos;
  if (Pos == 1 && !S.empty() && S[0] == '$') ++Pos;
  uint32_t V = 0;
  while (Pos <= S.size()) {
    const int D = HexValue(static_cast<unsigned char>(S[Pos - 1]));
    if (D < 0) break;
    V = (V << 4) | static_cast<uint32_t>(D);
    ++Pos;
  }
  return V;
}

TFPNumScanner::TFPNumScanner(bool AllowExp, TDecSeparators Separators, bool StreamRules)
    : FAllowExp(AllowExp), FSeparators(Separators), FStreamRules(StreamRules) {}

bool TFPNumScanner::Feed(char32_t C) {
  if (FState == stEnd || FState == stError) return false;
  enum TClass : uint8_t { kSep, kBlank, kSign, kDigit, kE, kOther };
  const char32_t U = (C >= 'a' && C <= 'z') ? C - 32 : C;
  TClass K = kOther;
  if ((U == '.' && (FSeparators & dsepPoint) != 0) || (U == ',' && (FSeparators & dsepComma) != 0))
    K = kSep;
  else if (U == ' ' || (FStreamRules && FState == stStart && (U == '\t' || U == '\n' || U == '\r')))
    K = kBlank;
  else if (U == '+' || U == '-')
    K = kSign;
  else if (IsAsciiDigit(U))
    K = kDigit;
  else if (U == 'E')
    K = kE;

  const TState ExpOrEnd = FAllowExp ? stExponentMark : stEnd;
  const TState Unexpected = FStreamRules ? stError : stEnd;
  static constexpr TState kNoState = stError;
  TState Next = kNoState;
  switch (FState) {
    case stStart: {
      constexpr TState T[] = {stFractionStart, stStart, stSigned, stInteger, stError, stError};
      Next = T[K];
      break;
    }
    case stSigned: {
      constexpr TState T[] = {stFractionStart, stError, stError, stInteger, stError, stError};
      Next = T[K];
      break;
    }
    case stInteger: {
      const TState T[] = {stFractionStart, stEnd, stEnd, stInteger, ExpOrEnd, stEnd};
      Next = T[K];
      break;
    }
    case stFractionStart:
    case stFraction: {
      const TState T[] = {stError, stEnd, stEnd, stFraction, ExpOrEnd, stEnd};
      Next = T[K];
      break;
    }
    case stExponentMark: {
      const TState T[] = {stError, stError, stExponentSign, stExponent, stError, Unexpected};
      Next = T[K];
      break;
    }
    case stExponentSign: {
      const TState T[] = {stError, stError, stError, stExponent, stError, Unexpected};
      Next = T[K];
      break;
    }
    case stExponent: {
      constexpr TState T[] = {stEnd, stEnd, stEnd, stExponent, stEnd, stEnd};
      Next = T[K];
      break;
    }
    case stEnd:
    case stError:
      break;
  }
  FState = Next;
  if (Next == stEnd || Next == stError) return false;
  if (K == kBlank) return true;
  if (Next == stExponent) {
    // Exponent digits beyond a value of 4200 are read but no longer kept.
    if (FExponent > 4200) return true;
    FExponent = FExponent * 10 + static_cast<int32_t>(U - '0');
  }
  FText += K == kSep ? '.' : static_cast<char>(U);
  return true;
}

double TFPNumScanner::Value() const {
  if (FState == stError || FText.empty()) return 0;
  std::string T = FText;
  if (T.size() >= 2 && T[T.size() - 2] == 'E' && (T.back() == '+' || T.back() == '-')) T.resize(T.size() - 2);
  if (!T.empty() && T.back() == 'E') T.pop_back();
  if (!T.empty() && T.back() == '.') T += '0';
  long double V = 0;
  if (!TryStrToFloat(T, V)) {
    // The scanner only lets well-formed texts through, so a failure is an overflow, unless
    // the mantissa has no digit at all (".E5").
    const std::size_t EPos = std::min(T.find('E'), T.size());
    if (std::none_of(T.begin(), T.begin() + static_cast<std::ptrdiff_t>(EPos),
                     [](char C) { return C >= '0' && C <= '9'; }))
      return 0;
    V = T[0] == '-' ? -kFloatLimit : kFloatLimit;
  }
  return static_cast<double>(std::clamp(V, -kFloatLimit, kFloatLimit));
}

double ScanFPNum(std::string_view S, std::size_t& Pos, bool AllowExp, TDecSeparators Separators) {
  if (Pos < 1) Pos = 1;
  TFPNumScanner Scanner(AllowExp, Separators, false);
  while (true) {
    const char32_t C = Pos <= S.size() ? static_cast<unsigned char>(S[Pos - 1]) : 0;
    if (!Scanner.Feed(C)) break;
    ++Pos;
  }
  return Scanner.Value();
}

// ---- Attribute lookup ----------------------------------------------------------------------

std::string XMLAttribute(std::string_view Attributes, std::string_view Name) {
  const std::string Wanted = AnsiLowerCase(Name);
  const std::string_view A = Attributes;
  std::size_t I = 0;
  while (true) {
    const std::size_t NameStart = I;
    while (I < A.size() && A[I] != '=') {
      if (A[I] == '"') return {};
      ++I;
    }
    if (I >= A.size()) return {};
    const std::string_view AttrName = A.substr(NameStart, I - NameStart);
    ++I;
    while (I < A.size() && A[I] == ' ') ++I;
    if (I < A.size() && A[I] == '=') return {};
    std::string_view Value;
    if (I < A.size() && A[I] == '"') {
      const std::size_t Start = ++I;
      while (I < A.size() && A[I] != '"') ++I;
      Value = A.substr(Start, I - Start);
      if (I < A.size()) ++I;
    } else {
      const std::size_t Start = I;
      while (I < A.size() && A[I] != ' ' && A[I] != '"') {
        if (A[I] == '=') return {};
        ++I;
      }
      Value = A.substr(Start, I - Start);
    }
    if (AnsiLowerCase(Trim(AttrName)) == Wanted) return std::string(Value);
  }
}

int32_t XMLAttribAsInt(std::string_view Attributes, std::string_view Name) {
  std::size_t Pos = 1;
  return ScanDecimal(XMLAttribute(Attributes, Name), Pos);
}

uint32_t XMLAttribAsHex(std::string_view Attributes, std::string_view Name) {
  std::size_t Pos = 1;
  return ScanHexadecimal(XMLAttribute(Attributes, Name), Pos);
}

double XMLAttribAsFloat(std::string_view Attributes, std::string_view Name, bool AllowExp,
                        TDecSeparators Separators) {
  std::size_t Pos = 1;
  return ScanFPNum(XMLAttribute(Attributes, Name), Pos, AllowExp, Separators);
}

// ---- Sources -------------------------------------------------------------------------------

TXMLStreamSource::~TXMLStreamSource() {
  const std::size_t Unread = FCount - FPos;
  if (Unread == 0) return;
  try {
    FStream.Seek(-static_cast<int64_t>(Unread), soCurrent);
  } catch (...) {
    // A stream that cannot seek back stays where the buffer left it.
  }
}

bool TXMLStreamSource::NextByte(uint8_t& B) {
  if (FPos == FCount) {
    const int64_t N = FStream.Read(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
    FPos = 0;
    FCount = N > 0 ? static_cast<std::size_t>(N) : 0;
    if (FCount == 0) return false;
  }
  B = FBuffer[FPos++];
  return true;
}

bool TXMLStreamSource::NextChar(char32_t& C) {
  uint8_t B = 0;
  if (!NextByte(B)) return false;
  C = B;
  return true;
}

bool TXMLTextFileSource::NextChar(char32_t& C) {
  if (Eof(FFile)) return false;
  Read(FFile, C);
  return true;
}

bool TXMLStringSource::NextChar(char32_t& C) {
  if (FPos > FText.size()) return false;
  std::size_t I = FPos - 1;
  C = NextCodePoint(FText, I);
  FPos = I + 1;
  return true;
}

// ---- Element reader ------------------------------------------------------------------------

bool ReadXMLElement(TXMLSource& Source, TXMLElement& Element) {
  Element = TXMLElement();
  std::string Tag;
  char32_t C = 0;
  do {
    do {
      if (!Source.NextChar(C)) return false;
    } while (C != '<');
    Tag.clear();
    do {
      if (!Source.NextChar(C)) return false;
      AppendUtf8(Tag, C);
    } while (C != '>');
    // Comments and declarations ("<!...>") and processing instructions ("<?...>") are no
    // elements.
  } while (Tag[0] == '!' || Tag[0] == '?');

  const std::string_view T = Tag;
  const std::size_t Blank = T.find(' ');
  const bool SelfClosing = T.size() >= 2 && T[T.size() - 2] == '/';
  const std::size_t End = T.size() - (SelfClosing ? 2 : 1);
  const std::size_t NameEnd = std::min(Blank, End);
  Element.Name = AnsiLowerCase(T.substr(0, NameEnd));
  if (Blank < End) Element.Attributes = std::string(TrimBlanks(T.substr(Blank + 1, End - Blank - 1)));
  if (SelfClosing || Element.Name.empty() || Element.Name[0] == '/') return true;

  // The content runs to the closing tag. The search for it is made only when a ">" arrives,
  // and only at the end of the content, so long content costs linear time.
  const std::string Closing = "</" + Element.Name + ">";
  while (Source.NextChar(C)) {
    AppendUtf8(Element.Content, C);
    if (C == '>' && EndsWithLowered(Element.Content, Closing)) {
      Element.Content.resize(Element.Content.size() - Closing.size());
      break;
    }
  }
  return true;
}

int32_t XMLTagIndex(std::string_view Name, std::span<const std::string_view> Tags) {
  for (std::size_t I = 0; I < Tags.size(); ++I)
    if (Tags[I] == Name) return static_cast<int32_t>(I);
  return static_cast<int32_t>(Tags.size()) - 1;
}

} // namespace zef
