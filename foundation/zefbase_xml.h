// ZEF_zefbase, continued: the tagged-text files of the suite and the text label settings.
//
// A tagged-text (XML-like) file, or a block inside a larger one, is: an optional header line,
// an empty line, a comment line naming the class and "ZEF Component Suite", the root element
// with sig="ZEFCSuite", vers="1.0" and the caller's id, one child element per line indented
// by two more blanks, and the closing root line. Every line but the empty one starts with
// Indent blanks (clamped to 1..255); lines end with CR LF. Readers match signature and id
// ignoring case and read element by element.
//
// Contents
//   1. Frame lines              4. Element reader
//   2. Number readers           5. TCustomTextLabel
//   3. Attribute lookup
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "ZEF_zefbase.h"
#include "graphics/drawtools.h"
#include "rtl/streams.h"
#include "rtl/textfile.h"

namespace zef {

// ---- 1. Frame lines -----------------------------------------------------------------------

inline constexpr std::string_view XMLHeaderLine = "<?xml version=\"1.0\"?>";
inline constexpr std::string_view XMLSignature = "ZEFCSuite";

// Indent blanks, Indent clamped to 1..255.
std::string XMLIndentation(int32_t Indent);
// A float as the files write it: the scientific form of width 12, " 1.000E+0002".
std::string XMLFloatStr(long double X);
// "$" + six upper-case hexadecimal digits of the low 24 bits of C (system colour markers in
// the high byte are not written).
std::string XMLColorStr(TColor C);
// "1" or "0".
std::string XMLBoolStr(bool B);
// Writes the optional header line, the empty line, the comment line
// "<!-- " + ClassName + " / ZEF Component Suite -->" and the opening line
// "<" + RootTag + " sig=\"ZEFCSuite\" vers=\"1.0\" id=\"" + DataID + "\">".
void WriteXMLBlockStart(TTextFile& F, bool CreateHeader, std::string_view ClassName,
                        std::string_view RootTag, std::string_view DataID, int32_t Indent);
// Whether a line opens the block of RootTag: it holds "<" + RootTag and the signature and,
// when DataID is not empty, an id equal to DataID (case ignored throughout; the id is the
// text after the first id=" up to the next quote, trimmed of blanks).
bool IsXMLBlockStart(std::string_view Line, std::string_view RootTag, std::string_view DataID);
// Reads whole lines of F until one opens the block; false when the file ends first.
bool FindXMLBlockStart(TTextFile& F, std::string_view RootTag, std::string_view DataID);

// ---- 2. Number readers --------------------------------------------------------------------
// Each starts at the 1-based byte position Pos of S and leaves Pos on the character that
// ended the number; numbers that cannot be read are 0.

// Decimal separators the floating-point reader accepts.
enum TDecSeparators : uint8_t { dsepNone, dsepPoint, dsepComma, dsepBoth };

// Blanks, one "+" or "-", then decimal digits (saturating at the int32 range).
int32_t ScanDecimal(std::string_view S, std::size_t& Pos);
// Blanks, a "$" when it is the first character of S, then hexadecimal digits of either
// case (only the last eight count).
uint32_t ScanHexadecimal(std::string_view S, std::size_t& Pos);
// Blanks, sign, digits, a decimal separator (a comma counts as a point), digits and, when
// AllowExp, "E", sign and exponent digits. A second separator, a blank after the sign or a
// malformed exponent make the number unreadable; an incomplete exponent ("1E", "1E+") is
// left out. The result is limited to +-1.7e308.
double ScanFPNum(std::string_view S, std::size_t& Pos, bool AllowExp, TDecSeparators Separators);

// The floating-point reader as a state machine fed one character at a time, shared by
// ScanFPNum and the stream scanner. With StreamRules, tabs and line ends before the number
// are skipped like blanks and an unexpected character after "E" or its sign is an error.
class TFPNumScanner {
public:
  TFPNumScanner(bool AllowExp, TDecSeparators Separators, bool StreamRules);
  // Takes the next character (0 stands for the end of the text). False once the scan has
  // ended; the character that ended it is not part of the number.
  bool Feed(char32_t C);
  // The number read; 0 when the text was no number.
  double Value() const;

private:
  enum TState : uint8_t {
    stStart, stSigned, stInteger, stFractionStart, stFraction, stExponentMark, stExponentSign,
    stExponent, stEnd, stError
  };
  bool FAllowExp;
  TDecSeparators FSeparators;
  bool FStreamRules;
  TState FState = stStart;
  std::string FText;
  int32_t FExponent = 0;
};

// ---- 3. Attribute lookup ------------------------------------------------------------------

// The value of the attribute Name (case ignored) in an attribute text such as
// x=1 name="a b" y= 2; empty when it is missing or the text is malformed (a quote in a
// name, "=" after "=", "=" inside an unquoted value).
std::string XMLAttribute(std::string_view Attributes, std::string_view Name);
// The attribute read with the decimal, hexadecimal or floating-point reader (0 when missing).
int32_t XMLAttribAsInt(std::string_view Attributes, std::string_view Name);
uint32_t XMLAttribAsHex(std::string_view Attributes, std::string_view Name);
double XMLAttribAsFloat(std::string_view Attributes, std::string_view Name, bool AllowExp = true,
                        TDecSeparators Separators = dsepBoth);

// ---- 4. Element reader --------------------------------------------------------------------

// Where the element reader takes its characters from.
class TXMLSource {
public:
  virtual ~TXMLSource() = default;
  // The next character; false at the end of the input.
  virtual bool NextChar(char32_t& C) = 0;
};

// The bytes of a stream from its position on, each a Latin-1 character. Reads through a
// buffer; when the source is destroyed the stream is set back to just after the last byte
// taken.
class TXMLStreamSource : public TXMLSource {
public:
  explicit TXMLStreamSource(TStream& Stream) : FStream(Stream) {}
  ~TXMLStreamSource() override;
  TXMLStreamSource(const TXMLStreamSource&) = delete;
  TXMLStreamSource& operator=(const TXMLStreamSource&) = delete;
  bool NextByte(uint8_t& B);
  bool NextChar(char32_t& C) override;

private:
  TStream& FStream;
  std::array<uint8_t, 4096> FBuffer{};
  std::size_t FPos = 0;
  std::size_t FCount = 0;
};

// The characters of a text file open for reading, line ends included.
class TXMLTextFileSource : public TXMLSource {
public:
  explicit TXMLTextFileSource(TTextFile& F) : FFile(F) {}
  bool NextChar(char32_t& C) override;

private:
  TTextFile& FFile;
};

// The characters of a UTF-8 string from byte position Pos (1-based), which follows the
// reading.
class TXMLStringSource : public TXMLSource {
public:
  TXMLStringSource(std::string_view S, std::size_t Pos) : FText(S), FPos(Pos < 1 ? 1 : Pos) {}
  bool NextChar(char32_t& C) override;
  std::size_t Pos() const { return FPos; }

private:
  std::string_view FText;
  std::size_t FPos;
};

// One element: its name (lower case), the attribute text and the content.
struct TXMLElement {
  std::string Name;
  std::string Attributes;
  std::string Content;
};

// Skips to the next "<" and takes the tag up to ">"; tags starting with "!" (comments,
// declarations) or "?" (the header line) are passed over. A self-closing tag ("/>") gives
// its name and attribute text, a closing tag ("</name>") its name; any other element also
// takes the characters after its tag up to its closing tag "</name>" (case ignored) as its
// content, nested elements included, or up to the end of the input. False, with an empty
// element, when the input ends before a tag is complete.
bool ReadXMLElement(TXMLSource& Source, TXMLElement& Element);
// The index of Name in Tags (lower-case names); the highest index when it is not there
// (-1 for no Tags).
int32_t XMLTagIndex(std::string_view Name, std::span<const std::string_view> Tags);

// ---- 5. TCustomTextLabel ------------------------------------------------------------------

// The settings of a free text label that charts place over their drawing area: position,
// caption, colours, shadow, alignment, font and display mode. It draws nothing itself.
// Every setter stores the value and calls Changed.
class TCustomTextLabel : public TPersistent {
public:
  TCustomTextLabel();
  ~TCustomTextLabel() override;
  TCustomTextLabel(const TCustomTextLabel&) = delete;
  TCustomTextLabel& operator=(const TCustomTextLabel&) = delete;

