// ZEF_filesys: names, directories, text files, copying, passwords, the ASC header and
// TUnivSaveDialog.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "ZEF_filesys.h"
#include "controls/forms.h"
#include "host/headless.h"
#include "rtl/files.h"
#include "rtl/mathfn.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

namespace fs = std::filesystem;

TEST(FileNames, PathStrings) {
  EXPECT_EQ(StripPath("C:\\dir\\file.txt"), "file.txt");
  EXPECT_EQ(StripPath("/a/b"), "b");
  EXPECT_EQ(StripExtension("/a.b/c.tar.gz"), "/a.b/c.tar");
  EXPECT_EQ(StripExtension("/a.b/c"), "/a.b/c");
  EXPECT_EQ(InsertBeforeFileExt("_1", "/x.y/data.tar.gz"), "/x.y/data_1.tar.gz");
  EXPECT_EQ(InsertBeforeFileExt("_1", "/x.y/data"), "/x.y/data_1");
  EXPECT_EQ(EnsureDefaultFileExt("a", "txt"), "a.txt");
  EXPECT_EQ(EnsureDefaultFileExt("a", ".txt"), "a.txt");
  EXPECT_EQ(EnsureDefaultFileExt("a.csv", "txt"), "a.csv");
  EXPECT_EQ(EnsureDefaultFileExt("a", ""), "a");
  EXPECT_EQ(ParentDir("C:\\a\\b\\"), "C:\\a\\");
  EXPECT_EQ(ParentDir("/a/b/c"), "/a/b/");
  EXPECT_EQ(ParentDir("name"), "");
  EXPECT_TRUE(IsRootDir(" C:\\ "));
  EXPECT_TRUE(IsRootDir("/"));
  EXPECT_FALSE(IsRootDir("C:\\a"));
  EXPECT_EQ(AbridgeFilePath("C:\\dir1\\dir2\\dir3\\file.txt", 23), "C:\\..\\..\\dir3\\file.txt");
  EXPECT_EQ(AbridgeFilePath("C:\\dir1\\dir2\\dir3\\file.txt", 20), "C:\\..\\..\\..\\file.txt");
  EXPECT_EQ(AbridgeFilePath("/home/user/project/file.txt", 100), "/home/user/project/file.txt");
  EXPECT_EQ(AbridgeFilePath("/home/user/project/file.txt", 1), "/../../../file.txt");
  EXPECT_EQ(AbridgeFilePath("plain", 1), "plain");
}

// ExtractDrive once answered -1 exactly when a drive letter was there; it gives the drive.
TEST(FileNames, ExtractDriveGivesTheDriveLetter) {
  EXPECT_EQ(ExtractDrive("C:\\x"), 2);
  EXPECT_EQ(ExtractDrive("a:"), 0);
  EXPECT_EQ(ExtractDrive("z:/"), 25);
  EXPECT_EQ(ExtractDrive("/usr"), -1);
  EXPECT_EQ(ExtractDrive("1:"), -1);
  EXPECT_EQ(ExtractDrive(""), -1);
}

TEST(FileNames, Validity) {
  EXPECT_TRUE(IsFN83CompliantPath("C:\\DOS\\A_B~1.TXT"));
  EXPECT_FALSE(IsFN83CompliantPath("a b"));
  EXPECT_TRUE(IsDOS83Path("C:\\ABCDEFGH\\FILE1234.TXT"));
  EXPECT_FALSE(IsDOS83Path("C:\\ABCDEFGHI\\F.TXT"));
  EXPECT_TRUE(IsDOS83Path("C:\\A\\B.ABCDEFGHI"));
  EXPECT_FALSE(IsValidFileName("a:b"));
  EXPECT_FALSE(IsValidFileName(".."));
  EXPECT_TRUE(IsValidFileName("a.b"));
  EXPECT_EQ(ReplaceInvalidFileNameChars("a:b?c", '_'), "a_b_c");
  EXPECT_EQ(ReplaceInvalidFileNameChars(".", '_'), "_");
  EXPECT_EQ(ReplaceInvalidFileNameChars("..", '-'), "--");
}

