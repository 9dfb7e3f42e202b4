#include "Streams.h"
#include "Exceptions.h"

#ifndef _WIN32
#include "InProcModule.h"
#endif

#include "TempDirTest.h"

#include <gtest/gtest.h>

namespace {

using FileStreamTest = TempDirTest;

void WriteText(const std::string& path, std::string_view text) {
    TFileStream out(path, os::FileMode::Create);
    out.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

TEST_F(FileStreamTest, CreateReplacesAnExistingFile) {
    WriteText(Path("a.txt"), "a longer first content");
    WriteText(Path("a.txt"), "short");
    std::vector<char> bytes = rtl::ReadWholeFile(Path("a.txt"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "short");
}

TEST_F(FileStreamTest, ReadsSeeksAndReportsSize) {
    WriteText(Path("b.bin"), "0123456789");
    TFileStream in(Path("b.bin"), os::FileMode::ReadDenyWrite);
    EXPECT_EQ(in.Size(), 10);
    in.SetPosition(4);
    char buf[3];
    in.ReadBuffer(buf, 3);
    EXPECT_EQ(std::string(buf, 3), "456");
    EXPECT_EQ(in.Position(), 7);
    EXPECT_THROW(in.ReadBuffer(buf, 4), EReadError);
}

TEST_F(FileStreamTest, MissingFileRaisesTheOpenErrorNamingIt) {
    const std::string path = Path("missing.txt");
    try {
        TFileStream in(path, os::FileMode::ReadDenyWrite);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + path + "\". ", 0), 0u) << e.Message();
    }
}

TEST_F(FileStreamTest, UncreatableFileRaisesTheCreateError) {
    EXPECT_THROW(TFileStream(Path("no-such-dir/x.txt"), os::FileMode::Create), EFCreateError);
}

#ifdef _WIN32
TEST_F(FileStreamTest, OthersCannotWriteAFileWhileItIsReadOpen) {
    WriteText(Path("c.txt"), "x");
    TFileStream in(Path("c.txt"), os::FileMode::ReadDenyWrite);
    EXPECT_THROW(TFileStream(Path("c.txt"), os::FileMode::Create), EFCreateError);
    TFileStream second(Path("c.txt"), os::FileMode::ReadDenyWrite); // reading alongside is allowed
    EXPECT_EQ(second.Size(), 1);
}
#endif

TEST(MemoryStream, GrowsOnWriteAndReadsBack) {
    TMemoryStream m;
    m.WriteBuffer("abc", 3);
    m.SetPosition(1);
    m.WriteBuffer("XYZ", 3);
    EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "aXYZ");
    m.SetPosition(0);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 4);
    EXPECT_EQ(m.Read(buf, 8), 0);
}

TEST(CustomMemoryStream, ReadsABlockItDoesNotOwnAndRefusesWrites) {
    static const char block[] = "block";
    TCustomMemoryStream s(block, 5);
    char buf[5];
    s.ReadBuffer(buf, 5);
    EXPECT_EQ(std::string(buf, 5), "block");
    s.SetPosition(0);
    EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
    EXPECT_EQ(s.Seek(-2, os::SeekOrigin::End), 3);
}

#ifdef _WIN32
os::ModuleHandle TestModule() {
    return HInstance;
}
#else
const unsigned char kData[] = {'d', 'a', 't', 'a', 0, 1, 2};
const os::InProcResource kResources[] = {{"TESTDATA", kData, sizeof kData}};
os::InProcModule testModule{nullptr, 0, kResources, 1};
os::ModuleHandle TestModule() {
    return &testModule;
}
#endif

TEST(ResourceStream, ReadsAnRcdataResourceOfTheModule) {
    TResourceStream s(TestModule(), "testdata");
    ASSERT_EQ(s.Size(), 7);
    char buf[7];
    s.ReadBuffer(buf, 7);
    EXPECT_EQ(std::string(buf, 7), std::string("data\0\1\2", 7));
}

TEST(ResourceStream, MissingResourceRaisesResNotFound) {
    try {
        TResourceStream s(TestModule(), "NOSUCH");
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource NOSUCH not found");
    }
}

} // namespace
