#include "FormStream.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

std::string Written(const std::function<void(TFormWriter&)>& write) {
    TMemoryStream stream;
    TFormWriter writer(stream);
    write(writer);
    return {stream.Bytes().begin(), stream.Bytes().end()};
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}

// Reads bytes with read, which must consume them all.
void ReadAll(const std::string& bytes, const std::function<void(TFormReader&)>& read) {
    TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TFormReader reader(stream);
    read(reader);
    EXPECT_THROW(reader.Skip(1), EReadError) << "bytes left over";
}

// Every proper prefix of bytes must fail with EReadError under read.
void EveryPrefixFails(const std::string& bytes, const std::function<void(TFormReader&)>& read) {
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::string prefix = bytes.substr(0, n);
        TCustomMemoryStream stream(prefix.data(), static_cast<std::int64_t>(n));
        TFormReader reader(stream);
        EXPECT_THROW(read(reader), EReadError) << "prefix of " << n << " bytes";
    }
}

struct KindCase {
    const char* name;
    TValueKind kind;
    std::function<void(TFormWriter&)> write;
    std::string bytes;
    std::function<void(TFormReader&)> read; // reads the value back and checks it
};

const std::string kLong(300, 'x');
const std::string kHuge(10000, 'y'); // longer than the reader's buffer

