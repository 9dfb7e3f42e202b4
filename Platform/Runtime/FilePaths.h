// The parts of a file path, by the platform's delimiters: the folder part ends at the last folder
// delimiter (on Windows "\" or ":"), the extension begins at the last "." of the name part.
#pragma once

#include "RtlStrings.h"

#include <string_view>

namespace rtl {

// The folder part with its trailing delimiter ("C:\App\Bin\" of "C:\App\Bin\prog.exe"); empty
// when the path has none.
AnsiString ExtractFilePath(std::string_view path);
// The name part ("prog.exe").
AnsiString ExtractFileName(std::string_view path);
// The extension with its "." ("" when the name part has no ".").
AnsiString ExtractFileExt(std::string_view path);
// The path with its extension replaced by ext (which brings its own "."), or ext appended when the
// name part has none: "my.prog.exe" with ".lrc" gives "my.prog.lrc".
AnsiString ChangeFileExt(std::string_view path, std::string_view ext);

} // namespace rtl
