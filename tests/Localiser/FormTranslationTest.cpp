// Form translation: property paths resolved on a form built from the form resources compiled into
// this program (tests/Components/forms: TMainForm derived from TMainFormBase), the walk of the
// form's class chain and what an error stops.
#include "sxLocalizer.h"
#include "sxPropertyPath.h"

#include "FormLoader.h"
#include "TempDirTest.h"
#include "TestComponents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The fixture form as its resources build it.
class FormFixture {
public:
    FormFixture() {
        if (!LoadFormFromResources(form, HInstance))
            throw std::runtime_error("the form resources are missing");
    }

    TTestLabel& Title() const { return Child<TTestLabel>(form, "Title"); }
    TTestLabel& Hint() const { return Child<TTestLabel>(form, "Hint"); }
    TTestMemo& Notes() const { return Child<TTestMemo>(form, "Notes"); }
    TTestKinds& Kinds() const { return Child<TTestKinds>(form, "Kinds"); }
    TTestSection& Section(int index) const {
        return static_cast<TTestSection&>(*Child<TTestHeader>(form, "Header").Sections()->Items(index));
    }

    // Every text that a path can reach on the fixture, in one line each.
    std::vector<std::string> Texts() const {
        const TTestKinds& kinds = Kinds();
        return {"form " + form.Caption(),
                "title " + Title().Caption(),
                "title.font " + Title().Font()->Name(),
                "hint " + Hint().Caption(),
                "notes " + Notes().Lines()->Text(),
                "section0 " + Section(0).Text() + " " + std::to_string(Section(0).Width()),
                "section1 " + Section(1).Text(),
                "kinds " + kinds.ShortName + "|" + kinds.Text + "|" + rtl::WideToUtf8(kinds.WideText) + "|" +
                    std::to_string(kinds.Count) + "|" + kinds.Font->Name(),
                "kinds.name " + kinds.Name()};
    }

    TMainForm form{nullptr};
};

class SetPropertyTextTest : public FormFixture, public ::testing::Test {};

// Where a path leads: the texts of the fixture after writing "X" along it, as differences from the
// texts as built.
struct PathCase {
    const char* Path;
    // The text lines that change, with the "X" written.
    std::vector<std::string> Changed;
};

