#include "ProgramResources.h"

#include "RtlStrings.h"
#include "TestModule.h"

#include <algorithm>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include "ResString.h"

namespace {

// The resources of StringTables.rc, added to the program's in-memory module.
const std::string block1English = StringBlock({{0, u"zero"}, {5, u"two\r\nlines"}, {15, u"fifteen"}});
const std::string block1Russian =
    StringBlock({{0, u"\u043D\u043E\u043B\u044C"},
                 {15, u"\u043F\u044F\u0442\u043D\u0430\u0434\u0446\u0430\u0442\u044C"}});
const std::string block3 = StringBlock({});
const std::string block4096 = StringBlock({{15, u"last"}});
constexpr std::string_view licence = "licence bytes";
constexpr std::string_view package = "package bytes";
constexpr std::string_view numbered = "numbered bytes";

os::InProcResourceNode nodes[] = {
    {{nullptr, block1English.data(), block1English.size(), os::ResourceTypeString, 1, TestModule::kEnglish}},
    {{nullptr, block1Russian.data(), block1Russian.size(), os::ResourceTypeString, 1, TestModule::kRussian}},
    {{nullptr, block3.data(), block3.size(), os::ResourceTypeString, 3, TestModule::kEnglish}},
    {{nullptr, block4096.data(), block4096.size(), os::ResourceTypeString, 4096, TestModule::kEnglish}},
    {{"DVCLAL", licence.data(), licence.size()}},
    {{"PACKAGEINFO", package.data(), package.size()}},
    {{nullptr, numbered.data(), numbered.size(), os::ResourceTypeRCData, 7}},
};

const struct Registration {
    Registration() {
        for (os::InProcResourceNode& node : nodes)
            os::AddResource(HInstance, node);
    }
} registration;

} // namespace
#endif

std::string ExpectedFormTemplate() {
    // Only the main form holds non-ASCII texts; its string lists come whole.
    return Ansi("TMAINFORM\tMainForm.Caption\t7\tГлавная\r\n"
                "TMAINFORM\tLanguagesBTN.Caption\t4\tЯзык\r\n"
                "TMAINFORM\tLanguagesBTN.Font.Name\t5\tШрифт\r\n"
                "TMAINFORM\tNotes.Caption\t14\tСтрока\r\nвторая\r\n"
                "TMAINFORM\tMemo1.Lines.Strings[0]\t10\tascii line\r\n"
                "TMAINFORM\tMemo1.Lines.Strings[1]\t0\t\r\n"
                "TMAINFORM\tMemo1.Lines.Strings[2]\t9\tкириллица\r\n"
                "TMAINFORM\tGrid.Columns[0].Caption\t3\tИмя\r\n"
                "TMAINFORM\tGrid.Columns[1].Caption\t7\tФамилия\r\n"
                "TMAINFORM\tGrid.Lines.Strings[0]\t4\tОдин\r\n"
                "TMAINFORM\tGrid.Lines.Strings[1]\t3\ttwo\r\n"
                "TMAINFORM\tGrid.SubColumns[0].Caption\t6\tВнутри\r\n"
                "TMAINFORM\tGrid.SubColumns[1].Caption\t3\tЕщё\r\n"
                "TMAINFORM\t.Caption\t10\tБезымянная\r\n");
}

std::string ExpectedStringTemplate() {
    // The program's resource strings lie in the blocks between the test's blocks 3 and 4096, one
    // language each, so they come in ascending order of their identifiers.
    struct Entry {
        unsigned Id;
        const char* Utf8;
    };
    std::vector<Entry> table = {
#define RES_STRING(name, id, text) {id, text},
#include "ResStringTable.inc"
#undef RES_STRING
    };
    std::sort(table.begin(), table.end(), [](const Entry& a, const Entry& b) { return a.Id < b.Id; });
    std::u16string records = u"0\t4\tzero\r\n"
                             u"5\t10\ttwo\r\nlines\r\n"
                             u"15\t7\tfifteen\r\n"
                             u"0\t4\t\u043D\u043E\u043B\u044C\r\n"
                             u"15\t10\t\u043F\u044F\u0442\u043D\u0430\u0434\u0446\u0430\u0442\u044C\r\n";
    for (const Entry& entry : table) {
        std::u16string text = rtl::Utf8ToWide(entry.Utf8);
        records += rtl::Utf8ToWide(std::to_string(entry.Id) + "\t" + std::to_string(text.size()) + "\t") +
                   text + u"\r\n";
    }
    records += u"65535\t4\tlast\r\n";
    return Utf16Bytes(records);
}
