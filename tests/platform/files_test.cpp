#include "rtl/files.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zef {
namespace {

namespace fs = std::filesystem;

struct PathCase {
  const char* Name;
  const char* FileName;
  const char* FilePath;
  const char* FileDir;
  const char* FileExt;
};

TEST(PathStrings, ExtractParts) {
  const PathCase Cases[] = {
      {"/a/b/c.txt", "c.txt", "/a/b/", "/a/b", ".txt"},
      {"C:\\data\\x.dat", "x.dat", "C:\\data\\", "C:\\data", ".dat"},
      {"mixed/sub\\name.tar.gz", "name.tar.gz", "mixed/sub\\", "mixed/sub", ".gz"},
      {"dir.v2/file", "file", "dir.v2/", "dir.v2", ""},
      {"dir.v2\\file", "file", "dir.v2\\", "dir.v2", ""},
      {"noext", "noext", "", "", ""},
      {"trail/", "", "trail/", "trail", ""},
      {"/top", "top", "/", "/", ""},
      {"a//b", "b", "a//", "a//", ""},
      {"file.", "file.", "", "", "."},
      {"", "", "", "", ""},
  };
  for (const PathCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ExtractFileName(C.Name), C.FileName);
    EXPECT_EQ(ExtractFilePath(C.Name), C.FilePath);
    EXPECT_EQ(ExtractFileDir(C.Name), C.FileDir);
    EXPECT_EQ(ExtractFileExt(C.Name), C.FileExt);
  }
}

TEST(PathStrings, ChangeExtensionAndTrailingDelimiters) {
  EXPECT_EQ(ChangeFileExt("a/b.txt", ".dat"), "a/b.dat");
  EXPECT_EQ(ChangeFileExt("x\\y.tar.gz", ".bz2"), "x\\y.tar.bz2");
  EXPECT_EQ(ChangeFileExt("dir.v2/file", ".x"), "dir.v2/file.x");
  EXPECT_EQ(ChangeFileExt("dir.v2\\file", ".x"), "dir.v2\\file.x");
  EXPECT_EQ(ChangeFileExt("a.b", ""), "a");

  EXPECT_EQ(IncludeTrailingPathDelimiter("a"), "a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a/"), "a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a\\"), "a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a/"), "a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a\\"), "a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a"), "a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a//"), "a/");

  EXPECT_EQ(NativePath("C:\\a/b\\c"), "C:/a/b/c");
  EXPECT_EQ(PathDelim, '/');
}

TEST(PathStrings, ExpandFileName) {
  const std::string Cwd = GetCurrentDir();
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("\\a\\\\b\\"), "/a/b/");
  EXPECT_EQ(ExpandFileName("/../x"), "/x");
  EXPECT_EQ(ExpandFileName("/"), "/");
  EXPECT_EQ(ExpandFileName("x\\y.txt"), (fs::path(Cwd) / "x" / "y.txt").string());
  EXPECT_EQ(ExpandFileName("."), Cwd);
  EXPECT_EQ(ExpandFileName(""), "");
}

class FileSystem : public test::TempDirTest {
protected:
  void TearDown() override {
    std::error_code Ec;
    fs::permissions(Dir / "ro.txt", fs::perms::owner_all, Ec);
    TempDirTest::TearDown();
  }
};

// Now as a local TDateTime, computed independently of the code under test.
TDateTime LocalNow() {
  const std::time_t T = std::time(nullptr);
  std::tm Local{};
  localtime_r(&T, &Local);
  return 25569.0 + static_cast<double>(T + Local.tm_gmtoff) / 86400.0;
}

TEST_F(FileSystem, ForceDirectoriesCreatesEveryLevel) {
  const std::string Nested = Path("a/b/c");
  EXPECT_TRUE(ForceDirectories(Nested));
  EXPECT_TRUE(DirectoryExists(Nested));
  EXPECT_TRUE(ForceDirectories(Nested + "/"));  // already there
  EXPECT_TRUE(ForceDirectories(Dir.string() + "\\x\\y"));
  EXPECT_TRUE(DirectoryExists(Path("x/y")));

  Put("file", "x");
  EXPECT_FALSE(ForceDirectories(Path("file/sub")));  // a file is in the way
  EXPECT_FALSE(ForceDirectories(""));

  EXPECT_TRUE(CreateDir(Path("one")));
  EXPECT_FALSE(CreateDir(Path("one")));
  EXPECT_FALSE(CreateDir(Path("two/three")));  // CreateDir makes one level only
  EXPECT_FALSE(RemoveDir(Path("a/b")));        // not empty
  EXPECT_TRUE(RemoveDir(Path("a\\b\\c")));
  EXPECT_FALSE(DirectoryExists(Nested));
}

