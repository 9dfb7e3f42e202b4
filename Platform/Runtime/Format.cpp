#include "Format.h"

#include "Exceptions.h"
#include "ResStrings.h"

namespace rtl {

AnsiString Format(std::string_view format, std::initializer_list<FormatArg> args) {
    AnsiString out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        char specifier = i + 1 < format.size() ? format[i + 1] : '\0';
        ++i;
        if (specifier == '%') {
            out += '%';
            continue;
        }
        bool wantInt = specifier == 'd';
        if ((specifier != 's' && specifier != 'd') || next == args.end() || next->IsInt() != wantInt)
            throw EConvertError(SInvalidFormat, {format});
        if (wantInt)
            out += std::to_string(next->Int());
        else
            out += next->Str();
        ++next;
    }
    return out;
}

} // namespace rtl
