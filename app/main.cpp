// Quorlin: the host program of the localisation framework. Normal mode shows the main window with
// the language picker; started with -EXTRACT_LANG (or /EXTRACT_LANG, any letter case, anywhere on
// the command line) it writes the translation templates of its own user interface into the current
// directory and ends.
#include "FilePaths.h"
#include "FilesAndDirsUtils.h"
#include "Forms.h"
#include "MainForm.h"
#include "Os.h"
#include "SaveRCDataStrings.h"
#include "SaveResourceStrings.h"

#include <cstdlib>
#include <vector>

namespace {

// The running program's file name, kept for the rest of an extraction run.
AnsiString& ProgramFileName() {
    static AnsiString name;
    return name;
}

int Run(int argc, char** argv) {
    ui::TApplication& application = ui::Application();
    application.SetTitle("Quorlin");
    const std::vector<AnsiString> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (FindCmdLineSwitch(args, "EXTRACT_LANG")) {
        ProgramFileName() = rtl::ExtractFileName(os::ProgramPath());
        ExtractRCDataStrings(rtl::ChangeFileExt(ProgramFileName(), ".lrc"));
        ExtractResourceStrings(rtl::ChangeFileExt(ProgramFileName(), ".lrs"));
    } else {
        application.CreateForm<TMainForm>();
    }
    application.Run();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        return ui::HandleUncaught(error);
    }
}
