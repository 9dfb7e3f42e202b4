// langfile: the language-file tool for translators.
#include "LangFileShow.h"

#include "Os.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* kUsage = "usage: langfile show [--json] FILE\n";

constexpr const char* kHelp =
    "langfile: reads a language file as the program reads it.\n"
    "\n"
    "  langfile show FILE         the header and the accepted entries, in file order\n"
    "  langfile show --json FILE  the same as one JSON object (texts in UTF-8)\n"
    "\n"
    "Entries that the program would skip are not listed. A refused file prints the program's\n"
    "message on standard error and exits with 1; a wrong command line exits with 2.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

void Write(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

int Show(bool json, const char* fileName) {
    std::string output;
    try {
        LangFileContent content = ReadLangFileContent(fileName);
        output = json ? FormatAsJson(content) : FormatAsText(content);
    } catch (const Exception& e) {
        Write(stderr, "langfile: " + rtl::WideToUtf8(rtl::AnsiToWide(e.Message())) + "\n");
        return 1;
    }
    Write(stdout, output);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    os::SetBinaryStdio();
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc < 3 || std::string_view(argv[1]) != "show")
        return Usage();
    bool json = false;
    const char* file = nullptr;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--json" && !json)
            json = true;
        else if (file == nullptr && !arg.starts_with("--"))
            file = argv[i];
        else
            return Usage();
    }
    if (file == nullptr)
        return Usage();
    return Show(json, file);
}
