// Ownership and names of components, collections and string lists.
#include "TestComponents.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The message of the EListError that call raises.
std::string ListError(const std::function<void()>& call) {
    try {
        call();
    } catch (const EListError& e) {
        return e.Message();
    }
    return "no error";
}

// Counts its destructions.
class TCountedComponent : public TComponent {
public:
    TCountedComponent(TComponent* owner, int& destroyed) : TComponent(owner), destroyed_(&destroyed) {}
    ~TCountedComponent() override { ++*destroyed_; }

private:
    int* destroyed_;
};

} // namespace

TEST(Components, TheOwnerFreesWhatItOwns) {
    int destroyed = 0;
    {
        TForm form(nullptr);
        auto* a = new TCountedComponent(&form, destroyed);
        new TCountedComponent(a, destroyed);
        new TCountedComponent(&form, destroyed);
        EXPECT_EQ(form.ComponentCount(), 2);
        EXPECT_EQ(a->ComponentCount(), 1);
        EXPECT_EQ(a->Owner(), &form);
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(Components, DeletingAnOwnedComponentTakesItOutOfItsOwner) {
    TForm form(nullptr);
    auto* first = new TTestLabel(&form);
    auto* second = new TTestLabel(&form);
    delete first;
    ASSERT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), second);
}

TEST(Components, FindComponentSearchesTheOwnedByNameWithoutRegardToCase) {
    TForm form(nullptr);
    form.SetName("MainForm");
    auto* button = new TTestLabel(&form);
    button->SetName("LanguagesBTN");
    auto* inner = new TTestLabel(button);
    inner->SetName("Inner");

    EXPECT_EQ(form.FindComponent("languagesbtn"), button);
    EXPECT_EQ(form.FindComponent("LanguagesBTN"), button);
    EXPECT_EQ(form.FindComponent("Inner"), nullptr);
    EXPECT_EQ(form.FindComponent("MainForm"), nullptr);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    EXPECT_EQ(form.FindComponent("LanguagesBTN "), nullptr);
}

TEST(Components, FindComponentFollowsRenamesAndDeparturesOfTheOwned) {
    TForm form(nullptr);
    auto* label = new TTestLabel(&form);
    label->SetName("Label1");
    label->SetName("LABEL1");
    EXPECT_EQ(form.FindComponent("label1"), label);
    label->SetName("Caption2");
    EXPECT_EQ(form.FindComponent("Label1"), nullptr);
    EXPECT_EQ(form.FindComponent("caption2"), label);
    // The old name is free again.
    auto* other = new TTestLabel(&form);
    other->SetName("Label1");
    EXPECT_EQ(form.FindComponent("Label1"), other);
    label->SetName("");
    EXPECT_EQ(form.FindComponent("Caption2"), nullptr);
    delete other;
    EXPECT_EQ(form.FindComponent("Label1"), nullptr);
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), label);
}

