// The XML reader against two established readers, on the same bytes in one run: a language file of
// about 10 MB with ASCII and Cyrillic (UTF-8) texts, entity references and escapes. Each reader builds
// its tree from the bytes in memory and frees it again. At the end a summary gives MB/s for each
// reader and our speed as a ratio of theirs (above 1: we are faster).
#include "Exceptions.h"
#include "LangFileMaker.h"
#include "MedianReporter.h"
#include "XmlDocument.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <pugixml.hpp>

#include <cstdio>
#include <string>

namespace {

const std::string& Document() {
    static const std::string bytes = bench::MakeLanguageFile(10u << 20);
    return bytes;
}

void Ours(benchmark::State& state) {
    const std::string& bytes = Document();
    for (auto _ : state) {
        xml::TXmlDocument doc;
        doc.LoadXml(bytes);
        benchmark::DoNotOptimize(doc.DocumentElement());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void Libxml2(benchmark::State& state) {
    const std::string& bytes = Document();
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "lang.xml", nullptr, 0);
        if (!doc)
            state.SkipWithError("libxml2 refused the document");
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void Pugixml(benchmark::State& state) {
    const std::string& bytes = Document();
    for (auto _ : state) {
        pugi::xml_document doc;
        const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size());
        if (!result)
            state.SkipWithError("pugixml refused the document");
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Three repetitions each; the summary takes their median, which steadies it on a shared machine.
BENCHMARK(Ours)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3);
BENCHMARK(Libxml2)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3);
BENCHMARK(Pugixml)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3);

void PrintSummary(const bench::MedianReporter& report) {
    const auto speed = [&report](const char* name) { return report.Counter(name, "bytes_per_second") / 1e6; };
    const double ours = speed("Ours"), libxml2 = speed("Libxml2"), pugixml = speed("Pugixml");
    std::printf("\nXML reader on %.1f MB: ours %.0f MB/s, libxml2 %.0f MB/s, pugixml %.0f MB/s\n",
                static_cast<double>(Document().size()) / 1e6, ours, libxml2, pugixml);
    if (libxml2 > 0 && pugixml > 0)
        std::printf("ours/pugixml %.2f, ours/libxml2 %.2f (speed ratios; above 1: ours is faster)\n",
                    ours / pugixml, ours / libxml2);
}

// All three readers must accept the document and agree on how many elements it holds before their
// speeds mean anything.
bool ReadersAgree() {
    const std::string& bytes = Document();
    xml::TXmlDocument ours;
    ours.LoadXml(bytes);
    const xml::TXmlElement* strings = ours.DocumentElement()->FirstChild("Resource_Strings");
    const int count = strings->Children("String").Count();

    pugi::xml_document pugi;
    pugi.load_buffer(bytes.data(), bytes.size());
    int pugiCount = 0;
    for (const pugi::xml_node n : pugi.child("Language").child("Resource_Strings").children("String")) {
        (void)n;
        ++pugiCount;
    }
    const bool textsAgree =
        strings->Children("String").Item(2).Text() == pugi.child("Language")
                                                          .child("Resource_Strings")
                                                          .find_child_by_attribute("String", "ID", "3")
                                                          .child_value();

    xmlDocPtr lx = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "lang.xml", nullptr, 0);
    const bool libxmlOk = lx != nullptr;
    xmlFreeDoc(lx);
    std::printf("%d strings; pugixml %d; texts agree: %s; libxml2 accepts: %s\n", count, pugiCount,
                textsAgree ? "yes" : "no", libxmlOk ? "yes" : "no");
    return count == pugiCount && textsAgree && libxmlOk;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!ReadersAgree())
        return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
