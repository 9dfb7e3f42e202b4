#include "FormCompiler.h"

#include <gtest/gtest.h>

namespace {

using formc::CompileForm;
using formc::EFormSyntaxError;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}

// The bytes of the value of property P in a root object "object A: TA".
std::string ValueBytes(const std::string& value, bool utf8 = false) {
    formc::Options options;
    options.Utf8Strings = utf8;
    std::string bytes = CompileForm("object A: TA\n  P = " + value + "\nend\n", "t.frm", options).Bytes;
    const std::string head = "TPF0" + Bytes({2, 'T', 'A', 1, 'A', 1, 'P'});
    const std::string tail = Bytes({0, 0});
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
    return bytes.substr(head.size(), bytes.size() - head.size() - tail.size());
}

TEST(FormCompilerTest, CompilesEachKindOfValue) {
    const std::string longText(300, 'x');
    const struct {
        std::string value;
        std::string bytes;
    } cases[] = {
        {"'OK'", Bytes({6, 2, 'O', 'K'})},
        {"''", Bytes({6, 0})},
        {"'It''s'", Bytes({6, 4, 'I', 't', '\'', 's'})},
        {"'a'#13#10'b'", Bytes({6, 4, 'a', 13, 10, 'b'})},
        {"'a' +\n    'b' + #$41", Bytes({6, 3, 'a', 'b', 'A'})},
        {"'" + longText + "'", Bytes({12, 0x2C, 1, 0, 0}) + longText},
        {"'\xD0\x96\xD0\xB0'", Bytes({18, 2, 0, 0, 0, 0x16, 0x04, 0x30, 0x04})},
        {"#1046'a'", Bytes({18, 2, 0, 0, 0, 0x16, 0x04, 'a', 0})},
        {"'\xF0\x9F\x98\x80'", Bytes({18, 2, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE})},
        {"127", Bytes({2, 0x7F})},
        {"-128", Bytes({2, 0x80})},
        {"128", Bytes({3, 0x80, 0})},
        {"-70000", Bytes({4, 0x90, 0xEE, 0xFE, 0xFF})},
        {"5000000000", Bytes({19, 0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0})},
        {"$FF", Bytes({3, 0xFF, 0})},
        {"-$10", Bytes({2, 0xF0})},
        {"1.5", Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})},
        {"-1e2", Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC8, 0x05, 0xC0})},
        {"0.5s", Bytes({15, 0, 0, 0, 0x3F})},
        {"12.5c", Bytes({16, 0x48, 0xE8, 0x01, 0, 0, 0, 0, 0})},
        {"2.25d", Bytes({17, 0, 0, 0, 0, 0, 0, 0x02, 0x40})},
        {"alClient", Bytes({7, 8, 'a', 'l', 'C', 'l', 'i', 'e', 'n', 't'})},
        {"Frame1.Button", Bytes({7, 13, 'F', 'r', 'a', 'm', 'e', '1', '.', 'B', 'u', 't', 't', 'o', 'n'})},
        {"False", Bytes({8})},
        {"TRUE", Bytes({9})},
        {"nil", Bytes({13})},
        {"[]", Bytes({11, 0})},
        {"[a, bc]", Bytes({11, 1, 'a', 2, 'b', 'c', 0})},
        {"(\n    1\n    'a')", Bytes({1, 2, 1, 6, 1, 'a', 0})},
        {"()", Bytes({1, 0})},
        {"{0A ff\n    01}", Bytes({10, 3, 0, 0, 0, 0x0A, 0xFF, 0x01})},
        {"{}", Bytes({10, 0, 0, 0, 0})},
        {"<\n    item [5]\n      T = 'a'\n    end\n    item\n    end>",
         Bytes({14, 2, 5, 1, 1, 'T', 6, 1, 'a', 0, 1, 0, 0})},
        {"<>", Bytes({14, 0})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueBytes(c.value), c.bytes) << c.value;
}

TEST(FormCompilerTest, Utf8OptionStoresNonAsciiTextsAsUtf8) {
    EXPECT_EQ(ValueBytes("'\xD0\x96' + 'a'", true), Bytes({20, 3, 0, 0, 0, 0xD0, 0x96, 'a'}));
    EXPECT_EQ(ValueBytes("'ab'", true), Bytes({6, 2, 'a', 'b'}));
}

