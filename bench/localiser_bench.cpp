// The localiser's LoadFromFile of made-up language files, against the bare parse of the same bytes by
// two established XML readers in the same run; and the halving search of the resource-string store.
//
// The load is measured as the user pays for it: a localiser is made, LoadFromFile reads the file
// (from the page cache), builds its document, fills both stores, one resource string is looked up
// (which places identifiers that came out of order), and the localiser is freed again with its
// stores. The references get the file's bytes in memory and build and free their trees.
//
// Peak memory is the high-water mark of the heap above its level at the start of the load, measured
// by the heap meter (HeapMeter.h) during one extra load per file before the timed ones; pugixml's
// allocations go through the same meter.
#include "Exceptions.h"
#include "Figures.h"
#include "HeapMeter.h"
#include "InProcModule.h"
#include "LangFileMaker.h"
#include "MedianReporter.h"
#include "Os.h"
#include "XmlDocument.h"
#include "sxLangFile.h"
#include "sxLocalizer.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRepetitions = 3;

// The entries of a file, decoded beforehand, in file order: what the stores are filled with.
struct StoreEntries {
    struct Property {
        std::size_t form; // the number of the form key, by first occurrence
        std::string key;
        std::string path;
        std::string value;
    };
    std::vector<std::pair<std::int32_t, WideString>> strings;
    std::vector<Property> properties;
    std::size_t forms = 0;
};

// One language file of the load benchmarks.
struct LoadCase {
    std::string label; // entries/order/layout
    bench::LangFileShape shape;
    std::string bytes;
    std::string path;
    bench::HeapUse load{};
    bench::HeapUse document{};
    bench::HeapUse pugixml{};
    StoreEntries entries;
};

double FileMB(const LoadCase& c) {
    return static_cast<double>(c.bytes.size()) / 1e6;
}

std::filesystem::path TempFolder() {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("localiser_bench." + std::to_string(getpid()));
    return folder;
}

// Half the entries are String entries, half Property entries, 250 to a form.
LoadCase MakeCase(int entries, bench::IdOrder order, bench::FormLayout layout) {
    LoadCase c;
    c.shape.strings = entries / 2;
    c.shape.properties = entries - entries / 2;
    c.shape.forms = std::max(1, c.shape.properties / 250);
    c.shape.order = order;
    c.shape.layout = layout;
    c.label = std::to_string(entries / 1000) + "k/" + bench::Name(order) + "/" + bench::Name(layout);
    c.bytes = bench::MakeLanguageFile(c.shape);
    c.path = (TempFolder() /
              (std::to_string(entries) + "-" + bench::Name(order) + "-" + bench::Name(layout) + ".ENU"))
                 .string();
    std::ofstream(c.path, std::ios::binary)
        .write(c.bytes.data(), static_cast<std::streamsize>(c.bytes.size()));
    return c;
}

// The entries as pugixml reads them, decoded as the load decodes them.
StoreEntries ReadEntries(const pugi::xml_document& doc) {
    StoreEntries e;
    const pugi::xml_node root = doc.child("Language");
    for (const pugi::xml_node s : root.child("Resource_Strings").children("String"))
        e.strings.emplace_back(s.attribute("ID").as_int(), DecodeEntryText(s.text().get()));
    std::vector<std::string> keys;
    for (const pugi::xml_node p : root.child("RCData").children("Property")) {
        const std::string key = p.attribute("Form").value();
        const auto known = std::find(keys.begin(), keys.end(), key);
        if (known == keys.end())
            keys.push_back(key);
        e.properties.push_back(
            {static_cast<std::size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin()), key,
             p.attribute("Property").value(), rtl::WideToAnsi(DecodeEntryText(p.text().get()))});
    }
    e.forms = keys.size();
    return e;
}

int CountChildren(const pugi::xml_node& parent, const char* name) {
    int n = 0;
    for (const pugi::xml_node child : parent.children(name)) {
        (void)child;
        ++n;
    }
    return n;
}

