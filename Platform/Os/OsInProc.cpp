// The in-process implementation of the operating-system interface for the native build.
#include "CodePageTables.h"
#include "InProcModule.h"
#include "Os.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace os {

namespace {

unsigned CodePageFromEnvironment() {
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        name = std::getenv(var);
        if (name != nullptr && *name != '\0')
            break;
    }
    if (name == nullptr)
        return 1252;
    static constexpr const char* kCyrillic[] = {"ru", "uk", "be", "bg", "mk", "sr"};
    for (const char* lang : kCyrillic)
        if (std::strncmp(name, lang, 2) == 0 && (name[2] == '_' || name[2] == '.' || name[2] == '\0'))
            return 1251;
    return 1252;
}

unsigned& CurrentCodePage() {
    static unsigned codePage = CodePageFromEnvironment();
    return codePage;
}

const char16_t* HighHalf() {
    return CurrentCodePage() == 1251 ? codepage::kHigh1251 : codepage::kHigh1252;
}

thread_local std::uint32_t lastError = 0;

// Appends the UTF-16 form of a UTF-8 text (the resource-string table is valid UTF-8).
std::u16string Utf8ToUtf16(const char* s) {
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p != 0) {
        char32_t c = *p;
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        if (extra > 0)
            c &= 0x3F >> extra;
        ++p;
        for (int i = 0; i < extra && *p != 0; ++i, ++p)
            c = (c << 6) | (*p & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

} // namespace

bool SetAnsiCodePage(unsigned codePage) {
    if (codePage != 1251 && codePage != 1252)
        return false;
    CurrentCodePage() = codePage;
    return true;
}

unsigned AnsiCodePage() {
    return CurrentCodePage();
}

std::u16string AnsiToWide(std::string_view text) {
    const char16_t* high = HighHalf();
    std::u16string out(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        out[i] = b < 0x80 ? b : high[b - 0x80];
    }
    return out;
}

std::string WideToAnsi(std::u16string_view text) {
    // The reverse of the high half, one byte per UTF-16 code unit; 0 where the code page lacks it.
    struct Reverse {
        explicit Reverse(const char16_t* high) : bytes(0x10000, 0) {
            for (int k = 0; k < 128; ++k)
                bytes[high[k]] = static_cast<unsigned char>(0x80 + k);
        }
        std::vector<unsigned char> bytes;
    };
    static const Reverse reverse1251(codepage::kHigh1251);
    static const Reverse reverse1252(codepage::kHigh1252);
    const Reverse& reverse = CurrentCodePage() == 1251 ? reverse1251 : reverse1252;
    std::string out(text.size(), '?');
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        // Each half of a surrogate pair becomes a default character of its own, as on Windows.
        unsigned char b = c < 0x80 ? static_cast<unsigned char>(c) : reverse.bytes[c];
        if (c < 0x80 || b != 0)
            out[i] = static_cast<char>(b);
    }
    return out;
}

std::uint32_t LastError() {
    return lastError;
}

std::string SysErrorMessage(std::uint32_t code) {
    return std::strerror(static_cast<int>(code));
}

ModuleHandle FindResourceModule(ModuleHandle module) {
    return module;
}

std::string LoadStringAnsi(ModuleHandle module, unsigned id, int capacity) {
    if (module == nullptr || capacity <= 0)
        return {};
    const auto* m = static_cast<const InProcModule*>(module);
    for (std::size_t i = 0; i < m->StringCount; ++i) {
        if (m->Strings[i].Id != id)
            continue;
        std::u16string wide = Utf8ToUtf16(m->Strings[i].Utf8);
        if (wide.size() > static_cast<std::size_t>(capacity - 1))
            wide.resize(static_cast<std::size_t>(capacity - 1));
        return WideToAnsi(wide);
    }
    return {};
}

bool FindRCData(ModuleHandle module, const std::string& name, const void*& data, std::size_t& size) {
    if (module == nullptr)
        return false;
    const auto* m = static_cast<const InProcModule*>(module);
    for (std::size_t i = 0; i < m->ResourceCount; ++i) {
        if (::strcasecmp(m->Resources[i].Name, name.c_str()) != 0)
            continue;
        data = m->Resources[i].Data;
        size = m->Resources[i].Size;
        return true;
    }
    return false;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

FileHandle OpenFile(const std::string& path, FileMode mode) {
    // POSIX has no mandatory share modes: a file opened for reading cannot be locked against other
    // writers here, so ReadDenyWrite is a plain read-only open.
    int fd = mode == FileMode::Create ? ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                                      : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        lastError = static_cast<std::uint32_t>(errno);
        return InvalidFile;
    }
    struct stat st {};
    if (mode == FileMode::ReadDenyWrite && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        lastError = EISDIR;
        return InvalidFile;
    }
    return fd;
}

void CloseFile(FileHandle file) {
    if (file != InvalidFile)
        ::close(static_cast<int>(file));
}

std::int64_t ReadFile(FileHandle file, void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    while (done < count) {
        ssize_t n = ::read(static_cast<int>(file), static_cast<char*>(buffer) + done,
                           static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            lastError = static_cast<std::uint32_t>(errno);
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

std::int64_t WriteFile(FileHandle file, const void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    while (done < count) {
        ssize_t n = ::write(static_cast<int>(file), static_cast<const char*>(buffer) + done,
                            static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            lastError = static_cast<std::uint32_t>(errno);
            return -1;
        }
        done += n;
    }
    return done;
}

std::int64_t SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin) {
    int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(static_cast<int>(file), offset, whence);
    if (pos < 0) {
        lastError = static_cast<std::uint32_t>(errno);
        return -1;
    }
    return pos;
}

void SetBinaryStdio() {}

} // namespace os
