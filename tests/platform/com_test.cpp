// COM apartments through the platform layer: its own on POSIX, the system's on Windows.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

#include "kxplatform.h"

namespace {

using namespace kxp;  // NOLINT: the names under test

TEST(Apartment, EachThreadKeepsItsOwnModel) {
    std::thread([&] {  // a fresh thread starts outside any apartment
        APTTYPE type{};
        EXPECT_EQ(CoGetApartmentType(&type), CO_E_NOTINITIALIZED);
        for (const auto& [coinit, result] :
             {std::pair<DWORD, HRESULT>{COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE, S_OK},
              {COINIT_APARTMENTTHREADED, S_FALSE},
              {COINIT_MULTITHREADED, RPC_E_CHANGED_MODE},
              {0x100, E_INVALIDARG}})
            EXPECT_EQ(CoInitializeEx(nullptr, coinit), result);
        EXPECT_EQ(CoInitializeEx(&type, COINIT_APARTMENTTHREADED), E_INVALIDARG);
        std::thread([] { EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK); }).join();
        CoUninitialize();
        EXPECT_EQ(CoGetApartmentType(&type), S_OK);  // one entry is still open
        EXPECT_EQ(type, APTTYPE_STA);
        CoUninitialize();
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);  // left, so free again
        CoUninitialize();
    })
        .join();
}

}  // namespace
