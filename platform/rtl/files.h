// Files and directories: path strings, file-system queries and directory searches.
// Names may use "\" or "/" as the path delimiter; every routine that touches the file system
// converts its names with NativePath first. The path-string functions work on the text only
// and keep the delimiters they are given.
#pragma once

#include "rtl/datetime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zef {

// The delimiter this system writes into the paths it builds.
inline constexpr char PathDelim = '/';

// ---- Attributes of directory entries ------------------------------------------------------

enum : int {
  faReadOnly = 0x01,  // no write permission for the process's class (owner, group, others)
  faHidden = 0x02,    // the name starts with "." (except "." and "..")
  faSysFile = 0x04,   // neither a regular file nor a directory (device, pipe, socket)
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faNormal = 0x80,
  faSymLink = 0x400,  // the entry is a symbolic link (the other fields describe its target)
  faAnyFile = 0x1FF,
};

// The state of a running search (the open directory and the pattern).
struct TFindState;

// One entry found by FindFirst / FindNext.
struct TSearchRec {
  std::string Name;      // the entry's name, without its directory
  int64_t Size = 0;      // bytes
  int Attr = 0;          // fa... flags
  TDateTime Time = 0;    // last modification, local time
  std::shared_ptr<TFindState> FindHandle;
};

// ---- Path strings -------------------------------------------------------------------------

// The name in the form the operating system takes: every "\" becomes "/".
std::string NativePath(std::string_view Name);

// The part after the last delimiter.
std::string ExtractFileName(std::string_view FileName);
// The part up to and including the last delimiter ("" when there is none).
std::string ExtractFilePath(std::string_view FileName);
// ExtractFilePath without its trailing delimiter, unless that delimiter is the root ("/a" -> "/").
std::string ExtractFileDir(std::string_view FileName);
// The extension with its dot ("a/b.txt" -> ".txt"); "" when the name part has no dot.
std::string ExtractFileExt(std::string_view FileName);
// Replaces the extension (or appends Extension when there is none); Extension includes the dot.
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
// Appends PathDelim unless the text already ends with "\" or "/" (an empty text gives "/").
std::string IncludeTrailingPathDelimiter(std::string_view S);
// Removes one trailing "\" or "/".
std::string ExcludeTrailingPathDelimiter(std::string_view S);
// The absolute form of a name relative to the current directory, with "/" delimiters and
// the "." and ".." steps resolved in the text (symbolic links are not followed). A trailing
// delimiter is kept; an empty name gives "".
std::string ExpandFileName(std::string_view FileName);

// ---- Queries and changes ------------------------------------------------------------------

// True for a regular file (following symbolic links); false for directories.
bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Dir);
// Creates Dir with every missing parent; true when Dir exists as a directory afterwards.
bool ForceDirectories(const std::string& Dir);
// Create or remove one directory (removing requires it to be empty); true on success.
bool CreateDir(const std::string& Dir);
bool RemoveDir(const std::string& Dir);
// Deletes a file (not a directory); true on success.
bool DeleteFile(const std::string& FileName);
// Renames or moves a file or directory; fails, without touching anything, when NewName exists.
bool RenameFile(const std::string& OldName, const std::string& NewName);
// Last modification time of a regular file in local time; -1 when there is no such file.
TDateTime FileAge(const std::string& FileName);
// Sets the last modification time (local time, to the millisecond); returns 0 or the errno
// of the failure (EINVAL for a date the system cannot hold).
int FileSetDate(const std::string& FileName, TDateTime Age);
// Size of a regular file in bytes; -1 when there is no such file.
int64_t FileSizeByName(const std::string& FileName);
// The current directory (without trailing delimiter, except for the root).
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& Dir);

// ---- Directory searches -------------------------------------------------------------------

// Whether Name matches a file mask: "*" matches any run of bytes, "?" exactly one; with
// IgnoreCase ASCII letters match either case.
bool MatchesFileMask(std::string_view Name, std::string_view Pattern, bool IgnoreCase = false);

// Starts a search. Path is a directory (optional) and a name pattern in which "*" matches any
// run of characters and "?" one byte; "*.*" matches every name; matching is case-sensitive.
// Ordinary files are always returned; directories only with faDirectory in Attr ("." and ".."
// count as directories), hidden entries only with faHidden and special files only with
// faSysFile. Returns 0 and fills F with the first entry, or 2 when nothing matches, 3 when the
// directory cannot be found, 5 when it cannot be read.
int FindFirst(const std::string& Path, int Attr, TSearchRec& F);
// The next entry: 0, or 18 when there are no more.
int FindNext(TSearchRec& F);
// Ends the search (also done when the last copy of F is destroyed).
void FindClose(TSearchRec& F);
// Every entry FindFirst / FindNext would return, sorted by name (byte order).
std::vector<TSearchRec> FindFiles(const std::string& Path, int Attr);

} // namespace zef
