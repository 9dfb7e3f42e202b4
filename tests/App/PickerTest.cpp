// The language picker of Quorlin's main window, on a window of this test program: the menu built
// from the catalogue beside the program's folder, the check marks, the texts and the title after
// each choice, and the one error box of a damaged file (answered by a watcher thread).
//
// The catalogue is made for this program (picker_tests.exe) in the folder above its own:
//   ENU  the complete English file of Quorlin
//   UKR  a partial file: the window's caption, the language button and the title only
//   BGR  a damaged file
//   and a small file for the language that stands first in the locale table.
#include "MainForm.h"

#include "FilePaths.h"
#include "FilesAndDirsUtils.h"
#include "FormLoader.h"
#include "ResStrings.h"
#include "Streams.h"
#include "sxLanguages.h"
#include "sxLocalizer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kPartialUkrainian[] = R"(<Language><Info Lang_ID="1058" Lang_Name="Українська" Lang_Ext="UKR"/>
<Resource_Strings><String ID="64990">Заголовок українською</String></Resource_Strings>
<RCData>
<Property Form="TMainForm" Property="MainForm.Caption">Вікно українською</Property>
<Property Form="TMainForm" Property="LanguagesBTN.Caption">Мова</Property>
</RCData></Language>)";

std::string LangFile(const std::string& abbr) {
    return IncludePathDelimiter(GetProgramParentDir()) + "Lang\\" + abbr + "\\" +
           rtl::ChangeFileExt(rtl::ExtractFileName(os::ProgramPath()), "." + abbr);
}

void Write(const std::string& path, const std::string& bytes) {
    CreateDirectoryA((IncludePathDelimiter(GetProgramParentDir()) + "Lang").c_str(), nullptr);
    CreateDirectoryA(rtl::ExtractFilePath(path).c_str(), nullptr);
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadSource(const std::string& abbr) {
    const std::vector<char> bytes =
        rtl::ReadWholeFile(std::string(QRL_LANG_SOURCE) + "/" + abbr + "/Quorlin." + abbr);
    return {bytes.begin(), bytes.end()};
}

std::string FirstAbbr() {
    return Languages()->LangExt(0);
}

// Answers every message box of this process with OK, keeping the texts.
class TBoxAnswerer {
public:
    TBoxAnswerer()
        : thread_([this] {
              while (!stop_) {
                  EnumWindows(&Answer, reinterpret_cast<LPARAM>(this));
                  Sleep(20);
              }
          }) {}
    ~TBoxAnswerer() {
        stop_ = true;
        thread_.join();
    }

    std::vector<std::string> Texts() {
        const std::lock_guard lock(mutex_);
        return texts_;
    }

private:
    static BOOL CALLBACK Answer(HWND window, LPARAM data) {
        auto& self = *reinterpret_cast<TBoxAnswerer*>(data);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (process == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(window) &&
            GetPropA(window, "answered") == nullptr) {
            SetPropA(window, "answered", reinterpret_cast<HANDLE>(1));
            char text[1024] = {};
            GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
            {
                const std::lock_guard lock(self.mutex_);
                self.texts_.push_back(text);
            }
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        }
        return TRUE;
    }

    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};

class PickerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Write(LangFile("ENU"), ReadSource("ENU"));
        Write(LangFile("UKR"), kPartialUkrainian);
        Write(LangFile("BGR"), "<Language><Info Lang_ID=\"1026\"/></Language>");
        Write(LangFile(FirstAbbr()),
              "<Language><Info Lang_ID=\"" + std::to_string(Languages()->LangID(0)) +
                  "\" Lang_Name=\"First\" Lang_Ext=\"" + FirstAbbr() +
                  "\"/><RCData><Property Form=\"TMainForm\" "
                  "Property=\"CloseBTN.Caption\">First record</Property></RCData></Language>");
    }

    PickerTest() {
        LoadFormFromResources(form, HInstance);
        form.FormCreate(nullptr);
    }

    template <class T> T& Child(const char* name) const { return static_cast<T&>(*form.FindComponent(name)); }
    const AnsiString& Caption(const char* name) const { return Child<TControl>(name).Caption(); }

    ui::TMenuItem& Entry(const std::string& abbr) const {
        ui::TPopupMenu& menu = form.LanguagesPM();
        for (int i = 0; i < menu.Count(); ++i)
            if (Languages()->LangExt(menu.Items(i)->Tag()) == abbr)
                return *menu.Items(i);
        throw std::runtime_error("no entry for " + abbr);
    }

    std::vector<std::string> Checked() const {
        std::vector<std::string> checked;
        ui::TPopupMenu& menu = form.LanguagesPM();
        for (int i = 0; i < menu.Count(); ++i)
            if (menu.Items(i)->Checked())
                checked.push_back(Languages()->LangExt(menu.Items(i)->Tag()));
        return checked;
    }

    void Choose(const std::string& abbr) {
        ui::TMenuItem& entry = Entry(abbr);
        entry.Click();
        EXPECT_TRUE(form.Enabled());
        EXPECT_EQ(ui::Application().Title(), Caption("TitleLBL"));
    }

    TMainForm form{nullptr};
};

