#include "FormCompiler.h"

#include "FormStream.h"
#include "RtlStrings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace formc {

EFormSyntaxError::EFormSyntaxError(const std::string& fileName, int line, int column, std::string_view what)
    : Exception(fileName + ":" + std::to_string(line) + ":" + std::to_string(column) +
                ": error: " + std::string(what)),
      line_(line), column_(column) {}

namespace {

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsIdentChar(char c) {
    return IsIdentStart(c) || IsDigit(c);
}

// Reads a definition front to back and writes the binary form as it goes.
class Compiler {
public:
    Compiler(std::string_view source, const std::string& fileName, const Options& options)
        : text_(source), fileName_(fileName), options_(options), writer_(stream_) {}

    CompiledForm Run() {
        writer_.WriteSignature();
        SkipBlanks();
        std::string className = Object();
        SkipBlanks();
        if (pos_ < text_.size())
            Fail("expected the end of the file after the root object's 'end', found " + Found());
        const std::vector<char>& bytes = stream_.Bytes();
        return {className, std::string(bytes.begin(), bytes.end())};
    }

private:
    // ---- Scanning ----

    [[noreturn]] void FailAt(std::size_t pos, std::string_view what) const {
        int line = 1;
        std::size_t lineStart = 0;
        for (std::size_t i = 0; i < pos && i < text_.size(); ++i)
            if (text_[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        throw EFormSyntaxError(fileName_, line, static_cast<int>(pos - lineStart) + 1, what);
    }

    [[noreturn]] void Fail(std::string_view what) const { FailAt(pos_, what); }

    // What stands at the current position, for a message.
    std::string Found() const {
        if (pos_ >= text_.size())
            return "the end of the file";
        std::size_t end = pos_;
        if (IsIdentChar(text_[end]))
            while (end < text_.size() && (IsIdentChar(text_[end]) || text_[end] == '.'))
                ++end;
        else
            ++end;
        std::string quoted = "'";
        quoted.append(text_.substr(pos_, end - pos_));
        return quoted += '\'';
    }

    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    void SkipBlanks() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n'))
            ++pos_;
    }

    void Expect(char c, std::string_view what) {
        SkipBlanks();
        if (Peek() != c)
            Fail("expected " + std::string(what) + ", found " + Found());
        ++pos_;
    }

    // An identifier; with dots, a dotted name (Font.Name).
    std::string Name(std::string_view what, bool dotted) {
        SkipBlanks();
        if (!IsIdentStart(Peek()))
            Fail("expected " + std::string(what) + ", found " + Found());
        std::size_t start = pos_;
        for (;;) {
            while (IsIdentChar(Peek()))
                ++pos_;
            if (!dotted || Peek() != '.' || pos_ + 1 >= text_.size() || !IsIdentStart(text_[pos_ + 1]))
                break;
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

    // The next word, if it is keyword (in any case); consumed only then.
    bool Keyword(std::string_view keyword) {
        SkipBlanks();
        std::size_t end = pos_;
        while (end < text_.size() && IsIdentChar(text_[end]))
            ++end;
        if (!rtl::SameText(text_.substr(pos_, end - pos_), keyword))
            return false;
        pos_ = end;
        return true;
    }

    // ---- Objects ----

    // An object record from its keyword to its 'end'; the class name.
    std::string Object() {
        std::size_t start = pos_;
        TObjectPrefix prefix;
        if (Keyword("inherited"))
            prefix.Flags |= ffInherited;
        else if (Keyword("inline"))
            prefix.Flags |= ffInline;
        else if (!Keyword("object"))
            Fail("expected 'object', 'inherited' or 'inline', found " + Found());
        std::string name = Name("the object's name or class", false);
        std::string className = name;
        SkipBlanks();
        if (Peek() == ':') {
            ++pos_;
            className = Name("the object's class after ':'", false);
        } else {
            name.clear();
        }
        if (OptionalIndex(prefix.Position))
            prefix.Flags |= ffChildPos;
        Guard(start, [&] { writer_.WriteObjectHeader(prefix, className, name); });
        bool children = false;
        for (;;) {
            SkipBlanks();
            std::size_t at = pos_;
            if (Keyword("end"))
                break;
            if (Keyword("object") || Keyword("inherited") || Keyword("inline")) {
                if (!children)
                    writer_.WriteListEnd();
                children = true;
                pos_ = at;
                Object();
            } else if (!children && IsIdentStart(Peek())) {
                Property();
            } else {
                Fail(std::string(children ? "expected a child object or 'end'"
                                          : "expected a property, a child object or 'end'") +
                     ", found " + Found());
            }
        }
        if (!children)
            writer_.WriteListEnd();
        writer_.WriteListEnd();
        return className;
    }

    // "[n]", the child position of an object or the stored index of a collection item.
    bool OptionalIndex(std::int32_t& index) {
        SkipBlanks();
        if (Peek() != '[')
            return false;
        ++pos_;
        SkipBlanks();
        std::size_t at = pos_;
        if (!IsDigit(Peek()) && Peek() != '-' && Peek() != '$')
            FailAt(at, "expected a 32-bit integer index in '[...]'");
        Number number = ReadNumber();
        if (number.kind != TValueKind::Int64 || number.integer < std::numeric_limits<std::int32_t>::min() ||
            number.integer > std::numeric_limits<std::int32_t>::max())
            FailAt(at, "expected a 32-bit integer index in '[...]'");
        index = static_cast<std::int32_t>(number.integer);
        Expect(']', "']' after the index");
        return true;
    }

    void Property() {
        std::size_t at = pos_;
        std::string name = Name("a property name", true);
        Guard(at, [&] { writer_.WriteStr(name); });
        Expect('=', "'=' after the property name '" + name + "'");
        Value();
    }

    // Runs a write whose failure (a name too long) belongs to the text at pos.
    template <typename F> void Guard(std::size_t pos, F write) {
        try {
            write();
        } catch (const EWriteError& e) {
            FailAt(pos, e.Message());
        }
    }

    // ---- Values ----

    void Value() {
        SkipBlanks();
        std::size_t at = pos_;
        char c = Peek();
        if (c == '\'' || c == '#')
            return String();
        if (IsDigit(c) || c == '-' || c == '+' || c == '$')
            return WriteNumber(ReadNumber());
        if (IsIdentStart(c)) {
            std::string ident = Name("a value", true);
            for (const char* keyword : {"end", "object", "inherited", "inline"})
                if (rtl::SameText(ident, keyword)) {
                    pos_ = at;
                    Fail("expected a value, found " + Found());
                }
            if (rtl::SameText(ident, "True"))
                writer_.WriteBoolean(true);
            else if (rtl::SameText(ident, "False"))
                writer_.WriteBoolean(false);
            else if (rtl::SameText(ident, "nil"))
                writer_.WriteNil();
            else
                Guard(at, [&] { writer_.WriteIdent(ident); });
            return;
        }
        ++pos_;
        switch (c) {
        case '[':
            return Set();
        case '(':
            return List();
        case '<':
            return Collection();
        case '{':
            return Binary();
        default:
            pos_ = at;
            Fail("expected a value, found " + Found());
        }
    }

    void Set() {
        std::vector<AnsiString> names;
        SkipBlanks();
        if (Peek() != ']') {
            for (;;) {
                std::size_t at = pos_;
                names.push_back(Name("a set element", false));
                if (names.back().size() > 255)
                    FailAt(at, "a set element is longer than 255 bytes");
                SkipBlanks();
                if (Peek() != ',')
                    break;
                ++pos_;
            }
        }
        Expect(']', "',' or ']' in a set");
        writer_.WriteSet(names);
    }

    void List() {
        writer_.WriteListBegin();
        for (;;) {
            SkipBlanks();
            if (Peek() == ')')
                break;
            if (pos_ >= text_.size())
                Fail("expected a value or ')' in a list, found the end of the file");
            Value();
        }
        ++pos_;
        writer_.WriteListEnd();
    }

    void Collection() {
        writer_.WriteCollectionBegin();
        for (;;) {
            SkipBlanks();
            if (Peek() == '>')
                break;
            if (!Keyword("item"))
                Fail("expected 'item' or '>' in a collection, found " + Found());
            std::int32_t index = 0;
            if (OptionalIndex(index))
                writer_.WriteInteger(index);
            writer_.WriteListBegin();
            for (;;) {
                SkipBlanks();
                if (Keyword("end"))
                    break;
                if (!IsIdentStart(Peek()))
                    Fail("expected a property or 'end' in a collection item, found " + Found());
                Property();
            }
            writer_.WriteListEnd();
        }
        ++pos_;
        writer_.WriteListEnd();
    }

    void Binary() {
        std::vector<unsigned char> bytes;
        int high = -1;
        for (;;) {
            SkipBlanks();
            char c = Peek();
            if (c == '}')
                break;
            int digit = rtl::HexDigitValue(c);
            if (digit < 0)
                Fail("expected a hexadecimal digit or '}' in binary data, found " + Found());
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<unsigned char>(high << 4 | digit));
                high = -1;
            }
            ++pos_;
        }
        if (high >= 0)
            Fail("binary data has an odd number of hexadecimal digits");
        ++pos_;
        writer_.WriteBinary(bytes.data(), bytes.size());
    }

    // ---- Numbers ----

    // Int64 for an integer; Extended, Single, Currency or Date for the others.
    struct Number {
        TValueKind kind;
        std::int64_t integer = 0;
        double real = 0;
    };

    Number ReadNumber() {
        std::size_t start = pos_;
        bool negative = Peek() == '-';
        if (Peek() == '-' || Peek() == '+')
            ++pos_;
        if (Peek() == '$') {
            ++pos_;
            std::uint64_t value = 0;
            int digits = 0;
            for (; rtl::HexDigitValue(Peek()) >= 0; ++pos_, ++digits)
                value = value << 4 | static_cast<unsigned>(rtl::HexDigitValue(Peek()));
            if (digits == 0 || digits > 16)
                FailAt(start, digits == 0 ? "expected hexadecimal digits after '$'"
                                          : "a hexadecimal number has more than 16 digits");
            EndOfNumber(start);
            auto bits = static_cast<std::int64_t>(value);
            return {TValueKind::Int64, negative ? static_cast<std::int64_t>(0 - value) : bits};
        }
        if (!IsDigit(Peek()))
            FailAt(start, "expected a digit in a number");
        bool real = false;
        while (IsDigit(Peek()))
            ++pos_;
        if (Peek() == '.' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1])) {
            real = true;
            for (++pos_; IsDigit(Peek()); ++pos_) {
            }
        }
        if (Peek() == 'e' || Peek() == 'E') {
            std::size_t mark = pos_++;
            if (Peek() == '-' || Peek() == '+')
                ++pos_;
            if (!IsDigit(Peek()))
                FailAt(mark, "expected the digits of an exponent");
            real = true;
            while (IsDigit(Peek()))
                ++pos_;
        }
        std::string digits(text_.substr(start, pos_ - start));
        TValueKind kind = real ? TValueKind::Extended : TValueKind::Int64;
        switch (Peek()) {
        case 's':
        case 'S':
            kind = TValueKind::Single;
            break;
        case 'c':
        case 'C':
            kind = TValueKind::Currency;
            break;
        case 'd':
        case 'D':
            kind = TValueKind::Date;
            break;
        default:
            break;
        }
        if (kind != TValueKind::Extended && kind != TValueKind::Int64)
            ++pos_;
        EndOfNumber(start);
        errno = 0;
        if (kind == TValueKind::Int64) {
            long long value = std::strtoll(digits.c_str(), nullptr, 10);
            if (errno == ERANGE)
                FailAt(start, "the integer does not fit 64 bits");
            return {kind, value};
        }
        double value = std::strtod(digits.c_str(), nullptr);
        if (errno == ERANGE && std::isinf(value))
            FailAt(start, "the number is out of range");
        return {kind, 0, value};
    }

