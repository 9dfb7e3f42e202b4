// Language files made up for the benchmarks: String and Property entries with ASCII and Cyrillic
// (UTF-8) texts, entity references and %-escapes, in the layout that the localiser reads.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

// About targetBytes: String entries with identifiers 1, 2, ... for the first half, then Property
// entries spread over 50 forms, one after another.
std::string MakeLanguageFile(std::size_t targetBytes);

enum class IdOrder { Ascending, Descending, Random };
enum class FormLayout { Grouped, Scattered };

const char* Name(IdOrder order);
const char* Name(FormLayout layout);

struct LangFileShape {
    int strings = 0;    // String entries with the identifiers 1 to strings, in `order`
    int properties = 0; // Property entries, over `forms` forms
    int forms = 1;
    IdOrder order = IdOrder::Ascending;
    // Grouped: each form's entries stand together; Scattered: consecutive entries name different forms.
    FormLayout layout = FormLayout::Grouped;
};

// The same is always made of the same shape (a random order comes from a fixed seed).
std::string MakeLanguageFile(const LangFileShape& shape);

} // namespace bench
