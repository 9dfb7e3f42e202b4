// Internal consistency checks. A failed check raises EAssertionFailed with the message in the
// platform's format "%s (%s, line %d)": the message, the source path of the check without its
// extension (Shared/Localiser/ProcHook) and the line of the check.
#pragma once

#include <source_location>
#include <string_view>

namespace rtl {

[[noreturn]] void AssertionFailed(std::string_view message, const std::source_location& where);

inline void Assert(bool condition, std::string_view message,
                   const std::source_location& where = std::source_location::current()) {
    if (!condition)
        AssertionFailed(message, where);
}

// The source path as the report shows it: relative to the project root, without its extension.
std::string_view SourcePath(std::string_view fileName);

} // namespace rtl
