// Reads arbitrary bytes as form data onto a form of the test components' class chain: half of the
// inputs onto a fresh form, half onto a form that its compiled resources have built already, where
// inherited records find their components. The first byte chooses; the rest is the form data.
//
// Refusals must be our own exceptions; anything else (a crash, a sanitizer report, a foreign
// exception) is a finding, and so is a broken invariant (a trap): after a failure the form owns
// exactly the components it owned before the read, and every component of the form is found by its
// own name.
#include "Exceptions.h"
#include "FormLoader.h"
#include "TestComponents.h"

#include <cstddef>
#include <cstdint>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

void RequireNamesIndexed(const TComponent& root) {
    for (int i = 0; i < root.ComponentCount(); ++i) {
        const TComponent* component = root.Components(i);
        if (!component->Name().empty())
            Require(root.FindComponent(component->Name()) == component);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    TMainForm form(nullptr);
    if (data[0] & 1)
        Require(LoadFormFromResources(form, HInstance));
    const int before = form.ComponentCount();
    TCustomMemoryStream stream(data + 1, static_cast<std::int64_t>(size - 1));
    try {
        ReadForm(form, stream);
    } catch (const Exception&) {
        Require(form.ComponentCount() == before);
    }
    RequireNamesIndexed(form);
    return 0;
}
