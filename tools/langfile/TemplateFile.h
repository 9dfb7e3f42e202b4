// The reader of the two translation templates that the program writes in extraction mode: the
// form-string template (".lrc": form key TAB path TAB byte count TAB text CR LF, 8-bit) and the
// resource-string template (".lrs": identifier TAB unit count TAB text CR LF, UTF-16
// little-endian). A record's text is taken by its count, never by looking for a line end.
#pragma once

#include "Exceptions.h"
#include "RtlStrings.h"

#include <cstdint>
#include <string_view>
#include <vector>

// A template that is truncated or malformed; Offset is that of the record, in bytes from the start
// of the file.
class ETemplateError : public Exception {
public:
    ETemplateError(std::size_t offset, std::string_view what);
    std::size_t Offset() const { return offset_; }
    const char* ClassName() const override { return "ETemplateError"; }

private:
    std::size_t offset_;
};

struct TFormTemplateRecord {
    std::size_t Offset;
    AnsiString FormKey;
    AnsiString Path;
    AnsiString Text;
};

struct TStringTemplateRecord {
    std::size_t Offset;
    std::uint32_t Identifier;
    WideString Text;
};

// Every record of a template, in file order; an empty template has none. The form key and the path
// hold no TAB, CR or LF; the counts are decimal digits without sign or padding.
std::vector<TFormTemplateRecord> ReadFormTemplate(std::string_view bytes);
std::vector<TStringTemplateRecord> ReadStringTemplate(std::string_view bytes);