const KindCase kKinds[] = {
    {"null", TValueKind::Null, [](TFormWriter& w) { w.WriteNull(); }, Bytes({0}),
     [](TFormReader& r) { r.ReadNull(); }},
    {"list", TValueKind::List,
     [](TFormWriter& w) {
         w.WriteListBegin();
         w.WriteInteger(1);
         w.WriteString("a");
         w.WriteListEnd();
     },
     Bytes({1, 2, 1, 6, 1, 'a', 0}),
     [](TFormReader& r) {
         r.ReadListBegin();
         EXPECT_EQ(r.ReadInteger(), 1);
         EXPECT_FALSE(r.EndOfList());
         EXPECT_EQ(r.ReadString(), "a");
         EXPECT_TRUE(r.EndOfList());
         r.ReadListEnd();
     }},
    {"int8", TValueKind::Int8, [](TFormWriter& w) { w.WriteInteger(-5); }, Bytes({2, 0xFB}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadInteger(), -5); }},
    {"int16", TValueKind::Int16, [](TFormWriter& w) { w.WriteInteger(300); }, Bytes({3, 0x2C, 0x01}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadInteger(), 300); }},
    {"int32", TValueKind::Int32, [](TFormWriter& w) { w.WriteInteger(-70000); },
     Bytes({4, 0x90, 0xEE, 0xFE, 0xFF}), [](TFormReader& r) { EXPECT_EQ(r.ReadInt64(), -70000); }},
    {"extended", TValueKind::Extended, [](TFormWriter& w) { w.WriteFloat(1.5); },
     Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadFloat(), 1.5); }},
    {"short string", TValueKind::String, [](TFormWriter& w) { w.WriteString("OK"); }, Bytes({6, 2, 'O', 'K'}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadWideString(), u"OK"); }},
    {"identifier", TValueKind::Ident, [](TFormWriter& w) { w.WriteIdent("alTop"); },
     Bytes({7, 5, 'a', 'l', 'T', 'o', 'p'}), [](TFormReader& r) { EXPECT_EQ(r.ReadIdent(), "alTop"); }},
    {"false", TValueKind::False, [](TFormWriter& w) { w.WriteBoolean(false); }, Bytes({8}),
     [](TFormReader& r) { EXPECT_FALSE(r.ReadBoolean()); }},
    {"true", TValueKind::True, [](TFormWriter& w) { w.WriteBoolean(true); }, Bytes({9}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadIdent(), "True"); }},
    {"binary", TValueKind::Binary,
     [](TFormWriter& w) {
         const char data[] = {1, 2, 0};
         w.WriteBinary(data, 3);
     },
     Bytes({10, 3, 0, 0, 0, 1, 2, 0}),
     [](TFormReader& r) {
         EXPECT_EQ(r.ReadBinary(), (std::vector<char>{1, 2, 0}));
     }},
    {"set", TValueKind::Set,
     [](TFormWriter& w) {
         w.WriteSet({"a", "bc"});
     },
     Bytes({11, 1, 'a', 2, 'b', 'c', 0}),
     [](TFormReader& r) {
         EXPECT_EQ(r.ReadSet(), (std::vector<AnsiString>{"a", "bc"}));
     }},
    {"long string", TValueKind::LString, [](TFormWriter& w) { w.WriteString(kLong); },
     Bytes({12, 0x2C, 1, 0, 0}) + kLong, [](TFormReader& r) { EXPECT_EQ(r.ReadString(), kLong); }},
    {"long string beyond the buffer", TValueKind::LString, [](TFormWriter& w) { w.WriteString(kHuge); },
     Bytes({12, 0x10, 0x27, 0, 0}) + kHuge, [](TFormReader& r) { EXPECT_EQ(r.ReadString(), kHuge); }},
    {"nil", TValueKind::Nil, [](TFormWriter& w) { w.WriteNil(); }, Bytes({13}),
     [](TFormReader& r) { r.ReadNil(); }},
    {"collection", TValueKind::Collection,
     [](TFormWriter& w) {
         w.WriteCollectionBegin();
         w.WriteInteger(5);
         w.WriteListBegin();
         w.WriteStr("T");
         w.WriteString("a");
         w.WriteListEnd();
         w.WriteListBegin();
         w.WriteListEnd();
         w.WriteListEnd();
     },
     Bytes({14, 2, 5, 1, 1, 'T', 6, 1, 'a', 0, 1, 0, 0}),
     [](TFormReader& r) {
         r.ReadCollectionBegin();
         EXPECT_EQ(r.NextValue(), TValueKind::Int8);
         EXPECT_EQ(r.ReadInteger(), 5);
         r.ReadListBegin();
         EXPECT_EQ(r.ReadStr(), "T");
         EXPECT_EQ(r.ReadString(), "a");
         r.ReadListEnd();
         r.ReadListBegin();
         EXPECT_TRUE(r.EndOfList());
         r.ReadListEnd();
         r.ReadListEnd();
     }},
    {"single", TValueKind::Single, [](TFormWriter& w) { w.WriteSingle(0.5f); }, Bytes({15, 0, 0, 0, 0x3F}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadSingle(), 0.5f); }},
    {"currency", TValueKind::Currency, [](TFormWriter& w) { w.WriteCurrency(125000); },
     Bytes({16, 0x48, 0xE8, 0x01, 0, 0, 0, 0, 0}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadCurrency(), 125000); }},
    {"date", TValueKind::Date, [](TFormWriter& w) { w.WriteDate(2.25); },
     Bytes({17, 0, 0, 0, 0, 0, 0, 0x02, 0x40}), [](TFormReader& r) { EXPECT_EQ(r.ReadDate(), 2.25); }},
    {"wide string", TValueKind::WString, [](TFormWriter& w) { w.WriteWideString(u"\u0416a"); },
     Bytes({18, 2, 0, 0, 0, 0x16, 0x04, 'a', 0}),
     [](TFormReader& r) {
         EXPECT_EQ(r.ReadString(), "\xC6"
                                   "a");
     }}, // code page 1251
    {"int64", TValueKind::Int64, [](TFormWriter& w) { w.WriteInteger(5000000000); },
     Bytes({19, 0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadInt64(), 5000000000); }},
    {"utf-8 string", TValueKind::Utf8String,
     [](TFormWriter& w) {
         w.WriteUtf8String("\xD0\x96"
                           "a");
     },
     Bytes({20, 3, 0, 0, 0, 0xD0, 0x96, 'a'}),
     [](TFormReader& r) { EXPECT_EQ(r.ReadWideString(), u"\u0416a"); }},
};

class ValueKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(ValueKindTest, WritesTheBytesAndReadsThemBack) {
    const KindCase& c = GetParam();
    std::string bytes = Written(c.write);
    EXPECT_EQ(bytes, c.bytes);
    ReadAll(bytes, [&](TFormReader& r) {
        EXPECT_EQ(r.NextValue(), c.kind);
        c.read(r);
    });
}

TEST_P(ValueKindTest, SkipsTheWholeValue) {
    ReadAll(GetParam().bytes, [](TFormReader& r) { r.SkipValue(); });
}

TEST_P(ValueKindTest, EveryTruncationFailsCleanly) {
    EveryPrefixFails(GetParam().bytes, GetParam().read);
    EveryPrefixFails(GetParam().bytes, [](TFormReader& r) { r.SkipValue(); });
}

