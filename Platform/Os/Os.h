// The narrow operating-system interface. Everything that differs between the Windows program and the
// native build of the engine sits behind these declarations: OsWin32.cpp calls the Win32 API,
// OsInProc.cpp supplies an in-process stand-in (in-memory modules, a code page chosen by the process,
// POSIX files). Nothing here raises: failures come back as results and an error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace os {

// The handle of a module whose resources hold strings and forms. On Windows it is the HINSTANCE;
// natively it points at an InProcModule.
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

// String-table entry `id` of a module, whole, in UTF-16. Empty when the table lacks the entry.
std::u16string LoadStringWide(ModuleHandle module, unsigned id);

// The bytes of a module's RCDATA resource `name` (names compare without regard to ASCII case); false
// when the module has none of that name.
bool FindRCData(ModuleHandle module, const std::string& name, const void*& data, std::size_t& size);

// ---- Resource enumeration --------------------------------------------------------------------------

// Resource types, the values of the Win32 RT_ constants.
inline constexpr unsigned ResourceTypeString = 6;  // RT_STRING: string-table blocks of 16 entries
inline constexpr unsigned ResourceTypeRCData = 10; // RT_RCDATA: raw data, such as compiled forms

// A resource's name as an enumeration gives it: a text, or the number of a resource identified by
// one (MAKEINTRESOURCE), whose Text is then empty.
struct ResourceName {
    std::string_view Text;
    unsigned Id = 0;
};

// Calls callback once per resource name of the type, in the order of the module's resource
// directory: the named resources in ascending order of their names, then the numbered ones in
// ascending order. The callback stops the enumeration by returning false; an exception of the
// callback ends it and leaves this call (on Windows it is carried past the system's frames, not
// through them). The name's text is valid during the call only. False when the enumeration fails
// (LastError), as for a module without any resource of the type. Windows: EnumResourceNamesA.
bool ForEachResourceName(ModuleHandle module, unsigned type,
                         const std::function<bool(const ResourceName& name)>& callback);
// The same for the languages of the numbered resource (type, id), in ascending order of the
// language identifiers. Windows: EnumResourceLanguagesA.
bool ForEachResourceLanguage(ModuleHandle module, unsigned type, unsigned id,
                             const std::function<bool(std::uint16_t language)>& callback);
// The bytes of the numbered resource (type, id) in that language, valid as long as the module is
// loaded; false when the module has no such resource. Windows: FindResourceExA, LoadResource and
// SizeofResource.
bool FindResourceBytes(ModuleHandle module, unsigned type, unsigned id, std::uint16_t language,
                       const void*& data, std::size_t& size);

// ---- Files ---------------------------------------------------------------------------------------

bool FileExists(const std::string& path);
// Deletes a file; false when it cannot be deleted (LastError).
bool RemoveFile(const std::string& path);

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

// The path delimiter of the platform, and the characters that end the folder part of a path (on
// Windows the drive delimiter too).
#ifdef _WIN32
inline constexpr char PathDelim = '\\';
inline constexpr std::string_view FolderDelimiters = "\\:";
#else
inline constexpr char PathDelim = '/';
inline constexpr std::string_view FolderDelimiters = "/";
#endif

// The full path of the running program's own executable; empty when the system cannot give it.
std::string ProgramPath();

// ---- File search ---------------------------------------------------------------------------------

// One entry of a folder, with the attributes the file search reports. Natively an entry is hidden
// when its name begins with "." (other than "." and ".."), and nothing is a system entry.
struct FindEntry {
    std::string Name;
    bool Directory = false;
    bool Hidden = false;
    bool System = false;
};

// Every entry that the search for pattern finds, in the order in which the system gives them,
// including "." and ".." for a folder that has them, whatever their attributes: the caller chooses
// what to skip. Windows: FindFirstFileA / FindNextFileA / FindClose, any pattern the system accepts.
// Natively the pattern is a folder path ending with "/" (or nothing, for the current folder)
// followed by "*", the only name pattern supported; anything else finds nothing (EINVAL). Empty
// when nothing is found, also when the folder does not exist; LastError tells why.
std::vector<FindEntry> FindFiles(const std::string& pattern);

// ---- Locales -------------------------------------------------------------------------------------

// Item codes of GetLocaleText, the values of the Win32 LCTYPE constants.
inline constexpr int LocaleLanguage = 2;       // LOCALE_SLANGUAGE: the language's full name
inline constexpr int LocaleAbbrevLanguage = 3; // LOCALE_SABBREVLANGNAME: its abbreviation (ENU)

// Calls callback once per supported locale, in the system's order, with the locale identifier as a
// text of eight hexadecimal digits as the system writes it; stops early when callback returns
// false. Windows: EnumSystemLocalesA with LCID_SUPPORTED. The Win32 callback has no context, so the
// callable is reached through a thread-local pointer for the length of the call; a callback may
// start an enumeration of its own. An exception of the callback ends the enumeration and leaves this
// call (on Windows it is carried past the system's frames, not through them). Natively the locales
// are those of LocaleTable.inc. False when the enumeration could not run.
bool EnumSupportedLocales(const std::function<bool(const char* localeId)>& callback);

// Locale text item (LocaleLanguage, LocaleAbbrevLanguage) of a language identifier (its low 16
// bits), used as a locale identifier with the default sort order, in the ANSI code page; characters
// that it lacks become "?". Empty when the system has no such text. Windows: GetLocaleInfoW into a
// buffer of 1024 wide characters, then the conversion to the ANSI code page. A 64-bit program runs
// only on the NT family, so the GetLocaleInfoA path of the older systems is never needed and not
// built. Natively: the entry of LocaleTable.inc with that locale identifier, its UTF-8 texts
// converted to UTF-16 and on to the ANSI code page; the special identifiers of the user's and the
// system's default locale are not known there.
std::string GetLocaleText(std::uint32_t langId, int item);

// ---- Code ---------------------------------------------------------------------------------------

// Opens the bytes from address to address + size for writing, keeping them executable
// (PAGE_EXECUTE_READWRITE; natively read, write and execute on the pages that hold them). previous
// receives the access they had before: the PAGE_ value on Windows, natively the PROT_ bits of the
// first page as the process's memory map gives them. False when the change fails (LastError).
bool OpenCodeForWriting(void* address, std::size_t size, std::uint32_t& previous);

// ---- Standard streams ----------------------------------------------------------------------------

// Puts standard output and standard error into binary mode, so that what a tool prints is the same
// bytes on every platform (no CR inserted before LF).
void SetBinaryStdio();

} // namespace os
