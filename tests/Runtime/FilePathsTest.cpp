// The parts of file paths, with the platform's delimiters.
#include "FilePaths.h"

#include "Os.h"
#include "PlatformPath.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* Path;
    const char* Folder;
    const char* Name;
    const char* Ext;
    const char* WithLrc;
};

TEST(FilePaths, PartsOfAPath) {
    const PathCase cases[] = {
        {"C:\\App\\Bin\\prog.exe", "C:\\App\\Bin\\", "prog.exe", ".exe", "C:\\App\\Bin\\prog.lrc"},
        // Only the last extension is replaced; a name without one gets it appended.
        {"my.prog.exe", "", "my.prog.exe", ".exe", "my.prog.lrc"},
        {"prog", "", "prog", "", "prog.lrc"},
        // A "." in a folder name is no extension.
        {"\\App.v2\\prog", "\\App.v2\\", "prog", "", "\\App.v2\\prog.lrc"},
        {"\\App\\", "\\App\\", "", "", "\\App\\.lrc"},
        {"prog.", "", "prog.", ".", "prog.lrc"},
        {"", "", "", "", ".lrc"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(rtl::ExtractFilePath(P(c.Path)), P(c.Folder));
        EXPECT_EQ(rtl::ExtractFileName(P(c.Path)), c.Name);
        EXPECT_EQ(rtl::ExtractFileExt(P(c.Path)), c.Ext);
        EXPECT_EQ(rtl::ChangeFileExt(P(c.Path), ".lrc"), P(c.WithLrc));
    }
}

#ifdef _WIN32
TEST(FilePaths, TheDriveDelimiterEndsTheFolderPart) {
    EXPECT_EQ(rtl::ExtractFilePath("C:prog.exe"), "C:");
    EXPECT_EQ(rtl::ExtractFileName("C:prog.exe"), "prog.exe");
}
#endif

} // namespace
