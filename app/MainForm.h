// Quorlin's main window: a showcase of what the framework translates, with the language picker.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <cstdint>

// The parent folder of the program's folder, with a trailing delimiter: where the Lang folder lies.
// Set when the main window is created.
const AnsiString& BaseDir();

class TMainForm : public ui::TUiForm {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using ui::TUiForm::TUiForm;
    ~TMainForm() override;

    // The creation event: BaseDir, the languages menu, the title, then the rest of the window.
    void FormCreate(TObject* Sender);
    // Rebuilds the languages menu from the installed language files.
    void FillLanguagesMenu();
    // A languages-menu entry has been chosen.
    void LanguageItemClick(TObject* Sender);
    // Loads the language file of that language and translates the window with it.
    void SetLanguage(std::int32_t LangID);
    // The application's title from the program's title string.
    void UpdateTitle();

    void MessageBTNClick(TObject* Sender);
    void CloseBTNClick(TObject* Sender);

    ui::TDropDownButton& LanguagesBTN() const;
    ui::TPopupMenu& LanguagesPM() const;

private:
    void ShowTitle(TObject* Sender);
};