// Runs first, while no language has been chosen in this process.
TEST_F(PickerTest, StartsInTheCompiledLanguageWithOneEntryPerInstalledLanguage) {
    EXPECT_FALSE(Localizer()->Active());
    EXPECT_EQ(form.LanguagesPM().Count(), 4);
    EXPECT_TRUE(form.LanguagesBTN().Enabled());
    EXPECT_TRUE(Checked().empty());
    EXPECT_EQ(ui::Application().Title(), ResStr(SQuorlinTitle));
    EXPECT_EQ(Caption("TitleLBL"), ResStr(SQuorlinTitle));
    EXPECT_EQ(Caption("LanguagesBTN"), "\xDF\xE7\xFB\xEA"); // "Язык"
    // Each entry is captioned with the locale table's name of its language, its tag the record.
    const ui::TMenuItem& english = Entry("ENU");
    EXPECT_EQ(english.Caption(), Languages()->LangName(english.Tag()));
    EXPECT_EQ(Languages()->LangID(english.Tag()), 1033);
}

TEST_F(PickerTest, AChoiceTranslatesTheWindowMovesTheCheckMarkAndSetsTheTitle) {
    Choose("ENU");
    EXPECT_TRUE(Localizer()->Active());
    EXPECT_EQ(Caption("LanguagesBTN"), "Language");
    EXPECT_EQ(form.Caption(), "Quorlin \x97 localisation demo");
    EXPECT_EQ(Checked(), std::vector<std::string>{"ENU"});
    EXPECT_EQ(ui::Application().Title(), "Quorlin \x97 switching the language on the fly");
    // Resource strings follow the language too.
    EXPECT_EQ(ResStr(SListIndexError), "List index out of bounds (%d)");

    // A second language writes what it holds over the first; the rest keeps the first's wording.
    Choose("UKR");
    EXPECT_EQ(form.Caption(), "\xC2\xB3\xEA\xED\xEE \xF3\xEA\xF0\xE0\xBF\xED\xF1\xFC\xEA\xEE\xFE");
    EXPECT_EQ(Caption("LanguagesBTN"), "\xCC\xEE\xE2\xE0");
    EXPECT_EQ(Caption("CloseBTN"), "Close");
    EXPECT_EQ(Checked(), std::vector<std::string>{"UKR"});
    EXPECT_EQ(ui::Application().Title(),
              "\xC7\xE0\xE3\xEE\xEB\xEE\xE2\xEE\xEA \xF3\xEA\xF0\xE0\xBF\xED\xF1\xFC\xEA\xEE\xFE");
    // Choosing the checked entry again loads its file again.
    Choose("UKR");
    EXPECT_EQ(Checked(), std::vector<std::string>{"UKR"});
}

TEST_F(PickerTest, ADamagedFileShowsOneErrorBoxKeepsTheTextsAndStillMovesTheCheckMark) {
    Choose("ENU");
    const AnsiString caption = form.Caption(), intro = Caption("IntroLBL");
    std::vector<std::string> boxes;
    {
        TBoxAnswerer answerer;
        Choose("BGR");
        boxes = answerer.Texts();
    }
    // The message as the load made it: the stores had been emptied by then, so its text is the
    // compiled one.
    std::string expected;
    try {
        TsxLocalizer().LoadFromFile(LangFile("BGR"));
    } catch (const Exception& error) {
        expected = error.Message();
    }
    EXPECT_EQ(expected.rfind("\xD4\xE0\xE9\xEB", 0), 0u); // "Файл"
    EXPECT_EQ(boxes, std::vector<std::string>{expected});
    EXPECT_EQ(form.Caption(), caption);
    EXPECT_EQ(Caption("IntroLBL"), intro);
    EXPECT_EQ(Checked(), std::vector<std::string>{"BGR"});
    // The failed load left the stores empty: the title is the compiled one again.
    EXPECT_EQ(ui::Application().Title(), ResStr(SQuorlinTitle));
    EXPECT_FALSE(Localizer()->Loaded());
}

TEST_F(PickerTest, TheLanguageOfTheFirstLocaleRecordIsListedAndChosen) {
    Choose(FirstAbbr());
    EXPECT_EQ(Caption("CloseBTN"), "First record");
    EXPECT_EQ(Checked(), std::vector<std::string>{FirstAbbr()});
}

TEST_F(PickerTest, WhatIsNoChoiceChangesNothing) {
    Choose("ENU");
    const AnsiString caption = form.Caption();
    // A sender that is no menu entry, an identifier that no locale has, a file gone since start-up.
    form.LanguageItemClick(&form);
    form.LanguageItemClick(nullptr);
    form.SetLanguage(0x7FFF);
    const std::string path = LangFile(FirstAbbr());
    const std::vector<char> kept = rtl::ReadWholeFile(path);
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    Entry(FirstAbbr()).Click();
    Write(path, std::string(kept.begin(), kept.end()));
    EXPECT_EQ(form.Caption(), caption);
    EXPECT_EQ(Caption("CloseBTN"), "Close");
    EXPECT_EQ(Checked(), std::vector<std::string>{"ENU"});
    EXPECT_TRUE(form.Enabled());
}

} // namespace