TEST(Drives, TheRootStandsAsDriveC) {
  EXPECT_EQ(GetDiskDriveType(2), 3u);
  EXPECT_EQ(GetDiskDriveType(0), 1u);
  EXPECT_EQ(GetDiskDriveType(26), 0u);
  EXPECT_GT(DiskFreeExtended(2), 0);
  EXPECT_EQ(DiskFreeExtended(3), -1);
  EXPECT_TRUE(DiskIsReadOnly(5));
  TStringList L;
  L.Add("old");
  BuildDriveList(L);
  ASSERT_EQ(L.Count(), 1);
  EXPECT_EQ(L[0], "C:");
  EXPECT_EQ(GetSystemDir(), "/usr/lib");
  EXPECT_EQ(GetTempDir().back(), '/');
}

TEST(Environment, VariablesIgnoreCase) {
  setenv("ZEF_Test_Var", "v1", 1);
  EXPECT_EQ(GetEnviroVar("zef_test_var"), "v1");
  EXPECT_EQ(GetEnviroVar("ZEF_NO_SUCH_VAR"), "");
  unsetenv("ZEF_Test_Var");
}

class FileSys : public zef::test::TempDirTest {
protected:
  std::string D() const { return Dir.string() + "/"; }
};

TEST_F(FileSys, DirectoriesAndFileSearch) {
  EXPECT_TRUE(DirExists(Dir.string()));
  EXPECT_TRUE(DirEmpty(Dir.string()));
  EXPECT_FALSE(DirIsReadOnly(Dir.string()));
  EXPECT_FALSE(fs::exists(Dir / "$%$LO%$.$$$"));
  fs::create_directories(Dir / "sub" / "deep");
  Put("a.txt", "12345");
  Put("b.dat", "");
  Put(".hidden.txt", "h");
  Put("sub/c.txt", "c");
  Put("sub/deep/target.bin", "t");
  EXPECT_FALSE(DirEmpty(Dir.string()));
  EXPECT_EQ(GetFileSize(Path("a.txt")), 5);
  EXPECT_EQ(GetFileSize(Path("none")), -1);
  EXPECT_EQ(FileDetect(Path("a.txt")), Path("a.txt"));
  EXPECT_EQ(FileDetect(Path("target.bin")), Path("sub/deep/target.bin"));
  EXPECT_EQ(FileDetect(Path("nothing.bin")), "");
  EXPECT_EQ(CountFiles(D() + "*.txt", false, nullptr), 1);
  std::vector<std::string> Dirs;
  EXPECT_EQ(CountFiles(D() + "*.txt", true,
                       [&](const std::string& Dir, int32_t) { Dirs.push_back(Dir); }),
            2);
  EXPECT_EQ(Dirs.size(), 3u);
  TStringList L;
  ScanFilesToStrList(D() + "*", true, &L, nullptr);
  EXPECT_EQ(L.Count(), 4);
  EXPECT_NE(L.IndexOf(Path("sub/deep/target.bin")), -1);
  ScanFilesToStrList(D() + "*", true, nullptr, nullptr);
  EXPECT_EQ(DOSToWinPath(D() + "SUB/Deep/TARGET.bin"), Path("sub/deep/target.bin"));
  EXPECT_EQ(DOSToWinPath(D() + "sub/none/x"), Path("sub/none/x"));
  SetAllFilenameCase(D() + "sub/*", true);
  EXPECT_TRUE(fs::exists(Dir / "sub" / "C.TXT"));
  EXPECT_TRUE(fs::exists(Dir / "sub" / "DEEP" / "TARGET.BIN"));
  EXPECT_EQ(DeleteFiles(D() + "*.txt"), 1);
  EXPECT_TRUE(fs::exists(Dir / ".hidden.txt"));
  EXPECT_EQ(DelDirTree(Path("sub")), "");
  EXPECT_FALSE(fs::exists(Dir / "sub"));
}

TEST_F(FileSys, DelDirTreeRemovesLinksWithoutFollowing) {
  fs::create_directories(Dir / "keep");
  Put("keep/precious", "p");
  fs::create_directories(Dir / "tree" / "x");
  fs::create_directory_symlink(Dir / "keep", Dir / "tree" / "link");
  Put("tree/x/f", "f");
  EXPECT_EQ(DelDirTree(Path("tree")), "");
  EXPECT_TRUE(fs::exists(Dir / "keep" / "precious"));
  EXPECT_EQ(DelDirTree(Path("missing")), Path("missing"));
}

