// Internal to the platform layer: the dialog forms of ours that windowed hosts show for
// message boxes, the file and colour dialogs and popup menus. They are ordinary forms run
// with ShowModal, so any host can show them.
#pragma once

#include <string>

#include "controls/forms.h"
#include "rtl/types.h"

namespace zef {

class TColorDialog;
class TMenuItem;
class TOpenDialog;
class TPopupMenu;

// A message box with the buttons asked for; returns the chosen button's modal result
// (mrCancel, or the last button's result, when closed otherwise).
int RunMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// A file dialog: a folder listing filtered by the dialog's filters and a name field.
bool RunFileDialogForm(TOpenDialog& Dialog);
// A colour dialog: the standard colours and the custom ones.
bool RunColorDialogForm(TColorDialog& Dialog);
// A popup menu at the screen point; returns the chosen item or null.
TMenuItem* RunPopupMenuForm(TPopupMenu& Menu, TPoint ScreenPos);

} // namespace zef
