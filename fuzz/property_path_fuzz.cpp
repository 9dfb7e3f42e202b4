// Writes a text along an arbitrary property path into a form built from the test components'
// compiled resources: the input is the path, a zero byte, and the text (the whole input is the
// path when it holds no zero byte). The form is built once and kept, so every input also starts
// from what the ones before wrote.
//
// Refusals must be our own exceptions; anything else (a crash, a sanitizer report, a foreign
// exception) is a finding, and so is a broken invariant (a trap): the form keeps its components,
// each found by its own name, and the memo its two lines.
#include "Exceptions.h"
#include "FormLoader.h"
#include "TestComponents.h"
#include "sxPropertyPath.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

TMainForm& Form() {
    static const std::unique_ptr<TMainForm> form = [] {
        auto made = std::make_unique<TMainForm>(nullptr);
        Require(LoadFormFromResources(*made, HInstance));
        return made;
    }();
    return *form;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMainForm& form = Form();
    const int components = form.ComponentCount();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string_view path = input.substr(0, zero);
    const AnsiString text(zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1));
    try {
        SetPropertyText(&form, path, text);
    } catch (const Exception&) {
        // A path or text that the form refuses.
    }
    Require(form.ComponentCount() == components);
    for (int i = 0; i < components; ++i) {
        const TComponent* component = form.Components(i);
        Require(component->Name().empty() || form.FindComponent(component->Name()) == component);
    }
    const TComponent* notes = form.FindComponent("Notes");
    Require(notes == nullptr || !notes->InheritsFrom(TTestMemo::ClassInfo) ||
            static_cast<const TTestMemo*>(notes)->Lines()->Count() == 2);
    return 0;
}
