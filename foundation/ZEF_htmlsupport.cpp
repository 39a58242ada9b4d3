// THtmlProducer and the web text functions.
#include "ZEF_htmlsupport.h"

#include <algorithm>

#include "ZEF_stringl.h"
#include "ZEF_streams.h"
#include "rtl/strings.h"
#include "rtl/textfile.h"

namespace zef {

namespace {

bool IsHexDigit(char C) {
  return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F');
}

int HexValue(char C) { return C <= '9' ? C - '0' : (C | 0x20) - 'a' + 10; }

// The length of the valid UTF-8 sequence at the start of B, 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view B) {
  const uint8_t L = static_cast<uint8_t>(B[0]);
  const std::size_t N = L >= 0xF0 ? 4 : L >= 0xE0 ? 3 : L >= 0xC0 ? 2 : 0;
  return N > 0 && N <= B.size() && IsValidUtf8(B.substr(0, N)) ? N : 0;
}

// One decoding step: "%hh" becomes the byte hh; runs of escaped bytes 128..255 that form
// UTF-8 stay bytes, others become Latin-1 characters.
std::string DecodeStep(std::string_view S) {
  std::string R;
  R.reserve(S.size());
  std::size_t i = 0;
  while (i < S.size()) {
    if (S[i] != '%' || i + 2 >= S.size() || !IsHexDigit(S[i + 1]) || !IsHexDigit(S[i + 2])) {
      R += S[i++];
      continue;
    }
    std::string High;
    std::size_t j = i;
    for (; j + 2 < S.size() && S[j] == '%' && IsHexDigit(S[j + 1]) && IsHexDigit(S[j + 2]);
         j += 3) {
      const char B = static_cast<char>(HexValue(S[j + 1]) * 16 + HexValue(S[j + 2]));
      if (static_cast<uint8_t>(B) < 0x80) break;
      High += B;
    }
    if (High.empty()) {
      R += static_cast<char>(HexValue(S[i + 1]) * 16 + HexValue(S[i + 2]));
      i += 3;
      continue;
    }
    for (std::size_t k = 0; k < High.size();) {
      const std::size_t N = Utf8SequenceLength(std::string_view(High).substr(k));
      if (N > 0) {
        R.append(High, k, N);
        k += N;
      } else {
        AppendUtf8(R, static_cast<uint8_t>(High[k++]));
      }
    }
    i = j;
  }
  return R;
}

bool StartsWithText(std::string_view S, std::size_t Pos, std::string_view Sub) {
  return S.size() - Pos >= Sub.size() && SameText(S.substr(Pos, Sub.size()), Sub);
}

std::size_t FindText(std::string_view S, std::string_view Sub, std::size_t From = 0) {
  for (std::size_t i = From; i + Sub.size() <= S.size(); ++i)
    if (StartsWithText(S, i, Sub)) return i;
  return std::string_view::npos;
}

} // namespace

// ---- THtmlProducer --------------------------------------------------------------------------

THtmlProducer::THtmlProducer(TComponent* AOwner) : TComponent(AOwner) {}

THtmlProducer::~THtmlProducer() = default;

std::string THtmlProducer::Convert() {
  const std::string_view T = FTemplate;
  std::string R;
  R.reserve(T.size());
  std::size_t i = 0;
  while (i < T.size()) {
    if (T[i] != '<' || i + 1 >= T.size() || T[i + 1] != '#') {
      R += T[i++];
      continue;
    }
    const std::size_t Close = T.find('>', i + 2);
    const std::size_t End = Close == std::string_view::npos ? T.size() : Close + 1;
    const std::string_view Inner =
        T.substr(i + 2, (Close == std::string_view::npos ? T.size() : Close) - i - 2);
    const std::size_t Blank = Inner.find(' ');
    const std::string TagName = LowerCase(Inner.substr(0, Blank));
    const std::string Params =
        Blank == std::string_view::npos ? std::string() : StripLTBlanks(Inner.substr(Blank + 1));
    std::string Replacement(T.substr(i, End - i));
    if (OnHTMLTag) OnHTMLTag(this, TagName, Params, Replacement);
    R += Replacement;
    i = End;
  }
  FConverted = std::move(R);
  return FConverted;
}

TStream& THtmlProducer::ConvertedHTMLAsStream() {
  FStream = std::make_unique<TStringStream>(FConverted);
  return *FStream;
}

