// The form resource walker over the test program's compiled forms and over modules made by the
// tests: what is reported, in which order, with which names; the filter; errors.
#include "ReadFrms.h"

#include "Exceptions.h"
#include "ResStrings.h"
#include "TempDirTest.h"
#include "TestModule.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Records every report that passes the filter, one line each:
// S|form|class|object|property|text, L|form|class|object|property|[entry][entry]...,
// C|form|class|object|property|text|collection|index.
class Recorder : public TFrmReader {
public:
    using TFrmReader::TFrmReader;

    void ProcessString(const AnsiString& resName, const AnsiString& className, const AnsiString& objectName,
                       const AnsiString& propName, const AnsiString& value) override {
        reports.push_back("S|" + resName + "|" + className + "|" + objectName + "|" + propName + "|" + value);
    }
    void ProcessList(const AnsiString& resName, const AnsiString& className, const AnsiString& objectName,
                     const AnsiString& propName, const TStrings& list) override {
        std::string entries;
        for (int i = 0; i < list.Count(); ++i)
            entries += "[" + list.Strings(i) + "]";
        reports.push_back("L|" + resName + "|" + className + "|" + objectName + "|" + propName + "|" +
                          entries);
    }
    void ProcessCollection(const AnsiString& resName, const AnsiString& className,
                           const AnsiString& objectName, const AnsiString& propName, const AnsiString& value,
                           const AnsiString& collectionName, std::int32_t itemIndex) override {
        reports.push_back("C|" + resName + "|" + className + "|" + objectName + "|" + propName + "|" + value +
                          "|" + collectionName + "|" + std::to_string(itemIndex));
    }
    void ReadForm(const AnsiString& resName) override {
        formsRead.push_back(resName);
        TFrmReader::ReadForm(resName);
    }

    std::vector<std::string> reports;
    std::vector<std::string> formsRead;
};

std::vector<std::string> AnsiLines(std::initializer_list<const char*> utf8) {
    std::vector<std::string> lines;
    for (const char* line : utf8)
        lines.push_back(Ansi(line));
    return lines;
}

// Every text report of the main form in stream order, and whether it passes the NonAsciiOnly filter.
const struct {
    const char* report;
    bool nonAscii;
} kMainFormReports[] = {
    {"S|TMAINFORM|TMainForm|MainForm|Caption|Главная", true},
    {"S|TMAINFORM|TMainForm|MainForm|Hint|", false},
    {"S|TMAINFORM|TButton|LanguagesBTN|Caption|Язык", true},
    {"S|TMAINFORM|TButton|LanguagesBTN|Font.Name|Шрифт", true},
    {"S|TMAINFORM|TLabel|Title|Caption|Title", false},
    {"S|TMAINFORM|TLabel|Notes|Caption|Строка\r\nвторая", true},
    {"L|TMAINFORM|TMemo|Memo1|Lines.Strings|[ascii line][][кириллица]", true},
    {"C|TMAINFORM|TGrid|Grid|Caption|Имя|Columns|0", true},
    {"C|TMAINFORM|TGrid|Grid|Caption|Фамилия|Columns|1", true},
    {"L|TMAINFORM|TGrid|Grid|Lines.Strings|[Один][two]", true},
    {"C|TMAINFORM|TGrid|Grid|Caption|Внутри|SubColumns|0", true},
    {"C|TMAINFORM|TGrid|Grid|Caption|Ещё|SubColumns|1", true},
    {"C|TMAINFORM|TGrid|Grid|Caption|Age|Columns|2", false},
    {"S|TMAINFORM|TPanel||Caption|Безымянная", true},
};

TEST(FormWalker, ReportsTheTextsOfAFormDepthFirstInStreamOrder) {
    for (bool nonAsciiOnly : {false, true}) {
        SCOPED_TRACE(nonAsciiOnly);
        std::vector<std::string> expected;
        for (const auto& r : kMainFormReports)
            if (r.nonAscii || !nonAsciiOnly)
                expected.push_back(Ansi(r.report));
        Recorder walker(nonAsciiOnly);
        walker.ReadForm("TMAINFORM");
        EXPECT_EQ(walker.reports, expected);
    }
}

