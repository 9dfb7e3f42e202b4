// The resource-string loader and the table it reads.
#include "ResStrings.h"
#include "RtlStrings.h"

#include <gtest/gtest.h>

namespace {

struct TableCase {
    const TResStringRec* rec;
    const char16_t* text;
};

class CompiledStrings : public ::testing::TestWithParam<TableCase> {};

TEST_P(CompiledStrings, ComeFromTheStringTableOfTheProgram) {
    EXPECT_EQ(rtl::AnsiToWide(ResStr(*GetParam().rec)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompiledStrings,
    ::testing::Values(TableCase{&SFileNotFound, u"Файл \"%s\" не найден"},
                      TableCase{&SInvalidLangFile, u"Файл \"%s\" поврежден или не является файлом перевода"},
                      TableCase{&SListIndexError, u"List index out of bounds (%d)"},
                      TableCase{&SInvalidInteger, u"'%s' is not a valid integer value"},
                      TableCase{&SInvalidPropertyPath, u"Invalid property name"},
                      TableCase{&SUnknownProperty, u"Property %s does not exist"},
                      TableCase{&SOSError, u"System Error.  Code: %d.\r\n%s"},
                      TableCase{&SAssertError, u"%s (%s, line %d)"}));

TEST(LoadResString, IdentifiersAreStringTableEntries) {
    EXPECT_EQ(SFileNotFound.Identifier, 64978);
    EXPECT_EQ(SInvalidLangFile.Identifier, 64979);
    EXPECT_EQ(SFileNotFound.Module, &HInstance);
}

TEST(LoadResString, AnIdentifierMissingFromTheTableGivesEmptyText) {
    const TResStringRec missing{&HInstance, 12345};
    AnsiString text = "stale";
    LoadResString(&missing, &text);
    EXPECT_EQ(text, "");
}

TEST(LoadResString, AnIdentifierFrom65536OnIsTheAddressOfTheText) {
    static const char literal[] = "inline text";
    const TResStringRec rec{&HInstance, reinterpret_cast<std::intptr_t>(literal)};
    ASSERT_GE(rec.Identifier, 65536);
    EXPECT_EQ(ResStr(rec), "inline text");
}

TEST(LoadResString, NoRecordGivesEmptyText) {
    AnsiString text = "stale";
    LoadResString(nullptr, &text);
    EXPECT_EQ(text, "");
}

} // namespace
