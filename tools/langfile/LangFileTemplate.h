// `langfile template`: the records of a translation template, as text or JSON.
#pragma once

#include "RtlStrings.h"

#include <string>

// Reads the template file (".lrc" or ".lrs", by its extension in any letter case) and lists its
// records in file order: form key, path and text, or identifier and text. UTF-8 throughout: form
// texts are converted from the ANSI code page. A truncated or malformed template raises Exception
// "FILE: record at offset N: ..."; a file of another extension raises too.
std::string FormatTemplate(const AnsiString& fileName, bool json);
