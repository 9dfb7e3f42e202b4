// Loads arbitrary bytes as a language file into the program-wide localiser, one file per process
// that every input overwrites, and checks the localiser's state after each load. The localiser is
// not emptied between inputs, so every load also starts from what the one before left.
//
// Refusals must be our own exceptions; anything else (a crash, a sanitizer report, a foreign
// exception) is a finding, and so is a broken invariant (a trap):
// - always: both store brackets closed; the resource strings in ascending order of identifier, each
//   from 1 to 65535 with a text; every form key trimmed, unlike every other in ASCII letter case,
//   with at least one property, each with a trimmed path and a value; the progress calls
//   first (Total, 0), then counting up by one, Total not changing;
// - after a failure: the header in its empty state; no progress call and empty stores when the XML
//   reader or the header check refused the file;
// - after a success: the header of a loaded file, and as many progress calls as Total says, no
//   fewer elements than entries in the stores.
#include "Exceptions.h"
#include "sxLangFile.h"
#include "sxLocalizer.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// No blank at either end. A key may be empty: the file rules accept a Form or Property attribute
// that is not empty as read, and one of blanks only is stored trimmed to nothing.
bool Trimmed(std::string_view s) {
    return s.empty() || (!IsBlank(s.front()) && !IsBlank(s.back()));
}

// In the temporary folder (TMPDIR, else /tmp); TMPDIR=/dev/shm spares the disk.
const std::string& FilePath() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("localiser_load_fuzz." + std::to_string(getpid()) + ".ENU"))
                                        .string();
    return path;
}

void RemoveFile() {
    std::remove(FilePath().c_str());
}

void WriteFile(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(FilePath().c_str(), "wb");
    Require(file != nullptr);
    Require(size == 0 || std::fwrite(data, 1, size, file) == size);
    Require(std::fclose(file) == 0);
}

struct Progress {
    int calls = 0;
    std::int32_t total = -1;
    std::int32_t last = -1;
};

// Returns the number of entries in the stores.
int CheckStores(const TsxLocalizer& localizer) {
    const TsxResourceStringsList& strings = localizer.ResourceStrings();
    Require(strings.UpdateCount() == 0);
    std::int32_t previous = 0;
    for (int i = 0; i < strings.Count(); ++i) {
        const TsxResourceStringsItem* item = strings.Items(i);
        Require(item->Identifier >= 1 && item->Identifier <= 65535);
        Require(item->Identifier >= previous);
        Require(!item->Text().empty());
        previous = item->Identifier;
    }
    const TsxRCDataFormList& forms = localizer.Forms();
    Require(forms.UpdateCount() == 0);
    int entries = strings.Count();
    for (int i = 0; i < forms.Count(); ++i) {
        const TsxRCDataFormItem* form = forms.Items(i);
        Require(Trimmed(form->FormName));
        for (int j = 0; j < i; ++j)
            Require(!form->IsFormName(forms.Items(j)->FormName));
        const TsxRCDataProperyList& properties = form->Properties();
        Require(properties.UpdateCount() == 0);
        Require(properties.Count() > 0);
        for (int k = 0; k < properties.Count(); ++k) {
            Require(Trimmed(properties.Items(k)->PropPath));
            Require(!properties.Items(k)->Value.empty());
        }
        entries += properties.Count();
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Require(Localizer() != nullptr);
    // The path is made first, so that it outlives the removal at exit.
    (void)FilePath();
    std::atexit(RemoveFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFile(data, size);
    TsxLocalizer& localizer = *Localizer();
    Progress progress;
    localizer.OnProgress = [&progress](TsxLocalizer& sender, std::int32_t total, std::int32_t current) {
        Require(&sender == Localizer());
        if (progress.calls == 0)
            Require(current == 0 && total >= 0);
        else
            Require(total == progress.total && current == progress.last + 1 && current <= total);
        progress.total = total;
        progress.last = current;
        ++progress.calls;
    };

    bool loaded = false;
    bool refusedWhole = false; // by the XML reader or the header check, before any entry
    try {
        localizer.LoadFromFile(FilePath());
        loaded = true;
    } catch (const EXmlSyntaxError&) {
        refusedWhole = true;
    } catch (const EsxLangFileError&) {
        refusedWhole = true;
    } catch (const Exception&) {
    }
    localizer.OnProgress = nullptr;

    const int entries = CheckStores(localizer);
    if (loaded) {
        Require(localizer.Loaded());
        Require(localizer.Version() == 1);
        Require(localizer.LangID() != 0);
        Require(!localizer.LangName().empty());
        Require(!localizer.LangExt().empty());
        Require(progress.calls == progress.total + 1 && progress.last == progress.total);
        Require(entries <= progress.total);
    } else {
        Require(!localizer.Loaded());
        Require(localizer.Version() == 0);
        Require(localizer.LangID() == 0);
        Require(localizer.LangName().empty());
        Require(localizer.LangExt().empty());
        if (refusedWhole)
            Require(progress.calls == 0 && entries == 0);
    }
    return 0;
}