void THtmlProducer::ReadTemplateFromFile(const std::string& FName) {
  TTextFile F;
  AssignFile(F, FName);
  Reset(F);
  std::string T;
  std::string Line;
  while (!Eof(F)) {
    ReadLn(F, Line);
    T += Line;
    T += "\r\n";
  }
  FTemplate = std::move(T);
}

void THtmlProducer::ReadTemplateFromStream(TStream& InStream) {
  InStream.SetPosition(0);
  FTemplate = StreamAsString(InStream);
}

void THtmlProducer::WriteConvertedHTMLToFile(const std::string& FName) const {
  TTextFile F;
  AssignFile(F, FName);
  Rewrite(F);
  Write(F, std::string_view(FConverted));
  CloseFile(F);
}

// ---- Web texts ------------------------------------------------------------------------------

int32_t CountWordsHTML(std::string_view Instring, bool IgnoreNumbers, bool& InTag) {
  int32_t Count = 0;
  int32_t Run = 0;
  bool DigitStart = false;
  std::size_t i = 0;
  while (i < Instring.size()) {
    const char32_t C = NextCodePoint(Instring, i);
    if (InTag) {
      if (C != '>') continue;
      InTag = false;
    } else if (C == '<') {
      InTag = true;
      continue;
    }
    if (C < 256 && WordSeps[C]) {
      if (Run >= 2 && !(IgnoreNumbers && DigitStart)) ++Count;
      Run = 0;
    } else {
      if (Run == 0) DigitStart = C >= '0' && C <= '9';
      ++Run;
    }
  }
  return Count;
}

std::string ExtractHTTPPath(std::string_view URL) {
  if (const std::size_t P = FindText(URL, "http://"); P != std::string_view::npos)
    URL.remove_prefix(P + 7);
  const std::size_t Slash = URL.rfind('/');
  return Slash == std::string_view::npos ? std::string() : std::string(URL.substr(0, Slash + 1));
}

std::string URLEncode(std::string_view Instring) {
  static constexpr std::string_view Reserved = "!*();:@&=+$,/?%#[] ";
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string R;
  R.reserve(Instring.size());
  for (char C : Instring) {
    if (Reserved.find(C) != std::string_view::npos) {
      R += '%';
      R += Hex[static_cast<uint8_t>(C) >> 4];
      R += Hex[static_cast<uint8_t>(C) & 15];
    } else {
      R += C;
    }
  }
  return R;
}

std::string URLDecode(std::string_view Instring) { return DecodeStep(DecodeStep(Instring)); }

std::string AnsiToHTMLEntity(char32_t C) {
  switch (C) {
  case '<': return "&lt;";
  case '>': return "&gt;";
  case '&': return "&amp;";
  case '"': return "&quot;";
  default:
    if (C >= 160 && C <= 255) return HTMLLat1Entities[static_cast<int>(C)];
    return Utf8Encode(C);
  }
}

