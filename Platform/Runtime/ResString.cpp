#include "ResString.h"

namespace {
// The loader's buffer: long enough for every compiled string of the program.
constexpr int kLoaderCapacity = 4096;
} // namespace

void LoadResString(const TResStringRec* ResStringRec, AnsiString* Result) {
    if (ResStringRec == nullptr) {
        Result->clear();
        return;
    }
    if (ResStringRec->Identifier < 65536) {
        os::ModuleHandle module = os::FindResourceModule(*ResStringRec->Module);
        *Result =
            os::LoadStringAnsi(module, static_cast<unsigned>(ResStringRec->Identifier), kLoaderCapacity);
    } else {
        *Result = reinterpret_cast<const char*>(ResStringRec->Identifier);
    }
}