  double PosX() const { return FFields.PosX; }
  double PosY() const { return FFields.PosY; }
  int32_t Layer() const { return FFields.Layer; }
  int32_t ShadowDx() const { return FFields.ShadowDx; }
  int32_t ShadowDy() const { return FFields.ShadowDy; }
  TColor ColorShadow() const { return FFields.ColorShadow; }
  TAlignment Alignment() const { return FFields.Alignment; }
  TVerticalAlignment VerticalAlignment() const { return FFields.VerticalAlignment; }
  TTxtLblAttachMode AttachToData() const { return FFields.AttachToData; }
  TColor ColorBkg() const { return FFields.ColorBkg; }
  TColor ColorBorder() const { return FFields.ColorBorder; }
  bool Transparent() const { return FFields.Transparent; }
  const TFont& Font() const { return *FFont; }
  TFont& Font() { return *FFont; }
  const std::string& Caption() const { return FFields.Caption; }
  TTxtLblMode Mode() const { return FFields.Mode; }
  bool Visible() const { return FFields.Visible; }

  void SetTxtLblPosX(double Value);
  void SetTxtLblPosY(double Value);
  // Accepts 1 to 16 and ignores other values.
  void SetTxtLblLayer(int32_t Value);
  // Sets AttachToData.
  void SetTxtLblScreenPos(TTxtLblAttachMode Value);
  void SetTxtLblColorBkg(TColor Value);
  void SetTxtLblColorBrd(TColor Value);
  void SetTxtLblColorShadow(TColor Value);
  void SetTxtLblShadowDx(int32_t Value);
  void SetTxtLblShadowDy(int32_t Value);
  void SetTxtLblTranspar(bool Value);
  void SetTxtLblAlignment(TAlignment Value);
  void SetTxtLblVertAlignment(TVerticalAlignment Value);
  // Copies Value's settings into the label's own font.
  void SetTxtLblFont(const TFont& Value);
  void SetTxtLblMode(TTxtLblMode Value);
  // Characters below code 32 other than the line feed become blanks.
  void SetTxtLblCaption(const std::string& Value);
  void SetTxtLblVisible(bool Value);

