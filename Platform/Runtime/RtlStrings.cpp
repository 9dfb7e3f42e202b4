#include "RtlStrings.h"

#include "Exceptions.h"
#include "Os.h"
#include "ResStrings.h"

namespace rtl {

WideString AnsiToWide(std::string_view text) {
    return os::AnsiToWide(text);
}

AnsiString WideToAnsi(std::u16string_view text) {
    return os::WideToAnsi(text);
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

WideString Utf8ToWide(std::string_view text) {
    WideString out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i++]);
        int extra = b < 0x80 ? 0 : b < 0xC0 ? -1 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : b < 0xF8 ? 3 : -1;
        if (extra < 0) {
            out += u'\uFFFD';
            continue;
        }
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        int k = 0;
        for (; k < extra && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; ++k, ++i)
            c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (k < extra || c > 0x10FFFF) {
            out += u'\uFFFD';
        } else if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string_view TrimView(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return text.substr(b, e - b);
}

AnsiString Trim(std::string_view text) {
    return AnsiString(TrimView(text));
}

namespace {
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

std::size_t SameTextHash::operator()(std::string_view text) const {
    // FNV-1a over the capitals.
    std::uint64_t hash = 14695981039346656037u;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(AsciiUpper(c));
        hash *= 1099511628211u;
    }
    return static_cast<std::size_t>(hash);
}

AnsiString UpperCase(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

AnsiString IntToStr(std::int64_t value) {
    return std::to_string(value);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool TryStrToInt(std::string_view text, std::int32_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        const int digit = base == 16 ? HexDigitValue(c) : c >= '0' && c <= '9' ? c - '0' : -1;
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > 0x80000000LL)
            return false;
    }
    std::int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX)
        return false;
    value = static_cast<std::int32_t>(result);
    return true;
}

std::int32_t StrToInt(std::string_view text) {
    std::int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(SInvalidInteger, {text});
    return value;
}

} // namespace rtl
