// A code patch: the entry of a routine overwritten with a relative jump to another routine, so that
// every call of the first lands in the second. Made once, switched on and off any number of times.
#pragma once

#include "Exceptions.h"

#include <cstdint>

// A patch whose jump cannot reach its target.
QRL_EXCEPTION_CLASS(EsxProcHookError, Exception);

class TProcHook {
public:
    // Stores the two routines and prepares the patch (Prepare); the routine's code is not changed.
    TProcHook(void* OldProc, void* NewProc, bool FollowJump);
    // Release, when the patch is prepared.
    ~TProcHook();
    TProcHook(const TProcHook&) = delete;
    TProcHook& operator=(const TProcHook&) = delete;

    // Works out where the jump goes (OldProc, or with FollowJump the target of an indirect-jump stub
    // "FF 25 disp32" standing there: the 64-bit address held in the cell at the end of the six-byte
    // instruction plus disp32), builds the jump E9 + 32-bit displacement, saves the five bytes that
    // stand there and opens them for writing. A target out of the reach of a 32-bit displacement
    // raises EsxProcHookError before anything is written; a failed change of access raises EOSError
    // and nothing is written either.
    void Prepare(bool FollowJump);
    // Writes the jump. Asserts that the patch is prepared.
    void Enable();
    // Writes the saved bytes back. Asserts that the patch is prepared.
    void Disable();
    // Disable, then forgets the patch position.
    void Release();

    void* OldProc() const { return oldProc_; }
    void* NewProc() const { return newProc_; }
    std::uint8_t* PatchPosition() const { return patchPosition_; }
    const std::uint8_t* PatchBytes() const { return patchBytes_; }
    const std::uint8_t* SavedBytes() const { return savedBytes_; }
    std::uint32_t OldProtect() const { return oldProtect_; }

private:
    void Write(const std::uint8_t* bytes);

    void* oldProc_;
    void* newProc_;
    std::uint32_t oldProtect_ = 0;
    std::uint8_t patchBytes_[5] = {};
    std::uint8_t savedBytes_[5] = {};
    std::uint8_t* patchPosition_ = nullptr;
};
