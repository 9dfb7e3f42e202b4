// Writes the resource-string template of a module whose one string-table block holds arbitrary
// bytes: the first two give the block's number (1 to 65535), the rest are the block.
//
// Refusals must be our own exceptions; anything else (a crash, a sanitizer report, a read past the
// block's end, a foreign exception) is a finding, and so is a broken invariant (a trap):
// - the only refusal is the short block's EReadError;
// - what was written reads back as a template, with at most 16 records, each a non-empty text under
//   an identifier of this block, in ascending order.
#include "Exceptions.h"
#include "InProcModule.h"
#include "SaveResourceStrings.h"
#include "TemplateFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const unsigned block = 1 + (data[0] | data[1] << 8) % 65535u;
    const os::InProcResource table{nullptr, data + 2, size - 2, os::ResourceTypeString, block};
    os::InProcModule module{nullptr, 0, &table, 1};
    TMemoryStream stream;
    try {
        WriteResourceStrings(stream, &module);
    } catch (const EReadError& e) {
        Require(e.Message().starts_with("String table block " + std::to_string(block) +
                                        ", language 1033: entry "));
    }
    const std::vector<char>& bytes = stream.Bytes();
    std::vector<TStringTemplateRecord> records =
        ReadStringTemplate(std::string_view(bytes.data(), bytes.size()));
    Require(records.size() <= 16);
    const std::uint32_t first = (block - 1) * 16;
    for (std::size_t i = 0; i < records.size(); ++i) {
        Require(records[i].Identifier >= first && records[i].Identifier < first + 16);
        Require(i == 0 || records[i].Identifier > records[i - 1].Identifier);
        Require(!records[i].Text.empty());
    }
    return 0;
}
