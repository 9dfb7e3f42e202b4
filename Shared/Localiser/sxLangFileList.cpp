#include "sxLangFileList.h"

#include "Assert.h"
#include "FilePaths.h"
#include "Os.h"
#include "sxLanguages.h"

namespace {

const TsxLanguages& ProgramLanguages() {
    rtl::Assert(Languages() != nullptr, "The locale table has not been made");
    return *Languages();
}

} // namespace

std::int32_t LangIDByExt(std::string_view ext) {
    const TsxLanguages& languages = ProgramLanguages();
    int index = languages.IndexOfLangExt(ext);
    return index == -1 ? 0 : languages.LangID(index);
}

TsxLangFileItem* TsxLangFileList::Add(const AnsiString& fileName) {
    const AnsiString ext = rtl::ExtractFileExt(fileName);
    AnsiString langExt = ext.empty() ? AnsiString() : rtl::Trim(std::string_view(ext).substr(1));
    std::int32_t langID = LangIDByExt(langExt);
    if (langID <= 0)
        return nullptr;
    TsxLangFileItem* item = TsxSortCollectionOf::Add();
    item->FileName = fileName;
    item->LangExt = langExt;
    item->LangID = langID;
    item->LangIndex = ProgramLanguages().IndexOfLangID(langID);
    return item;
}

void FindLangFiles(TsxLangFileList& list, const AnsiString& dir) {
    FindLangFiles(list, dir, rtl::ExtractFileName(os::ProgramPath()));
}

void FindLangFiles(TsxLangFileList& list, const AnsiString& dir, const AnsiString& programFileName) {
    list.Clear();
    const TsxLanguages& languages = ProgramLanguages();
    for (const os::FindEntry& entry : os::FindFiles(dir + "*")) {
        // The search asks for folders besides plain files: hidden and system entries stay out.
        if (entry.Hidden || entry.System)
            continue;
        const AnsiString& name = entry.Name;
        if (name == "." || name == "..")
            continue;
        if (languages.IndexOfLangExt(name) == -1)
            continue;
        AnsiString path = dir + name + os::PathDelim + rtl::ChangeFileExt(programFileName, "." + name);
        if (os::FileExists(path))
            list.Add(path);
    }
}