const PathCase pathCases[] = {
    // The form by its own name; its component by theirs, whatever the letter case.
    {"MainForm.Caption", {"form X"}},
    {"mainform.CAPTION", {"form X"}},
    {"Title.Caption", {"title X"}},
    {"tITLE.caption", {"title X"}},
    // A component owned by the form is found by its own name, whatever record it was nested in.
    {"Hint.Caption", {"hint X"}},
    // Leading segments that name no component are passed over.
    {"OldPanel.Title.Caption", {"title X"}},
    {"Gone.Older.Title.Caption", {"title X"}},
    // The index of a component segment plays no part.
    {"Title[3].Caption", {"title X"}},
    // The three string kinds.
    {"Kinds.ShortName", {"kinds X|long|Широкий|-100000|Tahoma"}},
    {"Kinds.Text", {"kinds short|X|Широкий|-100000|Tahoma"}},
    {"Kinds.WideText", {"kinds short|long|X|-100000|Tahoma"}},
    // Objects held in properties, to any depth; an index on an object that is no collection is
    // passed over.
    {"Title.Font.Name", {"title.font X"}},
    {"Kinds.Font.Name", {"kinds short|long|Широкий|-100000|X"}},
    {"Title.Font[0].Name", {"title.font X"}},
    // A component reference leads to the component referred to (Kinds.Buddy is Title).
    {"Kinds.Buddy.Caption", {"title X"}},
    // Collection items.
    {"Header.Sections[1].Text", {"section1 X"}},
    {"header.sections[ 0 ].text", {"section0 X 80"}},
    // Lines of a string list, by its pseudo-property or by an index on the list property; blanks
    // around the name and the number and anything after "]" are ignored.
    {"Notes.Lines.Strings[1]", {"notes first line\r\nX\r\n"}},
    {"Notes.Lines[0]", {"notes X\r\nsecond line\r\n"}},
    {"Notes.Lines.Strings [ 1 ] and more", {"notes first line\r\nX\r\n"}},
    {"Notes.Lines. Strings[0]", {"notes X\r\nsecond line\r\n"}},
    // A middle segment with an index naming no property leads to the string-list case.
    {"Notes.Lines.Items[1]", {"notes first line\r\nX\r\n"}},

    // Paths that lead nowhere write nothing.
    {"Caption", {}},
    {"Nobody.Caption", {}},
    {"Title .Caption", {}},
    {"", {}},
    {".Caption", {}},
    {"Title..Caption", {}},
    {"Title.", {}},
    {"Title.Caption.", {}},
    {"Title.Font.Name.", {}},
    // Kinds other than the strings.
    {"Kinds.Count", {}},
    {"Kinds.Alignment", {}},
    {"Kinds.Enabled", {}},
    {"Kinds.Ratio", {}},
    {"Kinds.OnChange", {}},
    {"Kinds.Font", {}},
    {"Title.Font.Size", {}},
    {"Header.Sections[0].Width", {}},
    // A middle property that holds no object, or an index on what is no string list.
    {"Title.Width.Caption", {}},
    {"Title.Caption.Length", {}},
    {"Title.Caption[0]", {}},
    {"Title[0]", {}},
    {"Title.Font[0]", {}},
    {"Header.Sections[1]", {}},
    {"Title.Nothing[0].Caption", {}},
    // Line indexes outside the list: at its end, beyond, negative.
    {"Notes.Lines.Strings[2]", {}},
    {"Notes.Lines[7]", {}},
    {"Notes.Lines.Strings[-2]", {}},
    {"Notes.Lines[-2147483648]", {}},
};

TEST_F(SetPropertyTextTest, WritesWhereThePathLeads) {
    const std::vector<std::string> before = Texts();
    for (const PathCase& c : pathCases) {
        SCOPED_TRACE(c.Path);
        FormFixture fresh;
        SetPropertyText(&fresh.form, c.Path, "X");
        const std::vector<std::string> after = fresh.Texts();
        std::vector<std::string> changed;
        for (std::size_t i = 0; i < after.size(); ++i)
            if (after[i] != before[i])
                changed.push_back(after[i]);
        EXPECT_EQ(changed, c.Changed);
    }
}

struct PathErrorCase {
    const char* Path;
    const char* ClassName;
    const char* Message;
    const char* Text = "X";
};

const PathErrorCase pathErrorCases[] = {
    // A last or middle segment without index naming no property.
    {"Title.Missing", "EPropertyError", "Property Missing does not exist"},
    {"Title.Nothing.Caption", "EPropertyError", "Property Nothing does not exist"},
    // The form's name followed by a component's: the component is no property of the form.
    {"MainForm.Title.Caption", "EPropertyError", "Property Title does not exist"},
    // A string list has no property Strings: only an index makes it a line.
    {"Notes.Lines.Strings", "EPropertyError", "Property Strings does not exist"},
    {"Notes.Lines.Strings[-1]", "EPropertyError", "Property Strings does not exist"},
    // The collection itself has no item properties.
    {"Header.Sections.Text", "EPropertyError", "Property Text does not exist"},
    // A collection index out of range.
    {"Header.Sections[2].Text", "EListError", "List index out of bounds (2)"},
    {"Header.Sections[99].Text", "EListError", "List index out of bounds (99)"},
    // Malformed indexes, in any segment.
    {"Title.Caption[", "Exception", "Invalid property name"},
    {"Title[.Caption", "Exception", "Invalid property name"},
    {"Notes.Lines[1.5]", "Exception", "Invalid property name"},
    {"Notes.Lines[x]", "EConvertError", "'x' is not a valid integer value"},
    {"Notes.Lines[ ]", "EConvertError", "'' is not a valid integer value"},
    {"Nobody[1 2].Caption", "EConvertError", "'1 2' is not a valid integer value"},
    {"Notes.Lines[2147483648]", "EConvertError", "'2147483648' is not a valid integer value"},
    // The property's setter refuses the text.
    {"Title.Name", "EComponentError", "'bad name' is not a valid component name", "bad name"},
    {"Kinds.Name", "EComponentError", "A component named Title already exists", "Title"},
};