TEST(Components, NamesAreIdentifiersUniqueAmongTheOwned) {
    TForm form(nullptr);
    auto* a = new TTestLabel(&form);
    auto* b = new TTestLabel(&form);
    a->SetName("Label1");
    a->SetName("LABEL1");
    b->SetName("_Label2");
    struct Case {
        const char* name;
        const char* message;
    };
    const Case cases[] = {
        {"label1", "A component named label1 already exists"},
        {"1Label", "'1Label' is not a valid component name"},
        {"Label 3", "'Label 3' is not a valid component name"},
        {"Label.3", "'Label.3' is not a valid component name"},
    };
    for (const Case& c : cases) {
        try {
            b->SetName(c.name);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EComponentError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_EQ(b->Name(), "_Label2");
    b->SetName("");
    EXPECT_EQ(b->Name(), "");
}

TEST(Components, IndexErrorsAndTheTag) {
    TForm form(nullptr);
    new TTestLabel(&form);
    EXPECT_EQ(ListError([&] { form.Components(1); }), "List index out of bounds (1)");
    EXPECT_EQ(ListError([&] { form.Components(-1); }), "List index out of bounds (-1)");
    SetOrdProp(form, *GetPropInfo(&form, "Tag"), 42);
    EXPECT_EQ(form.Tag(), 42);
}

TEST(Components, AReferenceToADeletedSiblingIsCleared) {
    TForm form(nullptr);
    auto* kinds = new TTestKinds(&form);
    auto* buddy = new TTestLabel(&form);
    kinds->Buddy = buddy;
    delete buddy;
    EXPECT_EQ(kinds->Buddy, nullptr);
}

TEST(Collections, AddMakesItemsOfTheItemClass) {
    TTestHeader header(nullptr);
    TCollection* sections = header.Sections();
    EXPECT_EQ(&sections->ItemClass(), &TTestSection::ClassInfo);
    TCollectionItem* first = sections->Add();
    TCollectionItem* second = sections->Add();
    ASSERT_EQ(sections->Count(), 2);
    EXPECT_STREQ(second->ClassName(), "TTestSection");
    EXPECT_EQ(sections->Items(0), first);
    EXPECT_EQ(second->Index(), 1);
    EXPECT_EQ(second->Collection(), sections);

    // Items publish their own properties.
    SetStrProp(*second, *GetPropInfo(second, "TEXT"), "Name");
    EXPECT_EQ(static_cast<TTestSection*>(second)->Text(), "Name");

    delete first;
    EXPECT_EQ(sections->Count(), 1);
    EXPECT_EQ(second->Index(), 0);
}

TEST(Collections, IndexErrors) {
    TTestSections sections;
    sections.Add();
    EXPECT_EQ(ListError([&] { sections.Items(1); }), "List index out of bounds (1)");
    EXPECT_EQ(ListError([&] { sections.Items(-1); }), "List index out of bounds (-1)");
}

TEST(Collections, ChangesOfItemsReachTheUpdateHook) {
    TTestSections sections;
    auto* item = static_cast<TTestSection*>(sections.Add());
    int afterAdd = sections.Updates;
    EXPECT_GE(afterAdd, 1);
    item->SetWidth(80);
    EXPECT_EQ(sections.Updates, afterAdd + 1);
    sections.Clear();
    EXPECT_EQ(sections.Updates, afterAdd + 2);
    EXPECT_EQ(sections.Count(), 0);
}

TEST(Collections, AssignCopiesTheItems) {
    TTestSections source;
    static_cast<TTestSection*>(source.Add())->SetText("one");
    static_cast<TTestSection*>(source.Add())->SetText("two");
    TTestHeader header(nullptr);
    header.Sections()->Add();
    SetObjectProp(header, *GetPropInfo(&header, "Sections"), &source);
    ASSERT_EQ(header.Sections()->Count(), 2);
    EXPECT_EQ(static_cast<TTestSection*>(header.Sections()->Items(1))->Text(), "two");
}

TEST(Collections, AssigningAnotherClassRaisesTheAssignError) {
    TTestSections sections;
    TFont font;
    try {
        sections.Assign(font);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TFont to a TCollection");
    }
}

namespace {

class StringListTest : public ::testing::Test {
protected:
    void SetUp() override {
        lines.AddObject("one", &tagA);
        lines.Add("two");
        lines.AddObject("three", &tagB);
    }

    TForm tagA{nullptr};
    TForm tagB{nullptr};
    TStringList lines;
};

} // namespace

TEST_F(StringListTest, LinesWithTheirObjects) {
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Strings(2), "three");
    EXPECT_EQ(lines.Objects(0), &tagA);
    EXPECT_EQ(lines.Objects(1), nullptr);
    EXPECT_EQ(lines.IndexOf("TWO"), 1);
    EXPECT_EQ(lines.IndexOf("four"), -1);
}

TEST_F(StringListTest, ReplacingALineKeepsItsObject) {
    lines.SetStrings(2, "drei");
    EXPECT_EQ(lines.Strings(2), "drei");
    EXPECT_EQ(lines.Objects(2), &tagB);
    lines.SetObjects(2, nullptr);
    EXPECT_EQ(lines.Strings(2), "drei");
}

TEST_F(StringListTest, IndexErrors) {
    struct Case {
        std::function<void()> call;
        const char* message;
    };
    const Case cases[] = {
        {[&] { lines.Strings(3); }, "List index out of bounds (3)"},
        {[&] { lines.Strings(-1); }, "List index out of bounds (-1)"},
        {[&] { lines.Objects(3); }, "List index out of bounds (3)"},
        {[&] { lines.SetStrings(3, "x"); }, "List index out of bounds (3)"},
        {[&] { lines.SetStrings(-2, "x"); }, "List index out of bounds (-2)"},
        {[&] { lines.SetObjects(-1, nullptr); }, "List index out of bounds (-1)"},
        {[&] { lines.Insert(4, "x"); }, "List index out of bounds (4)"},
        {[&] { lines.Delete(3); }, "List index out of bounds (3)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListError(c.call), c.message);
    EXPECT_EQ(lines.Count(), 3);
}

TEST_F(StringListTest, InsertAndDelete) {
    lines.Insert(3, "four");
    lines.Insert(0, "zero");
    lines.Delete(1);
    EXPECT_EQ(lines.Text(), "zero\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_EQ(lines.Objects(2), &tagB);
}

TEST(StringList, TextEndsEveryLineAndSplitsAtAnyLineBreak) {
    TStringList lines;
    EXPECT_EQ(lines.Text(), "");
    struct Case {
        const char* text;
        std::vector<AnsiString> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        lines.SetText(c.text);
        std::vector<AnsiString> got;
        for (int i = 0; i < lines.Count(); ++i)
            got.push_back(lines.Strings(i));
        EXPECT_EQ(got, c.lines) << c.text;
    }
    lines.SetText("x\ny");
    EXPECT_EQ(lines.Text(), "x\r\ny\r\n");
}

TEST(StringList, AMemoHearsEveryChangeOnceAndCopiesAssignedLines) {
    TTestMemo memo(nullptr);
    memo.Lines()->Add("a");
    EXPECT_EQ(memo.LineChanges, 1);
    memo.Lines()->SetText("x\ny\nz");
    EXPECT_EQ(memo.LineChanges, 2);

    TStringList other;
    other.Add("copied");
    SetObjectProp(memo, *GetPropInfo(&memo, "lines"), &other);
    EXPECT_EQ(memo.Lines()->Text(), "copied\r\n");
    EXPECT_EQ(memo.LineChanges, 3);
    EXPECT_EQ(PropType(memo, "Lines"), TTypeKind::tkClass);
    // A string list publishes no properties: its lines are reached by index.
    EXPECT_EQ(GetPropInfo(memo.Lines(), "Strings"), nullptr);
}
