// The locale table against the system's supported locales: Wine's in the Windows build, the copy of
// them in LocaleTable.inc natively. The expectations are the same for both. Run with
// LANG=ru_RU.UTF-8: the ANSI code page is 1251.
#include "Exceptions.h"
#include "Os.h"
#include "sxLanguages.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The program-wide table for every test of this program (this file and LangFileListTest.cpp),
// unless the program's initialisation has made it already.
class ProgramLanguagesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (Languages() == nullptr) {
            CreateLanguages();
            created_ = true;
        }
    }
    void TearDown() override {
        if (created_)
            ReleaseLanguages();
    }

private:
    bool created_ = false;
};

[[maybe_unused]] ::testing::Environment* const programLanguages =
    ::testing::AddGlobalTestEnvironment(new ProgramLanguagesEnvironment);

const TsxLanguages& Table() {
    return *Languages();
}

std::vector<std::string> SystemLocaleIds() {
    std::vector<std::string> ids;
    os::EnumSupportedLocales([&](const char* id) {
        ids.emplace_back(id);
        return true;
    });
    return ids;
}

TEST(Languages, HoldsOneRecordPerSupportedLocaleInTheSystemsOrder) {
    ASSERT_NE(Languages(), nullptr);
    // Every locale that Wine supports has an abbreviation, so none is left out.
    std::vector<std::string> ids = SystemLocaleIds();
    ASSERT_EQ(Table().Count(), static_cast<int>(ids.size()));
    EXPECT_GT(Table().Count(), 200);
    for (int i = 0; i < Table().Count(); ++i) {
        EXPECT_EQ(Table().LangID(i), static_cast<std::int32_t>(std::strtoul(ids[i].c_str() + 4, nullptr, 16)))
            << ids[i];
        EXPECT_FALSE(Table().LangExt(i).empty()) << ids[i];
    }
}

TEST(Languages, KnowsTheCommonLanguages) {
    struct Case {
        const char* Ext;
        std::int32_t LangID;
        const char* LangName;
    };
    for (const Case& c : {Case{"ENU", 1033, "English (United States)"}, Case{"RUS", 1049, "Russian (Russia)"},
                          Case{"DEU", 1031, "German (Germany)"}, Case{"FRA", 1036, "French (France)"}}) {
        int index = Table().IndexOfLangExt(c.Ext);
        ASSERT_NE(index, -1) << c.Ext;
        EXPECT_EQ(Table().IndexOfLangID(c.LangID), index) << c.Ext;
        EXPECT_EQ(Table().LangID(index), c.LangID) << c.Ext;
        EXPECT_EQ(Table().LangExt(index), c.Ext);
        EXPECT_EQ(Table().LangName(index), c.LangName);
    }
}

TEST(Languages, NamesAreInTheAnsiCodePage) {
    ASSERT_EQ(os::AnsiCodePage(), 1251u) << "run with LANG=ru_RU.UTF-8";
    // "French (Réunion)": é is not in code page 1251.
    EXPECT_EQ(Table().LangName(Table().IndexOfLangID(0x200c)), "French (R?union)");
}

TEST(Languages, IndexOfLangExtComparesAsciiCaseOnlyAndWholeTexts) {
    int enu = Table().IndexOfLangID(1033);
    struct Case {
        const char* Ext;
        int Expected;
    };
    for (const Case& c : {Case{"ENU", enu}, Case{"enu", enu}, Case{"eNu", enu}, Case{"ENU ", -1},
                          Case{" ENU", -1}, Case{"EN", -1}, Case{"ENUS", -1}, Case{"", -1},
                          Case{"English", -1}, Case{"English (United States)", -1}})
        EXPECT_EQ(Table().IndexOfLangExt(c.Ext), c.Expected) << '"' << c.Ext << '"';
}

TEST(Languages, IndexOfLangIDMissesIdentifiersThatNoRecordCarries) {
    for (std::int32_t id : {0, -1, 0x7FFF, 0xFFFF, 0x10409})
        EXPECT_EQ(Table().IndexOfLangID(id), -1) << id;
}