TEST_F(FileSystem, FilesAndDirectoriesAreToldApart) {
  Put("f.txt", "12345");
  fs::create_directory(Dir / "d");
  EXPECT_TRUE(FileExists(Path("f.txt")));
  EXPECT_TRUE(FileExists(Dir.string() + "\\f.txt"));
  EXPECT_FALSE(FileExists(Path("d")));
  EXPECT_FALSE(FileExists(Path("none")));
  EXPECT_TRUE(DirectoryExists(Path("d")));
  EXPECT_FALSE(DirectoryExists(Path("f.txt")));

  EXPECT_EQ(FileSizeByName(Path("f.txt")), 5);
  EXPECT_EQ(FileSizeByName(Path("none")), -1);
  EXPECT_EQ(FileSizeByName(Path("d")), -1);

  EXPECT_FALSE(DeleteFile(Path("d")));
  EXPECT_FALSE(DeleteFile(Path("none")));

  Put("g.txt", "g");
  EXPECT_FALSE(RenameFile(Path("f.txt"), Path("g.txt")));  // the target exists
  EXPECT_EQ(FileSizeByName(Path("g.txt")), 1);
  EXPECT_TRUE(RenameFile(Path("f.txt"), Path("d\\h.txt")));
  EXPECT_FALSE(FileExists(Path("f.txt")));
  EXPECT_EQ(FileSizeByName(Path("d/h.txt")), 5);
  EXPECT_TRUE(DeleteFile(Path("d/h.txt")));
  EXPECT_FALSE(FileExists(Path("d/h.txt")));
}

TEST_F(FileSystem, FileAgeAndFileSetDate) {
  Put("f.txt", "x");
  const TDateTime Now = LocalNow();
  EXPECT_NEAR(FileAge(Path("f.txt")), Now, 5.0 / 86400);
  EXPECT_EQ(FileAge(Path("none")), -1);
  EXPECT_EQ(FileAge(Dir.string()), -1);

  EXPECT_NE(FileSetDate(Path("none"), 36925), 0);
  EXPECT_NE(FileSetDate(Path("f.txt"), NAN), 0);
}

// Sets the time zone for one test (a POSIX rule, so no zone database is needed).
class TimeZone {
public:
  explicit TimeZone(const char* Rule) {
    if (const char* Old = std::getenv("TZ")) {
      FOld = Old;
      FHadOld = true;
    }
    ::setenv("TZ", Rule, 1);
    ::tzset();
  }
  ~TimeZone() {
    if (FHadOld)
      ::setenv("TZ", FOld.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

private:
  std::string FOld;
  bool FHadOld = false;
};

TEST_F(FileSystem, FileSetDateUsesTheOffsetOfThatDate) {
  const TimeZone Zone("CET-1CEST,M3.5.0,M10.5.0/3");
  Put("f.txt", "x");
  struct Moment {
    TDateTime Value;
    int Month, Day, Hour, Min, Sec;
  };
  const Moment Moments[] = {
      {36925 + (4 * 3600 + 5 * 60 + 6.5) / 86400, 2, 3, 4, 5, 6},  // 2001-02-03, winter time
      {37075 + (14 * 3600 + 30 * 60) / 86400.0, 7, 3, 14, 30, 0},  // 2001-07-03, summer time
  };
  for (const Moment& M : Moments) {
    SCOPED_TRACE(M.Month);
    ASSERT_EQ(FileSetDate(Path("f.txt"), M.Value), 0);
    EXPECT_NEAR(FileAge(Path("f.txt")), M.Value, 1e-3 / 86400);
    struct stat St;
    ASSERT_EQ(::stat(Path("f.txt").c_str(), &St), 0);
    std::tm Local{};
    localtime_r(&St.st_mtime, &Local);
    EXPECT_EQ(Local.tm_year, 101);
    EXPECT_EQ(Local.tm_mon + 1, M.Month);
    EXPECT_EQ(Local.tm_mday, M.Day);
    EXPECT_EQ(Local.tm_hour, M.Hour);
    EXPECT_EQ(Local.tm_min, M.Min);
    EXPECT_EQ(Local.tm_sec, M.Sec);
  }
}

TEST_F(FileSystem, CurrentDirectory) {
  const std::string Old = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Dir.string()));
  const std::string Here = GetCurrentDir();
  const bool Back = SetCurrentDir(Old);
  EXPECT_EQ(Here, fs::canonical(Dir).string());
  EXPECT_TRUE(Back);
  EXPECT_FALSE(SetCurrentDir(Path("none")));
  EXPECT_EQ(GetCurrentDir(), Old);
}

