#include "rtl/exceptions.h"
#include "rtl/streams.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace zef {
namespace {

namespace fs = std::filesystem;

class StreamFiles : public test::TempDirTest {};

std::string ReadAll(TStream& S) {
  S.SetPosition(0);
  std::string Result(static_cast<std::size_t>(S.Size()), '\0');
  S.ReadBuffer(Result.data(), S.Size());
  return Result;
}

// A stream that only implements the three primitives, to exercise TStream's defaults.
class TPrimitiveStream : public TStream {
public:
  explicit TPrimitiveStream(std::string Data) : FInner(std::move(Data)) {}
  int64_t Read(void* Buffer, int64_t Count) override { return FInner.Read(Buffer, Count); }
  int64_t Write(const void* Buffer, int64_t Count) override { return FInner.Write(Buffer, Count); }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override { return FInner.Seek(Offset, Origin); }

private:
  TStringStream FInner;
};

TEST(TStreamDefaults, SizeComesFromSeekAndKeepsThePosition) {
  TPrimitiveStream S("abcdef");
  S.SetPosition(2);
  EXPECT_EQ(S.Size(), 6);
  EXPECT_EQ(S.Position(), 2);
  EXPECT_THROW(S.SetSize(3), EStreamError);
}

TEST(TStreamDefaults, ShortTransfersRaise) {
  TStringStream S("abc");
  char Buffer[8];
  try {
    S.ReadBuffer(Buffer, 4);
    FAIL() << "a short read must raise";
  } catch (const EReadError& E) {
    EXPECT_EQ(E.Message(), "Stream read error");
  }
  S.SetPosition(0);
  S.ReadBuffer(Buffer, 3);  // exactly what is there
  S.ReadBuffer(Buffer, 0);  // nothing asked, nothing raised
  EXPECT_EQ(std::string(Buffer, 3), "abc");
}

TEST(TStreamDefaults, CopyFrom) {
  TStringStream Source("0123456789");
  Source.SetPosition(7);
  TMemoryStream All;
  EXPECT_EQ(All.CopyFrom(Source, 0), 10);  // 0: everything, from the start
  EXPECT_EQ(ReadAll(All), "0123456789");

  Source.SetPosition(3);
  TStringStream Part;
  EXPECT_EQ(Part.CopyFrom(Source, 4), 4);  // from the current position
  EXPECT_EQ(Part.DataString(), "3456");
  EXPECT_EQ(Source.Position(), 7);
  EXPECT_THROW(Part.CopyFrom(Source, 4), EReadError);  // only 3 left

  // Larger than one internal chunk.
  std::string Big(200000, 'x');
  for (std::size_t I = 0; I < Big.size(); ++I) Big[I] = static_cast<char>('a' + I % 26);
  TStringStream BigSource(Big);
  TMemoryStream BigCopy;
  BigCopy.CopyFrom(BigSource, 0);
  EXPECT_EQ(ReadAll(BigCopy), Big);
}

TEST(TMemoryStream, ReadWriteSeekAndSize) {
  TMemoryStream M;
  M.WriteBuffer("hello", 5);
  EXPECT_EQ(M.Size(), 5);
  EXPECT_EQ(M.Position(), 5);
  EXPECT_EQ(M.Seek(-2, soEnd), 3);
  EXPECT_EQ(M.Seek(-1, soCurrent), 2);
  char Buffer[8] = {};
  EXPECT_EQ(M.Read(Buffer, 8), 3);  // fewer at the end
  EXPECT_EQ(std::string(Buffer, 3), "llo");
  EXPECT_EQ(M.Read(Buffer, 8), 0);

  EXPECT_EQ(M.Read(Buffer, -1), 0);
  EXPECT_EQ(M.Write("x", -1), 0);
  EXPECT_EQ(M.Size(), 5);

  EXPECT_THROW(M.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(M.Seek(-6, soEnd), EStreamError);
  EXPECT_EQ(M.Position(), 5);  // a failed seek leaves the position alone
}

TEST(TMemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  TMemoryStream M;
  M.WriteBuffer("ab", 2);
  EXPECT_EQ(M.Seek(3, soEnd), 5);
  char Buffer[4];
  EXPECT_EQ(M.Read(Buffer, 4), 0);  // nothing to read beyond the end
  EXPECT_EQ(M.Size(), 2);           // and seeking alone does not grow it
  M.WriteBuffer("Z", 1);
  EXPECT_EQ(ReadAll(M), std::string("ab\0\0\0Z", 6));
}

TEST(TMemoryStream, SetSizeClearAndMemory) {
  TMemoryStream M;
  M.WriteBuffer("abcdef", 6);
  M.SetSize(3);
  EXPECT_EQ(M.Position(), 3);  // moved back from 6 to the new end
  EXPECT_EQ(std::string(static_cast<const char*>(M.Memory()), 3), "abc");
  M.SetPosition(1);
  M.SetSize(5);
  EXPECT_EQ(M.Position(), 1);
  EXPECT_EQ(ReadAll(M), std::string("abc\0\0", 5));
  EXPECT_THROW(M.SetSize(-1), EStreamError);
  M.Clear();
  EXPECT_EQ(M.Size(), 0);
  EXPECT_EQ(M.Position(), 0);
}

TEST(TMemoryStream, LoadAndSaveStreams) {
  TStringStream Source("payload");
  Source.SetPosition(4);
  TMemoryStream M;
  M.LoadFromStream(Source);  // all of it, whatever the source's position
  EXPECT_EQ(M.Position(), 0);
  EXPECT_EQ(ReadAll(M), "payload");
  M.SetPosition(3);
  TStringStream Target;
  M.SaveToStream(Target);  // all of it, whatever our position
  EXPECT_EQ(Target.DataString(), "payload");
}

TEST(TStringStream, ReadStringAndOverwrite) {
  TStringStream S("abcdef");
  S.SetPosition(2);
  EXPECT_EQ(S.ReadString(2), "cd");
  EXPECT_EQ(S.ReadString(10), "ef");
  EXPECT_EQ(S.ReadString(1), "");
  EXPECT_EQ(S.ReadString(-3), "");
  S.SetPosition(4);
  S.WriteString("XYZ");
  EXPECT_EQ(S.DataString(), "abcdXYZ");
  S.SetSize(2);
  EXPECT_EQ(S.DataString(), "ab");
  EXPECT_EQ(S.Position(), 2);
}

TEST_F(StreamFiles, FileStreamRoundTripAndModes) {
  const std::string Name = Path("data.bin");
  {
    TFileStream F(Name, fmCreate);
    F.WriteBuffer("0123456789", 10);
    EXPECT_EQ(F.Size(), 10);
    EXPECT_EQ(F.Seek(-3, soEnd), 7);
    F.SetSize(5);
    EXPECT_EQ(F.Position(), 5);  // moved back to the new end
    EXPECT_THROW(F.Seek(-1, soBeginning), EStreamError);
    EXPECT_THROW(F.Seek(-6, soCurrent), EStreamError);
  }
  {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(ReadAll(F), "01234");
    EXPECT_EQ(F.FileName(), Name);
    EXPECT_THROW(F.WriteBuffer("x", 1), EWriteError);  // opened for reading only
  }
  {
    TFileStream F(Name, fmOpenReadWrite);
    F.Seek(0, soEnd);
    F.WriteBuffer("ab", 2);
  }
  {
    TFileStream F(Name, fmOpenWrite);
    F.WriteBuffer("X", 1);  // overwrites, does not truncate
    char C;
    EXPECT_EQ(F.Read(&C, 1), 0);  // opened for writing only
  }
  {
    TFileStream F(Name, fmOpenRead);
    EXPECT_EQ(ReadAll(F), "X1234ab");
  }
  {
    TFileStream F(Name, fmCreate);  // truncates
    EXPECT_EQ(F.Size(), 0);
  }
}

TEST_F(StreamFiles, FileStreamAcceptsBackslashDelimiters) {
  fs::create_directory(Dir / "sub");
  const std::string Windows = Path("sub") + "\\name.txt";
  {
    TFileStream F(Windows, fmCreate);
    F.WriteBuffer("w", 1);
  }
  EXPECT_TRUE(fs::exists(Dir / "sub" / "name.txt"));
  TFileStream F(Windows, fmOpenRead);
  EXPECT_EQ(ReadAll(F), "w");
}

TEST_F(StreamFiles, OpenErrorsNameTheFileAndTheReason) {
  const std::string Missing = Path("missing.bin");
  try {
    TFileStream F(Missing, fmOpenRead);
    FAIL() << "opening a missing file must raise";
  } catch (const EFOpenError& E) {
    EXPECT_EQ(E.Message(), "Cannot open file \"" + Missing + "\". No such file or directory");
  }
  const std::string InMissingDir = Path("nodir/new.bin");
  try {
    TFileStream F(InMissingDir, fmCreate);
    FAIL() << "creating a file in a missing folder must raise";
  } catch (const EFCreateError& E) {
    EXPECT_EQ(E.Message(),
              "Cannot create file \"" + InMissingDir + "\". No such file or directory");
  }
  EXPECT_THROW(TFileStream(Dir.string(), fmOpenRead), EFOpenError);  // a folder is no file
  EXPECT_THROW(TFileStream(Dir.string(), fmCreate), EFCreateError);
}

TEST_F(StreamFiles, MemoryStreamFiles) {
  const std::string Name = Path("memory.bin");
  TMemoryStream Out;
  Out.WriteBuffer("\x00\x01\xFF", 3);
  Out.SaveToFile(Name);
  TMemoryStream In;
  In.WriteBuffer("old content", 11);
  In.LoadFromFile(Name);
  EXPECT_EQ(ReadAll(In), std::string("\x00\x01\xFF", 3));
  EXPECT_THROW(In.LoadFromFile(Path("missing.bin")), EFOpenError);
}

} // namespace
} // namespace zef
