// Byte streams: the abstract TStream and the file, memory and string streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zef {

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream {
public:
  virtual ~TStream() = default;

  // Reads up to Count bytes into Buffer; returns the number read (0 at the end).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes up to Count bytes; returns the number written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position and returns the new position.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  // Read or write exactly Count bytes; a short transfer raises EReadError ("Stream read
  // error") or EWriteError ("Stream write error").
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source's current position; Count 0 copies all of Source from
  // its start. Returns the number of bytes copied.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

// File open modes; a share mode may be or-ed in and is accepted without effect.
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// A stream on a file. fmCreate creates or truncates the file for reading and writing;
// failure raises EFCreateError ("Cannot create file \"name\". reason"); the open modes
// raise EFOpenError ("Cannot open file \"name\". reason") when the file cannot be opened.
// Names may use "\" or "/" as the path delimiter.
class TFileStream : public TStream {
public:
  TFileStream(const std::string& FileName, uint16_t Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  const std::string& FileName() const { return FFileName; }

private:
  std::string FFileName;
  int FHandle = -1;
};

// A stream in memory; it grows as it is written.
class TMemoryStream : public TStream {
public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t NewSize) override;

  void* Memory() { return FData.data(); }
  const void* Memory() const { return FData.data(); }
  void Clear();
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// A memory stream whose bytes are a string.
class TStringStream : public TStream {
public:
  explicit TStringStream(std::string Data = {}) : FData(std::move(Data)) {}
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t NewSize) override;

  const std::string& DataString() const { return FData; }
  // Reads Count bytes (fewer at the end) from the position as a string.
  std::string ReadString(int64_t Count);
  void WriteString(const std::string& S) { WriteBuffer(S.data(), static_cast<int64_t>(S.size())); }

private:
  std::string FData;
  int64_t FPosition = 0;
};

} // namespace zef