INSTANTIATE_TEST_SUITE_P(AllKinds, ValueKindTest, testing::ValuesIn(kKinds), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (c == ' ' || c == '-')
            c = '_';
    return name;
});

TEST(FormWriterTest, IntegersTakeTheSmallestKindThatHoldsThem) {
    const struct {
        std::int64_t value;
        TValueKind kind;
    } cases[] = {
        {-128, TValueKind::Int8},
        {127, TValueKind::Int8},
        {128, TValueKind::Int16},
        {-129, TValueKind::Int16},
        {32767, TValueKind::Int16},
        {32768, TValueKind::Int32},
        {std::numeric_limits<std::int32_t>::min(), TValueKind::Int32},
        {std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1, TValueKind::Int64},
        {std::numeric_limits<std::int64_t>::min(), TValueKind::Int64},
    };
    for (const auto& c : cases) {
        std::string bytes = Written([&](TFormWriter& w) { w.WriteInteger(c.value); });
        ReadAll(bytes, [&](TFormReader& r) {
            EXPECT_EQ(r.NextValue(), c.kind) << c.value;
            EXPECT_EQ(r.ReadInt64(), c.value);
        });
    }
}

TEST(FormWriterTest, RefusesWhatTheFormatCannotHold) {
    TMemoryStream stream;
    TFormWriter writer(stream);
    EXPECT_THROW(writer.WriteStr(std::string(256, 'a')), EWriteError);
    EXPECT_THROW(writer.WriteIdent(std::string(256, 'a')), EWriteError);
    EXPECT_THROW(writer.WriteSet({"a", ""}), EWriteError);
    // A class name's length byte of 0xF0 or more would read as a prefix.
    EXPECT_THROW(writer.WriteObjectHeader({}, std::string(240, 'T'), "x"), EWriteError);
    EXPECT_NO_THROW(writer.WriteObjectHeader({}, std::string(239, 'T'), "x"));
}

TEST(ExtendedTest, ConvertsToDoubleAndBack) {
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -2.5,
                             1e300,
                             -1e-300,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double value : values) {
        unsigned char bytes[10];
        form::DoubleToExtended(value, bytes);
        double back = form::ExtendedToDouble(bytes);
        EXPECT_EQ(back, value);
        EXPECT_EQ(std::signbit(back), std::signbit(value)) << value;
    }
    unsigned char nan[10];
    form::DoubleToExtended(std::numeric_limits<double>::quiet_NaN(), nan);
    EXPECT_TRUE(std::isnan(form::ExtendedToDouble(nan)));
}

TEST(ExtendedTest, ValuesBeyondADoubleBecomeInfinityOrZero) {
    const unsigned char huge[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F}; // 2^16383
    const unsigned char tiny[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00}; // 2^-16382
    EXPECT_EQ(form::ExtendedToDouble(huge), std::numeric_limits<double>::infinity());
    EXPECT_EQ(form::ExtendedToDouble(tiny), 0.0);
}

TEST(FormReaderTest, ReadsTheObjectPrefix) {
    const struct {
        TObjectPrefix prefix;
        std::string bytes;
    } cases[] = {
        {{}, Bytes({2, 'T', 'A', 1, 'a'})},
        {{ffInherited, 0}, Bytes({0xF1, 2, 'T', 'A', 1, 'a'})},
        {{ffInline, 0}, Bytes({0xF4, 2, 'T', 'A', 1, 'a'})},
        {{ffInherited | ffChildPos, 300}, Bytes({0xF3, 3, 0x2C, 1, 2, 'T', 'A', 1, 'a'})},
    };
    for (const auto& c : cases) {
        std::string bytes = Written([&](TFormWriter& w) { w.WriteObjectHeader(c.prefix, "TA", "a"); });
        EXPECT_EQ(bytes, c.bytes);
        auto read = [&](TFormReader& r) {
            TObjectPrefix prefix = r.ReadPrefix();
            EXPECT_EQ(prefix.Flags, c.prefix.Flags);
            EXPECT_EQ(prefix.Position, c.prefix.Position);
            EXPECT_EQ(r.ReadStr(), "TA");
            EXPECT_EQ(r.ReadStr(), "a");
        };
        ReadAll(bytes, read);
        EveryPrefixFails(bytes, read);
    }
}

