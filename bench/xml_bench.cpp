// The XML reader against two established readers, on the same bytes in one run: a language file of
// about 10 MB with ASCII and Cyrillic (UTF-8) texts, entity references and escapes. Each reader builds
// its tree from the bytes in memory and frees it again. At the end a summary gives MB/s for each
// reader and our speed as a ratio of theirs (above 1: we are faster).
#include "Exceptions.h"
#include "XmlDocument.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <pugixml.hpp>

#include <cstdio>
#include <map>
#include <string>

namespace {

const char* const kAsciiTexts[] = {
    "Open file",
    "Save changes to the current project?%0D%0AUnsaved changes will be lost.",
    "Tom &amp; Jerry &lt;classic&gt;",
    "File \"%s\" not found",
    "Cancel",
    "Options &amp; settings",
    "A longer message that spans a fair part of the line, as translated help texts tend to do.",
};
const char* const kCyrillicTexts[] = {
    "Текст по-русски",
    "Открыть файл",
    "Сохранить изменения в проекте?%0D%0AНесохранённые данные будут потеряны.",
    "Файл &quot;%s&quot; не найден",
    "Отмена",
    "Параметры &amp; настройки",
    "Длинное сообщение, которое занимает заметную часть строки, как это бывает в справке.",
};

std::string MakeLanguageFile(std::size_t targetBytes) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Language>\n"
                      "  <Info Lang_ID=\"1033\" Lang_Name=\"English\" Lang_Ext=\"ENU\" Version=\"1\"/>\n"
                      "  <Resource_Strings>\n";
    xml.reserve(targetBytes + 4096);
    int id = 1;
    while (xml.size() < targetBytes / 2) {
        const char* text = (id % 3 == 0) ? kCyrillicTexts[id % 7] : kAsciiTexts[id % 7];
        xml += "    <String ID=\"" + std::to_string(id) + "\">" + text + "</String>\n";
        ++id;
    }
    xml += "  </Resource_Strings>\n  <RCData>\n";
    int n = 0;
    while (xml.size() < targetBytes) {
        const char* text = (n % 4 == 0) ? kAsciiTexts[n % 7] : kCyrillicTexts[n % 7];
        xml += "    <Property Form=\"TForm" + std::to_string(n % 50) + "\" Property=\"Label" +
               std::to_string(n) + ".Caption\">" + text + "</Property>\n";
        ++n;
    }
    xml += "  </RCData>\n</Language>\n";
    return xml;
}

const std::string& Document() {
    static const std::string bytes = MakeLanguageFile(10u << 20);
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

// The console report, keeping each benchmark's speed for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // Single runs come first and the median aggregate last, so the median is what stays.
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
                continue;
            const auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end())
                speed_[run.run_name.function_name] = it->second.value / 1e6;
        }
    }
    void Summary() const {
        const auto get = [this](const char* name) {
            const auto it = speed_.find(name);
            return it == speed_.end() ? 0.0 : it->second;
        };
        const double ours = get("Ours"), libxml2 = get("Libxml2"), pugixml = get("Pugixml");
        std::printf("\nXML reader on %.1f MB: ours %.0f MB/s, libxml2 %.0f MB/s, pugixml %.0f MB/s\n",
                    static_cast<double>(Document().size()) / 1e6, ours, libxml2, pugixml);
        if (libxml2 > 0 && pugixml > 0)
            std::printf("ours/pugixml %.2f, ours/libxml2 %.2f (speed ratios; above 1: ours is faster)\n",
                        ours / pugixml, ours / libxml2);
    }

private:
    std::map<std::string, double> speed_;
};

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
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.Summary();
    benchmark::Shutdown();
    return 0;
}
