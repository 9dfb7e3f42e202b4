#include "TextOutput.h"

#include <cstdio>

namespace {

enum class Syntax { Listing, Json };

std::string Escaped(std::string_view utf8, Syntax syntax) {
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

} // namespace

std::string AnsiToUtf8(std::string_view text) {
    return rtl::WideToUtf8(rtl::AnsiToWide(text));
}

std::string ListingText(std::string_view utf8) {
    return Escaped(utf8, Syntax::Listing);
}

std::string JsonString(std::string_view utf8) {
    return "\"" + Escaped(utf8, Syntax::Json) + "\"";
}
