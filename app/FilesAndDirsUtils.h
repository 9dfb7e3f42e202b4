// The program's file-and-folder utilities.
#pragma once

#include "RtlStrings.h"

#include <span>
#include <string_view>

// The parent folder of the program's folder, without a trailing delimiter: C:\App for
// C:\App\Bin\prog.exe.
AnsiString GetProgramParentDir();
// The same for a folder given with its trailing delimiter: one trailing delimiter is dropped, then
// everything from the last delimiter on. Empty stays empty; a folder without a delimiter left stays
// as it is.
AnsiString ParentDirOf(std::string_view folder);

// The path with a trailing delimiter: empty stays empty; a path ending in ":" or the delimiter stays
// as it is; a single letter (a drive) gets ":" and the delimiter; anything else the delimiter.
AnsiString IncludePathDelimiter(std::string_view path);

// Whether one of args (the arguments after the program path) is the switch name preceded by "-" or
// "/": the rest of the argument, taken whole, equal to name without regard to letter case.
bool FindCmdLineSwitch(std::span<const AnsiString> args, std::string_view name);