TEST(FormWalker, TheFilterDecidesOnEachTextAndOnAListAsAWhole) {
    const struct {
        std::vector<const char*> texts;
        bool nonAsciiOnly;
        bool passes;
    } cases[] = {
        {{"ascii"}, true, false},
        {{"\xE9"}, true, true},
        {{""}, true, false},
        {{""}, false, true},
        {{"ascii"}, false, true},
        {{"a", "", "b"}, true, false},
        {{"a", "", "\x80"}, true, true},
        {{"", ""}, true, false},
        {{"a", "b"}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.texts.size() << " texts, NonAsciiOnly " << c.nonAsciiOnly);
        Recorder walker(c.nonAsciiOnly);
        EXPECT_EQ(walker.NonAsciiOnly(), c.nonAsciiOnly);
        if (c.texts.size() == 1) {
            walker.HandleString("F", "C", "O", "P", c.texts[0]);
            walker.HandleCollection("F", "C", "O", "P", c.texts[0], "Items", 0);
            EXPECT_EQ(walker.reports.size(), c.passes ? 2u : 0u);
        }
        TStringList list;
        for (const char* text : c.texts)
            list.Add(text);
        walker.reports.clear();
        walker.HandleList("F", "C", "O", "P", list);
        EXPECT_EQ(walker.reports.size(), c.passes ? 1u : 0u);
    }
}

TEST(FormWalker, ReadsTheFormsOfTheModuleInEnumerationOrderAndNothingElse) {
    // DVCLAL, PACKAGEINFO and the numbered resource are no forms: reading one would raise.
    Recorder walker(false);
    walker.ReadAllForms();
    EXPECT_EQ(walker.formsRead, (std::vector<std::string>{"TABOUTBOX", "TBLANKFORM", "TMAINFORM"}));
    std::vector<std::string> aboutBox(walker.reports.begin(), walker.reports.begin() + 2);
    EXPECT_EQ(aboutBox, (std::vector<std::string>{"S|TABOUTBOX|TAboutBox|AboutBox|Caption|About",
                                                  "S|TABOUTBOX|TLabel|Version|Caption|Version 1.0"}));
    // The blank form holds no text and produces no call; the main form follows.
    EXPECT_EQ(walker.reports[2], Ansi("S|TMAINFORM|TMainForm|MainForm|Caption|Главная"));
}

// A form with a value of every kind; the texts are Short, Long, Wide, Utf8 and Last.
std::string EveryKindForm() {
    return FormBytes([](TFormWriter& w) {
        w.WriteSignature();
        w.WriteObjectHeader({ffInherited | ffChildPos, 3}, "TKinds", "Kinds");
        auto property = [&](const char* name) { w.WriteStr(name); };
        property("Null");
        w.WriteNull();
        property("Int8");
        w.WriteInteger(5);
        property("Int16");
        w.WriteInteger(300);
        property("Int32");
        w.WriteInteger(70000);
        property("Extended");
        w.WriteFloat(1.5);
        property("Short");
        w.WriteString("short");
        property("Ident");
        w.WriteIdent("alClient");
        property("False");
        w.WriteBoolean(false);
        property("True");
        w.WriteBoolean(true);
        // Bytes that would read as short strings if the skip lost its count.
        const std::string binary(3000, '\x06');
        property("Binary");
        w.WriteBinary(binary.data(), binary.size());
        property("Set");
        w.WriteSet({"fsBold", "fsItalic"});
        property("Long");
        w.WriteString(std::string(300, 'L'));
        property("Nil");
        w.WriteNil();
        property("Single");
        w.WriteSingle(0.5f);
        property("Currency");
        w.WriteCurrency(125000);
        property("Date");
        w.WriteDate(2.25);
        property("Wide");
        w.WriteWideString(u"Wide \u0416");
        property("Int64");
        w.WriteInt64(1LL << 40);
        property("Utf8");
        w.WriteUtf8String("UTF-8 \xD0\x96");
        property("Last");
        w.WriteString("end");
        w.WriteListEnd();
        w.WriteListEnd();
    });
}

class FormWalkerModule : public TempDirTest {};

