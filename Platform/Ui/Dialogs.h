// Modal message boxes.
#pragma once

#include "RtlStrings.h"

namespace ui {

enum class TMsgDlgType { mtError, mtInformation };

// A modal box with text and a single OK button, over the active window; captioned "Error" or
// "Information" (resource strings, so a language file translates them).
void MessageDlg(const AnsiString& text, TMsgDlgType type);

} // namespace ui
