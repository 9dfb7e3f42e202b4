// langfile: the language-file tool for translators.
#include "LangFileList.h"
#include "LangFileShow.h"
#include "LangFileTemplate.h"

#include "Exceptions.h"
#include "Os.h"
#include "TextOutput.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage = "usage: langfile show [--json] [--progress] FILE\n"
                               "       langfile list [--json] [--program NAME] DIR\n"
                               "       langfile template [--json] FILE\n";

constexpr const char* kHelp =
    "\n"
    "langfile reads language files as the program reads them.\n"
    "\n"
    "  show FILE        loads FILE and prints the header and what the two stores then hold:\n"
    "                   resource strings in store order, form entries with their property items\n"
    "    --json         the same as one JSON object (texts in UTF-8)\n"
    "    --progress     every progress report of the load as a line 'progress TOTAL CURRENT' on\n"
    "                   standard error\n"
    "  list DIR         the installed languages in the catalogue folder DIR (the folder that holds\n"
    "                   one folder per language abbreviation): abbreviation, language identifier,\n"
    "                   the system's name for the language, file\n"
    "    --program NAME the program file name whose language files to look for (default: langfile's\n"
    "                   own)\n"
    "    --json         the same as one JSON object\n"
    "  template FILE    the records of a translation template that the program wrote in\n"
    "                   extraction mode, in file order: for FILE.lrc the form key, the property\n"
    "                   path and the text; for FILE.lrs the identifier and the text\n"
    "    --json         the same as one JSON object, with each record's offset in the file\n"
    "\n"
    "A refused file prints the program's message on standard error and exits with 1; a wrong\n"
    "command line exits with 2.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

void Write(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

struct CommandLine {
    std::string_view command;
    bool json = false;
    bool progress = false;
    std::optional<std::string> program;
    std::optional<std::string> operand;
};

// The options each command takes; nullopt when the command line is wrong.
std::optional<CommandLine> Parse(const std::vector<std::string_view>& args) {
    if (args.empty() || (args[0] != "show" && args[0] != "list" && args[0] != "template"))
        return std::nullopt;
    CommandLine line;
    line.command = args[0];
    const bool show = line.command == "show";
    const bool list = line.command == "list";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--json" && !line.json) {
            line.json = true;
        } else if (show && arg == "--progress" && !line.progress) {
            line.progress = true;
        } else if (list && arg == "--program" && !line.program && i + 1 < args.size()) {
            line.program = std::string(args[++i]);
        } else if (!line.operand && !arg.starts_with("--")) {
            line.operand = std::string(arg);
        } else {
            return std::nullopt;
        }
    }
    if (!line.operand)
        return std::nullopt;
    return line;
}

std::string Run(const CommandLine& line) {
    if (line.command == "template")
        return FormatTemplate(*line.operand, line.json);
    TsxLocalizer& localizer = *Localizer();
    if (line.command == "show") {
        if (line.progress)
            localizer.OnProgress = [](TsxLocalizer&, std::int32_t total, std::int32_t current) {
                Write(stderr, "progress " + std::to_string(total) + " " + std::to_string(current) + "\n");
            };
        localizer.LoadFromFile(*line.operand);
        return line.json ? FormatAsJson(localizer) : FormatAsText(localizer);
    }
    if (line.program)
        FindLangFiles(localizer.LangFiles(), *line.operand, *line.program);
    else
        localizer.FindLangFiles(*line.operand);
    return line.json ? FormatLangFilesAsJson(localizer.LangFiles(), *Languages())
                     : FormatLangFilesAsText(localizer.LangFiles(), *Languages());
}

} // namespace

int main(int argc, char** argv) {
    os::SetBinaryStdio();
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::optional<CommandLine> line = Parse(args);
    if (!line)
        return Usage();
    std::string output;
    try {
        output = Run(*line);
    } catch (const Exception& e) {
        Write(stderr, "langfile: " + AnsiToUtf8(e.Message()) + "\n");
        return 1;
    }
    Write(stdout, output);
    return 0;
}
