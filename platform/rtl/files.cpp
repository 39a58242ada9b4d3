#include "rtl/files.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rtl/strings.h"

namespace zef {

namespace {

bool IsDelimiter(char C) { return C == '/' || C == '\\'; }

// Index of the last "\" or "/", or npos.
std::size_t LastDelimiter(std::string_view S) {
  for (std::size_t I = S.size(); I > 0; --I)
    if (IsDelimiter(S[I - 1])) return I - 1;
  return std::string_view::npos;
}

// Index of the dot that starts the extension of the name part, or npos.
std::size_t ExtensionDot(std::string_view S) {
  for (std::size_t I = S.size(); I > 0; --I) {
    if (IsDelimiter(S[I - 1])) break;
    if (S[I - 1] == '.') return I - 1;
  }
  return std::string_view::npos;
}

bool StatPath(const std::string& Name, struct stat& St) {
  return ::stat(NativePath(Name).c_str(), &St) == 0;
}

bool IsDirectoryPath(const std::string& NativeName) {
  struct stat St;
  return ::stat(NativeName.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// A file time to a local TDateTime (days since 1899-12-30).
TDateTime TimespecToDateTime(const timespec& Ts) {
  std::time_t T = Ts.tv_sec;
  std::tm Local{};
  if (localtime_r(&T, &Local) == nullptr) return 0;
  const double Seconds = static_cast<double>(T + Local.tm_gmtoff) + Ts.tv_nsec / 1e9;
  return 25569.0 + Seconds / 86400.0;
}

// A local TDateTime to a file time, to the nearest millisecond (a TDateTime of today holds
// about a microsecond, so whole seconds would otherwise come out a hair short); false when it
// lies outside what the system can hold.
bool DateTimeToTimespec(TDateTime D, timespec& Ts) {
  const double LocalMs = std::round((D - 25569.0) * 86400000.0);
  if (!(std::fabs(LocalMs) <= 1e16)) return false;  // also false for NaN
  const auto Ms = static_cast<int64_t>(LocalMs);
  int64_t Seconds = Ms / 1000;
  int64_t Rest = Ms % 1000;
  if (Rest < 0) {
    Rest += 1000;
    --Seconds;
  }
  // Break the local seconds down as if they were UTC, then let mktime find the instant
  // whose local time that is (this applies the offset valid at that date, DST included).
  const auto LocalT = static_cast<std::time_t>(Seconds);
  std::tm Parts{};
  if (gmtime_r(&LocalT, &Parts) == nullptr) return false;
  Parts.tm_isdst = -1;
  errno = 0;
  const std::time_t T = std::mktime(&Parts);
  if (T == static_cast<std::time_t>(-1) && errno != 0) return false;
  Ts.tv_sec = T;
  Ts.tv_nsec = static_cast<long>(Rest * 1000000);
  return true;
}

// Whether the permission bits let this process write (ignoring the super-user's override,
// so that a file made read-only shows as such whoever runs the program).
bool HasWritePermission(const struct stat& St) {
  if (St.st_uid == ::geteuid()) return (St.st_mode & S_IWUSR) != 0;
  if (St.st_gid == ::getegid() || ::group_member(St.st_gid)) return (St.st_mode & S_IWGRP) != 0;
  return (St.st_mode & S_IWOTH) != 0;
}

} // namespace

bool MatchesFileMask(std::string_view Name, std::string_view Pattern, bool IgnoreCase) {
  const auto Same = [IgnoreCase](char A, char B) { return IgnoreCase ? UpCase(A) == UpCase(B) : A == B; };
  std::size_t N = 0, P = 0;
  std::size_t StarP = std::string_view::npos, StarN = 0;
  while (N < Name.size()) {
    if (P < Pattern.size() && (Pattern[P] == '?' || Same(Pattern[P], Name[N]))) {
      ++N;
      ++P;
    } else if (P < Pattern.size() && Pattern[P] == '*') {
      StarP = P++;
      StarN = N;
    } else if (StarP != std::string_view::npos) {
      P = StarP + 1;
      N = ++StarN;
    } else {
      return false;
    }
  }
  while (P < Pattern.size() && Pattern[P] == '*') ++P;
  return P == Pattern.size();
}

struct TFindState {
  DIR* Dir = nullptr;
  std::string DirPath;  // native, with a trailing "/"
  std::string Pattern;
  int Attr = 0;

  TFindState() = default;
  TFindState(const TFindState&) = delete;
  TFindState& operator=(const TFindState&) = delete;
  ~TFindState() {
    if (Dir != nullptr) ::closedir(Dir);
  }
};

// ---- Path strings -------------------------------------------------------------------------

std::string NativePath(std::string_view Name) {
  std::string Result(Name);
  std::replace(Result.begin(), Result.end(), '\\', '/');
  return Result;
}

std::string ExtractFileName(std::string_view FileName) {
  const std::size_t I = LastDelimiter(FileName);
  return std::string(I == std::string_view::npos ? FileName : FileName.substr(I + 1));
}

std::string ExtractFilePath(std::string_view FileName) {
  const std::size_t I = LastDelimiter(FileName);
  return I == std::string_view::npos ? std::string() : std::string(FileName.substr(0, I + 1));
}

std::string ExtractFileDir(std::string_view FileName) {
  std::size_t I = LastDelimiter(FileName);
  if (I == std::string_view::npos) return {};
  // Drop the delimiter unless it is the root or follows another delimiter.
  if (I > 0 && !IsDelimiter(FileName[I - 1])) return std::string(FileName.substr(0, I));
  return std::string(FileName.substr(0, I + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
  const std::size_t I = ExtensionDot(FileName);
  return I == std::string_view::npos ? std::string() : std::string(FileName.substr(I));
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
  const std::size_t I = ExtensionDot(FileName);
  std::string Result(I == std::string_view::npos ? FileName : FileName.substr(0, I));
  Result += Extension;
  return Result;
}

std::string IncludeTrailingPathDelimiter(std::string_view S) {
  std::string Result(S);
  if (Result.empty() || !IsDelimiter(Result.back())) Result += PathDelim;
  return Result;
}

std::string ExcludeTrailingPathDelimiter(std::string_view S) {
  if (!S.empty() && IsDelimiter(S.back())) S.remove_suffix(1);
  return std::string(S);
}

std::string ExpandFileName(std::string_view FileName) {
  if (FileName.empty()) return {};
  std::string Path = NativePath(FileName);
  if (Path.front() != '/') Path = GetCurrentDir() + "/" + Path;
  const bool Trailing = Path.back() == '/';

  std::vector<std::string_view> Steps;
  std::string_view Rest(Path);
  while (!Rest.empty()) {
    const std::size_t Slash = Rest.find('/');
    const std::string_view Step = Rest.substr(0, Slash);
    Rest = Slash == std::string_view::npos ? std::string_view() : Rest.substr(Slash + 1);
    if (Step.empty() || Step == ".") continue;
    if (Step == "..") {
      if (!Steps.empty()) Steps.pop_back();
    } else {
      Steps.push_back(Step);
    }
  }

  std::string Result;
  for (std::string_view Step : Steps) {
    Result += '/';
    Result += Step;
  }
  if (Result.empty() || Trailing) Result += '/';
  return Result;
}

// ---- Queries and changes ------------------------------------------------------------------

bool FileExists(const std::string& FileName) {
  struct stat St;
  return StatPath(FileName, St) && S_ISREG(St.st_mode);
}

bool DirectoryExists(const std::string& Dir) { return IsDirectoryPath(NativePath(Dir)); }

bool ForceDirectories(const std::string& Dir) {
  std::string Path = NativePath(Dir);
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  if (Path.empty()) return false;
  if (IsDirectoryPath(Path)) return true;
  // Create each missing level from the top; the first delimiter of an absolute path is the root.
  for (std::size_t I = Path.find('/', 1); I != std::string::npos; I = Path.find('/', I + 1)) {
    if (Path[I - 1] == '/') continue;
    const std::string Level = Path.substr(0, I);
    if (::mkdir(Level.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  if (::mkdir(Path.c_str(), 0777) != 0 && errno != EEXIST) return false;
  return IsDirectoryPath(Path);
}

bool CreateDir(const std::string& Dir) { return ::mkdir(NativePath(Dir).c_str(), 0777) == 0; }

bool RemoveDir(const std::string& Dir) { return ::rmdir(NativePath(Dir).c_str()) == 0; }

bool DeleteFile(const std::string& FileName) {
  return ::unlink(NativePath(FileName).c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
  const std::string Target = NativePath(NewName);
  struct stat St;
  if (::lstat(Target.c_str(), &St) == 0) return false;
  return ::rename(NativePath(OldName).c_str(), Target.c_str()) == 0;
}

TDateTime FileAge(const std::string& FileName) {
  struct stat St;
  if (!StatPath(FileName, St) || !S_ISREG(St.st_mode)) return -1;
  return TimespecToDateTime(St.st_mtim);
}

int FileSetDate(const std::string& FileName, TDateTime Age) {
  timespec Times[2];
  Times[0].tv_sec = 0;
  Times[0].tv_nsec = UTIME_OMIT;  // keep the access time
  if (!DateTimeToTimespec(Age, Times[1])) return EINVAL;
  if (::utimensat(AT_FDCWD, NativePath(FileName).c_str(), Times, 0) != 0) return errno;
  return 0;
}

int64_t FileSizeByName(const std::string& FileName) {
  struct stat St;
  if (!StatPath(FileName, St) || !S_ISREG(St.st_mode)) return -1;
  return static_cast<int64_t>(St.st_size);
}

std::string GetCurrentDir() {
  std::vector<char> Buffer(256);
  while (::getcwd(Buffer.data(), Buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    Buffer.resize(Buffer.size() * 2);
  }
  return std::string(Buffer.data());
}

bool SetCurrentDir(const std::string& Dir) { return ::chdir(NativePath(Dir).c_str()) == 0; }

// ---- Directory searches -------------------------------------------------------------------

int FindFirst(const std::string& Path, int Attr, TSearchRec& F) {
  FindClose(F);
  auto State = std::make_shared<TFindState>();
  const std::string Dir = ExtractFilePath(Path);
  State->DirPath = Dir.empty() ? std::string("./") : NativePath(Dir);
  State->Pattern = ExtractFileName(Path);
  if (State->Pattern == "*.*") State->Pattern.assign(1, '*');  // assign(): avoids a false -Wrestrict of g++ 12
  State->Attr = Attr;
  State->Dir = ::opendir(State->DirPath.c_str());
  if (State->Dir == nullptr) return (errno == EACCES || errno == EPERM) ? 5 : 3;
  F.FindHandle = std::move(State);
  if (FindNext(F) != 0) {
    FindClose(F);
    return 2;
  }
  return 0;
}

int FindNext(TSearchRec& F) {
  constexpr int NoMoreFiles = 18;
  TFindState* State = F.FindHandle.get();
  if (State == nullptr || State->Dir == nullptr) return NoMoreFiles;
  const int Excluded = (faHidden | faSysFile | faDirectory) & ~State->Attr;
  while (const dirent* Entry = ::readdir(State->Dir)) {
    const std::string Name = Entry->d_name;
    if (!MatchesFileMask(Name, State->Pattern)) continue;
    const std::string Full = State->DirPath + Name;
    struct stat St;
    if (::lstat(Full.c_str(), &St) != 0) continue;  // vanished meanwhile
    int EntryAttr = 0;
    if (S_ISLNK(St.st_mode)) {
      EntryAttr |= faSymLink;
      struct stat Target;
      if (::stat(Full.c_str(), &Target) == 0) St = Target;  // a dangling link stays a link
    }
    if (S_ISDIR(St.st_mode))
      EntryAttr |= faDirectory;
    else if (!S_ISREG(St.st_mode) && !S_ISLNK(St.st_mode))
      EntryAttr |= faSysFile;
    if (Name.front() == '.' && Name != "." && Name != "..") EntryAttr |= faHidden;
    if (!HasWritePermission(St)) EntryAttr |= faReadOnly;
    if ((EntryAttr & Excluded) != 0) continue;

    F.Name = Name;
    F.Attr = EntryAttr;
    F.Size = S_ISREG(St.st_mode) ? static_cast<int64_t>(St.st_size) : 0;
    F.Time = TimespecToDateTime(St.st_mtim);
    return 0;
  }
  return NoMoreFiles;
}

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }

std::vector<TSearchRec> FindFiles(const std::string& Path, int Attr) {
  std::vector<TSearchRec> Result;
  TSearchRec F;
  for (int R = FindFirst(Path, Attr, F); R == 0; R = FindNext(F)) {
    Result.push_back(F);
    Result.back().FindHandle.reset();
  }
  FindClose(F);
  std::sort(Result.begin(), Result.end(),
            [](const TSearchRec& A, const TSearchRec& B) { return A.Name < B.Name; });
  return Result;
}

} // namespace zef
