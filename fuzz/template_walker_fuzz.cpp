// Walks arbitrary bytes as the one form resource of a module, twice: with the filter off and on.
//
// Refusals must be our own exceptions; anything else (a crash, a sanitizer report, a foreign
// exception) is a finding, and so is a broken invariant (a trap):
// - both walks end the same way (the same error message, or none);
// - the walk with the filter on reports exactly those reports of the walk with it off that pass
//   the filter (a text with a byte above 127; a list with such an entry), in the same order;
// - every report names the form's resource; a list has at least one entry; a collection item's
//   index counts up from 0.
#include "Exceptions.h"
#include "InProcModule.h"
#include "ReadFrms.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

bool HasHighByte(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
}

struct Report {
    std::string Line;
    bool PassesFilter;
    bool operator==(const Report& other) const { return Line == other.Line; }
};

class Recorder : public TFrmReader {
public:
    using TFrmReader::TFrmReader;

    void ProcessString(const AnsiString& resName, const AnsiString& className, const AnsiString& objectName,
                       const AnsiString& propName, const AnsiString& value) override {
        Require(resName == "TFUZZ");
        reports.push_back(
            {"S" + className + "\t" + objectName + "\t" + propName + "\t" + value, HasHighByte(value)});
    }
    void ProcessList(const AnsiString& resName, const AnsiString& className, const AnsiString& objectName,
                     const AnsiString& propName, const TStrings& list) override {
        Require(resName == "TFUZZ" && list.Count() > 0);
        std::string line = "L" + className + "\t" + objectName + "\t" + propName;
        bool passes = false;
        for (int i = 0; i < list.Count(); ++i) {
            line += "\t" + list.Strings(i);
            passes = passes || HasHighByte(list.Strings(i));
        }
        reports.push_back({line, passes});
    }
    void ProcessCollection(const AnsiString& resName, const AnsiString& className,
                           const AnsiString& objectName, const AnsiString& propName, const AnsiString& value,
                           const AnsiString& collectionName, std::int32_t itemIndex) override {
        Require(resName == "TFUZZ" && itemIndex >= 0);
        reports.push_back({"C" + className + "\t" + objectName + "\t" + propName + "\t" + value + "\t" +
                               collectionName + "\t" + std::to_string(itemIndex),
                           HasHighByte(value)});
    }

    std::vector<Report> reports;
};

// The reports of one walk and its error message ("" for none).
std::string Walk(Recorder& walker) {
    try {
        walker.ReadAllForms();
        return "";
    } catch (const Exception& e) {
        Require(!e.Message().empty());
        return e.Message();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const os::InProcResource form{"TFUZZ", data, size};
    os::InProcModule module{nullptr, 0, &form, 1};
    Recorder all(false, &module);
    Recorder filtered(true, &module);
    Require(Walk(all) == Walk(filtered));
    std::vector<Report> passing;
    std::copy_if(all.reports.begin(), all.reports.end(), std::back_inserter(passing),
                 [](const Report& r) { return r.PassesFilter; });
    Require(filtered.reports == passing);
    return 0;
}
