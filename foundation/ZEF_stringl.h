// Number and value formatting and the text utilities of the suite.
//
// Texts are UTF-8. Positions are 1-based byte positions (0 means "not found"); for ASCII text
// they are character positions. Functions with a visual meaning (padding, centring,
// abbreviating, reversing) count code points. "Blank" is the character of code 32 only.
//
// Contents
//   1. Number and value formatting    4. Splitting and tokens
//   2. Search by occurrence           5. Words, case and character classes
//   3. Trimming, padding, editing     6. Scrambler, quoted names, UU code, tags in strings
//                                     7. Pattern matcher (TGrep)
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "zefbase_xml.h"
#include "classes/object.h"
#include "rtl/variant.h"

namespace zef {

// The word separators among the codes 0..255: the codes 0, 10 and 13, the blank, the double
// quote and # % ' ( ) * + , - . / : ; < = > [ \ ] { }. Characters above 255 never separate.
extern const std::bitset<256> WordSeps;

using TCharArr256 = std::array<char32_t, 256>;
using TOpenStringArray = std::vector<std::string>;
// The states of ParseQuotedName.
enum TQuotedStrState : uint8_t { vsStart, vs1stQuote, vsQuote, vsNormal, vsEnd };

// ---- 1. Number and value formatting -------------------------------------------------------
// F(x, w, d) is the fixed form and E(x, w) the scientific form of rtl/numconv.h.

// Decimals >= 0: F(x, |Width|, Decimals). Decimals = -2: E(x, |Width| + 2) with a two-digit
// exponent, |Width| characters (" 1.23400E+02"); when the exponent needs more digits, or x is
// no finite number, every character is "*". Other negative Decimals act as 0. A negative
// Width pads with zeros instead of blanks, the minus sign in front: strff(-3.5, -8, 2) is
// "-0003.50".
std::string strff(long double x, int32_t Width, int32_t Decimals);
// strff with a "+" for x >= 0, put in the last leading blank, else in place of a leading
// zero that is not followed by ".", else in front.
std::string strffForcePlus(long double x, int32_t Width, int32_t Decimals);
// F(x, Width, Decimals) for Decimals 0..8 while |x| fits nine digits of which Decimals are
// decimals and x is 0 or at least 10^-Decimals in magnitude; otherwise strff(x, Width + 6, -2).
std::string FormatData(double x, int32_t Width, int32_t Decimals);
// x with SigDigits significant digits in a field of Width, switching to the scientific form
// when the digits do not fit. SigDigStr(0, w, 0) has no decimal point. StripBlanks removes
// leading and trailing blanks from the result.
std::string SigDigStr(double x, int32_t Width, int32_t SigDigits, bool StripBlanks = false);
// x with NDig (2..16) significant digits, trimmed: "123.46", "0.5000", "5.0000E-02".
// CommaSeparator replaces every "." by ",".
std::string AutoFormatData(double x, int32_t NDig, bool CommaSeparator = false);
// Seconds as a clock text. Mode 0 "01:02:03.45", 1 "01:02:03", 2 " 1h02", 3 " 1h02'03\"",
// 4 "01:02", 5 " 1:05p" (twelve-hour clock); any other Mode gives the empty text.
// Negative seconds count as 0.
std::string TimeString(double Seconds, uint8_t Mode);
// Mode 0 "TRUE"/"FALSE", 1 "T"/"F", 2 ".T."/".F.", 3 "1"/"0", 4 "-1"/"0", 5 "FF"/"00",
// 6 "YES"/"NO", 7 "GOOD"/"BAD"; other modes as 0.
std::string BoolToStr(bool b, int32_t Mode);
std::string BinString(bool b, std::string_view TrueText, std::string_view FalseText);
// "true", "1", "+1", "yes" give tsTrue; "false", "-1", "no" tsFalse (case and surrounding
// blanks ignored); anything else tsUndefined.
TTriState StrToTriState(std::string_view S);
// Mode 1 "1"/"-1"/"0", Mode 2 "yes"/"no"/"unknown", otherwise "true"/"false"/"" (for
// tsTrue, tsFalse, tsUndefined).
std::string TriStateToStr(TTriState t, int32_t Mode);

// A comma-separated list of the first MaxItems items (all when MaxItems <= 0), with "..."
// for the items left out, in brackets when Brackets, followed by a "," when AppendComma:
// [1, 2, 3] with MaxItems 2 and Brackets gives "[1,2,...]". Boolean items are written
// with BoolToStr mode 0, floating-point items with AutoFormatData(x, NDig).
std::string CreateParList(const TIntArray& Values, bool AppendComma, int32_t MaxItems,
                          bool Brackets);
std::string CreateParList(std::span<const int32_t> Values, bool AppendComma, int32_t MaxItems,
                          bool Brackets);
std::string CreateParList(std::span<const bool> Values, bool AppendComma, int32_t MaxItems,
                          bool Brackets);
std::string CreateParList(const TDoubleArray& Values, bool AppendComma, int32_t MaxItems,
                          int32_t NDig, bool Brackets);
std::string CreateParList(std::span<const double> Values, bool AppendComma, int32_t MaxItems,
                          int32_t NDig, bool Brackets);

// A variant for display: "NULL" for Empty and Null, integers in decimal, floats as
// strff(x, 10, -2), "TRUE"/"FALSE", texts unchanged, "(unknown type: <code>)" otherwise.
// Arrays of one to three dimensions are laid out as a header "Array[lo,hi]...:" and lines of
// at most 12 items, 10 rows and 3 layers.
std::string ConvertVariant(const TVariant& V);
// Resolves "\#hh" (two hexadecimal digits) to the character of that code and "\\" to "\";
// any other backslash stays.
std::string ProcessHexChars(std::string_view S);
// Count (clamped to 1..255) copies of C.
std::string MultiChar(char32_t C, int32_t Count);

// ---- 2. Search by occurrence --------------------------------------------------------------

// Position of the Num-th non-overlapping occurrence of Sub in S from StartPos (values below 1
// count as 1); 0 when there are fewer. IgnoreCase compares both texts lower-cased.
std::size_t NumberedPos(std::string_view Sub, std::string_view S, std::ptrdiff_t StartPos,
                        int32_t Num, bool IgnoreCase);
// The same backwards: only occurrences ending at or before StartPos count, the nearest first.
std::size_t NumberedPosBw(std::string_view Sub, std::string_view S, std::ptrdiff_t StartPos,
                          int32_t Num, bool IgnoreCase);
// Position of the last occurrence of Sub; 0 when there is none.
std::size_t PosLast(std::string_view Sub, std::string_view S);
// 1-based index of the first of Values equal to S; 0 when none is. Without MatchCase the
// comparison ignores case.
int32_t StringIx(std::string_view S, std::initializer_list<std::string_view> Values);
int32_t StringIx(std::string_view S, std::span<const std::string> Values);
int32_t StringIx(std::string_view S, bool MatchCase, std::initializer_list<std::string_view> Values);
int32_t StringIx(std::string_view S, bool MatchCase, std::span<const std::string> Values);
// Number of non-overlapping occurrences; without MatchCase case is ignored.
int32_t CountStringInString(std::string_view Sub, std::string_view S, bool MatchCase);
int32_t CountCharInString(char32_t C, std::string_view S, bool MatchCase);
std::size_t FindFirstNonBlank(std::string_view S);
std::size_t FindFirstDigit(std::string_view S);
// S is not empty and every character equals C.
bool TestAllChar(std::string_view S, char32_t C);
// Whether S holds a character of CharSet, or one not in CharSet. CharSet may use the macros
// "//dig" (0-9), "//lc" (a-z), "//uc" (A-Z), "//31dwn" (codes 0..31) and "//128up" (codes
// 128..255). Both sets cover the codes 0..255 only: other characters are in neither.
bool StringContains(std::string_view S, std::string_view CharSet);
bool StringContainsOtherThan(std::string_view S, std::string_view CharSet);

// ---- 3. Trimming, padding, editing --------------------------------------------------------

// Without leading and trailing blanks; all blanks give the empty text.
std::string StripLTBlanks(std::string_view S);
// Without leading (trailing) blanks; a text of blanks only keeps one blank.
std::string StripLeadingBlanks(std::string_view S);
std::string StripTrailingBlanks(std::string_view S);
// Leading characters C removed.
std::string StripLeadingChars(char32_t C, std::string_view S);
// Trailing characters C removed, keeping at least the first character.
std::string StripTrailingChars(char32_t C, std::string_view S);
std::string EnsureTrailingBkSlash(std::string_view S);
// C appended (prepended) unless S is empty or already ends (starts) with C.
std::string EnsureTrailingChar(char32_t C, std::string_view S);
std::string EnsureLeadingChar(char32_t C, std::string_view S);
// S padded on the right (left) with blanks to N characters, or its first N characters.
std::string LeftString(std::string_view S, uint8_t N);
std::string RightString(std::string_view S, int32_t N);
// S with (N - length) div 2 blanks before it and the rest after; its first N characters
// when it is not shorter than N.
std::string CenterString(std::string_view S, int32_t N);
// The first N - 2 characters followed by ".." when S is longer than N; else S.
std::string AbbrevString(std::string_view S, int32_t N);
// S trimmed and shifted right with blanks so that its first C stands in column N.
std::string SortableNumericString(std::string_view S, char32_t C, int32_t N);
std::string ReplaceCharInString(std::string_view S, char32_t Old, char32_t New);
// Every occurrence of Old replaced, left to right; an empty Old changes nothing.
std::string ReplaceStringInString(std::string_view S, std::string_view Old, std::string_view New,
                                  bool IgnoreCase);
std::string RemoveCharInString(std::string_view S, char32_t C);
// Every run of C reduced to one C.
std::string RemoveMultiChars(std::string_view S, char32_t C);
// Every character below code 32 removed.
std::string RemoveControlChars(std::string_view S);
std::string ReverseString(std::string_view S);
// Every character other than 0-9, A-Z, a-z replaced by "_".
std::string ReduceStringToAZ09(std::string_view S);
// Every character outside ! # $ % & ' ( ) - . 0-9 @ A-Z ^ _ ` a-z { } ~ replaced by "_".
std::string ReduceStringToFN83CompliantChars(std::string_view S);

// ---- 4. Splitting and tokens --------------------------------------------------------------

// The texts before and after the first Delimiter (trimmed of blanks when Trim); both empty
// when Delimiter does not occur.
void SplitString(std::string_view S, std::string_view Delimiter, bool Trim, std::string& Before,
                 std::string& After);
// The text before (after) the first Trigger; empty when Trigger does not occur.
std::string ExtractBeforeTrigger(std::string_view S, std::string_view Trigger, bool Trim);
std::string ExtractAfterTrigger(std::string_view S, std::string_view Trigger, bool Trim);
// Field Ix (0-based) of S, the fields separated by Delimiter (compared ignoring case); empty
// for a negative Ix, a field beyond the last and an empty field.
std::string ExtractSubString(std::string_view S, int32_t Ix, std::string_view Delimiter);
// The most tokens Tokenize returns; the last one holds the rest of the text.
inline constexpr int32_t MaxTokens = 1000;
// Splits S at each Delimiter; returns the number of tokens (one for an empty Delimiter or
// one that does not occur).
int32_t Tokenize(std::string_view S, std::string_view Delimiter, TOpenStringArray& Tokens);
// The same, but a Delimiter directly after Escape does not split; afterwards a doubled Escape
// becomes one and Escape + Delimiter becomes the Delimiter.
int32_t Tokenize(std::string_view S, std::string_view Delimiter, char32_t Escape,
                 TOpenStringArray& Tokens);
// The most frequent delimiter character of CSVDELIMITERS in Line (the earlier on a tie);
// csvUnknown when none occurs.
TCSVDelimiters DetectCSVDelimiter(std::string_view Line);
// Reads a line of S from Pos on and advances Pos. EOLMode: 0 line feed, 1 carriage return,
// 2 either, 3 CR directly after LF, 4 LF directly after CR. Characters below code 32 are
// left out. EndOfText becomes true, and the line so far is returned, when Pos passes the
// end of S.
std::string ReadLnString(std::string_view S, std::size_t& Pos, bool& EndOfText, int32_t EOLMode);
// Line (1-based, counted by line feeds) and column (1-based, in characters) of position Pos.
void TextLineCoords(std::string_view S, std::size_t Pos, int32_t& Line, int32_t& Column);

// ---- 5. Words, case and character classes -------------------------------------------------

// Runs of at least two non-separators (WordSeps) that are followed by a separator.
int32_t CountWords(std::string_view S);
// The run of non-separators around Pos; the separator alone when S[Pos] is one; empty
// when Pos is outside S. The second form also gives the first and last position of the
// result (both 0 when Pos is outside S).
std::string ExtractWordFromString(std::string_view S, std::size_t Pos);
std::string ExtractWordFromString(std::string_view S, std::size_t Pos, std::size_t& First,
                                  std::size_t& Last);
// The first letter of every word upper case. Letters and characters above code 127 make
// words; a digit belongs to a word but keeps its first letter as it is; every other
// character below 128 separates words.
std::string CapitalizeString(std::string_view S);
// The longest run of capitals A-Z has two letters or more, and S has fewer lower-case
// letters and digits than that run is long: "NASA" yes, "USAir" no.
bool IsAbbreviation(std::string_view S);
// Upper case letters become lower case, every other character upper case.
std::string ChangeCase(std::string_view S);
bool EqualAnsiStrings(std::string_view A, std::string_view B);
// "ä" "ae", "ö" "oe", "ü" "ue", "ß" "ss", micro sign "u"; "Ä", "Ö", "Ü" become "Ae", "Oe",
// "Ue" before a lower-case letter a-z, else "AE", "OE", "UE".
std::string ExpandDiphthongs(std::string_view S);
bool IsDigit(char32_t C);
bool IsLetter(char32_t C);
bool IsDigitLetter(char32_t C);
bool IsHexChar(char32_t C);
// One of "äöüÄÖÜß".
bool IsUmlaut(char32_t C);

// ---- 6. Scrambler, quoted names, UU code, tags in strings ---------------------------------

// The seed the scrambler is initialised with when the library loads.
inline constexpr uint32_t DefaultScrambleSeed = 5381;
// Builds the permutation of the codes 1..255 (0 maps to itself) from Seed; the same seed
// gives the same permutation on every run and machine.
void InitScramble(uint32_t Seed);
// Replace each character of code 0..255 by its image (inverse image); others stay.
std::string Scramble(std::string_view S);
std::string DeScramble(std::string_view S);

// Feeds one character to a reader of a possibly quoted name, starting in vsStart: leading
// blanks are skipped; a name in Quote characters may hold blanks and doubled quotes (which
// stand for one); an unquoted name ends at a blank or a quote. State is vsEnd once the name
// is complete; the character that ended it is not part of Name.
void ParseQuotedName(char32_t C, char32_t Quote, std::string& Name, TQuotedStrState& State);
// Field Ix (0-based) of S separated by Delimiter, where a Delimiter between Quote characters
// does not separate; the quotes are removed and a doubled quote inside them stands for one.
// False (and an empty Param) when S has no field Ix.
bool ExtractParam(std::string_view S, int32_t Ix, char32_t Delimiter, char32_t Quote,
                  std::string& Param);
// The bytes of S in UU code: lines of up to 45 bytes, each "\n"-terminated and led by its
// length character, closed by the empty line "`\n".
std::string UUEncodeStr(std::string_view S);
// The bytes of UU-coded text; carriage returns are ignored, decoding stops at a line of
// length 0 and characters outside the code count as 0.
std::string UUDecodeStr(std::string_view S);

// The element readers of ZEF_streams on a string, from byte position Pos (1-based), which is
// left after the last character used. Returns the index of the element's name in Tags
// (lower-case names), the highest index when it is not there or the text ends.
int32_t ReadNextTagInString(std::string_view S, std::size_t& Pos,
                            std::span<const std::string_view> Tags, std::string& Attributes,
                            std::string& Content);
// Finds the next element from Pos without reading its content: returns its index in Tags as
// ReadNextTagInString does, with TagPos the position of its "<" (0 at the end of the text).
int32_t DetectNextTagInString(std::string_view S, std::size_t Pos,
                              std::span<const std::string_view> Tags, std::size_t& TagPos);

// ---- 7. Pattern matcher (TGrep) -----------------------------------------------------------

// What a token of a compiled pattern does: a literal string, any one character, the end or
// the start of the text, one character of a set, or a quantified item (zero or more, one or
// more, zero or one).
enum TGrepTokenAct : uint8_t { taNormal, taAnyByte, taEol, taBol, taSet, taMult0, taMult1, taOpti };

// One token. For taNormal, Params[1..NumChars] hold the literal characters; for taSet
// (NumChars -1) Params[code] is "*" for a member of the codes 0..255 and a blank otherwise.
// A quantifier's NumChars says what it repeats: >= 1 the literal in Params[1..NumChars], 0
// any character, -1 the set in Params. ValidFrom is the text position (bytes, 1-based) at
// which the token matched in the last successful match.
struct TGrepToken {
  TGrepTokenAct Action = taNormal;
  int32_t NumChars = 0;
  TCharArr256 Params{};
  int32_t ValidFrom = 0;
};

inline constexpr int32_t MaxRegExpTokens = 64;
// Token 0 is unused; tokens 1..NrOfRegExpTokens hold the compiled pattern.
using TRegExp = std::array<TGrepToken, MaxRegExpTokens + 1>;

// Matches texts against a small regular-expression language: literal characters, "." (any
// character), sets "[a-z]" and "[^...]", literal groups "(...)" (inside which only ")", "\"
// and "^" are special), the quantifiers "*", "+" and "?" (on the last character, a group or
// a set), the anchors "^" and "$", "\x" for a literal x and "\#hh" for the character of
// hexadecimal code hh. There is no alternation. A pattern compiles to at most 64 tokens of
// at most 255 literal characters each.
//
// Quantifiers inside the pattern take as few repetitions as let the rest match; a
// quantifier at the end takes as many as the text offers; the pattern ".*" alone covers the
// whole text. Matches are tried from SearchStartPos to just after the text (for patterns that
// match the empty text there). Positions are byte positions (1-based); characters are whole
// code points. Search time is bounded by tokens x length^2.
class TGrep : public TComponent {
public:
  explicit TGrep(TComponent* AOwner);

