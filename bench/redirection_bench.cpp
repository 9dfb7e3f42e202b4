// The cost of one use of a resource string through the redirection, against references measured in
// the same run.
//
// A generated language file of n String entries (identifiers spread evenly over 1 to 65535) is
// loaded into the program-wide localiser; then, per call:
//
//   hit/n        ResStr of a record that the file translates (SInvalidInteger), redirection on;
//   miss/n       ResStr of a record that the file lacks (SListIndexError), redirection on: the
//                compiled text through LoadCompiledResString;
//   unpatched    ResStr of the translated record with the localiser inactive: the loader itself,
//                which reads the string table (LoadStringW on Windows, the in-memory table natively);
//   bare/n       the least a hit has to do: a halving search over a sorted std::vector of the same
//                identifiers and texts, and the conversion of the found text to the ANSI code page;
//   gettext/n    (native only) glibc's gettext() of the same string in a catalog of the same n
//                entries (msgid the English text, msgstr the translation), compiled with msgfmt.
//
// Natively the cases run under Google Benchmark (CPU time, median of the repetitions); the Windows
// build, which has no Google Benchmark, times them with BatchTimer.h (wall time, median batch).
#include "Exceptions.h"
#include "Figures.h"
#include "Os.h"
#include "ResStrings.h"
#include "RtlStrings.h"
#include "sxLocalizer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "BatchTimer.h"
#else
#include "InProcModule.h"
#include "MedianReporter.h"

#include <benchmark/benchmark.h>
#include <clocale>
#include <cstdlib>
#include <libintl.h>
#include <unistd.h>
#endif

namespace {

constexpr int kRepetitions = 5;
constexpr int kSizes[] = {1000, 64000};
#if defined(_WIN32)
constexpr bool kGettext = false;
#else
constexpr bool kGettext = true;
#endif

// The translated record and the one that no file translates.
const TResStringRec& kHitRec = SInvalidInteger;
const TResStringRec& kMissRec = SListIndexError;
const char kHitSource[] = "'%s' is not a valid integer value";
const char kHitTranslation[] = "'%s' не является допустимым целым числом";

// The texts of the other entries: English source and translation (UTF-8), each followed by the
// identifier so that every source text is a distinct msgid.
const char* const kTexts[][2] = {
    {"Open file", "Открыть файл"},
    {"Save changes to the current project?", "Сохранить изменения в проекте?"},
    {"Cancel", "Отмена"},
    {"The document could not be printed", "Не удалось напечатать документ"},
};

struct Entry {
    std::int32_t id;
    std::string source;      // UTF-8
    std::string translation; // UTF-8
};

std::string Label(int size) {
    return std::to_string(size / 1000) + "k";
}

// `size` identifiers spread evenly over 1 to 65535, the hit's among them, the miss's not.
std::vector<Entry> MakeEntries(int size) {
    std::vector<bool> stored(65536);
    for (int k = 0; k < size; ++k)
        stored[static_cast<std::size_t>(1 + static_cast<std::int64_t>(k) * 65535 / size)] = true;
    stored[static_cast<std::size_t>(kMissRec.Identifier)] = false;
    stored[static_cast<std::size_t>(kHitRec.Identifier)] = true;
    // Rounding, the miss and the hit may leave one too few or too many.
    int count = static_cast<int>(std::count(stored.begin(), stored.end(), true));
    for (std::int32_t id = 1; count < size; ++id)
        if (!stored[static_cast<std::size_t>(id)] && id != kMissRec.Identifier) {
            stored[static_cast<std::size_t>(id)] = true;
            ++count;
        }
    for (std::int32_t id = 1; count > size; ++id)
        if (stored[static_cast<std::size_t>(id)] && id != kHitRec.Identifier) {
            stored[static_cast<std::size_t>(id)] = false;
            --count;
        }
    std::vector<Entry> entries;
    for (std::int32_t id = 1; id <= 65535; ++id) {
        if (!stored[static_cast<std::size_t>(id)])
            continue;
        if (id == kHitRec.Identifier) {
            entries.push_back({id, kHitSource, kHitTranslation});
            continue;
        }
        const auto& text = kTexts[id % 4];
        const std::string suffix = " " + std::to_string(id);
        entries.push_back({id, text[0] + suffix, text[1] + suffix});
    }
    return entries;
}

// A language file of String entries; a literal percent sign is written "%%".
std::string LanguageFile(const std::vector<Entry>& entries) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Language>\n"
                      "  <Info Lang_ID=\"1049\" Lang_Name=\"Русский\" Lang_Ext=\"RUS\" Version=\"1\"/>\n"
                      "  <Resource_Strings>\n";
    for (const Entry& e : entries) {
        std::string text;
        for (const char c : e.translation)
            text += c == '%' ? std::string("%%") : std::string(1, c);
        xml += "    <String ID=\"" + std::to_string(e.id) + "\">" + text + "</String>\n";
    }
    return xml + "  </Resource_Strings>\n  <RCData>\n  </RCData>\n</Language>\n";
}

