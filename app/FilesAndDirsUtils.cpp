#include "FilesAndDirsUtils.h"

#include "FilePaths.h"
#include "Os.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Letter case ignored as the user's locale has it (the native build: ASCII letters).
bool SameTextInUserLocale(std::string_view a, std::string_view b) {
#ifdef _WIN32
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
#else
    return rtl::SameText(a, b);
#endif
}

} // namespace

AnsiString ParentDirOf(std::string_view folder) {
    if (folder.empty())
        return AnsiString(folder);
    if (folder.back() == os::PathDelim)
        folder.remove_suffix(1);
    const std::size_t last = folder.rfind(os::PathDelim);
    return AnsiString(last == std::string_view::npos ? folder : folder.substr(0, last));
}

AnsiString GetProgramParentDir() {
    return ParentDirOf(rtl::ExtractFilePath(os::ProgramPath()));
}

AnsiString IncludePathDelimiter(std::string_view path) {
    AnsiString result(path);
    if (path.empty() || path.back() == ':' || path.back() == os::PathDelim)
        return result;
    const char c = path.front();
    if (path.size() == 1 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
        result += ':';
    result += os::PathDelim;
    return result;
}

bool FindCmdLineSwitch(std::span<const AnsiString> args, std::string_view name) {
    for (const AnsiString& arg : args)
        if (!arg.empty() && (arg.front() == '-' || arg.front() == '/') &&
            SameTextInUserLocale(std::string_view(arg).substr(1), name))
            return true;
    return false;
}
