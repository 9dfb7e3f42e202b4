// The in-process stand-in for a module's resources in the native build.
#pragma once

#include "Os.h"

#include <cstddef>
#include <cstdint>

namespace os {

// One string-table entry; the text is UTF-8, as the resource-string table is written.
struct InProcStringEntry {
    unsigned Id;
    const char* Utf8;
};

// The language that the resource compiler gives a resource without a LANGUAGE statement (English,
// United States).
inline constexpr std::uint16_t DefaultResourceLanguage = 0x409;

// One resource: an RCDATA resource by name unless said otherwise. A resource identified by a number
// has no Name and its number in Id; a string-table block (type ResourceTypeString) is such a one,
// with the bytes of its 16 entries.
struct InProcResource {
    const char* Name;
    const void* Data;
    std::size_t Size;
    unsigned Type = ResourceTypeRCData;
    unsigned Id = 0;
    std::uint16_t Language = DefaultResourceLanguage;
};

// An RCDATA resource added to a module after it was built (natively, each compiled form: see
// cmake/Forms.cmake). Constant-initialisable; the module links the nodes into a list.
struct InProcResourceNode {
    InProcResource Resource;
    InProcResourceNode* Next = nullptr;
};

// The string-table blocks made from a module's entries (OsInProc.cpp).
struct InProcStringBlocks;

// What a module handle points at in the native build. Constant-initialisable, so that a module can
// be used from static initialisation on. The entries of Strings are the module's string table as
// the resource compiler would lay it out: the enumeration of string-table resources gives their
// blocks, in DefaultResourceLanguage, beside the blocks that Resources and Added hold; a module
// names each block and language once. The blocks made from Strings are kept in Blocks from the
// first enumeration on and never freed, so a module lives as long as the program.
struct InProcModule {
    const InProcStringEntry* Strings;
    std::size_t StringCount;
    const InProcResource* Resources = nullptr;
    std::size_t ResourceCount = 0;
    InProcResourceNode* Added = nullptr;
    InProcStringBlocks* Blocks = nullptr;
};

// Adds a resource to a module (the handle of an InProcModule), found by FindRCData and the
// enumerations after the module's own table. Meant for static initialisation, before any other
// thread runs; the node must live as long as the module.
void AddResource(ModuleHandle module, InProcResourceNode& node);

// Chooses the process's ANSI code page (1251 or 1252); returns false, changing nothing, for any other.
// Without a call the code page follows LC_ALL, LC_CTYPE or LANG: a Cyrillic language gives 1251,
// anything else 1252.
bool SetAnsiCodePage(unsigned codePage);

} // namespace os
