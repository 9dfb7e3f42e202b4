// The cost of translating a live form, against the cost of building the same form from its form data,
// measured in the same run.
//
// A generated form of n components (TBenchMemo: a control with a string list), each given in its
// form data a caption, bounds, a font name and two lines. The language holds three paths per
// component, one of each shape that a form text takes: "MemoK.Caption", "MemoK.Font.Name" (an object
// held in a property) and "MemoK.Lines.Strings[1]" (a line of a string list).
//
//   Build/n      a new form, ReadForm of the form data from memory, the form freed again: what
//                opening the form costs;
//   Translate/n  TranslateForm of the built form, alternately with two languages so that every
//                text really changes: the time of one TranslateForm.
//
// Targets: Translate at most 0.5 x Build at every size; Translate at 10 x the components at most
// 12 x the time.
#include "Figures.h"
#include "FormLoader.h"
#include "FormStream.h"
#include "MedianReporter.h"
#include "sxLocalizer.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRepetitions = 5;
constexpr int kSizes[] = {100, 1000, 10000};
constexpr int kPathsPerComponent = 3;

class TBenchMemo : public TControl {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TControl::TControl;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(*value); }

private:
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
};

class TBenchForm : public TForm {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TForm::TForm;
};

constexpr TPropInfo MemoProps[] = {ObjectProp<&TBenchMemo::Lines, &TBenchMemo::SetLines>("Lines")};

} // namespace

constinit const TClassInfo TBenchMemo::ClassInfo{
    "TBenchMemo", &TControl::ClassInfo, &ConstructObject<TBenchMemo>, MemoProps, {}};
constinit const TClassInfo TBenchForm::ClassInfo{
    "TBenchForm", &TForm::ClassInfo, &ConstructObject<TBenchForm>, {}, {}};

namespace {

const TClassRegistration registerMemo{TBenchMemo::ClassInfo};

std::string MemoName(int k) {
    return "Memo" + std::to_string(k);
}

// The form data of a form of n memos.
std::vector<char> MakeFormData(int n) {
    TMemoryStream stream;
    TFormWriter writer(stream);
    writer.WriteSignature();
    writer.WriteObjectHeader({}, "TBenchForm", "BenchForm");
    writer.WriteStr("Caption");
    writer.WriteString("Generated form");
    writer.WriteListEnd();
    for (int k = 0; k < n; ++k) {
        writer.WriteObjectHeader({}, "TBenchMemo", MemoName(k));
        const std::pair<const char*, int> bounds[] = {
            {"Left", 8}, {"Top", 8 + 24 * k}, {"Width", 240}, {"Height", 21}};
        for (const auto& [name, value] : bounds) {
            writer.WriteStr(name);
            writer.WriteInteger(value);
        }
        writer.WriteStr("Caption");
        writer.WriteString("Caption of memo " + std::to_string(k));
        writer.WriteStr("Font.Name");
        writer.WriteString("Tahoma");
        writer.WriteStr("Lines.Strings");
        writer.WriteListBegin();
        writer.WriteString("First line of memo " + std::to_string(k));
        writer.WriteString("Second line of memo " + std::to_string(k));
        writer.WriteListEnd();
        writer.WriteListEnd(); // properties
        writer.WriteListEnd(); // children
    }
    writer.WriteListEnd(); // the form's children
    return stream.Bytes();
}

struct FormCase {
    int size = 0;
    std::vector<char> data;
    std::unique_ptr<TBenchForm> form;
    // Two languages, each with the three paths of every memo.
    TsxLocalizer languages[2];
};

std::unique_ptr<TBenchForm> BuildForm(const std::vector<char>& data) {
    auto form = std::make_unique<TBenchForm>(nullptr);
    TCustomMemoryStream stream(data.data(), static_cast<std::int64_t>(data.size()));
    ReadForm(*form, stream);
    return form;
}

std::unique_ptr<FormCase> MakeCase(int size) {
    auto c = std::make_unique<FormCase>();
    c->size = size;
    c->data = MakeFormData(size);
    c->form = BuildForm(c->data);
    for (int language = 0; language < 2; ++language) {
        TsxLocalizer& localizer = c->languages[language];
        TsxRCDataProperyList& items = localizer.Forms().Add("TBenchForm")->Properties();
        const std::string tag = language == 0 ? " (first language)" : " (second language)";
        for (int k = 0; k < size; ++k) {
            items.Add(MemoName(k) + ".Caption", "Caption " + std::to_string(k) + tag);
            items.Add(MemoName(k) + ".Font.Name", language == 0 ? "Arial" : "Verdana");
            items.Add(MemoName(k) + ".Lines.Strings[1]", "Second line " + std::to_string(k) + tag);
        }
        localizer.Activate();
    }
    return c;
}

// Every path of the first language has reached the form.
bool CheckCase(FormCase& c) {
    c.languages[0].TranslateForm(c.form.get());
    for (int k = 0; k < c.size; ++k) {
        const auto* memo = static_cast<const TBenchMemo*>(c.form->FindComponent(MemoName(k)));
        const std::string tag = " (first language)";
        if (memo == nullptr || memo->Caption() != "Caption " + std::to_string(k) + tag ||
            memo->Font()->Name() != "Arial" ||
            memo->Lines()->Strings(1) != "Second line " + std::to_string(k) + tag || memo->Width() != 240) {
            std::printf("form of %d: memo %d is not as translated\n", c.size, k);
            return false;
        }
    }
    return true;
}

void Build(benchmark::State& state, FormCase& c) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildForm(c.data).get());
    state.counters["components"] =
        benchmark::Counter(static_cast<double>(c.size), benchmark::Counter::kIsIterationInvariantRate);
}

