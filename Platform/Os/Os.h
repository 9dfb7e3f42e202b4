// The narrow operating-system interface. Everything that differs between the Windows program and the
// native build of the engine sits behind these declarations: OsWin32.cpp calls the Win32 API,
// OsInProc.cpp supplies an in-process stand-in (in-memory modules, a code page chosen by the process,
// POSIX files). Nothing here raises: failures come back as results and an error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace os {

// The handle of a module whose resources hold strings (and later forms). On Windows it is the
// HINSTANCE; natively it points at an InProcModule.
using ModuleHandle = void*;

// ---- Code pages ----------------------------------------------------------------------------------

// The ANSI code page of the process (1251, 1252, ...).
unsigned AnsiCodePage();

// 8-bit text in the ANSI code page to UTF-16, and back. Characters that the code page lacks become
// its default character ("?"); no best-fit substitution.
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);

// ---- Errors --------------------------------------------------------------------------------------

// The error code of the last failed call of this layer (GetLastError / errno).
std::uint32_t LastError();
// The system's text for an error code, without a trailing line break.
std::string SysErrorMessage(std::uint32_t code);

// ---- Module resources ----------------------------------------------------------------------------

// The module that holds the resources for a module (a separately loaded resource module where the
// platform has one; otherwise the module itself).
ModuleHandle FindResourceModule(ModuleHandle module);

// String-table entry `id` of a module, in the ANSI code page, at most `capacity - 1` characters (the
// Win32 loader's buffer rule). Empty when the table lacks the entry.
std::string LoadStringAnsi(ModuleHandle module, unsigned id, int capacity);

// The bytes of a module's RCDATA resource `name` (names compare without regard to ASCII case); false
// when the module has none of that name.
bool FindRCData(ModuleHandle module, const std::string& name, const void*& data, std::size_t& size);

// ---- Files ---------------------------------------------------------------------------------------

bool FileExists(const std::string& path);

using FileHandle = std::intptr_t;
inline constexpr FileHandle InvalidFile = -1;

enum class FileMode {
    ReadDenyWrite, // open an existing file for reading; others may not write while it is open
    Create,        // create the file, replacing one that exists; opened for writing
};

FileHandle OpenFile(const std::string& path, FileMode mode);
void CloseFile(FileHandle file);
// Bytes read or written, or -1 on failure.
std::int64_t ReadFile(FileHandle file, void* buffer, std::int64_t count);
std::int64_t WriteFile(FileHandle file, const void* buffer, std::int64_t count);
enum class SeekOrigin { Begin, Current, End };
// The new position, or -1 on failure.
std::int64_t SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin);

// ---- Standard streams ----------------------------------------------------------------------------

// Puts standard output and standard error into binary mode, so that what a tool prints is the same
// bytes on every platform (no CR inserted before LF).
void SetBinaryStdio();

} // namespace os