TEST_F(FormWalkerModule, ConsumesEveryValueKindAndReportsOnlyTheTextKinds) {
    TestModule module(Path("kinds.exe"));
    module.AddRCData("TKINDS", EveryKindForm());
    Recorder walker(false, module.Handle());
    walker.ReadAllForms();
    EXPECT_EQ(walker.reports, AnsiLines({
                                  "S|TKINDS|TKinds|Kinds|Short|short",
                                  ("S|TKINDS|TKinds|Kinds|Long|" + std::string(300, 'L')).c_str(),
                                  "S|TKINDS|TKinds|Kinds|Wide|Wide Ж",
                                  "S|TKINDS|TKinds|Kinds|Utf8|UTF-8 Ж",
                                  "S|TKINDS|TKinds|Kinds|Last|end",
                              }));
}

// Form data that ends early or holds what the format does not allow: the reader's error, and the
// walk ends.
TEST_F(FormWalkerModule, DamagedFormDataRaisesTheReadersErrors) {
    const std::string valid = FormBytes([](TFormWriter& w) {
        w.WriteSignature();
        w.WriteObjectHeader({}, "TForm1", "Form1");
        w.WriteStr("Lines.Strings");
        w.WriteListBegin();
        w.WriteString("a");
        w.WriteInteger(1);
        w.WriteListEnd();
        w.WriteStr("Columns");
        w.WriteCollectionBegin();
        w.WriteInteger(5);
        w.WriteListBegin();
        w.WriteStr("Caption");
        w.WriteWideString(u"b");
        w.WriteListEnd();
        w.WriteListEnd();
        const char data[40] = {};
        w.WriteStr("Data");
        w.WriteBinary(data, sizeof data);
        w.WriteListEnd();
        w.WriteObjectHeader({}, "TLabel", "Label1");
        w.WriteStr("Caption");
        w.WriteString("c");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    });
    std::string deepLists = valid.substr(0, 4 + 1 + 6 + 1 + 5) + '\x04' + "Deep";
    for (int i = 0; i < 300; ++i)
        deepLists += '\x01';
    std::string deepObjects = "TPF0";
    for (int i = 0; i < 300; ++i)
        deepObjects += std::string("\x02TX\x00\x00", 5);
    const struct {
        const char* name;
        std::string bytes;
        const char* message; // nullptr: any EReadError
    } cases[] = {
        {"SIGNATURE", "TPF1" + valid.substr(4), "Invalid stream format"},
        {"NOFORM", "hello", "Invalid stream format"},
        {"KIND21", valid.substr(0, 4 + 1 + 6 + 1 + 5 + 1 + 13) + '\x15', "Unknown value kind 21"},
        {"ITEMNOLIST", valid.substr(0, valid.find("Columns") + 7) + "\x0E\x02\x05\x06",
         "Invalid property value"},
        {"DEEPLISTS", deepLists, "Form data nested too deeply"},
        {"DEEPOBJECTS", deepObjects, "Form data nested too deeply"},
    };
    TestModule module(Path("damaged.exe"));
    for (const auto& c : cases)
        module.AddRCData(c.name, c.bytes);
    // Every prefix of the valid form is truncated data (from one byte on: UpdateResource takes no
    // bytes for a deletion).
    for (std::size_t n = 1; n < valid.size(); ++n)
        module.AddRCData("CUT" + std::to_string(n), valid.substr(0, n));
    module.AddRCData("VALID", valid);
    os::ModuleHandle handle = module.Handle();

    Recorder walker(false, handle);
    walker.ReadForm("VALID");
    EXPECT_EQ(walker.reports, (std::vector<std::string>{"L|VALID|TForm1|Form1|Lines.Strings|[a]",
                                                        "C|VALID|TForm1|Form1|Caption|b|Columns|0",
                                                        "S|VALID|TLabel|Label1|Caption|c"}));
    for (const auto& c : cases) {
        try {
            Recorder(false, handle).ReadForm(c.name);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message) << c.name;
        }
    }
    for (std::size_t n = 1; n < valid.size(); ++n)
        EXPECT_THROW(Recorder(false, handle).ReadForm("CUT" + std::to_string(n)), EReadError) << n;
}