  void Changed();
  // From another TCustomTextLabel: every setting, the font's settings and the change handler.
  void Assign(const TPersistent& Source) override;

  // Appends the label's block (root element "custtextlbl") to a text file open for writing.
  void WriteToOpenXMLFile(TTextFile& F, bool CreateHeader, const std::string& DataID,
                          int32_t Indent) const;
  // Reads from the current position of a text file open for reading: skips lines up to the
  // block with DataID (any block when DataID is empty), reads its elements up to
  // "</custtextlbl>" (attach mode, font and display mode included) and calls Changed once.
  // True when a complete block was read; otherwise (no such block, or the file ends inside
  // it) false with the label unchanged.
  bool ReadFromOpenXMLFile(TTextFile& F, const std::string& DataID);

  TNotifyEvent OnChange;

private:
  struct TFields {
    double PosX = 100.0;
    double PosY = 10.0;
    int32_t Layer = 1;
    int32_t ShadowDx = 0;
    int32_t ShadowDy = 0;
    TColor ColorShadow = 0x808080;
    TAlignment Alignment = taCenter;
    TVerticalAlignment VerticalAlignment = vaBottom;
    TTxtLblAttachMode AttachToData = tlamNone;
    TColor ColorBkg = 0xC0C0C0;
    TColor ColorBorder = 0x000000;
    bool Transparent = false;
    std::string Caption;
    TTxtLblMode Mode = tlsimple;
    bool Visible = true;
  };
  // Applies one element of a label block to the fields and the font.
  static void ApplyElement(const TXMLElement& E, TFields& Fields, TFont& Font);

  TFields FFields;
  std::unique_ptr<TFont> FFont;
};

} // namespace zef