TEST_F(SetPropertyTextTest, ErrorsThatEscape) {
    const std::vector<std::string> before = Texts();
    for (const PathErrorCase& c : pathErrorCases) {
        SCOPED_TRACE(c.Path);
        FormFixture fresh;
        try {
            SetPropertyText(&fresh.form, c.Path, c.Text);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.ClassName(), c.ClassName);
            EXPECT_EQ(e.Message(), c.Message);
        }
        EXPECT_EQ(fresh.Texts(), before);
    }
}

TEST_F(SetPropertyTextTest, NoRootWritesNothing) {
    EXPECT_NO_THROW(SetPropertyText(nullptr, "Title.Missing", "X"));
    EXPECT_NO_THROW(SetPropertyText(nullptr, "Title.Caption[", "X"));
}

TEST_F(SetPropertyTextTest, TextsGoThroughTheSetters) {
    TTestKinds& kinds = Kinds();
    const int sets = kinds.Sets;
    const int changes = Title().TextChanges;
    SetPropertyText(&form, "Kinds.Text", "changed");
    SetPropertyText(&form, "Kinds.WideText", "changed");
    SetPropertyText(&form, "Title.Caption", "changed");
    EXPECT_EQ(kinds.Sets, sets + 2);
    EXPECT_EQ(Title().TextChanges, changes + 1);
}

TEST_F(SetPropertyTextTest, EightBitTextsAreConvertedAsTheKindRequires) {
    // The process runs in code page 1251: "\xCF\xF0\xE8" is "При".
    SetPropertyText(&form, "Kinds.WideText", "\xCF\xF0\xE8");
    EXPECT_EQ(Kinds().WideText, u"\u041F\u0440\u0438");
    // A short string keeps its first 255 bytes.
    SetPropertyText(&form, "Kinds.ShortName", std::string(300, 'a'));
    EXPECT_EQ(Kinds().ShortName, std::string(255, 'a'));
    SetPropertyText(&form, "Kinds.Text", std::string(300, 'a'));
    EXPECT_EQ(Kinds().Text, std::string(300, 'a'));
}

TEST_F(SetPropertyTextTest, AReplacedLineKeepsItsObject) {
    TStrings& lines = *Notes().Lines();
    lines.SetObjects(1, &form);
    SetPropertyText(&form, "Notes.Lines.Strings[1]", "other");
    EXPECT_EQ(lines.Strings(1), "other");
    EXPECT_EQ(lines.Objects(1), &form);
    EXPECT_EQ(lines.Count(), 2);
}

struct SplitCase {
    const char* Segment;
    const char* Name;
    std::int32_t Index;
};

TEST(SplitIndexTest, SplitsNameAndIndex) {
    const SplitCase cases[] = {
        {"Caption", "Caption", -1},
        // Without "[" the segment stays exactly as it is, blanks included.
        {" Caption ", " Caption ", -1},
        {"Caption]", "Caption]", -1},
        {"Lines[0]", "Lines", 0},
        {"  Lines [ 12 ] ", "Lines", 12},
        {"Strings[3]rest", "Strings", 3},
        {"Items[-5]", "Items", -5},
        {"Items[+7]", "Items", 7},
        {"Items[$1F]", "Items", 31},
        {"Items[2147483647]", "Items", 2147483647},
        {"Items[-2147483648]", "Items", -2147483647 - 1},
        {"[4]", "", 4},
        {"A[1][2]", "A", 1},
        {"A[1]]", "A", 1},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.Segment);
        AnsiString segment = c.Segment;
        std::int32_t index = 99;
        SplitIndex(segment, index);
        EXPECT_EQ(segment, c.Name);
        EXPECT_EQ(index, c.Index);
    }
}

