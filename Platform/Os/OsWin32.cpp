// The Win32 implementation of the operating-system interface.
#include "Os.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <vector>
#include <windows.h>

namespace os {

unsigned AnsiCodePage() {
    return GetACP();
}

std::u16string AnsiToWide(std::string_view text) {
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                        reinterpret_cast<LPWSTR>(out.data()), n);
    return out;
}

std::string WideToAnsi(std::u16string_view text) {
    if (text.empty())
        return {};
    auto* src = reinterpret_cast<LPCWSTR>(text.data());
    int len = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, src, len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, src, len, out.data(), n, nullptr, nullptr);
    return out;
}

std::uint32_t LastError() {
    return GetLastError();
}

std::string SysErrorMessage(std::uint32_t code) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text(buffer != nullptr ? buffer : "", n);
    if (buffer != nullptr)
        LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

ModuleHandle FindResourceModule(ModuleHandle module) {
    return module;
}

std::u16string LoadStringWide(ModuleHandle module, unsigned id) {
    // With no buffer the loader hands out the entry in place, whole, with its length.
    const wchar_t* text = nullptr;
    int n = LoadStringW(static_cast<HINSTANCE>(module), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || text == nullptr)
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(n));
}

namespace {

// The bytes of a resource that FindResource found; false when it found none or it cannot be loaded.
bool ResourceBytes(HMODULE instance, HRSRC info, const void*& data, std::size_t& size) {
    if (info == nullptr)
        return false;
    HGLOBAL block = LoadResource(instance, info);
    if (block == nullptr)
        return false;
    data = LockResource(block);
    size = SizeofResource(instance, info);
    return data != nullptr;
}

} // namespace

bool FindRCData(ModuleHandle module, const std::string& name, const void*& data, std::size_t& size) {
    auto instance = static_cast<HMODULE>(module);
    return ResourceBytes(instance, FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(10)), data, size);
}

namespace {

// One resource enumeration: its callable, whether the callable stopped it, and the exception that the
// callable raised. An exception must not unwind through the system's frames, so the trampoline stops
// the enumeration and the caller raises it again once the system call has returned.
template <typename Callback> struct ResourceEnumeration {
    explicit ResourceEnumeration(const Callback& c) : callback(&c) {}

    const Callback* callback;
    bool stopped = false;
    std::exception_ptr failure;

    template <typename Value> BOOL Call(const Value& value) {
        try {
            if ((*callback)(value))
                return TRUE;
        } catch (...) {
            failure = std::current_exception();
        }
        stopped = true;
        return FALSE;
    }
    bool Finish(BOOL done) {
        if (failure)
            std::rethrow_exception(failure);
        return done != FALSE || stopped;
    }
};

using NameEnumeration = ResourceEnumeration<std::function<bool(const ResourceName&)>>;
using LanguageEnumeration = ResourceEnumeration<std::function<bool(std::uint16_t)>>;

BOOL CALLBACK NameTrampoline(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
    ResourceName resourceName;
    if (IS_INTRESOURCE(name))
        resourceName.Id = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name));
    else
        resourceName.Text = name;
    return reinterpret_cast<NameEnumeration*>(context)->Call(resourceName);
}

BOOL CALLBACK LanguageTrampoline(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR context) {
    return reinterpret_cast<LanguageEnumeration*>(context)->Call(static_cast<std::uint16_t>(language));
}

} // namespace

bool ForEachResourceName(ModuleHandle module, unsigned type,
                         const std::function<bool(const ResourceName& name)>& callback) {
    NameEnumeration enumeration(callback);
    BOOL done = EnumResourceNamesA(static_cast<HMODULE>(module), MAKEINTRESOURCEA(type), NameTrampoline,
                                   reinterpret_cast<LONG_PTR>(&enumeration));
    return enumeration.Finish(done);
}

bool ForEachResourceLanguage(ModuleHandle module, unsigned type, unsigned id,
                             const std::function<bool(std::uint16_t language)>& callback) {
    LanguageEnumeration enumeration(callback);
    BOOL done =
        EnumResourceLanguagesA(static_cast<HMODULE>(module), MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id),
                               LanguageTrampoline, reinterpret_cast<LONG_PTR>(&enumeration));
    return enumeration.Finish(done);
}

