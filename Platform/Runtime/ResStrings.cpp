#include "ResStrings.h"

#define RES_STRING(name, id, text) const TResStringRec name = {&HInstance, id};
#include "ResStringTable.inc"
#undef RES_STRING

#ifndef _WIN32
#include "InProcModule.h"

namespace {

constexpr os::InProcStringEntry kStrings[] = {
#define RES_STRING(name, id, text) {id, text},
#include "ResStringTable.inc"
#undef RES_STRING
};

constinit os::InProcModule mainModule{kStrings, sizeof(kStrings) / sizeof(kStrings[0])};

} // namespace

os::ModuleHandle HInstance = &mainModule;
#else
#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;
os::ModuleHandle HInstance = &__ImageBase;
#endif