TEST(SplitIndexTest, MalformedIndexes) {
    const std::pair<const char*, const char*> cases[] = {
        {"Lines[", "Invalid property name"},
        {"Lines[0", "Invalid property name"},
        {"Lines [ 0", "Invalid property name"},
        {"Lines[]", "'' is not a valid integer value"},
        {"Lines[ a ]", "'a' is not a valid integer value"},
        {"Lines[1e3]", "'1e3' is not a valid integer value"},
        {"Lines[-2147483649]", "'-2147483649' is not a valid integer value"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        AnsiString segment = text;
        std::int32_t index = 99;
        try {
            SplitIndex(segment, index);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), message);
        }
        // The name and the first -1 are set before the index is read.
        EXPECT_EQ(segment, "Lines");
        EXPECT_EQ(index, -1);
    }
}

// TranslateForm and TranslateComponent with the store filled directly or from a language file.
class TranslateFormTest : public FormFixture, public TempDirTest {
protected:
    ~TranslateFormTest() override { localizer.Deactivate(); }

    void Entry(const char* key, std::initializer_list<std::pair<const char*, const char*>> items) {
        TsxRCDataFormItem& entry = *localizer.Forms().Add(key);
        for (const auto& [path, text] : items)
            entry.Properties().Add(path, text);
    }

    TsxLocalizer localizer;
};

TEST_F(TranslateFormTest, WritesNothingWhileInactive) {
    Entry("TMainForm", {{"Title.Caption", "translated"}});
    localizer.TranslateForm(&form);
    EXPECT_EQ(Title().Caption(), "Hello");
    localizer.Activate();
    localizer.Deactivate();
    localizer.TranslateForm(&form);
    EXPECT_EQ(Title().Caption(), "Hello");
    localizer.Activate();
    localizer.TranslateForm(&form);
    EXPECT_EQ(Title().Caption(), "translated");
    EXPECT_NO_THROW(localizer.TranslateForm(nullptr));
}

TEST_F(TranslateFormTest, KeysMatchTheClassNamesWhateverTheCaseAndBlanks) {
    Entry(" TMAINFORM ", {{"Title.Caption", "own"}});
    Entry("tmainformbase", {{"Hint.Caption", "base"}});
    localizer.Activate();
    localizer.TranslateForm(&form);
    EXPECT_EQ(Title().Caption(), "own");
    EXPECT_EQ(Hint().Caption(), "base");
}

TEST_F(TranslateFormTest, TheClassChainIsWalkedNearestFirstAndStopsAtTForm) {
    // The ancestor's text is written last and remains; TForm's and its parents' entries are not
    // applied to a form of a derived class.
    Entry("TForm", {{"Notes.Lines[0]", "form level"}});
    Entry("TControl", {{"Notes.Lines[1]", "control level"}});
    Entry("TMainFormBase", {{"Title.Caption", "base"}, {"MainForm.Caption", "base caption"}});
    Entry("TMainForm", {{"Title.Caption", "own"}, {"Hint.Caption", "own hint"}});
    localizer.Activate();
    localizer.TranslateForm(&form);
    EXPECT_EQ(Title().Caption(), "base");
    EXPECT_EQ(Hint().Caption(), "own hint");
    EXPECT_EQ(form.Caption(), "base caption");
    EXPECT_EQ(Notes().Lines()->Text(), "first line\r\nsecond line\r\n");
}

