// The code patch, on routines that the tests build in executable memory and on compiled routines.
#include "ProcHook.h"

#include "CodeMemory.h"
#include "Exceptions.h"
#include "TempDirTest.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using Routine = std::int32_t (*)();

std::int32_t Call(void* routine) {
    return reinterpret_cast<Routine>(routine)();
}

std::array<std::uint8_t, 5> BytesAt(const void* p) {
    std::array<std::uint8_t, 5> bytes;
    std::memcpy(bytes.data(), p, bytes.size());
    return bytes;
}

std::array<std::uint8_t, 5> JumpFrom(const void* position, const void* target) {
    const auto displacement = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(target) -
                                                        reinterpret_cast<std::intptr_t>(position) - 5);
    std::array<std::uint8_t, 5> bytes{0xE9};
    std::memcpy(bytes.data() + 1, &displacement, 4);
    return bytes;
}

class ProcHookTest : public ::testing::Test {
protected:
    ExecutableBlock block{4096};
    void* original = block.Returning(128, 1);
    void* replacement = block.Returning(1024, 2);
};

TEST_F(ProcHookTest, CreatingLeavesTheCodeAsItWas) {
    const auto before = BytesAt(original);
    TProcHook hook(original, replacement, false);
    EXPECT_EQ(BytesAt(original), before);
    EXPECT_EQ(hook.PatchPosition(), original);
    EXPECT_EQ(BytesAt(hook.SavedBytes()), before);
    EXPECT_EQ(Call(original), 1);
}

TEST_F(ProcHookTest, EnableJumpsAndDisableRestoresAnyNumberOfTimes) {
    const auto before = BytesAt(original);
    TProcHook hook(original, replacement, false);
    hook.Enable();
    EXPECT_EQ(BytesAt(original), JumpFrom(original, replacement));
    EXPECT_EQ(Call(original), 2);
    hook.Enable();
    EXPECT_EQ(BytesAt(original), JumpFrom(original, replacement)); // twice is the same as once
    hook.Disable();
    EXPECT_EQ(BytesAt(original), before);
    EXPECT_EQ(Call(original), 1);
    hook.Disable();
    hook.Enable();
    EXPECT_EQ(Call(original), 2);
    hook.Release();
    EXPECT_EQ(hook.PatchPosition(), nullptr);
    EXPECT_EQ(BytesAt(original), before);
}

TEST_F(ProcHookTest, DestructionRestoresTheRoutine) {
    {
        TProcHook hook(original, replacement, false);
        hook.Enable();
    }
    EXPECT_EQ(Call(original), 1);
}

TEST_F(ProcHookTest, PreparingAgainReleasesFirst) {
    TProcHook hook(original, replacement, false);
    hook.Enable();
    hook.Prepare(false);
    EXPECT_EQ(Call(original), 1); // the old patch was taken out before the bytes were saved again
    EXPECT_EQ(BytesAt(hook.SavedBytes()), BytesAt(original));
}

struct StubCase {
    const char* name;
    std::size_t stub;
    std::size_t cell;
};

class FollowJump : public ProcHookTest, public ::testing::WithParamInterface<StubCase> {};

// An import stub "jmp [rip + disp32]": the cell lies at the end of the six-byte instruction plus the
// displacement and holds the 64-bit address of the routine.
void* WriteStub(const ExecutableBlock& block, std::size_t stub, std::size_t cell, void* target) {
    std::uint8_t* p = block.At(stub);
    p[0] = 0xFF;
    p[1] = 0x25;
    const auto disp =
        static_cast<std::int32_t>(static_cast<std::int64_t>(cell) - static_cast<std::int64_t>(stub + 6));
    std::memcpy(p + 2, &disp, 4);
    std::memcpy(block.At(cell), &target, sizeof target);
    return p;
}