    void EndOfNumber(std::size_t start) {
        if (IsIdentChar(Peek()) || Peek() == '.')
            FailAt(start, "malformed number");
    }

    void WriteNumber(const Number& number) {
        switch (number.kind) {
        case TValueKind::Int64:
            return writer_.WriteInteger(number.integer);
        case TValueKind::Single:
            return writer_.WriteSingle(static_cast<float>(number.real));
        case TValueKind::Currency:
            return writer_.WriteCurrency(std::llround(number.real * 10000));
        case TValueKind::Date:
            return writer_.WriteDate(number.real);
        default:
            return writer_.WriteFloat(number.real);
        }
    }

    // ---- Strings ----

    // Pieces ('quoted' and #code) written together, and '+' joining more pieces.
    void String() {
        std::u16string units;
        std::size_t start = pos_;
        for (;;) {
            StringPieces(units);
            SkipBlanks();
            if (Peek() != '+')
                break;
            ++pos_;
            SkipBlanks();
            if (Peek() != '\'' && Peek() != '#')
                Fail("expected a string after '+', found " + Found());
        }
        bool ascii = true;
        for (char16_t unit : units)
            ascii = ascii && unit < 0x80;
        if (ascii)
            return writer_.WriteString(std::string(units.begin(), units.end()));
        if (!options_.Utf8Strings)
            return writer_.WriteWideString(units);
        for (std::size_t i = 0; i < units.size(); ++i) {
            bool high = units[i] >= 0xD800 && units[i] < 0xDC00;
            bool low = units[i] >= 0xDC00 && units[i] < 0xE000;
            if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
                ++i;
            else if (high || low)
                FailAt(start, "a string with an unpaired surrogate (#" + std::to_string(units[i]) +
                                  ") cannot be stored as UTF-8");
        }
        writer_.WriteUtf8String(rtl::WideToUtf8(units));
    }

