// The forms that the build compiled into this program (cmake/Forms.cmake) are its RCDATA resources.
#include "FormStream.h"

#include "Exceptions.h"
#include "ResString.h"
#include "Streams.h"

#include <gtest/gtest.h>

namespace {

TEST(FormResourcesTest, EachFormIsFoundUnderItsClassNameInCapitals) {
    const struct {
        const char* resource;
        const char* className;
        const char* objectName;
        const char16_t* caption;
    } forms[] = {
        {"TMAINFORM", "TMainForm", "MainForm", u"\u0413\u043B\u0430\u0432\u043D\u0430\u044F"},
        {"TABOUTBOX", "TAboutBox", "AboutBox", u"About"},
        {"tAboutBox", "TAboutBox", "AboutBox", u"About"},
    };
    for (const auto& form : forms) {
        TResourceStream stream(HInstance, form.resource);
        TFormReader reader(stream);
        reader.ReadSignature();
        EXPECT_EQ(reader.ReadPrefix().Flags, 0);
        EXPECT_EQ(reader.ReadStr(), form.className);
        EXPECT_EQ(reader.ReadStr(), form.objectName);
        EXPECT_EQ(reader.ReadStr(), "Caption");
        EXPECT_EQ(reader.ReadWideString(), form.caption);
    }
}

TEST(FormResourcesTest, OtherNamesAreNoResources) {
    EXPECT_THROW(TResourceStream(HInstance, "TNOSUCHFORM"), EResNotFound);
    EXPECT_THROW(TResourceStream(HInstance, "MAINFORM"), EResNotFound);
}

} // namespace
