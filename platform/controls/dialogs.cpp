#include "controls/dialogs.h"

#include "host/host.h"
#include "rtl/files.h"
#include "rtl/strings.h"

namespace zef {

bool TCommonDialog::Execute() {
  if (OnShow) OnShow(this);
  const bool Confirmed = Host().ExecuteDialog(*this);
  if (OnClose) OnClose(this);
  return Confirmed;
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

void TOpenDialog::SetFiles(std::vector<std::string> Value) { FFiles = std::move(Value); }

std::vector<TFileFilter> TOpenDialog::Filters() const {
  std::vector<TFileFilter> Result;
  if (FFilter.empty()) return Result;
  const std::vector<std::string> Parts = SplitString(FFilter, '|');
  for (std::size_t I = 0; I < Parts.size(); I += 2) {
    TFileFilter F;
    F.Description = Parts[I];
    if (I + 1 < Parts.size())
      for (const std::string& P : SplitString(Parts[I + 1], ';'))
        if (!Trim(P).empty()) F.Patterns.push_back(Trim(P));
    Result.push_back(std::move(F));
  }
  return Result;
}

void TOpenDialog::Accept(const std::vector<std::string>& Names) {
  std::vector<std::string> Chosen;
  for (const std::string& N : Names) {
    if (N.empty()) continue;
    if (!FDefaultExt.empty() && ExtractFileExt(N).empty())
      Chosen.push_back(N + "." + FDefaultExt);
    else
      Chosen.push_back(N);
  }
  if (Chosen.empty()) return;
  FFileName = Chosen.front();
  FFiles = std::move(Chosen);
}

void TColorDialog::SetCustomColors(std::vector<TColor> Value) {
  if (Value.size() > 16) Value.resize(16);
  FCustomColors = std::move(Value);
}

bool MatchesFilePattern(const std::string& FileName, const std::string& Pattern) {
  // "*.*" means every file, with or without an extension.
  if (Pattern == "*.*") return true;
  return MatchesFileMask(ExtractFileName(FileName), Pattern, true);
}

} // namespace zef
