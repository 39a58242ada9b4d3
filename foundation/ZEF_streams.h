// Text and binary values on the platform's byte streams, number scanners, reading up to a
// marker, and reading XML-like files element by element.
//
// Text written to and read from streams here is single-byte: each character is written as
// the low byte of its code and each byte read is the Latin-1 character of that code (in
// memory the text is UTF-8). StreamAsString alone reads UTF-16. Reading starts at the
// stream's position and leaves it just after the last byte used. Binary numbers are
// little-endian in their native widths: 4 bytes for int32 and float, 8 for double, 10 for
// the 80-bit extended format.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "rtl/streams.h"
#include "rtl/textfile.h"
#include "zefbase_xml.h"

namespace zef {

// ---- Writing -------------------------------------------------------------------------------

void WriteStringStream(TStream& Stream, std::string_view Text);
// Text followed by CR LF.
void WriteLnStream(TStream& Stream, std::string_view Text);
void WriteLongintToStream(TStream& Stream, int32_t Value);
void WriteSingleToStream(TStream& Stream, float Value);
void WriteDoubleToStream(TStream& Stream, double Value);
void WriteExtendedToStream(TStream& Stream, long double Value);

// ---- Reading -------------------------------------------------------------------------------

// Error is false on success, true (and the value 0) when the stream ends first.
int32_t ReadLongintFromStream(TStream& Stream, bool& Error);
float ReadSingleFromStream(TStream& Stream, bool& Error);
double ReadDoubleFromStream(TStream& Stream, bool& Error);
long double ReadExtendedFromStream(TStream& Stream, bool& Error);

// Reads bytes, control characters included, up to the line end of EOLMode: 0 line feed,
// 1 carriage return, 2 either, 3 CR directly after LF, 4 LF directly after CR (other modes
// as 0). A final LF or CR is then removed, and once more, so "abc" CR LF gives "abc" in
// modes 0 and 4. EndOfStream becomes true when the stream ends before a line end.
std::string ReadLnStream(TStream& Stream, bool& EndOfStream, int32_t EOLMode);
// The rest of the stream as UTF-16 (little-endian pairs of bytes; an odd last byte is
// dropped, unpaired surrogates become U+FFFD).
std::string StreamAsString(TStream& Stream);
// The rest of the stream, one character per byte.
std::string StreamAsByteString(TStream& Stream);
// Reads up to and including the next byte B: true; false at the end of the stream.
bool FindInStream(TStream& Stream, uint8_t B);
// The number of line feeds from the position to the end (where the position is left).
int64_t CountLinesInStream(TStream& Stream);
// Reads until the text read holds Marker (case ignored). Found is 0 and the result the text
// up to and including Marker, with the position just after it; otherwise Found is -1 and
// the result everything up to the end of the stream.
std::string ReadStreamUntil(TStream& Stream, std::string_view Marker, int32_t& Found);
// The same for several markers: Index is the 0-based index of the marker that occurs first
// (-1 when none does).
std::string ReadStreamUntilTagList(TStream& Stream, std::span<const std::string_view> Tags,
                                   int32_t& Index);

// Skips blanks, line feeds and carriage returns, takes one "+" or "-" and decimal digits
// (saturating at the int32 range); no digits give 0. The character that ends the number is
// consumed.
int32_t ScanStreamDecimal(TStream& Stream);
// The floating-point reader of ScanFPNum with tabs and line ends skipped before the number.
// DecPChar: 1 point, 2 comma, 3 both, anything else no decimal separator. The character
// that ends the number is consumed; an unreadable number gives 0.
double ScanStreamFPNum(TStream& Stream, bool AllowExp, int32_t DecPChar);

// ---- Elements ------------------------------------------------------------------------------

// The attribute lookup of the tagged-text files (XMLAttribute).
std::string ScanForXMLAttrib(std::string_view Attributes, std::string_view Name);
// Reads the next element (ReadXMLElement) and returns the index of its name in Tags, which
// hold lower-case names; the highest index when the name is not there or the input ends
// (Attributes and Content are then empty).
int32_t ReadNextTagInStream(TStream& Stream, std::span<const std::string_view> Tags,
                            std::string& Attributes, std::string& Content);
int32_t ReadNextTagInTextFile(TTextFile& F, std::span<const std::string_view> Tags,
                              std::string& Attributes, std::string& Content);
// Reads elements until one named Tag (case ignored): true with its attributes and content;
// false at the end of the input.
bool ScanStreamForXMLTag(TStream& Stream, std::string_view Tag, std::string& Attributes,
                         std::string& Content);

// ---- TMixedFStream -------------------------------------------------------------------------

// A file stream with text and binary values.
class TMixedFStream : public TFileStream {
public:
  TMixedFStream(const std::string& AFileName, uint16_t Mode) : TFileStream(AFileName, Mode) {}
  using TFileStream::Write;

  // At or beyond the end of the file.
  bool Eos();
  void Write(std::string_view AString);
  void WriteLn(std::string_view AString);
  void WriteByte(uint8_t ANum);
  void WriteInteger(int32_t ANum);
  void WriteDouble(double ANum);
  uint8_t ReadByte(bool& Error);
  int32_t ReadInteger(bool& Error);
  double ReadDouble(bool& Error);
  long double ReadExtended(bool& Error);
  // A line up to the line end of EOLMode (as ReadLnStream) or the end of the file, keeping
  // only characters of code 32 and above and tabs.
  std::string ReadLn(int32_t EOLMode);
  int32_t ReadDecimal();
  double ReadFPNum(bool AllowExp, int32_t DecPChar);
};

} // namespace zef
