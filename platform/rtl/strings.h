// Text helpers. Strings hold UTF-8; positions and lengths count bytes and are 1-based
// where the classic string routines are (0 means "not found"). Single-byte code pages
// (Latin-1, Windows-1252) are converted here and nowhere else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zef {

// ---- UTF-8 -------------------------------------------------------------------------------

// Appends the UTF-8 form of code point C (invalid code points become U+FFFD).
void AppendUtf8(std::string& S, char32_t C);
std::string Utf8Encode(char32_t C);
// Decodes the code point that starts at byte index I (0-based) and advances I past it.
// A malformed sequence yields U+FFFD and advances by one byte.
char32_t NextCodePoint(std::string_view S, std::size_t& I);
std::u32string Utf8ToUtf32(std::string_view S);
std::string Utf32ToUtf8(std::u32string_view S);
// Number of code points in S.
std::size_t Utf8Length(std::string_view S);
bool IsValidUtf8(std::string_view S);

// ---- Single-byte code pages ---------------------------------------------------------------

enum TCodePage : uint8_t { cpLatin1, cpWindows1252, cpUtf8 };

// Bytes in the code page to UTF-8, and back. Characters the code page cannot hold become "?".
std::string Latin1ToUtf8(std::string_view Bytes);
std::string Utf8ToLatin1(std::string_view Text);
std::string Cp1252ToUtf8(std::string_view Bytes);
std::string Utf8ToCp1252(std::string_view Text);
std::string ToUtf8(std::string_view Bytes, TCodePage CodePage);
std::string FromUtf8(std::string_view Text, TCodePage CodePage);
// The code point of one byte in the code page, and the byte of a code point ('?' if absent).
char32_t ByteToCodePoint(uint8_t B, TCodePage CodePage);
uint8_t CodePointToByte(char32_t C, TCodePage CodePage);

// ---- The 1-based classic string routines --------------------------------------------------

// Position of the first occurrence of SubStr in S at or after Offset; 0 when absent or empty.
std::size_t Pos(std::string_view SubStr, std::string_view S, std::size_t Offset = 1);
// Count bytes from position Index; Index below 1 counts from 1, ranges past the end are cut.
std::string Copy(std::string_view S, std::ptrdiff_t Index, std::ptrdiff_t Count);
void Delete(std::string& S, std::ptrdiff_t Index, std::ptrdiff_t Count);
// Inserts Source before position Index (below 1: at the start; past the end: appended).
void Insert(std::string_view Source, std::string& S, std::ptrdiff_t Index);
std::string StringOfChar(char C, std::ptrdiff_t Count);

// Remove every character of code 32 and below.
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);

// ASCII letters only.
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
char UpCase(char C);
// Compare ignoring the case of ASCII letters: < 0, 0 or > 0.
int CompareText(std::string_view A, std::string_view B);
bool SameText(std::string_view A, std::string_view B);
// Byte-wise comparison: < 0, 0 or > 0.
int CompareStr(std::string_view A, std::string_view B);

// Latin-1-aware case mapping and comparison (letters U+00C0..U+00FE and U+00FF/U+0178
// besides A..Z); other code points are kept.
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);
char32_t AnsiUpperChar(char32_t C);
char32_t AnsiLowerChar(char32_t C);
int AnsiCompareText(std::string_view A, std::string_view B);
bool AnsiSameText(std::string_view A, std::string_view B);
int AnsiCompareStr(std::string_view A, std::string_view B);

enum TReplaceFlag : uint8_t { rfReplaceAll = 1, rfIgnoreCase = 2 };
// Replaces the first (or, with rfReplaceAll, every) occurrence of OldPattern.
// rfIgnoreCase ignores the case of ASCII letters.
std::string StringReplace(std::string_view S, std::string_view OldPattern,
                          std::string_view NewPattern, unsigned Flags);

bool StartsText(std::string_view SubText, std::string_view Text);
bool EndsText(std::string_view SubText, std::string_view Text);

// Splits S at every occurrence of the character Delimiter (an empty S gives one empty item).
std::vector<std::string> SplitString(std::string_view S, char Delimiter);

} // namespace zef
