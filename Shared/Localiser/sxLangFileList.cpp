#include "sxLangFileList.h"

#include "Assert.h"
#include "Os.h"
#include "sxLanguages.h"

namespace {

const TsxLanguages& ProgramLanguages() {
    rtl::Assert(Languages() != nullptr, "The locale table has not been made");
    return *Languages();
}

// Where the name part of a path begins: after its last folder delimiter.
std::size_t NameStart(std::string_view path) {
    std::size_t delimiter = path.find_last_of(os::FolderDelimiters);
    return delimiter == std::string_view::npos ? 0 : delimiter + 1;
}

// Where the extension of a path begins: at the last "." of its name part; the path's length when the
// name part has none.
std::size_t ExtensionStart(std::string_view path) {
    std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos || dot < NameStart(path) ? path.size() : dot;
}

} // namespace

std::int32_t LangIDByExt(std::string_view ext) {
    const TsxLanguages& languages = ProgramLanguages();
    int index = languages.IndexOfLangExt(ext);
    return index == -1 ? 0 : languages.LangID(index);
}

TsxLangFileItem* TsxLangFileList::Add(const AnsiString& fileName) {
    std::string_view ext = std::string_view(fileName).substr(ExtensionStart(fileName));
    AnsiString langExt = ext.empty() ? AnsiString() : rtl::Trim(ext.substr(1));
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
    AnsiString programPath = os::ProgramPath();
    FindLangFiles(list, dir, programPath.substr(NameStart(programPath)));
}

void FindLangFiles(TsxLangFileList& list, const AnsiString& dir, const AnsiString& programFileName) {
    list.Clear();
    const TsxLanguages& languages = ProgramLanguages();
    std::string_view baseName = std::string_view(programFileName).substr(0, ExtensionStart(programFileName));
    for (const os::FindEntry& entry : os::FindFiles(dir + "*")) {
        // The search asks for folders besides plain files: hidden and system entries stay out.
        if (entry.Hidden || entry.System)
            continue;
        const AnsiString& name = entry.Name;
        if (name == "." || name == "..")
            continue;
        if (languages.IndexOfLangExt(name) == -1)
            continue;
        AnsiString path = dir + name + os::PathDelim + AnsiString(baseName) + "." + name;
        if (os::FileExists(path))
            list.Add(path);
    }
}
