// The form-string template: whole files compared byte for byte.
#include "SaveRCDataStrings.h"

#include "Exceptions.h"
#include "ProgramResources.h"
#include "TempDirTest.h"
#include "TestModule.h"

#include <gtest/gtest.h>

namespace {

using FormTemplate = TempDirTest;

TEST_F(FormTemplate, HoldsARecordPerNonAsciiTextOfTheProgramsForms) {
    std::string path = Path("Program.lrc");
    ExtractRCDataStrings(path);
    EXPECT_EQ(FileContent(path), ExpectedFormTemplate());
}

TEST_F(FormTemplate, ReplacesAFileOfTheSameName) {
    std::string path = WriteFile("Program.lrc", std::string(5000, 'x'));
    ExtractRCDataStrings(path);
    EXPECT_EQ(FileContent(path), ExpectedFormTemplate());
}

TEST_F(FormTemplate, IsAnEmptyFileWhenNoFormHoldsANonAsciiText) {
    TestModule module(Path("ascii.exe"));
    module.AddRCData("TASCIIFORM",
                     SimpleForm("TAsciiForm", "AsciiForm", {{"Caption", "Plain"}, {"Hint", ""}}));
    std::string path = WriteFile("ascii.lrc", "old content");
    ExtractRCDataStrings(path, module.Handle());
    EXPECT_TRUE(os::FileExists(path));
    EXPECT_EQ(FileContent(path), "");
}

TEST_F(FormTemplate, KeepsTheRecordsWrittenBeforeAnError) {
    TestModule module(Path("partial.exe"));
    module.AddRCData("TAFORM", SimpleForm("TAForm", "AForm", {{"Caption", "\xC0\t\xC1"}, {"Hint", "\xC2"}}));
    module.AddRCData("TBFORM", SimpleForm("TBForm", "BForm", {{"Caption", "\xC3"}}).substr(0, 25));
    module.AddRCData("TCFORM", SimpleForm("TCForm", "CForm", {{"Caption", "\xC4"}}));
    std::string path = Path("partial.lrc");
    EXPECT_THROW(ExtractRCDataStrings(path, module.Handle()), EReadError);
    EXPECT_EQ(FileContent(path), "TAFORM\tAForm.Caption\t3\t\xC0\t\xC1\r\n"
                                 "TAFORM\tAForm.Hint\t1\t\xC2\r\n");
}

TEST_F(FormTemplate, AFileThatCannotBeCreatedRaisesTheCreationError) {
    EXPECT_THROW(ExtractRCDataStrings(Path("missing") + os::PathDelim + "Program.lrc"), EFCreateError);
}

// A stream that counts the writes and takes at most limit bytes in all.
class CountingStream : public TMemoryStream {
public:
    explicit CountingStream(std::int64_t limit) : limit_(limit) {}
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        ++writes;
        std::int64_t taken = std::min(count, limit_ - Position());
        return TMemoryStream::Write(buffer, taken);
    }
    int writes = 0;

private:
    std::int64_t limit_;
};

TEST(FormTemplateWriter, WritesEachRecordInOneWriteWithThePathOfItsHook) {
    CountingStream stream(1000);
    TRCDataReader writer(stream, true);
    TStringList lines;
    lines.Add("a");
    lines.Add("");
    writer.ProcessString("TF", "TButton", "Button1", "Font.Name", "x");
    writer.ProcessList("TF", "TMemo", "Memo1", "Lines.Strings", lines);
    writer.ProcessCollection("TF", "TGrid", "Grid", "Title.Caption", "\xE9", "Columns", 12);
    writer.WriteLine("TF", "", "");
    EXPECT_EQ(stream.writes, 5);
    EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()),
              "TF\tButton1.Font.Name\t1\tx\r\n"
              "TF\tMemo1.Lines.Strings[0]\t1\ta\r\n"
              "TF\tMemo1.Lines.Strings[1]\t0\t\r\n"
              "TF\tGrid.Columns[12].Title.Caption\t1\t\xE9\r\n"
              "TF\t\t0\t\r\n");
}

TEST(FormTemplateWriter, AShortWriteRaisesTheWriteError) {
    CountingStream stream(10);
    TRCDataReader writer(stream, true);
    EXPECT_THROW(writer.WriteLine("TMAINFORM", "MainForm.Caption", "text"), EWriteError);
}

} // namespace
