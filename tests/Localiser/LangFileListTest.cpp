// The installed-language list and the scan of the catalogue folder, on real folders. The locale
// table is the program-wide one (made by LanguagesTest.cpp's environment).
#include "Os.h"
#include "TempDirTest.h"
#include "sxLangFileList.h"
#include "sxLanguages.h"

#include <algorithm>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::int32_t LangIDOf(const char* ext) {
    return Languages()->LangID(Languages()->IndexOfLangExt(ext));
}

std::vector<std::string> FileNames(const TsxLangFileList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Items(i)->FileName);
    return names;
}

TEST(LangIDByExt, GivesTheIdentifierOfTheFirstMatchOrZero) {
    struct Case {
        const char* Ext;
        std::int32_t Expected;
    };
    for (const Case& c : {Case{"RUS", 1049}, Case{"rus", 1049}, Case{"ENU", 1033}, Case{"QUZ", 0x046b},
                          Case{"English", 0}, Case{"RUS ", 0}, Case{"", 0}, Case{"R", 0}})
        EXPECT_EQ(LangIDByExt(c.Ext), c.Expected) << '"' << c.Ext << '"';
}

class LangFileListTest : public TempDirTest {
protected:
    // The catalogue folder, ending with the path delimiter.
    std::string Catalogue() const { return Path("") + os::PathDelim; }
    // The path of name (a/b written with "/") inside the catalogue folder, as the scan builds it.
    std::string InCatalogue(const std::string& name) const {
        std::string path = Catalogue() + name;
        for (char& c : path)
            if (c == '/')
                c = os::PathDelim;
        return path;
    }
    void Folder(const std::string& name) const { std::filesystem::create_directories(InCatalogue(name)); }
    void LangFile(const std::string& name) const {
        Folder(name.substr(0, name.rfind('/')));
        WriteFile(name, "<root/>");
    }

    TsxLangFileList list_;
};

TEST_F(LangFileListTest, AddTakesTheExtensionOfTheNamePart) {
    struct Case {
        std::string FileName;
        const char* LangExt; // none: nothing added
    };
    const std::string dir = InCatalogue("x.RUS/");
    const Case cases[] = {
        {dir + "prog.rus", "rus"},    {dir + "prog.ENU", "ENU"},
        {dir + "prog. ENU\t", "ENU"}, // blanks and control characters at the ends go
        {dir + ".DEU", "DEU"},        {dir + "prog.ENU.bak", nullptr}, // only the last "." counts
        {dir + "prog.txt", nullptr},  {dir + "prog", nullptr}, // the "." of the folder part does not count
        {dir + "prog.", nullptr},     {"prog.RUS", "RUS"},
    };
    for (const Case& c : cases) {
        int before = list_.Count();
        TsxLangFileItem* item = list_.Add(c.FileName);
        if (c.LangExt == nullptr) {
            EXPECT_EQ(item, nullptr) << c.FileName;
            EXPECT_EQ(list_.Count(), before) << c.FileName;
            continue;
        }
        ASSERT_NE(item, nullptr) << c.FileName;
        EXPECT_EQ(list_.Items(list_.Count() - 1), item);
        EXPECT_EQ(item->FileName, c.FileName);
        EXPECT_EQ(item->LangExt, c.LangExt);
        EXPECT_EQ(item->LangID, LangIDByExt(c.LangExt));
        EXPECT_EQ(item->LangIndex, Languages()->IndexOfLangID(item->LangID));
    }
    EXPECT_EQ(list_.Count(), 5);
}

TEST_F(LangFileListTest, FindsAFolderInTheLetterCaseOnDisk) {
    LangFile("rus/prog.rus");
    FindLangFiles(list_, Catalogue(), "prog.exe");
    ASSERT_EQ(list_.Count(), 1);
    const TsxLangFileItem* item = list_.Items(0);
    EXPECT_EQ(item->FileName, InCatalogue("rus/prog.rus"));
    EXPECT_EQ(item->LangExt, "rus");
    EXPECT_EQ(item->LangID, LangIDOf("RUS"));
    EXPECT_EQ(item->LangIndex, Languages()->IndexOfLangExt("RUS"));
}

