// localedump: writes the locale data of the native build (Platform/Os/LocaleTable.inc) from the
// Windows locale interface. It enumerates the supported locales in the system's order and prints, per
// locale, one C++ initialiser: the locale identifier as the enumeration gives it, the abbreviated
// language name and the language name, both read with the wide calls and written as UTF-8. A locale
// whose texts the system cannot give is written with empty texts, as the enumeration yields it.
//
//   cd build/windows
//   LANG=en_US.UTF-8 ./wine-run tools/localedump/localedump.exe > ../../Platform/Os/LocaleTable.inc
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::vector<std::string> localeIds;

BOOL CALLBACK CollectLocale(LPSTR text) {
    localeIds.emplace_back(text);
    return TRUE;
}

// The locale text of a locale identifier in UTF-8; empty when the system has none.
std::string LocaleText(LCID locale, LCTYPE item) {
    wchar_t wide[1024];
    if (GetLocaleInfoW(locale, item, wide, 1024) == 0)
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

// A C++ string literal of a UTF-8 text; bytes outside printable ASCII stay as they are.
std::string Literal(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY); // LF line ends, as the sources have them
    if (!EnumSystemLocalesA(CollectLocale, LCID_SUPPORTED)) {
        std::fprintf(stderr, "localedump: EnumSystemLocalesA failed (%lu)\n", GetLastError());
        return 1;
    }
    const char* lang = std::getenv("LANG");
    std::printf(
        "// The supported locales of the Windows locale interface, in the order of its enumeration, as\n"
        "// tools/localedump wrote them: locale identifier text, LOCALE_SABBREVLANGNAME, LOCALE_SLANGUAGE\n"
        "// (UTF-8). %zu locales. Dumped with LANG=%s: user interface language %04X, ANSI code page %u.\n"
        "// Do not edit; run the tool again (docs/language-catalogue.md).\n",
        localeIds.size(), lang != nullptr ? lang : "", GetUserDefaultUILanguage(), GetACP());
    for (const std::string& id : localeIds) {
        LCID locale = static_cast<LCID>(std::stoul(id, nullptr, 16));
        std::printf("{%s, %s, %s},\n", Literal(id).c_str(),
                    Literal(LocaleText(locale, LOCALE_SABBREVLANGNAME)).c_str(),
                    Literal(LocaleText(locale, LOCALE_SLANGUAGE)).c_str());
    }
    return 0;
}