void Translate(benchmark::State& state, FormCase& c) {
    int language = 0;
    for (auto _ : state) {
        c.languages[language].TranslateForm(c.form.get());
        language ^= 1;
    }
    state.counters["paths"] = benchmark::Counter(static_cast<double>(c.size * kPathsPerComponent),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

std::string Label(int size) {
    return std::to_string(size);
}

void PrintSummary(const bench::MedianReporter& report) {
    using bench::Figure;
    using bench::Ratio;
    std::printf("\nTranslateForm against building the form from its form data (ReadForm, form freed again).\n"
                "Medians of %d repetitions of CPU time; %d paths per component.\n\n",
                kRepetitions, kPathsPerComponent);
    const char* const row = "%-11s %10s %12s %12s %10s %12s %12s\n";
    std::printf(row, "components", "build ms", "translate ms", "ns per path", "translate/", "time x",
                "(target)");
    std::printf(row, "", "", "", "", "build", "vs 10x fewer", "");
    double previous = 0;
    for (const int size : kSizes) {
        const double build = report.Seconds("Build/" + Label(size)),
                     translate = report.Seconds("Translate/" + Label(size));
        const double growth = Ratio(translate, previous);
        std::printf(row, Label(size).c_str(), Figure(build * 1e3, "%.3f").c_str(),
                    Figure(translate * 1e3, "%.3f").c_str(),
                    Figure(translate * 1e9 / (size * kPathsPerComponent), "%.0f").c_str(),
                    Figure(Ratio(translate, build), "%.3f").c_str(), Figure(growth).c_str(),
                    previous > 0 ? "<= 12" : "");
        previous = translate;
    }
    std::printf("\ntranslate/build target: at most 0.5\n");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::unique_ptr<FormCase>> cases;
    bool ok = true;
    for (const int size : kSizes) {
        cases.push_back(MakeCase(size));
        ok = CheckCase(*cases.back()) && ok;
    }
    if (!ok)
        return 1;
    for (const auto& c : cases) {
        const std::pair<const char*, void (*)(benchmark::State&, FormCase&)> runs[] = {
            {"Build/", Build}, {"Translate/", Translate}};
        for (const auto& [prefix, run] : runs)
            benchmark::RegisterBenchmark(
                (prefix + Label(c->size)).c_str(),
                [formCase = c.get(), run = run](benchmark::State& state) { run(state, *formCase); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.3)
                ->Repetitions(kRepetitions)
                ->ReportAggregatesOnly(true);
    }
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    for (auto& c : cases)
        for (TsxLocalizer& localizer : c->languages)
            localizer.Deactivate();
    benchmark::Shutdown();
    return 0;
}
