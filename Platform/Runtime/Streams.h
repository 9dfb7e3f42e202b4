// Byte streams: files, memory and a module's resources.
#pragma once

#include "Os.h"
#include "RtlStrings.h"

#include <cstdint>
#include <vector>

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Up to count bytes; the number moved (0 at the end of the stream).
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // The new position.
    virtual std::int64_t Seek(std::int64_t offset, os::SeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, os::SeekOrigin::Current); }
    void SetPosition(std::int64_t position) { Seek(position, os::SeekOrigin::Begin); }
    std::int64_t Size();

    // Exactly count bytes, or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
};

// A file. Create replaces an existing file; ReadDenyWrite opens an existing file for reading and,
// on Windows, keeps others from writing it while it is open. Failure raises EFCreateError or
// EFOpenError, naming the file and the system's reason.
class TFileStream : public TStream {
public:
    TFileStream(const AnsiString& fileName, os::FileMode mode);
    ~TFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, os::SeekOrigin origin) override;

    const AnsiString& FileName() const { return fileName_; }

private:
    AnsiString fileName_;
    os::FileHandle handle_;
};

// Reads a block of memory that the stream does not own.
class TCustomMemoryStream : public TStream {
public:
    TCustomMemoryStream(const void* data, std::int64_t size)
        : data_(static_cast<const char*>(data)), size_(size) {}

    std::int64_t Read(void* buffer, std::int64_t count) override;
    // The block is read-only: writing moves nothing.
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, os::SeekOrigin origin) override;

    const char* Memory() const { return data_; }

protected:
    void SetBlock(const char* data, std::int64_t size) {
        data_ = data;
        size_ = size;
    }

private:
    const char* data_;
    std::int64_t size_;
    std::int64_t position_ = 0;
};

// A growable block of memory owned by the stream.
class TMemoryStream : public TStream {
public:
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, os::SeekOrigin origin) override;

    const std::vector<char>& Bytes() const { return bytes_; }

private:
    std::vector<char> bytes_;
    std::int64_t position_ = 0;
};

// Reads an RCDATA resource of a module; EResNotFound "Resource %s not found" when there is none.
class TResourceStream : public TCustomMemoryStream {
public:
    TResourceStream(os::ModuleHandle module, const AnsiString& resourceName);
};

namespace rtl {
// The whole content of a file, read through a TFileStream opened for reading, in a vector with room
// for spare more bytes (so that a reader can append an end marker without growing it).
std::vector<char> ReadWholeFile(const AnsiString& fileName, std::size_t spare = 0);
} // namespace rtl