TEST_P(FollowJump, PatchesTheStubsTargetAndComputesTheJumpFromThere) {
    void* stub = WriteStub(block, GetParam().stub, GetParam().cell, original);
    const auto stubBytes = BytesAt(stub);
    EXPECT_EQ(Call(stub), 1);
    TProcHook hook(stub, replacement, true);
    EXPECT_EQ(hook.PatchPosition(), original);
    hook.Enable();
    EXPECT_EQ(BytesAt(stub), stubBytes);
    EXPECT_EQ(BytesAt(original), JumpFrom(original, replacement));
    EXPECT_EQ(Call(stub), 2);
    hook.Disable();
    EXPECT_EQ(Call(stub), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, FollowJump,
                         ::testing::Values(StubCase{"CellAfterStub", 0, 64},
                                           StubCase{"CellBeforeStub", 512, 64},
                                           StubCase{"CellRightAfterInstruction", 2048, 2054}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProcHookTest, WithoutFollowJumpTheStubItselfIsPatched) {
    void* stub = WriteStub(block, 0, 64, original);
    TProcHook hook(stub, replacement, false);
    EXPECT_EQ(hook.PatchPosition(), stub);
    hook.Enable();
    EXPECT_EQ(Call(stub), 2);
    EXPECT_EQ(Call(original), 1);
}

TEST_F(ProcHookTest, FollowJumpOnOrdinaryCodePatchesTheRoutine) {
    TProcHook hook(original, replacement, true);
    EXPECT_EQ(hook.PatchPosition(), original);
}

TEST_F(ProcHookTest, ATargetOutOfReachOfA32BitJumpIsRefusedBeforeAnythingIsWritten) {
    const auto before = BytesAt(original);
    const auto base = reinterpret_cast<std::intptr_t>(original) + 5;
    struct Reach {
        std::intptr_t target;
        bool fits;
    };
    const Reach cases[] = {{base + INT32_MAX, true},
                           {base + INT32_MAX + std::intptr_t{1}, false},
                           {base + INT32_MIN, true},
                           {base + INT32_MIN - std::intptr_t{1}, false},
                           {base + (std::intptr_t{1} << 40), false}};
    for (const Reach& c : cases) {
        void* target = reinterpret_cast<void*>(c.target);
        if (c.fits) {
            TProcHook hook(original, target, false); // never enabled: the target is not code
            EXPECT_EQ(BytesAt(hook.PatchBytes()), JumpFrom(original, target));
        } else {
            EXPECT_THROW(TProcHook(original, target, false), EsxProcHookError);
        }
        EXPECT_EQ(BytesAt(original), before);
    }
}

TEST_F(ProcHookTest, EnableAndDisableAfterReleaseAssertWithTheirMessagesAndWriteNothing) {
    TProcHook hook(original, replacement, false);
    hook.Release();
    const auto before = BytesAt(original);
    const struct {
        void (TProcHook::*call)();
        const char* message;
    } cases[] = {{&TProcHook::Disable, "Patch position in THook was nil when Disable was called"},
                 {&TProcHook::Enable, "Patch position in THook was nil when Enable was called"},
                 {&TProcHook::Release, "Patch position in THook was nil when Disable was called"}};
    for (const auto& c : cases) {
        try {
            (hook.*c.call)();
            ADD_FAILURE() << c.message;
        } catch (const EAssertionFailed& e) {
            const std::string prefix = std::string(c.message) + " (Shared/Localiser/ProcHook, line ";
            EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
            EXPECT_GT(std::stoi(e.Message().substr(prefix.size())), 0);
        }
        EXPECT_EQ(BytesAt(original), before);
    }
}

class ProcHookAccessTest : public TempDirTest {};

TEST_F(ProcHookAccessTest, AFailedChangeOfAccessRaisesTheSystemErrorAndWritesNothing) {
    ReadOnlyView view(Path("code.bin"));
    const auto before = BytesAt(view.Data());
    ExecutableBlock block(4096);
    try {
        TProcHook hook(view.Data(), block.Returning(0, 2), false);
        FAIL() << "the access of a read-only view was opened";
    } catch (const EOSError& e) {
        const std::string prefix = "System Error.  Code: " + std::to_string(e.ErrorCode()) + ".\r\n";
        EXPECT_NE(e.ErrorCode(), 0u);
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    }
    EXPECT_EQ(BytesAt(view.Data()), before);
}

// Two compiled routines: the patch works on the program's own code as it does on the stubs.
QRL_PATCHABLE std::int32_t CompiledOriginal() {
    return 10;
}
QRL_PATCHABLE std::int32_t CompiledReplacement() {
    return 20;
}

TEST(ProcHookOnCompiledCode, RedirectsEveryCallOfTheRoutine) {
    Routine volatile routine = &CompiledOriginal;
    TProcHook hook(reinterpret_cast<void*>(&CompiledOriginal), reinterpret_cast<void*>(&CompiledReplacement),
                   false);
    EXPECT_EQ(routine(), 10);
    hook.Enable();
    EXPECT_EQ(routine(), 20);
    EXPECT_EQ(CompiledOriginal(), 20);
    hook.Disable();
    EXPECT_EQ(routine(), 10);
}

} // namespace
