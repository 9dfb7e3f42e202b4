// Message formatting with the specifiers the messages use: %s (text), %d (integer) and %%.
#pragma once

#include "RtlStrings.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace rtl {

class FormatArg {
public:
    FormatArg(int v) : isInt_(true), int_(v) {}
    FormatArg(long v) : isInt_(true), int_(v) {}
    FormatArg(long long v) : isInt_(true), int_(v) {}
    FormatArg(unsigned v) : isInt_(true), int_(v) {}
    FormatArg(unsigned long v) : isInt_(true), int_(static_cast<std::int64_t>(v)) {}
    FormatArg(unsigned long long v) : isInt_(true), int_(static_cast<std::int64_t>(v)) {}
    FormatArg(const char* v) : str_(v) {}
    FormatArg(const AnsiString& v) : str_(v) {}
    FormatArg(std::string_view v) : str_(v) {}

    bool IsInt() const { return isInt_; }
    std::int64_t Int() const { return int_; }
    std::string_view Str() const { return str_; }

private:
    bool isInt_ = false;
    std::int64_t int_ = 0;
    std::string_view str_;
};

// Fills the specifiers from the arguments in order. A specifier without an argument, an argument of
// the wrong kind or an unknown specifier raises EConvertError "Format '%s' invalid or incompatible
// with argument"; surplus arguments are ignored.
AnsiString Format(std::string_view format, std::initializer_list<FormatArg> args);

} // namespace rtl