char32_t HTMLEntityToAnsi(std::string_view Entity) {
  if (Entity.size() < 3 || Entity.front() != '&' || Entity.back() != ';') return 0;
  if (Entity[1] == '#') {
    const bool Hex = Entity.size() > 3 && (Entity[2] == 'x' || Entity[2] == 'X');
    const std::string_view Digits = Entity.substr(Hex ? 3 : 2, Entity.size() - (Hex ? 4 : 3));
    if (Digits.empty() || Digits.size() > 7) return 0;
    uint32_t V = 0;
    for (char D : Digits) {
      if (Hex ? !IsHexDigit(D) : (D < '0' || D > '9')) return 0;
      V = V * (Hex ? 16 : 10) + static_cast<uint32_t>(HexValue(D));
    }
    return V > 0 && V <= 0x10FFFF && (V < 0xD800 || V > 0xDFFF) ? V : 0;
  }
  static constexpr std::pair<std::string_view, char32_t> Basic[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  for (const auto& [Name, C] : Basic)
    if (Entity == Name) return C;
  for (int C = 160; C <= 255; ++C)
    if (Entity == HTMLLat1Entities[C]) return static_cast<char32_t>(C);
  return 0;
}

std::string ResolveHTMLEntities(std::string_view S) {
  std::string R;
  R.reserve(S.size());
  std::size_t i = 0;
  while (i < S.size()) {
    if (S[i] == '&') {
      const std::size_t Semi = S.find(';', i);
      if (Semi != std::string_view::npos && Semi - i <= 10) {
        if (const char32_t C = HTMLEntityToAnsi(S.substr(i, Semi - i + 1)); C != 0) {
          AppendUtf8(R, C);
          i = Semi + 1;
          continue;
        }
      }
    }
    R += S[i++];
  }
  return R;
}

std::string MakeStringHTMLCompatible(std::string_view S) {
  std::string R;
  R.reserve(S.size());
  std::size_t i = 0;
  while (i < S.size()) R += AnsiToHTMLEntity(NextCodePoint(S, i));
  return R;
}

std::string DefaultHTMLHead(std::string_view Title, std::string_view Author,
                            std::string_view Description, std::string_view Keywords,
                            bool OpenBody) {
  std::string R =
      "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\r\n";
  auto Meta = [&R](std::string_view Name, std::string_view Content) {
    if (!Content.empty())
      R += "<meta name=\"" + std::string(Name) + "\" content=\"" +
           MakeStringHTMLCompatible(Content) + "\">\r\n";
  };
  Meta("author", Author);
  Meta("description", Description);
  Meta("keywords", Keywords);
  R += "<title>" + MakeStringHTMLCompatible(Title) + "</title>\r\n</head>\r\n";
  if (OpenBody) R += "<body>\r\n";
  return R;
}

std::string DefaultHTMLFoot(bool CloseBody) {
  return CloseBody ? "</body>\r\n</html>\r\n" : "</html>\r\n";
}

std::string ExtractHTMLBody(std::string_view HTML) {
  std::size_t Open = FindText(HTML, "<body");
  while (Open != std::string_view::npos && Open + 5 < HTML.size() && HTML[Open + 5] != '>' &&
         HTML[Open + 5] != ' ' && HTML[Open + 5] != '\t' && HTML[Open + 5] != '\r' &&
         HTML[Open + 5] != '\n')
    Open = FindText(HTML, "<body", Open + 5);
  if (Open == std::string_view::npos) return std::string(HTML);
  const std::size_t Start = HTML.find('>', Open);
  if (Start == std::string_view::npos) return {};
  const std::size_t Close = FindText(HTML, "</body", Start + 1);
  return std::string(
      HTML.substr(Start + 1, (Close == std::string_view::npos ? HTML.size() : Close) - Start - 1));
}

std::string ConvertHTMLBodyToText(std::string_view HTML, bool LineBreaks) {
  static constexpr std::string_view BreakTags[] = {"br", "p",  "div", "li", "tr", "h1",
                                                   "h2", "h3", "h4",  "h5", "h6"};
  const std::string Body = ExtractHTMLBody(HTML);
  std::string Text;
  bool Space = false;
  auto NewLine = [&] {
    while (!Text.empty() && Text.back() == ' ') Text.pop_back();
    if (!Text.empty()) Text += "\r\n";
    Space = false;
  };
  std::size_t i = 0;
  while (i < Body.size()) {
    const char C = Body[i];
    if (C == '<') {
      const std::size_t Close = Body.find('>', i);
      const std::size_t End = Close == std::string::npos ? Body.size() : Close;
      std::string_view Tag = std::string_view(Body).substr(i + 1, End - i - 1);
      if (!Tag.empty() && Tag[0] == '/') Tag.remove_prefix(1);
      const std::string Name = LowerCase(Tag.substr(0, Tag.find_first_of(" \t\r\n/")));
      if (std::find(std::begin(BreakTags), std::end(BreakTags), Name) != std::end(BreakTags)) {
        if (LineBreaks)
          NewLine();
        else
          Space = !Text.empty();
      }
      i = Close == std::string::npos ? Body.size() : Close + 1;
      continue;
    }
    if (C == ' ' || C == '\t' || C == '\r' || C == '\n') {
      Space = !Text.empty() && Text.back() != '\n';
      ++i;
      continue;
    }
    if (Space) Text += ' ';
    Space = false;
    const std::size_t Next = Body.find('<', i);
    std::size_t Stop = i;
    while (Stop < Body.size() && Stop != Next && Body[Stop] != ' ' && Body[Stop] != '\t' &&
           Body[Stop] != '\r' && Body[Stop] != '\n')
      ++Stop;
    Text += ResolveHTMLEntities(std::string_view(Body).substr(i, Stop - i));
    i = Stop;
  }
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\n' || Text.back() == '\r'))
    Text.pop_back();
  return Text;
}

} // namespace zef
