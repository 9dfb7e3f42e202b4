// The in-process implementation of the operating-system interface for the native build.
#include "CodePageTables.h"
#include "InProcModule.h"
#include "Os.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <strings.h>
#include <sys/mman.h>
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

// The UTF-16 form of a UTF-8 text (the resource-string table and the locale table are valid UTF-8).
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
    // Never freed: texts are converted until the very end of the process, after static destruction.
    static const Reverse* const reverse1251 = new Reverse(codepage::kHigh1251);
    static const Reverse* const reverse1252 = new Reverse(codepage::kHigh1252);
    const Reverse& reverse = CurrentCodePage() == 1251 ? *reverse1251 : *reverse1252;
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

std::u16string LoadStringWide(ModuleHandle module, unsigned id) {
    if (module == nullptr)
        return {};
    const auto* m = static_cast<const InProcModule*>(module);
    for (std::size_t i = 0; i < m->StringCount; ++i)
        if (m->Strings[i].Id == id)
            return Utf8ToUtf16(m->Strings[i].Utf8);
    return {};
}

void AddResource(ModuleHandle module, InProcResourceNode& node) {
    auto* m = static_cast<InProcModule*>(module);
    node.Next = m->Added;
    m->Added = &node;
}

} // namespace os

// The string-table blocks made from a module's entries: block number to the bytes of its 16
// entries, each a 16-bit count of UTF-16 units and the units, little-endian.
struct os::InProcStringBlocks {
    std::map<unsigned, std::string> Bytes;
};

namespace os {

namespace {

const InProcStringBlocks& StringBlocks(InProcModule& m) {
    if (m.Blocks != nullptr)
        return *m.Blocks;
    std::map<unsigned, std::array<std::u16string, 16>> entries;
    for (std::size_t i = 0; i < m.StringCount; ++i)
        entries[m.Strings[i].Id / 16 + 1][m.Strings[i].Id % 16] = Utf8ToUtf16(m.Strings[i].Utf8);
    auto* blocks = new InProcStringBlocks;
    for (const auto& [number, texts] : entries) {
        std::string& bytes = blocks->Bytes[number];
        for (const std::u16string& text : texts) {
            for (char16_t unit : std::u16string(1, static_cast<char16_t>(text.size())) + text) {
                bytes += static_cast<char>(unit & 0xFF);
                bytes += static_cast<char>(unit >> 8);
            }
        }
    }
    m.Blocks = blocks;
    return *blocks;
}

// Every resource of the type that the module holds: its own table, the added nodes and, for
// string tables, the blocks made from its entries.
std::vector<InProcResource> ResourcesOfType(ModuleHandle module, unsigned type) {
    std::vector<InProcResource> found;
    if (module == nullptr)
        return found;
    auto& m = *static_cast<InProcModule*>(module);
    for (std::size_t i = 0; i < m.ResourceCount; ++i)
        if (m.Resources[i].Type == type)
            found.push_back(m.Resources[i]);
    for (const InProcResourceNode* node = m.Added; node != nullptr; node = node->Next)
        if (node->Resource.Type == type)
            found.push_back(node->Resource);
    if (type == ResourceTypeString && m.StringCount > 0)
        for (const auto& [number, bytes] : StringBlocks(m).Bytes)
            found.push_back({nullptr, bytes.data(), bytes.size(), type, number, DefaultResourceLanguage});
    return found;
}

std::string UpperName(const char* name) {
    std::string upper = name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The order of a resource directory: names first, in ascending order as the resource compiler
// stores them (in capitals), then numbers.
bool DirectoryOrder(const InProcResource& a, const InProcResource& b) {
    if ((a.Name == nullptr) != (b.Name == nullptr))
        return a.Name != nullptr;
    if (a.Name != nullptr)
        return UpperName(a.Name) < UpperName(b.Name);
    return a.Id < b.Id;
}

bool SameName(const InProcResource& a, const InProcResource& b) {
    return !DirectoryOrder(a, b) && !DirectoryOrder(b, a);
}

} // namespace

bool FindRCData(ModuleHandle module, const std::string& name, const void*& data, std::size_t& size) {
    for (const InProcResource& resource : ResourcesOfType(module, ResourceTypeRCData)) {
        if (resource.Name != nullptr && ::strcasecmp(resource.Name, name.c_str()) == 0) {
            data = resource.Data;
            size = resource.Size;
            return true;
        }
    }
    return false;
}

bool ForEachResourceName(ModuleHandle module, unsigned type,
                         const std::function<bool(const ResourceName& name)>& callback) {
    std::vector<InProcResource> resources = ResourcesOfType(module, type);
    if (resources.empty()) {
        lastError = ENODATA;
        return false;
    }
    std::stable_sort(resources.begin(), resources.end(), DirectoryOrder);
    resources.erase(std::unique(resources.begin(), resources.end(), SameName), resources.end());
    for (const InProcResource& resource : resources) {
        ResourceName name;
        if (resource.Name != nullptr)
            name.Text = resource.Name;
        else
            name.Id = resource.Id;
        if (!callback(name))
            break;
    }
    return true;
}

bool ForEachResourceLanguage(ModuleHandle module, unsigned type, unsigned id,
                             const std::function<bool(std::uint16_t language)>& callback) {
    std::vector<std::uint16_t> languages;
    for (const InProcResource& resource : ResourcesOfType(module, type))
        if (resource.Name == nullptr && resource.Id == id)
            languages.push_back(resource.Language);
    if (languages.empty()) {
        lastError = ENODATA;
        return false;
    }
    std::sort(languages.begin(), languages.end());
    languages.erase(std::unique(languages.begin(), languages.end()), languages.end());
    for (std::uint16_t language : languages)
        if (!callback(language))
            break;
    return true;
}

bool FindResourceBytes(ModuleHandle module, unsigned type, unsigned id, std::uint16_t language,
                       const void*& data, std::size_t& size) {
    for (const InProcResource& resource : ResourcesOfType(module, type)) {
        if (resource.Name == nullptr && resource.Id == id && resource.Language == language) {
            data = resource.Data;
            size = resource.Size;
            return true;
        }
    }
    lastError = ENODATA;
    return false;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        lastError = static_cast<std::uint32_t>(errno);
        return false;
    }
    return true;
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

std::string ProgramPath() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            lastError = static_cast<std::uint32_t>(errno);
            return {};
        }
        // readlink does not say whether it cut the path short: a full buffer may have.
        if (static_cast<std::size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<FindEntry> FindFiles(const std::string& pattern) {
    std::vector<FindEntry> entries;
    std::size_t nameStart = pattern.rfind('/') + 1; // 0 when there is no folder part
    if (pattern.compare(nameStart, std::string::npos, "*") != 0) {
        lastError = EINVAL;
        return entries;
    }
    std::string folder = nameStart == 0 ? std::string(".") : pattern.substr(0, nameStart);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        lastError = static_cast<std::uint32_t>(errno);
        return entries;
    }
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        bool directory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            // The type is not in the entry, or it is a link: ask for what it names.
            struct stat st {};
            directory = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        bool hidden = name[0] == '.' && name != "." && name != "..";
        entries.push_back({std::move(name), directory, hidden, false});
    }
    ::closedir(dir);
    return entries;
}

