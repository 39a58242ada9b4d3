#include "rtl/textfile.h"

#include "rtl/exceptions.h"
#include "rtl/files.h"
#include "rtl/numconv.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zef {

namespace {

constexpr std::size_t BufferSize = 64 * 1024;
constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char CtrlZ = 26;

bool IsBlank(int C) { return C == ' ' || C == '\t'; }
bool IsLineEnd(int C) { return C == CR || C == LF; }
bool EndsLine(char C) { return C == CR || C == LF || C == CtrlZ; }

// Raises one of the errors this unit detects itself (102 to 106).
[[noreturn]] void Fail(int Code) {
  const char* Text = "Invalid numeric format";
  switch (Code) {
    case 102: Text = "File not assigned"; break;
    case 103: Text = "File not open"; break;
    case 104: Text = "File not open for input"; break;
    case 105: Text = "File not open for output"; break;
    default: break;
  }
  throw EInOutError(Text, Code);
}

// The error of a failed open. A missing directory on the way is "path not found" (3),
// which the system reports as a missing file.
[[noreturn]] void FailOpen(int Errno, const std::string& FileName) {
  if (Errno == ENOENT) {
    const std::string Dir = ExtractFileDir(NativePath(FileName));
    if (!Dir.empty() && !DirectoryExists(Dir))
      throw EInOutError("Path not found: \"" + FileName + "\"", 3, Errno);
  }
  throw InOutErrorFromErrno(Errno, FileName);
}

} // namespace

// The routines of textfile.h reach the state of a TTextFile through this class.
struct TTextFileIO {
  static void CheckAssignedAndOpen(const TTextFile& F) {
    if (!F.FAssigned) Fail(102);
    if (F.FMode == TTextFile::tmClosed) Fail(103);
  }
  static void CheckInput(const TTextFile& F) {
    CheckAssignedAndOpen(F);
    if (F.FMode != TTextFile::tmInput) Fail(104);
  }
  static void CheckOutput(const TTextFile& F) {
    CheckAssignedAndOpen(F);
    if (F.FMode != TTextFile::tmOutput) Fail(105);
  }

  static void Assign(TTextFile& F, const std::string& FileName) {
    Close(F);
    F.FName = FileName;
    F.FAssigned = true;
  }

  static void SetCodePage(TTextFile& F, TCodePage CodePage) { F.FCodePage = CodePage; }

  static void OpenForInput(TTextFile& F) { Open(F, TTextFile::tmInput, O_RDONLY); }
  static void OpenForOutput(TTextFile& F, int Flags) { Open(F, TTextFile::tmOutput, Flags); }

  static void Open(TTextFile& F, TTextFile::TMode Mode, int Flags) {
    if (!F.FAssigned) Fail(102);
    if (F.FMode != TTextFile::tmClosed) Close(F);
    const std::string Path = NativePath(F.FName);
    int Handle;
    do {
      Handle = ::open(Path.c_str(), Flags | O_CLOEXEC, 0666);
    } while (Handle < 0 && errno == EINTR);
    if (Handle < 0) FailOpen(errno, F.FName);
    struct stat St;
    if (::fstat(Handle, &St) == 0 && S_ISDIR(St.st_mode)) {
      ::close(Handle);
      throw InOutErrorFromErrno(EISDIR, F.FName);
    }
    F.FHandle = Handle;
    F.FMode = Mode;
    F.FBuffer.clear();
    F.FBuffer.reserve(BufferSize);
    F.FBufPos = 0;
    F.FAtEnd = false;
  }

  // Flushes pending output, then closes the handle even when flushing failed.
  static void Close(TTextFile& F) {
    if (F.FMode == TTextFile::tmClosed) return;
    try {
      if (F.FMode == TTextFile::tmOutput) FlushOutput(F);
    } catch (...) {
      Release(F);
      throw;
    }
    Release(F);
  }

  static void Release(TTextFile& F) {
    ::close(F.FHandle);
    F.FHandle = -1;
    F.FMode = TTextFile::tmClosed;
    F.FBuffer = std::string();
    F.FBufPos = 0;
  }

  // ---- Input --------------------------------------------------------------------------

  // Makes sure a byte is buffered unless the file is exhausted; false at the physical end.
  static bool Fill(TTextFile& F) {
    if (F.FBufPos < F.FBuffer.size()) return true;
    if (F.FAtEnd) return false;
    F.FBuffer.resize(BufferSize);
    F.FBufPos = 0;
    ssize_t N;
    do {
      N = ::read(F.FHandle, F.FBuffer.data(), BufferSize);
    } while (N < 0 && errno == EINTR);
    if (N < 0) {
      const int Errno = errno;
      F.FBuffer.clear();
      throw InOutErrorFromErrno(Errno, F.FName);
    }
    F.FBuffer.resize(static_cast<std::size_t>(N));
    F.FAtEnd = N == 0;
    return N > 0;
  }