// One metered load of the file, whose stores must hold every entry of the file in order, and the
// metered pugixml parse, which must see as many entries; libxml2 must accept the bytes.
bool CheckCase(LoadCase& c) {
    TsxLocalizer localizer;
    try {
        // With a first lookup, which places the identifiers that waited for their places.
        c.load = bench::MeasureHeap([&] {
            localizer.LoadFromFile(c.path);
            benchmark::DoNotOptimize(localizer.ResourceStrings().Find(1));
        });
    } catch (const Exception& e) {
        std::printf("%s: the load failed: %s\n", c.label.c_str(), e.Message().c_str());
        return false;
    }
    const TsxResourceStringsList& strings = localizer.ResourceStrings();
    bool inOrder = strings.Count() == c.shape.strings;
    for (int i = 0; inOrder && i < strings.Count(); ++i)
        inOrder = strings.Items(i)->Identifier == i + 1;
    int properties = 0;
    for (int i = 0; i < localizer.Forms().Count(); ++i)
        properties += localizer.Forms().Items(i)->Properties().Count();
    const bool formsRight = localizer.Forms().Count() == c.shape.forms && properties == c.shape.properties;
    c.document = bench::MeasureHeap([&] {
        xml::TXmlDocument doc;
        doc.LoadFromFile(c.path);
    });

    int pugiStrings = 0, pugiProperties = 0;
    c.pugixml = bench::MeasureHeap([&] {
        pugi::xml_document doc;
        if (doc.load_buffer(c.bytes.data(), c.bytes.size())) {
            pugiStrings = CountChildren(doc.child("Language").child("Resource_Strings"), "String");
            pugiProperties = CountChildren(doc.child("Language").child("RCData"), "Property");
        }
    });
    {
        pugi::xml_document doc;
        doc.load_buffer(c.bytes.data(), c.bytes.size());
        c.entries = ReadEntries(doc);
    }
    xmlDocPtr lx = xmlReadMemory(c.bytes.data(), static_cast<int>(c.bytes.size()), "lang.xml", nullptr, 0);
    const bool libxmlOk = lx != nullptr;
    xmlFreeDoc(lx);

    const bool ok = inOrder && formsRight && pugiStrings == c.shape.strings &&
                    pugiProperties == c.shape.properties && libxmlOk;
    if (!ok)
        std::printf("%s: strings in order %s, forms and properties %s, pugixml %d + %d entries, libxml2 %s\n",
                    c.label.c_str(), inOrder ? "yes" : "no", formsRight ? "right" : "wrong", pugiStrings,
                    pugiProperties, libxmlOk ? "accepts" : "refuses");
    return ok;
}