namespace {

// One supported locale: identifier text as the Windows enumeration gives it, abbreviated language
// name and language name in UTF-8.
struct LocaleEntry {
    const char* Id;
    const char* AbbrevLanguage;
    const char* Language;
};

constexpr LocaleEntry kLocales[] = {
#include "LocaleTable.inc"
};

} // namespace

bool EnumSupportedLocales(const std::function<bool(const char* localeId)>& callback) {
    for (const LocaleEntry& locale : kLocales)
        if (!callback(locale.Id))
            break;
    return true;
}

std::string GetLocaleText(std::uint32_t langId, int item) {
    if (item != LocaleLanguage && item != LocaleAbbrevLanguage) {
        lastError = EINVAL;
        return {};
    }
    for (const LocaleEntry& locale : kLocales) {
        // The language identifier with the default sort order, as MAKELCID makes it.
        if (std::strtoul(locale.Id, nullptr, 16) != (langId & 0xFFFF))
            continue;
        return WideToAnsi(Utf8ToUtf16(item == LocaleLanguage ? locale.Language : locale.AbbrevLanguage));
    }
    lastError = ENOENT;
    return {};
}

namespace {

// The PROT_ bits of the mapping that holds address, from /proc/self/maps; 0 when it is not found.
std::uint32_t CurrentProtection(std::uintptr_t address) {
    std::FILE* maps = std::fopen("/proc/self/maps", "r");
    if (maps == nullptr)
        return 0;
    std::uint32_t protection = 0;
    char line[512];
    while (std::fgets(line, sizeof line, maps) != nullptr) {
        unsigned long long begin = 0;
        unsigned long long end = 0;
        char perms[5] = {};
        if (std::sscanf(line, "%llx-%llx %4s", &begin, &end, perms) != 3)
            continue;
        if (address < begin || address >= end)
            continue;
        protection = (perms[0] == 'r' ? PROT_READ : 0) | (perms[1] == 'w' ? PROT_WRITE : 0) |
                     (perms[2] == 'x' ? PROT_EXEC : 0);
        break;
    }
    std::fclose(maps);
    return protection;
}

} // namespace

bool OpenCodeForWriting(void* address, std::size_t size, std::uint32_t& previous) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(address) & ~(page - 1);
    const auto last = reinterpret_cast<std::uintptr_t>(address) + size;
    const std::uint32_t old = CurrentProtection(reinterpret_cast<std::uintptr_t>(address));
    if (::mprotect(reinterpret_cast<void*>(first), last - first, PROT_READ | PROT_WRITE | PROT_EXEC) != 0) {
        lastError = static_cast<std::uint32_t>(errno);
        return false;
    }
    previous = old;
    return true;
}

void SetBinaryStdio() {}

} // namespace os
