// The localiser: loading a language file into the stores, the header, progress and the state after
// every kind of failure.
#include "sxLocalizer.h"

#include "Exceptions.h"
#include "TempDirTest.h"
#include "sxLangFile.h"
#include "sxLanguages.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

constexpr const char* kEnglish = R"(<Language><Info Lang_ID="1033" Lang_Name="English" Lang_Ext="ENU"/>)";

class LocalizerTest : public TempDirTest {
protected:
    std::string Lang(const std::string& body, const char* name = "test.ENU") {
        return WriteFile(name, std::string(kEnglish) + body + "</Language>");
    }

    void ExpectEmptyHeader() const {
        EXPECT_FALSE(localizer.Loaded());
        EXPECT_EQ(localizer.Version(), 0);
        EXPECT_EQ(localizer.LangID(), 0);
        EXPECT_EQ(localizer.LangName(), u"");
        EXPECT_EQ(localizer.LangExt(), "");
    }

    void ExpectBracketsClosed() const {
        EXPECT_EQ(localizer.ResourceStrings().UpdateCount(), 0);
        EXPECT_EQ(localizer.Forms().UpdateCount(), 0);
    }

    // Records every progress report of the localiser in `progress`.
    void RecordProgress() {
        localizer.OnProgress = [this](TsxLocalizer& sender, std::int32_t total, std::int32_t current) {
            EXPECT_EQ(&sender, &localizer);
            progress.emplace_back(total, current);
        };
    }

    TsxLocalizer localizer;
    std::vector<std::pair<int, int>> progress;
};

TEST_F(LocalizerTest, StartsEmptyAndInactive) {
    ExpectEmptyHeader();
    EXPECT_FALSE(localizer.Active());
    EXPECT_EQ(localizer.ResourceStrings().Count(), 0);
    EXPECT_EQ(localizer.Forms().Count(), 0);
    EXPECT_EQ(localizer.LangFiles().Count(), 0);
    EXPECT_FALSE(localizer.OnProgress);
}

