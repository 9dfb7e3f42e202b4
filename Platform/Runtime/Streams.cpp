#include "Streams.h"

#include "Exceptions.h"
#include "ResStrings.h"

#include <algorithm>
#include <cstring>

std::int64_t TStream::Size() {
    std::int64_t position = Position();
    std::int64_t size = Seek(0, os::SeekOrigin::End);
    SetPosition(position);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError(SWriteError);
}

// ---- TFileStream -----------------------------------------------------------------------------------

TFileStream::TFileStream(const AnsiString& fileName, os::FileMode mode)
    : fileName_(fileName), handle_(os::OpenFile(fileName, mode)) {
    if (handle_ != os::InvalidFile)
        return;
    AnsiString reason = os::SysErrorMessage(os::LastError());
    if (mode == os::FileMode::Create)
        throw EFCreateError(SFCreateError, {fileName, reason});
    throw EFOpenError(SFOpenError, {fileName, reason});
}

TFileStream::~TFileStream() {
    os::CloseFile(handle_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    std::int64_t n = os::ReadFile(handle_, buffer, count);
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    std::int64_t n = os::WriteFile(handle_, buffer, count);
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Seek(std::int64_t offset, os::SeekOrigin origin) {
    return os::SeekFile(handle_, offset, origin);
}

// ---- Memory streams ---------------------------------------------------------------------------------

namespace {
std::int64_t NewPosition(std::int64_t current, std::int64_t size, std::int64_t offset,
                         os::SeekOrigin origin) {
    std::int64_t base = origin == os::SeekOrigin::Begin     ? 0
                        : origin == os::SeekOrigin::Current ? current
                                                            : size;
    return std::max<std::int64_t>(0, base + offset);
}
} // namespace

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
    std::int64_t n = std::clamp<std::int64_t>(size_ - position_, 0, std::max<std::int64_t>(count, 0));
    if (n > 0)
        std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TCustomMemoryStream::Write(const void*, std::int64_t) {
    return 0;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, os::SeekOrigin origin) {
    position_ = NewPosition(position_, size_, offset, origin);
    return position_;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    auto size = static_cast<std::int64_t>(bytes_.size());
    std::int64_t n = std::clamp<std::int64_t>(size - position_, 0, std::max<std::int64_t>(count, 0));
    if (n > 0)
        std::memcpy(buffer, bytes_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0)
        return 0;
    auto end = static_cast<std::size_t>(position_ + count);
    if (end > bytes_.size())
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, os::SeekOrigin origin) {
    position_ = NewPosition(position_, static_cast<std::int64_t>(bytes_.size()), offset, origin);
    return position_;
}

// ---- TResourceStream --------------------------------------------------------------------------------

TResourceStream::TResourceStream(os::ModuleHandle module, const AnsiString& resourceName)
    : TCustomMemoryStream(nullptr, 0) {
    const void* data = nullptr;
    std::size_t size = 0;
    if (!os::FindRCData(module, resourceName, data, size))
        throw EResNotFound(SResNotFound, {resourceName});
    SetBlock(static_cast<const char*>(data), static_cast<std::int64_t>(size));
}

namespace rtl {

std::vector<char> ReadWholeFile(const AnsiString& fileName, std::size_t spare) {
    TFileStream file(fileName, os::FileMode::ReadDenyWrite);
    const auto size = static_cast<std::size_t>(file.Size());
    std::vector<char> bytes;
    bytes.reserve(size + spare);
    bytes.resize(size);
    file.ReadBuffer(bytes.data(), static_cast<std::int64_t>(size));
    return bytes;
}

} // namespace rtl
