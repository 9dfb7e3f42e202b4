#include "FormStream.h"

#include "Exceptions.h"
#include "ResStrings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
constexpr std::size_t kBufferSize = 4096;
// Lists and collections nest by recursion; damaged data must not exhaust the stack.
constexpr int kMaxDepth = 200;

bool IsIntegerKind(TValueKind kind) {
    return kind == TValueKind::Int8 || kind == TValueKind::Int16 || kind == TValueKind::Int32;
}

[[noreturn]] void InvalidValue() {
    throw EReadError(SInvalidPropertyValue);
}

std::uint64_t LittleEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

WideString Utf16FromBytes(const std::string& bytes) {
    WideString text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return text;
}

} // namespace

namespace form {

double ExtendedToDouble(const unsigned char bytes[10]) {
    std::uint64_t mantissa = LittleEndian(bytes, 8);
    unsigned top = static_cast<unsigned>(LittleEndian(bytes + 8, 2));
    bool negative = (top & 0x8000) != 0;
    int exponent = static_cast<int>(top & 0x7FFF);
    double value;
    if (exponent == 0x7FFF)
        value = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::quiet_NaN();
    else
        // The integer bit is explicit: the value is the mantissa times 2^(exponent - bias - 63); a
        // denormal's exponent counts as 1.
        value = std::ldexp(static_cast<double>(mantissa), std::max(exponent, 1) - 16383 - 63);
    return negative ? -value : value;
}

void DoubleToExtended(double value, unsigned char bytes[10]) {
    std::uint64_t mantissa = 0;
    unsigned top = std::signbit(value) ? 0x8000 : 0;
    if (std::isnan(value)) {
        mantissa = 0xC000000000000000u;
        top |= 0x7FFF;
    } else if (std::isinf(value)) {
        mantissa = 0x8000000000000000u;
        top |= 0x7FFF;
    } else if (value != 0) {
        int exponent = 0;
        double fraction = std::frexp(std::fabs(value), &exponent); // in [0.5, 1)
        mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
        top |= static_cast<unsigned>(exponent + 16382);
    }
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(mantissa >> (8 * i));
    bytes[8] = static_cast<unsigned char>(top);
    bytes[9] = static_cast<unsigned char>(top >> 8);
}

} // namespace form

// ---- TFormReader ------------------------------------------------------------------------------------

TFormReader::TFormReader(TStream& stream) : stream_(stream), buffer_(kBufferSize) {}

std::uint8_t TFormReader::PeekByte() {
    if (start_ == end_) {
        start_ = 0;
        end_ = static_cast<std::size_t>(std::max<std::int64_t>(
            stream_.Read(buffer_.data(), static_cast<std::int64_t>(buffer_.size())), 0));
        if (end_ == 0)
            throw EReadError(SReadError);
    }
    return static_cast<std::uint8_t>(buffer_[start_]);
}

std::uint8_t TFormReader::ReadByte() {
    std::uint8_t b = PeekByte();
    ++start_;
    return b;
}

void TFormReader::ReadBytes(std::uint64_t count, std::string& out) {
    while (count > 0) {
        PeekByte();
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, end_ - start_));
        out.append(buffer_.data() + start_, n);
        start_ += n;
        count -= n;
    }
}

void TFormReader::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        PeekByte();
        std::size_t n = std::min(count, end_ - start_);
        std::memcpy(out, buffer_.data() + start_, n);
        start_ += n;
        out += n;
        count -= n;
    }
}

void TFormReader::Skip(std::uint64_t count) {
    while (count > 0) {
        PeekByte();
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, end_ - start_));
        start_ += n;
        count -= n;
    }
}

std::uint32_t TFormReader::ReadUInt32() {
    unsigned char bytes[4];
    Read(bytes, 4);
    return static_cast<std::uint32_t>(LittleEndian(bytes, 4));
}

void TFormReader::ReadSignature() {
    char signature[4];
    Read(signature, 4);
    if (std::memcmp(signature, kSignature, 4) != 0)
        throw EReadError(SInvalidStreamFormat);
}

