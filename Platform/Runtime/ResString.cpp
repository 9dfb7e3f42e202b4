#include "ResString.h"

void LoadResString(const TResStringRec* ResStringRec, AnsiString* Result) {
    if (ResStringRec == nullptr) {
        Result->clear();
        return;
    }
    if (ResStringRec->Identifier < 65536) {
        // The entry comes out whole, however long it is.
        const os::ModuleHandle module = os::FindResourceModule(*ResStringRec->Module);
        *Result =
            rtl::WideToAnsi(os::LoadStringWide(module, static_cast<unsigned>(ResStringRec->Identifier)));
    } else {
        *Result = reinterpret_cast<const char*>(ResStringRec->Identifier);
    }
}
