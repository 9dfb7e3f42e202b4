// The in-process stand-in for a module's resources in the native build.
#pragma once

#include "Os.h"

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

// An RCDATA resource added to a module after it was built (natively, each compiled form: see
// cmake/Forms.cmake). Constant-initialisable; the module links the nodes into a list.
struct InProcResourceNode {
    InProcResource Resource;
    InProcResourceNode* Next = nullptr;
};

// What a module handle points at in the native build. Constant-initialisable, so that a module can
// be used from static initialisation on.
struct InProcModule {
    const InProcStringEntry* Strings;
    std::size_t StringCount;
    const InProcResource* Resources = nullptr;
    std::size_t ResourceCount = 0;
    InProcResourceNode* Added = nullptr;
};

// Adds a resource to a module (the handle of an InProcModule), found by FindRCData after the
// module's own table. Meant for static initialisation, before any other thread runs; the node must
// live as long as the module.
void AddResource(ModuleHandle module, InProcResourceNode& node);

// Chooses the process's ANSI code page (1251 or 1252); returns false, changing nothing, for any other.
// Without a call the code page follows LC_ALL, LC_CTYPE or LANG: a Cyrillic language gives 1251,
// anything else 1252.
bool SetAnsiCodePage(unsigned codePage);

} // namespace os
