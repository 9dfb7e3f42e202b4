// The reader of the two template formats: the program's own templates read back, and the faults
// that it reports with the record's offset.
#include "TemplateFile.h"

#include "ProgramResources.h"
#include "TestModule.h"

#include <gtest/gtest.h>

namespace {

TEST(TemplateFile, ReadsTheFormTemplateByItsCounts) {
    std::vector<TFormTemplateRecord> records = ReadFormTemplate(ExpectedFormTemplate());
    ASSERT_EQ(records.size(), 14u);
    EXPECT_EQ(records[0].Offset, 0u);
    EXPECT_EQ(records[0].FormKey, "TMAINFORM");
    EXPECT_EQ(records[0].Path, "MainForm.Caption");
    EXPECT_EQ(records[0].Text, Ansi("Главная"));
    EXPECT_EQ(records[1].Offset, std::string("TMAINFORM\tMainForm.Caption\t7\t1234567\r\n").size());
    EXPECT_EQ(records[3].Text, Ansi("Строка\r\nвторая"));
    EXPECT_EQ(records[5].Path, "Memo1.Lines.Strings[1]");
    EXPECT_EQ(records[5].Text, "");
    EXPECT_EQ(records[13].Path, ".Caption");
}

TEST(TemplateFile, ReadsTheStringTemplateByItsCounts) {
    std::vector<TStringTemplateRecord> records =
        ReadStringTemplate(Utf16Bytes(u"0\t4\tzero\r\n5\t10\ttwo\r\nlines\r\n65535\t3\t\t\r\n\r\n"));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Identifier, 0u);
    EXPECT_EQ(records[0].Text, u"zero");
    EXPECT_EQ(records[1].Offset, 20u); // "0\t4\tzero\r\n": ten units
    EXPECT_EQ(records[1].Identifier, 5u);
    EXPECT_EQ(records[1].Text, u"two\r\nlines");
    EXPECT_EQ(records[2].Identifier, 65535u);
    EXPECT_EQ(records[2].Text, u"\t\r\n");
    EXPECT_TRUE(ReadFormTemplate("").empty());
    EXPECT_TRUE(ReadStringTemplate("").empty());
}

struct Fault {
    std::string bytes;
    std::size_t offset;
    const char* what;
};

template <typename Read> void ExpectFaults(Read read, std::initializer_list<Fault> faults) {
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        try {
            read(fault.bytes);
            ADD_FAILURE() << "no error";
        } catch (const ETemplateError& e) {
            EXPECT_EQ(e.Offset(), fault.offset);
            EXPECT_EQ(e.Message(), "record at offset " + std::to_string(fault.offset) + ": " + fault.what);
        }
    }
}

TEST(TemplateFile, ReportsAMalformedOrTruncatedFormRecordWithItsOffset) {
    const std::string good = "F\tP\t1\tx\r\n"; // 9 bytes
    ExpectFaults(ReadFormTemplate,
                 {
                     {good + "F", 9, "truncated: the file ends in the form key"},
                     {good + "F\tP", 9, "truncated: the file ends in the property path"},
                     {good + "F\tP\t3", 9, "truncated: the file ends in the length"},
                     {good + "F\tP\t3\tab", 9, "truncated: the text is shorter than its length says"},
                     {good + "F\tP\t1\ta\r", 9, "truncated: the record does not end with CR LF"},
                     {good + "F\tP\t1\tab\r\n", 9, "the text is not followed by CR LF"},
                     {good + "F\tP\t\tx\r\n", 9, "the length is empty"},
                     {good + "F\tP\t01\tx\r\n", 9, "the length has a leading zero"},
                     {good + "F\tP\t+1\tx\r\n", 9, "the length is not a decimal number"},
                     {good + "F\tP\t99999999999\tx\r\n", 9, "the length is too large"},
                     {good + "F\r\nG\tP\t1\tx\r\n", 9, "line break in the form key"},
                     {"F\tP\nQ\t1\tx\r\n", 0, "line break in the property path"},
                 });
}

TEST(TemplateFile, ReportsAMalformedOrTruncatedStringRecordWithItsOffset) {
    const std::string good = Utf16Bytes(u"1\t1\tx\r\n"); // 14 bytes
    ExpectFaults(
        ReadStringTemplate,
        {
            {good + Utf16Bytes(u"2\t5\tx\r\n"), 14, "truncated: the text is shorter than its length says"},
            {good + Utf16Bytes(u"A\t1\tx\r\n"), 14, "the identifier is not a decimal number"},
            {good + "\x31", 14, "truncated: the file ends inside a UTF-16 code unit"},
            {good + Utf16Bytes(u"2\t1\tx") + "\x0D", 14, "truncated: the record does not end with CR LF"},
        });
}

} // namespace
