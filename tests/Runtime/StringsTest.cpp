#include "Exceptions.h"
#include "ResStrings.h"
#include "RtlStrings.h"

#include <gtest/gtest.h>

TEST(ResourceStrings, CompiledTextComesThroughTheLoader) {
    EXPECT_EQ(rtl::AnsiToWide(ResStr(SFileNotFound)), u"Файл \"%s\" не найден");
}
