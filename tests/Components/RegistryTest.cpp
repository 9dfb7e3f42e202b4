// The class registry, virtual construction and the class chain.
#include "TestComponents.h"

#include <gtest/gtest.h>

TEST(ClassRegistry, FindsClassesByNameWithoutRegardToCase) {
    EXPECT_EQ(FindClass("TMainForm"), &TMainForm::ClassInfo);
    EXPECT_EQ(FindClass("tmainform"), &TMainForm::ClassInfo);
    EXPECT_EQ(FindClass("TSTRINGLIST"), &TStringList::ClassInfo);
    EXPECT_EQ(FindClass("TForm"), &TForm::ClassInfo);
    EXPECT_EQ(FindClass("TMainForm "), nullptr);
    EXPECT_EQ(FindClass(""), nullptr);
}

TEST(ClassRegistry, RegisteringAClassAgainChangesNothing) {
    RegisterClass(TTestLabel::ClassInfo);
    EXPECT_EQ(FindClass("TTestLabel"), &TTestLabel::ClassInfo);
}

TEST(ClassRegistry, AnotherClassUnderATakenNameIsAFault) {
    static constinit const TClassInfo impostor{"TTESTLABEL", &TControl::ClassInfo, nullptr, {}, {}};
    EXPECT_THROW(RegisterClass(impostor), EAssertionFailed);
    EXPECT_EQ(FindClass("TTestLabel"), &TTestLabel::ClassInfo);
}

TEST(ClassRegistry, TheFormClassChainLeadsToTheRoot) {
    const char* expected[] = {"TMainForm",  "TMainFormBase", "TForm",  "TControl",
                              "TComponent", "TPersistent",   "TObject"};
    const TClassInfo* cls = &TMainForm::ClassInfo;
    for (const char* name : expected) {
        ASSERT_NE(cls, nullptr);
        EXPECT_STREQ(cls->Name, name);
        cls = cls->Parent;
    }
    EXPECT_EQ(cls, nullptr);
    EXPECT_TRUE(TMainForm::ClassInfo.InheritsFrom(TForm::ClassInfo));
    EXPECT_FALSE(TForm::ClassInfo.InheritsFrom(TMainForm::ClassInfo));
}

TEST(VirtualConstruction, MakesTheDerivedClassKnownByNameOnly) {
    TForm owner(nullptr);
    TComponent* made = CreateComponent(*FindClass("tmainform"), owner);
    ASSERT_NE(dynamic_cast<TMainForm*>(made), nullptr);
    EXPECT_STREQ(made->ClassName(), "TMainForm");
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(owner.Components(0), made);

    std::unique_ptr<TComponent> root = CreateComponent(TMainFormBase::ClassInfo);
    EXPECT_EQ(root->Owner(), nullptr);
    EXPECT_STREQ(root->ClassName(), "TMainFormBase");
}

TEST(VirtualConstruction, RefusesClassesThatAreNoComponentsOrAbstract) {
    EXPECT_THROW(CreateComponent(TFont::ClassInfo), EAssertionFailed);
    EXPECT_THROW(CreateComponent(TPersistent::ClassInfo), EAssertionFailed);
}

TEST(PublishedMethods, BindAnEventByTheMethodName) {
    TMainForm form(nullptr);
    TTestKinds kinds(&form);
    TNotifyEvent event = MethodByName(form, "LANGUAGECLICK");
    ASSERT_TRUE(event);
    SetMethodProp(kinds, *GetPropInfo(&kinds, "OnChange"), event);
    kinds.OnChange(&kinds);
    EXPECT_EQ(form.LastSender, &kinds);
    EXPECT_EQ(GetMethodProp(kinds, *GetPropInfo(&kinds, "OnChange")), event);

    EXPECT_FALSE(MethodByName(form, "NoSuchMethod"));
    EXPECT_EQ(FindMethod(TMainFormBase::ClassInfo, "LanguageClick"), nullptr);
}
