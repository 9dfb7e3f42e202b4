#include "LangFileList.h"

#include "TextOutput.h"

std::string FormatLangFilesAsText(const TsxLangFileList& files, const TsxLanguages& languages) {
    std::string out;
    for (int i = 0; i < files.Count(); ++i) {
        const TsxLangFileItem* item = files.Items(i);
        out += ListingText(AnsiToUtf8(item->LangExt)) + "\t" + std::to_string(item->LangID) + "\t" +
               ListingText(AnsiToUtf8(languages.LangName(item->LangIndex))) + "\t" +
               AnsiToUtf8(item->FileName) + "\n";
    }
    return out;
}

std::string FormatLangFilesAsJson(const TsxLangFileList& files, const TsxLanguages& languages) {
    std::string out = "{\"languages\":[";
    const char* separator = "\n  ";
    for (int i = 0; i < files.Count(); ++i) {
        const TsxLangFileItem* item = files.Items(i);
        out += separator;
        out += "{\"ext\":" + JsonString(AnsiToUtf8(item->LangExt)) +
               ", \"lang_id\":" + std::to_string(item->LangID) +
               ", \"name\":" + JsonString(AnsiToUtf8(languages.LangName(item->LangIndex))) +
               ", \"file\":" + JsonString(AnsiToUtf8(item->FileName)) + "}";
        separator = ",\n  ";
    }
    out += "]}\n";
    return out;
}