TEST_F(LocalizerTest, LoadFillsTheStoresAndWritesTheHeader) {
    localizer.LoadFromFile(Lang(R"(
<Resource_Strings><String ID="9">nine</String><String ID="2">two</String><String ID="0">skipped</String></Resource_Strings>
<RCData>
  <Property Form="TMainForm" Property="Caption">Main</Property>
  <Property Form="TAbout" Property="Caption">About</Property>
  <Property Form=" tmainform " Property=" Label1.Caption ">Label</Property>
  <Property Form="TMAINFORM" Property="Caption">Main again</Property>
</RCData>)"));
    EXPECT_TRUE(localizer.Loaded());
    EXPECT_EQ(localizer.Version(), 1);
    EXPECT_EQ(localizer.LangID(), 1033);
    EXPECT_EQ(localizer.LangName(), u"English");
    EXPECT_EQ(localizer.LangExt(), "ENU");

    const TsxResourceStringsList& strings = localizer.ResourceStrings();
    ASSERT_EQ(strings.Count(), 2);
    EXPECT_EQ(strings.Items(0)->Identifier, 2);
    EXPECT_EQ(strings.Items(1)->Identifier, 9);
    EXPECT_EQ(localizer.GetResourceString(9), u"nine");
    EXPECT_EQ(localizer.GetResourceString(3), u"");

    // Entries of one form spread over the file gather in one entry, under the key first written.
    const TsxRCDataFormList& forms = localizer.Forms();
    ASSERT_EQ(forms.Count(), 2);
    EXPECT_EQ(forms.Items(0)->FormName, "TMainForm");
    EXPECT_EQ(forms.Items(1)->FormName, "TAbout");
    const TsxRCDataProperyList& main = forms.Items(0)->Properties();
    ASSERT_EQ(main.Count(), 3);
    EXPECT_EQ(main.Items(0)->Value, "Main");
    EXPECT_EQ(main.Items(1)->PropPath, "Label1.Caption");
    EXPECT_EQ(main.Items(2)->Value, "Main again");
    ExpectBracketsClosed();
}

// What the form store holds, as "form: path=value, ..." lines.
std::vector<std::string> FormStore(const TsxLocalizer& localizer) {
    std::vector<std::string> lines;
    for (int f = 0; f < localizer.Forms().Count(); ++f) {
        const TsxRCDataFormItem* form = localizer.Forms().Items(f);
        std::string line = form->FormName + ":";
        for (int p = 0; p < form->Properties().Count(); ++p)
            line += " " + form->Properties().Items(p)->PropPath + "=" + form->Properties().Items(p)->Value;
        lines.push_back(line);
    }
    return lines;
}

TEST_F(LocalizerTest, FormEntriesGatherTheSameWithAndWithoutAProgressHandler) {
    const std::string file = Lang(R"(<RCData>
  <Property Form="TB" Property="1">b1</Property><Property Form="ta" Property="1">a1</Property>
  <Property Form=" TA" Property="2">a2</Property><Property Form="Tb " Property="2">b2</Property>
  <Property Form="TC" Property="1">c1</Property><Property Form="TA" Property="3">a3</Property>
  <Property Form="tb" Property="3">b3</Property><Property Form="TAB" Property="1">ab1</Property>
</RCData>)");
    localizer.LoadFromFile(file);
    const std::vector<std::string> expected = {"TB: 1=b1 2=b2 3=b3", "ta: 1=a1 2=a2 3=a3", "TC: 1=c1",
                                               "TAB: 1=ab1"};
    EXPECT_EQ(FormStore(localizer), expected);
    RecordProgress();
    localizer.LoadFromFile(file);
    EXPECT_EQ(FormStore(localizer), expected);
}

TEST_F(LocalizerTest, LoadingAnotherFileLeavesNothingOfTheFirst) {
    localizer.LoadFromFile(
        Lang(R"(<Resource_Strings><String ID="1">a</String><String ID="2">b</String></Resource_Strings>
<RCData><Property Form="TA" Property="P">a</Property></RCData>)",
             "a.ENU"));
    localizer.LoadFromFile(WriteFile("b.DEU", R"(<L><Info Lang_ID="1031" Lang_Name="Deutsch" Lang_Ext="DEU"/>
<Resource_Strings><String ID="2">zwei</String></Resource_Strings></L>)"));
    EXPECT_EQ(localizer.LangID(), 1031);
    EXPECT_EQ(localizer.GetResourceString(1), u"");
    EXPECT_EQ(localizer.GetResourceString(2), u"zwei");
    EXPECT_EQ(localizer.ResourceStrings().Count(), 1);
    EXPECT_EQ(localizer.Forms().Count(), 0);
}

TEST_F(LocalizerTest, ProgressCountsEveryElementSkippedOnesIncluded) {
    RecordProgress();
    localizer.LoadFromFile(
        Lang(R"(<Resource_Strings><String ID="1">a</String><String ID="2">b</String></Resource_Strings>
<RCData><Property Form="F" Property="P">x</Property><Property Form="" Property="P">skipped</Property>
<Property Form="F" Property="Q">y</Property></RCData>)"));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{5, 0}, {5, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}}));
}

TEST_F(LocalizerTest, ProgressOfAHeaderOnlyFileAndOfARefusedOne) {
    RecordProgress();
    localizer.LoadFromFile(Lang(""));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_TRUE(localizer.Loaded());
    progress.clear();
    EXPECT_THROW(localizer.LoadFromFile(WriteFile("bad.ENU", "<L><Info Lang_ID=\"0\"/></L>")),
                 EsxLangFileError);
    EXPECT_TRUE(progress.empty());
}

TEST_F(LocalizerTest, MissingFileChangesNothing) {
    localizer.LoadFromFile(Lang(R"(<Resource_Strings><String ID="1">a</String></Resource_Strings>)"));
    EXPECT_THROW(localizer.LoadFromFile(Path("none.ENU")), EsxLangFileError);
    EXPECT_TRUE(localizer.Loaded());
    EXPECT_EQ(localizer.LangID(), 1033);
    EXPECT_EQ(localizer.GetResourceString(1), u"a");
}

TEST_F(LocalizerTest, DamagedFileEmptiesHeaderAndStores) {
    localizer.LoadFromFile(Lang(R"(<Resource_Strings><String ID="1">a</String></Resource_Strings>
<RCData><Property Form="F" Property="P">x</Property></RCData>)"));
    EXPECT_THROW(localizer.LoadFromFile(WriteFile(
                     "v2.ENU", R"(<L><Info Lang_ID="1" Lang_Name="x" Lang_Ext="X" Version="2"/></L>)")),
                 EsxLangFileError);
    ExpectEmptyHeader();
    EXPECT_EQ(localizer.ResourceStrings().Count(), 0);
    EXPECT_EQ(localizer.Forms().Count(), 0);
    ExpectBracketsClosed();
}

TEST_F(LocalizerTest, ErrorInTheMiddleKeepsWhatWasAddedAndClosesBothBrackets) {
    localizer.LoadFromFile(Lang(""));
    EXPECT_THROW(
        localizer.LoadFromFile(Lang(R"(<Resource_Strings><String ID="1">a</String><String ID="x">b</String>
<String ID="3">c</String></Resource_Strings><RCData><Property Form="F" Property="P">x</Property></RCData>)")),
        EConvertError);
    ExpectEmptyHeader();
    EXPECT_EQ(localizer.ResourceStrings().Count(), 1);
    EXPECT_EQ(localizer.Forms().Count(), 0);
    ExpectBracketsClosed();
}

TEST_F(LocalizerTest, AnErrorOfTheProgressHandlerEndsTheLoadLikeAnyOther) {
    localizer.OnProgress = [](TsxLocalizer&, std::int32_t, std::int32_t current) {
        if (current == 3)
            throw Exception("stopped");
    };
    EXPECT_THROW(localizer.LoadFromFile(Lang(R"(<Resource_Strings><String ID="1">a</String></Resource_Strings>
<RCData><Property Form="F" Property="P">x</Property><Property Form="F" Property="Q">y</Property></RCData>)")),
                 Exception);
    ExpectEmptyHeader();
    EXPECT_EQ(localizer.ResourceStrings().Count(), 1);
    ASSERT_EQ(localizer.Forms().Count(), 1);
    EXPECT_EQ(localizer.Forms().Items(0)->Properties().Count(), 1);
    ExpectBracketsClosed();
}

// Identifiers out of order: at every progress call, and after a load that an error ends, the store
// stands as moving each new item into place at once would leave it, and a lookup finds every item
// added so far.
TEST_F(LocalizerTest, TheStoreIsInOrderWheneverItIsLookedAtDuringTheLoad) {
    std::vector<std::vector<std::int32_t>> seen;
    localizer.OnProgress = [&](TsxLocalizer& sender, std::int32_t, std::int32_t current) {
        std::vector<std::int32_t> ids;
        for (int i = 0; i < sender.ResourceStrings().Count(); ++i)
            ids.push_back(sender.ResourceStrings().Items(i)->Identifier);
        seen.push_back(ids);
        if (current == 4) {
            EXPECT_EQ(sender.GetResourceString(2), u"two");
        }
    };
    EXPECT_THROW(localizer.LoadFromFile(Lang(R"(<Resource_Strings><String ID="9">nine</String>
<String ID="2">two</String><String ID="5">five</String><String ID="2">again</String><String ID="1">one</String>
<String ID="x">bad</String></Resource_Strings>)")),
                 EConvertError);
    using Ids = std::vector<std::int32_t>;
    EXPECT_EQ(seen, (std::vector<Ids>{{}, {}, {9}, {2, 9}, {2, 5, 9}, {2, 2, 5, 9}, {1, 2, 2, 5, 9}}));
    EXPECT_EQ(localizer.ResourceStrings().Items(2)->Text(), u"again");

    // Without a handler nothing looks during the load; the first look after it sees the same order.
    localizer.OnProgress = nullptr;
    EXPECT_THROW(localizer.LoadFromFile(Lang(R"(<Resource_Strings><String ID="9">nine</String>
<String ID="2">two</String><String ID="5">five</String><String ID="2">again</String><String ID="1">one</String>
<String ID="x">bad</String></Resource_Strings>)")),
                 EConvertError);
    EXPECT_EQ(localizer.GetResourceString(5), u"five");
    Ids ids;
    for (int i = 0; i < localizer.ResourceStrings().Count(); ++i)
        ids.push_back(localizer.ResourceStrings().Items(i)->Identifier);
    EXPECT_EQ(ids, (Ids{1, 2, 2, 5, 9}));
    EXPECT_EQ(localizer.ResourceStrings().Items(2)->Text(), u"again");
    ExpectBracketsClosed();
}

TEST_F(LocalizerTest, ClearEmptiesStoresAndHeaderOnly) {
    localizer.LoadFromFile(Lang(R"(<Resource_Strings><String ID="1">a</String></Resource_Strings>)"));
    localizer.Clear();
    ExpectEmptyHeader();
    EXPECT_EQ(localizer.ResourceStrings().Count(), 0);
    EXPECT_FALSE(localizer.Active());
}

TEST(ProgramObjects, TheLocaleTableAndTheLocaliserExistForTheWholeRun) {
    ASSERT_NE(Languages(), nullptr);
    EXPECT_GT(Languages()->Count(), 0);
    ASSERT_NE(Localizer(), nullptr);
    EXPECT_FALSE(Localizer()->Active());
}

} // namespace