TEST(FormReaderTest, ChecksTheSignature) {
    ReadAll("TPF0", [](TFormReader& r) { r.ReadSignature(); });
    for (const char* bad : {"TPF1", "tpf0", "XXXX"}) {
        try {
            ReadAll(bad, [](TFormReader& r) { r.ReadSignature(); });
            ADD_FAILURE() << bad;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Invalid stream format");
        }
    }
    EveryPrefixFails("TPF0", [](TFormReader& r) { r.ReadSignature(); });
}

// Damaged values: each read raises EReadError with the message given.
TEST(FormReaderTest, DamagedValuesRaiseReadErrors) {
    const std::string deep = std::string(1000, '\x01') + std::string(1000, '\0');
    const struct {
        const char* name;
        std::string bytes;
        std::function<void(TFormReader&)> read;
        const char* message;
    } cases[] = {
        {"unknown kind", Bytes({21}), [](TFormReader& r) { r.NextValue(); }, "Unknown value kind 21"},
        {"unknown kind skipped", Bytes({1, 0xFF, 0}), [](TFormReader& r) { r.SkipValue(); },
         "Unknown value kind 255"},
        {"integer wanted", Bytes({6, 0}), [](TFormReader& r) { r.ReadInteger(); }, "Invalid property value"},
        {"int64 is no 32-bit integer", Bytes({19, 0, 0, 0, 0, 0, 0, 0, 0}),
         [](TFormReader& r) { r.ReadInteger(); }, "Invalid property value"},
        {"text wanted", Bytes({7, 1, 'a'}), [](TFormReader& r) { r.ReadString(); }, "Invalid property value"},
        {"list start wanted", Bytes({14}), [](TFormReader& r) { r.ReadListBegin(); },
         "Invalid property value"},
        {"list end wanted", Bytes({2}), [](TFormReader& r) { r.ReadListEnd(); }, "Invalid property value"},
        {"boolean wanted", Bytes({13}), [](TFormReader& r) { r.ReadBoolean(); }, "Invalid property value"},
        {"collection item without a list", Bytes({14, 2, 0, 6, 0}), [](TFormReader& r) { r.SkipValue(); },
         "Invalid property value"},
        {"binary longer than the data", Bytes({10, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2}),
         [](TFormReader& r) { r.ReadBinary(); }, "Stream read error"},
        {"wide string longer than the data", Bytes({18, 0, 0, 0, 0x80, 'a', 0}),
         [](TFormReader& r) { r.ReadWideString(); }, "Stream read error"},
        {"long string skipped past the end", Bytes({12, 0xFF, 0xFF, 0xFF, 0xFF}),
         [](TFormReader& r) { r.SkipValue(); }, "Stream read error"},
        {"lists nested too deeply", deep, [](TFormReader& r) { r.SkipValue(); },
         "Form data nested too deeply"},
    };
    for (const auto& c : cases) {
        TCustomMemoryStream stream(c.bytes.data(), static_cast<std::int64_t>(c.bytes.size()));
        TFormReader reader(stream);
        try {
            c.read(reader);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message) << c.name;
        }
    }
}

// A whole form as a walker reads it: every object with its properties and children.
void WalkObject(TFormReader& r) {
    r.ReadPrefix();
    r.ReadStr();
    r.ReadStr();
    while (!r.EndOfList()) {
        r.ReadStr();
        r.SkipValue();
    }
    r.ReadListEnd();
    while (!r.EndOfList())
        WalkObject(r);
    r.ReadListEnd();
}

TEST(FormReaderTest, EveryTruncationOfAFormFailsCleanly) {
    std::string form = Written([](TFormWriter& w) {
        w.WriteSignature();
        w.WriteObjectHeader({}, "TMainForm", "MainForm");
        for (const KindCase& c : kKinds) {
            w.WriteStr(c.name);
            c.write(w);
        }
        w.WriteListEnd();
        w.WriteObjectHeader({ffInline | ffChildPos, 2}, "TFrame", "Frame1");
        w.WriteStr("Caption");
        w.WriteString("x");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    });
    auto walk = [](TFormReader& r) {
        r.ReadSignature();
        WalkObject(r);
    };
    ReadAll(form, walk);
    EveryPrefixFails(form, walk);
}

} // namespace
