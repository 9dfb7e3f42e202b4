#include "Exceptions.h"

#include "ResStrings.h"

const TResStringRec& EXmlSyntaxError::SXmlSyntaxErrorText() {
    return SXmlSyntaxError;
}

namespace rtl {

void RaiseOSError(std::uint32_t code) {
    throw EOSError(code, Format(ResStr(SOSError), {code, os::SysErrorMessage(code)}));
}

void RaiseLastOSError() {
    RaiseOSError(os::LastError());
}

} // namespace rtl
