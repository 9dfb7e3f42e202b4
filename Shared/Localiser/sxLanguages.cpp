#include "sxLanguages.h"

#include "Exceptions.h"
#include "Os.h"
#include "ResStrings.h"

namespace {

// Owned by this unit between CreateLanguages and ReleaseLanguages. Constant-initialised, so that it
// reads as none at any point of the program's static initialisation.
constinit TsxLanguages* programLanguages = nullptr;

} // namespace

const TLangRec& TsxLanguages::Record(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(SListIndexError, {index});
    return langs_[static_cast<std::size_t>(index)];
}

int TsxLanguages::IndexOfLangID(std::int32_t langID) const {
    for (int i = 0; i < Count(); ++i)
        if (langs_[static_cast<std::size_t>(i)].LangID == langID)
            return i;
    return -1;
}

int TsxLanguages::IndexOfLangExt(std::string_view ext) const {
    for (int i = 0; i < Count(); ++i)
        if (rtl::SameText(langs_[static_cast<std::size_t>(i)].LangExt, ext))
            return i;
    return -1;
}

bool EnumLocalesProc(TsxLanguages& languages, std::string_view localeText) {
    std::string_view digits = localeText.size() > 4 ? localeText.substr(4, 4) : std::string_view();
    std::int32_t langID = rtl::StrToInt("$" + AnsiString(digits));
    AnsiString langExt = os::GetLocaleText(static_cast<std::uint32_t>(langID), os::LocaleAbbrevLanguage);
    if (!langExt.empty())
        languages.langs_.push_back(
            {os::GetLocaleText(static_cast<std::uint32_t>(langID), os::LocaleLanguage), langID, langExt});
    return true;
}

TsxLanguages* Languages() {
    return programLanguages;
}

void CreateLanguages() {
    if (programLanguages == nullptr)
        programLanguages = new TsxLanguages;
    TsxLanguages& languages = *programLanguages;
    os::EnumSupportedLocales(
        [&languages](const char* localeId) { return EnumLocalesProc(languages, localeId); });
}

void ReleaseLanguages() {
    delete programLanguages;
    programLanguages = nullptr;
}
