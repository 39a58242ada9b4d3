// File names, directories, drives, text files, file copying, passwords, the header of ASC
// data files and TUnivSaveDialog. Errors of the dialog raise EZEFFileSysError; errors of
// the platform's file routines reach the caller unchanged.
//
// Names may use "\" or "/" as delimiters. On this system (Linux) the Windows notions map to
// their local equivalents:
//   - Drives: the file system has one root, which stands as drive C (number 2); every other
//     drive letter does not exist. BuildDriveList adds "C:"; drive C's root is "/".
//   - Directories: GetSystemDir is "/usr/lib", GetWindowsDir "/usr", GetTempDir $TMPDIR
//     (or "/tmp") with a trailing "/".
//   - The waste basket is the freedesktop.org trash of the user ($XDG_DATA_HOME/Trash, by
//     default ~/.local/share/Trash), restorable by every desktop's trash view.
//   - File associations are the freedesktop.org ones: the MIME type of the extension
//     (shared MIME globs) and its default application (mimeapps.list), whose Exec line is
//     the command.
//   - Names are case-sensitive: paths found on disk keep their case (no upper-casing),
//     SetAllFilenameCase renames only the name part, and DOSToWinPath resolves each
//     component to its spelling on disk.
//
// Contents
//   1. Types                    4. Text files
//   2. Names and paths          5. Copying and passwords
//   3. Directories and drives   6. TUnivSaveDialog
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ZEF_zefbase.h"
#include "classes/stringlist.h"
#include "controls/dialogs.h"
#include "rtl/streams.h"
#include "rtl/textfile.h"