std::vector<std::string> Names(const std::vector<TSearchRec>& Found) {
  std::vector<std::string> Result;
  for (const TSearchRec& F : Found) Result.push_back(F.Name);
  return Result;
}

TEST_F(FileSystem, FindFirstPatternsAndAttributes) {
  Put("a.txt", "aaa");
  Put("b.dat", "b");
  Put("c.txt", "");
  Put("noext", "");
  Put(".hidden.txt", "");
  Put("ro.txt", "");
  fs::permissions(Dir / "ro.txt", fs::perms::owner_read | fs::perms::group_read);
  fs::create_directory(Dir / "sub.txt");
  fs::create_symlink("a.txt", Dir / "link.txt");
  ASSERT_EQ(::mkfifo(Path("pipe.txt").c_str(), 0600), 0);

  using V = std::vector<std::string>;
  const std::string D = Dir.string() + "/";
  EXPECT_EQ(Names(FindFiles(D + "*.txt", 0)), (V{"a.txt", "c.txt", "link.txt", "ro.txt"}));
  EXPECT_EQ(Names(FindFiles(D + "*.txt", faDirectory)),
            (V{"a.txt", "c.txt", "link.txt", "ro.txt", "sub.txt"}));
  EXPECT_EQ(Names(FindFiles(D + "*.txt", faHidden)),
            (V{".hidden.txt", "a.txt", "c.txt", "link.txt", "ro.txt"}));
  EXPECT_EQ(Names(FindFiles(D + "*.txt", faSysFile)),
            (V{"a.txt", "c.txt", "link.txt", "pipe.txt", "ro.txt"}));
  EXPECT_EQ(Names(FindFiles(D + "*", faDirectory)),
            (V{".", "..", "a.txt", "b.dat", "c.txt", "link.txt", "noext", "ro.txt", "sub.txt"}));
  EXPECT_EQ(Names(FindFiles(D + "*.*", 0)),
            (V{"a.txt", "b.dat", "c.txt", "link.txt", "noext", "ro.txt"}));
  EXPECT_EQ(Names(FindFiles(D + "?.t*", 0)), (V{"a.txt", "c.txt"}));
  EXPECT_EQ(Names(FindFiles(D + "*o*", faAnyFile)), (V{"noext", "ro.txt"}));
  EXPECT_EQ(Names(FindFiles(Dir.string() + "\\b.dat", 0)), (V{"b.dat"}));
  EXPECT_EQ(Names(FindFiles(D + "B.DAT", 0)), V{});  // case-sensitive

  for (const TSearchRec& F : FindFiles(D + "*", faAnyFile)) {
    SCOPED_TRACE(F.Name);
    int Expected = 0;
    if (F.Name == "." || F.Name == ".." || F.Name == "sub.txt") Expected = faDirectory;
    if (F.Name == ".hidden.txt") Expected = faHidden;
    if (F.Name == "ro.txt") Expected = faReadOnly;
    if (F.Name == "link.txt") Expected = faSymLink;
    if (F.Name == "pipe.txt") Expected = faSysFile;
    EXPECT_EQ(F.Attr, Expected);
    if (F.Name == "a.txt" || F.Name == "link.txt") {
      EXPECT_EQ(F.Size, 3);
    }
    EXPECT_NEAR(F.Time, LocalNow(), 60.0 / 86400);
  }
}

TEST_F(FileSystem, FindFirstFindNextFindClose) {
  Put("1.csv", "");
  Put("2.csv", "");
  TSearchRec F;
  std::vector<std::string> Found;
  for (int R = FindFirst(Path("*.csv"), faAnyFile, F); R == 0; R = FindNext(F))
    Found.push_back(F.Name);
  EXPECT_EQ(FindNext(F), 18);  // stays at the end
  FindClose(F);
  FindClose(F);  // harmless twice
  std::sort(Found.begin(), Found.end());
  EXPECT_EQ(Found, (std::vector<std::string>{"1.csv", "2.csv"}));

  EXPECT_EQ(FindFirst(Path("*.none"), faAnyFile, F), 2);
  EXPECT_EQ(FindFirst(Path("nodir/*"), faAnyFile, F), 3);
  EXPECT_EQ(FindFirst(Path("1.csv/*"), faAnyFile, F), 3);  // a file is no directory
  EXPECT_EQ(FindNext(F), 18);
}

} // namespace
} // namespace zef
