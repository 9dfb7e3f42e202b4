// The in-process stand-in for a module's resources in the native build.
#pragma once

#include <cstddef>

namespace os {

// One string-table entry; the text is UTF-8, as the resource-string table is written.
struct InProcStringEntry {
    unsigned Id;
    const char* Utf8;
};

// One RCDATA resource.
struct InProcResource {
    const char* Name;
    const void* Data;
    std::size_t Size;
};

// What a module handle points at in the native build. Constant-initialisable, so that a module can
// be used from static initialisation on.
struct InProcModule {
    const InProcStringEntry* Strings;
    std::size_t StringCount;
    const InProcResource* Resources = nullptr;
    std::size_t ResourceCount = 0;
};

// Chooses the process's ANSI code page (1251 or 1252); returns false, changing nothing, for any other.
// Without a call the code page follows LC_ALL, LC_CTYPE or LANG: a Cyrillic language gives 1251,
// anything else 1252.
bool SetAnsiCodePage(unsigned codePage);

} // namespace os
