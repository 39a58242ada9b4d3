// Text files with the classic Pascal routines: AssignFile, Reset / Rewrite / Append, Read /
// ReadLn / Write / WriteLn, Eof / Eoln / SeekEof / SeekEoln, CloseFile.
//
// The file's bytes are in a single-byte code page (Latin-1 unless SetTextCodePage says
// otherwise) or in UTF-8; text in memory is UTF-8. WriteLn ends lines with CR LF; reading
// takes CR LF, LF and a lone CR alike as one line end, and a Ctrl-Z byte (26) as the end of
// the text. Errors raise EInOutError with the classic codes: 2 file not found, 3 path not
// found, 5 access denied (other failing system calls as InOutErrorFromErrno reports them),
// 102 file not assigned, 103 file not open, 104 file not open for input, 105 file not open
// for output, 106 invalid numeric format.
#pragma once

#include "rtl/strings.h"

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace zef {

// A text file variable: a name, an open mode and a buffer. The destructor closes the file
// (flushing pending output and ignoring errors; call CloseFile to see them).
class TTextFile {
public:
  TTextFile() = default;
  ~TTextFile();
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  const std::string& FileName() const { return FName; }
  TCodePage CodePage() const { return FCodePage; }

private:
  friend struct TTextFileIO;
  enum TMode : uint8_t { tmClosed, tmInput, tmOutput };

  std::string FName;
  bool FAssigned = false;
  TMode FMode = tmClosed;
  TCodePage FCodePage = cpLatin1;
  int FHandle = -1;
  std::string FBuffer;       // input: the bytes read ahead; output: the bytes not yet written
  std::size_t FBufPos = 0;   // input: the next byte of FBuffer to read
  bool FAtEnd = false;       // input: the file has no more bytes after FBuffer
};

// ---- Opening and closing ------------------------------------------------------------------

// Gives F a file name ("\" or "/" delimiters); an open F is closed first.
void AssignFile(TTextFile& F, const std::string& FileName);
// The code page of the file's bytes (cpLatin1, cpWindows1252 or cpUtf8); may change at any time.
void SetTextCodePage(TTextFile& F, TCodePage CodePage);
// Opens the existing file for reading.
void Reset(TTextFile& F);
// Creates the file, or empties an existing one, for writing.
void Rewrite(TTextFile& F);
// Opens the existing file for writing at its end.
void Append(TTextFile& F);
// Writes pending output to the file.
void Flush(TTextFile& F);
// Writes pending output and closes the file.
void CloseFile(TTextFile& F);

// ---- Reading ------------------------------------------------------------------------------

// True when no character is left (also at a Ctrl-Z).
bool Eof(TTextFile& F);
// True at a line end or at the end of the file.
bool Eoln(TTextFile& F);
// Skips blanks, tabs and line ends, then reports Eof.
bool SeekEof(TTextFile& F);
// Skips blanks and tabs, then reports Eoln.
bool SeekEoln(TTextFile& F);

// One character; CR and LF come back as themselves, and at the end of the file the result is
// 26 (Ctrl-Z) without moving on.
void Read(TTextFile& F, char32_t& C);
// The rest of the current line, without the line end (which stays to be read).
void Read(TTextFile& F, std::string& S);
// A number: blanks, tabs and line ends are skipped, then the token up to the next blank, tab,
// line end or end of file is converted strictly; reading stops right after the token. A token
// that is not a number of the type raises error 106; at the end of the file the value is 0.
void Read(TTextFile& F, int32_t& Value);
void Read(TTextFile& F, int64_t& Value);
void Read(TTextFile& F, double& Value);
void Read(TTextFile& F, long double& Value);
// Several values in turn.
template <typename T1, typename... T>
  requires(sizeof...(T) > 0)
void Read(TTextFile& F, T1& First, T&... Rest) {
  Read(F, First);
  (Read(F, Rest), ...);
}

// Skips the rest of the line and its line end.
void ReadLn(TTextFile& F);
// Reads the rest of the line into S and moves to the next line.
void ReadLn(TTextFile& F, std::string& S);
// Reads the values in turn, then moves to the next line.
template <typename... T>
  requires(sizeof...(T) > 0)
void ReadLn(TTextFile& F, T&... Values) {
  (Read(F, Values), ...);
  ReadLn(F);
}

// ---- Writing ------------------------------------------------------------------------------

void Write(TTextFile& F, std::string_view Text);
void Write(TTextFile& F, const char* Text);
// An ASCII character.
void Write(TTextFile& F, char C);
// A code point (written as "?" when the file's code page cannot hold it).
void Write(TTextFile& F, char32_t C);
// Writing a bool would otherwise turn it into a number.
void Write(TTextFile& F, bool) = delete;

// Integer text right-aligned in a field of Width characters (wider when the number needs it).
void WriteInteger(TTextFile& F, int64_t Value, int Width);
void WriteInteger(TTextFile& F, uint64_t Value, int Width);
// The integer types that Write turns into numbers: all but bool and the character types.
template <typename T>
concept WritableInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> &&
                          !std::same_as<T, char8_t> && !std::same_as<T, char16_t> &&
                          !std::same_as<T, char32_t> && !std::same_as<T, wchar_t>;
template <WritableInteger T> void Write(TTextFile& F, T Value, int Width = 0) {
  if constexpr (std::is_signed_v<T>)
    WriteInteger(F, static_cast<int64_t>(Value), Width);
  else
    WriteInteger(F, static_cast<uint64_t>(Value), Width);
}

// A real number: Decimals >= 0 writes FixedStr(X, Width, Decimals); otherwise SciStr(X, Width)
// when Width > 0 and SciStr(X, 23) without a width.
void Write(TTextFile& F, double X, int Width = 0, int Decimals = -1);
void Write(TTextFile& F, long double X, int Width = 0, int Decimals = -1);

// Writes a line end (CR LF).
void WriteLn(TTextFile& F);
// Write(F, Args...) followed by a line end.
template <typename... A>
  requires(sizeof...(A) > 0)
void WriteLn(TTextFile& F, A&&... Args) {
  Write(F, std::forward<A>(Args)...);
  WriteLn(F);
}

} // namespace zef
