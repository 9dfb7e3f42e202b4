#include "sxLocalizer.h"

#include "sxLangFile.h"
#include "sxLanguages.h"
#include "sxPropertyPath.h"

#include <unordered_map>

TsxLocalizer::TsxLocalizer() {
    resourceStrings_ = std::make_unique<TsxResourceStringsList>();
    forms_ = std::make_unique<TsxRCDataFormList>();
    langFiles_ = std::make_unique<TsxLangFileList>();
}

TsxLocalizer::~TsxLocalizer() {
    resourceStrings_.reset();
    forms_.reset();
    langFiles_.reset();
}

void TsxLocalizer::Clear() {
    resourceStrings_->Clear();
    forms_->Clear();
    loaded_ = false;
    version_ = 0;
    langID_ = 0;
    langName_.clear();
    langExt_.clear();
}

void TsxLocalizer::TranslateForm(TForm* Form) const {
    if (!active_ || Form == nullptr)
        return;
    const TClassInfo* cls = &Form->ClassType();
    std::string_view name = cls->Name;
    while (!name.empty()) {
        TranslateComponent(Form, name);
        cls = cls->Parent;
        name = cls != nullptr ? cls->Name : "";
        if (rtl::SameText(name, "TFORM"))
            break;
    }
}

void TsxLocalizer::TranslateComponent(TComponent* Root, std::string_view FormKey) const {
    const TsxRCDataFormItem* entry = forms_->Find(FormKey);
    if (entry == nullptr)
        return;
    const TsxRCDataProperyList& properties = entry->Properties();
    for (int i = 0; i < properties.Count(); ++i) {
        const TsxRCDataProperyItem& item = *properties.Items(i);
        SetPropertyText(Root, item.PropPath, item.Value);
    }
}

void TsxLocalizer::Progress(std::int32_t Total, std::int32_t Current) {
    if (OnProgress)
        OnProgress(*this, Total, Current);
}

void TsxLocalizer::LoadFromFile(const AnsiString& FileName) {
    TsxLangFileReader::RequireFile(FileName);
    Clear();
    const TsxLangFileReader reader(FileName);

    const std::int32_t total = reader.StringCount() + reader.PropertyCount();
    std::int32_t current = 0;
    Progress(total, current);

    TsxUpdateBracket strings(*resourceStrings_);
    for (int i = 0; i < reader.StringCount(); ++i) {
        Progress(total, ++current);
        if (auto entry = reader.ReadString(i))
            resourceStrings_->Add(entry->Identifier, std::move(entry->Text));
    }
    strings.Close();

    // Consecutive entries of one form reuse its entry; the store is searched when the key changes.
    // The store was emptied above, so unless a progress handler changes it, every form entry comes
    // from this pass: an index of the entries by their key as Find compares it (trimmed, ASCII
    // capitals) then finds what Find would find, the first entry with that key, without walking the
    // store. With a handler the store is searched.
    const bool indexed = !OnProgress;
    std::unordered_map<AnsiString, TsxRCDataFormItem*> formIndex;
    TsxRCDataFormItem* form = nullptr;
    TsxUpdateBracket forms(*forms_);
    for (int i = 0; i < reader.PropertyCount(); ++i) {
        Progress(total, ++current);
        auto entry = reader.ReadProperty(i);
        if (!entry)
            continue;
        if (form == nullptr || !form->IsFormName(entry->Form)) {
            if (indexed) {
                TsxRCDataFormItem*& known = formIndex[rtl::UpperCase(rtl::TrimView(entry->Form))];
                if (known == nullptr)
                    known = forms_->Add(entry->Form);
                form = known;
            } else {
                form = forms_->Find(entry->Form);
                if (form == nullptr)
                    form = forms_->Add(entry->Form);
            }
        }
        form->Properties().Add(entry->Property, std::move(entry->Text));
    }
    forms.Close();

    const TsxLangFileHeader& header = reader.Header();
    version_ = header.Version;
    langID_ = header.LangID;
    langName_ = header.LangName;
    langExt_ = header.LangExt;
    loaded_ = true;
}

WideString TsxLocalizer::GetResourceString(std::int32_t Identifier) const {
    const TsxResourceStringsItem* item = resourceStrings_->Find(Identifier);
    return item != nullptr ? item->Text() : WideString();
}

void TsxLocalizer::FindLangFiles(const AnsiString& Dir) {
    ::FindLangFiles(*langFiles_, Dir);
}

void TsxLocalizer::Activate() {
    if (active_)
        return;
    InstallResStringHook();
    active_ = true;
}

void TsxLocalizer::Deactivate() {
    if (!active_)
        return;
    RemoveResStringHook();
    active_ = false;
}

void TsxLocalizer::SetActive(bool Value) {
    if (Value == active_)
        return;
    if (Value)
        Activate();
    else
        Deactivate();
}

namespace {

constinit TsxLocalizer* programLocalizer = nullptr;
// Never freed: the patch stays for the whole run.
constinit TProcHook* resStringHook = nullptr;

// The program-wide objects: the locale table, then the localiser; released in the reverse order.
struct ProgramObjects {
    ProgramObjects() {
        CreateLanguages();
        programLocalizer = new TsxLocalizer;
    }
    ~ProgramObjects() {
        // The redirected loader sees no localiser from here on, also while it is being torn down.
        TsxLocalizer* localizer = programLocalizer;
        programLocalizer = nullptr;
        delete localizer;
        ReleaseLanguages();
    }
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;
};

const ProgramObjects programObjects;

} // namespace

TsxLocalizer* Localizer() {
    return programLocalizer;
}

const TProcHook* ResStringHook() {
    return resStringHook;
}

void InstallResStringHook() {
    if (resStringHook == nullptr)
        resStringHook = new TProcHook(reinterpret_cast<void*>(&LoadResString),
                                      reinterpret_cast<void*>(&sxLoadResString), false);
    resStringHook->Enable();
}

void RemoveResStringHook() {
    if (resStringHook != nullptr)
        resStringHook->Disable();
}

void sxLoadResString(const TResStringRec* ResStringRec, AnsiString* Result) {
    const TsxLocalizer* localizer = Localizer();
    // Only string-table identifiers can have a translation; a larger one is the address of a text.
    // A stored translation is never empty, so a found one is the answer.
    if (ResStringRec != nullptr && ResStringRec->Identifier < 65536 && localizer != nullptr &&
        localizer->Active()) {
        const auto id = static_cast<std::int32_t>(ResStringRec->Identifier);
        if (const TsxResourceStringsItem* item = localizer->ResourceStrings().Find(id)) {
            *Result = item->AnsiText();
            return;
        }
    }
    *Result = rtl::WideToAnsi(LoadCompiledResString(ResStringRec));
}

WideString LoadCompiledResString(const TResStringRec* ResStringRec) {
    if (ResStringRec == nullptr)
        return {};
    if (ResStringRec->Identifier < 65536) {
        const os::ModuleHandle module = os::FindResourceModule(*ResStringRec->Module);
        return os::LoadStringWide(module, static_cast<unsigned>(ResStringRec->Identifier));
    }
    return rtl::AnsiToWide(reinterpret_cast<const char*>(ResStringRec->Identifier));
}
