// The system's shell interfaces against the platform layer's declarations;
// the shell tests make items through them.
// kxp's names come first: the system's headers make some of them macros.
#include "kxplatform.h"
// clang-format off
#include <gtest/gtest.h>
#include <shobjidl.h>
// clang-format on

#include <cstring>

namespace {

// The library calls the system's shell items through kxp's declarations, so
// each slot it calls must sit where the system's interface has it. A pointer
// to a virtual member holds 1 + the slot's offset in the vtable.
template <class A, class B>
bool SameSlot(A a, B b) {
    static_assert(sizeof a == sizeof b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ShellInterfaces, SlotsAreTheSystems) {
    EXPECT_TRUE(SameSlot(&kxp::IShellItem2::GetFileTime, &::IShellItem2::GetFileTime));
    EXPECT_TRUE(SameSlot(&kxp::IShellItem2::GetString, &::IShellItem2::GetString));
    EXPECT_TRUE(SameSlot(&kxp::IShellItem2::GetUInt32, &::IShellItem2::GetUInt32));
    EXPECT_TRUE(SameSlot(&kxp::IShellItem2::GetBool, &::IShellItem2::GetBool));
    EXPECT_TRUE(kxp::IsEqualGUID(kxp::IID_IShellItem2,
                                 reinterpret_cast<const kxp::GUID&>(::IID_IShellItem2)));
}

}  // namespace
