#include "rtl/streams.h"

#include "rtl/exceptions.h"
#include "rtl/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zef {

namespace {

// The most one read or write system call is asked to move.
constexpr int64_t MaxChunk = int64_t(1) << 30;

// The position Seek arrives at; a position before the start (or one that overflows) raises.
int64_t SeekTarget(int64_t Offset, TSeekOrigin Origin, int64_t Position, int64_t Size) {
  int64_t Base = 0;
  switch (Origin) {
    case soBeginning: Base = 0; break;
    case soCurrent: Base = Position; break;
    case soEnd: Base = Size; break;
  }
  int64_t Target;
  if (__builtin_add_overflow(Base, Offset, &Target))
    throw EStreamError("Stream position out of range");
  if (Target < 0) throw EStreamError("Seek before the start of the stream");
  return Target;
}

// Read and Write of the streams held in a container of bytes (TMemoryStream, TStringStream).
template <typename Container>
int64_t ReadFromBytes(const Container& Data, int64_t& Position, void* Buffer, int64_t Count) {
  const int64_t Size = static_cast<int64_t>(Data.size());
  if (Count <= 0 || Position >= Size) return 0;
  const int64_t N = std::min(Count, Size - Position);
  std::memcpy(Buffer, Data.data() + Position, static_cast<std::size_t>(N));
  Position += N;
  return N;
}

template <typename Container> void ResizeBytes(Container& Data, int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size");
  try {
    Data.resize(static_cast<std::size_t>(NewSize));
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
}

// Writing past the end first grows the data, which fills any gap after the old end with zeros.
template <typename Container>
int64_t WriteToBytes(Container& Data, int64_t& Position, const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  int64_t End;
  if (__builtin_add_overflow(Position, Count, &End))
    throw EStreamError("Out of memory while expanding memory stream");
  if (End > static_cast<int64_t>(Data.size())) ResizeBytes(Data, End);
  std::memcpy(Data.data() + Position, Buffer, static_cast<std::size_t>(Count));
  Position = End;
  return Count;
}

std::string QuotedReason(const std::string& FileName, int Errno) {
  return "\"" + FileName + "\". " + std::strerror(Errno);
}

} // namespace

// ---- TStream ------------------------------------------------------------------------------

int64_t TStream::Size() {
  const int64_t Pos = Seek(0, soCurrent);
  const int64_t End = Seek(0, soEnd);
  Seek(Pos, soBeginning);
  return End;
}

void TStream::SetSize(int64_t) { throw EStreamError("The size of this stream cannot be changed"); }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count > 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count > 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count <= 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  constexpr int64_t ChunkSize = 64 * 1024;
  std::vector<uint8_t> Chunk(static_cast<std::size_t>(std::min(Count, ChunkSize)));
  for (int64_t Left = Count; Left > 0;) {
    const int64_t N = std::min(Left, ChunkSize);
    Source.ReadBuffer(Chunk.data(), N);
    WriteBuffer(Chunk.data(), N);
    Left -= N;
  }
  return Count;
}

// ---- TFileStream --------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName) {
  const std::string Path = NativePath(FileName);
  const bool Create = (Mode & fmCreate) == fmCreate;
  int Flags = O_CLOEXEC;
  if (Create) {
    Flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (Mode & 0x0003) {
      case fmOpenRead: Flags |= O_RDONLY; break;
      case fmOpenWrite: Flags |= O_WRONLY; break;
      case fmOpenReadWrite: Flags |= O_RDWR; break;
      default: throw EFOpenError("Cannot open file " + QuotedReason(FileName, EINVAL));
    }
  }
  do {
    FHandle = ::open(Path.c_str(), Flags, 0666);
  } while (FHandle < 0 && errno == EINTR);
  int Error = FHandle < 0 ? errno : 0;
  // A directory opens for reading on this system, but it is not a file to stream.
  struct stat St;
  if (Error == 0 && ::fstat(FHandle, &St) == 0 && S_ISDIR(St.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    Error = EISDIR;
  }
  if (Error != 0) {
    if (Create) throw EFCreateError("Cannot create file " + QuotedReason(FileName, Error));
    throw EFOpenError("Cannot open file " + QuotedReason(FileName, Error));
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// A failing system call ends the transfer; ReadBuffer then reports the short read.
int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  auto* Bytes = static_cast<uint8_t*>(Buffer);
  int64_t Done = 0;
  while (Done < Count) {
    const auto Chunk = static_cast<std::size_t>(std::min(Count - Done, MaxChunk));
    const ssize_t N = ::read(FHandle, Bytes + Done, Chunk);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  const auto* Bytes = static_cast<const uint8_t*>(Buffer);
  int64_t Done = 0;
  while (Done < Count) {
    const auto Chunk = static_cast<std::size_t>(std::min(Count - Done, MaxChunk));
    const ssize_t N = ::write(FHandle, Bytes + Done, Chunk);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int Whence = SEEK_SET;
  switch (Origin) {
    case soBeginning: Whence = SEEK_SET; break;
    case soCurrent: Whence = SEEK_CUR; break;
    case soEnd: Whence = SEEK_END; break;
  }
  const off_t Result = ::lseek(FHandle, static_cast<off_t>(Offset), Whence);
  if (Result < 0) {
    if (errno == EINVAL) throw EStreamError("Seek before the start of the stream");
    throw EStreamError("Seek error in file " + QuotedReason(FFileName, errno));
  }
  return static_cast<int64_t>(Result);
}

// The position stays where it is, or moves to the new end when it lay beyond it.
void TFileStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size");
  const int64_t Pos = Position();
  int R;
  do {
    R = ::ftruncate(FHandle, static_cast<off_t>(NewSize));
  } while (R != 0 && errno == EINTR);
  if (R != 0)
    throw EStreamError("Cannot change the size of file " + QuotedReason(FFileName, errno));
  if (Pos > NewSize) Seek(NewSize, soBeginning);
}

// ---- TMemoryStream ------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  return ReadFromBytes(FData, FPosition, Buffer, Count);
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  return WriteToBytes(FData, FPosition, Buffer, Count);
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPosition = SeekTarget(Offset, Origin, FPosition, Size());
  return FPosition;
}

// The position stays where it is, or moves to the new end when it lay beyond it.
void TMemoryStream::SetSize(int64_t NewSize) {
  ResizeBytes(FData, NewSize);
  FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  const int64_t Count = Stream.Size();
  SetSize(Count);
  FPosition = 0;
  Stream.ReadBuffer(FData.data(), Count);
}

void TMemoryStream::SaveToStream(TStream& Stream) {
  Stream.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream);
}

// ---- TStringStream ------------------------------------------------------------------------

int64_t TStringStream::Read(void* Buffer, int64_t Count) {
  return ReadFromBytes(FData, FPosition, Buffer, Count);
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
  return WriteToBytes(FData, FPosition, Buffer, Count);
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPosition = SeekTarget(Offset, Origin, FPosition, Size());
  return FPosition;
}

void TStringStream::SetSize(int64_t NewSize) {
  ResizeBytes(FData, NewSize);
  FPosition = std::min(FPosition, NewSize);
}

std::string TStringStream::ReadString(int64_t Count) {
  const int64_t Size = static_cast<int64_t>(FData.size());
  if (Count <= 0 || FPosition >= Size) return {};
  const int64_t N = std::min(Count, Size - FPosition);
  std::string Result =
      FData.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(N));
  FPosition += N;
  return Result;
}

} // namespace zef
