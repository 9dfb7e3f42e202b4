// Published properties through their records: lookup, every kind's accessors and conversions, and
// the errors.
#include "TestComponents.h"

#include <gtest/gtest.h>

namespace {

class TypInfoTest : public ::testing::Test {
protected:
    const TPropInfo& Info(std::string_view name) { return FindPropInfo(kinds, name); }

    TTestKinds kinds{nullptr};
};

} // namespace

TEST_F(TypInfoTest, LooksUpPropertiesWithoutRegardToCaseThroughTheClassChain) {
    EXPECT_STREQ(GetPropInfo(&kinds, "widetext")->Name, "WideText");
    EXPECT_STREQ(GetPropInfo(&kinds, "TAG")->Name, "Tag");
    EXPECT_EQ(GetPropInfo(&kinds, "Caption"), nullptr);
    EXPECT_EQ(GetPropInfo(nullptr, "Name"), nullptr);

    TMainForm form(nullptr);
    EXPECT_STREQ(GetPropInfo(&form, "caption")->Name, "Caption");
    EXPECT_EQ(GetPropInfo(TMainForm::ClassInfo, "name"), GetPropInfo(TComponent::ClassInfo, "Name"));
}

TEST_F(TypInfoTest, PropTypeGivesEachKindAndNamesAnUnknownProperty) {
    struct Case {
        const char* name;
        TTypeKind kind;
    };
    const Case cases[] = {
        {"ShortName", TTypeKind::tkString},
        {"Text", TTypeKind::tkLString},
        {"WideText", TTypeKind::tkWString},
        {"Count", TTypeKind::tkInteger},
        {"Alignment", TTypeKind::tkEnumeration},
        {"Enabled", TTypeKind::tkBool},
        {"Styles", TTypeKind::tkSet},
        {"Ratio", TTypeKind::tkFloat},
        {"Font", TTypeKind::tkClass},
        {"Buddy", TTypeKind::tkComponentRef},
        {"OnChange", TTypeKind::tkMethod},
        {"Name", TTypeKind::tkLString},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PropType(kinds, c.name), c.kind) << c.name;

    try {
        PropType(kinds, "Caption");
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "Property Caption does not exist");
    }
}

TEST_F(TypInfoTest, StringKindsGoThroughTheSetters) {
    SetStrProp(kinds, Info("Text"), "long text");
    SetStrProp(kinds, "shortname", "short");
    EXPECT_EQ(kinds.Text, "long text");
    EXPECT_EQ(kinds.ShortName, "short");
    EXPECT_EQ(kinds.Sets, 2);
    EXPECT_EQ(GetStrProp(kinds, Info("Text")), "long text");
    EXPECT_EQ(GetStrProp(kinds, Info("ShortName")), "short");
}

TEST_F(TypInfoTest, AShortStringKeepsItsFirst255Bytes) {
    SetStrProp(kinds, Info("ShortName"), AnsiString(300, 'x'));
    EXPECT_EQ(kinds.ShortName, AnsiString(255, 'x'));
    SetStrProp(kinds, Info("Text"), AnsiString(300, 'x'));
    EXPECT_EQ(kinds.Text.size(), 300u);
}

// The process runs in code page 1251: these bytes are "Привет".
TEST_F(TypInfoTest, AWideStringGetsTheUtf16FormOfAnAnsiText) {
    const AnsiString cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2";
    SetStrProp(kinds, Info("WideText"), cyrillic);
    EXPECT_EQ(kinds.WideText, u"Привет");
    EXPECT_EQ(GetStrProp(kinds, Info("WideText")), cyrillic);
    EXPECT_EQ(GetWideStrProp(kinds, Info("WideText")), u"Привет");

    SetWideStrProp(kinds, Info("Text"), u"Мир");
    EXPECT_EQ(kinds.Text, "\xCC\xE8\xF0");
    EXPECT_EQ(GetWideStrProp(kinds, Info("Text")), u"Мир");
}

TEST_F(TypInfoTest, OrdinalKindsAsIntegers) {
    SetOrdProp(kinds, Info("Count"), -7);
    SetOrdProp(kinds, Info("Alignment"), 2);
    SetOrdProp(kinds, Info("Enabled"), 1);
    SetOrdProp(kinds, Info("Styles"), FontStyle(TFontStyle::fsBold) | FontStyle(TFontStyle::fsUnderline));
    EXPECT_EQ(kinds.Count, -7);
    EXPECT_EQ(kinds.Alignment, TAlignment::taCenter);
    EXPECT_TRUE(kinds.Enabled);
    EXPECT_EQ(kinds.Styles, 5u);
    EXPECT_EQ(GetOrdProp(kinds, Info("Count")), -7);
    EXPECT_EQ(GetOrdProp(kinds, Info("Alignment")), 2);
    EXPECT_EQ(GetOrdProp(kinds, Info("Enabled")), 1);
    EXPECT_EQ(GetOrdProp(kinds, Info("Styles")), 5);
    EXPECT_EQ(GetOrdProp(kinds, Info("Tag")), 0);
}

