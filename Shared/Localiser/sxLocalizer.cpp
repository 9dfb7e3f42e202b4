#include "sxLocalizer.h"

#include "sxLangFile.h"
#include "sxLanguages.h"

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
            resourceStrings_->Add(entry->Identifier, entry->Text);
    }
    strings.Close();

    // Consecutive entries of one form reuse its entry; the store is searched when the key changes.
    TsxRCDataFormItem* form = nullptr;
    TsxUpdateBracket forms(*forms_);
    for (int i = 0; i < reader.PropertyCount(); ++i) {
        Progress(total, ++current);
        auto entry = reader.ReadProperty(i);
        if (!entry)
            continue;
        if (form == nullptr || !form->IsFormName(entry->Form)) {
            form = forms_->Find(entry->Form);
            if (form == nullptr)
                form = forms_->Add(entry->Form);
        }
        form->Properties().Add(entry->Property, entry->Text);
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
    return item != nullptr ? item->Text : WideString();
}

void TsxLocalizer::FindLangFiles(const AnsiString& Dir) {
    ::FindLangFiles(*langFiles_, Dir);
}

namespace {

constinit TsxLocalizer* programLocalizer = nullptr;

// The program-wide objects: the locale table, then the localiser; released in the reverse order.
struct ProgramObjects {
    ProgramObjects() {
        CreateLanguages();
        programLocalizer = new TsxLocalizer;
    }
    ~ProgramObjects() {
        delete programLocalizer;
        programLocalizer = nullptr;
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