namespace zef {

// ---- 1. Types -----------------------------------------------------------------------------

enum TTextfileType : uint8_t {
  tftUnicode_le,
  tftUnicode_be,
  tftUnicode4_le,
  tftUnicode4_be,
  tftRTF,
  tftUTF8,
  tftUnknown
};

using TFileCopyFeedBack = std::function<void(int64_t BytesCopied, int64_t BytesTotal)>;
using TTreeCopyFeedBack = std::function<void(int64_t BytesCopied, int64_t BytesTotal,
                                             const std::string& CurrentFile, int32_t NumFiles)>;
using TScanFilesFeedback = std::function<void(const std::string& CurrentDir, int32_t NumFiles)>;
using TNumericFeedback = std::function<void(TObject* Sender, double Num)>;
using TStringFeedback = std::function<void(TObject* Sender, const std::string& Msg)>;

// Dialog events; the modal results are mrOk, mrCancel, mrYes and mrNo of controls/forms.h.
using TOnFileSelectEvent = std::function<void(TObject* Sender, const std::string& Parameters,
                                              int& UserAction, std::string& SelectedFileName)>;
using TOnFileCheckEvent =
    std::function<void(TObject* Sender, const std::string& FileName, bool& FileDoesExist)>;
using TOnOverwriteEvent =
    std::function<void(TObject* Sender, const std::string& FileName, int& OverwriteReply)>;
using TOnForbiddenDirEvent =
    std::function<void(TObject* Sender, const std::string& Path, int& ForbiddenDirReply)>;

// ---- 2. Names and paths -------------------------------------------------------------------

// The part after the last delimiter.
std::string StripPath(std::string_view FName);
// Without the last extension of the name part.
std::string StripExtension(std::string_view FName);
// InsString before the first "." of the name part, or appended.
std::string InsertBeforeFileExt(std::string_view InsString, std::string_view FName);
// FName + "." + DefExt when FName has no extension and DefExt is not empty.
std::string EnsureDefaultFileExt(std::string_view FName, std::string_view DefExt);
// The text up to and including the last delimiter before a trailing one; empty when none.
std::string ParentDir(std::string_view Path);
// "/", or at most three characters with ":\" (or ":/") at position 2, blanks trimmed.
bool IsRootDir(std::string_view Path);
// Replaces leading directory names by ".." until the text is shorter than MaxLeng
// characters or no directory is left.
std::string AbridgeFilePath(std::string_view FName, int32_t MaxLeng);
// The drive number of "X:..." (A = 0 .. Z = 25, either case); -1 when there is no drive.
int32_t ExtractDrive(std::string_view Path);
// Every character is one of ! # $ % & ' ( ) - . 0-9 : @ A-Z \ ^ _ ` a-z { } ~.
bool IsFN83CompliantPath(std::string_view Path);
// IsFN83CompliantPath, and every piece between "\" and "." has at most 8 characters (the
// last at most 9).
bool IsDOS83Path(std::string_view Path);
// No / < > ? \ | * : and neither "." nor "..".
bool IsValidFileName(std::string_view FName);
// * / : < > ? \ | replaced by ReplaceChar; "." and ".." become one and two ReplaceChar.
std::string ReplaceInvalidFileNameChars(std::string_view FName, char32_t ReplaceChar);
// The absolute path with each component spelled as on disk (matched ignoring case when the
// exact spelling is absent); from a component not found on, the rest stays as given.
std::string DOSToWinPath(std::string_view Path);

// ---- 3. Directories and drives ------------------------------------------------------------

bool DirExists(const std::string& Dir);
// No entries besides "." and "..".
bool DirEmpty(const std::string& Dir);
// Whether the test file "$%$LO%$.$$$" cannot be created in Dir (it is removed again).
bool DirIsReadOnly(const std::string& Dir);
// The same test in the drive's root (0 = A); drives other than C do not exist.
bool DiskIsReadOnly(uint8_t Drive);
// The drive type: 3 (fixed) for C, 1 (no root directory) for other letters, 0 above 25.
uint32_t GetDiskDriveType(uint8_t Drive);
// Free bytes of the drive (for C the file system of "/"); -1 when the query fails.
int64_t DiskFreeExtended(uint8_t Drive);
// Clears List and adds "C:".
void BuildDriveList(TStringList& List);
// The size in bytes (limited to 2147483647); -1 when not found.
int32_t GetFileSize(const std::string& FName);
// The full path of FName if it exists, else of the first file of that name found in the
// subdirectories of its directory; empty when none.
std::string FileDetect(const std::string& FName);
// Deletes the files matching the mask (no directories, no names starting with "."); the
// number deleted.
int32_t DeleteFiles(const std::string& FileMask);
// Moves the matching files to the trash; the number moved.
int32_t MoveToRecycleBin(const std::string& FileMask);
// Deletes the directory with everything in it (symbolic links are removed, not followed).
// Empty on success, otherwise the name of the first entry that could not be deleted.
std::string DelDirTree(const std::string& Dir);
// Renames every matching entry to the upper- or lower-cased name, descending into matching
// directories (with the same name mask).
void SetAllFilenameCase(const std::string& FileMask, bool Upper);
// Adds the full path of every matching file to List; FeedBack(directory, files so far)
// before each directory; Recursive searches all subdirectories with the same name mask.
void ScanFilesToStrList(const std::string& FileMask, bool Recursive, TStringList* List,
                        const TScanFilesFeedback& FeedBack);
int32_t CountFiles(const std::string& FileMask, bool Recursive, const TScanFilesFeedback& FeedBack);
std::string GetSystemDir();
std::string GetWindowsDir();
std::string GetTempDir();
// The value of an environment variable (name case ignored); empty when absent.
std::string GetEnviroVar(std::string_view Name);
// The command line of the default application for files with extension Ext (with or
// without its point); empty when none is registered.
std::string GetProgAssoc(std::string_view Ext);

// ---- 4. Text files ------------------------------------------------------------------------

// The kind of text from the first bytes (byte-order marks, "{\rt"); tftUnknown also when
// the file cannot be read.
TTextfileType CheckTextFileType(const std::string& FName);
// Copies InFile to OutFile adding a line feed after every carriage return that lacks one
// (the two names may be the same file).
void EnsureCRLFInFile(const std::string& InFile, const std::string& OutFile);
// Appends the line (all lines of List), each with a line end; creates a missing file.
void AppendToTextFile(const std::string& FName, const std::string& Line);
void AppendToTextFile(const std::string& FName, const TStringList& List);
// Skips characters of code 32 and below and returns the following run of others.
std::string ReadNextWordInTextFile(TTextFile& F);
// The last N lines in file order (N at most 2^20), empty texts first when the file has
// fewer; NLines is the number of lines of the file. An open file is reset afterwards.
TStrArray ReadLastNLinesOfTextFile(TTextFile& F, int32_t N, int32_t& NLines);
TStrArray ReadLastNLinesOfTextFile(const std::string& FName, int32_t N, int32_t& NLines);
// The number of lines; FeedBack gets the count after every 1000 lines. An open file is
// reset before and after.
int64_t CountLinesInTextFile(TTextFile& F, const TNumericFeedback& FeedBack);
int64_t CountLinesInTextFile(const std::string& FName, const TNumericFeedback& FeedBack);
// The character position (1-based, line ends not counted) of the first occurrence within
// the first MaxChars characters; 0 when none.
int64_t DetectStringInFile(const std::string& FName, std::string_view SearchStr, bool IgnoreCase,
                           int64_t MaxChars);
// The first line holding SearchStr (locale-aware case folding with IgnoreCase) in Line, and
// the byte position in it; 0 and empty when none.
int32_t FindFirstMatchInTextFile(const std::string& FName, std::string_view SearchStr,
                                 bool IgnoreCase, std::string& Line);
// The header of an ASC file: line 1 in Header, NumA and NumB (decimal, at the starts of lines
// 2 and 3), and four TRUE/FALSE words on line 4 (blanks or tabs between them) as Flag1..4.
// 0; -1 NumA missing or not positive; -2 the same for NumB; -3 one of the first three
// words is neither TRUE nor FALSE. Lines may end in CR LF, LF or CR; a header line longer
// than 1 MiB is cut there. The file form raises EFOpenError for a file it cannot open.
int32_t ReadHeaderOfASC(TStream& Stream, std::string& Header, int32_t& NumA, int32_t& NumB,
                        bool& Flag1, bool& Flag2, bool& Flag3, bool& Flag4);
int32_t ReadHeaderOfASC(const std::string& FName, std::string& Header, int32_t& NumA, int32_t& NumB,
                        bool& Flag1, bool& Flag2, bool& Flag3, bool& Flag4);

// ---- 5. Copying and passwords -------------------------------------------------------------

// Copies a file in blocks of 8192 bytes (into DestName, or into it when it is a directory),
// reporting progress. 0 success (also for a file copied onto itself), -1 the source cannot
// be opened, -2 the destination cannot be created, -3 a write failed, -4 a read failed, -5
// aborted by AbortAnyFileCopying (the incomplete destination is removed). A missing source
// raises EInOutError. The copy takes the source's modification time and, with
// CopyAttributes, its permissions plus write permission for the owner.
int32_t FileCopyFeedBk(const std::string& SourceName, const std::string& DestName,
                       bool CopyAttributes, const TFileCopyFeedBack& FeedBack);
// Copies a directory tree into DestDir (created with its parents). Directory links are not
// followed and the destination is never copied into itself.
void CopyFileTree(const std::string& SourceDir, const std::string& DestDir, bool CopyAttributes,
                  const TTreeCopyFeedBack& FeedBack);
// Stops the running copy (and the tree walk around it).
void AbortAnyFileCopying();
// A pronounceable password: Len (4..14) letters of alternating consonants and vowels with
// two random digits inserted at position 7 (Len + 2 characters in all).
std::string InventPassword(int32_t Len);
// The same with letters upper-cased (MixedCase, probability 1/2) and characters replaced by
// one of _ ! $ % # = 0-9 (SpecialChars, probability 1/5) among the first Len characters.
std::string InventPassword(int32_t Len, bool MixedCase, bool SpecialChars);

// ---- 6. TUnivSaveDialog -------------------------------------------------------------------

// A save dialog that shows the platform's TSaveDialog (UseStandardDialog) or asks the
// application through OnFileSelect, then checks forbidden directories and existing files
// through events. Parameters is an attribute text: filter ("description|mask|..."),
// caption, initialdir and ext (the extension forced onto the chosen name).
class TUnivSaveDialog : public TCommonDialog {
public:
  explicit TUnivSaveDialog(TComponent* AOwner);

  std::string Parameters;
  bool UseStandardDialog = true;
  std::string FileName;
  int32_t FilterIndex = 1;
  // A chosen file whose directory begins with this text (case ignored) asks OnForbiddenDir.
  std::string ForbiddenDir;
  // The application's parent window, kept for it.
  void* ParentWnd = nullptr;

  // True when a file was chosen and may be written.
  bool Execute() override;
  // The attribute's value read as a decimal or floating-point number; a missing attribute
  // raises EZEFFileSysError "Component \"<Name>\": <ParName> is not specified in property
  // Parameters".
  int32_t ExtractParamAsInt(const std::string& ParName) const;
  double ExtractParamAsDouble(const std::string& ParName) const;
  // Empty when missing.
  std::string ExtractParamAsString(const std::string& ParName) const;

  TOnFileSelectEvent OnFileSelect;
  TOnFileCheckEvent OnFileCheck;
  TOnOverwriteEvent OnOverwrite;
  TOnForbiddenDirEvent OnForbiddenDir;

private:
  [[noreturn]] void Fail(const std::string& Text) const;
  // Step 1 of Execute: the user's action (mrOk when a file was chosen).
  int SelectFile();
};

} // namespace zef