TEST_F(FileSys, MoveToRecycleBinUsesTheFreedesktopTrash) {
  fs::create_directories(Dir / "data");
  setenv("XDG_DATA_HOME", Path("xdg").c_str(), 1);
  Put("data/a b.txt", "one");
  EXPECT_EQ(MoveToRecycleBin(D() + "data/*.txt"), 1);
  Put("data/a b.txt", "two");
  EXPECT_EQ(MoveToRecycleBin(D() + "data/a b.txt"), 1);
  unsetenv("XDG_DATA_HOME");
  EXPECT_FALSE(fs::exists(Dir / "data" / "a b.txt"));
  EXPECT_EQ(Get("xdg/Trash/files/a b.txt"), "one");
  EXPECT_EQ(Get("xdg/Trash/files/a b.2.txt"), "two");
  const std::string Info = Get("xdg/Trash/info/a b.txt.trashinfo");
  EXPECT_EQ(Info.substr(0, 18), "[Trash Info]\nPath=");
  EXPECT_NE(Info.find("/data/a%20b.txt\nDeletionDate="), std::string::npos);
}

TEST_F(FileSys, ProgramAssociationsFromTheMimeDatabase) {
  fs::create_directories(Dir / "share" / "mime");
  fs::create_directories(Dir / "share" / "applications");
  fs::create_directories(Dir / "config");
  Put("share/mime/globs2", "# comment\n50:text/x-zefdata:*.zefd\n40:text/other:*.zefd\n");
  Put("config/mimeapps.list",
      "[Default Applications]\ntext/x-zefdata=zefview.desktop;other.desktop\n");
  Put("share/applications/zefview.desktop", "[Desktop Entry]\nName=View\nExec=zefview %f\n");
  setenv("XDG_DATA_HOME", Path("share").c_str(), 1);
  setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
  setenv("XDG_DATA_DIRS", Path("none").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", Path("none").c_str(), 1);
  EXPECT_EQ(GetProgAssoc("ZEFD"), "zefview %f");
  EXPECT_EQ(GetProgAssoc(".zefd"), "zefview %f");
  EXPECT_EQ(GetProgAssoc("unknownext"), "");
  for (const char* V : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
    unsetenv(V);
}

TEST_F(FileSys, TextFiles) {
  Put("u8", "\xEF\xBB\xBFx");
  Put("u16", "\xFF\xFEx\0");
  Put("u32", std::string("\xFF\xFE\0\0", 4));
  Put("rtf", "{\\rtf1");
  Put("short", "a");
  EXPECT_EQ(CheckTextFileType(Path("u8")), tftUTF8);
  EXPECT_EQ(CheckTextFileType(Path("u16")), tftUnicode_le);
  EXPECT_EQ(CheckTextFileType(Path("u32")), tftUnicode4_le);
  EXPECT_EQ(CheckTextFileType(Path("rtf")), tftRTF);
  EXPECT_EQ(CheckTextFileType(Path("short")), tftUnknown);
  EXPECT_EQ(CheckTextFileType(Path("missing")), tftUnknown);
  Put("cr", "a\rb\r\nc\r");
  EnsureCRLFInFile(Path("cr"), Path("crlf"));
  EXPECT_EQ(Get("crlf"), "a\r\nb\r\nc\r\n");
  EnsureCRLFInFile(Path("cr"), Path("cr"));
  EXPECT_EQ(Get("cr"), "a\r\nb\r\nc\r\n");
  AppendToTextFile(Path("log"), "first");
  TStringList L;
  L.Add("second");
  L.Add("third");
  AppendToTextFile(Path("log"), L);
  EXPECT_EQ(Get("log"), "first\r\nsecond\r\nthird\r\n");
  int32_t N = 0;
  EXPECT_EQ(ReadLastNLinesOfTextFile(Path("log"), 5, N),
            (TStrArray{"", "", "first", "second", "third"}));
  EXPECT_EQ(N, 3);
  EXPECT_EQ(ReadLastNLinesOfTextFile(Path("log"), 2, N), (TStrArray{"second", "third"}));
  TTextFile F;
  AssignFile(F, Path("log"));
  Reset(F);
  EXPECT_EQ(ReadNextWordInTextFile(F), "first");
  EXPECT_EQ(ReadNextWordInTextFile(F), "second");
  std::vector<double> Feedback;
  std::string Many;
  for (int i = 0; i < 2500; ++i) Many += "line\n";
  Put("many", Many);
  EXPECT_EQ(CountLinesInTextFile(Path("many"), [&](TObject*, double n) { Feedback.push_back(n); }),
            2500);
  EXPECT_EQ(Feedback, (std::vector<double>{1000, 2000}));
  EXPECT_EQ(CountLinesInTextFile(F, nullptr), 3);
  EXPECT_EQ(ReadNextWordInTextFile(F), "first");
  Put("find", "abc\r\nxyZ Needle\r\n");
  EXPECT_EQ(DetectStringInFile(Path("find"), "needle", true, 100), 8);
  EXPECT_EQ(DetectStringInFile(Path("find"), "needle", false, 100), 0);
  EXPECT_EQ(DetectStringInFile(Path("find"), "Needle", false, 7), 0);
  std::string Line;
  EXPECT_EQ(FindFirstMatchInTextFile(Path("find"), "NEEDLE", true, Line), 5);
  EXPECT_EQ(Line, "xyZ Needle");
  EXPECT_EQ(FindFirstMatchInTextFile(Path("find"), "hay", true, Line), 0);
  EXPECT_EQ(Line, "");
}

struct AscCase {
  const char* Text;
  int32_t Result;
  int32_t NumA;
  int32_t NumB;
  std::array<bool, 4> Flags;
};

TEST_F(FileSys, AscHeader) {
  const AscCase Cases[] = {
      {"Series 7\r\n120 rows\r\n3\r\nTRUE FALSE\tTRUE true\r\n",
       0,
       120,
       3,
       {true, false, true, true}},
      {"h\n5\n6\nfalse false false\n", 0, 5, 6, {false, false, false, false}},
      {"h\r5\r6\rTRUE TRUE TRUE maybe\r", 0, 5, 6, {true, true, true, false}},
      {"h\n0\n4\nTRUE TRUE TRUE\n", -1, 0, 0, {false, false, false, false}},
      {"h\nx\n", -1, 0, 0, {false, false, false, false}},
      {"h\n3\n-2\n", -2, 3, 0, {false, false, false, false}},
      {"h\n3\n2\nTRUE TRUE YES\n", -3, 3, 2, {true, true, false, false}},
      {"h\n3\n2\nTRUE\n", -3, 3, 2, {true, false, false, false}},
      {"", -1, 0, 0, {false, false, false, false}},
  };
  for (const AscCase& C : Cases) {
    Put("h.asc", C.Text);
    std::string Header;
    int32_t A = 0, B = 0;
    std::array<bool, 4> F{true, true, true, true};
    EXPECT_EQ(ReadHeaderOfASC(Path("h.asc"), Header, A, B, F[0], F[1], F[2], F[3]), C.Result)
        << C.Text;
    if (C.Result == 0) {
      EXPECT_EQ(A, C.NumA) << C.Text;
      EXPECT_EQ(B, C.NumB) << C.Text;
    }
    EXPECT_EQ(F, C.Flags) << C.Text;
  }
  std::string Header;
  int32_t A, B;
  bool F1, F2, F3, F4;
  Put("h.asc", "T\xE9te\n1\n1\nTRUE TRUE TRUE\n");
  ASSERT_EQ(ReadHeaderOfASC(Path("h.asc"), Header, A, B, F1, F2, F3, F4), 0);
  EXPECT_EQ(Header, "T\xC3\xA9te");
  EXPECT_THROW(ReadHeaderOfASC(Path("missing.asc"), Header, A, B, F1, F2, F3, F4), EFOpenError);
}

TEST_F(FileSys, FileCopyReportsProgressAndKeepsTheDate) {
  std::string Big(20000, 'x');
  Put("src.bin", Big);
  chmod(Path("src.bin").c_str(), 0444);
  FileSetDate(Path("src.bin"), EncodeDateTime(2020, 5, 6, 7, 8, 9, 0));
  std::vector<std::pair<int64_t, int64_t>> Calls;
  fs::create_directory(Dir / "out");
  EXPECT_EQ(FileCopyFeedBk(Path("src.bin"), Path("out"), true,
                           [&](int64_t Done, int64_t Total) { Calls.emplace_back(Done, Total); }),
            0);
  EXPECT_EQ(Get("out/src.bin"), Big);
  EXPECT_EQ(Calls, (std::vector<std::pair<int64_t, int64_t>>{
                       {0, 20000}, {0, 20000}, {8192, 20000}, {16384, 20000}, {20000, 20000}}));
  EXPECT_EQ(FileAge(Path("out/src.bin")), FileAge(Path("src.bin")));
  struct stat St;
  ASSERT_EQ(stat(Path("out/src.bin").c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 0777, 0644u);
  EXPECT_EQ(FileCopyFeedBk(Path("src.bin"), Path("src.bin"), false, nullptr), 0);
  EXPECT_THROW(FileCopyFeedBk(Path("none"), Path("x"), false, nullptr), EInOutError);
  EXPECT_EQ(FileCopyFeedBk(Path("src.bin"), Path("nodir/x"), false, nullptr), -2);
  // An abort stops the copy, reports it and removes the incomplete file.
  EXPECT_EQ(FileCopyFeedBk(Path("src.bin"), Path("abort.bin"), false,
                           [](int64_t Done, int64_t) {
                             if (Done > 0) AbortAnyFileCopying();
                           }),
            -5);
  EXPECT_FALSE(fs::exists(Dir / "abort.bin"));
}

TEST_F(FileSys, CopyFileTreeCopiesEverythingOnce) {
  fs::create_directories(Dir / "src" / "a" / "b");
  Put("src/one", "1");
  Put("src/a/two", "22");
  Put("src/a/b/three", "333");
  fs::create_directory_symlink(Dir / "src", Dir / "src" / "a" / "loop");
  int32_t LastCount = 0;
  CopyFileTree(Path("src"), Path("src/a/copy"), false,
               [&](int64_t, int64_t, const std::string&, int32_t N) { LastCount = N; });
  EXPECT_EQ(Get("src/a/copy/one"), "1");
  EXPECT_EQ(Get("src/a/copy/a/b/three"), "333");
  EXPECT_FALSE(fs::exists(Dir / "src" / "a" / "copy" / "a" / "copy"));
  EXPECT_FALSE(fs::exists(Dir / "src" / "a" / "copy" / "a" / "loop"));
  EXPECT_EQ(LastCount, 3);
}

TEST(Passwords, LengthsAndAlphabet) {
  SetRandSeed(4);
  EXPECT_EQ(InventPassword(20).size(), 16u);
  EXPECT_EQ(InventPassword(1).size(), 6u);
  for (int i = 0; i < 50; ++i) {
    const std::string P = InventPassword(5);
    ASSERT_EQ(P.size(), 7u);
    EXPECT_NE(std::string_view("aeiouy").find(P[0]), std::string_view::npos) << P;
    EXPECT_TRUE(isdigit(P[5]) && isdigit(P[6])) << P;
    const std::string Q = InventPassword(10);
    EXPECT_TRUE(isdigit(Q[6]) && isdigit(Q[7])) << Q;
    EXPECT_NE(std::string_view("bcdfghjklmnpqrstvwxz").find(Q[0]), std::string_view::npos) << Q;
  }
  bool Upper = false, Special = false;
  for (int i = 0; i < 50; ++i) {
    const std::string P = InventPassword(14, true, true);
    ASSERT_EQ(P.size(), 16u);
    for (char C : P) {
      Upper = Upper || (C >= 'A' && C <= 'Z');
      Special = Special || std::string_view("_!$%#=").find(C) != std::string_view::npos;
    }
  }
  EXPECT_TRUE(Upper);
  EXPECT_TRUE(Special);
}

class UnivSaveDialog : public zef::test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    SetHost(&Host);
    Dlg.SetName("Saver");
  }
  void TearDown() override {
    SetHost(nullptr);
    TempDirTest::TearDown();
  }
  THeadlessHost Host;
  TUnivSaveDialog Dlg{nullptr};
};

TEST_F(UnivSaveDialog, StandardDialogForcesTheExtensionAndAsksBeforeOverwriting) {
  Dlg.Parameters = "filter=\"Data|*.dat|All|*.*\" caption=\"Save data\" ext=dat";
  Put("old.dat", "x");
  Host.PushFileDialogAnswer(Path("new.txt"));
  ASSERT_TRUE(Dlg.Execute());
  EXPECT_EQ(Dlg.FileName, Path("new.dat"));
  EXPECT_EQ(Host.DialogTitles().back(), "Save data");
  std::vector<int> Replies{mrNo, mrYes};
  Dlg.OnOverwrite = [&](TObject*, const std::string& Name, int& Reply) {
    EXPECT_EQ(Name, Path("old.dat"));
    EXPECT_EQ(Reply, mrNo);
    Reply = Replies.front();
    Replies.erase(Replies.begin());
  };
  Host.PushFileDialogAnswer(Path("old.dat"));
  Host.PushFileDialogAnswer(Path("old.dat"));
  EXPECT_TRUE(Dlg.Execute());
  EXPECT_TRUE(Replies.empty());
  Host.PushDialogCancel();
  EXPECT_FALSE(Dlg.Execute());
  Dlg.OnOverwrite = [](TObject*, const std::string&, int& Reply) { Reply = mrAbort; };
  Host.PushFileDialogAnswer(Path("old.dat"));
  try {
    Dlg.Execute();
    FAIL();
  } catch (const EZEFFileSysError& E) {
    EXPECT_EQ(E.Message(), "Component \"Saver\": Invalid reply argument from overwrite dialog");
  }
  Dlg.OnOverwrite = nullptr;
  Host.PushFileDialogAnswer(Path("old.dat"));
  EXPECT_THROW(Dlg.Execute(), EZEFFileSysError);
}

TEST_F(UnivSaveDialog, ApplicationSelectionAndForbiddenDirectories) {
  Dlg.UseStandardDialog = false;
  try {
    Dlg.Execute();
    FAIL();
  } catch (const EZEFFileSysError& E) {
    EXPECT_EQ(E.Message(), "Component \"Saver\": File select dialog is not assigned");
  }
  std::vector<std::string> Offers{"/sys/locked/a.txt", "/home/u/b.txt"};
  Dlg.OnFileSelect = [&](TObject*, const std::string&, int& Action, std::string& Name) {
    EXPECT_EQ(Action, mrCancel);
    Name = Offers.front();
    Offers.erase(Offers.begin());
    Action = mrOk;
  };
  Dlg.ForbiddenDir = "/SYS/";
  std::vector<std::string> Forbidden;
  Dlg.OnForbiddenDir = [&](TObject*, const std::string& P, int& Reply) {
    EXPECT_EQ(Reply, mrYes);
    Forbidden.push_back(P);
    Reply = mrNo;
  };
  EXPECT_TRUE(Dlg.Execute());
  EXPECT_EQ(Dlg.FileName, "/home/u/b.txt");
  EXPECT_EQ(Forbidden, (std::vector<std::string>{"/sys/locked/"}));
  Offers = {"/sys/x"};
  Dlg.OnForbiddenDir = [](TObject*, const std::string&, int& Reply) { Reply = mrCancel; };
  EXPECT_FALSE(Dlg.Execute());
  Offers = {"/home/u/c.txt"};
  Dlg.OnFileCheck = [](TObject*, const std::string&, bool& Exists) { Exists = true; };
  Dlg.OnOverwrite = [](TObject*, const std::string&, int& Reply) { Reply = mrCancel; };
  EXPECT_FALSE(Dlg.Execute());
}

TEST_F(UnivSaveDialog, Parameters) {
  Dlg.Parameters = "n=42 x=2,5 name=\"a b\"";
  EXPECT_EQ(Dlg.ExtractParamAsInt("N"), 42);
  EXPECT_DOUBLE_EQ(Dlg.ExtractParamAsDouble("x"), 2.5);
  EXPECT_EQ(Dlg.ExtractParamAsString("name"), "a b");
  EXPECT_EQ(Dlg.ExtractParamAsString("missing"), "");
  try {
    Dlg.ExtractParamAsInt("depth");
    FAIL();
  } catch (const EZEFFileSysError& E) {
    EXPECT_EQ(E.Message(), "Component \"Saver\": depth is not specified in property Parameters");
  }
}

} // namespace
} // namespace zef