void Load(benchmark::State& state, const LoadCase& c) {
    for (auto _ : state) {
        TsxLocalizer localizer;
        localizer.LoadFromFile(c.path);
        benchmark::DoNotOptimize(localizer.ResourceStrings().Find(1));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

// The stores' own part of the load: a localiser made, the decoded entries added to its stores in file
// order as the load adds them (each text copied into its item, as the load allocates it), the
// localiser freed with its stores. What a load of items that are heap objects with strings of their
// own costs even when reading and decoding the file cost nothing.
void Stores(benchmark::State& state, const LoadCase& c) {
    std::vector<TsxRCDataFormItem*> forms(c.entries.forms);
    for (auto _ : state) {
        TsxLocalizer localizer;
        TsxUpdateBracket strings(localizer.ResourceStrings());
        for (const auto& [id, text] : c.entries.strings)
            localizer.ResourceStrings().Add(id, text);
        strings.Close();
        std::fill(forms.begin(), forms.end(), nullptr);
        TsxUpdateBracket formBracket(localizer.Forms());
        for (const StoreEntries::Property& p : c.entries.properties) {
            TsxRCDataFormItem*& form = forms[p.form];
            if (form == nullptr)
                form = localizer.Forms().Add(p.key);
            form->Properties().Add(p.path, p.value);
        }
        formBracket.Close();
        benchmark::DoNotOptimize(localizer.ResourceStrings().Items(0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

// The part of the load that is the XML reader's: the file read into a document tree, and freed.
void Document(benchmark::State& state, const LoadCase& c) {
    for (auto _ : state) {
        xml::TXmlDocument doc;
        doc.LoadFromFile(c.path);
        benchmark::DoNotOptimize(doc.DocumentElement());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

void Pugixml(benchmark::State& state, const LoadCase& c) {
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_buffer(c.bytes.data(), c.bytes.size()))
            state.SkipWithError("pugixml refused the document");
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

void Libxml2(benchmark::State& state, const LoadCase& c) {
    for (auto _ : state) {
        xmlDocPtr doc =
            xmlReadMemory(c.bytes.data(), static_cast<int>(c.bytes.size()), "lang.xml", nullptr, 0);
        if (doc == nullptr)
            state.SkipWithError("libxml2 refused the document");
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

// A resource-string store of `size` entries whose identifiers are spread evenly over 1 to 65535,
// with identifiers to look up in a random order: stored ones, and ones that are not stored. The
// reference is std::lower_bound over a sorted array of the same identifiers.
struct FindCase {
    std::string label;
    TsxResourceStringsList store;
    std::vector<std::int32_t> sorted;
    std::vector<std::int32_t> hits;
    std::vector<std::int32_t> misses;
};

constexpr std::size_t kLookups = 4096; // a power of two

std::unique_ptr<FindCase> MakeFindCase(const char* label, int size) {
    auto c = std::make_unique<FindCase>();
    c->label = label;
    std::vector<bool> stored(65536);
    for (int k = 0; k < size; ++k) {
        const auto id = static_cast<std::int32_t>(1 + static_cast<std::int64_t>(k) * 65535 / size);
        c->store.Add(id, u"text");
        c->sorted.push_back(id);
        stored[static_cast<std::size_t>(id)] = true;
    }
    std::mt19937 random(size);
    std::uniform_int_distribution<std::int32_t> anyId(1, 65535);
    while (c->hits.size() < kLookups || c->misses.size() < kLookups) {
        const std::int32_t id = anyId(random);
        std::vector<std::int32_t>& list = stored[static_cast<std::size_t>(id)] ? c->hits : c->misses;
        if (list.size() < kLookups)
            list.push_back(id);
    }
    return c;
}

bool CheckFindCase(const FindCase& c) {
    const bool hitsFound = std::all_of(c.hits.begin(), c.hits.end(), [&c](std::int32_t id) {
        const TsxResourceStringsItem* item = c.store.Find(id);
        return item != nullptr && item->Identifier == id;
    });
    const bool missesMissed = std::all_of(c.misses.begin(), c.misses.end(),
                                          [&c](std::int32_t id) { return c.store.Find(id) == nullptr; });
    if (!hitsFound || !missesMissed)
        std::printf("Find/%s: stored identifiers found %s, others missed %s\n", c.label.c_str(),
                    hitsFound ? "yes" : "no", missesMissed ? "yes" : "no");
    return hitsFound && missesMissed;
}

void Find(benchmark::State& state, const FindCase& c, const std::vector<std::int32_t>& ids) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.store.Find(ids[i]));
        i = (i + 1) & (kLookups - 1);
    }
}

void SortedArray(benchmark::State& state, const FindCase& c, const std::vector<std::int32_t>& ids) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto it = std::lower_bound(c.sorted.begin(), c.sorted.end(), ids[i]);
        benchmark::DoNotOptimize(it != c.sorted.end() && *it == ids[i] ? &*it : nullptr);
        i = (i + 1) & (kLookups - 1);
    }
}

using bench::Figure;
using bench::Ratio;

void PrintSummary(const bench::MedianReporter& report, const std::deque<LoadCase>& cases,
                  const std::vector<std::unique_ptr<FindCase>>& finds) {
    std::printf(
        "\nLoadFromFile (file read, document, both stores, freed again) against the bare parse of the "
        "same bytes in memory.\nMedians of %d repetitions; times in ms; MB = 10^6 bytes; doc = our XML "
        "reader's LoadFromFile alone;\nkept = what the stores hold after the load; ANSI code page %u.\n\n",
        kRepetitions, os::AnsiCodePage());
    const char* const row = "%-25s %6s %7s %6s %6s %7s %7s %7s %7s %7s %7s %6s %6s %6s %6s %6s\n";
    std::printf(row, "", "file", "load", "load", "doc", "stores", "pugixml", "libxml2", "load/", "stores/",
                "load/", "peak", "peak/", "doc", "kept/", "pugi");
    std::printf(row, "file", "MB", "ms", "MB/s", "ms", "ms", "ms", "ms", "pugixml", "pugixml", "libxml2",
                "MB", "file", "peak/f", "file", "peak/f");
    int fastEnough = 0, smallEnough = 0;
    double worstTime = 0, worstPeak = 0;
    for (const LoadCase& c : cases) {
        const double load = report.Seconds("Load/" + c.label),
                     document = report.Seconds("Document/" + c.label),
                     stores = report.Seconds("Stores/" + c.label),
                     pugixml = report.Seconds("Pugixml/" + c.label),
                     libxml2 = report.Seconds("Libxml2/" + c.label);
        const double size = static_cast<double>(c.bytes.size());
        const double timeRatio = Ratio(load, pugixml), peakRatio = c.load.peak / size;
        std::printf(row, c.label.c_str(), Figure(FileMB(c)).c_str(), Figure(load * 1e3).c_str(),
                    Figure(Ratio(FileMB(c), load), "%.0f").c_str(), Figure(document * 1e3).c_str(),
                    Figure(stores * 1e3).c_str(), Figure(pugixml * 1e3).c_str(),
                    Figure(libxml2 * 1e3).c_str(), Figure(timeRatio).c_str(),
                    Figure(Ratio(stores, pugixml)).c_str(), Figure(Ratio(load, libxml2), "%.3f").c_str(),
                    Figure(c.load.peak / 1e6, "%.1f").c_str(), Figure(peakRatio).c_str(),
                    Figure(c.document.peak / size).c_str(), Figure(c.load.kept / size).c_str(),
                    Figure(c.pugixml.peak / size).c_str());
        fastEnough += timeRatio > 0 && timeRatio <= 2.5;
        smallEnough += peakRatio <= 3.0;
        worstTime = std::max(worstTime, timeRatio);
        worstPeak = std::max(worstPeak, peakRatio);
    }
    const int n = static_cast<int>(cases.size());
    std::printf(
        "\nload/pugixml at most 2.5: %d of %d files (worst %.2f); peak/file at most 3: %d of %d files "
        "(worst %.2f)\n",
        fastEnough, n, worstTime, smallEnough, n, worstPeak);
    std::printf(
        "\nTsxResourceStringsList::Find, ns per lookup (sorted array with std::lower_bound; ratio):\n");
    for (const auto& c : finds)
        for (const char* kind : {"hit/", "miss/"}) {
            const double find = report.Seconds("Find/" + (kind + c->label)),
                         sorted = report.Seconds("SortedArray/" + (kind + c->label));
            std::printf("  %-9s %6s ns  (%s ns; %s)\n", (kind + c->label).c_str(),
                        Figure(find * 1e9, "%.1f").c_str(), Figure(sorted * 1e9, "%.1f").c_str(),
                        Figure(Ratio(find, sorted)).c_str());
        }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The form texts are converted to the ANSI code page; 1251 keeps the Cyrillic ones as they are.
    os::SetAnsiCodePage(1251);
    pugi::set_memory_management_functions(bench::MeteredAlloc, bench::MeteredFree);
    std::filesystem::create_directories(TempFolder());

    std::deque<LoadCase> cases; // stays in place while the benchmarks refer to it
    bool ok = true;
    for (const int entries : {10000, 100000})
        for (const bench::IdOrder order :
             {bench::IdOrder::Ascending, bench::IdOrder::Descending, bench::IdOrder::Random})
            for (const bench::FormLayout layout :
                 {bench::FormLayout::Grouped, bench::FormLayout::Scattered}) {
                cases.push_back(MakeCase(entries, order, layout));
                ok = CheckCase(cases.back()) && ok;
            }
    std::vector<std::unique_ptr<FindCase>> finds;
    finds.push_back(MakeFindCase("1k", 1000));
    finds.push_back(MakeFindCase("64k", 64000));
    for (const auto& c : finds)
        ok = CheckFindCase(*c) && ok;

    if (ok) {
        for (const LoadCase& c : cases) {
            const std::pair<const char*, void (*)(benchmark::State&, const LoadCase&)> readers[] = {
                {"Load/", Load},
                {"Document/", Document},
                {"Stores/", Stores},
                {"Pugixml/", Pugixml},
                {"Libxml2/", Libxml2}};
            for (const auto& [prefix, run] : readers)
                benchmark::RegisterBenchmark((prefix + c.label).c_str(),
                                             [&c, run = run](benchmark::State& state) { run(state, c); })
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(0.5)
                    ->Repetitions(kRepetitions)
                    ->ReportAggregatesOnly(true);
        }
        for (const auto& c : finds)
            for (const auto& [kind, ids] : {std::pair{"hit/", &c->hits}, std::pair{"miss/", &c->misses}})
                for (const auto& [prefix, run] :
                     {std::pair{"Find/", &Find}, std::pair{"SortedArray/", &SortedArray}})
                    benchmark::RegisterBenchmark(
                        (prefix + (kind + c->label)).c_str(),
                        [&c = *c, ids = ids, run = run](benchmark::State& state) { run(state, c, *ids); })
                        ->Repetitions(kRepetitions)
                        ->ReportAggregatesOnly(true);

        bench::MedianReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        PrintSummary(reporter, cases, finds);
    }
    benchmark::Shutdown();
    std::filesystem::remove_all(TempFolder());
    return ok ? 0 : 1;
}
