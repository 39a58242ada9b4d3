// The common dialogs: choosing a file to open or save, and choosing a colour. Execute asks
// the current host: the headless host answers from its script, a windowed host shows a
// dialog form of ours. Execute returns true when the user confirmed; the dialog's
// properties then hold the choice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/object.h"
#include "classes/tset.h"
#include "graphics/gtypes.h"

namespace zef {

enum TOpenOption : uint8_t {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
  ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
  ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
  ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
  ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption, ofForceShowHidden + 1>;

enum TColorDialogOption : uint8_t { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption, cdAnyColor + 1>;

// One filter of a file dialog: "Text files" with the patterns "*.txt;*.asc".
struct TFileFilter {
  std::string Description;
  std::vector<std::string> Patterns;
};

class TCommonDialog : public TComponent {
public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

  // Shows the dialog (through the host) and returns whether the user confirmed.
  virtual bool Execute();

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

private:
  std::string FTitle;
};

class TOpenDialog : public TCommonDialog {
public:
  explicit TOpenDialog(TComponent* AOwner);

  // The chosen file (with its folder); its initial value is proposed to the user.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }
  // With ofAllowMultiSelect: every chosen file (otherwise just FileName).
  const std::vector<std::string>& Files() const { return FFiles; }
  void SetFiles(std::vector<std::string> Value);
  // "Description|patterns|Description|patterns...", patterns separated by ";".
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value) { FFilter = Value; }
  // The filters of Filter in order (an odd last description gets no patterns).
  std::vector<TFileFilter> Filters() const;
  // 1-based index of the chosen filter.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  // Added to a chosen name without extension ("txt", no dot).
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  // Whether this is a save dialog.
  virtual bool IsSaveDialog() const { return false; }

  // Applies a confirmed choice: FileName (DefaultExt added to a name without extension)
  // and Files. The host calls it.
  void Accept(const std::vector<std::string>& Names);

private:
  std::string FFileName;
  std::vector<std::string> FFiles;
  std::string FFilter;
  int FFilterIndex = 1;
  std::string FDefaultExt;
  std::string FInitialDir;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool IsSaveDialog() const override { return true; }
};

class TColorDialog : public TCommonDialog {
public:
  explicit TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

  // The chosen colour (the initial value is proposed).
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TColorDialogOptions Options() const { return FOptions; }
  void SetOptions(TColorDialogOptions Value) { FOptions = Value; }
  // Up to 16 custom colours offered beside the standard ones.
  const std::vector<TColor>& CustomColors() const { return FCustomColors; }
  void SetCustomColors(std::vector<TColor> Value);

private:
  TColor FColor = 0;
  TColorDialogOptions FOptions;
  std::vector<TColor> FCustomColors;
};

// Whether FileName matches a filter pattern ("*.txt", "data?.*", "*"); ASCII case is
// ignored and only the name after the last path delimiter counts.
bool MatchesFilePattern(const std::string& FileName, const std::string& Pattern);

} // namespace zef
