// Memory for code that a test builds itself: a writable and executable block, and a read-only one
// whose access cannot be opened for writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

// A block of memory that can be written and run, released with the object.
class ExecutableBlock {
public:
    explicit ExecutableBlock(std::size_t size) : size_(size) {
#ifdef _WIN32
        data_ = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
#else
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        data_ = p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
#endif
        if (data_ == nullptr)
            throw std::runtime_error("no executable memory");
        for (std::size_t i = 0; i < size; ++i)
            data_[i] = 0xCC; // int3: running into unwritten code stops at once
    }
    ~ExecutableBlock() {
#ifdef _WIN32
        VirtualFree(data_, 0, MEM_RELEASE);
#else
        munmap(data_, size_);
#endif
    }
    ExecutableBlock(const ExecutableBlock&) = delete;
    ExecutableBlock& operator=(const ExecutableBlock&) = delete;

    std::uint8_t* At(std::size_t offset) const {
        return data_ + offset;
    }

    // "mov eax, value; ret" at offset: a routine returning value.
    void* Returning(std::size_t offset, std::int32_t value) const {
        std::uint8_t* p = At(offset);
        p[0] = 0xB8;
        for (int i = 0; i < 4; ++i)
            p[1 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
        p[5] = 0xC3;
        return p;
    }

private:
    std::size_t size_;
    std::uint8_t* data_ = nullptr;
};

// A view of a file mapped for reading only: its access cannot be opened for writing.
class ReadOnlyView {
public:
    explicit ReadOnlyView(const std::filesystem::path& path) {
        std::ofstream(path, std::ios::binary) << std::string(4096, '\x90');
#ifdef _WIN32
        file_ = CreateFileA(path.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
        mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        data_ = mapping_ != nullptr ? MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0) : nullptr;
#else
        fd_ = open(path.c_str(), O_RDONLY);
        void* p = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd_, 0);
        data_ = p == MAP_FAILED ? nullptr : p;
#endif
        if (data_ == nullptr)
            throw std::runtime_error("no read-only view");
    }
    ~ReadOnlyView() {
#ifdef _WIN32
        UnmapViewOfFile(data_);
        CloseHandle(mapping_);
        CloseHandle(file_);
#else
        munmap(data_, 4096);
        close(fd_);
#endif
    }
    ReadOnlyView(const ReadOnlyView&) = delete;
    ReadOnlyView& operator=(const ReadOnlyView&) = delete;

    void* Data() const {
        return data_;
    }

private:
#ifdef _WIN32
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
#else
    int fd_ = -1;
#endif
    void* data_ = nullptr;
};