  // The next byte without taking it, or -1 at the end of the text.
  static int Peek(TTextFile& F) {
    if (!Fill(F)) return -1;
    const char B = F.FBuffer[F.FBufPos];
    return B == CtrlZ ? -1 : static_cast<uint8_t>(B);
  }

  static void Skip(TTextFile& F) { ++F.FBufPos; }

  template <typename Pred> static void SkipWhile(TTextFile& F, Pred P) {
    for (int C = Peek(F); C >= 0 && P(C); C = Peek(F)) Skip(F);
  }

  // Takes the bytes up to (not including) the line end or the end of the text; appends them
  // to Bytes unless it is null.
  static void TakeRestOfLine(TTextFile& F, std::string* Bytes) {
    while (Fill(F)) {
      const auto Begin = F.FBuffer.begin() + static_cast<std::ptrdiff_t>(F.FBufPos);
      const auto Stop = std::find_if(Begin, F.FBuffer.end(), EndsLine);
      if (Bytes != nullptr) Bytes->append(Begin, Stop);
      F.FBufPos = static_cast<std::size_t>(Stop - F.FBuffer.begin());
      if (Stop != F.FBuffer.end()) return;
    }
  }

  // Takes one line end: CR LF, LF or CR.
  static void TakeLineEnd(TTextFile& F) {
    const int C = Peek(F);
    if (C == LF) {
      Skip(F);
    } else if (C == CR) {
      Skip(F);
      if (Peek(F) == LF) Skip(F);
    }
  }

  static std::string ReadToken(TTextFile& F) {
    SkipWhile(F, [](int C) { return IsBlank(C) || IsLineEnd(C); });
    std::string Token;
    for (int C = Peek(F); C >= 0 && !IsBlank(C) && !IsLineEnd(C); C = Peek(F)) {
      Token += static_cast<char>(C);
      Skip(F);
    }
    return Token;
  }

  template <typename T, typename Parse> static void ReadNumber(TTextFile& F, T& Value, Parse P) {
    CheckInput(F);
    const std::string Token = ReadToken(F);
    Value = 0;
    if (!Token.empty() && !P(Token, Value)) {
      Value = 0;
      Fail(106);
    }
  }

  static char32_t ReadChar(TTextFile& F) {
    const int Lead = Peek(F);
    if (Lead < 0) return CtrlZ;
    Skip(F);
    if (F.FCodePage != cpUtf8) return ByteToCodePoint(static_cast<uint8_t>(Lead), F.FCodePage);
    const int Length = Lead < 0xC0 ? 1 : Lead < 0xE0 ? 2 : Lead < 0xF0 ? 3 : Lead < 0xF8 ? 4 : 1;
    std::string Bytes(1, static_cast<char>(Lead));
    for (int K = 1; K < Length; ++K) {
      const int C = Peek(F);
      if (C < 0 || (C & 0xC0) != 0x80) break;
      Bytes += static_cast<char>(C);
      Skip(F);
    }
    std::size_t I = 0;
    return NextCodePoint(Bytes, I);
  }

  // ---- Output -------------------------------------------------------------------------

  static void FlushOutput(TTextFile& F) {
    std::size_t Done = 0;
    while (Done < F.FBuffer.size()) {
      const ssize_t N = ::write(F.FHandle, F.FBuffer.data() + Done, F.FBuffer.size() - Done);
      if (N < 0 && errno == EINTR) continue;
      if (N <= 0) {
        const int Errno = N < 0 ? errno : ENOSPC;
        F.FBuffer.erase(0, Done);
        throw InOutErrorFromErrno(Errno, F.FName);
      }
      Done += static_cast<std::size_t>(N);
    }
    F.FBuffer.clear();
  }

  static void Put(TTextFile& F, std::string_view Bytes) {
    F.FBuffer += Bytes;
    if (F.FBuffer.size() >= BufferSize) FlushOutput(F);
  }
};

// ---- TTextFile ----------------------------------------------------------------------------

TTextFile::~TTextFile() {
  try {
    TTextFileIO::Close(*this);
  } catch (...) {
    // The file is closed; an error of the last write has no one left to report it to.
  }
}

// ---- Opening and closing ------------------------------------------------------------------

void AssignFile(TTextFile& F, const std::string& FileName) {
  TTextFileIO::Assign(F, FileName);
}

void SetTextCodePage(TTextFile& F, TCodePage CodePage) { TTextFileIO::SetCodePage(F, CodePage); }

void Reset(TTextFile& F) { TTextFileIO::OpenForInput(F); }

void Rewrite(TTextFile& F) { TTextFileIO::OpenForOutput(F, O_WRONLY | O_CREAT | O_TRUNC); }

void Append(TTextFile& F) { TTextFileIO::OpenForOutput(F, O_WRONLY | O_APPEND); }

