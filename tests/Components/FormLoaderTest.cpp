// Component trees built from the forms that the build compiled into this program (forms/*.frm) and
// from form data written here.
#include "FormLoader.h"

#include "FormStream.h"
#include "ResString.h"
#include "TestComponents.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<char> ResourceBytes(const char* name) {
    TResourceStream stream(HInstance, name);
    return {stream.Memory(), stream.Memory() + stream.Size()};
}

// What the ancestor's resource gives every form of the chain.
void ExpectBaseForm(const TMainForm& form) {
    EXPECT_EQ(form.Name(), "MainForm");
    EXPECT_EQ(form.Caption(), "Main");
    EXPECT_EQ(form.Tag(), 7);

    const auto& title = Child<TTestLabel>(form, "Title");
    EXPECT_EQ(title.Owner(), &form);
    EXPECT_EQ(title.Font()->Name(), "Arial");
    EXPECT_EQ(title.Width(), 120);

    const auto& notes = Child<TTestMemo>(form, "Notes");
    EXPECT_EQ(notes.Lines()->Text(), "first line\r\nsecond line\r\n");

    const auto& header = Child<TTestHeader>(form, "Header");
    ASSERT_EQ(header.Sections()->Count(), 2);
    const auto& name = static_cast<const TTestSection&>(*header.Sections()->Items(0));
    const auto& size = static_cast<const TTestSection&>(*header.Sections()->Items(1));
    EXPECT_EQ(name.Text(), "Name");
    EXPECT_EQ(name.Width(), 80);
    EXPECT_EQ(size.Text(), "Size");
    EXPECT_EQ(size.Width(), 50);
    // A record nested in another one makes a component of the form all the same.
    EXPECT_EQ(Child<TTestLabel>(form, "Hint").Caption(), "nested");

    auto& kinds = Child<TTestKinds>(form, "Kinds");
    EXPECT_EQ(kinds.ShortName, "short");
    EXPECT_EQ(kinds.Text, "long");
    EXPECT_EQ(kinds.WideText, u"\u0428\u0438\u0440\u043E\u043A\u0438\u0439");
    EXPECT_EQ(kinds.Count, -100000);
    EXPECT_EQ(kinds.Alignment, TAlignment::taCenter);
    EXPECT_TRUE(kinds.Enabled);
    EXPECT_EQ(kinds.Styles, FontStyle(TFontStyle::fsBold) | FontStyle(TFontStyle::fsUnderline));
    EXPECT_DOUBLE_EQ(kinds.Ratio, 2.5);
    EXPECT_EQ(kinds.Buddy, &title);
    ASSERT_TRUE(kinds.OnChange);
    kinds.OnChange(&kinds);
    EXPECT_EQ(form.LastSender, &kinds);
}

TEST(FormLoaderTest, ReadsAFormResourceOntoItsForm) {
    TMainForm form(nullptr);
    TResourceStream stream(HInstance, "TMAINFORMBASE");
    ReadForm(form, stream);
    ExpectBaseForm(form);
    EXPECT_EQ(Child<TTestLabel>(form, "Title").Caption(), "Welcome");
    EXPECT_EQ(form.ComponentCount(), 5);
}

TEST(FormLoaderTest, BuildsAFormThroughItsClassChain) {
    TMainForm form(nullptr);
    EXPECT_TRUE(LoadFormFromResources(form, HInstance));
    ExpectBaseForm(form);
    EXPECT_EQ(Child<TTestLabel>(form, "Title").Caption(), "Hello");
    const auto& extra = Child<TTestLabel>(form, "Extra");
    EXPECT_EQ(extra.Caption(), "Added");
    EXPECT_EQ(extra.Font()->Size(), 12);
    EXPECT_EQ(form.ComponentCount(), 6);
}