TObjectPrefix TFormReader::ReadPrefix() {
    TObjectPrefix prefix;
    std::uint8_t b = PeekByte();
    if ((b & 0xF0) != 0xF0)
        return prefix;
    ++start_;
    prefix.Flags = b & 0x0F;
    if (prefix.Flags & ffChildPos)
        prefix.Position = ReadInteger();
    return prefix;
}

AnsiString TFormReader::ReadStr() {
    AnsiString text;
    ReadBytes(ReadByte(), text);
    return text;
}

TValueKind TFormReader::NextValue() {
    std::uint8_t b = PeekByte();
    if (b > kMaxValueKind)
        throw EReadError(SUnknownValueKind, {static_cast<int>(b)});
    return static_cast<TValueKind>(b);
}

TValueKind TFormReader::ReadValue() {
    TValueKind kind = NextValue();
    ++start_;
    return kind;
}

bool TFormReader::EndOfList() {
    return PeekByte() == 0;
}

void TFormReader::Expect(TValueKind kind) {
    if (ReadValue() != kind)
        InvalidValue();
}

void TFormReader::ReadListBegin() {
    Expect(TValueKind::List);
}

void TFormReader::ReadListEnd() {
    if (ReadByte() != 0)
        InvalidValue();
}

void TFormReader::ReadCollectionBegin() {
    Expect(TValueKind::Collection);
}

void TFormReader::ReadNull() {
    Expect(TValueKind::Null);
}

void TFormReader::ReadNil() {
    Expect(TValueKind::Nil);
}

std::int32_t TFormReader::ReadInteger() {
    TValueKind kind = NextValue();
    if (!IsIntegerKind(kind))
        InvalidValue();
    return static_cast<std::int32_t>(ReadInt64());
}

std::int64_t TFormReader::ReadInt64() {
    unsigned char bytes[8];
    switch (ReadValue()) {
    case TValueKind::Int8:
        Read(bytes, 1);
        return static_cast<std::int8_t>(bytes[0]);
    case TValueKind::Int16:
        Read(bytes, 2);
        return static_cast<std::int16_t>(LittleEndian(bytes, 2));
    case TValueKind::Int32:
        Read(bytes, 4);
        return static_cast<std::int32_t>(LittleEndian(bytes, 4));
    case TValueKind::Int64:
        Read(bytes, 8);
        return static_cast<std::int64_t>(LittleEndian(bytes, 8));
    default:
        InvalidValue();
    }
}

double TFormReader::ReadFloat() {
    Expect(TValueKind::Extended);
    unsigned char bytes[10];
    Read(bytes, 10);
    return form::ExtendedToDouble(bytes);
}

