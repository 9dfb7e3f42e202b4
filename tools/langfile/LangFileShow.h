// `langfile show`: a language file's header and accepted entries, as text or JSON.
#pragma once

#include "sxLangFile.h"

#include <string>
#include <vector>

// What a language file yields: the header and the accepted entries in file order.
struct LangFileContent {
    TsxLangFileHeader Header;
    std::vector<TsxLangStringEntry> Strings;
    std::vector<TsxLangPropertyEntry> Properties;
};

// Reads a language file as the localiser does; raises the same errors.
LangFileContent ReadLangFileContent(const AnsiString& fileName);

// The two output forms, UTF-8 throughout (form texts converted from the ANSI code page).
std::string FormatAsText(const LangFileContent& content);
std::string FormatAsJson(const LangFileContent& content);
