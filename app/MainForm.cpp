#include "MainForm.h"

#include "Assert.h"
#include "Dialogs.h"
#include "FilePaths.h"
#include "FilesAndDirsUtils.h"
#include "Os.h"
#include "ResStrings.h"
#include "sxLanguages.h"
#include "sxLocalizer.h"

namespace {

AnsiString& BaseDirValue() {
    static AnsiString baseDir;
    return baseDir;
}

template <class T> T& Child(const TComponent& form, std::string_view name) {
    TComponent* component = form.FindComponent(name);
    rtl::Assert(component != nullptr && component->InheritsFrom(T::ClassInfo), AnsiString(name));
    return static_cast<T&>(*component);
}

constexpr TMethodInfo MainFormMethods[] = {
    PublishedMethod<&TMainForm::FormCreate>("FormCreate"),
    PublishedMethod<&TMainForm::LanguageItemClick>("LanguageItemClick"),
    PublishedMethod<&TMainForm::MessageBTNClick>("MessageBTNClick"),
    PublishedMethod<&TMainForm::CloseBTNClick>("CloseBTNClick"),
};

} // namespace

constinit const TClassInfo TMainForm::ClassInfo{
    "TMainForm", &ui::TUiForm::ClassInfo, nullptr, {}, MainFormMethods};

const AnsiString& BaseDir() {
    return BaseDirValue();
}

TMainForm::~TMainForm() {
    ui::Application().OnTitleChange = {};
}

ui::TDropDownButton& TMainForm::LanguagesBTN() const {
    return Child<ui::TDropDownButton>(*this, "LanguagesBTN");
}

ui::TPopupMenu& TMainForm::LanguagesPM() const {
    return Child<ui::TPopupMenu>(*this, "LanguagesPM");
}

void TMainForm::FormCreate(TObject*) {
    BaseDirValue() = IncludePathDelimiter(GetProgramParentDir());
    FillLanguagesMenu();
    UpdateTitle();
    // The rest of the window: the title shown on it follows the application's.
    ui::Application().OnTitleChange = {
        [](TObject& self, TObject* sender) { static_cast<TMainForm&>(self).ShowTitle(sender); }, this};
    ShowTitle(nullptr);
}

void TMainForm::ShowTitle(TObject*) {
    Child<ui::TLabel>(*this, "TitleLBL").SetCaption(ui::Application().Title());
}

void TMainForm::FillLanguagesMenu() {
    Localizer()->FindLangFiles(BaseDir() + "Lang" + os::PathDelim);
    ui::TPopupMenu& menu = LanguagesPM();
    try {
        menu.Clear();
        const TsxLangFileList& files = Localizer()->LangFiles();
        for (int i = 0; i < files.Count(); ++i) {
            const std::int32_t index = files.Items(i)->LangIndex;
            auto* item = new ui::TMenuItem(this);
            item->SetCaption(Languages()->LangName(index));
            item->SetTag(index);
            item->OnClick = {[](TObject& self, TObject* sender) {
                                 static_cast<TMainForm&>(self).LanguageItemClick(sender);
                             },
                             this};
            menu.Add(item);
        }
    } catch (...) {
        LanguagesBTN().SetEnabled(menu.Count() > 0);
        throw;
    }
    LanguagesBTN().SetEnabled(menu.Count() > 0);
}

void TMainForm::LanguageItemClick(TObject* Sender) {
    if (Sender != nullptr && Sender->InheritsFrom(ui::TMenuItem::ClassInfo))
        SetLanguage(Languages()->LangID(static_cast<ui::TMenuItem*>(Sender)->Tag()));
}

void TMainForm::SetLanguage(std::int32_t LangID) {
    const int index = Languages()->IndexOfLangID(LangID);
    if (index == -1)
        return;
    const AnsiString& ext = Languages()->LangExt(index);
    const AnsiString path = BaseDir() + "Lang" + os::PathDelim + ext + os::PathDelim +
                            rtl::ChangeFileExt(rtl::ExtractFileName(os::ProgramPath()), "." + ext);
    if (!os::FileExists(path))
        return;
    SetEnabled(false);
    const auto closing = [this] {
        UpdateTitle();
        SetEnabled(true);
    };
    try {
        try {
            TsxLocalizer& localizer = *Localizer();
            localizer.LoadFromFile(path);
            if (!localizer.Active())
                localizer.SetActive(true);
            localizer.TranslateForm(this);
        } catch (const Exception& error) {
            ui::MessageDlg(error.Message(), ui::TMsgDlgType::mtError);
        }
        ui::TPopupMenu& menu = LanguagesPM();
        for (int i = 0; i < menu.Count(); ++i)
            menu.Items(i)->SetChecked(Languages()->LangID(menu.Items(i)->Tag()) == LangID);
    } catch (...) {
        closing();
        throw;
    }
    closing();
}

void TMainForm::UpdateTitle() {
    ui::Application().SetTitle(ResStr(SQuorlinTitle));
}

void TMainForm::MessageBTNClick(TObject*) {
    ui::MessageDlg(ResStr(SQuorlinGreeting), ui::TMsgDlgType::mtInformation);
}

void TMainForm::CloseBTNClick(TObject*) {
    Close();
}
