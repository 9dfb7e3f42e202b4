// A program that ends with the resource-string redirection on and loads a resource string after the
// program-wide localiser has been freed. It prints what the loader answered at both moments.
//   exit_probe LANGUAGE_FILE
#include "sxLocalizer.h"

#include "Exceptions.h"
#include "Os.h"
#include "ResStrings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <cstdlib>

#if defined(__GNUC__)
// Runs before the program's static objects are made.
#define QRL_BEFORE_STATIC_INITIALISATION __attribute__((constructor(101)))
#else
#error "this test needs a routine that runs before the static objects are made"
#endif

namespace {

void Print(const std::string& line) {
    const std::string utf8 = rtl::WideToUtf8(rtl::AnsiToWide(line)) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

bool PatchOn() {
    const TProcHook* hook = ResStringHook();
    return hook != nullptr && hook->PatchPosition() != nullptr &&
           std::memcmp(hook->PatchPosition(), hook->PatchBytes(), 5) == 0;
}

void AfterTheProgramObjects() {
    Print(std::string("at the end: localiser ") + (Localizer() == nullptr ? "gone" : "still there") +
          ", patch " + (PatchOn() ? "on" : "off") + ": " + ResStr(SFileNotFound));
}

// Exit handlers run in the reverse order of their registration, and the destructor of every static
// object is registered when the object has been made: registered before all of them, this check
// runs after the program-wide objects are gone.
QRL_BEFORE_STATIC_INITIALISATION void RegisterTheCheckAtTheEnd() {
    std::atexit(AfterTheProgramObjects);
}

} // namespace

int main(int argc, char** argv) {
    os::SetBinaryStdio();
    if (argc != 2)
        return 2;
    Localizer()->LoadFromFile(argv[1]);
    Localizer()->Activate();
    Print(std::string("while active: patch ") + (PatchOn() ? "on" : "off") + ": " + ResStr(SFileNotFound));
    return 0;
}
