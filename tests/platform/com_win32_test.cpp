// The system's COM and shell through the platform layer's declarations.
// kxp's names come first: the system's headers make some of them macros.
#include "kxplatform.h"
// clang-format off
#include <gtest/gtest.h>
#include <shobjidl.h>
// clang-format on

#include <cstring>
#include <thread>

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

TEST(ShellInterfaces, TheSystemsFactoryMakesItems) {
    auto create = reinterpret_cast<kxp::PFN_SHCreateItemFromParsingName>(
        kxp::find_symbol(kxp::load_module(kxp::SHELL_MODULE_NAME), "SHCreateItemFromParsingName"));
    ASSERT_NE(create, nullptr);
    std::thread([create] {
        ASSERT_TRUE(SUCCEEDED(kxp::CoInitializeEx(nullptr, kxp::COINIT_APARTMENTTHREADED)));
        wchar_t windows[260] = {};
        ASSERT_GT(GetWindowsDirectoryW(windows, 260), 0u);
        kxp::IShellItem2* item = nullptr;
        EXPECT_EQ(create(windows, nullptr, kxp::IID_IShellItem2, reinterpret_cast<void**>(&item)),
                  S_OK);
        ASSERT_NE(item, nullptr);
        kxp::IShellItem* plain = nullptr;
        EXPECT_EQ(item->QueryInterface(kxp::IID_IShellItem, reinterpret_cast<void**>(&plain)),
                  S_OK);
        plain->Release();
        item->Release();
        void* none = &none;
        EXPECT_TRUE(FAILED(create(L"Z:\\no\\such\\file.txt", nullptr, kxp::IID_IShellItem, &none)));
        EXPECT_EQ(none, nullptr);
        kxp::CoUninitialize();
    }).join();
}

}  // namespace
