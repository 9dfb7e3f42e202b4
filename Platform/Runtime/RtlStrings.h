// The two string kinds of the platform and the helpers that every layer uses on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// 8-bit text: bytes in the system ANSI code page.
using AnsiString = std::string;
// UTF-16 text. Never wchar_t, which is 32-bit on Linux.
using WideString = std::u16string;

namespace rtl {

// Conversions in the system ANSI code page; unmappable characters become its default character.
WideString AnsiToWide(std::string_view text);
AnsiString WideToAnsi(std::u16string_view text);

// UTF-8 form of a UTF-16 text (a lone surrogate becomes U+FFFD), and the reverse for valid UTF-8
// such as the literals in the sources.
std::string WideToUtf8(std::u16string_view text);
WideString Utf8ToWide(std::string_view text);

// Blanks and control characters (bytes up to 32) removed from both ends.
std::string_view TrimView(std::string_view text);
AnsiString Trim(std::string_view text);

// Comparison without regard to ASCII letter case.
bool SameText(std::string_view a, std::string_view b);
AnsiString UpperCase(std::string_view text);

// Hash and equality of texts without regard to ASCII letter case, for unordered containers keyed
// by such names; both take any string view, so a lookup needs no copy of the key.
struct SameTextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const;
};
struct SameTextEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return SameText(a, b); }
};

AnsiString IntToStr(std::int64_t value);

// The value of a hexadecimal digit (0-9, A-F, a-f), or -1 for any other character.
int HexDigitValue(char c);

// Optional sign, then decimal digits, or "$"/"0x" and hexadecimal digits; the whole text must fit
// a 32-bit signed integer. Anything else raises EConvertError "'%s' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);
// The same syntax without raising: false when the text is not such an integer.
bool TryStrToInt(std::string_view text, std::int32_t& value);

} // namespace rtl