TEST_F(FormWalkerModule, AnErrorEndsTheWalkAndNoFurtherFormIsRead) {
    TestModule module(Path("stops.exe"));
    module.AddRCData("TAFORM", SimpleForm("TAForm", "AForm", {{"Caption", "first"}}));
    module.AddRCData("TBDAMAGED", SimpleForm("TBDamaged", "B", {{"Caption", "second"}}).substr(0, 20));
    module.AddRCData("TCFORM", SimpleForm("TCForm", "CForm", {{"Caption", "third"}}));
    Recorder walker(false, module.Handle());
    EXPECT_THROW(walker.ReadAllForms(), EReadError);
    EXPECT_EQ(walker.formsRead, (std::vector<std::string>{"TAFORM", "TBDAMAGED"}));
    EXPECT_EQ(walker.reports, (std::vector<std::string>{"S|TAFORM|TAForm|AForm|Caption|first"}));
}

TEST_F(FormWalkerModule, AHooksExceptionLeavesTheWalk) {
    struct Failing : Recorder {
        using Recorder::Recorder;
        void ProcessString(const AnsiString&, const AnsiString&, const AnsiString&, const AnsiString&,
                           const AnsiString& value) override {
            throw Exception("hook: " + value);
        }
    };
    TestModule module(Path("hook.exe"));
    module.AddRCData("TAFORM", SimpleForm("TAForm", "AForm", {{"Caption", "first"}, {"Hint", "more"}}));
    module.AddRCData("TBFORM", SimpleForm("TBForm", "BForm", {{"Caption", "second"}}));
    Failing walker(false, module.Handle());
    try {
        walker.ReadAllForms();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "hook: first");
    }
    EXPECT_EQ(walker.formsRead, (std::vector<std::string>{"TAFORM"}));
}

TEST_F(FormWalkerModule, TheDefaultHooksRaiseOnlyForTextsThatPassTheFilter) {
    const std::string high = "\xC0";
    const struct {
        std::string form;
        const char* message;
    } cases[] = {
        {SimpleForm("TF", "F", {{"Caption", high}}), "Не определен метод: ProcessString"},
        {FormBytes([&](TFormWriter& w) {
             w.WriteSignature();
             w.WriteObjectHeader({}, "TF", "F");
             w.WriteStr("Lines.Strings");
             w.WriteListBegin();
             w.WriteString(high);
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
         }),
         "Не определен метод: ProcessList"},
        {FormBytes([&](TFormWriter& w) {
             w.WriteSignature();
             w.WriteObjectHeader({}, "TF", "F");
             w.WriteStr("Columns");
             w.WriteCollectionBegin();
             w.WriteListBegin();
             w.WriteStr("Caption");
             w.WriteString(high);
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListEnd();
         }),
         "Не определен метод: ProcessCollection"},
    };
    TestModule module(Path("hooks.exe"));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        module.AddRCData("F" + std::to_string(i), cases[i].form);
    module.AddRCData("ASCII", SimpleForm("TF", "F", {{"Caption", "ascii"}}));
    os::ModuleHandle handle = module.Handle();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        try {
            TFrmReader(true, handle).ReadForm("F" + std::to_string(i));
            ADD_FAILURE() << cases[i].message << ": no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), Ansi(cases[i].message));
        }
    }
    EXPECT_NO_THROW(TFrmReader(true, handle).ReadForm("ASCII"));
}

TEST_F(FormWalkerModule, AModuleWithoutRcdataRaisesTheEnumerationError) {
    TestModule module(Path("strings-only.exe"));
    module.AddStringBlock(1, TestModule::kEnglish, StringBlock({{0, u"text"}}));
    Recorder walker(false, module.Handle());
    try {
        walker.ReadAllForms();
        ADD_FAILURE() << "no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), kNoResourceOfTheType);
        EXPECT_EQ(e.Message(), Ansi("Ошибка чтения перечня ресурсов. Win32 error: ") +
                                   std::to_string(kNoResourceOfTheType) + " - " +
                                   os::SysErrorMessage(kNoResourceOfTheType));
    }
    EXPECT_TRUE(walker.reports.empty());
}

} // namespace
