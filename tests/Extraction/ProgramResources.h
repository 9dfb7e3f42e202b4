// What the test program's own module holds (StringTables.rc and the forms of forms/; natively the
// same resources in its in-memory module) and the templates that it must give, byte for byte.
#pragma once

#include <string>

// The form-string template of the program's forms, in the ANSI code page.
std::string ExpectedFormTemplate();
// The resource-string template of the program's string tables: the test's own blocks and the
// program's resource-string table, in UTF-16 little-endian.
std::string ExpectedStringTemplate();
