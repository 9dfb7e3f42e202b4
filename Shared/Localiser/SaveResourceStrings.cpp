#include "SaveResourceStrings.h"

#include "Exceptions.h"
#include "ResStrings.h"

#include <string>

namespace {

constexpr int kEntriesPerBlock = 16;

[[noreturn]] void RaiseEnumerationError() {
    std::uint32_t code = os::LastError();
    throw EOSError(code, rtl::Format(ResStr(SResourceEnumError), {code, os::SysErrorMessage(code)}));
}

void AppendUnit(std::string& bytes, char16_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
}

void AppendNumber(std::string& bytes, std::uint32_t number) {
    for (char digit : std::to_string(number))
        AppendUnit(bytes, static_cast<char16_t>(digit));
}

// The records of one block in one language.
void WriteBlock(TStream& stream, os::ModuleHandle module, unsigned block, std::uint16_t language) {
    const void* data = nullptr;
    std::size_t size = 0;
    if (!os::FindResourceBytes(module, os::ResourceTypeString, block, language, data, size))
        return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t pos = 0;
    for (int k = 0; k < kEntriesPerBlock; ++k) {
        auto truncated = [&] {
            return EReadError(SStringBlockTruncated, {block, static_cast<unsigned>(language), k, size});
        };
        if (size - pos < 2)
            throw truncated();
        std::size_t count = bytes[pos] | bytes[pos + 1] << 8;
        pos += 2;
        if (count == 0)
            continue;
        if ((size - pos) / 2 < count)
            throw truncated();
        std::string record;
        AppendNumber(record, (block - 1) * kEntriesPerBlock + static_cast<unsigned>(k));
        AppendUnit(record, u'\t');
        AppendNumber(record, static_cast<std::uint32_t>(count));
        AppendUnit(record, u'\t');
        record.append(reinterpret_cast<const char*>(bytes + pos), 2 * count);
        AppendUnit(record, u'\r');
        AppendUnit(record, u'\n');
        pos += 2 * count;
        stream.WriteBuffer(record.data(), static_cast<std::int64_t>(record.size()));
    }
}

} // namespace

void WriteResourceStrings(TStream& stream, os::ModuleHandle module) {
    bool enumerated =
        os::ForEachResourceName(module, os::ResourceTypeString, [&](const os::ResourceName& name) {
            if (name.Id == 0)
                return true;
            if (!os::ForEachResourceLanguage(module, os::ResourceTypeString, name.Id,
                                             [&](std::uint16_t language) {
                                                 WriteBlock(stream, module, name.Id, language);
                                                 return true;
                                             }))
                RaiseEnumerationError();
            return true;
        });
    if (!enumerated)
        RaiseEnumerationError();
}

void ExtractResourceStrings(const AnsiString& fileName, os::ModuleHandle module) {
    // A file of that name is deleted first, so that the template never carries anything of it; the
    // creation below reports what stands in the way.
    if (os::FileExists(fileName))
        os::RemoveFile(fileName);
    TFileStream stream(fileName, os::FileMode::Create);
    WriteResourceStrings(stream, module);
}