TEST(FormLoaderTest, AFormWithoutResourcesIsLeftAsItIs) {
    TForm form(nullptr);
    EXPECT_FALSE(LoadFormFromResources(form, HInstance));
    EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(FormLoaderTest, AFailedChainDeletesWhatItMade) {
    // The ancestor's form binds an event to a method that only the derived class publishes.
    TMainFormBase form(nullptr);
    try {
        LoadFormFromResources(form, HInstance);
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Method LanguageClick not found");
    }
    EXPECT_EQ(form.ComponentCount(), 0);
}

// A form of class TMainForm with one component Label1 (a TTestLabel), then what more writes.
std::vector<char> WriteForm(const char* rootClass, const std::function<void(TFormWriter&)>& more) {
    TMemoryStream stream;
    TFormWriter writer(stream);
    writer.WriteSignature();
    writer.WriteObjectHeader({}, rootClass, "MainForm");
    writer.WriteListEnd();
    writer.WriteObjectHeader({}, "TTestLabel", "Label1");
    writer.WriteListEnd();
    writer.WriteListEnd();
    more(writer);
    writer.WriteListEnd();
    return stream.Bytes();
}

// A component of class cls named Other, with one property written by value.
std::function<void(TFormWriter&)> Other(const char* cls, const char* property,
                                        const std::function<void(TFormWriter&)>& value) {
    return [=](TFormWriter& writer) {
        writer.WriteObjectHeader({}, cls, "Other");
        writer.WriteStr(property);
        value(writer);
        writer.WriteListEnd();
        writer.WriteListEnd();
    };
}

TEST(FormLoaderTest, FaultsOfTheFormRaiseAndDeleteWhatWasMade) {
    const auto ident = [](const char* name) { return [=](TFormWriter& w) { w.WriteIdent(name); }; };
    const auto text = [](TFormWriter& w) { w.WriteString("x"); };
    const struct {
        const char* what;
        const char* rootClass;
        std::function<void(TFormWriter&)> more;
        const char* message;
        bool readError;
    } cases[] = {
        {"unknown class", "TMainForm", Other("TNoSuchClass", "Tag", text), "Class TNoSuchClass not found",
         true},
        {"class that is no component", "TMainForm", Other("TTestSection", "Tag", text),
         "Class TTestSection not found", true},
        {"root of another class", "TTestLabel", [](TFormWriter&) {},
         "Form data of a TTestLabel cannot be read into a TMainForm", true},
        {"unknown property", "TMainForm", Other("TTestLabel", "Colour", text),
         "Property Colour does not exist", false},
        {"unknown dotted property", "TMainForm", Other("TTestLabel", "Font.Colour", text),
         "Property Font.Colour does not exist", false},
        {"dotted name through a value", "TMainForm", Other("TTestLabel", "Caption.Text", text),
         "Invalid property name", false},
        {"unknown method", "TMainForm", Other("TTestKinds", "OnChange", ident("NoSuchClick")),
         "Method NoSuchClick not found", true},
        {"unknown reference", "TMainForm", Other("TTestKinds", "Buddy", ident("Label2")),
         "Component Label2 referred to by Buddy not found", true},
        {"unknown identifier", "TMainForm", Other("TTestKinds", "Alignment", ident("taTop")),
         "Invalid property element: taTop", false},
        {"value of another kind", "TMainForm", Other("TTestKinds", "Count", text), "Invalid property value",
         true},
        {"inherited component missing", "TMainForm",
         [](TFormWriter& w) {
             w.WriteObjectHeader({ffInherited, 0}, "TTestLabel", "Label9");
             w.WriteListEnd();
             w.WriteListEnd();
         },
         "Inherited component Label9 not found", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<char> bytes = WriteForm(c.rootClass, c.more);
        TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        TMainForm form(nullptr);
        try {
            ReadForm(form, stream);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_TRUE(c.readError);
            EXPECT_EQ(e.Message(), c.message);
        } catch (const EPropertyError& e) {
            EXPECT_FALSE(c.readError);
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(form.ComponentCount(), 0);
    }
}

TEST(FormLoaderTest, FloatPropertiesTakeEveryNumberKind) {
    const struct {
        std::function<void(TFormWriter&)> write;
        double ratio;
    } cases[] = {
        {[](TFormWriter& w) { w.WriteFloat(-0.25); }, -0.25},
        {[](TFormWriter& w) { w.WriteSingle(1.5f); }, 1.5},
        {[](TFormWriter& w) { w.WriteCurrency(125000); }, 12.5},
        {[](TFormWriter& w) { w.WriteDate(45000.75); }, 45000.75},
        {[](TFormWriter& w) { w.WriteInteger(-3); }, -3},
        {[](TFormWriter& w) { w.WriteInt64(std::int64_t{1} << 40); }, 1099511627776.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ratio);
        const std::vector<char> bytes = WriteForm("TMainForm", Other("TTestKinds", "Ratio", c.write));
        TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        TMainForm form(nullptr);
        ReadForm(form, stream);
        EXPECT_DOUBLE_EQ(Child<TTestKinds>(form, "Other").Ratio, c.ratio);
    }
}

TEST(FormLoaderTest, EveryTruncationOfAFormRaisesAReadError) {
    const std::vector<char> bytes = ResourceBytes("TMAINFORMBASE");
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(size));
        TMainForm form(nullptr);
        EXPECT_THROW(ReadForm(form, stream), EReadError);
        EXPECT_EQ(form.ComponentCount(), 0);
    }
}

TEST(FormLoaderTest, ADamagedByteEitherLoadsOrRaisesAndDeletesWhatWasMade) {
    std::vector<char> bytes = ResourceBytes("TMAINFORMBASE");
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char original = bytes[at];
        for (const char damage : {'\0', '\x01', '\x7F', '\xFF'}) {
            bytes[at] = damage;
            TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            TMainForm form(nullptr);
            try {
                ReadForm(form, stream);
            } catch (const Exception&) {
                EXPECT_EQ(form.ComponentCount(), 0) << "byte " << at;
            }
        }
        bytes[at] = original;
    }
}

} // namespace
