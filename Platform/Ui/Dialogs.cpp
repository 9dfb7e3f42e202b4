#include "Dialogs.h"

#include "ResStrings.h"

#include <windows.h>

namespace ui {

void MessageDlg(const AnsiString& text, TMsgDlgType type) {
    const bool error = type == TMsgDlgType::mtError;
    const AnsiString caption = ResStr(error ? SMsgDlgError : SMsgDlgInformation);
    MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(),
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION) | MB_TASKMODAL);
}

} // namespace ui
