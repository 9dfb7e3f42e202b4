#pragma once

namespace os::codepage {

extern const char16_t kHigh1251[128];
extern const char16_t kHigh1252[128];

} // namespace os::codepage
