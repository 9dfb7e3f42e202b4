// The installed language files: the list that ties each language file found under the catalogue
// folder to a record of the locale table (sxLanguages), and the scan that fills it.
//
// The catalogue folder holds one folder per language, named by the language's abbreviation; in it
// the language file is named like the program, with the abbreviation as its extension:
//   Lang\ENU\prog.ENU, Lang\RUS\prog.RUS
// Everything else in the catalogue folder, and any other file in a language's folder, is ignored.
#pragma once

#include "RtlStrings.h"
#include "sxSortCollection.h"

#include <cstdint>
#include <string_view>

class TsxLangFileItem : public TsxItemType<TsxLangFileItem> {
public:
    static constexpr char TypeName[] = "TsxLangFileItem";
    // The full path of the language file, as the scan built it.
    AnsiString FileName;
    // The file's extension without the dot, trimmed, in the letter case found on disk.
    AnsiString LangExt;
    // The language identifier of the first locale record whose abbreviation equals LangExt.
    std::int32_t LangID = 0;
    // The index in the locale table of the first record with LangID.
    std::int32_t LangIndex = 0;
};

// Not sorted: the items stand in the order in which they were added.
class TsxLangFileList : public TsxSortCollectionOf<TsxLangFileItem> {
public:
    // A new item for the language file at fileName, or none when the file's extension is no known
    // abbreviation.
    TsxLangFileItem* Add(const AnsiString& fileName);
};

// The language identifier of the first locale record whose abbreviation equals ext without regard
// to ASCII letter case, or 0.
std::int32_t LangIDByExt(std::string_view ext);

// Replaces the content of list with the language files of the running program found under dir, the
// catalogue folder, which must end with a path delimiter. Finding nothing is no error.
void FindLangFiles(TsxLangFileList& list, const AnsiString& dir);
// The same for a program whose file name (without folder) is programFileName.
void FindLangFiles(TsxLangFileList& list, const AnsiString& dir, const AnsiString& programFileName);
