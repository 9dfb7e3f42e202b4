// The language file: text decoding, header rules, entry rules and the two load errors.
#include "sxLangFile.h"

#include "Exceptions.h"

#include "TempDirTest.h"

#include <gtest/gtest.h>

namespace {

// ---- %-escapes -------------------------------------------------------------------------------------

struct EscapeCase {
    const char* input;
    std::string expected;
};

class UnescapeCases : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(UnescapeCases, DecodesEscapesAndDropsMalformedOnes) {
    EXPECT_EQ(UnescapeText(GetParam().input), GetParam().expected) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnescapeCases,
    ::testing::Values(EscapeCase{"plain", "plain"}, EscapeCase{"100%", "100"}, EscapeCase{"100%%", "100%"},
                      EscapeCase{"%41%62c", "Abc"}, EscapeCase{"%4G1", "1"}, EscapeCase{"a%4", "a"},
                      EscapeCase{"%0D%0A", "\r\n"}, EscapeCase{"%D0%94", "\xD0\x94"}, EscapeCase{"%25", "%"},
                      EscapeCase{"%%41", "%41"}, EscapeCase{"%aF%Af", "\xAF\xAF"},
                      EscapeCase{"%00x", std::string("\0x", 2)}, EscapeCase{"%", ""}, EscapeCase{"%%%", "%"},
                      EscapeCase{"x%G", "x"}, EscapeCase{"%%s", "%s"}, EscapeCase{"%s\"", ""},
                      EscapeCase{"", ""}));

// ---- UTF-8 decoding --------------------------------------------------------------------------------

struct Utf8Case {
    std::string input;
    std::u16string expected;
};

class DecodeCases : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(DecodeCases, DecodesOrEmptiesTheWholeText) {
    EXPECT_EQ(DecodeUtf8Text(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeCases,
    ::testing::Values(
        Utf8Case{"Abc", u"Abc"}, Utf8Case{"\xD0\x94", u"Д"}, Utf8Case{"\xE2\x82\xAC", u"€"},
        Utf8Case{"\xF0\x9F\x98\x80", u"\U0001F600"},
        // ends inside a sequence
        Utf8Case{"ok\xD0", u""}, Utf8Case{"ok\xE2\x82", u""}, Utf8Case{"\xF0\x9F\x98", u""},
        // a byte that must continue a sequence does not: the whole text is lost
        Utf8Case{"\xD0\x94 \xD0x \xD0\x94", u""}, Utf8Case{"\xE2\x82x", u""},
        // two Cyrillic letters in the Windows code page, not UTF-8
        Utf8Case{"\xD0\xF3", u""},
        // not UTF-8, but neither failure: a replacement character
        Utf8Case{"a\x80z", u"a\uFFFDz"}, Utf8Case{"\xFF", u"\uFFFD"}, Utf8Case{"\xED\xA0\x80", u"\uFFFD"},
        Utf8Case{"", u""},
        // runs of ASCII (eight bytes at a time and the rest) and of two-byte sequences
        Utf8Case{"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, world!", u"Привет, world!"},
        Utf8Case{"12345678\xD0\x94", u"12345678Д"}, Utf8Case{"1234567\x80", u"1234567\uFFFD"},
        Utf8Case{"A long ASCII text \xD0\x94\xD0\x94 and more ASCII after it",
                 u"A long ASCII text ДД and more ASCII after it"},
        Utf8Case{"\xD0\x94\xE2\x82\xAC\xD0\x94", u"Д€Д"},
        // a run of two-byte sequences that ends inside one, or in a byte that does not continue it
        Utf8Case{"\xD0\x94\xD0\x94\xD0", u""}, Utf8Case{"\xD0\x94\xD0\x94\xD0x", u""},
        // an overlong sequence gives the character it spells
        Utf8Case{"\xC1\xBF", u"\x7F"}));

// ---- Reading files ---------------------------------------------------------------------------------

class LangFileTest : public TempDirTest {
protected:
    std::string Write(const std::string& content, const char* name = "test.ENU") {
        return WriteFile(name, content);
    }
};

constexpr const char* kInfo = R"(<Info Lang_ID="1033" Lang_Name="English" Lang_Ext="ENU"/>)";

std::string Doc(const std::string& body) {
    return "<Language>" + std::string(kInfo) + body + "</Language>";
}

enum class Outcome { Loads, Damaged, ConvertError, SyntaxError };

struct HeaderCase {
    const char* name;
    std::string content;
    Outcome outcome;
};

class HeaderCases : public LangFileTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderCases, AcceptOrRefuseInTheOrderOfTheRules) {
    const HeaderCase& c = GetParam();
    const std::string path = Write(c.content);
    try {
        TsxLangFileReader reader(path);
        EXPECT_EQ(c.outcome, Outcome::Loads);
    } catch (const EsxLangFileError& e) {
        EXPECT_EQ(c.outcome, Outcome::Damaged);
        EXPECT_EQ(rtl::AnsiToWide(e.Message()),
                  u"Файл \"" + rtl::AnsiToWide(path) + u"\" поврежден или не является файлом перевода");
    } catch (const EConvertError&) {
        EXPECT_EQ(c.outcome, Outcome::ConvertError);
    } catch (const EXmlSyntaxError&) {
        EXPECT_EQ(c.outcome, Outcome::SyntaxError);
    }
}

std::string WithInfo(const std::string& attributes) {
    return "<L><Info " + attributes + "/></L>";
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeaderCases,
    ::testing::Values(
        HeaderCase{"OnlyInfo", WithInfo(R"(Lang_ID="1033" Lang_Name="English" Lang_Ext="ENU")"),
                   Outcome::Loads},
        HeaderCase{"VersionOne", WithInfo(R"(Lang_ID="1" Lang_Name="x" Lang_Ext="X" Version="1")"),
                   Outcome::Loads},
        HeaderCase{"VersionTwo", WithInfo(R"(Lang_ID="1" Lang_Name="x" Lang_Ext="X" Version="2")"),
                   Outcome::Damaged},
        HeaderCase{"VersionZero", WithInfo(R"(Lang_ID="1" Lang_Name="x" Lang_Ext="X" Version="0")"),
                   Outcome::Damaged},
        HeaderCase{"NoLangID", WithInfo(R"(Lang_Name="x" Lang_Ext="X")"), Outcome::Damaged},
        HeaderCase{"ZeroLangID", WithInfo(R"(Lang_ID="0" Lang_Name="x" Lang_Ext="X")"), Outcome::Damaged},
        HeaderCase{"NegativeLangID", WithInfo(R"(Lang_ID="-5" Lang_Name="x" Lang_Ext="X")"), Outcome::Loads},
        HeaderCase{"NameInWindowsCyrillic",
                   WithInfo("Lang_ID=\"1049\" Lang_Name=\"\xD0\xF3\" Lang_Ext=\"RUS\""), Outcome::Damaged},
        HeaderCase{"NameInUtf8", WithInfo("Lang_ID=\"1049\" Lang_Name=\"\xD0\xA0\xD1\x83\" Lang_Ext=\"RUS\""),
                   Outcome::Loads},
        HeaderCase{"EmptyName", WithInfo(R"(Lang_ID="1" Lang_Name="" Lang_Ext="X")"), Outcome::Damaged},
        HeaderCase{"EmptyExt", WithInfo(R"(Lang_ID="1" Lang_Name="x" Lang_Ext="")"), Outcome::Damaged},
        HeaderCase{"InfoInOtherCase", R"(<L><info Lang_ID="1" Lang_Name="x" Lang_Ext="X"/></L>)",
                   Outcome::Damaged},
        HeaderCase{"NoInfo", "<L><Resource_Strings/></L>", Outcome::Damaged},
        HeaderCase{"AnyRootName", R"(<whatever><Info Lang_ID="1" Lang_Name="x" Lang_Ext="X"/></whatever>)",
                   Outcome::Loads},
        HeaderCase{"FirstInfoCounts",
                   R"(<L><Info Lang_ID="1" Lang_Name="x" Lang_Ext="X"/><Info Lang_ID="0"/></L>)",
                   Outcome::Loads},
        HeaderCase{"InfoNotADirectChild", R"(<L><x><Info Lang_ID="1" Lang_Name="x" Lang_Ext="X"/></x></L>)",
                   Outcome::Damaged},
        HeaderCase{"EmptyFile", "", Outcome::Damaged},
        HeaderCase{"OnlyDeclaration", R"(<?xml version="1.0" encoding="utf-8"?>)", Outcome::Damaged},
        HeaderCase{"LangIDNotANumber", WithInfo(R"(Lang_ID="abc" Lang_Name="x" Lang_Ext="X")"),
                   Outcome::ConvertError},
        // every attribute is read before any rule is tested
        HeaderCase{"ConversionBeatsZeroLangID",
                   WithInfo(R"(Lang_ID="0" Lang_Name="x" Lang_Ext="X" Version="v")"), Outcome::ConvertError},
        HeaderCase{"ConversionBeatsBadVersion", WithInfo(R"(Lang_ID="x" Version="2")"),
                   Outcome::ConvertError},
        HeaderCase{"NotWellFormed", "<L><Info Lang_ID=\"1\" Lang_Name=\"x\" Lang_Ext=\"X\"></L>",
                   Outcome::SyntaxError}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST_F(LangFileTest, HeaderIsHeldAsRead) {
    TsxLangFileReader reader(Write(
        "\xEF\xBB\xBF<L><Info Lang_ID=\"1049\" Lang_Name=\"\xD0\xA0\xD1\x83%41\" Lang_Ext=\"rus\"/></L>"));
    EXPECT_EQ(reader.Header().Version, 1);
    EXPECT_EQ(reader.Header().LangID, 1049);
    EXPECT_EQ(reader.Header().LangName, u"Ру%41"); // the name is not %-unescaped
    EXPECT_EQ(reader.Header().LangExt, "rus");
    EXPECT_EQ(reader.StringCount(), 0);
    EXPECT_EQ(reader.PropertyCount(), 0);
}

TEST_F(LangFileTest, MissingFileRaisesTheFileNotFoundErrorWithThePathAsGiven) {
    const std::string path = (dir_ / "sub" / ".." / "none.ENU").string();
    try {
        TsxLangFileReader::RequireFile(path);
        FAIL();
    } catch (const EsxLangFileError& e) {
        EXPECT_EQ(rtl::AnsiToWide(e.Message()), u"Файл \"" + rtl::AnsiToWide(path) + u"\" не найден");
    }
    EXPECT_NO_THROW(TsxLangFileReader::RequireFile(Write(Doc(""))));
    EXPECT_THROW(TsxLangFileReader::RequireFile(dir_.string()), EsxLangFileError); // a folder is no file
}

TEST_F(LangFileTest, StringEntriesOutsideTheIdentifierRangeOrWithoutTextAreSkipped) {
    TsxLangFileReader reader(Write(Doc(R"(<Resource_Strings>
<String ID="0">zero</String><String ID="-1">minus</String><String ID="65536">big</String>
<String ID="1">one</String><String ID="65535">max</String><String>no id</String>
<String ID="2">   </String><String ID="3">%20</String><String ID="4"> both ends </String>
<String ID="5">bad %D0x</String><String ID="1">second one</String><String ID="6">%%s and %25d</String>
</Resource_Strings>)")));
    const std::vector<std::optional<std::pair<int, std::u16string>>> expected = {std::nullopt,
                                                                                 std::nullopt,
                                                                                 std::nullopt,
                                                                                 std::pair{1, u"one"},
                                                                                 std::pair{65535, u"max"},
                                                                                 std::nullopt,
                                                                                 std::nullopt,
                                                                                 std::pair{3, u" "},
                                                                                 std::pair{4, u" both ends "},
                                                                                 std::nullopt,
                                                                                 std::pair{1, u"second one"},
                                                                                 std::pair{6, u"%s and %d"}};
    ASSERT_EQ(reader.StringCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < reader.StringCount(); ++i) {
        auto entry = reader.ReadString(i);
        ASSERT_EQ(entry.has_value(), expected[i].has_value()) << "element " << i;
        if (entry) {
            EXPECT_EQ(entry->Identifier, expected[i]->first) << "element " << i;
            EXPECT_EQ(entry->Text, expected[i]->second) << "element " << i;
        }
    }
}

TEST_F(LangFileTest, NonIntegerIdentifierFailsWithTheConversionError) {
    TsxLangFileReader reader(
        Write(Doc(R"(<Resource_Strings><String ID="x1">t</String></Resource_Strings>)")));
    EXPECT_THROW(reader.ReadString(0), EConvertError);
}

TEST_F(LangFileTest, PropertyEntriesNeedFormPathAndTextAndGoToTheCodePage) {
    TsxLangFileReader reader(Write(Doc(R"(<RCData>
<Property Form=" TMainForm " Property=" Caption ">Quorlin</Property>
<Property Property="Caption">no form</Property><Property Form="" Property="Caption">empty form</Property>
<Property Form="TMainForm">no path</Property><Property Form="TMainForm" Property="Caption"></Property>
<Property Form="TMainForm" Property="Label.Caption">)"
                                       "\xD0\x94\xD0\xB0 \xE2\x82\xAC \xCE\xA9"
                                       R"(</Property>
</RCData>)")));
    ASSERT_EQ(reader.PropertyCount(), 6);
    auto first = reader.ReadProperty(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Form, " TMainForm ");
    EXPECT_EQ(first->Property, " Caption ");
    EXPECT_EQ(first->Text, "Quorlin");
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(reader.ReadProperty(i)) << "element " << i;
    auto cyrillic = reader.ReadProperty(5);
    ASSERT_TRUE(cyrillic);
    EXPECT_EQ(cyrillic->Text, "\xC4\xE0 \x88 ?"); // Да € in 1251; Ω is not in the code page
}

TEST_F(LangFileTest, OnlyTheFirstGroupsAndExactNamesCount) {
    TsxLangFileReader reader(Write(Doc(R"(
<resource_strings><String ID="1">a</String></resource_strings>
<Resource_Strings><string ID="2">b</string><String ID="3">c</String><x><String ID="4">d</String></x></Resource_Strings>
<Resource_Strings><String ID="5">e</String></Resource_Strings>
<RCData><Property Form="F" Property="P">f</Property></RCData>
<RCData><Property Form="G" Property="P">g</Property></RCData>)")));
    ASSERT_EQ(reader.StringCount(), 1);
    EXPECT_EQ(reader.ReadString(0)->Identifier, 3);
    ASSERT_EQ(reader.PropertyCount(), 1);
    EXPECT_EQ(reader.ReadProperty(0)->Form, "F");
}

TEST_F(LangFileTest, ElementTextKeepsLayoutAndJoinsPieces) {
    TsxLangFileReader reader(Write(Doc("<Resource_Strings><String ID=\"1\">\n  two\n  lines\n</String>"
                                       "<String ID=\"2\">a<![CDATA[<b>]]>c</String></Resource_Strings>")));
    EXPECT_EQ(reader.ReadString(0)->Text, u"\n  two\n  lines\n");
    EXPECT_EQ(reader.ReadString(1)->Text, u"a <b> c");
}

} // namespace
