#include "Assert.h"

#include "Exceptions.h"
#include "ResStrings.h"

namespace rtl {

std::string_view SourcePath(std::string_view fileName) {
    // The build maps the project root away (-fmacro-prefix-map), so only the extension goes.
    std::size_t slash = fileName.find_last_of("/\\");
    std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        fileName = fileName.substr(0, dot);
    return fileName;
}

void AssertionFailed(std::string_view message, const SourcePosition& where) {
    throw EAssertionFailed(SAssertError, {message, SourcePath(where.File), where.Line});
}

} // namespace rtl
