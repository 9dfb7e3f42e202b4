// The form compiler: a text form definition (docs/form-definitions.md) to the binary form format.
#pragma once

#include "Exceptions.h"

#include <string>
#include <string_view>

namespace formc {

struct Options {
    // Texts with characters beyond ASCII as UTF-8 strings (kind 20) instead of wide strings (18).
    bool Utf8Strings = false;
};

// A fault of the definition. The message reads "FILE:LINE:COLUMN: error: WHAT"; line and column
// count from 1, the column in bytes.
class EFormSyntaxError : public Exception {
public:
    EFormSyntaxError(const std::string& fileName, int line, int column, std::string_view what);
    int Line() const { return line_; }
    int Column() const { return column_; }
    const char* ClassName() const override { return "EFormSyntaxError"; }

private:
    int line_;
    int column_;
};

struct CompiledForm {
    std::string ClassName; // of the root object
    std::string Bytes;     // the binary form
};

// Compiles a definition (UTF-8 text); fileName is used in messages only.
CompiledForm CompileForm(std::string_view source, const std::string& fileName, const Options& options);

// The name of a form's resource: the class name of its root object in capitals.
std::string ResourceName(const CompiledForm& form);

} // namespace formc
