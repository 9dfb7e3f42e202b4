#include "LangFileTemplate.h"

#include "Streams.h"
#include "TemplateFile.h"
#include "TextOutput.h"

namespace {

enum class TemplateKind { Forms, Strings };

TemplateKind KindOf(const AnsiString& fileName) {
    std::string_view name = fileName;
    std::string_view extension = name.size() >= 4 ? name.substr(name.size() - 4) : std::string_view();
    if (rtl::SameText(extension, ".lrc"))
        return TemplateKind::Forms;
    if (rtl::SameText(extension, ".lrs"))
        return TemplateKind::Strings;
    throw Exception(fileName + ": not a template: its name must end in .lrc (form texts) or .lrs "
                               "(resource strings)");
}

// The records one line each, or as one JSON object: line gives a record's line, json the members of
// its object after the offset.
template <typename Record, typename Line, typename Json>
std::string FormatRecords(const std::vector<Record>& records, bool json, Line line, Json members) {
    if (!json) {
        std::string out;
        for (const Record& r : records)
            out += line(r) + "\n";
        return out;
    }
    std::string out = "{\"records\":[";
    const char* separator = "\n  ";
    for (const Record& r : records) {
        out += separator;
        out += "{\"offset\":" + std::to_string(r.Offset) + ", " + members(r) + "}";
        separator = ",\n  ";
    }
    return out + "]}\n";
}

std::string FormatForms(const std::vector<TFormTemplateRecord>& records, bool json) {
    return FormatRecords(
        records, json,
        [](const TFormTemplateRecord& r) {
            return ListingText(AnsiToUtf8(r.FormKey)) + "\t" + ListingText(AnsiToUtf8(r.Path)) + "\t" +
                   ListingText(AnsiToUtf8(r.Text));
        },
        [](const TFormTemplateRecord& r) {
            return "\"form\":" + JsonString(AnsiToUtf8(r.FormKey)) +
                   ", \"path\":" + JsonString(AnsiToUtf8(r.Path)) +
                   ", \"text\":" + JsonString(AnsiToUtf8(r.Text));
        });
}

std::string FormatStrings(const std::vector<TStringTemplateRecord>& records, bool json) {
    return FormatRecords(
        records, json,
        [](const TStringTemplateRecord& r) {
            return std::to_string(r.Identifier) + "\t" + ListingText(rtl::WideToUtf8(r.Text));
        },
        [](const TStringTemplateRecord& r) {
            return "\"id\":" + std::to_string(r.Identifier) +
                   ", \"text\":" + JsonString(rtl::WideToUtf8(r.Text));
        });
}

} // namespace

std::string FormatTemplate(const AnsiString& fileName, bool json) {
    TemplateKind kind = KindOf(fileName);
    std::vector<char> file = rtl::ReadWholeFile(fileName);
    std::string_view bytes(file.data(), file.size());
    try {
        return kind == TemplateKind::Forms ? FormatForms(ReadFormTemplate(bytes), json)
                                           : FormatStrings(ReadStringTemplate(bytes), json);
    } catch (const ETemplateError& e) {
        throw Exception(fileName + ": " + e.Message());
    }
}
