#include "LangFileShow.h"

#include <cstdio>

namespace {

std::string AnsiToUtf8(std::string_view text) {
    return rtl::WideToUtf8(rtl::AnsiToWide(text));
}

enum class Syntax { Listing, Json };

// A text on one line: the backslash, line breaks, tabs and other control characters as escapes;
// JSON also escapes the double quote.
std::string Escaped(std::string_view utf8, Syntax syntax = Syntax::Listing) {
    std::string out;
    for (char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
            out += syntax == Syntax::Json ? "\\\"" : "\"";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char hex[8];
                std::snprintf(hex, sizeof hex, syntax == Syntax::Json ? "\\u%04x" : "\\x%02X",
                              static_cast<unsigned char>(c));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string JsonString(std::string_view utf8) {
    return "\"" + Escaped(utf8, Syntax::Json) + "\"";
}

} // namespace

LangFileContent ReadLangFileContent(const AnsiString& fileName) {
    TsxLangFileReader::RequireFile(fileName);
    TsxLangFileReader reader(fileName);
    LangFileContent content{reader.Header(), {}, {}};
    for (int i = 0; i < reader.StringCount(); ++i)
        if (auto entry = reader.ReadString(i))
            content.Strings.push_back(std::move(*entry));
    for (int i = 0; i < reader.PropertyCount(); ++i)
        if (auto entry = reader.ReadProperty(i))
            content.Properties.push_back(std::move(*entry));
    return content;
}

std::string FormatAsText(const LangFileContent& content) {
    const TsxLangFileHeader& h = content.Header;
    std::string out;
    out += "Version:   " + std::to_string(h.Version) + "\n";
    out += "Lang_ID:   " + std::to_string(h.LangID) + "\n";
    out += "Lang_Name: " + Escaped(rtl::WideToUtf8(h.LangName)) + "\n";
    out += "Lang_Ext:  " + Escaped(AnsiToUtf8(h.LangExt)) + "\n";
    out += "Resource strings: " + std::to_string(content.Strings.size()) + "\n";
    for (const TsxLangStringEntry& s : content.Strings)
        out += "  " + std::to_string(s.Identifier) + "\t" + Escaped(rtl::WideToUtf8(s.Text)) + "\n";
    out += "Properties: " + std::to_string(content.Properties.size()) + "\n";
    for (const TsxLangPropertyEntry& p : content.Properties)
        out += "  " + Escaped(AnsiToUtf8(p.Form)) + "\t" + Escaped(AnsiToUtf8(p.Property)) + "\t" +
               Escaped(AnsiToUtf8(p.Text)) + "\n";
    return out;
}

std::string FormatAsJson(const LangFileContent& content) {
    const TsxLangFileHeader& h = content.Header;
    std::string out = "{\"version\":" + std::to_string(h.Version) +
                      ", \"lang_id\":" + std::to_string(h.LangID) +
                      ", \"lang_name\":" + JsonString(rtl::WideToUtf8(h.LangName)) +
                      ", \"lang_ext\":" + JsonString(AnsiToUtf8(h.LangExt)) + ",\n \"strings\":[";
    const char* separator = "\n  ";
    for (const TsxLangStringEntry& s : content.Strings) {
        out += separator;
        out += "{\"id\":" + std::to_string(s.Identifier) +
               ", \"text\":" + JsonString(rtl::WideToUtf8(s.Text)) + "}";
        separator = ",\n  ";
    }
    out += "],\n \"properties\":[";
    separator = "\n  ";
    for (const TsxLangPropertyEntry& p : content.Properties) {
        out += separator;
        out += "{\"form\":" + JsonString(AnsiToUtf8(p.Form)) +
               ", \"path\":" + JsonString(AnsiToUtf8(p.Property)) +
               ", \"text\":" + JsonString(AnsiToUtf8(p.Text)) + "}";
        separator = ",\n  ";
    }
    out += "]}\n";
    return out;
}
