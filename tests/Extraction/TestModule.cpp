#include "TestModule.h"

#include "RtlStrings.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

TestModule::~TestModule() {
    if (module_ != nullptr)
        FreeLibrary(static_cast<HMODULE>(module_));
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

os::ModuleHandle TestModule::Handle() {
    std::filesystem::copy_file(os::ProgramPath(), path_, std::filesystem::copy_options::overwrite_existing);
    HANDLE update = BeginUpdateResourceA(path_.c_str(), TRUE);
    if (update == nullptr)
        throw std::runtime_error("BeginUpdateResource failed");
    for (Resource& r : resources_) {
        LPCSTR name = r.Name.empty() ? MAKEINTRESOURCEA(r.Id) : r.Name.c_str();
        if (!UpdateResourceA(update, MAKEINTRESOURCEA(r.Type), name, r.Language, r.Bytes.data(),
                             static_cast<DWORD>(r.Bytes.size())))
            throw std::runtime_error("UpdateResource failed");
    }
    if (!EndUpdateResourceA(update, FALSE))
        throw std::runtime_error("EndUpdateResource failed");
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module_ == nullptr)
        throw std::runtime_error("LoadLibraryEx failed");
    return module_;
}
#else
TestModule::~TestModule() = default;

os::ModuleHandle TestModule::Handle() {
    for (const Resource& r : resources_)
        table_.push_back({r.Name.empty() ? nullptr : r.Name.c_str(), r.Bytes.data(), r.Bytes.size(), r.Type,
                          r.Id, r.Language});
    module_.Resources = table_.data();
    module_.ResourceCount = table_.size();
    return &module_;
}
#endif

std::string FormBytes(const std::function<void(TFormWriter& writer)>& write) {
    TMemoryStream stream;
    TFormWriter writer(stream);
    write(writer);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

std::string SimpleForm(std::string_view className, std::string_view objectName,
                       std::initializer_list<std::pair<std::string_view, std::string_view>> texts) {
    return FormBytes([&](TFormWriter& w) {
        w.WriteSignature();
        w.WriteObjectHeader({}, className, objectName);
        for (const auto& [name, text] : texts) {
            w.WriteStr(name);
            w.WriteString(text);
        }
        w.WriteListEnd();
        w.WriteListEnd();
    });
}

std::string StringBlock(std::initializer_list<std::pair<int, std::u16string>> entries) {
    std::u16string texts[16];
    for (const auto& [k, text] : entries)
        texts[k] = text;
    std::string bytes;
    for (const std::u16string& text : texts)
        bytes += Utf16Bytes(std::u16string(1, static_cast<char16_t>(text.size())) + text);
    return bytes;
}

std::string Utf16Bytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string Ansi(std::string_view utf8) {
    return rtl::WideToAnsi(rtl::Utf8ToWide(utf8));
}

std::string FileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