void Flush(TTextFile& F) {
  TTextFileIO::CheckOutput(F);
  TTextFileIO::FlushOutput(F);
}

void CloseFile(TTextFile& F) {
  TTextFileIO::CheckAssignedAndOpen(F);
  TTextFileIO::Close(F);
}

// ---- Reading ------------------------------------------------------------------------------

bool Eof(TTextFile& F) {
  TTextFileIO::CheckInput(F);
  return TTextFileIO::Peek(F) < 0;
}

bool Eoln(TTextFile& F) {
  TTextFileIO::CheckInput(F);
  const int C = TTextFileIO::Peek(F);
  return C < 0 || IsLineEnd(C);
}

bool SeekEof(TTextFile& F) {
  TTextFileIO::CheckInput(F);
  TTextFileIO::SkipWhile(F, [](int C) { return IsBlank(C) || IsLineEnd(C); });
  return TTextFileIO::Peek(F) < 0;
}

bool SeekEoln(TTextFile& F) {
  TTextFileIO::CheckInput(F);
  TTextFileIO::SkipWhile(F, IsBlank);
  return Eoln(F);
}

void Read(TTextFile& F, char32_t& C) {
  TTextFileIO::CheckInput(F);
  C = TTextFileIO::ReadChar(F);
}

void Read(TTextFile& F, std::string& S) {
  TTextFileIO::CheckInput(F);
  std::string Bytes;
  TTextFileIO::TakeRestOfLine(F, &Bytes);
  S = ToUtf8(Bytes, F.CodePage());
}

void Read(TTextFile& F, int32_t& Value) {
  TTextFileIO::ReadNumber(F, Value, [](const std::string& S, int32_t& V) {
    return TryStrToInt(S, V);
  });
}

void Read(TTextFile& F, int64_t& Value) {
  TTextFileIO::ReadNumber(F, Value, [](const std::string& S, int64_t& V) {
    return TryStrToInt64(S, V);
  });
}

void Read(TTextFile& F, double& Value) {
  TTextFileIO::ReadNumber(F, Value, [](const std::string& S, double& V) {
    return TryStrToFloat(S, V);
  });
}

void Read(TTextFile& F, long double& Value) {
  TTextFileIO::ReadNumber(F, Value, [](const std::string& S, long double& V) {
    return TryStrToFloat(S, V);
  });
}

void ReadLn(TTextFile& F) {
  TTextFileIO::CheckInput(F);
  TTextFileIO::TakeRestOfLine(F, nullptr);
  TTextFileIO::TakeLineEnd(F);
}

void ReadLn(TTextFile& F, std::string& S) {
  Read(F, S);
  TTextFileIO::TakeLineEnd(F);
}

// ---- Writing ------------------------------------------------------------------------------

void Write(TTextFile& F, std::string_view Text) {
  TTextFileIO::CheckOutput(F);
  TTextFileIO::Put(F, FromUtf8(Text, F.CodePage()));
}

void Write(TTextFile& F, const char* Text) { Write(F, std::string_view(Text)); }

void Write(TTextFile& F, char C) { Write(F, std::string_view(&C, 1)); }

void Write(TTextFile& F, char32_t C) {
  TTextFileIO::CheckOutput(F);
  if (F.CodePage() == cpUtf8) {
    TTextFileIO::Put(F, Utf8Encode(C));
  } else {
    const char B = static_cast<char>(CodePointToByte(C, F.CodePage()));
    TTextFileIO::Put(F, std::string_view(&B, 1));
  }
}

namespace {

std::string PadLeft(std::string S, int Width) {
  if (Width > 0 && S.size() < static_cast<std::size_t>(Width))
    S.insert(0, static_cast<std::size_t>(Width) - S.size(), ' ');
  return S;
}

} // namespace

void WriteInteger(TTextFile& F, int64_t Value, int Width) {
  TTextFileIO::CheckOutput(F);
  TTextFileIO::Put(F, PadLeft(std::to_string(Value), Width));
}

void WriteInteger(TTextFile& F, uint64_t Value, int Width) {
  TTextFileIO::CheckOutput(F);
  TTextFileIO::Put(F, PadLeft(std::to_string(Value), Width));
}

void Write(TTextFile& F, double X, int Width, int Decimals) {
  Write(F, static_cast<long double>(X), Width, Decimals);
}

void Write(TTextFile& F, long double X, int Width, int Decimals) {
  TTextFileIO::CheckOutput(F);
  if (Decimals >= 0)
    TTextFileIO::Put(F, FixedStr(X, Width, Decimals));
  else
    TTextFileIO::Put(F, SciStr(X, Width > 0 ? Width : 23));
}

void WriteLn(TTextFile& F) {
  TTextFileIO::CheckOutput(F);
  TTextFileIO::Put(F, "\r\n");
}

} // namespace zef