bool FindResourceBytes(ModuleHandle module, unsigned type, unsigned id, std::uint16_t language,
                       const void*& data, std::size_t& size) {
    auto instance = static_cast<HMODULE>(module);
    return ResourceBytes(instance,
                         FindResourceExA(instance, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id), language),
                         data, size);
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != FALSE;
}

FileHandle OpenFile(const std::string& path, FileMode mode) {
    HANDLE h = mode == FileMode::Create ? CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr)
                                        : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? InvalidFile : reinterpret_cast<FileHandle>(h);
}

void CloseFile(FileHandle file) {
    if (file != InvalidFile)
        CloseHandle(reinterpret_cast<HANDLE>(file));
}

std::int64_t ReadFile(FileHandle file, void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 30));
        DWORD got = 0;
        if (!::ReadFile(reinterpret_cast<HANDLE>(file), static_cast<char*>(buffer) + done, chunk, &got,
                        nullptr))
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

std::int64_t WriteFile(FileHandle file, const void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 30));
        DWORD put = 0;
        if (!::WriteFile(reinterpret_cast<HANDLE>(file), static_cast<const char*>(buffer) + done, chunk, &put,
                         nullptr))
            return -1;
        done += put;
    }
    return done;
}

std::int64_t SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin) {
    DWORD method = origin == SeekOrigin::Begin     ? FILE_BEGIN
                   : origin == SeekOrigin::Current ? FILE_CURRENT
                                                   : FILE_END;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER pos;
    if (!SetFilePointerEx(reinterpret_cast<HANDLE>(file), distance, &pos, method))
        return -1;
    return pos.QuadPart;
}

std::string ProgramPath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        // A path that fills the buffer has been cut short: try again with a larger one.
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<FindEntry> FindFiles(const std::string& pattern) {
    std::vector<FindEntry> entries;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0});
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return entries;
}

namespace {

// The enumeration that runs on this thread: its callable, and the exception that the callable
// raised. An exception must not unwind through the system's frames, so the trampoline stops the
// enumeration and EnumSupportedLocales raises it again once the system call has returned.
struct LocaleEnumeration {
    const std::function<bool(const char*)>* callback;
    std::exception_ptr failure;
};
thread_local LocaleEnumeration* currentEnumeration = nullptr;

BOOL CALLBACK LocaleTrampoline(LPSTR localeId) {
    try {
        return (*currentEnumeration->callback)(localeId) ? TRUE : FALSE;
    } catch (...) {
        currentEnumeration->failure = std::current_exception();
        return FALSE;
    }
}

} // namespace

bool EnumSupportedLocales(const std::function<bool(const char* localeId)>& callback) {
    LocaleEnumeration enumeration{&callback, nullptr};
    LocaleEnumeration* outer = currentEnumeration;
    currentEnumeration = &enumeration;
    BOOL done = ::EnumSystemLocalesA(LocaleTrampoline, LCID_SUPPORTED);
    currentEnumeration = outer;
    if (enumeration.failure)
        std::rethrow_exception(enumeration.failure);
    return done != FALSE;
}

std::string GetLocaleText(std::uint32_t langId, int item) {
    constexpr int capacity = 1024;
    std::u16string buffer(capacity, u'\0');
    if (GetLocaleInfoW(MAKELCID(langId, SORT_DEFAULT), static_cast<LCTYPE>(item),
                       reinterpret_cast<LPWSTR>(buffer.data()), capacity) == 0)
        return {};
    return WideToAnsi(std::u16string_view(buffer).substr(0, buffer.find(u'\0')));
}

bool OpenCodeForWriting(void* address, std::size_t size, std::uint32_t& previous) {
    DWORD old = 0;
    if (!VirtualProtect(address, size, PAGE_EXECUTE_READWRITE, &old))
        return false;
    previous = old;
    return true;
}

void SetBinaryStdio() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

} // namespace os