float TFormReader::ReadSingle() {
    Expect(TValueKind::Single);
    unsigned char bytes[4];
    Read(bytes, 4);
    auto bits = static_cast<std::uint32_t>(LittleEndian(bytes, 4));
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

std::int64_t TFormReader::ReadCurrency() {
    Expect(TValueKind::Currency);
    unsigned char bytes[8];
    Read(bytes, 8);
    return static_cast<std::int64_t>(LittleEndian(bytes, 8));
}

double TFormReader::ReadDate() {
    Expect(TValueKind::Date);
    unsigned char bytes[8];
    Read(bytes, 8);
    std::uint64_t bits = LittleEndian(bytes, 8);
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

bool TFormReader::ReadBoolean() {
    switch (ReadValue()) {
    case TValueKind::False:
        return false;
    case TValueKind::True:
        return true;
    default:
        InvalidValue();
    }
}

AnsiString TFormReader::ReadIdent() {
    switch (ReadValue()) {
    case TValueKind::Ident:
        return ReadStr();
    case TValueKind::False:
        return "False";
    case TValueKind::True:
        return "True";
    case TValueKind::Nil:
        return "nil";
    case TValueKind::Null:
        return "Null";
    default:
        InvalidValue();
    }
}

AnsiString TFormReader::ReadString() {
    TValueKind kind = NextValue();
    if (kind == TValueKind::String || kind == TValueKind::LString) {
        ++start_;
        if (kind == TValueKind::String)
            return ReadStr();
        AnsiString text;
        ReadBytes(ReadUInt32(), text);
        return text;
    }
    return rtl::WideToAnsi(ReadWideString());
}

WideString TFormReader::ReadWideString() {
    std::string bytes;
    switch (ReadValue()) {
    case TValueKind::String:
        return rtl::AnsiToWide(ReadStr());
    case TValueKind::LString:
        ReadBytes(ReadUInt32(), bytes);
        return rtl::AnsiToWide(bytes);
    case TValueKind::WString:
        ReadBytes(2 * static_cast<std::uint64_t>(ReadUInt32()), bytes);
        return Utf16FromBytes(bytes);
    case TValueKind::Utf8String:
        ReadBytes(ReadUInt32(), bytes);
        return rtl::Utf8ToWide(bytes);
    default:
        InvalidValue();
    }
}

std::vector<char> TFormReader::ReadBinary() {
    Expect(TValueKind::Binary);
    std::string bytes;
    ReadBytes(ReadUInt32(), bytes);
    return {bytes.begin(), bytes.end()};
}

std::vector<AnsiString> TFormReader::ReadSet() {
    Expect(TValueKind::Set);
    std::vector<AnsiString> names;
    for (AnsiString name = ReadStr(); !name.empty(); name = ReadStr())
        names.push_back(std::move(name));
    return names;
}

void TFormReader::SkipValue() {
    SkipValue(0);
}

void TFormReader::SkipValue(int depth) {
    if (depth > kMaxDepth)
        throw EReadError(SFormNestedTooDeeply);
    switch (ReadValue()) {
    case TValueKind::Null:
    case TValueKind::False:
    case TValueKind::True:
    case TValueKind::Nil:
        return;
    case TValueKind::List:
        while (!EndOfList())
            SkipValue(depth + 1);
        ++start_;
        return;
    case TValueKind::Int8:
        return Skip(1);
    case TValueKind::Int16:
        return Skip(2);
    case TValueKind::Int32:
    case TValueKind::Single:
        return Skip(4);
    case TValueKind::Extended:
        return Skip(10);
    case TValueKind::String:
    case TValueKind::Ident:
        return Skip(ReadByte());
    case TValueKind::Binary:
    case TValueKind::LString:
    case TValueKind::Utf8String:
        return Skip(ReadUInt32());
    case TValueKind::WString:
        return Skip(2 * static_cast<std::uint64_t>(ReadUInt32()));
    case TValueKind::Set:
        for (std::uint8_t length = ReadByte(); length != 0; length = ReadByte())
            Skip(length);
        return;
    case TValueKind::Collection:
        while (!EndOfList()) {
            if (IsIntegerKind(NextValue()))
                SkipValue(depth + 1);
            ReadListBegin();
            while (!EndOfList()) {
                Skip(ReadByte());
                SkipValue(depth + 1);
            }
            ++start_;
        }
        ++start_;
        return;
    case TValueKind::Currency:
    case TValueKind::Date:
    case TValueKind::Int64:
        return Skip(8);
    }
}

// ---- TFormWriter ------------------------------------------------------------------------------------

void TFormWriter::Write(const void* data, std::size_t size) {
    stream_.WriteBuffer(data, static_cast<std::int64_t>(size));
}

void TFormWriter::WriteKind(TValueKind kind) {
    auto b = static_cast<std::uint8_t>(kind);
    Write(&b, 1);
}

void TFormWriter::WriteUInt32(std::size_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max())
        throw EWriteError(SWriteError);
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    Write(bytes, 4);
}

void TFormWriter::WriteSignature() {
    Write(kSignature, 4);
}

void TFormWriter::WriteObjectHeader(const TObjectPrefix& prefix, std::string_view className,
                                    std::string_view objectName) {
    if (prefix.Flags != 0) {
        auto b = static_cast<std::uint8_t>(0xF0 | (prefix.Flags & 0x0F));
        Write(&b, 1);
        if (prefix.Flags & ffChildPos)
            WriteInteger(prefix.Position);
    }
    // A length byte of 0xF0 or more would be read as a prefix.
    if (className.size() >= 0xF0)
        throw EWriteError(SShortStringTooLong, {static_cast<std::int64_t>(className.size())});
    WriteStr(className);
    WriteStr(objectName);
}

void TFormWriter::WriteStr(std::string_view text) {
    if (text.size() > 255)
        throw EWriteError(SShortStringTooLong, {static_cast<std::int64_t>(text.size())});
    auto length = static_cast<std::uint8_t>(text.size());
    Write(&length, 1);
    Write(text.data(), text.size());
}

void TFormWriter::WriteListBegin() {
    WriteKind(TValueKind::List);
}

void TFormWriter::WriteListEnd() {
    WriteKind(TValueKind::Null);
}

void TFormWriter::WriteCollectionBegin() {
    WriteKind(TValueKind::Collection);
}

void TFormWriter::WriteNull() {
    WriteKind(TValueKind::Null);
}

void TFormWriter::WriteNil() {
    WriteKind(TValueKind::Nil);
}

namespace {
template <typename T> void WriteLittleEndian(TFormWriter& writer, T value) {
    unsigned char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<unsigned char>(static_cast<std::uint64_t>(value) >> (8 * i));
    writer.Write(bytes, sizeof(T));
}
} // namespace

void TFormWriter::WriteInteger(std::int64_t value) {
    if (value >= -128 && value <= 127) {
        WriteKind(TValueKind::Int8);
        WriteLittleEndian(*this, static_cast<std::int8_t>(value));
    } else if (value >= -32768 && value <= 32767) {
        WriteKind(TValueKind::Int16);
        WriteLittleEndian(*this, static_cast<std::int16_t>(value));
    } else if (value >= std::numeric_limits<std::int32_t>::min() &&
               value <= std::numeric_limits<std::int32_t>::max()) {
        WriteKind(TValueKind::Int32);
        WriteLittleEndian(*this, static_cast<std::int32_t>(value));
    } else {
        WriteInt64(value);
    }
}

void TFormWriter::WriteInt64(std::int64_t value) {
    WriteKind(TValueKind::Int64);
    WriteLittleEndian(*this, value);
}

void TFormWriter::WriteFloat(double value) {
    WriteKind(TValueKind::Extended);
    unsigned char bytes[10];
    form::DoubleToExtended(value, bytes);
    Write(bytes, 10);
}

void TFormWriter::WriteSingle(float value) {
    WriteKind(TValueKind::Single);
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    WriteLittleEndian(*this, bits);
}

void TFormWriter::WriteCurrency(std::int64_t scaled) {
    WriteKind(TValueKind::Currency);
    WriteLittleEndian(*this, scaled);
}

void TFormWriter::WriteDate(double value) {
    WriteKind(TValueKind::Date);
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    WriteLittleEndian(*this, bits);
}

void TFormWriter::WriteBoolean(bool value) {
    WriteKind(value ? TValueKind::True : TValueKind::False);
}

void TFormWriter::WriteIdent(std::string_view name) {
    WriteKind(TValueKind::Ident);
    WriteStr(name);
}

void TFormWriter::WriteString(std::string_view bytes) {
    if (bytes.size() <= 255) {
        WriteKind(TValueKind::String);
        WriteStr(bytes);
        return;
    }
    WriteKind(TValueKind::LString);
    WriteUInt32(bytes.size());
    Write(bytes.data(), bytes.size());
}

void TFormWriter::WriteWideString(std::u16string_view text) {
    WriteKind(TValueKind::WString);
    WriteUInt32(text.size());
    for (char16_t unit : text)
        WriteLittleEndian(*this, static_cast<std::uint16_t>(unit));
}

void TFormWriter::WriteUtf8String(std::string_view utf8) {
    WriteKind(TValueKind::Utf8String);
    WriteUInt32(utf8.size());
    Write(utf8.data(), utf8.size());
}

void TFormWriter::WriteBinary(const void* data, std::size_t size) {
    WriteKind(TValueKind::Binary);
    WriteUInt32(size);
    Write(data, size);
}

void TFormWriter::WriteSet(const std::vector<AnsiString>& names) {
    WriteKind(TValueKind::Set);
    for (const AnsiString& name : names) {
        // An empty name would end the set.
        if (name.empty())
            throw EWriteError(SWriteError);
        WriteStr(name);
    }
    WriteStr("");
}