std::filesystem::path TempFolder() {
    static const std::filesystem::path folder = std::filesystem::temp_directory_path() / "redirection_bench";
    return folder;
}

std::string FilePath(int size) {
    return (TempFolder() / (Label(size) + ".RUS")).string();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The bare minimum: the same identifiers and texts, sorted.
struct SortedText {
    std::int32_t id;
    std::u16string text;
};
std::map<int, std::vector<SortedText>> sortedTexts;

AnsiString BareLookup(const std::vector<SortedText>& texts, std::int32_t id) {
    const auto it = std::lower_bound(texts.begin(), texts.end(), id,
                                     [](const SortedText& t, std::int32_t key) { return t.id < key; });
    return it != texts.end() && it->id == id ? rtl::WideToAnsi(it->text) : AnsiString();
}

// The program-wide localiser holds the file of `size` entries (loaded when another one is), and is
// active or not.
int loadedSize = 0;
void Prepare(int size, bool active) {
    if (loadedSize != size) {
        Localizer()->LoadFromFile(FilePath(size));
        loadedSize = size;
    }
    Localizer()->SetActive(active);
}

// The texts that the timed calls must give, checked once for each size before any timing.
bool Check(int size) {
    const AnsiString translated = rtl::WideToAnsi(rtl::Utf8ToWide(kHitTranslation));
    Prepare(size, true);
    const bool stored = Localizer()->ResourceStrings().Count() == size;
    const bool hit = ResStr(kHitRec) == translated;
    const bool miss = ResStr(kMissRec) == rtl::WideToAnsi(LoadCompiledResString(&kMissRec));
    const bool bare =
        BareLookup(sortedTexts[size], static_cast<std::int32_t>(kHitRec.Identifier)) == translated;
    Prepare(size, false);
    const bool unpatched = ResStr(kHitRec) == rtl::WideToAnsi(rtl::Utf8ToWide(kHitSource));
    const bool ok = stored && hit && miss && bare && unpatched && !ResStr(kMissRec).empty();
    if (!ok)
        std::printf("%s: %d entries stored, hit %s, miss %s, bare %s, unpatched %s\n", Label(size).c_str(),
                    Localizer()->ResourceStrings().Count(), hit ? "right" : "wrong", miss ? "right" : "wrong",
                    bare ? "right" : "wrong", unpatched ? "right" : "wrong");
    return ok;
}

// ns per call of each case, by name.
std::map<std::string, double> results;

#if defined(_WIN32)

// The cases in the order of adding, each timing itself.
std::vector<std::function<void()>> cases;

template <class Setup, class Call> void AddCase(const std::string& name, Setup setup, Call call) {
    cases.push_back([name, setup, call] {
        setup();
        results[name] = bench::MedianNsPerCall(call);
        std::printf("%-12s %9.1f ns\n", name.c_str(), results[name]);
    });
}

void RunCases() {
    for (const auto& run : cases)
        run();
}

#else

template <class Setup, class Call> void AddCase(const std::string& name, Setup setup, Call call) {
    results[name] = 0;
    benchmark::RegisterBenchmark(name.c_str(),
                                 [setup, call](benchmark::State& state) {
                                     setup();
                                     for (auto _ : state)
                                         benchmark::DoNotOptimize(call());
                                 })
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true);
}

std::map<int, std::string> domains;

void RunCases() {
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (auto& [name, ns] : results)
        ns = reporter.Seconds(name) * 1e9;
}

// A catalog of the same entries for glibc's gettext(), compiled by msgfmt into
// TempFolder()/C.utf8/LC_MESSAGES/<domain>.mo, and the domain bound to it, with UTF-8 output.
bool MakeCatalog(int size, const std::vector<Entry>& entries) {
    const std::string domain = "redirection_bench_" + Label(size);
    std::string po = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (const Entry& e : entries)
        po += "msgid \"" + e.source + "\"\nmsgstr \"" + e.translation + "\"\n\n";
    const std::filesystem::path poPath = TempFolder() / (domain + ".po");
    WriteFile(poPath, po);
    const std::filesystem::path dir = TempFolder() / "C.utf8" / "LC_MESSAGES";
    std::filesystem::create_directories(dir);
    const std::string command =
        std::string(QRL_MSGFMT) + " -o '" + (dir / (domain + ".mo")).string() + "' '" + poPath.string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::printf("%s failed\n", command.c_str());
        return false;
    }
    bindtextdomain(domain.c_str(), TempFolder().c_str());
    bind_textdomain_codeset(domain.c_str(), "UTF-8");
    textdomain(domain.c_str());
    domains[size] = domain;
    const bool ok = std::string(gettext(kHitSource)) == kHitTranslation;
    if (!ok)
        std::printf("gettext/%s: the catalog does not translate \"%s\"\n", Label(size).c_str(), kHitSource);
    return ok;
}