TEST(Languages, LookupsGiveTheFirstOfSeveralMatches) {
    // Several locales share an abbreviation; QUZ is Quechua of Bolivia, Ecuador and Peru.
    std::vector<int> quz;
    for (int i = 0; i < Table().Count(); ++i)
        if (Table().LangExt(i) == "QUZ")
            quz.push_back(i);
    ASSERT_GT(quz.size(), 1u);
    EXPECT_EQ(Table().IndexOfLangExt("quz"), quz.front());
    EXPECT_EQ(Table().LangID(quz.front()), 0x046b);
}

TEST(Languages, RecordAccessOutsideTheTableRaisesTheListIndexError) {
    for (int index : {-1, Table().Count(), Table().Count() + 7}) {
        std::string expected = "List index out of bounds (" + std::to_string(index) + ")";
        for (auto access :
             {+[](int i) { (void)Table().LangName(i); }, +[](int i) { (void)Table().LangID(i); },
              +[](int i) { (void)Table().LangExt(i); }}) {
            try {
                access(index);
                ADD_FAILURE() << "no error for " << index;
            } catch (const EListError& e) {
                EXPECT_EQ(e.Message(), expected);
            }
        }
    }
}

TEST(EnumLocalesProc, TakesTheLanguageFromTheLastFourDigits) {
    struct Case {
        const char* Text;
        std::int32_t LangID;
        const char* LangExt;
    };
    TsxLanguages languages;
    const Case cases[] = {
        {"00000419", 0x0419, "RUS"},
        {"00010407", 0x0407, "DEU"}, // the upper half (here a sort order) is
                                     // dropped
        {"0000040C", 0x040c, "FRA"},
        {"0000040c", 0x040c, "FRA"},
        {"ffff0409", 0x0409, "ENU"},
        {"000004090", 0x0409, "ENU"}, // only characters 5 to 8 count
    };
    for (const Case& c : cases)
        EXPECT_TRUE(EnumLocalesProc(languages, c.Text)) << c.Text;
    ASSERT_EQ(languages.Count(), static_cast<int>(std::size(cases)));
    for (int i = 0; i < languages.Count(); ++i) {
        EXPECT_EQ(languages.LangID(i), cases[i].LangID) << cases[i].Text;
        EXPECT_EQ(languages.LangExt(i), cases[i].LangExt) << cases[i].Text;
        EXPECT_EQ(languages.LangName(i), Table().LangName(Table().IndexOfLangID(cases[i].LangID)));
    }
}

TEST(EnumLocalesProc, SkipsALocaleWithoutAbbreviation) {
    TsxLanguages languages;
    EXPECT_TRUE(EnumLocalesProc(languages, "0000ffff"));
    EXPECT_TRUE(EnumLocalesProc(languages, "00007fff"));
    EXPECT_EQ(languages.Count(), 0);
}

TEST(EnumLocalesProc, RaisesTheConversionErrorForDigitsThatAreNoHexNumber) {
    TsxLanguages languages;
    for (const char* text : {"0000zz09", "0409", "", "0000 409"})
        EXPECT_THROW(EnumLocalesProc(languages, text), EConvertError) << '"' << text << '"';
    EXPECT_EQ(languages.Count(), 0);
}

TEST(CreateLanguages, MakesTheTableOnceAndFillsItOnEveryCall) {
    int count = Table().Count();
    ReleaseLanguages();
    EXPECT_EQ(Languages(), nullptr);
    CreateLanguages();
    TsxLanguages* made = Languages();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Count(), count);
    // A table that exists is kept, and the locales are appended to it again.
    CreateLanguages();
    EXPECT_EQ(Languages(), made);
    EXPECT_EQ(made->Count(), 2 * count);
    EXPECT_EQ(made->IndexOfLangID(1033), Table().IndexOfLangExt("ENU"));
    // Leave the table as the other tests expect it.
    ReleaseLanguages();
    CreateLanguages();
    EXPECT_EQ(Languages()->Count(), count);
}

} // namespace