    void StringPieces(std::u16string& units) {
        for (;;) {
            if (Peek() == '\'')
                Quoted(units);
            else if (Peek() == '#')
                CharCode(units);
            else
                return;
        }
    }

    void Quoted(std::u16string& units) {
        std::size_t start = pos_++;
        for (;;) {
            if (pos_ >= text_.size() || Peek() == '\n' || Peek() == '\r')
                FailAt(start, "unterminated string: expected ''' before the end of the line");
            if (Peek() == '\'') {
                ++pos_;
                if (Peek() != '\'')
                    return;
            }
            Utf8Character(units);
        }
    }

    // One character of the source, in UTF-16.
    void Utf8Character(std::u16string& units) {
        auto b = static_cast<unsigned char>(text_[pos_]);
        int extra = b < 0x80                ? 0
                    : b >= 0xC2 && b < 0xE0 ? 1
                    : b >= 0xE0 && b < 0xF0 ? 2
                    : b >= 0xF0 && b < 0xF5 ? 3
                                            : -1;
        if (extra < 0)
            Fail("invalid UTF-8 in a string");
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        bool valid = pos_ + static_cast<std::size_t>(extra) < text_.size();
        for (int k = 1; valid && k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text_[pos_ + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (!valid || c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
            Fail("invalid UTF-8 in a string");
        pos_ += static_cast<std::size_t>(extra) + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (c >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }

    // #nnn (decimal) or #$hhhh: one UTF-16 code unit.
    void CharCode(std::u16string& units) {
        std::size_t start = pos_++;
        int base = 10;
        if (Peek() == '$') {
            base = 16;
            ++pos_;
        }
        std::uint32_t value = 0;
        int digits = 0;
        for (;; ++pos_, ++digits) {
            int digit = base == 16 ? rtl::HexDigitValue(Peek()) : IsDigit(Peek()) ? Peek() - '0' : -1;
            if (digit < 0)
                break;
            value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
            if (value > 0xFFFF)
                FailAt(start, "a character code is above 65535");
        }
        if (digits == 0)
            FailAt(start, "expected the digits of a character code after '#'");
        units += static_cast<char16_t>(value);
    }

    std::string_view text_;
    const std::string& fileName_;
    const Options& options_;
    std::size_t pos_ = 0;
    TMemoryStream stream_;
    TFormWriter writer_;
};

} // namespace

CompiledForm CompileForm(std::string_view source, const std::string& fileName, const Options& options) {
    return Compiler(source, fileName, options).Run();
}

std::string ResourceName(const CompiledForm& form) {
    return rtl::UpperCase(form.ClassName);
}

} // namespace formc
