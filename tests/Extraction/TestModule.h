// Modules that a test fills with resources of its own making: forms written with the form writer,
// string-table blocks byte by byte, anything damaged. Natively an in-memory module; on Windows a
// copy of this test program whose resources are replaced by these (UpdateResource), loaded as a
// data file, so that the system's own resource functions read them. A resource needs at least one
// byte there: UpdateResource takes none for a deletion.
#pragma once

#include "FormStream.h"
#include "Os.h"

#include <cerrno>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include "InProcModule.h"
#endif

class TestModule {
public:
    explicit TestModule(std::string path) : path_(std::move(path)) {}
    ~TestModule();
    TestModule(const TestModule&) = delete;
    TestModule& operator=(const TestModule&) = delete;

    void AddRCData(const std::string& name, std::string bytes) {
        resources_.push_back({name, os::ResourceTypeRCData, 0, kEnglish, std::move(bytes)});
    }
    void AddRCData(unsigned id, std::string bytes) {
        resources_.push_back({"", os::ResourceTypeRCData, id, kEnglish, std::move(bytes)});
    }
    void AddStringBlock(unsigned block, std::uint16_t language, std::string bytes) {
        resources_.push_back({"", os::ResourceTypeString, block, language, std::move(bytes)});
    }

    // The module with the resources added so far; call once, after the last of them.
    os::ModuleHandle Handle();

    static constexpr std::uint16_t kEnglish = 0x409;
    static constexpr std::uint16_t kRussian = 0x419;

private:
    struct Resource {
        std::string Name; // empty for a numbered resource
        unsigned Type;
        unsigned Id;
        std::uint16_t Language;
        std::string Bytes;
    };

    std::string path_; // where the Windows build writes the module's file
    std::vector<Resource> resources_;
#ifdef _WIN32
    void* module_ = nullptr;
#else
    std::vector<os::InProcResource> table_;
    os::InProcModule module_{nullptr, 0};
#endif
};

// The error of an enumeration of a resource type that a module does not hold.
#ifdef _WIN32
constexpr std::uint32_t kNoResourceOfTheType = 1813; // ERROR_RESOURCE_TYPE_NOT_FOUND
#else
constexpr std::uint32_t kNoResourceOfTheType = ENODATA;
#endif

// The bytes that write gives a form writer.
std::string FormBytes(const std::function<void(TFormWriter& writer)>& write);
// A form of one object record with short-string properties (name, text) and no children.
std::string SimpleForm(std::string_view className, std::string_view objectName,
                       std::initializer_list<std::pair<std::string_view, std::string_view>> texts);

// The bytes of a string-table block: 16 entries, those not given empty.
std::string StringBlock(std::initializer_list<std::pair<int, std::u16string>> entries);

// UTF-16 little-endian bytes of a text, as the resource-string template holds them.
std::string Utf16Bytes(std::u16string_view text);

// A UTF-8 text of the sources in the ANSI code page.
std::string Ansi(std::string_view utf8);

// The whole content of a file.
std::string FileContent(const std::string& path);