TEST_F(LangFileListTest, IgnoresWhatIsNoLanguageFolderWithTheProgramsFile) {
    LangFile("RUS/prog.ENU");     // the file of another language
    LangFile("English/prog.ENU"); // only abbreviations name folders
    LangFile("English/prog.English");
    WriteFile("ENU", "<root/>"); // a plain file, no folder
    Folder("DEU/prog.DEU");      // a folder where the file should be
    LangFile("FRA/readme.txt");  // no file of the program
    LangFile(".ENU/prog.ENU");   // not an abbreviation (and hidden natively)
    FindLangFiles(list_, Catalogue(), "prog.exe");
    EXPECT_EQ(FileNames(list_), std::vector<std::string>());
}

#ifdef _WIN32
TEST_F(LangFileListTest, SkipsHiddenAndSystemFolders) {
    LangFile("ENU/prog.ENU");
    LangFile("RUS/prog.RUS");
    ASSERT_TRUE(SetFileAttributesA(InCatalogue("ENU").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(InCatalogue("RUS").c_str(), FILE_ATTRIBUTE_SYSTEM));
    FindLangFiles(list_, Catalogue(), "prog.exe");
    EXPECT_EQ(list_.Count(), 0);
    // Without the attribute the same folder counts.
    ASSERT_TRUE(SetFileAttributesA(InCatalogue("ENU").c_str(), FILE_ATTRIBUTE_NORMAL));
    FindLangFiles(list_, Catalogue(), "prog.exe");
    EXPECT_EQ(FileNames(list_), std::vector<std::string>{InCatalogue("ENU/prog.ENU")});
}
#endif

TEST_F(LangFileListTest, ScanningAMissingFolderEmptiesTheList) {
    LangFile("ENU/prog.ENU");
    FindLangFiles(list_, Catalogue(), "prog.exe");
    ASSERT_EQ(list_.Count(), 1);
    FindLangFiles(list_, InCatalogue("missing/"), "prog.exe");
    EXPECT_EQ(list_.Count(), 0);
}

TEST_F(LangFileListTest, TwoScansGiveTheSameList) {
    LangFile("ENU/prog.ENU");
    LangFile("RUS/prog.RUS");
    LangFile("DEU/prog.txt");
    FindLangFiles(list_, Catalogue(), "prog.exe");
    std::vector<std::string> first = FileNames(list_);
    std::vector<std::string> sorted = first;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{InCatalogue("ENU/prog.ENU"), InCatalogue("RUS/prog.RUS")}));
    FindLangFiles(list_, Catalogue(), "prog.exe");
    EXPECT_EQ(FileNames(list_), first);
}

TEST_F(LangFileListTest, FindsTheFilesNamedAfterTheProgram) {
    LangFile("ENU/prog.ENU");
    LangFile("ENU/other.ENU");
    LangFile("ENU/my.prog.ENU");
    LangFile("RUS/prog.RUS");
    struct Case {
        const char* Program;
        std::vector<std::string> Expected;
    };
    for (const Case& c : {Case{"other.exe", {"ENU/other.ENU"}}, Case{"other", {"ENU/other.ENU"}},
                          Case{"my.prog.exe", {"ENU/my.prog.ENU"}}, Case{"none.exe", {}}}) {
        std::vector<std::string> expected;
        for (const std::string& name : c.Expected)
            expected.push_back(InCatalogue(name));
        FindLangFiles(list_, Catalogue(), c.Program);
        EXPECT_EQ(FileNames(list_), expected) << c.Program;
    }
}

TEST_F(LangFileListTest, TheRunningProgramLooksForItsOwnName) {
    LangFile("ENU/prog.ENU");
    LangFile("ENU/catalogue_tests.ENU");
    FindLangFiles(list_, Catalogue());
    EXPECT_EQ(FileNames(list_), std::vector<std::string>{InCatalogue("ENU/catalogue_tests.ENU")});
}

} // namespace
