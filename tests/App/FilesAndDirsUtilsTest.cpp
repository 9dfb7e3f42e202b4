// Quorlin's folder rules and its command-line switch.
#include "FilesAndDirsUtils.h"

#include "Os.h"
#include "PlatformPath.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FilesAndDirsUtils, ParentOfTheProgramsFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\App\\Bin\\", "C:\\App"},
        {"C:\\App\\Bin", "C:\\App"},
        {"C:\\Bin\\", "C:"},
        // Nothing left to drop: the text stays.
        {"Bin\\", "Bin"},
        {"Bin", "Bin"},
        {"", ""},
        {"\\", ""},
    };
    for (const auto& [folder, parent] : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(ParentDirOf(P(folder)), P(parent));
    }
    // The program of this test lies in a folder of the build tree, below its parent.
    const AnsiString parent = GetProgramParentDir();
    EXPECT_FALSE(parent.empty());
    EXPECT_NE(parent.back(), os::PathDelim);
}

TEST(FilesAndDirsUtils, IncludePathDelimiter) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"C:\\App", "C:\\App\\"},
        {"C:\\App\\", "C:\\App\\"},
        {"C:", "C:"},
        {"C", "C:\\"},
        {"z", "z:\\"},
        {"1", "1\\"},
        {"\\", "\\"},
        {"ab", "ab\\"},
    };
    for (const auto& [path, result] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(IncludePathDelimiter(P(path)), P(result));
    }
}

TEST(FilesAndDirsUtils, TheExtractionSwitch) {
    const std::pair<std::vector<AnsiString>, bool> cases[] = {
        {{"-EXTRACT_LANG"}, true},
        {{"/extract_lang"}, true},
        {{"-Extract_Lang"}, true},
        {{"first", "second", "/EXTRACT_LANG", "last"}, true},
        {{}, false},
        {{"EXTRACT_LANG"}, false},
        {{"--EXTRACT_LANG"}, false},
        {{"-EXTRACT_LANG=1"}, false},
        {{"-EXTRACT_LANG "}, false},
        {{"\\EXTRACT_LANG"}, false},
        {{"-"}, false},
        {{""}, false},
    };
    for (const auto& [args, found] : cases) {
        SCOPED_TRACE(args.empty() ? "(none)" : args.front());
        EXPECT_EQ(FindCmdLineSwitch(args, "EXTRACT_LANG"), found);
    }
}

} // namespace