TEST(FormCompilerTest, CompilesObjectsWithPrefixesAndChildren) {
    const char* source = "inherited Main: TMainForm\n"
                         "  Font.Name = 'A'\n"
                         "  object Panel1: TPanel\n"
                         "    inline Frame: TFrame1 [2]\n"
                         "    end\n"
                         "  end\n"
                         "  object TTimer\n"
                         "  end\n"
                         "END\n";
    formc::CompiledForm form = CompileForm(source, "t.frm", {});
    EXPECT_EQ(form.ClassName, "TMainForm");
    EXPECT_EQ(formc::ResourceName(form), "TMAINFORM");
    std::string expected = "TPF0" + Bytes({0xF1, 9}) + "TMainForm" + Bytes({4}) + "Main" + Bytes({9}) +
                           "Font.Name" + Bytes({6, 1, 'A', 0}) + Bytes({6}) + "TPanel" + Bytes({6}) +
                           "Panel1" + Bytes({0}) + Bytes({0xF6, 2, 2, 7}) + "TFrame1" + Bytes({5}) + "Frame" +
                           Bytes({0, 0, 0}) + Bytes({6}) + "TTimer" + Bytes({0, 0, 0, 0});
    EXPECT_EQ(form.Bytes, expected);
}

TEST(FormCompilerTest, ErrorsNameTheLineTheColumnAndWhatWasExpected) {
    const struct {
        std::string source;
        int line;
        int column;
        std::string what;
        bool utf8 = false;
    } cases[] = {
        {"", 1, 1, "expected 'object', 'inherited' or 'inline', found the end of the file"},
        {"form A: TA\nend", 1, 1, "expected 'object', 'inherited' or 'inline', found 'form'"},
        {"object A: 5\nend", 1, 11, "expected the object's class after ':', found '5'"},
        {"object A: TA\n  X 5\nend", 2, 5, "expected '=' after the property name 'X', found '5'"},
        {"object A: TA\n  X =\nend", 3, 1, "expected a value, found 'end'"},
        {"object A: TA\n  X = ;\nend", 2, 7, "expected a value, found ';'"},
        {"object A: TA\n  X = 'abc\nend", 2, 7,
         "unterminated string: expected ''' before the end of the line"},
        {"object A: TA\n  X = 'a' +\nend", 3, 1, "expected a string after '+', found 'end'"},
        {"object A: TA\n  X = #70000\nend", 2, 7, "a character code is above 65535"},
        {"object A: TA\n  X = #\nend", 2, 7, "expected the digits of a character code after '#'"},
        {"object A: TA\n  X = 'a\xFF'\nend", 2, 9, "invalid UTF-8 in a string"},
        {"object A: TA\n  X = 99999999999999999999\nend", 2, 7, "the integer does not fit 64 bits"},
        {"object A: TA\n  X = 12abc\nend", 2, 7, "malformed number"},
        {"object A: TA\n  X = $\nend", 2, 7, "expected hexadecimal digits after '$'"},
        {"object A: TA\n  X = {0A 1}\nend", 2, 12, "binary data has an odd number of hexadecimal digits"},
        {"object A: TA\n  X = {0G}\nend", 2, 9,
         "expected a hexadecimal digit or '}' in binary data, found 'G'"},
        {"object A: TA\n  X = [a b]\nend", 2, 10, "expected ',' or ']' in a set, found 'b'"},
        {"object A: TA\n  X = (1\n", 3, 1, "expected a value or ')' in a list, found the end of the file"},
        {"object A: TA\n  X = <\n    thing\n  >\nend", 3, 5,
         "expected 'item' or '>' in a collection, found 'thing'"},
        {"object A: TA\n  X = <item 5 end>\nend", 2, 13,
         "expected a property or 'end' in a collection item, found '5'"},
        {"object A: TA [x]\nend", 1, 15, "expected a 32-bit integer index in '[...]'"},
        {"object A: TA [1\nend", 2, 1, "expected ']' after the index, found 'end'"},
        {"object A: TA\n  object B: TB\n  end\n  X = 1\nend", 4, 3,
         "expected a child object or 'end', found 'X'"},
        {"object A: TA\n  X = 1\n", 3, 1,
         "expected a property, a child object or 'end', found the end of the file"},
        {"object A: TA\nend\nextra", 3, 1,
         "expected the end of the file after the root object's 'end', found 'extra'"},
        {"object A: TA\n  " + std::string(256, 'p') + " = 1\nend", 2, 3,
         "Text too long for a short string (256 bytes)"},
        {"object A: TA\n  X = #55296\nend", 2, 7,
         "a string with an unpaired surrogate (#55296) cannot be stored as UTF-8", true},
    };
    for (const auto& c : cases) {
        formc::Options options;
        options.Utf8Strings = c.utf8;
        try {
            CompileForm(c.source, "dir/t.frm", options);
            ADD_FAILURE() << c.source << ": no error";
        } catch (const EFormSyntaxError& e) {
            EXPECT_EQ(e.Message(), "dir/t.frm:" + std::to_string(c.line) + ":" + std::to_string(c.column) +
                                       ": error: " + c.what)
                << c.source;
        }
    }
}

} // namespace
