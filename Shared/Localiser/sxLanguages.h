// The locale table: the languages that the system knows, each with its display name, its language
// identifier and its abbreviation (ENU, RUS), in the order in which the system enumerates its
// supported locales.
//
// The program-wide table is made once while the program initialises and released when it ends: the
// localiser's unit calls CreateLanguages before it makes the localiser and ReleaseLanguages after it
// has freed it. The table is never refreshed during the run.
#pragma once

#include "RtlStrings.h"

#include <cstdint>
#include <string_view>
#include <vector>

struct TLangRec {
    // LOCALE_SLANGUAGE, in the language of the system's user interface, in the ANSI code page.
    AnsiString LangName;
    // The low 16 bits of the locale identifier: 1033 (0x0409) for English (United States).
    std::int32_t LangID = 0;
    // LOCALE_SABBREVLANGNAME; never empty in the table.
    AnsiString LangExt;
};

class TsxLanguages {
public:
    int Count() const { return static_cast<int>(langs_.size()); }
    // The fields of record index; outside 0 to Count() - 1 raises EListError "List index out of
    // bounds (%d)".
    const AnsiString& LangName(int index) const { return Record(index).LangName; }
    std::int32_t LangID(int index) const { return Record(index).LangID; }
    const AnsiString& LangExt(int index) const { return Record(index).LangExt; }

    // The index of the first record with that language identifier, or -1.
    int IndexOfLangID(std::int32_t langID) const;
    // The index of the first record whose abbreviation equals ext without regard to ASCII letter
    // case (texts of different length never match), or -1.
    int IndexOfLangExt(std::string_view ext) const;

private:
    friend bool EnumLocalesProc(TsxLanguages& languages, std::string_view localeText);

    const TLangRec& Record(int index) const;

    // No duplicate check: every lookup returns the first match.
    std::vector<TLangRec> langs_;
};

// One locale of the enumeration, given as the text of its locale identifier (eight hexadecimal
// digits): characters 5 to 8 read as a hexadecimal number are the language identifier, the upper
// half of the locale identifier is dropped. A locale whose abbreviation the system cannot give is
// skipped; otherwise a record is appended to languages. Returns true, so that the enumeration goes
// on. Characters 5 to 8 that are no hexadecimal number raise EConvertError.
bool EnumLocalesProc(TsxLanguages& languages, std::string_view localeText);

// The program-wide locale table; none before CreateLanguages and after ReleaseLanguages.
TsxLanguages* Languages();
// Makes the program-wide table, empty, unless it exists, then appends every supported locale of the
// system through EnumLocalesProc.
void CreateLanguages();
// Frees the program-wide table.
void ReleaseLanguages();
