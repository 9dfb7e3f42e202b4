// The binary form format: the stream that compiled form definitions are stored in (signature
// "TPF0"). TFormReader reads it piece by piece for whoever walks or builds a form; TFormWriter writes
// the same pieces, for the form compiler and the tests.
//
// A stream holds the signature and one object record. An object record is an optional prefix byte
// (high nibble 0xF, low nibble the flags below, then an integer value when the child-position flag
// is set), the class name and the object name as short strings, the properties (a short-string name
// and one value each) ended by a zero byte, and the child records ended by a zero byte. A value is a
// kind byte (TValueKind) and its payload; all numbers are little-endian.
#pragma once

#include "RtlStrings.h"
#include "Streams.h"

#include <cstdint>
#include <string>
#include <vector>

enum class TValueKind : std::uint8_t {
    Null = 0,
    List = 1, // values, ended by a zero byte
    Int8 = 2, // 1, 2, 4 bytes, signed
    Int16 = 3,
    Int32 = 4,
    Extended = 5, // 10-byte x87 extended float
    String = 6,   // short string: 1-byte length, the bytes
    Ident = 7,    // a short string
    False = 8,
    True = 9,
    Binary = 10,  // 4-byte count, the bytes
    Set = 11,     // short strings, ended by an empty one
    LString = 12, // 4-byte length, the bytes
    Nil = 13,
    Collection = 14, // items ended by a zero byte; an item: an optional integer, a list start,
                     // properties, a zero byte
    Single = 15,     // 4-byte float
    Currency = 16,   // 8-byte integer, the amount times 10000
    Date = 17,       // 8-byte double
    WString = 18,    // 4-byte count of UTF-16 units, the units
    Int64 = 19,      // 8 bytes, signed
    Utf8String = 20, // 4-byte count of bytes, UTF-8
};

// The highest kind the format defines.
inline constexpr std::uint8_t kMaxValueKind = 20;

// Flags of the object prefix.
enum TFilerFlag : std::uint8_t {
    ffInherited = 1,
    ffChildPos = 2,
    ffInline = 4,
};

struct TObjectPrefix {
    std::uint8_t Flags = 0;    // TFilerFlag bits
    std::int32_t Position = 0; // the child position, when ffChildPos is set
};

// Reads the pieces of a form stream. Every fault of the data, a truncated stream or a kind that the
// operation cannot take, raises EReadError; nothing is read beyond what the stream holds, and a
// stated length larger than what is left fails once the stream runs out, without allocating it.
// The reader reads through a buffer of its own, so the stream's position runs ahead of what has
// been consumed.
class TFormReader {
public:
    explicit TFormReader(TStream& stream);
    TFormReader(const TFormReader&) = delete;
    TFormReader& operator=(const TFormReader&) = delete;

    // The signature "TPF0", or EReadError "Invalid stream format".
    void ReadSignature();
    // The prefix of an object record, if there is one (an empty prefix otherwise).
    TObjectPrefix ReadPrefix();

    // A short string: one length byte and the bytes.
    AnsiString ReadStr();

    // The kind of the next value, without consuming it; an unknown kind raises EReadError.
    TValueKind NextValue();
    // The kind of the next value, consumed.
    TValueKind ReadValue();
    // True when the next byte is the zero that ends a list (it is not consumed).
    bool EndOfList();
    // A list start (kind 1) and a list end (a zero byte); anything else raises EReadError.
    void ReadListBegin();
    void ReadListEnd();
    // The kind byte of a collection (14).
    void ReadCollectionBegin();

    // The values, by kind. Each consumes the kind byte and the payload, and raises EReadError for a
    // value of another kind.
    void ReadNull();             // 0
    void ReadNil();              // 13
    std::int32_t ReadInteger();  // 2, 3, 4
    std::int64_t ReadInt64();    // 2, 3, 4, 19
    double ReadFloat();          // 5, converted to double
    float ReadSingle();          // 15
    std::int64_t ReadCurrency(); // 16: the amount times 10000
    double ReadDate();           // 17
    bool ReadBoolean();          // 8, 9
    // 7; and the names of the kinds that the text form writes as words: False, True, nil, Null.
    AnsiString ReadIdent();
    // The text kinds 6, 12, 18 and 20; wide and UTF-8 strings are converted to the ANSI code page.
    AnsiString ReadString();
    // The text kinds in UTF-16; short and long strings are taken as ANSI text.
    WideString ReadWideString();
    std::vector<char> ReadBinary();    // 10
    std::vector<AnsiString> ReadSet(); // 11

    // Consumes the next value whatever its kind, lists and collections with all they hold.
    void SkipValue();

    // Exactly count raw bytes.
    void Read(void* buffer, std::size_t count);
    void Skip(std::uint64_t count);

private:
    std::uint8_t ReadByte();
    std::uint8_t PeekByte();
    std::uint32_t ReadUInt32();
    // count bytes appended to out as they arrive.
    void ReadBytes(std::uint64_t count, std::string& out);
    void Expect(TValueKind kind);
    void SkipValue(int depth);

    TStream& stream_;
    std::vector<char> buffer_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

// Writes the pieces of a form stream. A name or short string longer than 255 bytes, and a class
// name that a prefix byte could be mistaken for (240 bytes or more, where no prefix is written),
// raise EWriteError.
class TFormWriter {
public:
    explicit TFormWriter(TStream& stream) : stream_(stream) {}
    TFormWriter(const TFormWriter&) = delete;
    TFormWriter& operator=(const TFormWriter&) = delete;

    void WriteSignature();
    // The start of an object record: the prefix (nothing for an empty one; otherwise the prefix
    // byte and, with ffChildPos, the position), the class name and the object name.
    void WriteObjectHeader(const TObjectPrefix& prefix, std::string_view className,
                           std::string_view objectName);
    void WriteStr(std::string_view text);

    void WriteListBegin();
    void WriteListEnd();
    void WriteCollectionBegin();

    void WriteNull();
    void WriteNil();
    // In the smallest of the kinds 2, 3, 4 and 19 that holds the value.
    void WriteInteger(std::int64_t value);
    // Kind 19 whatever the value.
    void WriteInt64(std::int64_t value);
    void WriteFloat(double value);
    void WriteSingle(float value);
    void WriteCurrency(std::int64_t scaled);
    void WriteDate(double value);
    void WriteBoolean(bool value);
    void WriteIdent(std::string_view name);
    // Kind 6 up to 255 bytes, 12 beyond.
    void WriteString(std::string_view bytes);
    void WriteWideString(std::u16string_view text);
    void WriteUtf8String(std::string_view utf8);
    void WriteBinary(const void* data, std::size_t size);
    void WriteSet(const std::vector<AnsiString>& names);

    void Write(const void* data, std::size_t size);

private:
    void WriteKind(TValueKind kind);
    void WriteUInt32(std::size_t value);

    TStream& stream_;
};

namespace form {
// An 80-bit x87 extended float (little-endian) as a double and back; values beyond the range of a
// double become infinities, those below it zero.
double ExtendedToDouble(const unsigned char bytes[10]);
void DoubleToExtended(double value, unsigned char bytes[10]);
} // namespace form
