#include "ProcHook.h"

#include "Assert.h"
#include "Os.h"
#include "ResStrings.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint8_t kRelativeJump = 0xE9;

AnsiString Address(const void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

} // namespace

TProcHook::TProcHook(void* OldProc, void* NewProc, bool FollowJump) : oldProc_(OldProc), newProc_(NewProc) {
    Prepare(FollowJump);
}

TProcHook::~TProcHook() {
    if (patchPosition_ != nullptr)
        Release();
}

void TProcHook::Prepare(bool FollowJump) {
    if (patchPosition_ != nullptr)
        Release();
    auto* position = static_cast<std::uint8_t*>(oldProc_);
    // An indirect jump through a memory cell, the form of an import stub: on x86-64 the cell lies
    // at the end of the six-byte instruction plus the signed 32-bit displacement, and holds a 64-bit
    // address.
    if (FollowJump && position[0] == 0xFF && position[1] == 0x25) {
        std::int32_t cellOffset;
        std::memcpy(&cellOffset, position + 2, sizeof cellOffset);
        const std::uint8_t* cell = position + 6 + cellOffset;
        std::memcpy(&position, cell, sizeof position);
    }
    const auto distance =
        reinterpret_cast<std::intptr_t>(newProc_) - reinterpret_cast<std::intptr_t>(position) - 5;
    if (distance < INT32_MIN || distance > INT32_MAX)
        throw EsxProcHookError(SPatchOutOfReach, {Address(position), Address(newProc_)});
    const auto displacement = static_cast<std::int32_t>(distance);
    std::uint8_t jump[5] = {kRelativeJump};
    std::memcpy(jump + 1, &displacement, sizeof displacement); // x86 is little-endian
    std::uint8_t saved[5];
    std::memcpy(saved, position, sizeof saved);
    std::uint32_t previous = 0;
    if (!os::OpenCodeForWriting(position, sizeof saved, previous))
        rtl::RaiseLastOSError();
    std::memcpy(patchBytes_, jump, sizeof jump);
    std::memcpy(savedBytes_, saved, sizeof saved);
    oldProtect_ = previous;
    patchPosition_ = position;
}

void TProcHook::Write(const std::uint8_t* bytes) {
    volatile std::uint8_t* target = patchPosition_;
    for (int i = 0; i < 5; ++i)
        target[i] = bytes[i];
}

void TProcHook::Disable() {
    rtl::Assert(patchPosition_ != nullptr, "Patch position in THook was nil when Disable was called");
    Write(savedBytes_);
}

void TProcHook::Enable() {
    rtl::Assert(patchPosition_ != nullptr, "Patch position in THook was nil when Enable was called");
    Write(patchBytes_);
}

void TProcHook::Release() {
    Disable();
    patchPosition_ = nullptr;
}
