// `langfile list`: the installed languages that a catalogue folder holds for a program.
#pragma once

#include "sxLangFileList.h"
#include "sxLanguages.h"

#include <string>

// One line per language file: abbreviation as found on disk, language identifier, the locale
// table's display name, path; tab-separated, UTF-8. The path is written as it stands (a Windows
// path keeps its backslashes).
std::string FormatLangFilesAsText(const TsxLangFileList& files, const TsxLanguages& languages);
// The same as one JSON object {"languages":[{"ext":…, "lang_id":…, "name":…, "file":…}]}.
std::string FormatLangFilesAsJson(const TsxLangFileList& files, const TsxLanguages& languages);