TEST_F(TypInfoTest, EnumerationsAndBooleansByIdentifier) {
    SetEnumProp(kinds, Info("Alignment"), "TARIGHTJUSTIFY");
    SetEnumProp(kinds, Info("Enabled"), "True");
    EXPECT_EQ(kinds.Alignment, TAlignment::taRightJustify);
    EXPECT_TRUE(kinds.Enabled);
    EXPECT_EQ(GetEnumProp(kinds, Info("Alignment")), "taRightJustify");
    EXPECT_EQ(GetEnumProp(kinds, Info("Enabled")), "True");

    EXPECT_EQ(GetEnumValue(*TypeInfoFontStyles.ElementType, "fsStrikeOut"), 3);
    EXPECT_EQ(GetEnumValue(TypeInfoAlignment, "taNone"), -1);
    EXPECT_EQ(GetEnumName(TypeInfoAlignment, 3), "");
    EXPECT_EQ(GetEnumName(TypeInfoAlignment, -1), "");

    try {
        SetEnumProp(kinds, Info("Alignment"), "taNone");
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "Invalid property element: taNone");
    }
    EXPECT_EQ(kinds.Alignment, TAlignment::taRightJustify);
}

TEST_F(TypInfoTest, FloatsEventsAndObjects) {
    SetFloatProp(kinds, Info("Ratio"), 0.25);
    EXPECT_EQ(GetFloatProp(kinds, Info("Ratio")), 0.25);

    // An object-valued property gives the object held; GetOrdProp its identity.
    EXPECT_EQ(GetObjectProp(kinds, Info("Font")), kinds.Font.get());
    EXPECT_EQ(GetOrdProp(kinds, Info("Font")), reinterpret_cast<std::intptr_t>(kinds.Font.get()));
    EXPECT_EQ(GetOrdProp(kinds, Info("Buddy")), 0);

    TTestKinds buddy(nullptr);
    SetObjectProp(kinds, Info("Buddy"), &buddy);
    EXPECT_EQ(kinds.Buddy, &buddy);
    SetObjectProp(kinds, Info("Buddy"), nullptr);
    EXPECT_EQ(kinds.Buddy, nullptr);
}

TEST_F(TypInfoTest, ASubObjectIsReachedThroughItsProperty) {
    TObject* font = GetObjectProp(kinds, Info("Font"));
    SetStrProp(*font, *GetPropInfo(font, "name"), "Arial");
    EXPECT_EQ(kinds.Font->Name(), "Arial");
    EXPECT_EQ(font->ClassType().Name, std::string_view("TFont"));
}

TEST_F(TypInfoTest, WrongKindsReadOnlyPropertiesAndWrongClassesRaise) {
    TFont font;
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* message;
    };
    const Case cases[] = {
        {"string from an integer", [&] { GetStrProp(kinds, Info("Count")); }, "Invalid property type: Count"},
        {"string into an object", [&] { SetStrProp(kinds, Info("Font"), "x"); },
         "Invalid property type: Font"},
        {"integer from a string", [&] { GetOrdProp(kinds, Info("Text")); }, "Invalid property type: Text"},
        {"float into an integer", [&] { SetFloatProp(kinds, Info("Count"), 1); },
         "Invalid property type: Count"},
        {"identifier of an integer", [&] { GetEnumProp(kinds, Info("Count")); },
         "Invalid property type: Count"},
        {"object of another class", [&] { SetObjectProp(kinds, Info("Buddy"), &font); },
         "Invalid property type: Buddy"},
        {"read-only object", [&] { SetObjectProp(kinds, Info("Font"), &font); },
         "Property Font is read-only"},
        {"unknown name", [&] { SetStrProp(kinds, "Caption", "x"); }, "Property Caption does not exist"},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EPropertyError& e) {
            EXPECT_EQ(e.Message(), c.message) << c.what;
        }
    }
    EXPECT_EQ(kinds.Buddy, nullptr);
}

TEST(ControlProperties, ReachTheHooksThroughTheSetters) {
    TTestLabel label(nullptr);
    SetStrProp(label, *GetPropInfo(&label, "Caption"), "OK");
    SetStrProp(label, *GetPropInfo(&label, "Caption"), "OK");
    EXPECT_EQ(label.Caption(), "OK");
    EXPECT_EQ(label.TextChanges, 1);

    TObject* font = GetObjectProp(label, *GetPropInfo(&label, "Font"));
    SetStrProp(*font, *GetPropInfo(font, "Name"), "Arial");
    EXPECT_EQ(label.FontChanges, 1);

    TFont other;
    other.SetSize(12);
    SetObjectProp(label, *GetPropInfo(&label, "Font"), &other);
    EXPECT_EQ(label.Font()->Size(), 12);
    EXPECT_EQ(label.Font()->Name(), "Tahoma");
    EXPECT_EQ(label.FontChanges, 2);

    try {
        label.SetFont(nullptr);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TFont");
    }
}
