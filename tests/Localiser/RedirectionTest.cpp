// The resource-string redirection: the program-wide localiser switched on and off, and what every
// use of a resource string yields meanwhile. The test programs are optimised builds, so this also
// shows that no caller of LoadResString bypasses its entry.
#include "sxLocalizer.h"

#include "Exceptions.h"
#include "ResStrings.h"
#include "TempDirTest.h"
#include "sxLangFile.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

#ifndef _WIN32
#include "InProcModule.h"
#endif

namespace {

const std::string kLongText = [] {
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += "0123456789";
    return text;
}();

#ifdef _WIN32
os::ModuleHandle longStringModule = HInstance; // LongString.rc is part of the test program
#else
const os::InProcStringEntry kLongEntry[] = {{100, kLongText.c_str()}};
os::InProcModule longModule{kLongEntry, 1};
os::ModuleHandle longStringModule = &longModule;
#endif

std::array<std::uint8_t, 5> BytesAt(const void* p) {
    std::array<std::uint8_t, 5> bytes;
    std::memcpy(bytes.data(), p, bytes.size());
    return bytes;
}

class RedirectionTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        english_ = WriteFile("test.ENU", R"(<L><Info Lang_ID="1033" Lang_Name="English" Lang_Ext="ENU"/>
<Resource_Strings>
  <String ID="64978">File "%%s" not found</String>
  <String ID="65200">Index %%d is not in the list</String>
  <String ID="65201">"%%s" is no integer</String>
  <String ID="65203"></String>
</Resource_Strings></L>)");
    }
    void TearDown() override {
        localizer().Deactivate();
        localizer().Clear();
        TempDirTest::TearDown();
    }
    static TsxLocalizer& localizer() { return *Localizer(); }

    std::string english_;
};

TEST_F(RedirectionTest, ActivatingMakesThePatchOnceAndSwitchesItOn) {
    localizer().Activate();
    const TProcHook* hook = ResStringHook();
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(hook->PatchPosition(), reinterpret_cast<std::uint8_t*>(&LoadResString));
    EXPECT_EQ(BytesAt(hook->PatchPosition()), BytesAt(hook->PatchBytes()));
    localizer().Activate();
    localizer().SetActive(true);
    EXPECT_EQ(ResStringHook(), hook);
    EXPECT_TRUE(localizer().Active());
    localizer().SetActive(false);
    EXPECT_FALSE(localizer().Active());
    EXPECT_EQ(BytesAt(hook->PatchPosition()), BytesAt(hook->SavedBytes()));
    localizer().Deactivate(); // inactive: nothing
    localizer().SetActive(false);
    EXPECT_EQ(BytesAt(hook->PatchPosition()), BytesAt(hook->SavedBytes()));
}

TEST_F(RedirectionTest, ActiveLookupsAnswerFromTheStoreWithTheCompiledTextAsFallback) {
    localizer().LoadFromFile(english_);
    localizer().Activate();
    EXPECT_EQ(ResStr(SFileNotFound), "File \"%s\" not found");
    EXPECT_EQ(rtl::AnsiToWide(ResStr(SInvalidLangFile)),
              u"Файл \"%s\" поврежден или не является файлом перевода");
    EXPECT_EQ(ResStr(SUnknownProperty), "Property %s does not exist"); // an empty translation is never stored
    static const char inlineText[] = "text at an address";
    const TResStringRec atAddress{&HInstance, reinterpret_cast<std::intptr_t>(inlineText)};
    EXPECT_EQ(ResStr(atAddress), inlineText);
    AnsiString none = "stale";
    LoadResString(nullptr, &none);
    EXPECT_EQ(none, "");
}