TEST_F(TranslateFormTest, AFormOfClassTFormTakesTheEntriesOfEveryClassAboveIt) {
    // The test for TForm comes after a level has been applied: a form whose own class is TForm is
    // translated with TForm's entries, and the walk then finds no TForm above it.
    TForm plain(nullptr);
    plain.SetName("Plain");
    Entry("TForm", {{"Plain.Caption", "form"}});
    Entry("TComponent", {{"Plain.Name", "Renamed"}});
    localizer.Activate();
    localizer.TranslateForm(&plain);
    EXPECT_EQ(plain.Caption(), "form");
    EXPECT_EQ(plain.Name(), "Renamed");
}

TEST_F(TranslateFormTest, TheLaterOfTwoItemsWithOnePathRemains) {
    Entry("TMainForm", {{"Title.Caption", "first"}, {"Notes.Lines[1]", "line"}, {"Title.Caption", "second"}});
    localizer.Activate();
    localizer.TranslateForm(&form);
    EXPECT_EQ(Title().Caption(), "second");
    EXPECT_EQ(Notes().Lines()->Strings(1), "line");
}

TEST_F(TranslateFormTest, AnErrorStopsTheFormAtThatItem) {
    Entry("TMainForm",
          {{"Title.Caption", "written"}, {"Title.Missing", "x"}, {"Hint.Caption", "not written"}});
    Entry("TMainFormBase", {{"MainForm.Caption", "not reached"}});
    localizer.Activate();
    try {
        localizer.TranslateForm(&form);
        ADD_FAILURE() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "Property Missing does not exist");
    }
    EXPECT_EQ(Title().Caption(), "written");
    EXPECT_EQ(Hint().Caption(), "nested");
    EXPECT_EQ(form.Caption(), "Main");
}

TEST_F(TranslateFormTest, TranslateComponentAppliesOneKeyFromAnyRoot) {
    Entry("THeaderTexts", {{"Header.Sections[0].Text", "Title"}, {"Hint.Caption", "hint"}});
    // The localiser need not be active, and a key that names no class is fine.
    localizer.TranslateComponent(&form, "theadertexts");
    EXPECT_EQ(Section(0).Text(), "Title");
    EXPECT_EQ(Hint().Caption(), "hint");
    EXPECT_NO_THROW(localizer.TranslateComponent(&form, "TNothing"));
    EXPECT_NO_THROW(localizer.TranslateComponent(nullptr, "THeaderTexts"));
}

TEST_F(TranslateFormTest, ALoadedLanguageFileTranslatesTheForm) {
    // UTF-8 texts with escapes, shown in the process's code page 1251.
    localizer.LoadFromFile(WriteFile("form.UKR", R"(<Language>
<Info Lang_ID="1058" Lang_Name="Українська" Lang_Ext="UKR"/>
<RCData>
  <Property Form="TMainForm" Property="MainForm.Caption">Головна</Property>
  <Property Form="TMainForm" Property="Notes.Lines.Strings[1]">другий%0D%0A рядок</Property>
  <Property Form="TMainFormBase" Property="Header.Sections[1].Text">Розмір</Property>
  <Property Form="TMainFormBase" Property="Kinds.WideText">Широкий текст</Property>
</RCData></Language>)"));
    localizer.Activate();
    localizer.TranslateForm(&form);
    EXPECT_EQ(form.Caption(), "\xC3\xEE\xEB\xEE\xE2\xED\xE0");
    EXPECT_EQ(Notes().Lines()->Strings(1), "\xE4\xF0\xF3\xE3\xE8\xE9\r\n \xF0\xFF\xE4\xEE\xEA");
    EXPECT_EQ(Section(1).Text(), "\xD0\xEE\xE7\xEC\xB3\xF0");
    EXPECT_EQ(Kinds().WideText, u"Широкий текст");
    // Texts that the file does not name keep what they had.
    EXPECT_EQ(Title().Caption(), "Hello");
}

} // namespace
