// Resource strings: the record that every use of a resource string passes, and the one loader.
#pragma once

#include "Os.h"
#include "RtlStrings.h"

#include <cstdint>

// Identifies one resource string: the module whose string table holds it, and its identifier. An
// identifier below 65536 is a string-table identifier; any other value is the address of a
// zero-terminated 8-bit text, so the field is as wide as an address.
struct TResStringRec {
    os::ModuleHandle* Module;
    std::intptr_t Identifier;
};

// The handle of the program's own module; the records of the resource-string table point at it.
extern os::ModuleHandle HInstance;

#if defined(__GNUC__) && !defined(__clang__)
#define QRL_PATCHABLE __attribute__((noipa, noinline, used))
#elif defined(__clang__)
#define QRL_PATCHABLE __attribute__((noinline, used))
#else
#define QRL_PATCHABLE
#endif

// The single loader of resource strings. It stays a real, separately emitted routine in every build
// type, so that redirecting its entry reaches every caller.
QRL_PATCHABLE void LoadResString(const TResStringRec* ResStringRec, AnsiString* Result);

// The text of a resource string, through LoadResString.
inline AnsiString ResStr(const TResStringRec& rec) {
    AnsiString text;
    LoadResString(&rec, &text);
    return text;
}
