// The localiser: the one object through which a program changes the language of its user interface
// while it runs. It owns the two translation stores and the list of installed language files, loads
// a language file into the stores and keeps the file's header.
#pragma once

#include "Controls.h"
#include "ProcHook.h"
#include "ResString.h"
#include "RtlStrings.h"
#include "sxLangFileList.h"
#include "sxTranslationStores.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class TsxLocalizer;

// Told of the progress of LoadFromFile: once with Current 0 when the header has passed, then before
// each String and Property element, Current counting up to Total (skipped elements included).
using TsxProgressEvent = std::function<void(TsxLocalizer& Sender, std::int32_t Total, std::int32_t Current)>;

class TsxLocalizer {
public:
    // Makes ResourceStrings, then Forms, then LangFiles; nothing loaded, inactive.
    TsxLocalizer();
    // Frees ResourceStrings, then Forms, then LangFiles.
    ~TsxLocalizer();
    TsxLocalizer(const TsxLocalizer&) = delete;
    TsxLocalizer& operator=(const TsxLocalizer&) = delete;

    // Empties both stores and the header; Active and LangFiles stay as they are.
    void Clear();

    // Loads one language file. When no file exists at FileName, raises the file-not-found error and
    // changes nothing. Otherwise empties the stores first; a header that breaks a rule raises the
    // damaged-file error, a document that is not well-formed the XML reader's error, a non-integer
    // number the conversion error. After a failure the header is empty and the stores hold what was
    // added before it; both store brackets are closed in every case.
    void LoadFromFile(const AnsiString& FileName);

    // The translation of a resource string, or the empty string. Active is not consulted.
    WideString GetResourceString(std::int32_t Identifier) const;

    // Writes the stored texts of Form's class and of its ancestor form classes into Form, only while
    // Active: the entries under the key of Form's own class first, then those of each parent class in
    // turn, nearest first, until the parent class named TForm (whose entries are not applied). Where
    // two levels set the same property, the ancestor's text remains. An error of a path (see
    // SetPropertyText) stops the translation at that item.
    void TranslateForm(TForm* Form) const;
    // Applies every property item stored under FormKey, in order, with Root as the starting point.
    void TranslateComponent(TComponent* Root, std::string_view FormKey) const;

    // Replaces LangFiles with the language files found in the catalogue folder Dir (ending with a
    // path delimiter).
    void FindLangFiles(const AnsiString& Dir);

    // Switches the translations on: the resource-string redirection (made on first use, then switched
    // on) and form translation. Nothing when already active. Active is set only after the redirection
    // is in place: when it fails, the error passes and the localiser stays inactive.
    void Activate();
    // Switches the redirection off: every later resource string is the compiled one. Texts already
    // written into forms stay. Nothing when inactive.
    void Deactivate();
    // Activate or Deactivate; nothing when Value equals Active.
    void SetActive(bool Value);

    bool Active() const { return active_; }
    bool Loaded() const { return loaded_; }
    std::int32_t Version() const { return version_; }
    std::int32_t LangID() const { return langID_; }
    const WideString& LangName() const { return langName_; }
    const AnsiString& LangExt() const { return langExt_; }

    TsxResourceStringsList& ResourceStrings() const { return *resourceStrings_; }
    TsxRCDataFormList& Forms() const { return *forms_; }
    TsxLangFileList& LangFiles() const { return *langFiles_; }

    TsxProgressEvent OnProgress;

private:
    void Progress(std::int32_t Total, std::int32_t Current);

    std::unique_ptr<TsxLangFileList> langFiles_;
    bool loaded_ = false;
    bool active_ = false;
    std::int32_t version_ = 0;
    std::int32_t langID_ = 0;
    WideString langName_;
    AnsiString langExt_;
    std::unique_ptr<TsxResourceStringsList> resourceStrings_;
    std::unique_ptr<TsxRCDataFormList> forms_;
};

// The program-wide localiser: made at program initialisation, after the locale table, and freed at
// the end of the run, before it. None before it is made and from the start of its destruction on:
// the redirected loader then answers with the compiled texts.
TsxLocalizer* Localizer();

// ---- The resource-string redirection ---------------------------------------------------------------

// The patch that redirects LoadResString to sxLoadResString: none until the redirection is first
// switched on, then kept, switched on and off, until the process ends.
const TProcHook* ResStringHook();

// Makes the patch on first use, then switches it on.
void InstallResStringHook();
// Switches the patch off, when it exists.
void RemoveResStringHook();

// What LoadResString does while it is redirected: the program-wide localiser's translation while
// the localiser exists and is active, else (or when it has none) the compiled text.
void sxLoadResString(const TResStringRec* ResStringRec, AnsiString* Result);

// The compiled text of a resource string, whole: the string-table entry of the record's module, or
// for an identifier from 65536 on the text at that address. Empty for no record.
WideString LoadCompiledResString(const TResStringRec* ResStringRec);