#endif

void AddCases() {
    for (const int size : kSizes) {
        const std::string label = Label(size);
        AddCase(
            "hit/" + label, [size] { Prepare(size, true); }, [] { return ResStr(kHitRec); });
        AddCase(
            "miss/" + label, [size] { Prepare(size, true); }, [] { return ResStr(kMissRec); });
        const std::vector<SortedText>* texts = &sortedTexts[size];
        AddCase(
            "bare/" + label, [] {},
            [texts] { return BareLookup(*texts, static_cast<std::int32_t>(kHitRec.Identifier)); });
#if !defined(_WIN32)
        AddCase(
            "gettext/" + label, [size] { textdomain(domains[size].c_str()); },
            [] { return gettext(kHitSource); });
#endif
    }
    AddCase(
        "unpatched", [] { Prepare(loadedSize, false); }, [] { return ResStr(kHitRec); });
}

void PrintSummary() {
    using bench::Figure;
    std::printf("\nOne resource-string use, ns per call (ANSI code page %u):\n\n", os::AnsiCodePage());
    std::printf("%-28s %9s %9s\n", "", "1k", "64k");
    std::vector<std::pair<const char*, const char*>> rows = {
        {"hit (translated)", "hit/"}, {"miss (compiled text)", "miss/"}, {"bare minimum", "bare/"}};
    if (kGettext)
        rows.emplace_back("gettext()", "gettext/");
    for (const auto& [title, prefix] : rows)
        std::printf("%-28s %9s %9s\n", title, Figure(results[prefix + Label(kSizes[0])], "%.1f").c_str(),
                    Figure(results[prefix + Label(kSizes[1])], "%.1f").c_str());
    std::printf("%-28s %9s\n", "unpatched (localiser off)", Figure(results["unpatched"], "%.1f").c_str());

    std::printf("\n%-28s %9s %9s %8s\n", "ratio", "1k", "64k", "target");
    // The hit against a reference of the same store size (unpatched: the one measurement).
    const auto ratioRow = [](const char* title, const std::string& prefix, double target) {
        std::string verdict;
        std::printf("%-28s", title);
        for (const int size : kSizes) {
            const double r =
                bench::Ratio(results["hit/" + Label(size)],
                             results.count(prefix) != 0 ? results[prefix] : results[prefix + Label(size)]);
            std::printf(" %9s", Figure(r, "%.3f").c_str());
            verdict += r <= 0 ? "" : (r <= target ? " met" : " not met");
        }
        std::printf(" %8s %s\n", Figure(target, "<= %.2f").c_str(), verdict.c_str());
    };
    ratioRow("hit / bare minimum", "bare/", 1.5);
    if (kGettext)
        ratioRow("hit / gettext()", "gettext/", 0.1);
    ratioRow("hit / unpatched", "unpatched", 0.5);
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    (void)argc;
    (void)argv;
#else
    benchmark::Initialize(&argc, argv);
    // The translations are Cyrillic: 1251 keeps them in the conversion to the ANSI code page.
    os::SetAnsiCodePage(1251);
    // gettext() translates in any locale but C and POSIX; LANGUAGE would override the locale.
    unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C.utf8");
#endif
    std::filesystem::remove_all(TempFolder());
    std::filesystem::create_directories(TempFolder());
    bool ok = true;
    try {
        for (const int size : kSizes) {
            const std::vector<Entry> entries = MakeEntries(size);
            WriteFile(FilePath(size), LanguageFile(entries));
            Prepare(size, false);
            const TsxResourceStringsList& store = Localizer()->ResourceStrings();
            for (int i = 0; i < store.Count(); ++i)
                sortedTexts[size].push_back({store.Items(i)->Identifier, store.Items(i)->Text()});
            ok = Check(size) && ok;
#if !defined(_WIN32)
            ok = MakeCatalog(size, entries) && ok;
#endif
        }
    } catch (const Exception& e) {
        std::printf("set-up failed: %s\n", e.Message().c_str());
        ok = false;
    }
    if (ok) {
        AddCases();
        RunCases();
        PrintSummary();
    }
    Localizer()->Deactivate();
#if !defined(_WIN32)
    benchmark::Shutdown();
#endif
    std::filesystem::remove_all(TempFolder());
    return ok ? 0 : 1;
}
