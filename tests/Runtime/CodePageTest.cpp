// ANSI <-> UTF-16 conversion in the process's code page. The same source is built into two test
// programs, run with LANG=ru_RU.UTF-8 (1251) and LANG=en_US.UTF-8 (1252); QRL_EXPECTED_CODE_PAGE
// names the one its program runs under.
#include "Os.h"
#include "RtlStrings.h"

#include <gtest/gtest.h>

namespace {

struct Mapping {
    unsigned char byte;
    char16_t wide;
};

#if QRL_EXPECTED_CODE_PAGE == 1251
constexpr Mapping kSamples[] = {{0xC0, u'А'}, {0xFF, u'я'}, {0xA8, u'Ё'}, {0xB8, u'ё'},   {0x88, u'€'},
                                {0xB9, u'№'}, {0xA5, u'Ґ'}, {0x80, u'Ђ'}, {0x98, 0x0098}, {0xA0, 0x00A0}};
constexpr char16_t kUnmapped[] = {u'é', u'Ω', u'中'};
#else
constexpr Mapping kSamples[] = {{0xC0, u'À'}, {0xFF, u'ÿ'},   {0x80, u'€'}, {0x8A, u'Š'},
                                {0x9F, u'Ÿ'}, {0x81, 0x0081}, {0x98, u'˜'}, {0xA0, 0x00A0}};
constexpr char16_t kUnmapped[] = {u'Д', u'Ω', u'中'};
#endif

TEST(CodePage, ProcessRunsUnderTheExpectedCodePage) {
    EXPECT_EQ(os::AnsiCodePage(), QRL_EXPECTED_CODE_PAGE);
}

TEST(CodePage, KnownBytesMapBothWays) {
    for (const Mapping& m : kSamples) {
        const std::string ansi(1, static_cast<char>(m.byte));
        EXPECT_EQ(rtl::AnsiToWide(ansi), std::u16string(1, m.wide)) << std::hex << int(m.byte);
        EXPECT_EQ(rtl::WideToAnsi(std::u16string(1, m.wide)), ansi) << std::hex << int(m.byte);
    }
}

TEST(CodePage, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const WideString wide = rtl::AnsiToWide(all);
    ASSERT_EQ(wide.size(), all.size());
    for (int b = 1; b < 128; ++b)
        EXPECT_EQ(wide[static_cast<std::size_t>(b - 1)], static_cast<char16_t>(b));
    EXPECT_EQ(rtl::WideToAnsi(wide), all);
}

TEST(CodePage, CharactersTheCodePageLacksBecomeItsDefaultCharacter) {
    for (char16_t c : kUnmapped)
        EXPECT_EQ(rtl::WideToAnsi(std::u16string{u'a', c, u'b'}), "a?b") << int(c);
    EXPECT_EQ(rtl::WideToAnsi(u"\U0001F600"), "??"); // each half of a surrogate pair, as Windows does
    EXPECT_EQ(rtl::WideToAnsi(u""), "");
    EXPECT_EQ(rtl::AnsiToWide(""), u"");
}

TEST(CodePage, EmbeddedNulBytesSurvive) {
    const std::string ansi("a\0b", 3);
    EXPECT_EQ(rtl::AnsiToWide(ansi), std::u16string(u"a\0b", 3));
    EXPECT_EQ(rtl::WideToAnsi(std::u16string(u"a\0b", 3)), ansi);
}

} // namespace
