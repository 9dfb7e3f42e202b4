// Text helpers, number conversion and message formatting.
#include "Exceptions.h"
#include "Format.h"
#include "ResStrings.h"
#include "RtlStrings.h"

#include <gtest/gtest.h>

namespace {

TEST(Trim, DropsBlanksAndControlBytesAtBothEndsOnly) {
    EXPECT_EQ(rtl::Trim("  a b\t\r\n"), "a b");
    EXPECT_EQ(rtl::Trim(" \x01\x1F "), "");
    EXPECT_EQ(rtl::Trim("x"), "x");
    EXPECT_EQ(rtl::Trim("\xA0x\xA0"), "\xA0x\xA0"); // bytes above 32 are text
}

TEST(SameText, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(rtl::SameText("TMainForm", "tmainform"));
    EXPECT_FALSE(rtl::SameText("TMainForm", "TMainForm "));
    EXPECT_FALSE(rtl::SameText("\xC0", "\xE0")); // Cyrillic А/а in 1251: not ASCII, compared as bytes
    EXPECT_EQ(rtl::UpperCase("tMain_1\xE0"), "TMAIN_1\xE0");
}

struct IntCase {
    const char* text;
    bool valid;
    std::int32_t value;
};

class StrToIntCases : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntCases, AcceptsSignedDecimalAndHexadecimalOnly) {
    const IntCase& c = GetParam();
    std::int32_t value = 0;
    EXPECT_EQ(rtl::TryStrToInt(c.text, value), c.valid) << c.text;
    if (c.valid) {
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(rtl::StrToInt(c.text), c.value);
    } else {
        try {
            rtl::StrToInt(c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(c.text) + "' is not a valid integer value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StrToIntCases,
    ::testing::Values(IntCase{"0", true, 0}, IntCase{"1033", true, 1033}, IntCase{"-1", true, -1},
                      IntCase{"+7", true, 7}, IntCase{"2147483647", true, INT32_MAX},
                      IntCase{"-2147483648", true, INT32_MIN}, IntCase{"2147483648", false, 0},
                      IntCase{"$419", true, 0x419}, IntCase{"0x0409", true, 0x409}, IntCase{"", false, 0},
                      IntCase{"-", false, 0}, IntCase{" 1", false, 0}, IntCase{"1 ", false, 0},
                      IntCase{"12a", false, 0}, IntCase{"0x", false, 0},
                      IntCase{"99999999999999999999", false, 0}));

TEST(Format, FillsSpecifiersInOrder) {
    EXPECT_EQ(rtl::Format("%s (%s, line %d)", {"msg", "Shared/Localiser/ProcHook", 50}),
              "msg (Shared/Localiser/ProcHook, line 50)");
    EXPECT_EQ(rtl::Format("100%% of %d", {-3}), "100% of -3");
    EXPECT_EQ(rtl::Format("no specifiers", {1, "surplus"}), "no specifiers");
    EXPECT_EQ(rtl::Format("%s", {std::string_view("a\0b", 3)}), std::string("a\0b", 3));
}

TEST(Format, MismatchedOrMissingArgumentsRaiseTheConversionError) {
    for (const char* format : {"%d", "%x", "%", "%s %s", "%s %d"}) {
        EXPECT_THROW(rtl::Format(format, {std::string_view("text")}), EConvertError) << format;
    }
    EXPECT_THROW(rtl::Format("%s", {5}), EConvertError);
}

TEST(Utf8, RoundTripsEveryPlane) {
    const WideString wide = u"A\u0414\u20AC\U0001F600";
    const std::string utf8 = "A\xD0\x94\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(rtl::WideToUtf8(wide), utf8);
    EXPECT_EQ(rtl::Utf8ToWide(utf8), wide);
    EXPECT_EQ(rtl::WideToUtf8(u"\xD800x"), "\xEF\xBF\xBDx"); // lone surrogate
    EXPECT_EQ(rtl::Utf8ToWide("\xC0"), u"\uFFFD");
}

TEST(Exceptions, CarryTheirClassNameAndFormattedMessage) {
    EListError list(SListIndexError, {5});
    EXPECT_EQ(list.Message(), "List index out of bounds (5)");
    EXPECT_STREQ(list.what(), "List index out of bounds (5)");
    EXPECT_STREQ(list.ClassName(), "EListError");
    EFOpenError open("x");
    const EStreamError& asStream = open;
    EXPECT_STREQ(asStream.ClassName(), "EFOpenError");
    EXmlSyntaxError xml(3, 7, "unclosed element 'a'");
    EXPECT_EQ(xml.Message(), "XML syntax error at line 3, column 7: unclosed element 'a'");
    EXPECT_EQ(xml.Line(), 3);
    EXPECT_EQ(xml.Column(), 7);
}

TEST(Exceptions, OsErrorNamesTheCodeAndTheSystemText) {
    try {
        rtl::RaiseOSError(5);
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), 5u);
        const std::string prefix = "System Error.  Code: 5.\r\n";
        ASSERT_GT(e.Message().size(), prefix.size());
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    }
}

} // namespace
