#include "FilePaths.h"

#include "Os.h"

namespace rtl {

namespace {

std::size_t NameStart(std::string_view path) {
    const std::size_t delimiter = path.find_last_of(os::FolderDelimiters);
    return delimiter == std::string_view::npos ? 0 : delimiter + 1;
}

std::size_t ExtensionStart(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos || dot < NameStart(path) ? path.size() : dot;
}

} // namespace

AnsiString ExtractFilePath(std::string_view path) {
    return AnsiString(path.substr(0, NameStart(path)));
}

AnsiString ExtractFileName(std::string_view path) {
    return AnsiString(path.substr(NameStart(path)));
}

AnsiString ExtractFileExt(std::string_view path) {
    return AnsiString(path.substr(ExtensionStart(path)));
}

AnsiString ChangeFileExt(std::string_view path, std::string_view ext) {
    AnsiString result(path.substr(0, ExtensionStart(path)));
    result += ext;
    return result;
}

} // namespace rtl
