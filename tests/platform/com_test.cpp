// COM apartments and the shell module's items, through the platform layer.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <thread>

#include "kxplatform.h"
#if !defined(_WIN32)
#include "support/shell_files.h"
#endif

namespace {

using namespace kxp;  // NOLINT: the names under test

TEST(Apartment, EachThreadKeepsItsOwnModel) {
    struct Step {
        DWORD coinit;
        HRESULT result;
    };
    const Step steps[] = {{COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE, S_OK},
                          {COINIT_APARTMENTTHREADED, S_FALSE},
                          {COINIT_MULTITHREADED, RPC_E_CHANGED_MODE},
                          {0x100, E_INVALIDARG}};
    std::thread([&] {  // a fresh thread starts outside any apartment
        APTTYPE type{};
        EXPECT_EQ(CoGetApartmentType(&type), CO_E_NOTINITIALIZED);
        for (const Step& step : steps) EXPECT_EQ(CoInitializeEx(nullptr, step.coinit), step.result);
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

#if !defined(_WIN32)  // the shell module of systems without a shell

class ShellModule : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        files_ = new ShellFiles;
        create_ = reinterpret_cast<PFN_SHCreateItemFromParsingName>(
            find_symbol(load_module(SHELL_MODULE_NAME), "SHCreateItemFromParsingName"));
    }
    static void TearDownTestSuite() { delete files_; }
    void SetUp() override {
        ASSERT_NE(create_, nullptr) << "shell32.dll beside the test program";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override { CoUninitialize(); }

    static IShellItem2* Item(const std::string& path) {
        std::wstring wide(path.begin(), path.end());
        void* item = nullptr;
        EXPECT_EQ(create_(wide.c_str(), nullptr, IID_IShellItem2, &item), S_OK) << path;
        return static_cast<IShellItem2*>(item);
    }

    static inline ShellFiles* files_ = nullptr;
    static inline PFN_SHCreateItemFromParsingName create_ = nullptr;
};

TEST_F(ShellModule, FactoryRefusesWhatIsNoFileOrDirectory) {
    void* item = &item;
    EXPECT_EQ(create_(L"", nullptr, IID_IShellItem, &item), E_INVALIDARG);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(create_(L"/no/such/file", nullptr, IID_IShellItem, &item),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(create_(L"/dev/null", nullptr, IID_IShellItem, &item),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(create_(L"/", nullptr, IID_IShellItem, nullptr), E_POINTER);
    const std::string dir = files_->Dir();
    const std::wstring wide(dir.begin(), dir.end());
    std::thread([&] {  // outside any apartment
        EXPECT_EQ(create_(wide.c_str(), nullptr, IID_IShellItem, &item), CO_E_NOTINITIALIZED);
    })
        .join();
}

TEST_F(ShellModule, InterfacesShareOneCountedObject) {
    IShellItem2* item = Item(files_->Make("counted.txt"));
    ASSERT_NE(item, nullptr);
    void* other = nullptr;
    for (const IID* iid : {&IID_IUnknown, &IID_IShellItem, &IID_IShellItem2}) {
        EXPECT_EQ(item->QueryInterface(*iid, &other), S_OK);
        EXPECT_EQ(other, item);
    }
    EXPECT_EQ(item->AddRef(), 5u);
    const IID unknown{0x1234, 0, 0, {0}};
    EXPECT_EQ(item->QueryInterface(unknown, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    for (ULONG left = 4; left > 0; --left) EXPECT_EQ(item->Release(), left);
    EXPECT_EQ(item->Release(), 0u);  // gone; ASan sees a leak or a double free otherwise
}

TEST_F(ShellModule, RatingsAndTextAsStored) {
    KX_REQUIRE_XATTRS(*files_);
    const HRESULT bad = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    const struct {
        const char* stored;
        HRESULT result;
        ULONG rating;  // 7: left as it was
    } rows[] = {{"0", S_OK, 0},  {"1", S_OK, 10},  {"5", S_OK, 50},
                {"8", S_OK, 79}, {"10", S_OK, 99}, {" 7\n", S_OK, 69},
                {"11", bad, 7},  {"-1", bad, 7},   {"", bad, 7}};
    for (const auto& row : rows) {
        IShellItem2* item = Item(files_->Make("rated.txt", {{"user.baloo.rating", row.stored}}));
        ULONG rating = 7;
        EXPECT_EQ(item->GetUInt32(PKEY_Rating, &rating), row.result) << '"' << row.stored << '"';
        EXPECT_EQ(rating, row.rating) << '"' << row.stored << '"';
        item->Release();
    }
    IShellItem2* item =
        Item(files_->Make("text.txt", {{"user.xdg.comment", "\xC2\xA9\xC3\xA9t a\xFF\xE2\x82"}}));
    PWSTR text = nullptr;
    EXPECT_EQ(item->GetString(PKEY_Comment, &text), S_OK);
    EXPECT_EQ(std::wstring(text), L"\u00a9\u00e9t a\uFFFD\uFFFD\uFFFD");
    CoTaskMemFree(text);
    ULONG untouched = 3;  // a key that is none of the six is simply not carried
    EXPECT_EQ(item->GetUInt32(PROPERTYKEY{}, &untouched), HRESULT_ERROR_NOT_FOUND);
    EXPECT_EQ(untouched, 3u);
    item->Release();
}

#endif

}  // namespace
