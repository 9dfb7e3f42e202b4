// The operating-system layer's program path, file search and locales, against Wine in the Windows
// build and the in-process implementation natively. Run with LANG=en_US.UTF-8 (code page 1252).
#include "Os.h"
#include "TempDirTest.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

TEST(ProgramPath, NamesThisTestProgram) {
    std::string path = os::ProgramPath();
    std::string name = path.substr(path.find_last_of(os::FolderDelimiters) + 1);
#ifdef _WIN32
    EXPECT_EQ(name, "os_tests.exe");
#else
    EXPECT_EQ(name, "os_tests");
#endif
    EXPECT_TRUE(os::FileExists(path)) << path;
}

using FindFilesTest = TempDirTest;

const os::FindEntry* FindByName(const std::vector<os::FindEntry>& entries, const std::string& name) {
    auto found =
        std::find_if(entries.begin(), entries.end(), [&](const os::FindEntry& e) { return e.Name == name; });
    return found == entries.end() ? nullptr : &*found;
}

TEST_F(FindFilesTest, GivesEveryEntryWithItsAttributes) {
    std::filesystem::create_directory(dir_ / "sub");
    WriteFile("file.txt", "x");
#ifdef _WIN32
    std::string hiddenName = "hidden.txt";
    WriteFile(hiddenName, "x");
    WriteFile("system.txt", "x");
    ASSERT_TRUE(SetFileAttributesA(Path(hiddenName).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(Path("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
#else
    std::string hiddenName = ".hidden";
    std::filesystem::create_directory(dir_ / hiddenName);
#endif

    std::vector<os::FindEntry> entries = os::FindFiles(Path("") + "*");
#ifdef _WIN32
    ASSERT_EQ(entries.size(), 6u);
    const os::FindEntry* system = FindByName(entries, "system.txt");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(system->System);
    EXPECT_FALSE(system->Hidden);
#else
    ASSERT_EQ(entries.size(), 5u);
#endif
    struct Expected {
        std::string Name;
        bool Directory;
        bool Hidden;
    };
    for (const Expected& e :
         {Expected{".", true, false}, Expected{"..", true, false}, Expected{"sub", true, false},
          Expected{"file.txt", false, false}, Expected{hiddenName, hiddenName[0] == '.', true}}) {
        const os::FindEntry* entry = FindByName(entries, e.Name);
        ASSERT_NE(entry, nullptr) << e.Name;
        EXPECT_EQ(entry->Directory, e.Directory) << e.Name;
        EXPECT_EQ(entry->Hidden, e.Hidden) << e.Name;
        EXPECT_FALSE(entry->System) << e.Name;
    }
}

TEST_F(FindFilesTest, FindsNothingInAFolderThatDoesNotExist) {
    EXPECT_TRUE(os::FindFiles(Path("missing") + os::PathDelim + "*").empty());
    EXPECT_NE(os::LastError(), 0u);
}

#ifndef _WIN32
TEST_F(FindFilesTest, NativelyAcceptsOnlyTheStarPattern) {
    WriteFile("file.txt", "x");
    for (const char* name : {"*.txt", "file.txt", "", "?"}) {
        EXPECT_TRUE(os::FindFiles(Path("") + name).empty()) << name;
        EXPECT_EQ(os::LastError(), static_cast<std::uint32_t>(EINVAL)) << name;
    }
}
#endif

std::vector<std::string> AllLocaleIds() {
    std::vector<std::string> ids;
    EXPECT_TRUE(os::EnumSupportedLocales([&](const char* id) {
        ids.emplace_back(id);
        return true;
    }));
    return ids;
}

TEST(EnumSupportedLocales, GivesEightHexDigitsPerLocale) {
    std::vector<std::string> ids = AllLocaleIds();
    EXPECT_GT(ids.size(), 200u);
    for (const std::string& id : ids)
        EXPECT_TRUE(id.size() == 8 && id.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos)
            << id;
    EXPECT_NE(std::find(ids.begin(), ids.end(), "00000409"), ids.end());
}

TEST(EnumSupportedLocales, StopsWhenTheCallbackSaysSo) {
    int calls = 0;
    EXPECT_TRUE(os::EnumSupportedLocales([&](const char*) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3);
}

TEST(EnumSupportedLocales, ACallbackMayEnumerateToo) {
    std::vector<std::string> all = AllLocaleIds();
    std::vector<std::string> outer;
    std::size_t inner = 0;
    os::EnumSupportedLocales([&](const char* id) {
        if (outer.empty())
            inner = AllLocaleIds().size();
        outer.emplace_back(id);
        return true;
    });
    EXPECT_EQ(inner, all.size());
    EXPECT_EQ(outer, all);
}

TEST(EnumSupportedLocales, AnExceptionOfTheCallbackEndsTheEnumeration) {
    int calls = 0;
    EXPECT_THROW(os::EnumSupportedLocales([&](const char*) -> bool {
                     if (++calls == 2)
                         throw std::runtime_error("stop");
                     return true;
                 }),
                 std::runtime_error);
    EXPECT_EQ(calls, 2);
    EXPECT_GT(AllLocaleIds().size(), 200u); // the next enumeration is not disturbed
}

TEST(GetLocaleText, GivesTheItemsInTheAnsiCodePage) {
    ASSERT_EQ(os::AnsiCodePage(), 1252u) << "run with LANG=en_US.UTF-8";
    struct Case {
        std::uint32_t LangId;
        int Item;
        const char* Expected;
    };
    for (const Case& c : {
             Case{0x0409, os::LocaleAbbrevLanguage, "ENU"},
             Case{0x0409, os::LocaleLanguage, "English (United States)"},
             Case{0x0419, os::LocaleAbbrevLanguage, "RUS"},
             Case{0x0419, os::LocaleLanguage, "Russian (Russia)"},
             Case{0x0407, os::LocaleAbbrevLanguage, "DEU"},
             Case{0x200c, os::LocaleLanguage, "French (R\xE9union)"}, // in code page 1252
             Case{0x0481, os::LocaleLanguage, "M?ori (New Zealand)"}, // long a: not in 1252
             Case{0x0414, os::LocaleLanguage, "Norwegian Bokm\xE5l (Norway)"},
             Case{0xffff, os::LocaleAbbrevLanguage, ""},     // no such locale
             Case{0x10407, os::LocaleAbbrevLanguage, "DEU"}, // only the low 16 bits count
         })
        EXPECT_EQ(os::GetLocaleText(c.LangId, c.Item), c.Expected) << std::hex << c.LangId << " " << c.Item;
}

} // namespace
