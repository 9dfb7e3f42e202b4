// Internal consistency checks. A failed check raises EAssertionFailed with the message in the
// platform's format "%s (%s, line %d)": the message, the source path of the check without its
// extension (Shared/Localiser/ProcHook) and the line of the check.
#pragma once

#include <string_view>

#if defined(__has_builtin)
#if __has_builtin(__builtin_FILE) && __has_builtin(__builtin_LINE)
#define QRL_HAS_BUILTIN_SOURCE_POSITION 1
#endif
#endif
#ifndef QRL_HAS_BUILTIN_SOURCE_POSITION
#include <source_location>
#endif

namespace rtl {

// Where a check stands in the sources. As a default argument it names the caller's position.
struct SourcePosition {
    const char* File;
    unsigned Line;

#ifdef QRL_HAS_BUILTIN_SOURCE_POSITION
    static constexpr SourcePosition Current(const char* file = __builtin_FILE(),
                                            unsigned line = __builtin_LINE()) {
        return {file, line};
    }
#else
    static constexpr SourcePosition Current(std::source_location where = std::source_location::current()) {
        return {where.file_name(), where.line()};
    }
#endif
};

[[noreturn]] void AssertionFailed(std::string_view message, const SourcePosition& where);

inline void Assert(bool condition, std::string_view message,
                   const SourcePosition& where = SourcePosition::Current()) {
    if (!condition)
        AssertionFailed(message, where);
}

// The source path as the report shows it: relative to the project root, without its extension.
std::string_view SourcePath(std::string_view fileName);

} // namespace rtl