  const std::string& RegExp() const { return FRegExp; }
  // Stores and compiles the pattern. With StopOnError a faulty pattern raises
  // EZEFStringlError "Component \"<Name>\": error in regular expression - <text>".
  void SetRegExp(const std::string& Value);
  bool IgnoreCase() const { return FIgnoreCase; }
  // Stores the flag and recompiles without raising.
  void SetIgnoreCase(bool Value);
  int32_t SearchStartPos = 1;
  bool StopOnError = true;

  int32_t NrOfRegExpTokens() const { return FNrTokens; }
  // The code of the last compilation: 0 no error, 1..9 the errors of the language, 10 a
  // pattern that needs more than 64 tokens or a literal of more than 255 characters.
  int32_t LastError() const { return FLastError; }
  int32_t MatchStartPos() const { return FMatchStartPos; }
  int32_t MatchEndPos() const { return FMatchEndPos; }
  // Token regix limited to 1..NrOfRegExpTokens.
  TGrepToken GetRegExpToken(int32_t regix) const;
  TGrepToken RegExpToken(int32_t ix) const { return GetRegExpToken(ix); }

  // Searches Instring from SearchStartPos for the first match; on success MatchPos,
  // MatchStartPos and MatchEndPos (the last byte of the match; MatchStartPos - 1 for an
  // empty match) are set. A faulty pattern never matches.
  bool MatchString(const std::string& Instring, int32_t& MatchPos);
  // Rewrites the file with one line per token and the text of LastError.
  void PrintRegExp(const std::string& FName) const;

private:
  void Compile();
  bool MatchToken(int32_t k, int32_t p);

  std::string FRegExp;
  bool FIgnoreCase = false;
  TRegExp FTokens{};
  int32_t FNrTokens = 0;
  int32_t FLastError = 0;
  int32_t FMatchStartPos = 0;
  int32_t FMatchEndPos = 0;
  // Matching state: the text as code points, and the (token, position) pairs known to fail.
  std::u32string FText;
  std::vector<bool> FFailed;
};

// The text of a TGrep error code ("no errors" for 0).
std::string GrepErrorText(int32_t Code);

} // namespace zef
