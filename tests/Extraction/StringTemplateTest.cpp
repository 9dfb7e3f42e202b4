// The resource-string template: whole files compared byte for byte.
#include "SaveResourceStrings.h"

#include "Exceptions.h"
#include "ProgramResources.h"
#include "TempDirTest.h"
#include "TestModule.h"

#include <gtest/gtest.h>

namespace {

using StringTemplate = TempDirTest;

TEST_F(StringTemplate, HoldsARecordPerEntryOfEveryBlockInEveryLanguage) {
    std::string path = Path("Program.lrs");
    ExtractResourceStrings(path);
    EXPECT_EQ(FileContent(path), ExpectedStringTemplate());
}

TEST_F(StringTemplate, ReplacesAFileOfTheSameName) {
    std::string path = WriteFile("Program.lrs", std::string(100000, 'x'));
    ExtractResourceStrings(path);
    EXPECT_EQ(FileContent(path), ExpectedStringTemplate());
}

TEST_F(StringTemplate, AModuleWithoutStringTablesLeavesAnEmptyFileAndRaisesTheEnumerationError) {
    TestModule module(Path("forms-only.exe"));
    module.AddRCData("TMAINFORM", SimpleForm("TMainForm", "MainForm", {{"Caption", "x"}}));
    std::string path = WriteFile("forms-only.lrs", "old content");
    try {
        ExtractResourceStrings(path, module.Handle());
        ADD_FAILURE() << "no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), kNoResourceOfTheType);
        EXPECT_EQ(e.Message(),
                  "Resource enumeration error\r\n\r\nCode: " + std::to_string(kNoResourceOfTheType) +
                      "\r\nText: " + os::SysErrorMessage(kNoResourceOfTheType));
    }
    EXPECT_TRUE(os::FileExists(path));
    EXPECT_EQ(FileContent(path), "");
}

// A block whose bytes end before its sixteen entries do: the records of the entries before the
// damage, then an error that names the block, its language and the entry; nothing is read beyond
// the block (the sanitizers of the native build would see it).
TEST_F(StringTemplate, AShortBlockEndsWithAnErrorNamingIt) {
    const std::string full = StringBlock({{0, u"ab"}, {2, u"cd"}});
    const struct {
        std::size_t size;
        int entry;
        const char16_t* written;
    } cases[] = {
        {1, 0, u""},
        {3, 0, u""},                                          // inside the text of entry 0
        {6, 1, u"32\t2\tab\r\n"},                             // entry 1's count missing
        {11, 2, u"32\t2\tab\r\n"},                            // inside the text of entry 2
        {full.size() - 1, 15, u"32\t2\tab\r\n34\t2\tcd\r\n"}, // half of entry 15's count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        TestModule module(Path("short.exe"));
        module.AddStringBlock(3, TestModule::kRussian, full.substr(0, c.size));
        TMemoryStream stream;
        try {
            WriteResourceStrings(stream, module.Handle());
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "String table block 3, language 1049: entry " + std::to_string(c.entry) +
                                       " runs past the end of the block's " + std::to_string(c.size) +
                                       " bytes");
        }
        EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), Utf16Bytes(c.written));
    }
}

TEST_F(StringTemplate, TakesBlocksInOrderWithEveryLanguageAndIgnoresBytesAfterTheSixteenthEntry) {
    TestModule module(Path("blocks.exe"));
    module.AddStringBlock(4096, TestModule::kEnglish, StringBlock({{15, u"max"}}) + "trailing");
    module.AddStringBlock(2, TestModule::kRussian, StringBlock({{1, u"\u0434\u0432\u0430"}}));
    module.AddStringBlock(2, TestModule::kEnglish, StringBlock({{1, u"two"}, {3, u"\t"}}));
    module.AddStringBlock(9, TestModule::kEnglish, StringBlock({}));
    TMemoryStream stream;
    WriteResourceStrings(stream, module.Handle());
    EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()),
              Utf16Bytes(u"17\t3\ttwo\r\n19\t1\t\t\r\n17\t3\t\u0434\u0432\u0430\r\n65535\t3\tmax\r\n"));
}

} // namespace
