// File names, directories, text files, copying, passwords, the ASC header and
// TUnivSaveDialog, mapped onto Linux.
#include "ZEF_filesys.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "ZEF_stringl.h"
#include "controls/forms.h"
#include "rtl/datetime.h"
#include "rtl/files.h"
#include "rtl/mathfn.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

extern char** environ;

namespace zef {

namespace {

std::atomic<bool> AbortCopying{false};

constexpr int32_t DriveC = 2;
constexpr int32_t MaxLastLines = 1 << 20;
constexpr std::size_t MaxHeaderLine = 1 << 20;
constexpr std::size_t CopyBlock = 8192;

bool IsDelim(char C) { return C == '\\' || C == '/'; }

std::size_t LastDelim(std::string_view S) { return S.find_last_of("\\/"); }

// The directory and the name pattern of a file mask.
struct TMask {
  std::string Dir;
  std::string Pattern;
};

TMask SplitMask(const std::string& FileMask) {
  const std::string N = NativePath(FileMask);
  TMask M{ExtractFilePath(N), ExtractFileName(N)};
  if (M.Pattern.empty()) M.Pattern = "*";
  return M;
}

// The subdirectories of Dir (hidden ones included, links to directories left out).
std::vector<std::string> SubDirs(const std::string& Dir) {
  std::vector<std::string> R;
  for (const TSearchRec& S : FindFiles(Dir + "*", faDirectory | faHidden))
    if ((S.Attr & faDirectory) != 0 && (S.Attr & faSymLink) == 0 && S.Name != "." && S.Name != "..")
      R.push_back(IncludeTrailingPathDelimiter(Dir + S.Name));
  return R;
}

// Visits the files of a mask, with FeedBack before each directory.
template <class F>
void WalkFiles(const std::string& Dir, const std::string& Pattern, bool Recursive,
               const TScanFilesFeedback& FeedBack, int32_t& Count, F&& Visit) {
  if (FeedBack) FeedBack(Dir, Count);
  for (const TSearchRec& S : FindFiles(Dir + Pattern, 0)) {
    Visit(Dir + S.Name);
    ++Count;
  }
  if (Recursive)
    for (const std::string& Sub : SubDirs(Dir))
      WalkFiles(Sub, Pattern, true, FeedBack, Count, Visit);
}

std::string PathOfDrive(uint8_t Drive) { return Drive == DriveC ? "/" : std::string(); }

// Percent-encoding of a path for a trash info file (RFC 2396: unreserved characters and "/"
// stay).
std::string EncodeTrashPath(std::string_view Path) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string R;
  for (char C : Path) {
    const uint8_t B = static_cast<uint8_t>(C);
    if ((B >= 'a' && B <= 'z') || (B >= 'A' && B <= 'Z') || (B >= '0' && B <= '9') ||
        std::string_view("-_.!~*'()/").find(C) != std::string_view::npos) {
      R += C;
    } else {
      R += '%';
      R += Hex[B >> 4];
      R += Hex[B & 15];
    }
  }
  return R;
}

std::string TrashDir() {
  const std::string DataHome = GetEnviroVar("XDG_DATA_HOME");
  if (!DataHome.empty()) return IncludeTrailingPathDelimiter(DataHome) + "Trash/";
  return IncludeTrailingPathDelimiter(GetEnviroVar("HOME")) + ".local/share/Trash/";
}

bool WriteAll(int Fd, const char* Data, std::size_t N) {
  while (N > 0) {
    const ssize_t W = ::write(Fd, Data, N);
    if (W < 0 && errno == EINTR) continue;
    if (W <= 0) return false;
    Data += W;
    N -= static_cast<std::size_t>(W);
  }
  return true;
}

// Moves one file to the trash: its info file reserves the name first, then the file moves
// (or is copied and deleted when the trash lies on another file system).
bool MoveOneToTrash(const std::string& File) {
  const std::string Abs = ExpandFileName(File);
  const std::string Trash = TrashDir();
  if (!ForceDirectories(Trash + "files") || !ForceDirectories(Trash + "info")) return false;
  const std::string Name = ExtractFileName(Abs);
  const std::string Ext = ExtractFileExt(Name);
  const std::string Base = Name.substr(0, Name.size() - Ext.size());
  for (int k = 1; k < 10000; ++k) {
    const std::string Candidate = k == 1 ? Name : Base + "." + std::to_string(k) + Ext;
    const std::string Info = Trash + "info/" + Candidate + ".trashinfo";
    const int Fd = ::open(Info.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
    if (Fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    const std::string Text = "[Trash Info]\nPath=" + EncodeTrashPath(Abs) +
                             "\nDeletionDate=" + FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss", Now()) +
                             "\n";
    const bool Written = WriteAll(Fd, Text.data(), Text.size());
    ::close(Fd);
    const std::string Target = Trash + "files/" + Candidate;
    bool Moved = Written && ::rename(Abs.c_str(), Target.c_str()) == 0;
    if (!Moved && Written && errno == EXDEV)
      Moved = FileCopyFeedBk(Abs, Target, true, nullptr) == 0 && DeleteFile(Abs);
    if (!Moved) ::unlink(Info.c_str());
    return Moved;
  }
  return false;
}

std::vector<std::string> XdgDirs(const char* HomeVar, const char* HomeDefault, const char* DirsVar,
                                 const char* DirsDefault) {
  std::vector<std::string> R;
  std::string Home = GetEnviroVar(HomeVar);
  if (Home.empty()) Home = IncludeTrailingPathDelimiter(GetEnviroVar("HOME")) + HomeDefault;
  R.push_back(IncludeTrailingPathDelimiter(Home));
  std::string Dirs = GetEnviroVar(DirsVar);
  if (Dirs.empty()) Dirs = DirsDefault;
  for (const std::string& D : SplitString(Dirs, ':'))
    if (!D.empty()) R.push_back(IncludeTrailingPathDelimiter(D));
  return R;
}

// The MIME type the shared MIME database gives to "*.ext" (the highest weight wins).
std::string MimeTypeOfExtension(const std::string& Ext) {
  const std::string Glob = "*." + LowerCase(Ext);
  std::string Best;
  int Weight = -1;
  for (const std::string& D :
       XdgDirs("XDG_DATA_HOME", ".local/share", "XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
    std::ifstream In(D + "mime/globs2");
    for (std::string Line; std::getline(In, Line);) {
      if (Line.empty() || Line[0] == '#') continue;
      const std::vector<std::string> F = SplitString(Line, ':');
      if (F.size() < 3 || LowerCase(F[2]) != Glob) continue;
      int32_t W = 0;
      if (TryStrToInt(F[0], W) && W > Weight) {
        Weight = W;
        Best = F[1];
      }
    }
    if (!Best.empty()) return Best;
    std::ifstream Old(D + "mime/globs");
    for (std::string Line; std::getline(Old, Line);) {
      const std::size_t Colon = Line.find(':');
      if (Line.empty() || Line[0] == '#' || Colon == std::string::npos) continue;
      if (LowerCase(Line.substr(Colon + 1)) == Glob) return Line.substr(0, Colon);
    }
  }
  return {};
}

// The first desktop entry listed for Mime in the [Default Applications] (or
// [Added Associations]) group of a mimeapps.list or defaults.list file.
std::string DefaultAppOfMime(const std::string& Mime) {
  std::vector<std::string> Lists;
  for (const std::string& D : XdgDirs("XDG_CONFIG_HOME", ".config", "XDG_CONFIG_DIRS", "/etc/xdg"))
    Lists.push_back(D + "mimeapps.list");
  for (const std::string& D :
       XdgDirs("XDG_DATA_HOME", ".local/share", "XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
    Lists.push_back(D + "applications/mimeapps.list");
    Lists.push_back(D + "applications/defaults.list");
  }
  for (const std::string& L : Lists) {
    std::ifstream In(L);
    bool InGroup = false;
    for (std::string Line; std::getline(In, Line);) {
      Line = Trim(Line);
      if (!Line.empty() && Line[0] == '[') {
        InGroup = Line == "[Default Applications]" || Line == "[Added Associations]";
        continue;
      }
      const std::size_t Eq = Line.find('=');
      if (!InGroup || Eq == std::string::npos || Trim(Line.substr(0, Eq)) != Mime) continue;
      for (const std::string& App : SplitString(Line.substr(Eq + 1), ';'))
        if (!Trim(App).empty()) return Trim(App);
    }
  }
  return {};
}

// The Exec line of a desktop entry.
std::string ExecOfDesktopEntry(const std::string& Id) {
  for (const std::string& D :
       XdgDirs("XDG_DATA_HOME", ".local/share", "XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
    std::ifstream In(D + "applications/" + Id);
    bool InEntry = false;
    for (std::string Line; std::getline(In, Line);) {
      if (!Line.empty() && Line[0] == '[') {
        InEntry = Trim(Line) == "[Desktop Entry]";
        continue;
      }
      if (InEntry && Line.rfind("Exec=", 0) == 0) return Trim(Line.substr(5));
    }
  }
  return {};
}

// A line reader for the ASC header: lines end in CR LF, LF or CR.
class TLineReader {
public:
  explicit TLineReader(TStream& S) : FStream(S) {}
  bool ReadLine(std::string& Line) {
    Line.clear();
    bool Any = false;
    uint8_t B;
    while (Next(B)) {
      Any = true;
      if (B == '\n') return true;
      if (B == '\r') {
        uint8_t C;
        if (Next(C) && C != '\n') --FPos;
        return true;
      }
      if (Line.size() < MaxHeaderLine) Line += static_cast<char>(B);
    }
    return Any;
  }

private:
  bool Next(uint8_t& B) {
    if (FPos == FCount) {
      FCount = static_cast<std::size_t>(std::max<int64_t>(0, FStream.Read(FBuf, sizeof FBuf)));
      FPos = 0;
      if (FCount == 0) return false;
    }
    B = FBuf[FPos++];
    return true;
  }
  TStream& FStream;
  uint8_t FBuf[4096];
  std::size_t FPos = 0;
  std::size_t FCount = 0;
};

bool ReadPositive(const std::string& Line, int32_t& Value) {
  std::size_t i = 0;
  while (i < Line.size() && (Line[i] == ' ' || Line[i] == '\t')) ++i;
  if (i < Line.size() && (Line[i] == '+' || Line[i] == '-')) ++i;
  if (i >= Line.size() || Line[i] < '0' || Line[i] > '9') return false;
  std::size_t Pos = 1;
  Value = ScanDecimal(ReplaceCharInString(Line, '\t', ' '), Pos);
  return Value > 0;
}

} // namespace

// ---- Names and paths ------------------------------------------------------------------------

std::string StripPath(std::string_view FName) {
  const std::size_t D = LastDelim(FName);
  return std::string(D == std::string_view::npos ? FName : FName.substr(D + 1));
}

std::string StripExtension(std::string_view FName) {
  const std::size_t D = LastDelim(FName);
  const std::size_t Start = D == std::string_view::npos ? 0 : D + 1;
  const std::size_t Dot = FName.rfind('.');
  return std::string(Dot == std::string_view::npos || Dot < Start ? FName : FName.substr(0, Dot));
}

std::string InsertBeforeFileExt(std::string_view InsString, std::string_view FName) {
  const std::size_t D = LastDelim(FName);
  const std::size_t Start = D == std::string_view::npos ? 0 : D + 1;
  const std::size_t Dot = FName.find('.', Start);
  std::string R(FName);
  R.insert(Dot == std::string_view::npos ? R.size() : Dot, InsString);
  return R;
}

std::string EnsureDefaultFileExt(std::string_view FName, std::string_view DefExt) {
  if (DefExt.empty() || !ExtractFileExt(FName).empty()) return std::string(FName);
  return std::string(FName) + (DefExt[0] == '.' ? "" : ".") + std::string(DefExt);
}

std::string ParentDir(std::string_view Path) {
  if (!Path.empty() && IsDelim(Path.back())) Path.remove_suffix(1);
  const std::size_t D = LastDelim(Path);
  return D == std::string_view::npos ? std::string() : std::string(Path.substr(0, D + 1));
}

bool IsRootDir(std::string_view Path) {
  const std::string P = StripLTBlanks(Path);
  if (P == "/") return true;
  return P.size() == 3 && P[1] == ':' && IsDelim(P[2]);
}

std::string AbridgeFilePath(std::string_view FName, int32_t MaxLeng) {
  const char Sep = FName.find('\\') != std::string_view::npos ? '\\' : '/';
  std::string S(FName);
  std::size_t Cur = S.find(Sep);
  if (Cur == std::string::npos) return S;
  while (static_cast<int64_t>(Utf8Length(S)) >= MaxLeng) {
    const std::size_t Next = S.find(Sep, Cur + 1);
    if (Next == std::string::npos) break;
    S.replace(Cur + 1, Next - Cur - 1, "..");
    Cur += 3;
  }
  return S;
}

int32_t ExtractDrive(std::string_view Path) {
  if (Path.size() < 2 || Path[1] != ':') return -1;
  const char L = UpCase(Path[0]);
  return L >= 'A' && L <= 'Z' ? L - 'A' : -1;
}

bool IsFN83CompliantPath(std::string_view Path) {
  static constexpr std::string_view Extra = "!#$%&'()-.:@\\^_`{}~";
  return std::all_of(Path.begin(), Path.end(), [](char C) {
    return (C >= '0' && C <= '9') || (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') ||
           Extra.find(C) != std::string_view::npos;
  });
}

bool IsDOS83Path(std::string_view Path) {
  if (!IsFN83CompliantPath(Path)) return false;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t End = Path.find_first_of("\\.", Start);
    const std::size_t Len = (End == std::string_view::npos ? Path.size() : End) - Start;
    if (Len > (End == std::string_view::npos ? 9u : 8u)) return false;
    if (End == std::string_view::npos) return true;
    Start = End + 1;
  }
}

bool IsValidFileName(std::string_view FName) {
  return FName.find_first_of("/<>?\\|*:") == std::string_view::npos && FName != "." &&
         FName != "..";
}

std::string ReplaceInvalidFileNameChars(std::string_view FName, char32_t ReplaceChar) {
  const std::string Rep = Utf8Encode(ReplaceChar);
  if (FName == ".") return Rep;
  if (FName == "..") return Rep + Rep;
  std::string R;
  for (char C : FName) {
    if (std::string_view("*/:<>?\\|").find(C) != std::string_view::npos)
      R += Rep;
    else
      R += C;
  }
  return R;
}

std::string DOSToWinPath(std::string_view Path) {
  const std::string Full = ExpandFileName(NativePath(Path));
  if (Full.empty()) return {};
  const bool Trailing = Full.size() > 1 && Full.back() == '/';
  const std::vector<std::string> Parts = SplitString(Full.substr(1), '/');
  std::string R = "/";
  for (std::size_t i = 0; i < Parts.size(); ++i) {
    const std::string& Part = Parts[i];
    if (Part.empty()) continue;
    std::string Found;
    struct stat St;
    if (::lstat((R + Part).c_str(), &St) == 0) {
      Found = Part;
    } else if (DIR* D = ::opendir(R.c_str())) {
      while (dirent* E = ::readdir(D))
        if (SameText(E->d_name, Part)) {
          Found = E->d_name;
          break;
        }
      ::closedir(D);
    }
    if (Found.empty()) {
      for (std::size_t k = i; k < Parts.size(); ++k)
        R += Parts[k] + (k + 1 < Parts.size() ? "/" : "");
      return R + (Trailing && !Parts.back().empty() ? "/" : "");
    }
    R += Found;
    if (i + 1 < Parts.size() || Trailing) R += '/';
  }
  return R;
}

// ---- Directories and drives -----------------------------------------------------------------

bool DirExists(const std::string& Dir) { return DirectoryExists(Dir); }

bool DirEmpty(const std::string& Dir) {
  DIR* D = ::opendir(NativePath(Dir).c_str());
  if (D == nullptr) return true;
  bool Empty = true;
  while (dirent* E = ::readdir(D))
    if (std::string_view(E->d_name) != "." && std::string_view(E->d_name) != "..") {
      Empty = false;
      break;
    }
  ::closedir(D);
  return Empty;
}

bool DirIsReadOnly(const std::string& Dir) {
  const std::string Test = IncludeTrailingPathDelimiter(NativePath(Dir)) + "$%$LO%$.$$$";
  const int Fd = ::open(Test.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
  if (Fd < 0) return true;
  ::close(Fd);
  ::unlink(Test.c_str());
  return false;
}

bool DiskIsReadOnly(uint8_t Drive) {
  const std::string Root = PathOfDrive(Drive);
  return Root.empty() || DirIsReadOnly(Root);
}

uint32_t GetDiskDriveType(uint8_t Drive) {
  if (Drive > 25) return 0;
  return Drive == DriveC ? 3 : 1;
}

int64_t DiskFreeExtended(uint8_t Drive) {
  const std::string Root = PathOfDrive(Drive);
  struct statvfs S;
  if (Root.empty() || ::statvfs(Root.c_str(), &S) != 0) return -1;
  return static_cast<int64_t>(S.f_bavail) * static_cast<int64_t>(S.f_frsize);
}

void BuildDriveList(TStringList& List) {
  List.Clear();
  List.Add("C:");
}

int32_t GetFileSize(const std::string& FName) {
  const int64_t S = FileSizeByName(FName);
  return S < 0 ? -1 : static_cast<int32_t>(std::min<int64_t>(S, INT32_MAX));
}

std::string FileDetect(const std::string& FName) {
  if (FileExists(FName)) return ExpandFileName(NativePath(FName));
  const TMask M = SplitMask(FName);
  std::vector<std::string> Pending = SubDirs(M.Dir);
  while (!Pending.empty()) {
    const std::string Dir = Pending.front();
    Pending.erase(Pending.begin());
    if (FileExists(Dir + M.Pattern)) return ExpandFileName(Dir + M.Pattern);
    const std::vector<std::string> More = SubDirs(Dir);
    Pending.insert(Pending.end(), More.begin(), More.end());
  }
  return {};
}

int32_t DeleteFiles(const std::string& FileMask) {
  const TMask M = SplitMask(FileMask);
  int32_t N = 0;
  for (const TSearchRec& S : FindFiles(M.Dir + M.Pattern, 0))
    if (DeleteFile(M.Dir + S.Name)) ++N;
  return N;
}

int32_t MoveToRecycleBin(const std::string& FileMask) {
  const TMask M = SplitMask(FileMask);
  int32_t N = 0;
  for (const TSearchRec& S : FindFiles(M.Dir + M.Pattern, faHidden))
    if (MoveOneToTrash(M.Dir + S.Name)) ++N;
  return N;
}

std::string DelDirTree(const std::string& Dir) {
  const std::string D = IncludeTrailingPathDelimiter(NativePath(Dir));
  if (DIR* H = ::opendir(D.c_str())) {
    std::vector<std::string> Names;
    while (dirent* E = ::readdir(H))
      if (std::string_view(E->d_name) != "." && std::string_view(E->d_name) != "..")
        Names.emplace_back(E->d_name);
    ::closedir(H);
    for (const std::string& Name : Names) {
      const std::string P = D + Name;
      struct stat St;
      if (::lstat(P.c_str(), &St) == 0 && S_ISDIR(St.st_mode)) {
        const std::string Failed = DelDirTree(P);
        if (!Failed.empty()) return Failed;
      } else if (::unlink(P.c_str()) != 0) {
        return P;
      }
    }
  }
  const std::string Self = ExcludeTrailingPathDelimiter(D);
  return ::rmdir(Self.c_str()) == 0 ? std::string() : Self;
}

void SetAllFilenameCase(const std::string& FileMask, bool Upper) {
  const TMask M = SplitMask(FileMask);
  for (const TSearchRec& S : FindFiles(M.Dir + M.Pattern, faDirectory | faHidden)) {
    if (S.Name == "." || S.Name == "..") continue;
    const std::string NewName = Upper ? UpperCase(S.Name) : LowerCase(S.Name);
    std::string Path = M.Dir + S.Name;
    if (NewName != S.Name && ::rename(Path.c_str(), (M.Dir + NewName).c_str()) == 0)
      Path = M.Dir + NewName;
    if ((S.Attr & faDirectory) != 0 && (S.Attr & faSymLink) == 0)
      SetAllFilenameCase(IncludeTrailingPathDelimiter(Path) + M.Pattern, Upper);
  }
}

void ScanFilesToStrList(const std::string& FileMask, bool Recursive, TStringList* List,
                        const TScanFilesFeedback& FeedBack) {
  if (List == nullptr) return;
  const TMask M = SplitMask(FileMask);
  int32_t Count = 0;
  WalkFiles(M.Dir, M.Pattern, Recursive, FeedBack, Count,
            [List](const std::string& F) { List->Add(ExpandFileName(F)); });
}

int32_t CountFiles(const std::string& FileMask, bool Recursive,
                   const TScanFilesFeedback& FeedBack) {
  const TMask M = SplitMask(FileMask);
  int32_t Count = 0;
  WalkFiles(M.Dir, M.Pattern, Recursive, FeedBack, Count, [](const std::string&) {});
  return Count;
}

std::string GetSystemDir() { return "/usr/lib"; }

std::string GetWindowsDir() { return "/usr"; }

std::string GetTempDir() {
  const std::string T = GetEnviroVar("TMPDIR");
  return IncludeTrailingPathDelimiter(T.empty() || !DirectoryExists(T) ? "/tmp" : T);
}

std::string GetEnviroVar(std::string_view Name) {
  if (Name.empty()) return {};
  for (char** E = environ; E != nullptr && *E != nullptr; ++E) {
    const std::string_view Entry(*E);
    const std::size_t Eq = Entry.find('=');
    if (Eq != std::string_view::npos && SameText(Entry.substr(0, Eq), Name))
      return std::string(Entry.substr(Eq + 1));
  }
  return {};
}

std::string GetProgAssoc(std::string_view Ext) {
  if (!Ext.empty() && Ext[0] == '.') Ext.remove_prefix(1);
  if (Ext.empty()) return {};
  const std::string Mime = MimeTypeOfExtension(std::string(Ext));
  if (Mime.empty()) return {};
  const std::string App = DefaultAppOfMime(Mime);
  return App.empty() ? std::string() : ExecOfDesktopEntry(App);
}

// ---- Text files -----------------------------------------------------------------------------

TTextfileType CheckTextFileType(const std::string& FName) {
  uint8_t B[4] = {0, 0, 0, 0};
  const int Fd = ::open(NativePath(FName).c_str(), O_RDONLY);
  if (Fd < 0) return tftUnknown;
  const ssize_t N = ::read(Fd, B, 4);
  ::close(Fd);
  auto Starts = [&](std::initializer_list<uint8_t> P) {
    return N >= static_cast<ssize_t>(P.size()) && std::equal(P.begin(), P.end(), B);
  };
  if (Starts({0xEF, 0xBB, 0xBF})) return tftUTF8;
  if (Starts({0xFF, 0xFE, 0x00, 0x00})) return tftUnicode4_le;
  if (Starts({0x00, 0x00, 0xFE, 0xFF})) return tftUnicode4_be;
  if (Starts({0xFF, 0xFE})) return tftUnicode_le;
  if (Starts({0xFE, 0xFF})) return tftUnicode_be;
  if (Starts({0x7B, 0x5C, 0x72})) return tftRTF;
  return tftUnknown;
}

void EnsureCRLFInFile(const std::string& InFile, const std::string& OutFile) {
  const bool Same = ExpandFileName(NativePath(InFile)) == ExpandFileName(NativePath(OutFile));
  const std::string Target = Same ? NativePath(OutFile) + ".crlf-tmp" : OutFile;
  {
    TFileStream In(InFile, fmOpenRead);
    TFileStream Out(Target, fmCreate);
    std::vector<char> Buf(65536);
    std::string Res;
    bool PendingCR = false;
    for (;;) {
      const int64_t N = In.Read(Buf.data(), static_cast<int64_t>(Buf.size()));
      if (N <= 0) break;
      Res.clear();
      for (int64_t i = 0; i < N; ++i) {
        if (PendingCR && Buf[i] != '\n') Res += '\n';
        Res += Buf[i];
        PendingCR = Buf[i] == '\r';
      }
      Out.WriteBuffer(Res.data(), static_cast<int64_t>(Res.size()));
    }
    if (PendingCR) Out.WriteBuffer("\n", 1);
  }
  if (Same && ::rename(Target.c_str(), NativePath(OutFile).c_str()) != 0) {
    const int E = errno;
    ::unlink(Target.c_str());
    throw InOutErrorFromErrno(E, OutFile);
  }
}

namespace {

// Writes the lines at the end of the file, which is created when missing.
template <class Lines> void AppendLines(const std::string& FName, const Lines& Write) {
  TTextFile F;
  AssignFile(F, FName);
  if (FileExists(FName))
    Append(F);
  else
    Rewrite(F);
  Write(F);
  CloseFile(F);
}

} // namespace

void AppendToTextFile(const std::string& FName, const std::string& Line) {
  AppendLines(FName, [&](TTextFile& F) { WriteLn(F, std::string_view(Line)); });
}

void AppendToTextFile(const std::string& FName, const TStringList& List) {
  AppendLines(FName, [&](TTextFile& F) {
    for (int i = 0; i < List.Count(); ++i) WriteLn(F, std::string_view(List[i]));
  });
}

std::string ReadNextWordInTextFile(TTextFile& F) {
  std::string W;
  while (!Eof(F)) {
    char32_t C;
    Read(F, C);
    if (C <= 32) {
      if (!W.empty()) break;
      continue;
    }
    AppendUtf8(W, C);
  }
  return W;
}

TStrArray ReadLastNLinesOfTextFile(TTextFile& F, int32_t N, int32_t& NLines) {
  N = std::clamp(N, 0, MaxLastLines);
  TStrArray Ring(static_cast<std::size_t>(N));
  int64_t Count = 0;
  std::string Line;
  while (!Eof(F)) {
    ReadLn(F, Line);
    if (N > 0) Ring[static_cast<std::size_t>(Count % N)] = Line;
    ++Count;
  }
  Reset(F);
  NLines = static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX));
  TStrArray R(static_cast<std::size_t>(N));
  const int64_t Have = std::min<int64_t>(Count, N);
  for (int64_t k = 0; k < Have; ++k)
    R[static_cast<std::size_t>(N - Have + k)] =
        std::move(Ring[static_cast<std::size_t>((Count - Have + k) % N)]);
  return R;
}

TStrArray ReadLastNLinesOfTextFile(const std::string& FName, int32_t N, int32_t& NLines) {
  TTextFile F;
  AssignFile(F, FName);
  Reset(F);
  return ReadLastNLinesOfTextFile(F, N, NLines);
}

int64_t CountLinesInTextFile(TTextFile& F, const TNumericFeedback& FeedBack) {
  Reset(F);
  int64_t Count = 0;
  while (!Eof(F)) {
    ReadLn(F);
    if (++Count % 1000 == 0 && FeedBack) FeedBack(nullptr, static_cast<double>(Count));
  }
  Reset(F);
  return Count;
}

int64_t CountLinesInTextFile(const std::string& FName, const TNumericFeedback& FeedBack) {
  TTextFile F;
  AssignFile(F, FName);
  Reset(F);
  return CountLinesInTextFile(F, FeedBack);
}

int64_t DetectStringInFile(const std::string& FName, std::string_view SearchStr, bool IgnoreCase,
                           int64_t MaxChars) {
  if (SearchStr.empty()) return 0;
  TTextFile F;
  AssignFile(F, FName);
  Reset(F);
  const std::string Key = IgnoreCase ? LowerCase(SearchStr) : std::string(SearchStr);
  int64_t Before = 0;
  std::string Line;
  while (Before < MaxChars && !Eof(F)) {
    ReadLn(F, Line);
    const std::string L = IgnoreCase ? LowerCase(Line) : Line;
    const std::size_t P = L.find(Key);
    if (P != std::string::npos) {
      const int64_t At =
          Before + static_cast<int64_t>(Utf8Length(std::string_view(L).substr(0, P))) + 1;
      return At <= MaxChars ? At : 0;
    }
    Before += static_cast<int64_t>(Utf8Length(Line));
  }
  return 0;
}

int32_t FindFirstMatchInTextFile(const std::string& FName, std::string_view SearchStr,
                                 bool IgnoreCase, std::string& Line) {
  Line.clear();
  if (SearchStr.empty()) return 0;
  TTextFile F;
  AssignFile(F, FName);
  Reset(F);
  const std::string Key = IgnoreCase ? AnsiLowerCase(SearchStr) : std::string(SearchStr);
  std::string L;
  while (!Eof(F)) {
    ReadLn(F, L);
    const std::size_t P = Pos(Key, IgnoreCase ? AnsiLowerCase(L) : L);
    if (P > 0) {
      Line = L;
      return static_cast<int32_t>(P);
    }
  }
  return 0;
}

int32_t ReadHeaderOfASC(TStream& Stream, std::string& Header, int32_t& NumA, int32_t& NumB,
                        bool& Flag1, bool& Flag2, bool& Flag3, bool& Flag4) {
  Flag1 = Flag2 = Flag3 = Flag4 = false;
  NumA = NumB = 0;
  Header.clear();
  TLineReader R(Stream);
  std::string Line;
  R.ReadLine(Line);
  Header = Latin1ToUtf8(Line);
  if (!R.ReadLine(Line) || !ReadPositive(Line, NumA)) return -1;
  if (!R.ReadLine(Line) || !ReadPositive(Line, NumB)) return -2;
  R.ReadLine(Line);
  std::vector<std::string> Words;
  for (const std::string& W : SplitString(ReplaceCharInString(Line, '\t', ' '), ' '))
    if (!W.empty()) Words.push_back(UpperCase(W));
  bool* Flags[4] = {&Flag1, &Flag2, &Flag3, &Flag4};
  for (std::size_t i = 0; i < 3; ++i) {
    if (i >= Words.size() || (Words[i] != "TRUE" && Words[i] != "FALSE")) return -3;
    *Flags[i] = Words[i] == "TRUE";
  }
  Flag4 = Words.size() > 3 && Words[3] == "TRUE";
  return 0;
}

int32_t ReadHeaderOfASC(const std::string& FName, std::string& Header, int32_t& NumA, int32_t& NumB,
                        bool& Flag1, bool& Flag2, bool& Flag3, bool& Flag4) {
  TFileStream S(FName, fmOpenRead | fmShareDenyWrite);
  return ReadHeaderOfASC(S, Header, NumA, NumB, Flag1, Flag2, Flag3, Flag4);
}

// ---- Copying and passwords ------------------------------------------------------------------

int32_t FileCopyFeedBk(const std::string& SourceName, const std::string& DestName,
                       bool CopyAttributes, const TFileCopyFeedBack& FeedBack) {
  AbortCopying = false;
  const std::string Src = NativePath(SourceName);
  std::string Dst = NativePath(DestName);
  if (DirectoryExists(Dst)) Dst = IncludeTrailingPathDelimiter(Dst) + ExtractFileName(Src);
  if (ExpandFileName(Src) == ExpandFileName(Dst)) return 0;
  struct stat St;
  if (::stat(Src.c_str(), &St) != 0) throw InOutErrorFromErrno(errno, SourceName);
  const int64_t Size = St.st_size;
  if (FeedBack) FeedBack(0, Size);
  const int In = ::open(Src.c_str(), O_RDONLY);
  if (In < 0) return -1;
  const int Out = ::open(Dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (Out < 0) {
    ::close(In);
    return -2;
  }
  int32_t Result = 0;
  int64_t Copied = 0;
  std::vector<char> Buf(CopyBlock);
  for (;;) {
    if (AbortCopying) {
      Result = -5;
      break;
    }
    if (FeedBack) FeedBack(Copied, Size);
    ssize_t N;
    do N = ::read(In, Buf.data(), Buf.size());
    while (N < 0 && errno == EINTR);
    if (N < 0) {
      Result = -4;
      break;
    }
    if (!WriteAll(Out, Buf.data(), static_cast<std::size_t>(N))) {
      Result = -3;
      break;
    }
    Copied += N;
    if (static_cast<std::size_t>(N) < CopyBlock) break;
  }
  if (FeedBack) FeedBack(Copied, Size);
  ::close(In);
  if (::close(Out) != 0 && Result == 0) Result = -3;
  if (Result == -5) ::unlink(Dst.c_str());
  if (Result != 0) return Result;
  FileSetDate(Dst, FileAge(Src));
  if (CopyAttributes) ::chmod(Dst.c_str(), (St.st_mode & 07777) | S_IWUSR);
  return 0;
}

void CopyFileTree(const std::string& SourceDir, const std::string& DestDir, bool CopyAttributes,
                  const TTreeCopyFeedBack& FeedBack) {
  const std::string Src = IncludeTrailingPathDelimiter(ExpandFileName(NativePath(SourceDir)));
  const std::string Dst = IncludeTrailingPathDelimiter(ExpandFileName(NativePath(DestDir)));
  if (Src == Dst) return;
  AbortCopying = false;
  int32_t Files = 0;
  std::function<void(const std::string&, const std::string&)> Walk = [&](const std::string& S,
                                                                         const std::string& D) {
    if (AbortCopying || !ForceDirectories(D)) return;
    for (const TSearchRec& E : FindFiles(S + "*", faAnyFile)) {
      if (AbortCopying) return;
      if (E.Name == "." || E.Name == "..") continue;
      const std::string From = S + E.Name;
      if ((E.Attr & faDirectory) != 0) {
        const std::string Sub = IncludeTrailingPathDelimiter(From);
        if ((E.Attr & faSymLink) == 0 && Sub != Dst) Walk(Sub, D + E.Name + "/");
        continue;
      }
      if ((E.Attr & faSysFile) != 0) continue;
      const std::string To = D + E.Name;
      FileCopyFeedBk(From, To, CopyAttributes, [&](int64_t Done, int64_t Total) {
        if (FeedBack) FeedBack(Done, Total, To, Files);
      });
      ++Files;
      if (FeedBack) FeedBack(E.Size, E.Size, To, Files);
    }
  };
  Walk(Src, Dst);
}

void AbortAnyFileCopying() { AbortCopying = true; }

std::string InventPassword(int32_t Len) {
  static constexpr std::string_view Vowels = "aeiouy";
  static constexpr std::string_view Consonants = "bcdfghjklmnpqrstvwxz";
  Len = std::clamp(Len, 4, 14);
  std::string P;
  if (Len % 2 == 1) P += Vowels[static_cast<std::size_t>(Random(6))];
  for (int32_t i = 0; i < Len / 2; ++i) {
    P += Consonants[static_cast<std::size_t>(Random(20))];
    P += Vowels[static_cast<std::size_t>(Random(6))];
  }
  const int32_t Number = Random(100);
  const std::string Digits = {static_cast<char>('0' + Number / 10),
                              static_cast<char>('0' + Number % 10)};
  Insert(Digits, P, 7);
  return P;
}

std::string InventPassword(int32_t Len, bool MixedCase, bool SpecialChars) {
  static constexpr std::string_view Specials = "_!$%#=0123456789";
  std::string P = InventPassword(Len);
  const std::size_t N = static_cast<std::size_t>(std::clamp(Len, 4, 14));
  for (std::size_t i = 0; i < N && i < P.size(); ++i) {
    if (MixedCase && P[i] >= 'a' && P[i] <= 'z' && Random(2) == 1) P[i] = UpCase(P[i]);
    if (SpecialChars && Random(5) == 0) P[i] = Specials[static_cast<std::size_t>(Random(16))];
  }
  return P;
}

// ---- TUnivSaveDialog ------------------------------------------------------------------------

TUnivSaveDialog::TUnivSaveDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

void TUnivSaveDialog::Fail(const std::string& Text) const {
  throw EZEFFileSysError(ComponentMessage(Name(), Text));
}

int TUnivSaveDialog::SelectFile() {
  int UserAction = mrCancel;
  if (!UseStandardDialog) {
    if (!OnFileSelect) Fail("File select dialog is not assigned");
    OnFileSelect(this, Parameters, UserAction, FileName);
    return UserAction;
  }
  TSaveDialog D(nullptr);
  D.SetFilter(ExtractParamAsString("filter"));
  D.SetTitle(ExtractParamAsString("caption"));
  D.SetInitialDir(ExtractParamAsString("initialdir"));
  D.SetFilterIndex(FilterIndex);
  D.SetFileName(FileName);
  if (!D.Execute()) return mrCancel;
  FileName = D.FileName();
  FilterIndex = D.FilterIndex();
  const std::string Ext = ExtractParamAsString("ext");
  if (!Ext.empty()) FileName = ChangeFileExt(FileName, Ext[0] == '.' ? Ext : "." + Ext);
  return mrOk;
}

bool TUnivSaveDialog::Execute() {
  for (;;) {
    if (SelectFile() != mrOk) return false;
    const std::string Dir = ExtractFilePath(FileName);
    if (!ForbiddenDir.empty() && Dir.size() >= ForbiddenDir.size() &&
        SameText(std::string_view(Dir).substr(0, ForbiddenDir.size()), ForbiddenDir)) {
      int Reply = mrYes;
      if (OnForbiddenDir) OnForbiddenDir(this, Dir, Reply);
      if (Reply == mrCancel) return false;
      if (Reply != mrYes) continue;
    }
    bool Exists = false;
    if (UseStandardDialog)
      Exists = FileExists(FileName);
    else if (OnFileCheck)
      OnFileCheck(this, FileName, Exists);
    if (!Exists) return true;
    if (!OnOverwrite) Fail("Overwrite dialog is not assigned");
    int Reply = mrNo;
    OnOverwrite(this, FileName, Reply);
    if (Reply == mrYes) return true;
    if (Reply == mrCancel) return false;
    if (Reply != mrNo) Fail("Invalid reply argument from overwrite dialog");
  }
}

int32_t TUnivSaveDialog::ExtractParamAsInt(const std::string& ParName) const {
  const std::string V = ExtractParamAsString(ParName);
  if (V.empty()) Fail(ParName + " is not specified in property Parameters");
  std::size_t Pos = 1;
  return ScanDecimal(V, Pos);
}

double TUnivSaveDialog::ExtractParamAsDouble(const std::string& ParName) const {
  const std::string V = ExtractParamAsString(ParName);
  if (V.empty()) Fail(ParName + " is not specified in property Parameters");
  std::size_t Pos = 1;
  return ScanFPNum(V, Pos, true, dsepBoth);
}

std::string TUnivSaveDialog::ExtractParamAsString(const std::string& ParName) const {
  return XMLAttribute(Parameters, ParName);
}

} // namespace zef