TEST_F(RedirectionTest, MessagesOfEveryLayerFollowTheSwitch) {
    localizer().LoadFromFile(english_);
    const auto messages = [] {
        std::vector<AnsiString> texts;
        try {
            TsxResourceStringsList list;
            list.Items(5);
        } catch (const EListError& e) {
            texts.push_back(e.Message());
        }
        try {
            rtl::StrToInt("x1");
        } catch (const EConvertError& e) {
            texts.push_back(e.Message());
        }
        texts.push_back(ResStr(SFileNotFound));
        return texts;
    };
    const std::vector<AnsiString> translated = {"Index 5 is not in the list", "\"x1\" is no integer",
                                                "File \"%s\" not found"};
    const std::vector<AnsiString> compiled = {"List index out of bounds (5)",
                                              "'x1' is not a valid integer value",
                                              rtl::WideToAnsi(u"Файл \"%s\" не найден")};
    EXPECT_EQ(messages(), compiled);
    localizer().Activate();
    const TProcHook* hook = ResStringHook();
    const auto saved = BytesAt(hook->SavedBytes());
    EXPECT_EQ(messages(), translated);
    localizer().Deactivate();
    EXPECT_EQ(messages(), compiled);
    localizer().Activate();
    EXPECT_EQ(messages(), translated);
    EXPECT_EQ(ResStringHook(), hook);
    EXPECT_EQ(BytesAt(hook->SavedBytes()), saved); // not saved a second time
}

TEST_F(RedirectionTest, FileNotFoundSpeaksTheLoadedLanguageButTheDamagedFileMessageIsAlwaysCompiled) {
    localizer().LoadFromFile(english_);
    localizer().Activate();
    const std::string missing = Path("none.ENU");
    try {
        localizer().LoadFromFile(missing);
        FAIL();
    } catch (const EsxLangFileError& e) {
        EXPECT_EQ(e.Message(), "File \"" + missing + "\" not found");
    }
    const std::string damaged =
        WriteFile("v2.ENU", R"(<L><Info Lang_ID="1" Lang_Name="x" Lang_Ext="X" Version="2"/></L>)");
    try {
        localizer().LoadFromFile(damaged);
        FAIL();
    } catch (const EsxLangFileError& e) {
        EXPECT_EQ(rtl::AnsiToWide(e.Message()),
                  u"Файл \"" + rtl::AnsiToWide(damaged) + u"\" поврежден или не является файлом перевода");
    }
    EXPECT_FALSE(localizer().Loaded());
    EXPECT_EQ(localizer().LangID(), 0);
    EXPECT_TRUE(localizer().Active());
    EXPECT_EQ(rtl::AnsiToWide(ResStr(SFileNotFound)), u"Файл \"%s\" не найден");
    EXPECT_EQ(ResStr(SListIndexError), "List index out of bounds (%d)");
}

TEST_F(RedirectionTest, ActiveWithNothingLoadedEveryStringIsCompiled) {
    localizer().Activate();
    EXPECT_EQ(ResStr(SListIndexError), "List index out of bounds (%d)");
}

TEST_F(RedirectionTest, ALongCompiledStringComesOutWholeEitherWay) {
    const TResStringRec longString{&longStringModule, 100};
    ASSERT_GT(kLongText.size(), 1023u);
    EXPECT_EQ(ResStr(longString), kLongText);
    localizer().Activate();
    EXPECT_EQ(ResStr(longString), kLongText);
    EXPECT_EQ(LoadCompiledResString(&longString), rtl::AnsiToWide(kLongText));
}

TEST(LoadCompiledResString, ReadsTheStringTableOrTheTextAtTheAddress) {
    EXPECT_EQ(LoadCompiledResString(nullptr), u"");
    EXPECT_EQ(LoadCompiledResString(&SListIndexError), u"List index out of bounds (%d)");
    const TResStringRec missing{&HInstance, 4242};
    EXPECT_EQ(LoadCompiledResString(&missing), u"");
    static const char text[] = "\xC4\xE0"; // Да in the test's code page 1251
    const TResStringRec atAddress{&HInstance, reinterpret_cast<std::intptr_t>(text)};
    EXPECT_EQ(LoadCompiledResString(&atAddress), u"Да");
}

} // namespace
